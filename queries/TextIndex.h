// A hash index over elements that own their key text elsewhere (the nodes of an ordered map): finding
// a known text costs one hash of it and, on a hash match, one comparison, whatever the number of
// elements. Open addressing in a power-of-two table of (hash, element, text) slots, kept at most three
// quarters full.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string_view>
#include <vector>

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
        if (m_slots.empty())
            return nullptr;
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask())
        {
            const Slot& slot = m_slots[i];
            if (slot.pElement == nullptr)
                return nullptr;
            // The slot holds where the text lies, so that the text is fetched side by side with
            // the element (whose key gives the length) rather than after it.
            if (slot.hash == hash && KeyOf{}(*slot.pElement).size() == text.size() &&
                std::wmemcmp(slot.pText, text.data(), text.size()) == 0)
                return slot.pElement;
        }
    }

    // The element's text must not be indexed yet.
    void Insert(T* pElement, std::uint64_t hash)
    {
        if (4 * (m_count + 1) > 3 * m_slots.size())
            Grow();
        Place(Slot{hash, pElement, KeyOf{}(*pElement).data()});
        ++m_count;
    }

    void Clear()
    {
        m_slots.clear();
        m_count = 0;
    }

    std::size_t size() const { return m_count; }

private:
    struct Slot
    {
        std::uint64_t hash = 0;
        T* pElement = nullptr;
        const wchar_t* pText = nullptr;
    };

    static std::uint64_t Mix(std::uint64_t h)
    {
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    }

    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(const Slot& slot)
    {
        std::size_t i = slot.hash & Mask();
        while (m_slots[i].pElement != nullptr)
            i = (i + 1) & Mask();
        m_slots[i] = slot;
    }

    void Grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * m_slots.size()));
        old.swap(m_slots);
        for (const Slot& slot : old)
        {
            if (slot.pElement != nullptr)
                Place(slot);
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};
