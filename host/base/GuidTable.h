// A map from GUID to a small value, for lookups on the hot path of every monitoring item: the GUID
// is kept in its slot, so that a search touches one slot line and not a chain of nodes. Entries are
// only added, or all dropped at once.
#pragma once

#include "host/base/Guid.h"
#include "host/base/OpenSlots.h"

#include <cstddef>
#include <cstdint>

template <class Value> class GuidTable
{
public:
    // The value stored under the id; null when absent. Valid until the next Insert.
    const Value* Find(const GUID& id) const
    {
        const Slot* pSlot = m_slots.Find(GUIDHash{}(id), [&id](const Slot& slot) { return slot.id == id; });
        return pSlot != nullptr ? &pSlot->value : nullptr;
    }

    Value* Find(const GUID& id) { return const_cast<Value*>(static_cast<const GuidTable&>(*this).Find(id)); }

    void Prefetch(const GUID& id) const { m_slots.Prefetch(GUIDHash{}(id)); }

    // Where the slot of the id lies, for a cache hint ahead of a search; null when absent.
    const void* SlotOf(const GUID& id) const
    {
        return m_slots.Find(GUIDHash{}(id), [&id](const Slot& slot) { return slot.id == id; });
    }

    // False, leaving the table as it was, when the id is present already.
    bool Insert(const GUID& id, const Value& value)
    {
        if (Find(id) != nullptr)
            return false;
        m_slots.Insert(Slot{id, value, true});
        return true;
    }

    void Reserve(std::size_t count) { m_slots.Reserve(count); }
    void Clear() { m_slots.Clear(); }
    std::size_t size() const { return m_slots.size(); }

private:
    struct Slot;

public:
    // The bytes of a slot, all of which a search may read.
    static constexpr std::size_t SlotBytes() { return sizeof(Slot); }

private:
    struct Slot
    {
        GUID id{};
        Value value{};
        bool bUsed = false;

        bool Used() const { return bUsed; }
        std::uint64_t Hash() const { return GUIDHash{}(id); }
    };

    OpenSlots<Slot> m_slots;
};
