// The storage of the hash indexes on the hot path of every monitoring item: open addressing with
// linear probing in a power-of-two table kept at most three quarters full, so that a search touches
// one or two adjacent slots instead of a chain of nodes. Slots are only added, or all dropped at once.
//
// A Slot is default-constructible as unused and offers `bool Used() const` and
// `std::uint64_t Hash() const` (the same hash its search is started with).
#pragma once

#include "host/base/Prefetch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

template <class Slot> class OpenSlots
{
public:
    // The first used slot on the hash's probe path that `matches` accepts; null when an unused slot
    // comes first.
    template <class Matches> const Slot* Find(std::uint64_t hash, Matches&& matches) const
    {
        if (m_slots.empty())
            return nullptr;
        for (std::size_t i = hash & Mask();; i = (i + 1) & Mask())
        {
            const Slot& slot = m_slots[i];
            if (!slot.Used())
                return nullptr;
            if (matches(slot))
                return &slot;
        }
    }

    // Starts loading the first slot of the hash's probe path into the cache.
    void Prefetch(std::uint64_t hash) const
    {
        if (!m_slots.empty())
            PrefetchLine(&m_slots[hash & Mask()]);
    }

    // The caller makes sure that no slot for the same key is present.
    void Insert(const Slot& slot)
    {
        if (4 * (m_count + 1) > 3 * m_slots.size())
            Grow();
        Place(slot);
        ++m_count;
    }

    // Room for `count` slots in all, so that adding up to that many never grows the table.
    void Reserve(std::size_t count)
    {
        std::size_t size = std::max<std::size_t>(64, m_slots.size());
        while (4 * count > 3 * size)
            size *= 2;
        if (size > m_slots.size())
            Rehash(size);
    }

    void Clear()
    {
        m_slots.clear();
        m_count = 0;
    }

    std::size_t size() const { return m_count; }

private:
    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(const Slot& slot)
    {
        std::size_t i = slot.Hash() & Mask();
        while (m_slots[i].Used())
            i = (i + 1) & Mask();
        m_slots[i] = slot;
    }

    void Grow() { Rehash(std::max<std::size_t>(64, 2 * m_slots.size())); }

    void Rehash(std::size_t size)
    {
        std::vector<Slot> old(size);
        old.swap(m_slots);
        for (const Slot& slot : old)
        {
            if (slot.Used())
                Place(slot);
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};
