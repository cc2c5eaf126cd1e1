#include "app/cli/GenerateCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/StandardOutput.h"
#include "app/generate/Generator.h"

#include <array>
#include <cstdio>

namespace app
{

namespace
{

constexpr std::string_view kHelp =
    R"(Usage: tally generate --events N --items M [--seed S] --project FILE --capture FILE

Writes a synthetic project and capture with the shapes of real data: events with 0 to 4 arguments,
wildcards, plays of targets and of objects below them, resolve-only items and a few stale ids. The
same options give the same files.

  --events N        dialogue events in the project
  --items M         lines of the capture
  --seed S          seed of the generator (default 1)
  --project FILE    where the project goes (- for standard output)
  --capture FILE    where the capture goes (- for standard output)
  --help            this text

Exit status: 0 success, 2 bad usage, 1 a file cannot be written.
)";

constexpr std::array<OptionSpec, 5> kOptions = {{
    {"events"},
    {"items"},
    {"seed"},
    {"project"},
    {"capture"},
}};

} // namespace

int GenerateCommand(std::span<const std::string> args)
{
    GeneratorOptions options;
    std::string projectPath, capturePath;
    try
    {
        const ParsedOptions parsed = ParseOptions(args, kOptions);
        if (parsed.Has("help"))
        {
            return WriteStandardOutput(kHelp);
        }
        options.events = ParseCount(parsed.Require("events"), "events");
        options.items = ParseCount(parsed.Require("items"), "items");
        if (std::optional<std::string> seed = parsed.Get("seed"))
            options.seed = ParseCount(*seed, "seed");
        projectPath = parsed.Require("project");
        capturePath = parsed.Require("capture");
        if (projectPath == capturePath && projectPath != "-")
            throw UsageError("--project and --capture name the same file");
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "tally: %s\nTry 'tally generate --help'.\n", error.what());
        return kExitBadInput;
    }

    const GenerateStatus status = GenerateFiles(options, projectPath, capturePath);
    if (!status.Ok())
    {
        std::fprintf(stderr, "tally: %s: %s\n", status.file.c_str(), status.error.c_str());
        return kExitEnvironment;
    }
    return kExitOk;
}

} // namespace app
