// The statistics of the generated capture that the end-to-end comparison uses (2000 events,
// 300 000 items), gathered live through the loaded plug-in with the view open on "Dialogue Events
// Distribution", as `tally stats` gathers them, but with the capture parsed beforehand: what is
// measured is the session's share of the run, item by item. Each gathering starts the logger, which
// clears the statistics, and logs the whole capture.
#include "app/formats/CaptureAhead.h"
#include "app/formats/CaptureReader.h"
#include "app/formats/ProjectReader.h"
#include "app/generate/Generator.h"
#include "app/session/HostSession.h"
#include "app/session/PluginLibrary.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace
{

// The parsed capture; the values of every resolution in one array.
struct ParsedCapture
{
    std::vector<app::CaptureItem> items;
    std::vector<GUID> values;
};

ParsedCapture Parse(const std::string& jsonl)
{
    ParsedCapture capture;
    std::vector<std::size_t> firstValues;
    const app::CaptureStatus status =
        app::ParseCapture(jsonl,
                          [&](const app::CaptureItem& item, std::size_t)
                          {
                              firstValues.push_back(capture.values.size());
                              if (const auto* pResolved = std::get_if<app::DialogueResolved>(&item))
                                  capture.values.insert(capture.values.end(), pResolved->values.begin(),
                                                        pResolved->values.end());
                              capture.items.push_back(item);
                          });
    if (!status.Ok())
        throw std::runtime_error(status.error);
    for (std::size_t i = 0; i < capture.items.size(); ++i)
    {
        if (auto* pResolved = std::get_if<app::DialogueResolved>(&capture.items[i]))
            pResolved->values =
                std::span<const GUID>(capture.values.data() + firstValues[i], pResolved->values.size());
    }
    return capture;
}

void BM_GeneratedCapture(benchmark::State& state)
{
    const app::Generator generator({2000, 300'000, 7});
    const app::ProjectReadResult project = app::ParseProject(generator.ProjectJson());
    const ParsedCapture capture = Parse(generator.CaptureJsonl());

    std::string error;
    auto pPlugin = app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error);
    if (!pPlugin)
        throw std::runtime_error(error);
    app::HostSession session(std::move(pPlugin));
    session.OpenProject(app::BuildProject(project.project));
    session.SetPreference(L"EnableStats", true);
    session.SetPreference(L"KeepStatsAcrossRuns", false);
    session.OpenView(840, 600);
    session.ChooseQuery(L"Dialogue Events Distribution");

    for (auto _ : state)
    {
        session.StartLogger();
        for (const app::CaptureItem& item : capture.items)
            session.Log(item);
        session.StopLogger();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(capture.items.size()));
}
BENCHMARK(BM_GeneratedCapture)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace
