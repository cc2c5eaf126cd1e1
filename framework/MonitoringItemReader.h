// How the statistics read monitoring items: the kind byte, the two kinds they handle, judging a
// resolution against the project and tying a play notification to a pending target.
#pragma once

#include "framework/VObjectRef.h"
#include "host/services/MonitoringItems.h"
#include "host/services/VObject.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace items
{

inline constexpr std::uint8_t kObjectNotification = 1;
inline constexpr std::uint8_t kDialogueResolved = 34;

// The kind is the byte at offset 16 of the item.
inline std::uint8_t KindOf(const MonitoringItem* pItem)
{
    std::uint8_t kind;
    std::memcpy(&kind, reinterpret_cast<const unsigned char*>(pItem) + 16, 1);
    return kind;
}

// The reason of a notification is the 32-bit field at offset 12 of its record.
inline std::uint32_t ReasonOf(const ObjectNotificationItem& item)
{
    std::uint32_t reason;
    std::memcpy(&reason, reinterpret_cast<const unsigned char*>(&item.GetNotification()) + 12,
                sizeof(reason));
    return reason;
}

// Reasons 9 and 10 report that the object was played.
inline bool IsPlayReason(std::uint32_t reason)
{
    return reason == 9 || reason == 10;
}

// The dialogue event of the project with that GUID, holding one reference; empty when the project
// has no such object or it is no dialogue event (a found object of another kind is released).
VObjectRef<IVDialogueEvent> LookupDialogueEvent(const GUID& eventID);

// The dialogue event that a resolution names, when the item passes the checks: a non-null event
// GUID, an object of the project that is a dialogue event and, when argument values are read, as many
// arguments as the item carries. Empty on the first failure.
VObjectRef<IVDialogueEvent> JudgeResolution(const DialogueResolvedItem& item, bool bCheckArguments);

// Walks from the notified object up its parents to the first object whose GUID `isKey` accepts, the
// object itself included. Empty when the GUID is null, the project lacks the object or no ancestor
// is a key. Every reference taken on the way is released.
template <class IsKey> std::optional<GUID> MatchTarget(const GUID& objectID, IsKey&& isKey)
{
    if (IsNullGuid(objectID))
        return std::nullopt;
    auto current = VObjectRef<IVObject>::Lookup(objectID);
    while (current)
    {
        const GUID& id = current->GetID();
        if (isKey(id))
            return id;
        IVObject* pParent = current->GetParent();
        if (pParent)
            pParent->AddRef();
        current = VObjectRef<IVObject>(pParent);
    }
    return std::nullopt;
}

} // namespace items
