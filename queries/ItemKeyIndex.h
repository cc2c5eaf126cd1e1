// A hash index over the rows that lie two maps deep (an event's value or target entries), keyed by
// ids that a resolution names itself: the event, a position and the value or target chosen. Its slot
// can start loading as soon as the item arrives, before the event is judged, and a known row then
// costs one probe instead of a walk down the event's own map.
#pragma once

#include "host/base/Guid.h"
#include "host/base/OpenSlots.h"
#include "host/base/Prefetch.h"

#include <cstdint>

template <class Element> class ItemKeyIndex
{
public:
    static std::uint64_t Hash(const GUID& eventID, std::uint32_t position, const GUID& rowID)
    {
        std::uint64_t h = GUIDHash{}(eventID) ^ (GUIDHash{}(rowID)*0x9E3779B97F4A7C15ull);
        h ^= (h >> 31) + position;
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 29);
    }

    void Prefetch(std::uint64_t hash) const { m_slots.Prefetch(hash); }

    // The element indexed under that hash that `isKey` accepts; null when there is none. The slot
    // holds only the hash, so the caller checks the element's own key (which it reads anyway).
    template <class IsKey> Element* Find(std::uint64_t hash, IsKey&& isKey) const
    {
        const Slot* pSlot =
            m_slots.Find(hash, [&](const Slot& slot) { return slot.hash == hash && isKey(*slot.pElement); });
        return pSlot != nullptr ? pSlot->pElement : nullptr;
    }

    // Starts loading the element that the hash most likely leads to, before its key can be checked.
    void PrefetchElement(std::uint64_t hash) const
    {
        if (const Slot* pSlot = m_slots.Find(hash, [hash](const Slot& slot) { return slot.hash == hash; }))
            PrefetchObject(pSlot->pElement);
    }

    // The element must not be indexed yet.
    void Insert(std::uint64_t hash, Element* pElement) { m_slots.Insert(Slot{hash, pElement}); }

    void Clear() { m_slots.Clear(); }

private:
    struct Slot
    {
        std::uint64_t hash = 0;
        Element* pElement = nullptr;

        bool Used() const { return pElement != nullptr; }
        std::uint64_t Hash() const { return hash; }
    };

    OpenSlots<Slot> m_slots;
};
