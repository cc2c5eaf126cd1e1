#include "app/CaptureAhead.h"

#include <algorithm>
#include <exception>

namespace app
{

namespace
{
// Large enough that handing a batch over costs nothing per item, small enough to stay in cache.
constexpr std::size_t kBatchItems = 2048;
} // namespace

CaptureAhead::CaptureAhead(Read read, std::size_t maxQueued)
    : m_maxBatches(std::max<std::size_t>(2, maxQueued / kBatchItems)), m_refillAt(m_maxBatches / 4)
{
    m_reader = std::thread([this, read = std::move(read)] { ReadAll(read); });
}

CaptureAhead::~CaptureAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_drained.notify_all();
    m_reader.join();
}

void CaptureAhead::ReadAll(const Read& read)
{
    CaptureStatus status;
    try
    {
        m_pFilling = TakeSpare();
        status = read([this](const CaptureItem& item, std::size_t line) { Add(item, line); });
        Publish();
    }
    catch (const Stopped&)
    {
        status.error = "reading stopped";
    }
    catch (const std::exception& error)
    {
        // Out of memory, most likely: what was queued is still delivered.
        status.error = std::string("cannot read: ") + error.what();
        status.line = 0;
    }
    const std::lock_guard lock(m_mutex);
    m_status = std::move(status);
    m_queued.notify_all();
}

void CaptureAhead::SetLocate(Locate locate)
{
    const std::lock_guard lock(m_locateMutex);
    m_locate = std::move(locate);
}

void CaptureAhead::Add(const CaptureItem& item, std::size_t line)
{
    Batch& batch = *m_pFilling;
    Entry& entry = batch.entries.emplace_back(Entry{item, line, batch.values.size()});
    {
        const std::lock_guard lock(m_locateMutex);
        if (m_locate)
        {
            entry.firstHandle = static_cast<std::uint32_t>(batch.handles.size());
            m_locate(item, batch.handles);
            entry.handleCount = static_cast<std::uint32_t>(batch.handles.size()) - entry.firstHandle;
        }
    }
    if (auto* pResolved = std::get_if<DialogueResolved>(&entry.item))
    {
        batch.values.insert(batch.values.end(), pResolved->values.begin(), pResolved->values.end());
        pResolved->values =
            std::span<const GUID>(static_cast<const GUID*>(nullptr), pResolved->values.size());
    }
    if (batch.entries.size() == kBatchItems)
    {
        Publish();
        m_pFilling = TakeSpare();
    }
}

void CaptureAhead::Publish()
{
    if (m_pFilling == nullptr || m_pFilling->entries.empty())
        return;
    std::unique_lock lock(m_mutex);
    if (m_queue.size() >= m_maxBatches)
        m_drained.wait(lock, [this] { return m_bStop || m_queue.size() <= m_refillAt; });
    if (m_bStop)
        throw Stopped{};
    m_queue.push_back(std::move(m_pFilling));
    m_queued.notify_all();
}

std::unique_ptr<CaptureAhead::Batch> CaptureAhead::TakeSpare()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_spare.empty())
        {
            std::unique_ptr<Batch> pBatch = std::move(m_spare.back());
            m_spare.pop_back();
            return pBatch;
        }
    }
    auto pBatch = std::make_unique<Batch>();
    pBatch->entries.reserve(kBatchItems);
    return pBatch;
}

CaptureStatus CaptureAhead::Deliver(const CaptureSink& sink, const LookAhead& lookAhead)
{
    for (;;)
    {
        std::unique_ptr<Batch> pBatch;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return !m_queue.empty() || m_status.has_value(); });
            if (m_queue.empty())
                return *m_status;
            pBatch = std::move(m_queue.front());
            m_queue.pop_front();
            if (m_queue.size() == m_refillAt)
                m_drained.notify_all();
        }
        const std::span<Entry> entries(pBatch->entries);
        for (std::size_t i = 0; i < entries.size(); ++i)
        {
            if (lookAhead)
            {
                for (const Distance distance : {Distance::kFar, Distance::kNear})
                {
                    const std::size_t ahead = i + static_cast<std::size_t>(distance);
                    if (ahead < entries.size() && entries[ahead].handleCount != 0)
                        lookAhead(
                            std::span<const void* const>(pBatch->handles.data() + entries[ahead].firstHandle,
                                                         entries[ahead].handleCount),
                            distance);
                }
            }
            // The values find their place in the batch only now: one pass over the batch, not two.
            Entry& entry = entries[i];
            if (auto* pResolved = std::get_if<DialogueResolved>(&entry.item))
                pResolved->values =
                    std::span<const GUID>(pBatch->values.data() + entry.firstValue, pResolved->values.size());
            sink(entry.item, entry.line);
        }
        pBatch->entries.clear();
        pBatch->values.clear();
        pBatch->handles.clear();
        const std::lock_guard lock(m_mutex);
        m_spare.push_back(std::move(pBatch));
    }
}

} // namespace app
