#include "app/cli/ReportCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/StandardOutput.h"
#include "app/report/HtmlReport.h"
#include "app/session/ControlIds.h"
#include "app/session/Coverage.h"
#include "app/session/Explanation.h"
#include "app/session/Gathering.h"
#include "app/session/ReadAhead.h"
#include "app/session/Tables.h"
#include "host/base/TextCodec.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace app
{

namespace
{

constexpr std::string_view kReportHelp =
    R"(Usage: tally report --project FILE --capture FILE... --output FILE.html

Writes one self-contained HTML page (styles and scripts inline, nothing fetched) that opens from
disk: the three statistics as sortable, filterable tables, the distribution's values as bars, the
coverage of every dialogue event of the project (what was never resolved or chosen is marked
"never"), the findings of `tally explain`, and what was read.

  --project FILE            the project (JSON)
  --capture FILE            a capture (JSON Lines); - reads standard input; may be repeated:
                            the captures are successive logger sessions whose statistics add up
  --output FILE.html        the page; written whole or not at all
  --help                    this text

Exit status: 0 success, 2 bad usage or bad input, 1 the plug-in cannot be loaded or the page
cannot be written.
)";

constexpr std::array<OptionSpec, 3> kReportOptions = {{
    {"project"},
    {"capture", true, true},
    {"output"},
}};

std::string ItemKind(const CaptureItem& item)
{
    if (std::holds_alternative<DialogueResolved>(item))
        return "34 dialogue event resolved";
    if (std::holds_alternative<ObjectNotification>(item))
        return "1 object notification";
    return std::to_string(std::get<OtherItem>(item).kind) + " other";
}

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string WriteFileWhole(const std::string& path, std::string_view text)
{
    const std::size_t slash = path.rfind('/');
    std::string temporary = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." +
                            FileName(path) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return std::strerror(errno);
    std::size_t written = 0;
    while (written < text.size())
    {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const int writeError = written == text.size() ? 0 : (errno != 0 ? errno : EIO);
    // The page is for others to open: the usual permissions of a new file, not mkstemp's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool bClosed = ::close(fd) == 0;
    const int error = writeError != 0 ? writeError : (!bClosed ? errno : 0);
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) == 0)
        return {};
    const int reason = error != 0 ? error : errno;
    ::unlink(temporary.c_str());
    return std::strerror(reason);
}

CommandResult RunReport(const SessionInput& given, const std::string& output)
{
    // The coverage lists what the project holds, in its order: keep the file's description too.
    ProjectFile projectFile;
    SessionInput input = given;
    input.readProject = [&projectFile, read = given.readProject]
    {
        ProjectReadResult result = read();
        projectFile = result.project;
        return result;
    };
    // The first capture is parsed on a thread of its own from now on, while the project loads.
    const ReadAhead captures(input.captures);
    Gathering::Start start = Gathering::Open(input, LoadPlugin(), Replay::Live, Gathering::kPrintingView);
    if (!start.pGathering)
        return Failure(start.exitCode, start.error);
    Gathering& gathering = *start.pGathering;

    report::ReportInput page;
    page.title = FileName(input.projectName);
    page.files.push_back({input.projectName, "project", ObjectsByKind(projectFile)});
    std::vector<std::map<std::string, std::uint64_t>> items(input.captures.size());
    {
        Explanation explanation(gathering.Session());
        const Gathering::Logged logged =
            gathering.LogCaptures(captures.Sources(),
                                  [&](std::size_t capture, const CaptureItem& item, std::size_t line)
                                  {
                                      ++items[capture][ItemKind(item)];
                                      explanation.OnLogged(input.captures[capture].name, item, line);
                                  });
        if (!logged.status.Ok())
            return Failure(kExitBadInput, CaptureErrorLine(input.captures[logged.failed], logged.status));
        page.findings = explanation.Findings();
    }
    for (std::size_t capture = 0; capture < items.size(); ++capture)
    {
        report::FileRead read{input.captures[capture].name, "capture", {}};
        for (const auto& [kind, count] : items[capture])
            read.items.push_back({kind, count});
        page.files.push_back(std::move(read));
    }

    for (const std::wstring_view name : kQueryNames)
    {
        if (std::optional<formats::StatisticTable> table = ShownTable(gathering, name))
            page.statistics.push_back(std::move(*table));
    }
    page.coverage = MakeCoverage(projectFile, page.statistics);

    if (const std::string error = WriteFileWhole(output, report::WriteHtmlReport(page)); !error.empty())
        return Failure(kExitEnvironment, "tally: " + output + ": cannot write: " + error);
    return {};
}

int ReportCommand(std::span<const std::string> args)
{
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kReportOptions);
        if (parsed.Has("help"))
            return WriteStandardOutput(kReportHelp);
        const std::string project = parsed.Require("project");
        const std::string output = parsed.Require("output");
        const std::vector<std::string> captures = parsed.RequireAll("capture");
        return PrintResult(RunReport(SessionInput::FromFiles(project, captures), output));
    }
    catch (const UsageError& error)
    {
        return ReportUsage(error, "report");
    }
}

} // namespace app
