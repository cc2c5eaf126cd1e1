// `tally diff` end to end: rows matched by the statistics' own keys, the counts before and after and
// the change, ordered by the largest change in text and by key in json.
#include "app/generate/Generator.h"
#include "app_Process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace
{

using nlohmann::json;

const std::string kBattleCry = "{18F135D2-5F55-7203-3018-50C5A38FD547}";
const std::string kFarewell = "{923A7369-94E3-BF91-1A61-DBE22E44158B}";
const std::string kVoices = "{830E07BC-1E39-8F10-12BD-4ACEFAECBD38}";
const std::string kCry = "{5790F82E-C1D3-FCFF-2A3A-F4D46B0A18E8}";
const std::string kByeSunny = "{57EE05CD-E009-02C7-7EBF-F20686734721}";
const std::string kByeRain = "{9BE4BCFC-49B6-4A08-72E6-CC3ABABCED20}";
const std::string kSunny = "{8E81973E-0BEC-D7B0-3898-D190F9EBDACC}";
const std::string kRain = "{6B4CB242-4A23-D596-2217-BEADDBC496CB}";
const std::string kNull = "{00000000-0000-0000-0000-000000000000}";

std::string Resolve(const std::string& event, const std::string& target, const std::string& values)
{
    return R"({"type": 34, "event": ")" + event + R"(", "target": ")" + target + R"(", "values": [)" +
           values + "]}\n";
}

std::string Play(const std::string& object)
{
    return R"({"type": 1, "object": ")" + object + R"(", "reason": 9})" + "\n";
}

std::vector<std::string> Diff(const std::string& project, const std::vector<std::string>& before,
                              const std::vector<std::string>& after, const std::vector<std::string>& extra)
{
    std::vector<std::string> args{"diff", "--project", project};
    for (const std::string& capture : before)
        args.insert(args.end(), {"--before", capture});
    for (const std::string& capture : after)
        args.insert(args.end(), {"--after", capture});
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

std::string Out(const std::vector<std::string>& args)
{
    const ProcessResult result = RunTally(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

// Before: Battle_Cry resolved and played, Farewell to its sunny line. After: Battle_Cry twice and
// never played, Farewell to its rainy line.
class DiffOfTwoSessions : public testing::Test
{
protected:
    std::vector<std::string> Args(const std::vector<std::string>& extra) const
    {
        return Diff(Example("project.json"), {m_before}, {m_after}, extra);
    }

    const std::string m_before =
        TempFile("diff_before.jsonl", Resolve(kBattleCry, kVoices, "") + Play(kCry) +
                                          Resolve(kFarewell, kByeSunny, "\"" + kSunny + "\""));
    const std::string m_after =
        TempFile("diff_after.jsonl", Resolve(kBattleCry, kVoices, "") + Resolve(kBattleCry, kVoices, "") +
                                         Resolve(kFarewell, kByeRain, "\"" + kRain + "\""));
};

TEST_F(DiffOfTwoSessions, PrintsEachStatisticsRowsByTheirLargestChangeThenByKey)
{
    EXPECT_EQ(Out(Args({"--query", "Paths Used"})),
              "Path\tAdded before\tAdded after\tAdded change\tPlayed before\tPlayed after\tPlayed change\n"
              "Battle_Cry:\t1\t2\t1\t1\t0\t-1\n"
              "Farewell::Rain\t0\t1\t1\t0\t0\t0\n"
              "Farewell::Sunny\t1\t0\t-1\t0\t0\t0\n");

    EXPECT_EQ(Out(Args({"--query", "Dialogue Events Added", "--format", "csv"})),
              "Dialogue Event Name,Target Object,Dialogue Event Id,Target Object Id,Count before,Count after,"
              "Count change\n"
              "Battle_Cry,Battle_Cry_Voices," +
                  kBattleCry + "," + kVoices + ",1,2,1\n" + "Farewell,Bye_Sunny_01," + kFarewell + "," +
                  kByeSunny + ",1,0,-1\n" + "Farewell,Bye_Rain_01," + kFarewell + "," + kByeRain +
                  ",0,1,1\n");

    // An event's counts fall under Added and Played, a value's under Count.
    const std::string tab = "\t";
    EXPECT_EQ(
        Out(Args({"--query", "Dialogue Events Distribution"})),
        "Dialogue Event Name\tValue\tDialogue Event Id\tArgument\tValue Id\tAdded before\tAdded after\t"
        "Added change\tPlayed before\tPlayed after\tPlayed change\tCount before\tCount after\tCount change\n"
        "Battle_Cry\t\t" +
            kBattleCry + "\t\t\t1\t2\t1\t1\t0\t-1\t\t\t\n" + "Farewell\t1.Weather:Rain\t" + kFarewell +
            "\t1\t" + kRain + "\t\t\t\t\t\t\t0\t1\t1\n" + "Farewell\t1.Weather:Sunny\t" + kFarewell +
            "\t1\t" + kSunny + "\t\t\t\t\t\t\t1\t0\t-1\n" + "Farewell\t\t" + kFarewell +
            "\t\t\t1\t1\t0\t0\t0\t0\t\t\t\n" + "Farewell\t1.Weather:*\t" + kFarewell + "\t1\t" + kNull +
            "\t\t\t\t\t\t\t0\t0\t0\n");

    // Every statistic in a section of its own, as `stats` prints them.
    const std::string all = Out(Args({}));
    EXPECT_EQ(all.rfind("== Dialogue Events Distribution ==\nDialogue Event Name\t", 0), 0u) << all;
    EXPECT_NE(all.find("\n\n== Paths Used ==\nPath\t"), std::string::npos) << all;
    EXPECT_NE(all.find("\n\n== Dialogue Events Added ==\n"), std::string::npos) << all;
    EXPECT_TRUE(all.ends_with("\n\n")) << all;
}

TEST_F(DiffOfTwoSessions, JsonListsTheRowsInKeyOrderWithTheirKinds)
{
    const json document =
        json::parse(Out(Args({"--query", "Dialogue Events Distribution", "--format", "json"})));
    const json expected = {{"statistics",
                            {{{"name", "Dialogue Events Distribution"},
                              {"rows",
                               {{{"kind", "event"},
                                 {"key", {kBattleCry}},
                                 {"names", {"Battle_Cry"}},
                                 {"before", {1, 1}},
                                 {"after", {2, 0}},
                                 {"change", {1, -1}}},
                                {{"kind", "event"},
                                 {"key", {kFarewell}},
                                 {"names", {"Farewell"}},
                                 {"before", {1, 0}},
                                 {"after", {1, 0}},
                                 {"change", {0, 0}}},
                                {{"kind", "value"},
                                 {"key", {kFarewell, 1, kNull}},
                                 {"names", {"Farewell", "1.Weather:*"}},
                                 {"before", {0}},
                                 {"after", {0}},
                                 {"change", {0}}},
                                {{"kind", "value"},
                                 {"key", {kFarewell, 1, kRain}},
                                 {"names", {"Farewell", "1.Weather:Rain"}},
                                 {"before", {0}},
                                 {"after", {1}},
                                 {"change", {1}}},
                                {{"kind", "value"},
                                 {"key", {kFarewell, 1, kSunny}},
                                 {"names", {"Farewell", "1.Weather:Sunny"}},
                                 {"before", {1}},
                                 {"after", {0}},
                                 {"change", {-1}}}}}}}}};
    EXPECT_EQ(document, expected) << document.dump(1);

    const json paths = json::parse(Out(Args({"--query", "Paths Used", "--format", "json"})));
    EXPECT_EQ(paths["statistics"][0]["rows"][0]["key"], json({"Battle_Cry:"}));
    EXPECT_EQ(paths["statistics"][0]["rows"][0]["kind"], "row");
    EXPECT_EQ(Out(Args({"--query", "None", "--format", "json"})), "{\"statistics\":[]}\n");
}

TEST_F(DiffOfTwoSessions, RefusesBadUsageAndNamesTheCaptureThatFails)
{
    const std::string broken = TempFile("diff_broken.jsonl", "{\"type\": 5}\n{\"type\": 34\n");
    for (const std::vector<std::string>& args :
         {Args({"--format", "csv"}), Args({"--query", "Paths"}), Args({"--format", "xml"}),
          Diff(Example("project.json"), {m_before}, {}, {}), Diff(Example("project.json"), {}, {m_after}, {}),
          Diff(Example("project.json"), {m_before}, {broken}, {})})
    {
        SCOPED_TRACE(testing::PrintToString(args));
        const ProcessResult result = RunTally(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("tally: ", 0), 0u) << result.err;
    }
    const ProcessResult failed = RunTally(Diff(Example("project.json"), {m_before}, {m_after, broken}, {}));
    EXPECT_EQ(failed.err.rfind("tally: " + broken + ":2: ", 0), 0u) << failed.err;

    const ProcessResult help = RunTally({"diff", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: tally diff --project FILE --before FILE... --after FILE...", 0), 0u);
}

// The rows of a statistic of `stats --format json` as (names, counts), the distribution's values
// after their event, as diff keys them.
std::vector<std::pair<json, json>> StatsRows(const json& statistic)
{
    std::vector<std::pair<json, json>> rows;
    for (const json& row : statistic["rows"])
    {
        json names = json::array(), counts = json::array();
        for (const json& cell : row["cells"])
            (cell.is_number_unsigned() ? counts : names).push_back(cell);
        rows.emplace_back(names, counts);
        for (const json& value : row.value("values", json::array()))
            rows.emplace_back(json{names[0], value[0]}, json{value[1]});
    }
    return rows;
}

TEST(DiffGenerated, ACaptureAgainstItselfChangesNothingAndAgainstNothingGivesItsStatistics)
{
    const app::Generator generator({40, 6000, 31});
    const std::string project = TempFile("diff_generated_project.json", generator.ProjectJson());
    const std::string capture = TempFile("diff_generated_capture.jsonl", generator.CaptureJsonl());
    const std::string empty = TempFile("diff_empty.jsonl", "");

    // Sessions of several captures each, which keep their statistics across captures but not across
    // the sides.
    const json same =
        json::parse(Out(Diff(project, {capture, empty}, {empty, capture}, {"--format", "json"})));
    ASSERT_EQ(same["statistics"].size(), 3u);
    for (const json& statistic : same["statistics"])
    {
        ASSERT_GT(statistic["rows"].size(), 10u) << statistic["name"];
        for (const json& row : statistic["rows"])
        {
            EXPECT_EQ(row["before"], row["after"]) << row.dump();
            EXPECT_EQ(row["change"], json(std::vector<int>(row["after"].size(), 0))) << row.dump();
        }
    }

    const json fresh = json::parse(Out(Diff(project, {empty}, {capture}, {"--format", "json"})));
    const json stats =
        json::parse(Out({"stats", "--project", project, "--capture", capture, "--format", "json"}));
    ASSERT_EQ(fresh["statistics"].size(), stats["statistics"].size());
    for (std::size_t i = 0; i < stats["statistics"].size(); ++i)
    {
        const json& statistic = fresh["statistics"][i];
        SCOPED_TRACE(statistic["name"].dump());
        const std::vector<std::pair<json, json>> expected = StatsRows(stats["statistics"][i]);
        ASSERT_EQ(statistic["rows"].size(), expected.size());
        for (std::size_t r = 0; r < expected.size(); ++r)
        {
            const json& row = statistic["rows"][r];
            EXPECT_EQ(row["names"], expected[r].first) << row.dump();
            EXPECT_EQ(row["after"], expected[r].second) << row.dump();
            EXPECT_EQ(row["change"], row["after"]) << row.dump();
        }
    }
    // Empty before, several captures after: they add up as `stats` adds them.
    EXPECT_EQ(Out(Diff(project, {empty}, {capture, capture}, {"--query", "Paths Used"})),
              Out(Diff(project, {empty, empty}, {capture, capture}, {"--query", "Paths Used"})));
}

} // namespace
