// A hash index over elements that own their key text elsewhere (the nodes of an ordered map): finding
// a known text costs one hash of it and, on a hash match, one comparison, whatever the number of
// elements. Slots hold the hash, the element and where its text lies.
#pragma once

#include "host/base/OpenSlots.h"

#include <cstdint>
#include <cwchar>
#include <string_view>

// KeyOf(const T&) gives the text an element was indexed under; it must not change while indexed.
template <class T, class KeyOf> class TextIndex
{
public:
    // A 64-bit hash of the code points, two at a time.
    static std::uint64_t Hash(std::wstring_view text)
    {
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
        std::size_t i = 0;
        for (; i + 2 <= text.size(); i += 2)
        {
            const std::uint64_t pair = static_cast<std::uint32_t>(text[i]) |
                                       std::uint64_t{static_cast<std::uint32_t>(text[i + 1])} << 32;
            h = Mix(h ^ pair);
        }
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
