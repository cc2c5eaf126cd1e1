// Reading a capture ahead on a thread of its own: the lines are parsed on the second core while the
// session starts and while the statistics gather on the calling thread. Items reach the caller in
// capture order and in batches, as a profiler connection hands them to the host's main thread.
#pragma once

#include "app/CaptureReader.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace app
{

class CaptureAhead
{
public:
    using Read = std::function<CaptureStatus(const CaptureSink&)>;

    // Starts reading at once. At most `maxQueued` items wait at a time; the reader pauses beyond. A
    // few batches are enough, since the reader outruns the statistics, and every batch more that
    // waits is cache that the statistics' tables lose (32 k items ahead were 12 % slower than 8 k).
    explicit CaptureAhead(Read read, std::size_t maxQueued = std::size_t{1} << 13);
    // Stops a reader that is still reading and waits for its thread.
    ~CaptureAhead();
    CaptureAhead(const CaptureAhead&) = delete;
    CaptureAhead& operator=(const CaptureAhead&) = delete;

    // Where what an item names lies, found on the reader's thread for every item read while it is
    // set: it appends handles (the host's own) for the objects that the item names.
    using Locate = std::function<void(const CaptureItem& item, std::vector<const void*>& handles)>;
    // Sets it, or removes it with an empty function; once this returns, a removed one is not called
    // again, so what it reads may go.
    void SetLocate(Locate locate);

    // Hands every item to `sink` on the calling thread, until the capture ends or fails; returns
    // what reading it gave, as the reader itself would have. Once only.
    //
    // `lookAhead`, when given, hears twice of the handles of every located item before the sink gets
    // the item, `kFar` and `kNear` items ahead, so that what they lead to can be brought into the cache
    // in two steps (the second reads what the first loaded) while earlier items are handled.
    enum class Distance
    {
        kFar = 12,
        kNear = 6,
    };
    using LookAhead = std::function<void(std::span<const void* const> handles, Distance distance)>;
    CaptureStatus Deliver(const CaptureSink& sink, const LookAhead& lookAhead = {});

private:
    struct Entry
    {
        // The values of a resolution are kept in the batch; `values` is empty until delivery.
        CaptureItem item;
        std::size_t line = 0;
        std::size_t firstValue = 0;
        // The item's handles in the batch, when it was located.
        std::uint32_t firstHandle = 0;
        std::uint32_t handleCount = 0;
    };
    struct Batch
    {
        std::vector<Entry> entries;
        std::vector<GUID> values;
        std::vector<const void*> handles;
    };
    // Thrown by the reader's sink to leave the parser when the reading is no longer wanted.
    struct Stopped
    {
    };

    void ReadAll(const Read& read);
    void Add(const CaptureItem& item, std::size_t line);
    // Queues the batch being filled; waits while the queue is full.
    void Publish();
    std::unique_ptr<Batch> TakeSpare();

    std::mutex m_mutex;
    // A batch was queued, or the reading ended.
    std::condition_variable m_queued;
    // The queue ran down to `m_refillAt` batches, or the reading is no longer wanted. A paused reader
    // is woken once per few batches, not per batch: waking a thread on the other core costs the
    // caller tens of microseconds on a virtual machine.
    std::condition_variable m_drained;
    std::deque<std::unique_ptr<Batch>> m_queue;
    std::vector<std::unique_ptr<Batch>> m_spare;
    std::optional<CaptureStatus> m_status;
    bool m_bStop = false;
    std::size_t m_maxBatches;
    std::size_t m_refillAt;
    // Held by the reader while it locates an item, so that removing the function waits for a call
    // under way.
    std::mutex m_locateMutex;
    Locate m_locate;

    // The reader's own, touched by its thread only.
    std::unique_ptr<Batch> m_pFilling;
    std::thread m_reader;
};

} // namespace app
