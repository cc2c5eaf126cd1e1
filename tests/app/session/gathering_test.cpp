// The gathering path that `stats` and `view` share, in process, on the example built into the program.
#include "app/session/DemoData.h"
#include "app/session/Gathering.h"
#include "host/base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace
{

std::unique_ptr<app::Gathering> OpenDemo(app::Replay replay)
{
    std::string error;
    app::PluginLoad plugin{app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error), error};
    app::Gathering::Start start =
        app::Gathering::Open(app::SessionInput::Demo(), std::move(plugin), replay, {840, 600});
    EXPECT_NE(start.pGathering, nullptr) << start.error;
    return std::move(start.pGathering);
}

app::CaptureStatus ReadDemo(const app::CaptureSink& sink)
{
    return app::ParseCapture(app::DemoCaptureJsonl(), sink);
}

// Every statistic's copy and whether it has its value list, keyed by name.
std::map<std::wstring, std::pair<std::wstring, bool>> Gather(app::Replay replay)
{
    const std::unique_ptr<app::Gathering> pGathering = OpenDemo(replay);
    std::map<std::wstring, std::pair<std::wstring, bool>> copies;
    EXPECT_EQ(pGathering->Session().HasView(), replay == app::Replay::Live);
    EXPECT_TRUE(pGathering->LogCapture(ReadDemo).Ok());
    EXPECT_FALSE(pGathering->Select(L"Everything"));
    for (const std::wstring_view query : app::kQueryNames)
    {
        EXPECT_TRUE(pGathering->Select(query));
        EXPECT_EQ(pGathering->Selected(), query);
        const app::StatisticLists lists = pGathering->Lists();
        EXPECT_NE(lists.pMain, nullptr);
        const std::wstring* pCopied = pGathering->CopyResults();
        EXPECT_NE(pCopied, nullptr);
        copies[std::wstring(query)] = {pCopied ? *pCopied : L"", lists.pValues != nullptr};
    }
    return copies;
}

TEST(Gathering, RunReplaysIntoEachSelectedStatisticWhatLiveGathered)
{
    const auto live = Gather(app::Replay::Live);
    const auto run = Gather(app::Replay::Run);
    EXPECT_EQ(run, live);
    // Only the distribution has a value list; every statistic of the example has rows.
    for (const auto& [query, copy] : live)
    {
        EXPECT_EQ(copy.second, query == L"Dialogue Events Distribution") << text::ToUtf8(query);
        EXPECT_GT(std::count(copy.first.begin(), copy.first.end(), L'\n'), 1) << text::ToUtf8(query);
    }
}

TEST(Gathering, ACaptureThatFailsStillEndsItsLoggerSessionWithWhatCameBefore)
{
    const std::unique_ptr<app::Gathering> pGathering = OpenDemo(app::Replay::Live);
    ASSERT_TRUE(pGathering->Select(L"Dialogue Events Added"));
    // Three items, then the reading fails on the fourth line.
    const app::CaptureSource failing = [](const app::CaptureSink& sink)
    {
        app::CaptureStatus status;
        ReadDemo(
            [&](const app::CaptureItem& item, std::size_t line)
            {
                if (status.items < 3)
                {
                    sink(item, line);
                    ++status.items;
                }
            });
        status.line = 4;
        status.error = "unexpected end";
        return status;
    };
    std::vector<std::size_t> lines;
    const app::CaptureStatus status = pGathering->LogCapture(
        failing, [&](const app::CaptureItem&, std::size_t line) { lines.push_back(line); });
    EXPECT_EQ(status.error, "unexpected end");
    EXPECT_EQ(status.line, 4u);
    EXPECT_EQ(lines.size(), 3u);
    HostEnvironment& env = pGathering->Session().Environment();
    EXPECT_FALSE(env.Monitoring().IsLogging());
    EXPECT_EQ(pGathering->Session().LoggedItems(), 3u);
    const std::wstring partial = *pGathering->CopyResults();

    // The next capture is a logger session of its own: the statistics start again from nothing.
    EXPECT_TRUE(pGathering->LogCapture(ReadDemo).Ok());
    EXPECT_FALSE(env.Monitoring().IsLogging());
    EXPECT_NE(*pGathering->CopyResults(), partial);
    EXPECT_TRUE(pGathering->LogCapture(failing).error.size() > 0);
    EXPECT_EQ(*pGathering->CopyResults(), partial);
}

} // namespace
