#include "app/formats/CaptureAhead.h"

#include <algorithm>
#include <exception>

namespace app
{

namespace
{
// Enough that handing a batch over costs nothing per item.
constexpr std::size_t kBatchItems = 2048;
} // namespace

CaptureAhead::CaptureAhead(Read read, std::size_t maxQueued)
    : m_maxBatches(std::max<std::size_t>(2, maxQueued / kBatchItems))
{
    m_filling.entries.reserve(kBatchItems);
    m_reader = std::thread([this, read = std::move(read)] { ReadAll(read); });
}

CaptureAhead::~CaptureAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_taken.notify_all();
    m_reader.join();
}

void CaptureAhead::ReadAll(const Read& read)
{
    CaptureStatus status;
    try
    {
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

void CaptureAhead::Add(const CaptureItem& item, std::size_t line)
{
    Entry& entry = m_filling.entries.emplace_back(Entry{item, line, m_filling.values.size()});
    if (auto* pResolved = std::get_if<DialogueResolved>(&entry.item))
    {
        // The parser's values last only for this call: the batch keeps a copy.
        m_filling.values.insert(m_filling.values.end(), pResolved->values.begin(), pResolved->values.end());
        pResolved->values = {};
    }
    if (m_filling.entries.size() == kBatchItems)
        Publish();
}

void CaptureAhead::Publish()
{
    if (m_filling.entries.empty())
        return;
    std::unique_lock lock(m_mutex);
    m_taken.wait(lock, [this] { return m_bStop || m_queue.size() < m_maxBatches; });
    if (m_bStop)
        throw Stopped{};
    m_queue.push_back(std::move(m_filling));
    m_filling = {};
    m_filling.entries.reserve(kBatchItems);
    m_queued.notify_one();
}

CaptureStatus CaptureAhead::Deliver(const CaptureSink& sink)
{
    for (;;)
    {
        Batch batch;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return !m_queue.empty() || m_status.has_value(); });
            if (m_queue.empty())
                return *m_status;
            batch = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_taken.notify_one();
        for (std::size_t i = 0; i < batch.entries.size(); ++i)
        {
            Entry& entry = batch.entries[i];
            const std::size_t end =
                i + 1 < batch.entries.size() ? batch.entries[i + 1].firstValue : batch.values.size();
            if (auto* pResolved = std::get_if<DialogueResolved>(&entry.item))
                pResolved->values =
                    std::span<const GUID>(batch.values).subspan(entry.firstValue, end - entry.firstValue);
            sink(entry.item, entry.line);
        }
    }
}

} // namespace app
