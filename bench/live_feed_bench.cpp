// The whole live path through the loaded plug-in: items logged by the host's monitoring manager reach
// the registry and all four queries while the statistics view is open on "Paths Used" with its list
// sorted by "Added", and the view draws a frame now and then. Beside it, the ordered-map lookups that
// the statistics need per item, alone, over maps of the same sizes, so that growth with the number of
// rows can be told apart from the lookups themselves. And a Run over a million logged items.
#include "app/session/HostSession.h"
#include "app/session/PluginLibrary.h"

#include "host/base/TextCodec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// Two arguments of nine values each (ten with the wildcard) give each event a hundred paths.
constexpr std::uint32_t kValues = 9;
constexpr std::uint32_t kPathsPerEvent = (kValues + 1) * (kValues + 1);
// A view draws far fewer frames than items arrive: one per 16384 items is about 120 frames a second
// at two million items a second.
constexpr std::int64_t kItemsPerFrame = 16384;

GUID MakeId(std::uint32_t kind, std::uint32_t n)
{
    GUID g;
    g.Data1 = n * 2654435761u; // spread, as real GUIDs are
    g.Data2 = static_cast<std::uint16_t>(kind);
    g.Data3 = static_cast<std::uint16_t>(n >> 16);
    g.Data4[7] = static_cast<std::uint8_t>(n);
    return g;
}

enum Kind : std::uint32_t
{
    kEvent = 1,
    kArgument,
    kValue,
    kTarget,
    kVoice,
};

struct FeedItem
{
    bool bPlay = false;
    GUID object; // the event, or the played object
    GUID target;
    GUID values[2];
};

// `events` events with two arguments each; every event resolves to a target of its own, which has
// a voice below it that the game plays.
std::unique_ptr<Project> MakeProject(std::uint32_t events)
{
    auto pProject = std::make_unique<Project>();
    for (std::uint32_t a = 0; a < 2; ++a)
    {
        std::vector<GUID> values;
        for (std::uint32_t v = 0; v < kValues; ++v)
        {
            values.push_back(MakeId(kValue, a * kValues + v));
            pProject->AddObject(values.back(), L"Value" + std::to_wstring(a * kValues + v));
        }
        pProject->AddArgument(MakeId(kArgument, a), a == 0 ? L"Mood" : L"Place")->SetValues(values);
    }
    for (std::uint32_t e = 0; e < events; ++e)
    {
        DialogueEventObject* pEvent =
            pProject->AddDialogueEvent(MakeId(kEvent, e), L"Event" + std::to_wstring(e));
        pEvent->SetArguments({MakeId(kArgument, 0), MakeId(kArgument, 1)});
        pEvent->SetTargets({MakeId(kTarget, e)});
        pProject->AddObject(MakeId(kTarget, e), L"Line" + std::to_wstring(e));
        pProject->AddObject(MakeId(kVoice, e), L"Voice" + std::to_wstring(e));
        pProject->SetParent(MakeId(kVoice, e), MakeId(kTarget, e));
    }
    return pProject;
}

GUID ValueOf(std::uint32_t argument, std::uint32_t choice)
{
    return choice == kValues ? GUID_NULL : MakeId(kValue, argument * kValues + choice);
}

// Path p of the feed: event p / 100, first value (p / 10) % 10, second value p % 10.
FeedItem Resolution(std::uint32_t path)
{
    FeedItem item;
    const std::uint32_t e = path / kPathsPerEvent;
    item.object = MakeId(kEvent, e);
    item.target = MakeId(kTarget, e);
    item.values[0] = ValueOf(0, (path / (kValues + 1)) % (kValues + 1));
    item.values[1] = ValueOf(1, path % (kValues + 1));
    return item;
}

// Length of the random stream after the first pass over the paths: long enough that a million paths
// are each met twice on average, short enough that building it does not drown the profile.
std::size_t RandomCount(std::uint32_t paths)
{
    return std::max<std::size_t>(std::size_t{1} << 18, 2 * std::size_t{paths});
}

// Every path once, then a random stream in which one item in four is a play of a voice.
std::vector<FeedItem> MakeFeed(std::uint32_t paths, std::size_t count)
{
    std::vector<FeedItem> feed;
    feed.reserve(paths + count);
    for (std::uint32_t p = 0; p < paths; ++p)
        feed.push_back(Resolution(p));
    std::uint64_t seed = 0x9E3779B97F4A7C15ull;
    for (std::size_t i = 0; i < count; ++i)
    {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const auto path = static_cast<std::uint32_t>((seed >> 33) % paths);
        if ((seed & 3) == 0)
        {
            FeedItem play;
            play.bPlay = true;
            play.object = MakeId(kVoice, path / kPathsPerEvent);
            feed.push_back(play);
        }
        else
            feed.push_back(Resolution(path));
    }
    return feed;
}

void Log(MonitoringLogger& logger, const FeedItem& item)
{
    if (item.bPlay)
        logger.LogObjectNotification(item.object, 9);
    else
        logger.LogDialogueResolved(item.object, item.target, item.values);
}

// Logs the feed round and round from `first`, one item an iteration, calling onFrame once per
// frame's worth of items; returns the number logged. The capture grows without end, and its storage
// is not what is measured, so it is cleared now and then.
template <class OnFrame>
std::int64_t Replay(benchmark::State& state, MonitoringLogger& logger, const std::vector<FeedItem>& feed,
                    std::size_t first, OnFrame&& onFrame)
{
    std::size_t next = first;
    std::int64_t handled = 0;
    for (auto _ : state)
    {
        Log(logger, feed[next]);
        if (++next == feed.size())
            next = first;
        if ((++handled % kItemsPerFrame) == 0)
        {
            onFrame();
            if (logger.ItemCount() > (1u << 22))
                logger.Clear();
        }
    }
    return handled;
}

std::unique_ptr<app::HostSession> OpenSession(std::uint32_t events)
{
    std::string error;
    auto pPlugin = app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error);
    if (!pPlugin)
        throw std::runtime_error(error);
    auto pSession = std::make_unique<app::HostSession>(std::move(pPlugin));
    pSession->OpenProject(MakeProject(events));
    return pSession;
}

// The live view: "Update automatically" on, the view open on "Paths Used", sorted by "Added".
BaseFilteredListControl& OpenLiveView(app::HostSession& session)
{
    session.SetPreference(L"EnableStats", true);
    session.SetPreference(L"KeepStatsAcrossRuns", false);
    session.OpenView(840, 600);
    session.ChooseQuery(L"Paths Used");
    BaseFilteredListControl* pList = session.ResultList(app::ctl::kMainList);
    if (pList == nullptr)
        throw std::runtime_error("no list");
    pList->SetSort(1, BaseFilteredListControl::SortDescending);
    session.StartLogger();
    return *pList;
}

// Range 0: distinct paths (rows of "Paths Used").
void BM_LiveFeed(benchmark::State& state)
{
    const auto paths = static_cast<std::uint32_t>(state.range(0));
    const auto pSession = OpenSession(paths / kPathsPerEvent);
    BaseFilteredListControl& list = OpenLiveView(*pSession);
    MonitoringLogger& logger = pSession->Environment().Logger();
    const std::vector<FeedItem> feed = MakeFeed(paths, RandomCount(paths));
    // Every path has its row before timing starts.
    for (std::uint32_t p = 0; p < paths; ++p)
        Log(logger, feed[p]);
    benchmark::DoNotOptimize(list.RowCount());

    state.SetItemsProcessed(
        Replay(state, logger, feed, paths, [&list] { benchmark::DoNotOptimize(list.RowCount()); }));
    state.counters["rows"] = static_cast<double>(list.RowCount());
    pSession->StopLogger();
}
// Wall time, here and below, as the figures of earlier rounds were taken.
BENCHMARK(BM_LiveFeed)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kNanosecond)
    ->MinTime(2.0)
    ->UseRealTime();

// Storing the items alone, with nobody subscribed: what the host's side of the live path costs.
void BM_LogOnly(benchmark::State& state)
{
    const auto paths = static_cast<std::uint32_t>(state.range(0));
    const auto pSession = OpenSession(paths / kPathsPerEvent);
    MonitoringLogger& logger = pSession->Environment().Logger();
    const std::vector<FeedItem> feed = MakeFeed(paths, RandomCount(paths));
    state.SetItemsProcessed(Replay(state, logger, feed, paths, [] {}));
}
BENCHMARK(BM_LogOnly)->Arg(10'000)->Unit(benchmark::kNanosecond)->MinTime(2.0)->UseRealTime();

// The ordered-map searches that the four statistics make for one item, over maps keyed and sized as
// theirs are after the same feed: the path text, pending targets, events, the target-to-event map,
// each argument's values and the resolved targets of the event.
struct LookupMaps
{
    explicit LookupMaps(std::uint32_t paths)
    {
        for (std::uint32_t p = 0; p < paths; ++p)
        {
            const FeedItem item = Resolution(p);
            pathTexts.push_back(PathText(p));
            pathMap.try_emplace(pathTexts.back(), 0);
            pending.try_emplace(item.target, 0);
            events.try_emplace(item.object, 0);
            targetToEvent.try_emplace(item.target, item.object);
            resolved[item.object].try_emplace(item.target, 0);
        }
        for (std::uint32_t v = 0; v <= kValues; ++v)
        {
            values[0].try_emplace(ValueOf(0, v), 0);
            values[1].try_emplace(ValueOf(1, v), 0);
        }
    }

    static std::wstring PathText(std::uint32_t p)
    {
        const auto name = [](std::uint32_t a, std::uint32_t c)
        {
            return c == kValues ? std::wstring(L"*") : L"Value" + std::to_wstring(a * kValues + c);
        };
        return L"Event" + std::to_wstring(p / kPathsPerEvent) + L"::" +
               name(0, (p / (kValues + 1)) % (kValues + 1)) + L"." + name(1, p % (kValues + 1));
    }

    std::vector<std::wstring> pathTexts;
    std::map<std::wstring, std::uint64_t, text::Utf16Less> pathMap;
    std::map<GUID, std::uint64_t, GUIDLess> pending;
    std::map<GUID, std::uint64_t, GUIDLess> events;
    std::map<GUID, GUID, GUIDLess> targetToEvent;
    std::map<GUID, std::uint64_t, GUIDLess> values[2];
    std::map<GUID, std::map<GUID, std::uint64_t, GUIDLess>, GUIDLess> resolved;
};

void BM_MapLookupsAlone(benchmark::State& state)
{
    const auto paths = static_cast<std::uint32_t>(state.range(0));
    LookupMaps maps(paths);
    const std::vector<FeedItem> feed = MakeFeed(paths, RandomCount(paths));
    // The path of each resolution, found the way the feed chose it.
    std::vector<std::uint32_t> pathOf(feed.size(), 0);
    {
        std::uint64_t seed = 0x9E3779B97F4A7C15ull;
        for (std::size_t i = 0; i < RandomCount(paths); ++i)
        {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            pathOf[paths + i] = static_cast<std::uint32_t>((seed >> 33) % paths);
        }
    }

    std::size_t next = paths;
    std::uint64_t sum = 0;
    for (auto _ : state)
    {
        const FeedItem& item = feed[next];
        if (item.bPlay)
        {
            // Each counting query matches the played object's parent: two searches per map.
            sum += maps.pending.count(item.object) + maps.targetToEvent.count(item.object);
            const GUID target = MakeId(kTarget, pathOf[next] / kPathsPerEvent);
            sum += maps.pending.find(target)->second +
                   maps.events.find(maps.targetToEvent.find(target)->second)->second;
        }
        else
        {
            sum += maps.pathMap.find(maps.pathTexts[pathOf[next]])->second;
            sum += maps.pending.find(item.target)->second;
            sum += maps.events.find(item.object)->second + maps.events.find(item.object)->second;
            sum += maps.targetToEvent.find(item.target)->second.Data1;
            sum += maps.values[0].find(item.values[0])->second + maps.values[1].find(item.values[1])->second;
            const auto& targets = maps.resolved.find(item.object)->second;
            sum += targets.find(item.target)->second;
        }
        if (++next == feed.size())
            next = paths;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_MapLookupsAlone)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kNanosecond)->MinTime(2.0);

// Run over a million logged items with the view on the query (range 0: 0 "Dialogue Events
// Distribution", 1 "Paths Used", 2 "Dialogue Events Added"), its list sorted, the refresh at the
// end of the run included.
void BM_RunMillion(benchmark::State& state)
{
    constexpr std::uint32_t kPaths = 10'000;
    const auto pSession = OpenSession(kPaths / kPathsPerEvent);
    app::HostSession& session = *pSession;
    session.SetPreference(L"EnableStats", false);
    session.StartLogger();
    const std::vector<FeedItem> feed = MakeFeed(kPaths, 1'000'000 - kPaths);
    MonitoringLogger& logger = session.Environment().Logger();
    for (const FeedItem& item : feed)
        Log(logger, item);
    session.StopLogger();
    session.OpenView(840, 600);
    session.ChooseQuery(app::kQueryNames[static_cast<std::size_t>(state.range(0))]);
    if (BaseFilteredListControl* pList = session.ResultList(app::ctl::kMainList))
        pList->SetSort(1, BaseFilteredListControl::SortDescending);

    for (auto _ : state)
        session.Click(app::ctl::kRun);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
    state.counters["bytes/item"] = static_cast<double>(logger.BytesUsed()) / static_cast<double>(feed.size());
    if (BaseFilteredListControl* pList = session.ResultList(app::ctl::kMainList))
        state.counters["rows"] = static_cast<double>(pList->RowCount());
}
BENCHMARK(BM_RunMillion)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace
