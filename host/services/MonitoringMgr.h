// The monitoring manager (service 120) and its logger: items are stored compactly in capture order
// and handed at once to every subscriber whose kind mask selects them.
#pragma once

#include "host/services/MonitoringItems.h"
#include "host/services/ServiceProvider.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class IMonitoringMgrLoggerSubscriber
{
public:
    virtual void OnItemLogged(const MonitoringItem* pItem) = 0;

protected:
    ~IMonitoringMgrLoggerSubscriber() = default;
};

class IMonitoringMgrLoggerIterator
{
public:
    virtual void Rewind() = 0;
    virtual bool HasItem() const = 0;
    // The next item whose kind the mask selects (bit N: kind N), skipping the others; null at the end.
    virtual const MonitoringItem* NextItem(std::uint64_t kindMask) = 0;

protected:
    ~IMonitoringMgrLoggerIterator() = default;
};

class IMonitoringMgrLogger
{
public:
    virtual void Subscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask, int reserved,
                           bool flag) = 0;
    // Removes the subscription made with the same four values.
    virtual void Unsubscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask,
                             int reserved, bool flag) = 0;
    virtual IMonitoringMgrLoggerIterator* CreateIterator() = 0;
    virtual void ReleaseIterator(IMonitoringMgrLoggerIterator* pIterator) = 0;

protected:
    ~IMonitoringMgrLogger() = default;
};

class IMonitoringMgr : public IServiceBase
{
public:
    virtual IMonitoringMgrLogger* GetLogger() = 0;

protected:
    ~IMonitoringMgr() = default;
};

class IMonitoringMgrCursor
{
protected:
    ~IMonitoringMgrCursor() = default;
};

class GameProfilerCursors
{
public:
    // The cursor of the game's capture; never null.
    static IMonitoringMgrCursor* GetGameCursor();
};

// Item records one after another in chunks, walked in the order they were written. A record never
// moves, so its address stays valid until Clear.
class ItemArena
{
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    // Room for a record of the given size, 8-byte aligned; the memory stays put until Clear.
    void* Allocate(std::size_t size);
    void Clear();

    std::size_t ItemCount() const { return m_itemCount; }
    std::size_t BytesUsed() const;

    class Cursor
    {
    public:
        explicit Cursor(const ItemArena* pArena) : m_pArena(pArena) {}
        void Rewind() { m_chunk = 0, m_offset = 0; }
        bool HasItem() const;
        const MonitoringItem* Next();

    private:
        const ItemArena* m_pArena;
        std::size_t m_chunk = 0;
        std::size_t m_offset = 0;
    };

private:
    struct Chunk
    {
        // In 8-byte words, the alignment of every record.
        std::unique_ptr<std::uint64_t[]> storage;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    std::vector<Chunk> m_chunks;
    std::size_t m_itemCount = 0;
};

class MonitoringLogger : public IMonitoringMgrLogger
{
public:
    void Subscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask, int reserved,
                   bool flag) override;
    void Unsubscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask, int reserved,
                     bool flag) override;
    IMonitoringMgrLoggerIterator* CreateIterator() override;
    void ReleaseIterator(IMonitoringMgrLoggerIterator* pIterator) override;

    // Store an item and deliver it to the subscribers whose mask selects its kind.
    void LogDialogueResolved(const GUID& event, const GUID& target, std::span<const GUID> values,
                             bool resolveOnly = false);
    void LogObjectNotification(const GUID& object, std::uint32_t reason);
    // An item of any other kind (0 to 63); it carries no data.
    void LogItem(std::uint8_t kind);

    void Clear() { m_arena.Clear(); }
    std::size_t ItemCount() const { return m_arena.ItemCount(); }
    std::size_t BytesUsed() const { return m_arena.BytesUsed(); }
    std::size_t SubscriberCount() const { return m_subscribers.size(); }
    std::size_t OpenIteratorCount() const { return m_openIterators; }

private:
    struct Subscriber
    {
        IMonitoringMgrLoggerSubscriber* pSubscriber;
        std::uint64_t kindMask;
        int reserved;
        bool flag;
        friend bool operator==(const Subscriber&, const Subscriber&) = default;
    };

    void Deliver(const MonitoringItem* pItem);

    ItemArena m_arena;
    std::vector<Subscriber> m_subscribers;
    std::size_t m_openIterators = 0;
    // While items are being delivered, unsubscribed entries are only blanked, and erased afterwards.
    int m_nDelivering = 0;
    bool m_bBlanked = false;
};

// Service 120. Starting the logger begins a new capture: the log is emptied and "LoggerStarted" is
// raised on "MonitoringMgrNotification"; stopping raises "LoggerStopped".
class MonitoringMgr : public IMonitoringMgr
{
public:
    bool Initialize() override { return true; }
    bool Terminate() override { return true; }
    void Destroy() override {}
    IMonitoringMgrLogger* GetLogger() override { return &m_logger; }

    MonitoringLogger& Logger() { return m_logger; }
    void StartLogger();
    void StopLogger();
    bool IsLogging() const { return m_bLogging; }

private:
    MonitoringLogger m_logger;
    bool m_bLogging = false;
};
