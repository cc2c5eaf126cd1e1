// `tally explain` end to end: every kind of finding on a small hand-made project, worded exactly, in
// the three formats; bad usage and bad input.
#include "app_Process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Greeting (1) has the argument Mood (A), which lists Happy (B), Sad (C), a value the project lacks
// (D) and null; Farewell (2) has an argument the project lacks (E). Lobby (28) is a folder.
const std::string kProject = R"({ "objects": [

  { "id": "{00000001-0000-0000-0000-000000000000}", "name": "Greeting", "kind": "DialogueEvent",
    "arguments": ["{0000000A-0000-0000-0000-000000000000}"],
    "targets": ["{00000014-0000-0000-0000-000000000000}", null] },
  { "id": "{00000002-0000-0000-0000-000000000000}", "name": "Farewell", "kind": "DialogueEvent",
    "arguments": ["{0000000E-0000-0000-0000-000000000000}"],
    "targets": ["{0000001E-0000-0000-0000-000000000000}"] },
  { "id": "{0000000A-0000-0000-0000-000000000000}", "name": "Mood", "kind": "Argument",
    "values": ["{0000000B-0000-0000-0000-000000000000}", "{0000000C-0000-0000-0000-000000000000}",
               "{0000000D-0000-0000-0000-000000000000}", null] },
  { "id": "{0000000B-0000-0000-0000-000000000000}", "name": "Happy", "kind": "ArgumentValue" },
  { "id": "{0000000C-0000-0000-0000-000000000000}", "name": "Sad", "kind": "ArgumentValue" },
  { "id": "{00000014-0000-0000-0000-000000000000}", "name": "Hello_01", "kind": "Sound" },
  { "id": "{0000001E-0000-0000-0000-000000000000}", "name": "Bye_01", "kind": "Sound" },
  { "id": "{00000028-0000-0000-0000-000000000000}", "name": "Lobby", "kind": "Folder" }
] })";

std::string Id(const char* hex)
{
    return std::string("{") + hex + "-0000-0000-0000-000000000000}";
}

std::string Resolution(const std::string& event, std::vector<std::string> values)
{
    std::string list;
    for (const std::string& value : values)
        list += (list.empty() ? "" : ", ") + (value == "null" ? value : '"' + Id(value.c_str()) + '"');
    const std::string eventText = event == "null" ? event : '"' + Id(event.c_str()) + '"';
    return R"({"type": 34, "event": )" + eventText + R"(, "target": ")" + Id("00000014") +
           R"(", "values": [)" + list + "]}\n";
}

// Line by line: every kind of fault, the first and a repeated unlisted value, a listed value that the
// project lacks, an argument the project lacks, a blank line, a play and an item of another kind.
std::string Capture()
{
    return Resolution("00000001", {"0000000B"}) + Resolution("00000001", {"0000000C"}) + "\n" +
           Resolution("null", {"0000000B"}) + Resolution("00000063", {"0000000B"}) +
           Resolution("00000028", {}) + Resolution("00000001", {}) + Resolution("00000001", {"00000032"}) +
           Resolution("00000001", {"00000032"}) + Resolution("00000001", {"0000000D"}) +
           Resolution("00000002", {"00000032"}) + Resolution("00000001", {"0000001E"}) +
           R"({"type": 1, "object": ")" + Id("00000014") + R"(", "reason": 9})" + "\n" + R"({"type": 5})" +
           "\n";
}

const std::string kAll = "Dialogue Events Distribution, Paths Used, Dialogue Events Added";
const std::string kCounting = "Dialogue Events Distribution, Paths Used";

TEST(ExplainCommand, WordsEveryKindOfFindingOnItsLine)
{
    const std::string project = TempFile("explain_project.json", kProject);
    const std::string capture = TempFile("explain_capture.jsonl", Capture());
    const ProcessResult result = RunTally({"explain", "--project", project, "--capture", capture});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const auto line =
        [&](int number, const std::string& statistics, const std::string& what, const std::string& ids)
    {
        return capture + ":" + std::to_string(number) + "\t" + statistics + "\t" + what + "\t" + ids + "\n";
    };
    const std::string greeting = Id("00000001"), mood = Id("0000000A"), stale = Id("00000032");
    const std::string lists = "the argument lists a value the project lacks";
    const std::string missing = "a chosen value is missing from the project";
    const std::string unlisted = "a chosen value is not among its argument's values";
    EXPECT_EQ(
        result.out,
        line(1, "Dialogue Events Distribution", lists, greeting + " " + mood + " " + Id("0000000D")) +
            line(1, "Dialogue Events Distribution", lists, greeting + " " + mood + " " + Id("00000000")) +
            line(4, kAll, "the event id is null", Id("00000000")) +
            line(5, kAll, "the event is missing from the project", Id("00000063")) +
            line(6, kAll, "the object is no dialogue event", Id("00000028")) +
            line(7, kCounting, "the event has 1 arguments, the item 0", greeting) +
            line(8, "Paths Used", missing, greeting + " " + stale) +
            line(8, "Dialogue Events Distribution", unlisted, greeting + " " + stale) +
            line(9, "Paths Used", missing, greeting + " " + stale) +
            line(10, "Paths Used", missing, greeting + " " + Id("0000000D")) +
            line(11, "Paths Used", missing, Id("00000002") + " " + stale) +
            line(12, "Dialogue Events Distribution", unlisted, greeting + " " + Id("0000001E")) +
            "\n"
            "1\tthe event id is null\n"
            "1\tthe event is missing from the project\n"
            "1\tthe object is no dialogue event\n"
            "1\tthe event has 1 arguments, the item 0\n"
            "4\ta chosen value is missing from the project\n"
            "2\ta chosen value is not among its argument's values\n"
            "1\tthe argument lists a value the project lacks\n");

    const ProcessResult json =
        RunTally({"explain", "--project", project, "--capture", capture, "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find(R"({"file":")" + capture +
                            R"(","line":12,"statistics":["Dialogue Events Distribution"],)"
                            R"("what":"a chosen value is not among its argument's values","ids":[")" +
                            greeting + R"(",")" + Id("0000001E") +
                            R"("]}],"summary":[{"what":"the event id is null","items":1},)"),
              std::string::npos)
        << json.out;
    const ProcessResult csv =
        RunTally({"explain", "--project", project, "--capture", capture, "--format=csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n', csv.out.find('\n') + 1) + 1),
              "File,Line,Statistics,What,Ids\n" + capture + ",1,Dialogue Events Distribution," + lists + "," +
                  greeting + " " + mood + " " + Id("0000000D") + "\n");
}

// Captures given one after another are successive logger sessions that keep their statistics: split
// anywhere, they give the whole's findings, each named by its own file and line.
TEST(ExplainCommand, SeveralCapturesFindWhatTheWholeFindsOnTheirOwnLines)
{
    const std::string project = TempFile("explain_split_project.json", kProject);
    const std::string whole = Capture();
    const std::string wholePath = TempFile("explain_whole.jsonl", whole);
    const ProcessResult expected = RunTally({"explain", "--project", project, "--capture", wholePath});
    ASSERT_EQ(expected.exitCode, 0) << expected.err;
    for (const int split : {3, 8, 11})
    {
        std::size_t at = 0;
        for (int line = 0; line < split; ++line)
            at = whole.find('\n', at) + 1;
        const std::string first = TempFile("explain_first.jsonl", whole.substr(0, at));
        const std::string second = TempFile("explain_second.jsonl", whole.substr(at));
        const ProcessResult parts =
            RunTally({"explain", "--project", project, "--capture", first, "--capture", second});
        ASSERT_EQ(parts.exitCode, 0) << parts.err;

        // The whole's text with each line named as the parts name it.
        std::string renamed;
        std::size_t begin = 0;
        for (std::size_t end; (end = expected.out.find('\n', begin)) != std::string::npos; begin = end + 1)
        {
            const std::string line = expected.out.substr(begin, end - begin);
            if (line.rfind(wholePath + ":", 0) != 0)
            {
                renamed += line + "\n";
                continue;
            }
            const std::size_t tab = line.find('\t');
            const int number = std::stoi(line.substr(wholePath.size() + 1, tab - wholePath.size() - 1));
            renamed += (number <= split ? first + ":" + std::to_string(number)
                                        : second + ":" + std::to_string(number - split)) +
                       line.substr(tab) + "\n";
        }
        EXPECT_EQ(parts.out, renamed) << "split after line " << split;
    }
}

TEST(ExplainCommand, AnInSyncCaptureHasNoFindingsAndBadInputFails)
{
    const ProcessResult clean = RunTally(
        {"explain", "--project", Example("project.json"), "--capture", TempFile("clean.jsonl", "\n")});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.out, "\n");
    EXPECT_EQ(RunTally({"explain", "--project", Example("project.json"), "--capture",
                        TempFile("c.jsonl", "\n"), "--format", "xml"})
                  .exitCode,
              2);
    EXPECT_EQ(RunTally({"explain", "--project", Example("project.json")}).exitCode, 2);
    const ProcessResult bad = RunTally({"explain", "--project", Example("project.json"), "--capture",
                                        TempFile("bad.jsonl", "\n{\"type\": 99}\n")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err.rfind("tally: ", 0), 0u) << bad.err;
    EXPECT_NE(bad.err.find("bad.jsonl:2: "), std::string::npos) << bad.err;
}

} // namespace
