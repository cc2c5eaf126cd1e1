#include "app/cli/StatsCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/Progress.h"
#include "app/cli/StandardOutput.h"
#include "app/formats/CsvWriter.h"
#include "app/formats/JsonWriter.h"
#include "app/session/ReadAhead.h"
#include "app/session/Tables.h"
#include "host/base/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>

namespace app
{

namespace
{

constexpr std::string_view kStatsHelp =
    R"(Usage: tally stats --project FILE --capture FILE... [options]

Prints the statistics of captures over a project as Copy Results puts them on the clipboard.

  --project FILE            the project (JSON)
  --capture FILE            a capture (JSON Lines); - reads standard input. Given more than once,
                            the captures are successive logger sessions with "Keep statistics
                            across sessions" on: their statistics add up
  --query NAME              only this query: "Dialogue Events Distribution", "Paths Used",
                            "Dialogue Events Added" or "None"; without it all three real queries
  --format tsv|csv|json     tsv (the default): the Copy Results text; csv: one table, flat for
                            "Dialogue Events Distribution" (needs --query); json: one document
                            with exact counts
  --replay live|run         gather while the capture is logged (live, the default), or log it
                            first and press Run (run, one capture only); both print the same text
  --sort COLUMN[:desc]      sort the shown list by the column with that title
  --value-sort COLUMN[:desc]
                            sort the value list of "Dialogue Events Distribution"
  --filter EXPR             keep the rows whose cell passes: COLUMN~TEXT (contains, ignoring case),
                            COLUMN=V, COLUMN>=V, COLUMN<=V, COLUMN>V, COLUMN<V; may be repeated
  --help                    this text

--sort, --value-sort and --filter need --query.
The out-of-sync warning of a printed query goes to stderr.
Exit status: 0 success, 2 bad usage or bad input, 1 the plug-in cannot be loaded.
)";

constexpr std::string_view kDemoHelp =
    R"(Usage: tally demo [--query NAME] [options]

Prints the statistics of a small example project and capture built into the program, as
`tally stats` does; every statistic has rows worth looking at.

  --query NAME              only this query (see tally stats --help)
  --format tsv|csv|json     as for tally stats
  --replay live|run         how the example capture is gathered
  --sort COLUMN[:desc]      sort the shown list
  --value-sort COLUMN[:desc]
                            sort the value list of "Dialogue Events Distribution"
  --filter EXPR             keep the rows that pass (see tally stats --help)
  --help                    this text
)";

constexpr std::array<OptionSpec, 8> kStatsOptions = {{
    {"project"},
    {"capture", true, true},
    {"query"},
    {"format"},
    {"replay"},
    {"sort"},
    {"value-sort"},
    {"filter", true, true},
}};

// Sorts and filters the lists of the selected query; an empty text when all applied.
std::string ApplyListSettings(const Gathering& gathering, const StatsOptions& options)
{
    const std::string query = text::ToUtf8(gathering.Selected());
    const StatisticLists lists = gathering.Lists();
    if (options.sort || !options.filters.empty())
    {
        if (lists.pMain == nullptr)
            return "the query '" + query + "' has no list to sort or filter";
        if (options.sort)
        {
            if (std::string error = ApplySort(*lists.pMain, *options.sort); !error.empty())
                return error;
        }
        // Every filter must pass, several on one column included.
        for (const std::wstring& filter : options.filters)
        {
            if (std::string error = ApplyFilter(*lists.pMain, filter, nullptr, FilterMode::Add);
                !error.empty())
                return error;
        }
    }
    if (options.valueSort)
    {
        if (lists.pValues == nullptr)
            return "the query '" + query + "' has no value list";
        return ApplySort(*lists.pValues, *options.valueSort);
    }
    return {};
}

std::vector<std::wstring> QueriesOf(const StatsOptions& options)
{
    if (options.query)
        return {*options.query};
    return {std::begin(kQueryNames), std::end(kQueryNames)};
}

// Selects the query and applies the list settings to it; the line for stderr when they do not apply.
std::string Show(Gathering& gathering, const std::wstring& query, const StatsOptions& options)
{
    gathering.Select(query);
    if (std::string error = ApplyListSettings(gathering, options); !error.empty())
        return "tally: " + error;
    return {};
}

// The printed part of one query, and its warning on stderr. As text, under its name when all are
// printed; as csv, its one table; for json, its table joins the document's.
void Print(Gathering& gathering, const std::wstring& query, const StatsOptions& options,
           CommandResult& result, std::vector<formats::StatisticTable>& tables)
{
    const bool bAll = !options.query;
    switch (options.format)
    {
    case OutputFormat::Tsv:
        if (bAll)
            result.out += "== " + text::ToUtf8(query) + " ==\n";
        if (const std::wstring* pCopied = gathering.CopyResults())
            text::AppendUtf8(result.out, *pCopied);
        if (bAll)
            result.out += "\n";
        break;
    case OutputFormat::Csv:
        if (std::optional<formats::StatisticTable> table = ShownTable(gathering, query))
            result.out += formats::WriteCsv(*table);
        break;
    case OutputFormat::Json:
        if (std::optional<formats::StatisticTable> table = ShownTable(gathering, query))
            tables.push_back(std::move(*table));
        break;
    }
    if (const std::optional<std::wstring> warning = gathering.Warning())
        result.err += text::ToUtf8(*warning) + "\n";
}

CommandResult Gather(Gathering& gathering, const SessionInput& input, std::span<const CaptureSource> captures,
                     const StatsOptions& options)
{
    const std::vector<std::wstring> queries = QueriesOf(options);
    // Live, the first query gathers with its list settings already applied.
    const bool bLive = gathering.GetReplay() == Replay::Live;
    if (bLive)
    {
        if (std::string error = Show(gathering, queries.front(), options); !error.empty())
            return Failure(kExitBadInput, error);
    }
    ProgressLine progress;
    std::size_t items = 0;
    const Gathering::Logged logged = gathering.LogCaptures(
        captures, [&](std::size_t, const CaptureItem&, std::size_t) { progress.Tick(++items); });
    if (!logged.status.Ok())
        return Failure(kExitBadInput, CaptureErrorLine(input.captures[logged.failed], logged.status));

    CommandResult result;
    std::vector<formats::StatisticTable> tables;
    for (const std::wstring& query : queries)
    {
        if (!(bLive && query == queries.front()))
        {
            if (std::string error = Show(gathering, query, options); !error.empty())
                return Failure(kExitBadInput, error);
        }
        Print(gathering, query, options, result, tables);
    }
    if (options.format == OutputFormat::Json)
        result.out = formats::WriteStatisticsJson(tables);
    return result;
}

StatsOptions ReadStatsOptions(const ParsedOptions& parsed)
{
    StatsOptions options;
    if (std::optional<std::string> query = parsed.Get("query"))
        options.query = ParseQueryName(*query);
    if (std::optional<std::string> replay = parsed.Get("replay"))
    {
        if (*replay == "run")
            options.replay = Replay::Run;
        else if (*replay != "live")
            throw UsageError("--replay is live or run, not '" + *replay + "'");
    }
    if (std::optional<std::string> sort = parsed.Get("sort"))
        options.sort = ParseSortRequest(*sort);
    if (std::optional<std::string> sort = parsed.Get("value-sort"))
        options.valueSort = ParseSortRequest(*sort);
    for (const std::string& filter : parsed.All("filter"))
        options.filters.push_back(text::FromUtf8(filter));
    if (!options.query && (options.sort || options.valueSort || !options.filters.empty()))
        throw UsageError("--sort, --value-sort and --filter need --query");
    if (std::optional<std::string> format = parsed.Get("format"))
        options.format = ParseOutputFormat(*format);
    if (options.format == OutputFormat::Csv && !options.query)
        throw UsageError("--format csv holds one table and needs --query");
    return options;
}

} // namespace

bool IsQueryName(std::wstring_view name)
{
    for (const std::wstring_view query : kQueryNames)
    {
        if (query == name)
            return true;
    }
    return name == kNoQuery;
}

std::wstring ParseQueryName(std::string_view name)
{
    const std::wstring wide = text::FromUtf8(name);
    if (IsQueryName(wide))
        return wide;
    std::vector<std::wstring_view> names(std::begin(kQueryNames), std::end(kQueryNames));
    names.push_back(kNoQuery);
    std::string message = "no query is named '" + std::string(name) + "'";
    const std::wstring folded = text::FoldCase(wide);
    const auto meant =
        std::find_if(names.begin(), names.end(),
                     [&](std::wstring_view candidate) { return text::FoldCase(candidate) == folded; });
    if (meant != names.end())
        message += "; did you mean '" + text::ToUtf8(*meant) + "'? The queries are";
    else
        message += "; the queries are";
    for (std::size_t index = 0; index < names.size(); ++index)
        message += (index == 0 ? " '" : ", '") + text::ToUtf8(names[index]) + "'";
    throw UsageError(message);
}

CommandResult RunStats(const SessionInput& input, const StatsOptions& options)
{
    // The first capture is parsed on a thread of its own from now on, while the project loads.
    const ReadAhead captures(input.captures);
    PluginLoad plugin = LoadPlugin();
    Gathering::Start start =
        Gathering::Open(input, std::move(plugin), options.replay, Gathering::kPrintingView);
    if (!start.pGathering)
        return Failure(start.exitCode, start.error);
    return Gather(*start.pGathering, input, captures.Sources(), options);
}

int StatsCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kStatsOptions);
        if (parsed.Has("help"))
            return WriteStandardOutput(kStatsHelp);
        const StatsOptions options = ReadStatsOptions(parsed);
        const std::string project = parsed.Require("project");
        const std::vector<std::string> captures = parsed.RequireAll("capture");
        if (options.replay == Replay::Run && captures.size() > 1)
            throw UsageError("--replay run takes one capture: Run replays the logger's last session only");
        return PrintResult(RunStats(SessionInput::FromFiles(project, captures), options));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "stats");
    }
}

int DemoCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, std::span(kStatsOptions).subspan(2));
        if (parsed.Has("help"))
        {
            return WriteStandardOutput(kDemoHelp);
        }
        return PrintResult(RunStats(SessionInput::Demo(), ReadStatsOptions(parsed)));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "demo");
    }
}

} // namespace app
