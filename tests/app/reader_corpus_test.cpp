// The corpus of broken files under data/bad: every file is refused with the message (and, for a
// capture, the line) that expected.txt gives for it, and everything before a bad capture line is
// still delivered.
#include "app/formats/CaptureReader.h"
#include "app/formats/ProjectReader.h"

#include "host/base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace
{

const std::filesystem::path kBadDir = std::filesystem::path(TALLY_TEST_DATA_DIR) / "bad";

struct Expectation
{
    std::string file;
    std::string line;
    std::string message;
};

std::vector<Expectation> LoadExpectations()
{
    std::vector<Expectation> result;
    std::ifstream in(kBadDir / "expected.txt");
    std::string text;
    while (std::getline(in, text))
    {
        if (text.empty() || text[0] == '#')
            continue;
        std::istringstream fields(text);
        Expectation expectation;
        fields >> expectation.file >> expectation.line;
        std::getline(fields >> std::ws, expectation.message);
        result.push_back(expectation);
    }
    return result;
}

std::string Slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

TEST(ReaderCorpus, EveryBadFileIsRefusedWithItsMessage)
{
    const std::vector<Expectation> expectations = LoadExpectations();
    ASSERT_GE(expectations.size(), 30u);

    std::set<std::string> listed;
    for (const Expectation& expectation : expectations)
    {
        SCOPED_TRACE(expectation.file);
        listed.insert(expectation.file);
        const std::filesystem::path path = kBadDir / expectation.file;
        ASSERT_TRUE(std::filesystem::exists(path));

        // A message is one line of printable UTF-8, whatever bytes the file held.
        const auto expectPrintable = [](const std::string& message)
        {
            EXPECT_TRUE(text::IsValidUtf8(message)) << message;
            EXPECT_FALSE(std::any_of(message.begin(), message.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
                << message;
        };
        if (expectation.line == "-")
        {
            const app::ProjectReadResult result = app::ReadProjectFile(path.string());
            ASSERT_FALSE(result.Ok());
            expectPrintable(result.error);
            EXPECT_NE(result.error.find(expectation.message), std::string::npos) << result.error;
            EXPECT_TRUE(result.project.objects.empty());
            continue;
        }

        std::vector<std::size_t> lines;
        const app::CaptureStatus status = app::ReadCaptureFile(
            path.string(), [&](const app::CaptureItem&, std::size_t line) { lines.push_back(line); });
        ASSERT_FALSE(status.Ok());
        expectPrintable(status.error);
        EXPECT_EQ(std::to_string(status.line), expectation.line) << status.error;
        EXPECT_NE(status.error.find(expectation.message), std::string::npos) << status.error;
        // The items before the bad line were all handed over, and nothing after it.
        EXPECT_EQ(status.items, lines.size());
        for (const std::size_t line : lines)
            EXPECT_LT(line, status.line);

        // The same verdict when the bytes arrive one at a time.
        const std::string text = Slurp(path);
        app::CaptureParser parser([](const app::CaptureItem&, std::size_t) {});
        for (const char c : text)
        {
            if (!parser.Feed(std::string_view(&c, 1)))
                break;
        }
        parser.Finish();
        EXPECT_EQ(parser.Status().line, status.line);
        EXPECT_EQ(parser.Status().error, status.error);
    }

    for (const auto& entry : std::filesystem::directory_iterator(kBadDir))
    {
        const std::string name = entry.path().filename().string();
        if (name != "expected.txt")
        {
            EXPECT_TRUE(listed.count(name)) << name << " has no line in expected.txt";
        }
    }
}

// Both readers word a file that cannot be opened or read alike, with the system's reason.
TEST(ReaderCorpus, UnreadableFilesAreWordedAlikeByBothReaders)
{
    const auto capture = [](const std::string& path)
    {
        return app::ReadCaptureFile(path, [](const app::CaptureItem&, std::size_t) {});
    };
    const std::string missing = (kBadDir / "no-such-file.jsonl").string();
    const app::CaptureStatus status = capture(missing);
    EXPECT_EQ(status.line, 0u);
    EXPECT_EQ(status.error, "cannot open: No such file or directory");
    EXPECT_EQ(app::ReadProjectFile(missing).error, status.error);

    // A directory opens but cannot be read.
    const app::CaptureStatus directory = capture(kBadDir.string());
    EXPECT_EQ(directory.line, 0u);
    EXPECT_EQ(directory.error, "cannot read: Is a directory");
    EXPECT_EQ(app::ReadProjectFile(kBadDir.string()).error, directory.error);
}

} // namespace
