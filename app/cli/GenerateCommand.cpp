#include "app/cli/GenerateCommand.h"

#include "app/cli/CommandLine.h"
#include "app/cli/Progress.h"
#include "app/cli/StandardOutput.h"
#include "app/generate/GenerateFiles.h"
#include "app/generate/OutputFile.h"

#include <array>
#include <cstdio>
#include <optional>

namespace app
{

namespace
{

constexpr std::string_view kHelp =
    R"(Usage: tally generate --events N --items M [--seed S] --project FILE --capture FILE

Writes a synthetic project and capture with the shapes of real data: events with 0 to 4 arguments,
wildcards, plays of targets and of objects below them, resolve-only items and a few stale ids. The
same options give the same files.

  --events N        dialogue events in the project, at most 1000000
  --items M         lines of the capture, at most 100000000
  --seed S          seed of the generator (default 1)
  --project FILE    where the project goes (- for standard output)
  --capture FILE    where the capture goes (- for standard output, unless the project goes there)
  -h, --help        this text

A file is written under a temporary name beside it and takes its place only once both are
complete; an interrupted run leaves the files as they were. Sizes that might not fit in the free
space where the files go are refused before anything is written.

Exit status: 0 success, 2 bad usage, 1 a file cannot be written.
)";

constexpr std::array<OptionSpec, 5> kOptions = {{
    {"events"},
    {"items"},
    {"seed"},
    {"project"},
    {"capture"},
}};

std::uint64_t ParseLimitedCount(std::string_view text, std::string_view option, std::uint64_t most)
{
    const std::uint64_t count = ParseCount(text, option);
    if (count > most)
        throw UsageError("--" + std::string(option) + " is at most " + std::to_string(most) + ", not " +
                         std::string(text));
    return count;
}

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
        options.events = ParseLimitedCount(parsed.Require("events"), "events", kMostEvents);
        options.items = ParseLimitedCount(parsed.Require("items"), "items", kMostItems);
        if (std::optional<std::string> seed = parsed.Get("seed"))
            options.seed = ParseCount(*seed, "seed");
        projectPath = parsed.Require("project");
        capturePath = parsed.Require("capture");
        if (projectPath == "-" && capturePath == "-")
            throw UsageError("--project and --capture cannot both go to standard output");
        if (OutputFile::Place(projectPath) == OutputFile::Place(capturePath))
            throw UsageError("--project and --capture name the same file");
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "tally: %s\nTry 'tally generate --help'.\n", error.what());
        return kExitBadInput;
    }

    // One line per file, as each is written.
    std::optional<ProgressLine> progress;
    std::string shown;
    const GenerateStatus status = GenerateFiles(
        options, projectPath, capturePath,
        [&](const std::string& file, std::uint64_t lines, std::uint64_t total)
        {
            if (file != shown)
            {
                progress.reset();
                progress.emplace("writing " + (file == "-" ? std::string("standard output") : file), "lines",
                                 total);
                shown = file;
            }
            progress->Update(lines);
        });
    progress.reset();
    if (!status.Ok())
    {
        std::fprintf(stderr, "tally: %s: %s\n", status.file.c_str(), status.error.c_str());
        return kExitEnvironment;
    }
    return kExitOk;
}

} // namespace app
