// Reading a capture ahead on a thread of its own: the lines are parsed while the session starts and
// while the statistics gather on the calling thread. Items reach the caller in capture order and in
// batches, as a profiler connection hands them to the host's main thread.
#pragma once

#include "app/formats/CaptureReader.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
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

    // Starts reading at once. At most about `maxQueued` items wait at a time; the reader pauses beyond,
    // so that a capture larger than memory can be followed.
    explicit CaptureAhead(Read read, std::size_t maxQueued = std::size_t{1} << 13);
    // Stops a reader that is still reading and waits for its thread.
    ~CaptureAhead();
    CaptureAhead(const CaptureAhead&) = delete;
    CaptureAhead& operator=(const CaptureAhead&) = delete;

    // Hands every item to `sink` on the calling thread, until the capture ends or fails; returns what
    // reading it gave, as the reader itself would have. Once only.
    CaptureStatus Deliver(const CaptureSink& sink);

private:
    struct Entry
    {
        // A resolution's values are kept in the batch; `values` is set only on delivery.
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

    std::mutex m_mutex;
    // A batch was queued, or the reading ended.
    std::condition_variable m_queued;
    // A batch was taken, or the reading is no longer wanted.
    std::condition_variable m_taken;
    std::deque<Batch> m_queue;
    std::optional<CaptureStatus> m_status;
    bool m_bStop = false;
    std::size_t m_maxBatches;

    // The reader's own, touched by its thread only.
    Batch m_filling;
    std::thread m_reader;
};

} // namespace app
