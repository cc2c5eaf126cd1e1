#include "app/cli/ExplainCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/StandardOutput.h"
#include "app/formats/CsvWriter.h"
#include "app/formats/FindingsText.h"
#include "app/formats/JsonWriter.h"
#include "app/session/Explanation.h"
#include "app/session/Gathering.h"
#include "app/session/ReadAhead.h"

#include <array>
#include <cstdio>

namespace app
{

namespace
{

constexpr std::string_view kExplainHelp =
    R"(Usage: tally explain --project FILE --capture FILE... [--format tsv|csv|json]

Lists every item of the capture during whose handling a statistic marked itself out of sync
("Project data and game data are unsynchonized.  Regerenerate your banks."), and what is wrong
with it. One line per finding:

  FILE:LINE <tab> the statistics it flagged <tab> what is wrong <tab> the ids concerned

then an empty line and, per kind of fault, the number of items that showed it. What is wrong:
  the event id is null
  the event is missing from the project
  the object is no dialogue event
  the event has N arguments, the item M
  a chosen value is missing from the project
  a chosen value is not among its argument's values
  the argument lists a value the project lacks

  --project FILE            the project (JSON)
  --capture FILE            a capture (JSON Lines); - reads standard input; may be repeated:
                            the captures are successive logger sessions whose statistics add up
  --format tsv|csv|json     the findings as tab-separated lines (the default), as one csv table,
                            or as one json document
  --help                    this text

Exit status: 0 whether or not there are findings, 2 bad usage or bad input, 1 the plug-in
cannot be loaded.
)";

constexpr std::array<OptionSpec, 3> kExplainOptions = {{
    {"project"},
    {"capture", true, true},
    {"format"},
}};

std::string Write(const formats::Findings& findings, OutputFormat format)
{
    switch (format)
    {
    case OutputFormat::Csv:
        return formats::WriteFindingsCsv(findings);
    case OutputFormat::Json:
        return formats::WriteFindingsJson(findings);
    case OutputFormat::Tsv:
        break;
    }
    return formats::WriteFindingsText(findings);
}

} // namespace

CommandResult RunExplain(const SessionInput& input, OutputFormat format)
{
    // The first capture is parsed on a thread of its own from now on, while the project loads.
    const ReadAhead captures(input.captures);
    Gathering::Start start = Gathering::Open(input, LoadPlugin(), Replay::Live, Gathering::kPrintingView);
    if (!start.pGathering)
        return Failure(start.exitCode, start.error);
    Gathering& gathering = *start.pGathering;
    Explanation explanation(gathering.Session());
    if (!explanation.Watching())
        return Failure(kExitEnvironment, "tally: the plug-in's view does not offer its three statistics");
    const Gathering::Logged logged = gathering.LogCaptures(
        captures.Sources(), [&](std::size_t capture, const CaptureItem& item, std::size_t line)
        { explanation.OnLogged(input.captures[capture].name, item, line); });
    if (!logged.status.Ok())
        return Failure(kExitBadInput, CaptureErrorLine(input.captures[logged.failed], logged.status));
    CommandResult result;
    result.out = Write(explanation.Findings(), format);
    return result;
}

int ExplainCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kExplainOptions);
        if (parsed.Has("help"))
            return WriteStandardOutput(kExplainHelp);
        const OutputFormat format = ParseOutputFormat(parsed.Get("format").value_or("tsv"));
        const std::string project = parsed.Require("project");
        const std::vector<std::string> captures = parsed.RequireAll("capture");
        return PrintResult(RunExplain(SessionInput::FromFiles(project, captures), format));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "explain");
    }
}

} // namespace app
