// The interactive view in a real terminal (tmux), worked with keys as a user works it, and the lines
// that the view prints on a terminal before it starts.
#include "app_Process.h"
#include "app_Terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

namespace
{

class ViewInTerminal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!TmuxTerminal::Available())
            GTEST_SKIP() << "tmux is not installed (scripts/setup.sh installs it)";
    }

    static std::string ViewLine(const std::string& extra = "")
    {
        return ShellQuoted(TALLY_EXE_PATH) + " view --project " + ShellQuoted(Example("project.json")) +
               " --capture " + ShellQuoted(Example("capture.jsonl")) + " " + extra;
    }

    // The screen's rows, once it has the given number of rows and the last holds the text.
    static bool WaitForLastRow(TmuxTerminal& terminal, std::size_t rows, const std::string& text)
    {
        for (int tries = 0; tries < 400; ++tries)
        {
            std::istringstream screen(terminal.Screen());
            std::vector<std::string> lines;
            for (std::string line; std::getline(screen, line);)
                lines.push_back(line);
            if (lines.size() == rows && lines.back().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

TEST_F(ViewInTerminal, KeysFilterAndSaveTheResults)
{
    TmuxTerminal terminal(100, 30);
    terminal.Run(ViewLine("--query 'Paths Used'"));
    ASSERT_TRUE(terminal.WaitFor("capture complete: 25 items")) << terminal.Screen();
    terminal.Keys({"BTab", "End"});
    ASSERT_TRUE(terminal.WaitFor(">Greeting::Unknown.Hero")) << terminal.Screen();

    // The filter prompt starts empty; Ctrl-U empties what was typed.
    terminal.Keys({"/"});
    ASSERT_TRUE(terminal.WaitFor("empty clears): _")) << terminal.Screen();
    terminal.Keys({"Sad"}, true);
    terminal.Keys({"C-u"});
    terminal.Keys({"Hero"}, true);
    terminal.Keys({"Enter"});
    ASSERT_TRUE(terminal.WaitFor("rows 1-3 of 3")) << terminal.Screen();
    EXPECT_NE(terminal.Screen().find("filter Path~Hero"), std::string::npos);

    // w saves the copy to a file and puts it on the terminal's clipboard.
    const std::string path = TempFile("view_terminal_saved.tsv", "");
    terminal.Keys({"w"});
    terminal.Keys({path}, true);
    terminal.Keys({"Enter"});
    ASSERT_TRUE(terminal.WaitFor("Saved 4 lines to")) << terminal.Screen();
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved, "Path\tAdded\tPlayed\nGreeting::Happy.Hero\t2\t2\nGreeting::Sad.Hero\t1\t1\n"
                     "Greeting::Unknown.Hero\t1\t1\n");
    EXPECT_EQ(terminal.Clipboard(), saved);

    // q gives the shell its screen back.
    terminal.Keys({"q"});
    ASSERT_TRUE(terminal.WaitForGone("capture complete")) << terminal.Screen();
    terminal.Run("echo status=$?");
    EXPECT_TRUE(terminal.WaitFor("status=0")) << terminal.Screen();

    // A terminal that curses does not know is an error of the environment.
    terminal.Run("TERM=no-such-terminal " + ViewLine() + "; echo status=$?");
    EXPECT_TRUE(terminal.WaitFor("status=1")) << terminal.Screen();
    EXPECT_NE(terminal.Screen().find("tally: the terminal type 'no-such-terminal' is unknown"),
              std::string::npos);
}

TEST_F(ViewInTerminal, RedrawsOnResizeAndSuspendsWithCtrlZ)
{
    TmuxTerminal terminal(100, 30);
    terminal.Run(ViewLine());
    ASSERT_TRUE(WaitForLastRow(terminal, 30, "capture complete: 25 items")) << terminal.Screen();

    terminal.Resize(70, 20);
    ASSERT_TRUE(WaitForLastRow(terminal, 20, "capture complete: 25 items")) << terminal.Screen();

    // Ctrl-Z hands the terminal back to the shell; fg brings the view back as it was.
    terminal.Keys({"C-z"});
    ASSERT_TRUE(terminal.WaitFor("Stopped")) << terminal.Screen();
    EXPECT_EQ(terminal.Screen().find("capture complete"), std::string::npos) << terminal.Screen();
    terminal.Run("fg");
    ASSERT_TRUE(WaitForLastRow(terminal, 20, "capture complete: 25 items")) << terminal.Screen();

    terminal.Keys({"q"});
    ASSERT_TRUE(terminal.WaitForGone("capture complete")) << terminal.Screen();
    terminal.Run("echo status=$?");
    EXPECT_TRUE(terminal.WaitFor("status=0")) << terminal.Screen();
}

TEST_F(ViewInTerminal, FollowsACaptureStreamedThroughStandardInput)
{
    const std::string feed = TempFile("view_feed", "");
    std::filesystem::remove(feed);
    ASSERT_EQ(mkfifo(feed.c_str(), 0600), 0);
    TmuxTerminal terminal(100, 30);
    // Keys come from the terminal while standard input carries the capture.
    terminal.Run(ShellQuoted(TALLY_EXE_PATH) + " view --project " + ShellQuoted(Example("project.json")) +
                 " --capture - --query 'Paths Used' < " + ShellQuoted(feed));
    int writer = -1;
    for (int tries = 0; writer < 0 && tries < 400; ++tries)
    {
        writer = open(feed.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); // ENXIO until the view reads
        if (writer < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GE(writer, 0);
    fcntl(writer, F_SETFL, 0);

    const std::string capture = ReadFile(Example("capture.jsonl"));
    const std::size_t half = capture.find('\n', capture.size() / 2) + 1;
    ASSERT_EQ(write(writer, capture.data(), half), static_cast<ssize_t>(half));
    EXPECT_TRUE(terminal.WaitFor("capturing: ")) << terminal.Screen();
    ASSERT_EQ(write(writer, capture.data() + half, capture.size() - half),
              static_cast<ssize_t>(capture.size() - half));
    close(writer);
    ASSERT_TRUE(terminal.WaitFor("capture complete: 25 items")) << terminal.Screen();
    EXPECT_NE(terminal.Screen().find("Greeting::Unknown.Hero"), std::string::npos);

    terminal.Keys({"q"});
    ASSERT_TRUE(terminal.WaitForGone("capture complete")) << terminal.Screen();
    terminal.Run("echo status=$?");
    EXPECT_TRUE(terminal.WaitFor("status=0")) << terminal.Screen();
}

TEST(ViewOnPty, ALargeProjectShowsALineWhileItIsRead)
{
    const std::string project = TempFile("view_large_project.json", "");
    const std::string capture = TempFile("view_large_capture.jsonl", "");
    ASSERT_EQ(RunTally({"generate", "--events", "3000", "--items", "10", "--project", project, "--capture",
                        capture})
                  .exitCode,
              0);
    const PtyResult large =
        RunTallyOnPty({"view", "--project", project, "--capture", capture, "--snapshot", "--size", "80x20"});
    EXPECT_EQ(large.exitCode, 0) << large.output;
    const std::size_t line = large.output.find("tally: reading project " + project + " (");
    ASSERT_NE(line, std::string::npos) << large.output;
    // The line is gone before the frame is printed.
    EXPECT_LT(line, large.output.find("\r\033[K"));
    EXPECT_LT(large.output.find("\r\033[K"), large.output.find("[None"));

    const PtyResult small = RunTallyOnPty({"view", "--project", Example("project.json"), "--capture",
                                           Example("capture.jsonl"), "--snapshot", "--size", "80x20"});
    EXPECT_EQ(small.exitCode, 0) << small.output;
    EXPECT_EQ(small.output.find("reading"), std::string::npos) << small.output;
}

} // namespace
