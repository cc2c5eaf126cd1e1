// A map from GUID to a small value, for lookups on the hot path of every monitoring item: the GUID
// is kept in its slot, so that a search touches one slot line and not a chain of nodes. Entries are
// only added, or all dropped at once.
#pragma once

#include "host/base/Guid.h"
#include "host/base/OpenSlots.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// A value that is never empty once stored marks its slot as used by itself (a pointer, or a row that
// says whether it is set); any other needs a flag beside it. A GUID and two pointers then take 32
// bytes, two slots to a cache line and none across two.
template <class Value>
concept SaysIfSet = requires(const Value& value)
{
    value.IsSet();
};
template <class Value>
concept MarksItsSlot = std::is_pointer_v<Value> || SaysIfSet<Value>;

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
        const Slot slot = Slot::Make(id, value);
        // An empty value in a slot that it marks would read as a free slot.
        assert(slot.Used());
        m_slots.Insert(slot);
        return true;
    }

    void Reserve(std::size_t count) { m_slots.Reserve(count); }
    void Clear() { m_slots.Clear(); }
    std::size_t size() const { return m_slots.size(); }

    // The bytes of a slot, all of which a search may read.
    static constexpr std::size_t SlotBytes() { return sizeof(Slot); }

private:
    struct FlaggedSlot
    {
        GUID id{};
        Value value{};
        bool bUsed = false;

        static FlaggedSlot Make(const GUID& id, const Value& value) { return {id, value, true}; }
        bool Used() const { return bUsed; }
        std::uint64_t Hash() const { return GUIDHash{}(id); }
    };
    struct alignas(32) MarkedSlot
    {
        GUID id{};
        Value value{};

        static MarkedSlot Make(const GUID& id, const Value& value) { return {id, value}; }
        bool Used() const
        {
            if constexpr (std::is_pointer_v<Value>)
                return value != nullptr;
            else
                return value.IsSet();
        }
        std::uint64_t Hash() const { return GUIDHash{}(id); }
    };
    using Slot = std::conditional_t<MarksItsSlot<Value>, MarkedSlot, FlaggedSlot>;

    OpenSlots<Slot> m_slots;
};
