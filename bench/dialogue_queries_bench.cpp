// The dialogue queries under a live feed: items per second into the distribution with its window
// open, the copy of a large distribution, and items per second into the resolved targets.
#include "host/HostEnvironment.h"
#include "host/results/FilteredListControl.h"
#include "host/ui/Wnd.h"
#include "queries/DialogueEventQuery.h"
#include "queries/DialogueEventQueryDlg.h"
#include "queries/DialogueResolvedQuery.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

GUID MakeId(std::uint32_t kind, std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    g.Data2 = static_cast<std::uint16_t>(kind);
    g.Data4[7] = 0x5A;
    return g;
}

constexpr std::uint32_t kEvent = 1, kArgument = 2, kValue = 3, kTarget = 4;
constexpr std::uint32_t kValuesPerArgument = 9; // with the wildcard, ten value rows per event

// Events that share one argument "Mood" of nine values; event i resolves to its own targets.
std::unique_ptr<Project> MakeProject(std::uint32_t events, std::uint32_t targetsPerEvent)
{
    auto pProject = std::make_unique<Project>();
    std::vector<GUID> values;
    for (std::uint32_t v = 0; v < kValuesPerArgument; ++v)
    {
        values.push_back(MakeId(kValue, v));
        pProject->AddObject(values.back(), L"Value" + std::to_wstring(v));
    }
    pProject->AddArgument(MakeId(kArgument, 0), L"Mood")->SetValues(values);
    for (std::uint32_t e = 0; e < events; ++e)
    {
        DialogueEventObject* pEvent =
            pProject->AddDialogueEvent(MakeId(kEvent, e), L"Event" + std::to_wstring(e));
        pEvent->SetArguments({MakeId(kArgument, 0)});
        std::vector<std::optional<GUID>> targets;
        for (std::uint32_t t = 0; t < targetsPerEvent; ++t)
        {
            const GUID target = MakeId(kTarget, e * targetsPerEvent + t);
            pProject->AddObject(target, L"Target" + std::to_wstring(t));
            targets.emplace_back(target);
        }
        pEvent->SetTargets(targets);
    }
    return pProject;
}

// One resolution per event, each choosing a value (or the wildcard) in turn.
std::vector<OwnedMonitoringItem> MakeItems(std::uint32_t events, std::uint32_t targetsPerEvent,
                                           std::uint32_t count)
{
    std::vector<OwnedMonitoringItem> items;
    items.reserve(count);
    std::uint32_t seed = 12345;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        const std::uint32_t e = seed % events;
        const std::uint32_t v = (seed >> 8) % (kValuesPerArgument + 1);
        const GUID value = v == kValuesPerArgument ? GUID_NULL : MakeId(kValue, v);
        const GUID target = MakeId(kTarget, e * targetsPerEvent + (seed >> 16) % targetsPerEvent);
        const GUID chosen[] = {value};
        items.push_back(OwnedMonitoringItem::DialogueResolved(MakeId(kEvent, e), target, chosen));
    }
    return items;
}

// The host side with the project open and the distribution's window shown in a parent window.
struct DistributionWindow
{
    explicit DistributionWindow(std::uint32_t events)
    {
        env.OpenProject(MakeProject(events, 1));
        query.Init();
        parent.CreateEx(0, L"Parent", L"", WS_VISIBLE, CRect(0, 0, 800, 600), nullptr, 0);
        pDlg.reset(static_cast<DialogueEventQueryDlg*>(query.CreateResultDialog()));
        pDlg->CreateDialogFromResources(&parent);
        pDlg->SetWindowPos(nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOACTIVATE);
    }
    ~DistributionWindow()
    {
        pDlg->DestroyWindow();
        pDlg.reset();
        parent.DestroyWindow();
        query.Term();
    }

    HostEnvironment env;
    DialogueEventQuery::DialogueEventQuery query;
    CWnd parent;
    std::unique_ptr<DialogueEventQueryDlg> pDlg;
};

void BM_DistributionItems(benchmark::State& state)
{
    const auto events = static_cast<std::uint32_t>(state.range(0));
    DistributionWindow window(events);
    const std::vector<OwnedMonitoringItem> items = MakeItems(events, 1, 1 << 18);
    // Every event has its row before timing starts.
    for (const auto& item : items)
        window.query.OnMonitoringItem(item.get());

    std::size_t next = 0;
    std::int64_t handled = 0;
    for (auto _ : state)
    {
        window.query.OnMonitoringItem(items[next].get());
        next = (next + 1) % items.size();
        // A view draws a frame now and then, which settles the shown rows once.
        if ((++handled & 4095) == 0)
            benchmark::DoNotOptimize(window.pDlg->GetEventListControl().RowCount());
    }
    state.SetItemsProcessed(handled);
}
BENCHMARK(BM_DistributionItems)->Arg(1000)->Arg(100000);

void BM_DistributionCopy(benchmark::State& state)
{
    const std::uint32_t events = 100000;
    DistributionWindow window(events);
    for (const auto& item : MakeItems(events, 1, events * 4))
        window.query.OnMonitoringItem(item.get());
    window.pDlg->GetValueListControl().SetSort(1, BaseFilteredListControl::SortDescending);
    for (auto _ : state)
        window.pDlg->SendMessage(WM_COPY);
    state.counters["events"] = static_cast<double>(window.pDlg->GetEventListControl().RowCount());
    state.counters["chars"] = static_cast<double>(window.env.Clipboard().Text().size());
}
BENCHMARK(BM_DistributionCopy)->Unit(benchmark::kMillisecond);

void BM_ResolvedItems(benchmark::State& state)
{
    const std::uint32_t events = 10000, targets = 20;
    HostEnvironment env;
    env.OpenProject(MakeProject(events, targets));
    DialogueResolvedQuery::DialogueResolvedQuery query;
    query.Init();
    const std::vector<OwnedMonitoringItem> items = MakeItems(events, targets, 1 << 18);
    for (const auto& item : items)
        query.OnMonitoringItem(item.get());

    std::size_t next = 0;
    for (auto _ : state)
    {
        query.OnMonitoringItem(items[next].get());
        next = (next + 1) % items.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    query.Term();
}
BENCHMARK(BM_ResolvedItems);

// The first item of each event reads its targets from the project: a run right after Clear.
void BM_ResolvedFirstItems(benchmark::State& state)
{
    const std::uint32_t events = 10000, targets = 20;
    HostEnvironment env;
    env.OpenProject(MakeProject(events, targets));
    DialogueResolvedQuery::DialogueResolvedQuery query;
    query.Init();
    std::vector<OwnedMonitoringItem> items;
    for (std::uint32_t e = 0; e < events; ++e)
        items.push_back(
            OwnedMonitoringItem::DialogueResolved(MakeId(kEvent, e), MakeId(kTarget, e * targets), {}));
    for (auto _ : state)
    {
        query.BeginRun();
        for (const auto& item : items)
            query.OnMonitoringItem(item.get());
        query.EndRun();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * events);
    query.Term();
}
BENCHMARK(BM_ResolvedFirstItems)->Unit(benchmark::kMillisecond);

} // namespace
