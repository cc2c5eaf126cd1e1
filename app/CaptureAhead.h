// Reading a capture ahead on a thread of its own: the lines are parsed on the second core while the
// session starts and while the statistics gather on the calling thread. Items reach the caller in
// capture order and in batches, as a profiler connection hands them to the host's main thread.
#pragma once

#include "app/CaptureReader.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
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

    // Hands every item to `sink` on the calling thread, until the capture ends or fails; returns
    // what reading it gave, as the reader itself would have. Once only.
    //
    // `lookAhead`, when given, hears of every item three times before the sink does, `kFar`,
    // `kMiddle` and `kNear` items ahead, so that what the item will touch can be brought into the
    // cache step by step (each step reads what the one before loaded) while earlier items are handled.
    enum class Distance
    {
        kFar = 18,
        kMiddle = 12,
        kNear = 6,
    };
    using LookAhead = std::function<void(const CaptureItem& item, Distance distance)>;
    CaptureStatus Deliver(const CaptureSink& sink, const LookAhead& lookAhead = {});

private:
    struct Entry
    {
        // The values of a resolution are kept in the batch; `values` is empty until delivery.
        CaptureItem item;
        std::size_t line = 0;
        std::size_t firstValue = 0;
    };
    struct Batch
    {
        std::vector<Entry> entries;
        std::vector<GUID> values;
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
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Batch>> m_queue;
    std::vector<std::unique_ptr<Batch>> m_spare;
    std::optional<CaptureStatus> m_status;
    bool m_bStop = false;
    std::size_t m_maxBatches;

    // The reader's own, touched by its thread only.
    std::unique_ptr<Batch> m_pFilling;
    std::thread m_reader;
};

} // namespace app
