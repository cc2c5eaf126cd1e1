#include "host/services/MonitoringMgr.h"

#include "host/services/NotifyMgr.h"

#include <algorithm>

namespace
{
constexpr std::size_t kRecordAlignment = 8;

constexpr std::size_t AlignUp(std::size_t size)
{
    return (size + kRecordAlignment - 1) & ~(kRecordAlignment - 1);
}

bool Selects(std::uint64_t kindMask, std::uint8_t kind)
{
    return kind < 64 && ((kindMask >> kind) & 1) != 0;
}

class GameCursor final : public IMonitoringMgrCursor
{
};

class LoggerIterator final : public IMonitoringMgrLoggerIterator
{
public:
    explicit LoggerIterator(const ItemArena* pArena) : m_cursor(pArena) {}

    void Rewind() override { m_cursor.Rewind(); }
    bool HasItem() const override { return m_cursor.HasItem(); }

    const MonitoringItem* NextItem(std::uint64_t kindMask) override
    {
        while (const MonitoringItem* pItem = m_cursor.Next())
        {
            if (Selects(kindMask, pItem->type))
                return pItem;
        }
        return nullptr;
    }

private:
    ItemArena::Cursor m_cursor;
};

void Raise(const char* eventId)
{
    INotifyMgr* const pNotify = INotifyMgr::m_pInstance;
    if (pNotify == nullptr)
        return;
    static const ROString channel("MonitoringMgrNotification");
    NotifyEvent event;
    event.eventId = ROString(eventId);
    pNotify->Notify(channel, &event);
}
} // namespace

IMonitoringMgrCursor* GameProfilerCursors::GetGameCursor()
{
    static GameCursor cursor;
    return &cursor;
}

void* ItemArena::Allocate(std::size_t size)
{
    const std::size_t aligned = AlignUp(std::max<std::size_t>(size, 1));
    if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().used < aligned)
    {
        // A record larger than a chunk gets storage of its own size.
        const std::size_t chunks = (aligned + kChunkSize - 1) / kChunkSize;
        Chunk chunk;
        chunk.capacity = chunks * kChunkSize;
        chunk.storage =
            std::make_unique_for_overwrite<std::uint64_t[]>(chunk.capacity / sizeof(std::uint64_t));
        m_chunks.push_back(std::move(chunk));
    }
    Chunk& chunk = m_chunks.back();
    auto* const pRecord = reinterpret_cast<unsigned char*>(chunk.storage.get()) + chunk.used;
    chunk.used += aligned;
    ++m_itemCount;
    return pRecord;
}

void ItemArena::Clear()
{
    m_chunks.clear();
    m_itemCount = 0;
}

std::size_t ItemArena::BytesUsed() const
{
    std::size_t bytes = 0;
    for (const Chunk& chunk : m_chunks)
        bytes += chunk.used;
    return bytes;
}

bool ItemArena::Cursor::HasItem() const
{
    const auto& chunks = m_pArena->m_chunks;
    for (std::size_t c = m_chunk, offset = m_offset; c < chunks.size(); ++c, offset = 0)
    {
        if (offset < chunks[c].used)
            return true;
    }
    return false;
}

const MonitoringItem* ItemArena::Cursor::Next()
{
    const auto& chunks = m_pArena->m_chunks;
    while (m_chunk < chunks.size() && m_offset >= chunks[m_chunk].used)
        ++m_chunk, m_offset = 0;
    if (m_chunk >= chunks.size())
        return nullptr;
    const auto* pItem = reinterpret_cast<const MonitoringItem*>(
        reinterpret_cast<const unsigned char*>(chunks[m_chunk].storage.get()) + m_offset);
    m_offset += AlignUp(pItem->RecordSize());
    return pItem;
}

void MonitoringLogger::Subscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask,
                                 int reserved, bool flag)
{
    m_subscribers.push_back(Subscriber{pSubscriber, kindMask, reserved, flag});
}

void MonitoringLogger::Unsubscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask,
                                   int reserved, bool flag)
{
    const auto it = std::find(m_subscribers.begin(), m_subscribers.end(),
                              Subscriber{pSubscriber, kindMask, reserved, flag});
    if (it == m_subscribers.end())
        return;
    if (m_nDelivering > 0)
    {
        *it = Subscriber{nullptr, 0, 0, false};
        m_bBlanked = true;
    }
    else
        m_subscribers.erase(it);
}

IMonitoringMgrLoggerIterator* MonitoringLogger::CreateIterator()
{
    ++m_openIterators;
    return new LoggerIterator(&m_arena);
}

void MonitoringLogger::ReleaseIterator(IMonitoringMgrLoggerIterator* pIterator)
{
    if (pIterator == nullptr)
        return;
    delete static_cast<LoggerIterator*>(pIterator);
    --m_openIterators;
}

void MonitoringLogger::LogDialogueResolved(const GUID& event, const GUID& target,
                                           std::span<const GUID> values, bool resolveOnly)
{
    void* const pWhere = m_arena.Allocate(DialogueResolvedItem::SizeOfItem(values.size()));
    Deliver(DialogueResolvedItem::Construct(pWhere, event, target, values, resolveOnly));
}

void MonitoringLogger::LogObjectNotification(const GUID& object, std::uint32_t reason)
{
    void* const pWhere = m_arena.Allocate(ObjectNotificationItem::SizeOfItem());
    Deliver(ObjectNotificationItem::Construct(pWhere, object, reason));
}

void MonitoringLogger::LogItem(std::uint8_t kind)
{
    // A kind above 63 could never be selected by a mask.
    if (kind >= 64)
        return;
    void* const pWhere = m_arena.Allocate(MonitoringItem::SizeOfItem());
    Deliver(MonitoringItem::Construct(pWhere, kind));
}

void MonitoringLogger::Deliver(const MonitoringItem* pItem)
{
    // Subscribers added while the item is delivered see the next item, not this one.
    const std::size_t count = m_subscribers.size();
    ++m_nDelivering;
    for (std::size_t i = 0; i < count; ++i)
    {
        const Subscriber& s = m_subscribers[i];
        if (s.pSubscriber != nullptr && Selects(s.kindMask, pItem->type))
            s.pSubscriber->OnItemLogged(pItem);
    }
    if (--m_nDelivering == 0 && m_bBlanked)
    {
        std::erase_if(m_subscribers, [](const Subscriber& s) { return s.pSubscriber == nullptr; });
        m_bBlanked = false;
    }
}

void MonitoringMgr::StartLogger()
{
    m_logger.Clear();
    m_bLogging = true;
    Raise("LoggerStarted");
}

void MonitoringMgr::StopLogger()
{
    m_bLogging = false;
    Raise("LoggerStopped");
}
