#include "app/session/ReadAhead.h"

namespace app
{

ReadAhead::ReadAhead(const std::vector<CaptureInput>& captures)
    : m_captures(captures), m_readers(captures.size())
{
    for (std::size_t index = 0; index < captures.size(); ++index)
    {
        m_sources.push_back(
            [this, index](const CaptureSink& sink)
            {
                Start(index);
                Start(index + 1);
                return m_readers[index]->Deliver(sink);
            });
    }
    Start(0);
}

void ReadAhead::Start(std::size_t index)
{
    if (index < m_readers.size() && !m_readers[index])
        m_readers[index] = std::make_unique<CaptureAhead>(m_captures[index].read);
}

} // namespace app
