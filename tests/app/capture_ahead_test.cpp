#include "app/CaptureAhead.h"
#include "app/generate/Generator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
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
// values and lines that reading it directly gives, and the handles that the reader found for each
// item are looked at ahead of its delivery.
TEST(CaptureAhead, DeliversWhatTheReaderGivesInOrderThroughAShortQueue)
{
    const std::string text = app::Generator({30, 20'000, 3}).CaptureJsonl();
    app::CaptureStatus direct;
    const std::vector<Seen> expected = ReadDirectly(text, direct);
    ASSERT_TRUE(direct.Ok());

    // The reader waits until the locator is set, so that every item is located; a resolution gets
    // one handle per value (its position in the capture, from 1), anything else none.
    std::promise<void> located;
    app::CaptureAhead ahead(
        [&text, ready = located.get_future().share()](const app::CaptureSink& sink)
        {
            ready.wait();
            return app::ParseCapture(text, sink);
        },
        4096);
    std::size_t nLocated = 0;
    ahead.SetLocate(
        [&nLocated](const app::CaptureItem& item, std::vector<const void*>& handles)
        {
            ++nLocated;
            if (const auto* p = std::get_if<app::DialogueResolved>(&item))
                handles.insert(handles.end(), p->values.size(), reinterpret_cast<const void*>(nLocated));
        });
    located.set_value();

    std::vector<Seen> seen;
    std::size_t looks = 0;
    const app::CaptureStatus status = ahead.Deliver(
        [&](const app::CaptureItem& item, std::size_t line) { seen.push_back(Copy(item, line)); },
        [&](std::span<const void* const> handles, app::CaptureAhead::Distance distance)
        {
            // The handles looked at are those of the item the sink gets that many items later.
            const std::size_t later = seen.size() + static_cast<std::size_t>(distance);
            ASSERT_LT(later, expected.size());
            EXPECT_EQ(handles.size(), expected[later].ids.size() - 2);
            for (const void* handle : handles)
                EXPECT_EQ(reinterpret_cast<std::size_t>(handle), later + 1);
            looks += expected[later].ids.size() > 2;
        });
    ahead.SetLocate({});

    EXPECT_TRUE(status.Ok());
    EXPECT_EQ(status.items, direct.items);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(nLocated, expected.size());
    // Two looks at nearly every item with values: only the first few of each batch are not looked at
    // ahead, and items without handles never are.
    std::size_t withValues = 0;
    for (const Seen& item : expected)
        withValues += item.ids.size() > 2;
    EXPECT_GT(looks, withValues * 2 * 9 / 10);
    EXPECT_LE(looks, withValues * 2);
}

// Removing the locator part way: from the moment the call returns, the reader calls it no more,
// although it goes on reading.
TEST(CaptureAhead, CallsNoRemovedLocator)
{
    const std::string text = app::Generator({30, 50'000, 5}).CaptureJsonl();
    std::promise<void> located;
    app::CaptureAhead ahead(
        [&text, ready = located.get_future().share()](const app::CaptureSink& sink)
        {
            ready.wait();
            return app::ParseCapture(text, sink);
        },
        4096);
    std::atomic<std::size_t> calls = 0;
    ahead.SetLocate([&calls](const app::CaptureItem&, std::vector<const void*>&) { ++calls; });
    located.set_value();
    std::size_t delivered = 0;
    std::size_t callsWhenRemoved = 0;
    const app::CaptureStatus status = ahead.Deliver(
        [&](const app::CaptureItem&, std::size_t)
        {
            if (++delivered == 1000)
            {
                ahead.SetLocate({});
                callsWhenRemoved = calls.load();
            }
        });
    EXPECT_TRUE(status.Ok());
    EXPECT_EQ(delivered, 50'000u);
    EXPECT_GE(callsWhenRemoved, 1000u);
    EXPECT_EQ(calls.load(), callsWhenRemoved);
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
