// tally: the host that users run. It loads the statistics plug-in and shows or prints what it gathers.
#include "app/cli/CommandLine.h"
#include "app/cli/DiffCommand.h"
#include "app/cli/ExplainCommand.h"
#include "app/cli/GenerateCommand.h"
#include "app/cli/HugePageHeap.h"
#include "app/cli/ReportCommand.h"
#include "app/cli/StandardOutput.h"
#include "app/cli/StatsCommand.h"
#include "app/cli/Version.h"
#include "app/cli/ViewCommand.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace
{

constexpr std::string_view kHelp =
    R"(Usage: tally COMMAND [options]

The profiler statistics of a game-audio capture, from the statistics plug-in.

Commands:
  stats      print the statistics of a capture over a project
  view       show the statistics view in the terminal
  diff       print what changed in the statistics between two sets of captures
  explain    list the items that put a statistic out of sync, and why
  report     write one HTML page of the statistics, coverage and findings
  demo       print the statistics of the built-in example
  generate   write a synthetic project and capture

  tally COMMAND --help    the options of a command
  tally --version         the version

Exit status: 0 success, 2 bad usage or bad input, 1 the environment failed.
)";

} // namespace

int main(int argc, char** argv)
{
    app::UseHugePageHeap();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty())
    {
        std::fputs("tally: a command is needed\nTry 'tally --help'.\n", stderr);
        return app::kExitBadInput;
    }
    const std::string& command = args.front();
    const std::span<const std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help")
        return app::WriteStandardOutput(kHelp);
    if (command == "--version")
    {
        if (!rest.empty())
        {
            std::fprintf(stderr, "tally: --version takes no arguments, not '%s'\nTry 'tally --help'.\n",
                         rest.front().c_str());
            return app::kExitBadInput;
        }
        return app::WriteStandardOutput("tally " + std::string(app::Version()) + "\n");
    }
    if (command == "stats")
        return app::StatsCommand(rest);
    if (command == "diff")
        return app::DiffCommand(rest);
    if (command == "explain")
        return app::ExplainCommand(rest);
    if (command == "report")
        return app::ReportCommand(rest);
    if (command == "demo")
        return app::DemoCommand(rest);
    if (command == "view")
        return app::ViewCommand(rest);
    if (command == "generate")
        return app::GenerateCommand(rest);
    std::fprintf(stderr, "tally: unknown command '%s'\nTry 'tally --help'.\n", command.c_str());
    return app::kExitBadInput;
}
