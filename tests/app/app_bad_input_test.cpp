// Every broken file of data/bad through the tally executable, as a user meets it: one clear line on
// stderr naming the file (and the line, for a capture), exit status 2, nothing on stdout, no crash.
#include "tests/app/app_Process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{

const std::filesystem::path kBadDir = std::filesystem::path(TALLY_TEST_DATA_DIR) / "bad";

struct BadFile
{
    std::string name;
    // "-" for a project; the capture line otherwise.
    std::string line;
    std::string message;
};

std::vector<BadFile> LoadCorpus()
{
    std::vector<BadFile> files;
    std::ifstream in(kBadDir / "expected.txt");
    std::string text;
    while (std::getline(in, text))
    {
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream fields(text);
        BadFile file;
        fields >> file.name >> file.line;
        std::getline(fields >> std::ws, file.message);
        files.push_back(file);
    }
    return files;
}

void ExpectRefusal(const ProcessResult& result, const std::string& prefix, const std::string& message)
{
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(prefix, 0), 0u) << result.err;
    // The expected text of a long cycle is only a note about the file.
    if (!message.starts_with("("))
    {
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "more than one line: " << result.err;
}

TEST(AppBadInput, EveryBrokenFileIsRefusedWithItsMessageAndExitTwo)
{
    const std::vector<BadFile> corpus = LoadCorpus();
    ASSERT_GE(corpus.size(), 30u);
    for (const BadFile& file : corpus)
    {
        SCOPED_TRACE(file.name);
        const std::string path = (kBadDir / file.name).string();
        if (file.line == "-")
        {
            const ProcessResult result =
                RunTally({"stats", "--project", path, "--capture", Example("capture.jsonl")});
            ExpectRefusal(result, "tally: " + path + ": ", file.message);
            continue;
        }
        for (const char* replay : {"live", "run"})
        {
            SCOPED_TRACE(replay);
            const ProcessResult result = RunTally(
                {"stats", "--project", Example("project.json"), "--capture", path, "--replay", replay});
            ExpectRefusal(result, "tally: " + path + ":" + file.line + ": ", file.message);
        }
        // The same file as a live feed on standard input.
        ProcessOptions piped;
        piped.input = ReadFile(path);
        const ProcessResult result =
            RunTally({"stats", "--project", Example("project.json"), "--capture", "-"}, piped);
        ExpectRefusal(result, "tally: -:" + file.line + ": ", file.message);
    }
}

} // namespace
