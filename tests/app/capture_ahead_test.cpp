#include "app/formats/CaptureAhead.h"
#include "app/generate/Generator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace
{

// What a sink saw of an item: its line, kind and every GUID it carried, values included.
struct Seen
{
    std::size_t line = 0;
    std::size_t index = 0;
    std::vector<GUID> ids;

    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen Copy(const app::CaptureItem& item, std::size_t line)
{
    Seen seen{line, item.index(), {}};
    if (const auto* p = std::get_if<app::DialogueResolved>(&item))
    {
        seen.ids = {p->event, p->target};
        seen.ids.insert(seen.ids.end(), p->values.begin(), p->values.end());
    }
    else if (const auto* p = std::get_if<app::ObjectNotification>(&item))
        seen.ids = {p->object};
    return seen;
}

std::vector<Seen> ReadDirectly(const std::string& text, app::CaptureStatus& status)
{
    std::vector<Seen> seen;
    status = app::ParseCapture(text, [&](const app::CaptureItem& item, std::size_t line)
                               { seen.push_back(Copy(item, line)); });
    return seen;
}

// A capture long enough to fill many batches, through a queue of a few batches, gives the items,
// values and lines that reading it directly gives.
TEST(CaptureAhead, DeliversWhatTheReaderGivesInOrderThroughAShortQueue)
{
    const std::string text = app::Generator({30, 20'000, 3}).CaptureJsonl();
    app::CaptureStatus direct;
    const std::vector<Seen> expected = ReadDirectly(text, direct);
    ASSERT_TRUE(direct.Ok());

    app::CaptureAhead ahead([&text](const app::CaptureSink& sink) { return app::ParseCapture(text, sink); },
                            4096);
    std::vector<Seen> seen;
    const app::CaptureStatus status = ahead.Deliver([&](const app::CaptureItem& item, std::size_t line)
                                                    { seen.push_back(Copy(item, line)); });
    EXPECT_TRUE(status.Ok());
    EXPECT_EQ(status.items, direct.items);
    EXPECT_EQ(seen, expected);
}

// A capture that fails part way: everything before the bad line arrives, then the reader's error
// with its line.
TEST(CaptureAhead, DeliversTheItemsBeforeAnErrorAndTheError)
{
    std::string text = app::Generator({5, 3000, 9}).CaptureJsonl();
    text += "{\"type\": 34, \"event\": 7}\n";
    text += app::Generator({5, 10, 9}).CaptureJsonl();
    app::CaptureStatus direct;
    const std::vector<Seen> expected = ReadDirectly(text, direct);
    ASSERT_FALSE(direct.Ok());

    app::CaptureAhead ahead([&text](const app::CaptureSink& sink) { return app::ParseCapture(text, sink); });
    std::vector<Seen> seen;
    const app::CaptureStatus status = ahead.Deliver([&](const app::CaptureItem& item, std::size_t line)
                                                    { seen.push_back(Copy(item, line)); });
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(status.error, direct.error);
    EXPECT_EQ(status.line, 3001u);
}

// A session that never starts (a bad project, say) drops the reader half way, without waiting for
// the rest of the capture.
TEST(CaptureAhead, StopsAReaderNobodyTakesItemsFrom)
{
    std::atomic<std::size_t> produced = 0;
    {
        app::CaptureAhead ahead(
            [&produced](const app::CaptureSink& sink)
            {
                for (std::size_t line = 1; line <= 10'000'000; ++line)
                {
                    sink(app::OtherItem{3}, line);
                    ++produced;
                }
                return app::CaptureStatus{};
            },
            4096);
    }
    EXPECT_LT(produced.load(), 100'000u);
}

} // namespace
