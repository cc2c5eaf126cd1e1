// Finds elements that live elsewhere by a key they hold. One flat table of addresses, each beside the
// hash of its element's key, searched by linear probing: a search reads one slot or a few neighbours
// and looks at an element only when its hash matches. Elements are never removed one by one.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

// KeyOf(element) gives what Equal compares with a searched key; Hash hashes both alike.
template <class T, class KeyOf, class Hash, class Equal> class AddressIndex
{
public:
    template <class Key> T* Find(const Key& key) const
    {
        if (m_slots.empty())
            return nullptr;
        const std::size_t hash = Hash{}(key);
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask())
        {
            const Slot& slot = m_slots[i];
            if (slot.pElement == nullptr)
                return nullptr;
            if (slot.hash == hash && Equal{}(KeyOf{}(*slot.pElement), key))
                return slot.pElement;
        }
    }

    // The element's key must not be in the index yet.
    void Insert(T* pElement)
    {
        if (2 * (m_count + 1) > m_slots.size())
            Rehash(2 * (m_count + 1));
        Place(Slot{Hash{}(KeyOf{}(*pElement)), pElement});
        ++m_count;
    }

    // Room for that many elements without a rehash.
    void Reserve(std::size_t count)
    {
        if (2 * count > m_slots.size())
            Rehash(2 * count);
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
        std::size_t hash = 0;
        T* pElement = nullptr;
    };

    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(const Slot& slot)
    {
        std::size_t i = slot.hash & Mask();
        while (m_slots[i].pElement != nullptr)
            i = (i + 1) & Mask();
        m_slots[i] = slot;
    }

    // At least `slots` slots, a power of two, so that a slot is the hash's low bits.
    void Rehash(std::size_t slots)
    {
        std::vector<Slot> old(std::bit_ceil(std::max<std::size_t>(slots, 16)));
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
