#include "app/StatsCommand.h"

#include "app/CaptureAhead.h"
#include "app/CommandLine.h"
#include "app/Progress.h"
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
std::string ApplyListSettings(HostSession& session, const StatsOptions& options)
{
    const std::string query = text::ToUtf8(session.SelectedQuery());
    if (options.sort || !options.filters.empty())
    {
        BaseFilteredListControl* pList = session.ResultList(ctl::kMainList);
        if (pList == nullptr)
            return "the query '" + query + "' has no list to sort or filter";
        if (options.sort)
        {
            if (std::string error = ApplySort(*pList, *options.sort); !error.empty())
                return error;
        }
        // Every filter must pass, several on one column included.
        for (const std::wstring& filter : options.filters)
        {
            if (std::string error = ApplyFilter(*pList, filter, nullptr, FilterMode::Add); !error.empty())
                return error;
        }
    }
    if (options.valueSort)
    {
        BaseFilteredListControl* pValues = session.ResultList(ctl::kValueList);
        if (pValues == nullptr)
            return "the query '" + query + "' has no value list";
        return ApplySort(*pValues, *options.valueSort);
    }
    return {};
}

class StatsRun
{
public:
    StatsRun(HostSession& session, const SessionInput& input, CaptureAhead& capture,
             const StatsOptions& options)
        : m_session(session), m_input(input), m_capture(capture), m_options(options)
    {
    }

    CommandResult Execute()
    {
        const std::vector<std::wstring> queries = Queries();
        std::string error = m_options.replay == Replay::Live ? GatherLive(queries.front()) : LogCapture();
        if (!error.empty())
            return Failure(m_nFailure, error);
        if (m_options.replay == Replay::Run)
            m_session.OpenView(kViewWidthPx, kViewHeightPx);

        for (const std::wstring& query : queries)
        {
            // Live, the first query is selected already, with its list settings.
            const bool bSelected = m_options.replay == Replay::Live && query == queries.front();
            if (!bSelected)
            {
                m_session.ChooseQuery(query);
                if (std::string settingsError = ApplyListSettings(m_session, m_options);
                    !settingsError.empty())
                    return Failure(kExitBadInput, "tally: " + settingsError);
            }
            if (m_options.replay == Replay::Run)
                m_session.Click(ctl::kRun);
            Print(query, m_session.CopyResults());
        }
        return m_result;
    }

private:
    std::vector<std::wstring> Queries() const
    {
        if (m_options.query)
            return {*m_options.query};
        return {std::begin(kQueryNames), std::end(kQueryNames)};
    }

    std::string GatherLive(const std::wstring& firstQuery)
    {
        m_session.SetPreference(L"EnableStats", true);
        m_session.SetPreference(L"KeepStatsAcrossRuns", false);
        m_session.OpenView(kViewWidthPx, kViewHeightPx);
        m_session.ChooseQuery(firstQuery);
        if (std::string settingsError = ApplyListSettings(m_session, m_options); !settingsError.empty())
        {
            m_nFailure = kExitBadInput;
            return "tally: " + settingsError;
        }
        return LogCapture();
    }

    std::string LogCapture()
    {
        if (m_options.replay == Replay::Run)
        {
            m_session.SetPreference(L"EnableStats", false);
            m_session.SetPreference(L"KeepStatsAcrossRuns", false);
        }
        ProgressLine progress;
        std::size_t items = 0;
        m_session.StartLogger();
        const CaptureStatus status = m_capture.Deliver(
            [&](const CaptureItem& item, std::size_t)
            {
                m_session.Log(item);
                progress.Tick(++items);
            });
        m_session.StopLogger();
        if (status.Ok())
            return {};
        m_nFailure = kExitBadInput;
        return CaptureErrorLine(m_input, status);
    }

    void Print(const std::wstring& query, const std::wstring* copied)
    {
        const bool bAll = !m_options.query;
        if (bAll)
            m_result.out += "== " + text::ToUtf8(query) + " ==\n";
        if (copied)
            text::AppendUtf8(m_result.out, *copied);
        if (bAll)
            m_result.out += "\n";
        if (m_session.WarningShown())
            m_result.err += text::ToUtf8(m_session.WarningText()) + "\n";
    }

    HostSession& m_session;
    const SessionInput& m_input;
    CaptureAhead& m_capture;
    const StatsOptions& m_options;
    CommandResult m_result;
    int m_nFailure = kExitBadInput;
};

StatsOptions ReadStatsOptions(const ParsedOptions& parsed)
{
    StatsOptions options;
    if (std::optional<std::string> query = parsed.Get("query"))
    {
        options.query = text::FromUtf8(*query);
        if (!IsQueryName(*options.query))
            throw UsageError("no query is named '" + *query + "'");
    }
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
        std::fwrite(result.out.data(), 1, result.out.size(), stdout);
        std::fflush(stdout);
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
    return name == L"None";
}

CommandResult RunStats(const SessionInput& input, const StatsOptions& options)
{
    // The capture is parsed on a thread of its own from now on, while the project loads.
    CaptureAhead capture(input.readCapture);
    SessionStart start = StartSession(input);
    if (!start.pSession)
        return Failure(start.exitCode, start.error);
    return StatsRun(*start.pSession, input, capture, options).Execute();
}

int StatsCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kStatsOptions);
        if (parsed.Has("help"))
        {
            std::fwrite(kStatsHelp.data(), 1, kStatsHelp.size(), stdout);
            return kExitOk;
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
            std::fwrite(kDemoHelp.data(), 1, kDemoHelp.size(), stdout);
            return kExitOk;
        }
        return PrintResult(RunStats(SessionInput::Demo(), ReadStatsOptions(parsed)));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "demo");
    }
}

} // namespace app
