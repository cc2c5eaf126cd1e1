// Reading a capture: JSON Lines, one monitoring item a line, handled as the bytes arrive.
#pragma once

#include "host/base/Guid.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace app
{

// Kind 34: a dialogue event resolved to a target with one chosen value per argument.
struct DialogueResolved
{
    GUID event;
    GUID target;
    // Null GUID where no value was chosen. Valid only during the call that hands the item over.
    std::span<const GUID> values;
    bool resolveOnly = false;
};

// Kind 1: something happened to an object (reason 9 and 10: it was played).
struct ObjectNotification
{
    GUID object;
    std::uint32_t reason = 0;
};

// Any other kind from 0 to 63; it carries no data.
struct OtherItem
{
    std::uint8_t kind = 0;
};

using CaptureItem = std::variant<DialogueResolved, ObjectNotification, OtherItem>;

// Called once per item, in capture order, with the line the item stands on (counted from 1).
using CaptureSink = std::function<void(const CaptureItem& item, std::size_t line)>;

struct CaptureStatus
{
    // Empty when all went well. Otherwise the reading stopped at `line`, after every item before it
    // was delivered; line 0 means the file itself could not be opened or read.
    std::string error;
    std::size_t line = 0;
    std::size_t items = 0;

    bool Ok() const { return error.empty(); }
};

// Incremental reader: feed it bytes in pieces of any size; each complete line is parsed and its item
// delivered before Feed returns. After the first error it ignores further input and keeps the error.
// A UTF-8 byte-order mark may open the capture.
class CaptureParser
{
public:
    explicit CaptureParser(CaptureSink sink);
    ~CaptureParser();
    CaptureParser(const CaptureParser&) = delete;
    CaptureParser& operator=(const CaptureParser&) = delete;

    // Returns false once an error has occurred (see Status).
    bool Feed(std::string_view bytes);
    // The end of the input: a last line without a newline is parsed now.
    bool Finish();

    const CaptureStatus& Status() const { return m_status; }

private:
    class LineReader;

    // `bytesAfter`: how many bytes of the same buffer may be read past the line's end.
    bool ParseLine(std::string_view line, std::size_t bytesAfter);

    CaptureSink m_sink;
    std::string m_pending;
    std::unique_ptr<LineReader> m_pReader;
    std::size_t m_line = 0;
    CaptureStatus m_status;
};

// A whole capture held in memory.
CaptureStatus ParseCapture(std::string_view text, const CaptureSink& sink);

// A file descriptor read until its end, each block handled as soon as read() returns it, so that a
// pipe is followed live. The descriptor stays open.
CaptureStatus ReadCaptureFd(int fd, const CaptureSink& sink);

// A file by name; "-" reads standard input.
CaptureStatus ReadCaptureFile(const std::string& path, const CaptureSink& sink);

} // namespace app
