#include "app/cli/DiffCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/StandardOutput.h"
#include "app/cli/StatsCommand.h"
#include "app/formats/CsvWriter.h"
#include "app/formats/JsonWriter.h"
#include "app/formats/TsvWriter.h"
#include "app/session/Differences.h"
#include "app/session/ReadAhead.h"
#include "app/session/Tables.h"
#include "host/base/TextCodec.h"

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

namespace app
{

namespace
{

constexpr std::string_view kHelp =
    R"(Usage: tally diff --project FILE --before FILE... --after FILE... [options]

Prints what changed in the statistics between two sets of captures over one project: every row of
each statistic, matched by the statistic's own keys (ids, not names, since names repeat), with its
counts before and after and the change. A row seen on one side only counts 0 on the other.

  --project FILE            the project (JSON)
  --before FILE             a capture of the first side (JSON Lines); may be repeated: the
                            captures are successive logger sessions whose statistics add up
  --after FILE              a capture of the second side; may be repeated
  --query NAME              only this query: "Dialogue Events Distribution", "Paths Used",
                            "Dialogue Events Added" or "None"; without it all three real queries
  --format tsv|csv|json     tsv (the default): a section per query as tally stats prints them;
                            csv: one table (needs --query); json: one document
  --help                    this text

Keys: "Paths Used" the path; "Dialogue Events Added" the event's and the target's ids;
"Dialogue Events Distribution" the event's id for an event row, and the event's id, the argument's
position and the value's id for a value row. Counts: Added and Played of a path or an event, Count
of a target or a value. tsv and csv list the rows by their largest change, the largest first, rows
that changed alike in key order; json lists them in key order.
The out-of-sync warning of a printed query that shows it on either side goes to stderr.
Exit status: 0 success, 2 bad usage or bad input, 1 the plug-in cannot be loaded.
)";

constexpr std::array<OptionSpec, 5> kOptions = {{
    {"project"},
    {"before", true, true},
    {"after", true, true},
    {"query"},
    {"format"},
}};

struct DiffOptions
{
    std::string project;
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::optional<std::wstring> query;
    OutputFormat format = OutputFormat::Tsv;
};

DiffOptions ReadOptions(const ParsedOptions& parsed)
{
    DiffOptions options;
    options.project = parsed.Require("project");
    options.before = parsed.RequireAll("before");
    options.after = parsed.RequireAll("after");
    if (std::optional<std::string> query = parsed.Get("query"))
        options.query = ParseQueryName(*query);
    if (std::optional<std::string> format = parsed.Get("format"))
        options.format = ParseOutputFormat(*format);
    if (options.format == OutputFormat::Csv && !options.query)
        throw UsageError("--format csv holds one table and needs --query");
    return options;
}

// One side's tables of the printed statistics, and the warning that each showed, if any.
struct Side
{
    std::vector<formats::StatisticTable> tables;
    std::vector<std::optional<std::wstring>> warnings;
};

Side Tables(Gathering& gathering, const std::vector<std::wstring>& queries)
{
    Side side;
    for (const std::wstring& query : queries)
    {
        if (std::optional<formats::StatisticTable> table = ShownTable(gathering, query))
        {
            side.tables.push_back(std::move(*table));
            side.warnings.push_back(gathering.Warning());
        }
    }
    return side;
}

std::string Print(std::vector<formats::StatisticDiff>& diffs, const DiffOptions& options)
{
    if (options.format == OutputFormat::Json)
        return formats::WriteDiffJson(diffs);
    std::string out;
    for (formats::StatisticDiff& diff : diffs)
    {
        formats::OrderByChange(diff.rows);
        if (options.format == OutputFormat::Csv)
        {
            out += formats::WriteDiffCsv(diff);
            continue;
        }
        if (!options.query)
            out += "== " + diff.name + " ==\n";
        out += formats::WriteDiffTsv(diff);
        if (!options.query)
            out += "\n";
    }
    return out;
}

CommandResult RunDiff(const DiffOptions& options)
{
    std::vector<std::string> paths = options.before;
    paths.insert(paths.end(), options.after.begin(), options.after.end());
    const SessionInput input = SessionInput::FromFiles(options.project, paths);
    // As `stats` does: the first capture parsed ahead while the project loads.
    const ReadAhead captures(input.captures);
    const std::span<const CaptureSource> sources(captures.Sources());
    PluginLoad plugin = LoadPlugin();
    Gathering::Start start =
        Gathering::Open(input, std::move(plugin), Replay::Live, Gathering::kPrintingView);
    CommandResult result;
    if (!start.pGathering)
    {
        result.exitCode = start.exitCode;
        result.err = start.error + "\n";
        return result;
    }
    Gathering& gathering = *start.pGathering;

    std::vector<std::wstring> queries;
    if (options.query)
        queries.push_back(*options.query);
    else
        queries.assign(std::begin(kQueryNames), std::end(kQueryNames));

    // The two sides one after the other in one session, emptied between them as Clear does.
    std::vector<Side> sides;
    std::size_t first = 0;
    for (const std::size_t count : {options.before.size(), options.after.size()})
    {
        if (!sides.empty())
        {
            gathering.Clear();
            // A statistic that stays selected refreshes its warning only when it next flags: choosing
            // it again reads it afresh.
            gathering.Select(kNoQuery);
        }
        const Gathering::Logged logged = gathering.LogCaptures(sources.subspan(first, count));
        if (!logged.status.Ok())
        {
            result.exitCode = kExitBadInput;
            result.err = CaptureErrorLine(input.captures[first + logged.failed], logged.status) + "\n";
            return result;
        }
        sides.push_back(Tables(gathering, queries));
        first += count;
    }

    std::vector<formats::StatisticDiff> diffs;
    for (std::size_t i = 0; i < sides[0].tables.size() && i < sides[1].tables.size(); ++i)
    {
        diffs.push_back(Difference(std::move(sides[0].tables[i]), std::move(sides[1].tables[i])));
        if (const std::optional<std::wstring>& warning =
                sides[0].warnings[i] ? sides[0].warnings[i] : sides[1].warnings[i])
            result.err += text::ToUtf8(*warning) + "\n";
    }
    result.out = Print(diffs, options);
    return result;
}

} // namespace

int DiffCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kOptions);
        if (parsed.Has("help"))
            return WriteStandardOutput(kHelp);
        return PrintResult(RunDiff(ReadOptions(parsed)));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "diff");
    }
}

} // namespace app
