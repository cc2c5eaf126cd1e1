// Writing a model of about 25 k rows: the HTML report, the json of the statistics and one table's csv.
#include "app/formats/CsvWriter.h"
#include "app/formats/JsonWriter.h"
#include "app/report/HtmlReport.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace
{

using namespace app::formats;

constexpr int kEvents = 2500;
constexpr int kPaths = 20000;
constexpr int kArguments = 2;
constexpr int kValuesPerArgument = 3;

std::string EventName(int event)
{
    return "Dialogue_Event_" + std::to_string(event);
}

StatisticTable Distribution()
{
    StatisticTable table{"Dialogue Events Distribution",
                         true,
                         {{"Dialogue Event Name", ColumnKind::Object},
                          {"Added", ColumnKind::Counter},
                          {"Played", ColumnKind::Counter}},
                         {},
                         DistributionValueColumns()};
    for (int event = 0; event < kEvents; ++event)
    {
        const auto added = static_cast<std::uint64_t>(1 + event % 97);
        Row row{{Cell::Object(EventName(event)), Cell::Counter(added), Cell::Counter(added / 2)}, {}};
        for (int argument = 1; argument <= kArguments; ++argument)
        {
            for (int value = 0; value < kValuesPerArgument; ++value)
            {
                const std::uint64_t count = value == 0 ? added : 0;
                row.values.push_back(MakeValueLine(
                    argument, std::to_string(argument) + ".Argument:Value_" + std::to_string(value), count,
                    value == 0 ? 100.0f : 0.0f));
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

StatisticTable PathsUsed()
{
    StatisticTable table{
        "Paths Used",
        true,
        {{"Path", ColumnKind::Text}, {"Added", ColumnKind::Counter}, {"Played", ColumnKind::Counter}},
        {},
        {}};
    for (int path = 0; path < kPaths; ++path)
    {
        const auto added = static_cast<std::uint64_t>(1 + path % 31);
        table.rows.push_back({{Cell::Text(EventName(path % kEvents) + "/Value_" + std::to_string(path % 3) +
                                          "/Value_" + std::to_string(path)),
                               Cell::Counter(added), Cell::Counter(added / 3)},
                              {}});
    }
    return table;
}

StatisticTable DialogueEventsAdded()
{
    StatisticTable table{"Dialogue Events Added",
                         true,
                         {{"Dialogue Event Name", ColumnKind::Object},
                          {"Target Object", ColumnKind::Object},
                          {"Count", ColumnKind::Counter}},
                         {},
                         {}};
    for (int event = 0; event < kEvents; ++event)
    {
        table.rows.push_back({{Cell::Object(EventName(event)), Cell::Object("Sound_" + std::to_string(event)),
                               Cell::Counter(static_cast<std::uint64_t>(event % 13))},
                              {}});
    }
    return table;
}

app::report::ReportInput Model()
{
    app::report::ReportInput input;
    input.title = "generated.json";
    input.statistics = {Distribution(), PathsUsed(), DialogueEventsAdded()};
    for (int event = 0; event < kEvents; ++event)
    {
        app::report::EventCoverage coverage{EventName(event),
                                            "{00000000-0000-0000-0000-000000000000}",
                                            static_cast<std::uint64_t>(event % 5),
                                            {{"Sound", 1}, {"", 0}},
                                            {}};
        for (int argument = 0; argument < kArguments; ++argument)
            coverage.arguments.push_back({"Argument", {{"Value_1", 3}, {"Value_2", 0}}, {{"*", 1}}});
        input.coverage.events.push_back(std::move(coverage));
    }
    input.files = {{"generated.json", "project", {{"DialogueEvent", kEvents}}}};
    return input;
}

void BM_WriteHtmlReport(benchmark::State& state)
{
    const app::report::ReportInput input = Model();
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        const std::string page = app::report::WriteHtmlReport(input);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteHtmlReport)->Unit(benchmark::kMillisecond);

void BM_WriteStatisticsJson(benchmark::State& state)
{
    const app::report::ReportInput input = Model();
    for (auto _ : state)
    {
        const std::string json = WriteStatisticsJson(input.statistics);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_WriteStatisticsJson)->Unit(benchmark::kMillisecond);

void BM_WriteCsvDistribution(benchmark::State& state)
{
    const StatisticTable table = Distribution();
    for (auto _ : state)
    {
        const std::string csv = WriteCsv(table);
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(BM_WriteCsvDistribution)->Unit(benchmark::kMillisecond);

} // namespace
