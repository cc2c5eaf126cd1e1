// The command line's edges, through the tally executable: output that cannot be written, a plug-in that
// offers nothing, and bad usage that shows the valid choices.
#include "app_Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> Stats(std::vector<std::string> extra)
{
    std::vector<std::string> args{"stats", "--project", Example("project.json"), "--capture",
                                  Example("capture.jsonl")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(CommandLine, AnOutputThatCannotBeWrittenIsAnEnvironmentFailure)
{
    ProcessOptions full;
    full.stdoutFile = "/dev/full";
    const std::string capture = TempFile("cli_full_capture.jsonl", "");
    const std::vector<std::vector<std::string>> commands = {
        {"demo"},
        Stats({}),
        Stats({"--query", "Paths Used", "--replay", "run"}),
        {"view", "--project", Example("project.json"), "--capture", Example("capture.jsonl"), "--snapshot"},
        {"--help"},
        {"-h"},
        {"stats", "--help"},
        {"view", "-h"},
        {"--version"},
        {"generate", "--events", "3", "--items", "10", "--project", "-", "--capture", capture},
    };
    for (const std::vector<std::string>& args : commands)
    {
        SCOPED_TRACE(testing::PrintToString(args));
        const ProcessResult result = RunTally(args, full);
        EXPECT_EQ(result.exitCode, 1);
        // Only the failure: the warnings of a text that never arrived would mislead.
        EXPECT_EQ(result.err, "tally: -: cannot write: No space left on device\n");
    }
}

TEST(CommandLine, AHollowPlugInIsAnEnvironmentFailure)
{
    const std::string hollow = HOLLOW_PLUGIN_PATH;
    const std::vector<std::vector<std::string>> commands = {
        {"demo"},
        Stats({"--query", "Paths Used"}),
        {"view", "--project", Example("project.json"), "--capture", Example("capture.jsonl"), "--snapshot"},
    };
    // No view factory counted; or one counted, but neither it nor a registry handed out.
    const std::vector<std::pair<std::string, std::string>> shapes = {
        {"0", "the plug-in offers no view factory"},
        {"1", "the plug-in offers no query registry"},
    };
    for (const auto& [count, reason] : shapes)
    {
        ProcessOptions options;
        options.environment = {"TALLY_PLUGIN=" + hollow, "HOLLOW_VIEW_FACTORIES=" + count};
        for (const std::vector<std::string>& args : commands)
        {
            SCOPED_TRACE(count + " " + testing::PrintToString(args));
            const ProcessResult result = RunTally(args, options);
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, "tally: " + hollow + ": " + reason + "\n");
        }
    }
}

TEST(CommandLine, ARelativePlugInPathIsFoundFromTheCurrentDirectory)
{
    const std::filesystem::path plugin = TALLY_PLUGIN_PATH;
    ProcessOptions options;
    options.directory = plugin.parent_path().string();
    // A bare file name, which the loader alone would look for on the library path only.
    options.environment = {"TALLY_PLUGIN=" + plugin.filename().string()};
    const ProcessResult found = RunTally({"demo", "--query", "Paths Used"}, options);
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, Golden("stats_paths.txt"));

    options.environment = {"TALLY_PLUGIN=no_such_plugin.so"};
    const ProcessResult missing = RunTally({"demo"}, options);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.rfind("tally: " + (plugin.parent_path() / "no_such_plugin.so").string() +
                                    ": cannot load the plug-in: ",
                                0),
              0u)
        << missing.err;
}

// Bad usage names what would have been right.
TEST(CommandLine, BadUsageShowsTheValidChoices)
{
    const std::string queries =
        "the queries are 'Dialogue Events Distribution', 'Paths Used', 'Dialogue Events Added', 'None'";
    const struct
    {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {Stats({"--query", "Paths"}), "tally: no query is named 'Paths'; " + queries + "\n"},
        {Stats({"--query", "paths USED"}),
         "tally: no query is named 'paths USED'; did you mean 'Paths Used'? The queries are"},
        {{"demo", "--query", "none"}, "did you mean 'None'?"},
        {{"view", "--project", Example("project.json"), "--capture", Example("capture.jsonl"), "--query",
          "dialogue events added"},
         "did you mean 'Dialogue Events Added'?"},
        {{"diff", "--project", Example("project.json"), "--before", Example("capture.jsonl"), "--after",
          Example("capture.jsonl"), "--query", "paths used"},
         "did you mean 'Paths Used'?"},
        {Stats({"--query", "Paths Used", "--sort", "added"}),
         "tally: the list has no column 'added'; its columns are 'Path', 'Added', 'Played'\n"},
        {Stats({"--query", "Dialogue Events Distribution", "--value-sort", "Played"}),
         "its columns are 'Value', 'Count', '%'\n"},
        {Stats({"--query", "Dialogue Events Added", "--filter", "Target~Hello"}),
         "its columns are 'Dialogue Event Name', 'Target Object', 'Count'\n"},
        {{"--version", "--verbose"}, "tally: --version takes no arguments"},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(testing::PrintToString(test.args));
        const ProcessResult result = RunTally(test.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(test.expected), std::string::npos) << result.err;
    }
}

} // namespace
