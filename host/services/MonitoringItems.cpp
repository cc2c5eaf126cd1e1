#include "host/services/MonitoringItems.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

namespace
{
// An item of a kind that carries no data of its own. It records the room that Construct asks for,
// so that records walked by their size stay in step whichever kind was constructed.
class PlainItem final : public MonitoringItem
{
public:
    explicit PlainItem(std::uint8_t kind)
        : MonitoringItem(kind, GUID_NULL, static_cast<std::uint32_t>(MonitoringItem::SizeOfItem()))
    {
    }
};

// Readers of the stream find the kind at a fixed offset, and records are copied into an arena
// without running destructors: the layout and triviality are part of the contract.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(MonitoringItem, type) == 16);
#pragma GCC diagnostic pop
static_assert(sizeof(PlainItem) == sizeof(MonitoringItem));
static_assert(sizeof(DialogueResolvedItem) == 56);
static_assert(sizeof(ObjectNotificationItem) == 56);
static_assert(alignof(DialogueResolvedItem) <= 8 && alignof(ObjectNotificationItem) <= 8);
static_assert(std::is_trivially_destructible_v<PlainItem>);
static_assert(std::is_trivially_destructible_v<DialogueResolvedItem>);
static_assert(std::is_trivially_destructible_v<ObjectNotificationItem>);

const unsigned char* ValuesOf(const DialogueResolvedItem* pItem)
{
    return reinterpret_cast<const unsigned char*>(pItem) + sizeof(DialogueResolvedItem);
}
} // namespace

std::size_t MonitoringItem::SizeOfItem()
{
    return std::max(
        {sizeof(PlainItem), DialogueResolvedItem::SizeOfItem(0), ObjectNotificationItem::SizeOfItem()});
}

MonitoringItem* MonitoringItem::Construct(void* pWhere, std::uint8_t kind)
{
    // Readers call the operations of kinds 1 and 34 once they have seen the kind, so those always get
    // their real class.
    if (kind == ItemKindDialogueResolved)
        return DialogueResolvedItem::Construct(pWhere, GUID_NULL, GUID_NULL, {}, false);
    if (kind == ItemKindObjectNotification)
        return ObjectNotificationItem::Construct(pWhere, GUID_NULL, 0);
    return new (pWhere) PlainItem(kind);
}

DialogueResolvedItem::DialogueResolvedItem(const GUID& event, const GUID& target, std::size_t argumentCount,
                                           bool resolveOnly)
    : MonitoringItem(ItemKindDialogueResolved, event, static_cast<std::uint32_t>(SizeOfItem(argumentCount))),
      m_targetID(target)
{
    m_uArgumentCount = static_cast<std::uint32_t>(argumentCount);
    m_bResolveOnly = resolveOnly;
}

GUID DialogueResolvedItem::GetArgumentValueID(std::uint64_t index) const
{
    if (index >= m_uArgumentCount)
        return GUID_NULL;
    GUID value;
    std::memcpy(&value, ValuesOf(this) + index * sizeof(GUID), sizeof(GUID));
    return value;
}

DialogueResolvedItem* DialogueResolvedItem::Construct(void* pWhere, const GUID& event, const GUID& target,
                                                      std::span<const GUID> values, bool resolveOnly)
{
    auto* pItem = new (pWhere) DialogueResolvedItem(event, target, values.size(), resolveOnly);
    if (!values.empty())
        std::memcpy(reinterpret_cast<unsigned char*>(pItem) + sizeof(DialogueResolvedItem), values.data(),
                    values.size_bytes());
    return pItem;
}

ObjectNotificationItem::ObjectNotificationItem(const GUID& object, std::uint32_t reason)
    : MonitoringItem(ItemKindObjectNotification, object, sizeof(ObjectNotificationItem))
{
    m_record.reason = reason;
}

ObjectNotificationItem* ObjectNotificationItem::Construct(void* pWhere, const GUID& object,
                                                          std::uint32_t reason)
{
    return new (pWhere) ObjectNotificationItem(object, reason);
}

OwnedMonitoringItem::OwnedMonitoringItem(std::size_t size)
    : m_storage(std::make_unique<std::max_align_t[]>((size + sizeof(std::max_align_t) - 1) /
                                                     sizeof(std::max_align_t)))
{
}

OwnedMonitoringItem OwnedMonitoringItem::DialogueResolved(const GUID& event, const GUID& target,
                                                          std::span<const GUID> values, bool resolveOnly)
{
    OwnedMonitoringItem owned(DialogueResolvedItem::SizeOfItem(values.size()));
    owned.m_pItem =
        DialogueResolvedItem::Construct(owned.m_storage.get(), event, target, values, resolveOnly);
    return owned;
}

OwnedMonitoringItem OwnedMonitoringItem::ObjectNotification(const GUID& object, std::uint32_t reason)
{
    OwnedMonitoringItem owned(ObjectNotificationItem::SizeOfItem());
    owned.m_pItem = ObjectNotificationItem::Construct(owned.m_storage.get(), object, reason);
    return owned;
}

OwnedMonitoringItem OwnedMonitoringItem::Other(std::uint8_t kind)
{
    OwnedMonitoringItem owned(MonitoringItem::SizeOfItem());
    owned.m_pItem = MonitoringItem::Construct(owned.m_storage.get(), kind);
    return owned;
}
