// The captures of a command read ahead on the second core, one after another: the first from the
// start (while the project loads), each next one while the one before it is handed over, so that no
// session waits for its first lines.
#pragma once

#include "app/formats/CaptureAhead.h"
#include "app/session/SessionInput.h"

#include <memory>
#include <vector>

namespace app
{

class ReadAhead
{
public:
    // Starts reading the first capture at once. The captures must outlive this.
    explicit ReadAhead(const std::vector<CaptureInput>& captures);
    // The sources refer to this object.
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // One source per capture, in the same order, each handing its items over once, from the reader.
    const std::vector<CaptureSource>& Sources() const { return m_sources; }

private:
    void Start(std::size_t index);

    const std::vector<CaptureInput>& m_captures;
    std::vector<std::unique_ptr<CaptureAhead>> m_readers;
    std::vector<CaptureSource> m_sources;
};

} // namespace app
