// A map from GUID to a small value, for lookups on the hot path of every monitoring item: open
// addressing with the GUID kept in its slot, so that a search touches one slot line and not a
// chain of nodes. Entries are only added, or all dropped at once.
#pragma once

#include "host/base/Guid.h"

#include <cstddef>
#include <vector>

template <class Value> class GuidTable
{
public:
    // The value stored under the id; null when absent. Valid until the next Insert.
    const Value* Find(const GUID& id) const
    {
        if (m_slots.empty())
            return nullptr;
        for (std::size_t i = GUIDHash{}(id)&Mask();; i = (i + 1) & Mask())
        {
            const Slot& slot = m_slots[i];
            if (!slot.bUsed)
                return nullptr;
            if (slot.id == id)
                return &slot.value;
        }
    }

    // False, leaving the table as it was, when the id is present already.
    bool Insert(const GUID& id, const Value& value)
    {
        if (Find(id) != nullptr)
            return false;
        if (2 * (m_count + 1) > m_slots.size())
            Grow();
        Place(Slot{id, value, true});
        ++m_count;
        return true;
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
        GUID id{};
        Value value{};
        bool bUsed = false;
    };

    std::size_t Mask() const { return m_slots.size() - 1; }

    void Place(const Slot& slot)
    {
        std::size_t i = GUIDHash{}(slot.id) & Mask();
        while (m_slots[i].bUsed)
            i = (i + 1) & Mask();
        m_slots[i] = slot;
    }

    void Grow()
    {
        std::vector<Slot> old(m_slots.empty() ? 64 : 2 * m_slots.size());
        old.swap(m_slots);
        for (const Slot& slot : old)
        {
            if (slot.bUsed)
                Place(slot);
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};
