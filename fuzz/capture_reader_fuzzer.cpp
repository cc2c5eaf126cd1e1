// Any bytes as a capture: read whole, and fed in pieces whose sizes the input's first bytes choose, the
// reader hands over the same items with the same lines and stops with the same verdict. Items come in
// line order, before the line of an error, and each is well-formed.
#include "app/formats/CaptureReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace
{

void Require(bool bHolds, const char* what)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "capture reader: %s\n", what);
    std::abort();
}

// An item flattened so that two readings can be compared; the values' span dies with the call.
struct Seen
{
    std::size_t index = 0;
    std::size_t line = 0;
    GUID first;
    GUID second;
    std::vector<GUID> values;
    std::uint64_t extra = 0;

    bool operator==(const Seen&) const = default;
};

Seen Flatten(const app::CaptureItem& item, std::size_t line)
{
    Seen seen;
    seen.index = item.index();
    seen.line = line;
    if (const auto* pResolved = std::get_if<app::DialogueResolved>(&item))
    {
        seen.first = pResolved->event;
        seen.second = pResolved->target;
        seen.values.assign(pResolved->values.begin(), pResolved->values.end());
        seen.extra = pResolved->resolveOnly ? 1 : 0;
    }
    else if (const auto* pNotification = std::get_if<app::ObjectNotification>(&item))
    {
        seen.first = pNotification->object;
        seen.extra = pNotification->reason;
    }
    else
    {
        const std::uint8_t kind = std::get<app::OtherItem>(item).kind;
        Require(kind < 64 && kind != 1 && kind != 34, "another kind outside 0 to 63 or a known kind");
        seen.extra = kind;
    }
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t size)
{
    // Two bytes choose the piece sizes; the rest is the capture.
    if (size < 2)
        return 0;
    const std::size_t firstPiece = pData[0] % 17 + 1;
    const std::size_t laterPiece = pData[1] % 61 + 1;
    const std::string_view text(reinterpret_cast<const char*>(pData + 2), size - 2);

    std::vector<Seen> whole;
    const app::CaptureStatus status = app::ParseCapture(
        text, [&](const app::CaptureItem& item, std::size_t line) { whole.push_back(Flatten(item, line)); });
    Require(status.items == whole.size(), "the item count differs from the items handed over");
    for (std::size_t i = 0; i < whole.size(); ++i)
    {
        Require(whole[i].line >= 1, "an item on line 0");
        Require(i == 0 || whole[i].line > whole[i - 1].line, "two items on one line, or out of order");
        Require(status.Ok() || whole[i].line < status.line, "an item at or after the bad line");
    }
    if (!status.Ok())
    {
        Require(status.line >= 1, "an error in memory without a line");
        Require(status.error.find('\n') == std::string::npos, "the message is more than one line");
    }

    std::vector<Seen> pieces;
    app::CaptureParser parser([&](const app::CaptureItem& item, std::size_t line)
                              { pieces.push_back(Flatten(item, line)); });
    std::size_t offset = 0;
    std::size_t piece = firstPiece;
    while (offset < text.size())
    {
        const std::size_t length = std::min(piece, text.size() - offset);
        if (!parser.Feed(text.substr(offset, length)))
            break;
        offset += length;
        piece = laterPiece;
    }
    parser.Finish();
    Require(parser.Status().error == status.error, "pieces give another verdict");
    Require(parser.Status().line == status.line, "pieces give another line");
    Require(pieces == whole, "pieces give other items");
    return 0;
}
