// `tally stats` and `tally demo` end to end: the executable on the example files.
#include "app_Process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const std::string kWarning = "Project data and game data are unsynchonized.  Regerenerate your banks.";

std::vector<std::string> Stats(std::vector<std::string> extra,
                               const std::string& capture = Example("capture.jsonl"))
{
    std::vector<std::string> args{"stats", "--project", Example("project.json"), "--capture", capture};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

void ExpectBadUsage(const ProcessResult& result)
{
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("tally: ", 0), 0u) << result.err;
}

struct GoldenCase
{
    const char* golden;
    std::vector<std::string> options;
};

// Every query alone, and the list settings that change what a copy holds: sorts in both directions,
// the value list's own sort, filters on text, number and object columns.
const std::vector<GoldenCase> kGoldenCases = {
    {"stats_all.txt", {}},
    {"stats_distribution.txt", {"--query", "Dialogue Events Distribution"}},
    {"stats_paths.txt", {"--query", "Paths Used"}},
    {"stats_added.txt", {"--query", "Dialogue Events Added"}},
    {"stats_paths_sorted.txt", {"--query", "Paths Used", "--sort", "Added:desc", "--filter", "Path~GREET"}},
    {"stats_paths_filtered.txt", {"--query", "Paths Used", "--filter", "Played>=1", "--filter", "Added<2"}},
    {"stats_paths_range.txt", {"--query", "Paths Used", "--filter", "Added>1", "--filter", "Added<3"}},
    {"stats_distribution_sorted.txt",
     {"--query", "Dialogue Events Distribution", "--sort", "Added", "--value-sort", "%:desc"}},
    {"stats_distribution_filtered.txt",
     {"--query", "Dialogue Events Distribution", "--filter", "Dialogue Event Name=Greeting", "--value-sort",
      "Value"}},
    {"stats_added_sorted.txt",
     {"--query", "Dialogue Events Added", "--sort", "Target Object:desc", "--filter", "Count<=2"}},
};

TEST(StatsCommand, PrintsTheGoldenTextLiveAndReplayedAlike)
{
    for (const GoldenCase& test : kGoldenCases)
    {
        SCOPED_TRACE(test.golden);
        const ProcessResult live = RunTally(Stats(test.options));
        ASSERT_EQ(live.exitCode, 0) << live.err;
        EXPECT_EQ(live.out, Golden(test.golden));

        std::vector<std::string> runOptions = test.options;
        runOptions.insert(runOptions.end(), {"--replay", "run"});
        const ProcessResult run = RunTally(Stats(runOptions));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, live.out);
        EXPECT_EQ(run.err, live.err);
    }
}

TEST(StatsCommand, ReportsTheWarningOncePerPrintedQueryThatShowsIt)
{
    // The example holds one value that the project lacks: the two statistics that read values are out
    // of sync, "Dialogue Events Added" is not.
    const ProcessResult all = RunTally(Stats({}));
    EXPECT_EQ(all.err, kWarning + "\n" + kWarning + "\n");
    const ProcessResult added = RunTally(Stats({"--query", "Dialogue Events Added"}));
    EXPECT_EQ(added.err, "");
    const ProcessResult paths = RunTally(Stats({"--query", "Paths Used", "--replay", "run"}));
    EXPECT_EQ(paths.err, kWarning + "\n");
}

TEST(StatsCommand, NoneCopiesNothing)
{
    const ProcessResult none = RunTally(Stats({"--query", "None"}));
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "");
}

TEST(StatsCommand, ReadsTheCaptureFromStandardInput)
{
    ProcessOptions options;
    options.input = ReadFile(Example("capture.jsonl"));
    const ProcessResult piped = RunTally(Stats({"--query", "Paths Used"}, "-"), options);
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, Golden("stats_paths.txt"));
}

TEST(StatsCommand, DemoIsTheExampleBuiltIn)
{
    const ProcessResult demo = RunTally({"demo"});
    EXPECT_EQ(demo.exitCode, 0);
    EXPECT_EQ(demo.out, Golden("stats_all.txt"));
    const ProcessResult one = RunTally({"demo", "--query", "Dialogue Events Added"});
    EXPECT_EQ(one.out, Golden("stats_added.txt"));
    ExpectBadUsage(RunTally({"demo", "--project", Example("project.json")}));
}

TEST(StatsCommand, BadUsagePrintsNothingAndExitsWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"stats"},
        {"stats", "--project", Example("project.json")},
        {"stats", "--capture", Example("capture.jsonl")},
        {"frobnicate"},
        {},
        Stats({"--query", "Paths"}),
        Stats({"--replay", "later"}),
        Stats({"--sort", "Added"}),
        Stats({"--filter", "Added>1"}),
        Stats({"--colour"}),
        Stats({"--query", "Paths Used", "--query", "None"}),
        Stats({"--query", "Paths Used", "extra"}),
        Stats({"--query", "Paths Used", "--sort", "Count"}),
        Stats({"--query", "Paths Used", "--sort", "added"}),
        Stats({"--query", "Paths Used", "--filter", "Added>=many"}),
        Stats({"--query", "Paths Used", "--filter", "Added>="}),
        Stats({"--query", "Paths Used", "--filter", "Nothing~x"}),
        Stats({"--query", "Paths Used", "--filter", "Path"}),
        Stats({"--query", "Paths Used", "--value-sort", "Count"}),
        Stats({"--query", "None", "--sort", "Path"}),
        Stats({"--query", "Dialogue Events Distribution", "--value-sort", "Played"}),
        Stats({"--query", "Dialogue Events Distribution", "--sort", "Count", "--replay", "run"}),
    };
    for (const std::vector<std::string>& args : cases)
    {
        SCOPED_TRACE(testing::PrintToString(args));
        ExpectBadUsage(RunTally(args));
    }
}

TEST(StatsCommand, BadInputNamesTheFileAndLineAndPrintsNothing)
{
    const std::string project = ReadFile(Example("project.json"));
    const std::string capture = ReadFile(Example("capture.jsonl"));

    const std::string badProject = TempFile("bad_project.json", "{ \"objects\": [ { \"id\": 7 } ] }");
    const ProcessResult projectResult =
        RunTally({"stats", "--project", badProject, "--capture", Example("capture.jsonl")});
    ExpectBadUsage(projectResult);
    EXPECT_EQ(projectResult.err.rfind("tally: " + badProject + ": ", 0), 0u) << projectResult.err;

    // A broken third line, after two good items: nothing of the statistics is printed.
    const std::string badCapture =
        TempFile("bad_capture.jsonl",
                 capture.substr(0, capture.find('\n', capture.find('\n') + 1) + 1) + "{\"type\": 34,\n");
    for (const char* replay : {"live", "run"})
    {
        const ProcessResult captureResult = RunTally(
            {"stats", "--project", Example("project.json"), "--capture", badCapture, "--replay", replay});
        ExpectBadUsage(captureResult);
        EXPECT_EQ(captureResult.err.rfind("tally: " + badCapture + ":3: ", 0), 0u) << captureResult.err;
    }

    const ProcessResult missing =
        RunTally({"stats", "--project", Example("project.json"), "--capture", "/nonexistent/capture.jsonl"});
    ExpectBadUsage(missing);
    EXPECT_EQ(missing.err.rfind("tally: /nonexistent/capture.jsonl: ", 0), 0u) << missing.err;
}

TEST(StatsCommand, AMissingPlugInIsAnEnvironmentFailure)
{
    ProcessOptions options;
    options.environment = {"TALLY_PLUGIN=/nonexistent/libtally.so"};
    const ProcessResult result = RunTally(Stats({}), options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("tally: /nonexistent/libtally.so: cannot load the plug-in: ", 0), 0u)
        << result.err;

    // The plug-in is loaded before the project is read, but a bad project is still what is reported.
    const std::string badProject = TempFile("bad_project_no_plugin.json", "{ \"objects\": 3 }");
    const ProcessResult both =
        RunTally({"stats", "--project", badProject, "--capture", Example("capture.jsonl")}, options);
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_EQ(both.err.rfind("tally: " + badProject + ": ", 0), 0u) << both.err;
}

TEST(StatsCommand, EveryCommandHasHelpAndTheProgramAVersion)
{
    for (const char* command : {"stats", "demo", "view", "generate"})
    {
        for (const char* help : {"--help", "-h"})
        {
            const ProcessResult result = RunTally({command, help});
            EXPECT_EQ(result.exitCode, 0) << command << " " << help;
            EXPECT_EQ(result.out.rfind("Usage: tally " + std::string(command), 0), 0u) << result.out;
        }
    }
    const ProcessResult version = RunTally({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("tally ", 0), 0u);
    EXPECT_EQ(RunTally({"--help"}).out, RunTally({"-h"}).out);
}

// Large enough (about 6 MB) that the capture is read ahead through a full queue while the heap is
// prepared on the side.
TEST(StatsCommand, GeneratedDataGivesTheSameTextLiveAndReplayed)
{
    const std::string project = TempFile("gen_project.json", "");
    const std::string capture = TempFile("gen_capture.jsonl", "");
    const ProcessResult generated = RunTally({"generate", "--events", "40", "--items", "40000", "--seed", "7",
                                              "--project", project, "--capture", capture});
    ASSERT_EQ(generated.exitCode, 0) << generated.err;
    const std::string firstProject = ReadFile(project);
    ASSERT_EQ(RunTally({"generate", "--events", "40", "--items", "40000", "--seed", "7", "--project", project,
                        "--capture", capture})
                  .exitCode,
              0);
    EXPECT_EQ(ReadFile(project), firstProject);

    for (const std::vector<std::string>& options :
         {std::vector<std::string>{},
          {"--query", "Dialogue Events Distribution", "--sort", "Played:desc", "--value-sort", "Count"},
          {"--query", "Dialogue Events Added", "--sort", "Count", "--filter", "Target Object~a"}})
    {
        std::vector<std::string> live{"stats", "--project", project, "--capture", capture};
        live.insert(live.end(), options.begin(), options.end());
        std::vector<std::string> run = live;
        run.insert(run.end(), {"--replay", "run"});
        const ProcessResult liveResult = RunTally(live);
        ASSERT_EQ(liveResult.exitCode, 0) << liveResult.err;
        EXPECT_GT(liveResult.out.size(), 200u);
        EXPECT_EQ(RunTally(run).out, liveResult.out);
    }

    const ProcessResult unwritable = RunTally({"generate", "--events", "3", "--items", "10", "--project",
                                               "/nonexistent/p.json", "--capture", capture});
    EXPECT_EQ(unwritable.exitCode, 1);
    ExpectBadUsage(RunTally(
        {"generate", "--events", "many", "--items", "10", "--project", project, "--capture", capture}));
}

} // namespace
