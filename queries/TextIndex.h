// A hash index over elements that own their key text elsewhere (the nodes of an ordered map): finding
// a known text costs one hash of it and, on a hash match, one comparison, whatever the number of
// elements. Slots hold the hash, the element and where its text lies.
#pragma once

#include "host/base/OpenSlots.h"
#include "host/base/Prefetch.h"

#include <cstdint>
#include <cwchar>
#include <string_view>

// KeyOf(const T&) gives the text an element was indexed under; it must not change while indexed.
template <class T, class KeyOf> class TextIndex
{
public:
    // A 64-bit hash of the code points, two at a time in four independent lanes: a path of sixty
    // characters is hashed in the time of a few multiplications rather than thirty in a row.
    static std::uint64_t Hash(std::wstring_view text)
    {
        const auto pair = [&text](std::size_t i)
        {
            return static_cast<std::uint32_t>(text[i]) |
                   std::uint64_t{static_cast<std::uint32_t>(text[i + 1])} << 32;
        };
        std::uint64_t lanes[4] = {0x9E3779B97F4A7C15ull ^ text.size(), 0xC2B2AE3D27D4EB4Full,
                                  0x165667B19E3779F9ull, 0xD6E8FEB86659FD93ull};
        std::size_t i = 0;
        for (; i + 8 <= text.size(); i += 8)
        {
            for (std::size_t lane = 0; lane < 4; ++lane)
                lanes[lane] = Mix(lanes[lane] ^ pair(i + 2 * lane));
        }
        std::uint64_t h = lanes[0] ^ Mix(lanes[1] ^ Mix(lanes[2] ^ Mix(lanes[3])));
        for (; i + 2 <= text.size(); i += 2)
            h = Mix(h ^ pair(i));
        if (i < text.size())
            h = Mix(h ^ static_cast<std::uint32_t>(text[i]));
        return h ^ (h >> 29);
    }

    T* Find(std::wstring_view text, std::uint64_t hash) const
    {
        // The slot holds where the text lies, so that the text is fetched side by side with the
        // element (whose key gives the length) rather than after it.
        const Slot* pSlot = m_slots.Find(hash,
                                         [&](const Slot& slot)
                                         {
                                             return slot.hash == hash &&
                                                    KeyOf{}(*slot.pElement).size() == text.size() &&
                                                    std::wmemcmp(slot.pText, text.data(), text.size()) == 0;
                                         });
        return pSlot != nullptr ? pSlot->pElement : nullptr;
    }

    // Starts loading the first slot that a search with that hash reads.
    void Prefetch(std::uint64_t hash) const { m_slots.Prefetch(hash); }

    // Starts loading the element and the text that the hash most likely leads to; the slot should
    // be loaded.
    void PrefetchElement(std::uint64_t hash) const
    {
        if (const Slot* pSlot = m_slots.Find(hash, [hash](const Slot& slot) { return slot.hash == hash; }))
        {
            PrefetchObject(pSlot->pElement);
            PrefetchLine(pSlot->pText);
        }
    }

    // The element's text must not be indexed yet.
    void Insert(T* pElement, std::uint64_t hash)
    {
        m_slots.Insert(Slot{hash, pElement, KeyOf{}(*pElement).data()});
    }

    void Clear() { m_slots.Clear(); }
    std::size_t size() const { return m_slots.size(); }

private:
    struct Slot
    {
        std::uint64_t hash = 0;
        T* pElement = nullptr;
        const wchar_t* pText = nullptr;

        bool Used() const { return pElement != nullptr; }
        std::uint64_t Hash() const { return hash; }
    };

    static std::uint64_t Mix(std::uint64_t h)
    {
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    }

    OpenSlots<Slot> m_slots;
};
