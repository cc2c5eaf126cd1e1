// Monitoring items as the monitoring manager logs them. An item is read only during the call that
// hands it over; the logger keeps it in its arena for later replays.
#pragma once

#include "host/base/Guid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

enum MonitoringItemKind : std::uint8_t
{
    ItemKindObjectNotification = 1,
    ItemKindDialogueResolved = 34,
};

// What happened to an object in the game; only `reason` is read by the statistics (9 and 10: played).
struct NotificationRecord
{
    std::uint32_t objectKind = 0;
    std::uint32_t flags = 0;
    std::uint32_t gameObject = 0;
    std::uint32_t reason = 0;
};
static_assert(offsetof(NotificationRecord, reason) == 12);

class MonitoringItem
{
public:
    virtual GUID GetObjectID() const { return m_objectID; }

    // Bytes the item occupies where it is stored, argument values included.
    std::uint32_t RecordSize() const { return m_uRecordSize; }

    // An item of the kind with no data: a dialogue resolution or notification of the null object, or a
    // bare item of any other kind. SizeOfItem is the room it needs, whatever the kind.
    static std::size_t SizeOfItem();
    static MonitoringItem* Construct(void* pWhere, std::uint8_t kind);

protected:
    MonitoringItem(std::uint8_t kind, const GUID& objectID, std::uint32_t recordSize)
        : m_uRecordSize(recordSize), type(kind), m_objectID(objectID)
    {
    }

    std::uint32_t m_uRecordSize;
    std::uint32_t m_uArgumentCount = 0;

public:
    // The item's kind, at byte offset 16 of the object.
    std::uint8_t type;

protected:
    bool m_bResolveOnly = false;
    GUID m_objectID;
};

// One resolution of a dialogue event: the event, the chosen value per argument and the target. The
// argument values are stored right behind the object.
class DialogueResolvedItem : public MonitoringItem
{
public:
    virtual GUID GetTargetID() const { return m_targetID; }
    virtual std::uint64_t GetArgumentCount() const { return m_uArgumentCount; }
    virtual GUID GetArgumentValueID(std::uint64_t index) const;
    virtual bool IsResolveOnly() const { return m_bResolveOnly; }

    static std::size_t SizeOfItem(std::size_t argumentCount)
    {
        return sizeof(DialogueResolvedItem) + argumentCount * sizeof(GUID);
    }
    static DialogueResolvedItem* Construct(void* pWhere, const GUID& event, const GUID& target,
                                           std::span<const GUID> values, bool resolveOnly);

private:
    DialogueResolvedItem(const GUID& event, const GUID& target, std::size_t argumentCount, bool resolveOnly);

    GUID m_targetID;
};

// Something that happened to one project object in the game.
class ObjectNotificationItem : public MonitoringItem
{
public:
    virtual const NotificationRecord& GetNotification() const { return m_record; }

    static std::size_t SizeOfItem() { return sizeof(ObjectNotificationItem); }
    static ObjectNotificationItem* Construct(void* pWhere, const GUID& object, std::uint32_t reason);

private:
    ObjectNotificationItem(const GUID& object, std::uint32_t reason);

    NotificationRecord m_record;
};

// An item that owns its storage, for callers that make single items outside a logger.
class OwnedMonitoringItem
{
public:
    static OwnedMonitoringItem DialogueResolved(const GUID& event, const GUID& target,
                                                std::span<const GUID> values, bool resolveOnly = false);
    static OwnedMonitoringItem ObjectNotification(const GUID& object, std::uint32_t reason);
    static OwnedMonitoringItem Other(std::uint8_t kind);

    const MonitoringItem* get() const { return m_pItem; }
    const MonitoringItem* operator->() const { return m_pItem; }

private:
    explicit OwnedMonitoringItem(std::size_t size);

    std::unique_ptr<std::max_align_t[]> m_storage;
    MonitoringItem* m_pItem = nullptr;
};
