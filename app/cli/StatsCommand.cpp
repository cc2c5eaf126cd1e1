#include "app/cli/StatsCommand.h"

#include "app/formats/CaptureAhead.h"
#include "app/cli/CommandLine.h"
#include "app/cli/Progress.h"
#include "app/cli/StandardOutput.h"
#include "host/base/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>

namespace app
{

namespace
{

// The container's size for commands that draw nothing: the view's default of 120x40 cells.
constexpr int kViewWidthPx = 120 * 7;
constexpr int kViewHeightPx = 40 * 15;

constexpr std::string_view kStatsHelp =
    R"(Usage: tally stats --project FILE --capture FILE [options]

Prints the statistics of a capture over a project as Copy Results puts them on the clipboard.

  --project FILE            the project (JSON)
  --capture FILE            the capture (JSON Lines); - reads standard input
  --query NAME              only this query: "Dialogue Events Distribution", "Paths Used",
                            "Dialogue Events Added" or "None"; without it all three real queries
  --replay live|run         gather while the capture is logged (live, the default), or log it
                            first and press Run (run); both print the same text
  --sort COLUMN[:desc]      sort the shown list by the column with that title
  --value-sort COLUMN[:desc]
                            sort the value list of "Dialogue Events Distribution"
  --filter EXPR             keep the rows whose cell passes: COLUMN~TEXT (contains, ignoring case),
                            COLUMN=V, COLUMN>=V, COLUMN<=V, COLUMN>V, COLUMN<V; may be repeated
  --help                    this text

--sort, --value-sort and --filter need --query.
Exit status: 0 success, 2 bad usage or bad input, 1 the plug-in cannot be loaded.
)";

constexpr std::string_view kDemoHelp =
    R"(Usage: tally demo [--query NAME] [options]

Prints the statistics of a small example project and capture built into the program, as
`tally stats` does; every statistic has rows worth looking at.

  --query NAME              only this query (see tally stats --help)
  --replay live|run         how the example capture is gathered
  --sort COLUMN[:desc]      sort the shown list
  --value-sort COLUMN[:desc]
                            sort the value list of "Dialogue Events Distribution"
  --filter EXPR             keep the rows that pass (see tally stats --help)
  --help                    this text
)";

constexpr std::array<OptionSpec, 7> kStatsOptions = {{
    {"project"},
    {"capture"},
    {"query"},
    {"replay"},
    {"sort"},
    {"value-sort"},
    {"filter", true, true},
}};

CommandResult Failure(int exitCode, std::string message)
{
    CommandResult result;
    result.exitCode = exitCode;
    result.err = std::move(message) + "\n";
    return result;
}

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

// The printed part of one query: under its name when all are printed, and its warning on stderr.
void Print(Gathering& gathering, const std::wstring& query, const StatsOptions& options,
           CommandResult& result)
{
    const bool bAll = !options.query;
    if (bAll)
        result.out += "== " + text::ToUtf8(query) + " ==\n";
    if (const std::wstring* pCopied = gathering.CopyResults())
        text::AppendUtf8(result.out, *pCopied);
    if (bAll)
        result.out += "\n";
    if (const std::optional<std::wstring> warning = gathering.Warning())
        result.err += text::ToUtf8(*warning) + "\n";
}

CommandResult Gather(Gathering& gathering, const SessionInput& input, const CaptureSource& capture,
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
    const CaptureStatus status =
        gathering.LogCapture(capture, [&](const CaptureItem&, std::size_t) { progress.Tick(++items); });
    if (!status.Ok())
        return Failure(kExitBadInput, CaptureErrorLine(input, status));

    CommandResult result;
    for (const std::wstring& query : queries)
    {
        if (!(bLive && query == queries.front()))
        {
            if (std::string error = Show(gathering, query, options); !error.empty())
                return Failure(kExitBadInput, error);
        }
        Print(gathering, query, options, result);
    }
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
    return options;
}

int PrintResult(const CommandResult& result)
{
    if (result.exitCode == kExitOk)
    {
        // The warnings belong to the text printed: without it they would mislead.
        if (const int written = WriteStandardOutput(result.out); written != kExitOk)
            return written;
    }
    std::fputs(result.err.c_str(), stderr);
    return result.exitCode;
}

int ReportUsage(const UsageError& error, std::string_view command)
{
    std::fprintf(stderr, "tally: %s\nTry 'tally %.*s --help'.\n", error.what(),
                 static_cast<int>(command.size()), command.data());
    return kExitBadInput;
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
    // The capture is parsed on a thread of its own from now on, while the project loads.
    CaptureAhead capture(input.readCapture);
    PluginLoad plugin = LoadPlugin();
    Gathering::Start start =
        Gathering::Open(input, std::move(plugin), options.replay, {kViewWidthPx, kViewHeightPx});
    if (!start.pGathering)
        return Failure(start.exitCode, start.error);
    return Gather(*start.pGathering, input, [&capture](const CaptureSink& sink) { return capture.Deliver(sink); },
                  options);
}

int StatsCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kStatsOptions);
        if (parsed.Has("help"))
        {
            return WriteStandardOutput(kStatsHelp);
        }
        const StatsOptions options = ReadStatsOptions(parsed);
        return PrintResult(
            RunStats(SessionInput::FromFiles(parsed.Require("project"), parsed.Require("capture")), options));
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
