// The host session and the list settings in process, and the interactive view under a pseudo-terminal.
#include "app/HostSession.h"
#include "app/ListSettings.h"
#include "app/formats/ProjectReader.h"
#include "app_Process.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace
{

bool PluginMapped()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
    {
        if (line.find("/libtally.so") != std::string::npos)
            return true;
    }
    return false;
}

std::unique_ptr<app::HostSession> ExampleSession()
{
    std::string error;
    auto pSession = std::make_unique<app::HostSession>(app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error));
    pSession->OpenProject(app::BuildProject(app::ReadProjectFile(Example("project.json")).project));
    pSession->SetPreference(L"EnableStats", true);
    pSession->OpenView(840, 585);
    pSession->StartLogger();
    app::ReadCaptureFile(Example("capture.jsonl"),
                         [&](const app::CaptureItem& item, std::size_t) { pSession->Log(item); });
    pSession->StopLogger();
    return pSession;
}

TEST(HostSession, ClosesEveryWindowAndUnloadsThePlugIn)
{
    const std::size_t windowsBefore = LiveWindowCount();
    std::unique_ptr<app::HostSession> pSession = ExampleSession();
    EXPECT_TRUE(PluginMapped());
    EXPECT_TRUE(pSession->ChooseQuery(L"Dialogue Events Added"));
    EXPECT_FALSE(pSession->ChooseQuery(L"Everything"));
    EXPECT_EQ(pSession->ResultList(app::ctl::kMainList)->RowCount(), 7);
    pSession->Close();
    EXPECT_EQ(LiveWindowCount(), windowsBefore);
    EXPECT_EQ(NyLcRow::LiveCount(), 0);
    EXPECT_FALSE(PluginMapped());
}

TEST(HostSession, AMissingLibraryIsReportedWithTheLoadersReason)
{
    std::string error;
    EXPECT_EQ(app::PluginLibrary::Open("/nonexistent/libtally.so", error), nullptr);
    EXPECT_NE(error.find("/nonexistent/libtally.so"), std::string::npos);
}

TEST(ListSettings, FiltersNameWholeTitlesFollowedByAnOperator)
{
    std::unique_ptr<app::HostSession> pSession = ExampleSession();
    pSession->ChooseQuery(L"Dialogue Events Added");
    BaseFilteredListControl& list = *pSession->ResultList(app::ctl::kMainList);

    int column = -1;
    EXPECT_EQ(app::ApplyFilter(list, L"Target Object~_0", &column), "");
    EXPECT_EQ(column, 1);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(app::ApplyFilter(list, L"Count>=1"), "");
    EXPECT_EQ(list.RowCount(), 1);
    // A title cut short, or one not followed by an operator, names no column.
    EXPECT_NE(app::ApplyFilter(list, L"Target~_0"), "");
    EXPECT_NE(app::ApplyFilter(list, L"Count 1"), "");
    EXPECT_NE(app::ApplyFilter(list, L"Count<one"), "");
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(app::ApplyCriterion(list, 1, *app::ParseCriterion(L"", true)), "");
    EXPECT_EQ(list.RowCount(), 6);

    const app::SortRequest sort = app::ParseSortRequest("Target Object:desc");
    EXPECT_EQ(sort.column, L"Target Object");
    EXPECT_TRUE(sort.bDescending);
    EXPECT_EQ(app::ApplySort(list, sort), "");
    EXPECT_EQ(list.GetCellText(0, 1), L"Greeting_Sad");
    EXPECT_NE(app::ApplySort(list, app::ParseSortRequest("target object")), "");
}

// The interactive view under a pseudo-terminal: the capture arrives on standard input while keys
// come from the terminal; q restores the terminal and exits.
TEST(InteractiveView, FollowsAStreamedCaptureAndQuitsCleanly)
{
    int captureFds[2];
    ASSERT_EQ(pipe(captureFds), 0);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0)
    {
        dup2(captureFds[0], STDIN_FILENO);
        close(captureFds[1]);
        setenv("TALLY_PLUGIN", TALLY_PLUGIN_PATH, 1);
        const std::string project = Example("project.json");
        execl(TALLY_EXE_PATH, TALLY_EXE_PATH, "view", "--project", project.c_str(), "--capture", "-",
              "--size", "100x24", "--query", "Paths Used", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(captureFds[0]);

    std::string screen;
    const auto readFor = [&](std::chrono::milliseconds duration)
    {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end)
        {
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(terminal, &fds);
            timeval timeout{0, 20000};
            if (select(terminal + 1, &fds, nullptr, nullptr, &timeout) > 0)
            {
                char buffer[65536];
                const ssize_t length = read(terminal, buffer, sizeof buffer);
                if (length <= 0)
                    return;
                screen.append(buffer, static_cast<std::size_t>(length));
            }
        }
    };

    const std::string capture = ReadFile(Example("capture.jsonl"));
    const std::size_t half = capture.find('\n', capture.size() / 2) + 1;
    ASSERT_EQ(write(captureFds[1], capture.data(), half), static_cast<ssize_t>(half));
    readFor(std::chrono::milliseconds(400));
    EXPECT_NE(screen.find("capturing: "), std::string::npos);
    ASSERT_EQ(write(captureFds[1], capture.data() + half, capture.size() - half),
              static_cast<ssize_t>(capture.size() - half));
    close(captureFds[1]);
    readFor(std::chrono::milliseconds(400));
    EXPECT_NE(screen.find("capture complete: 25 items"), std::string::npos);
    EXPECT_NE(screen.find("Greeting::Unknown.Hero"), std::string::npos);

    ASSERT_EQ(write(terminal, "q", 1), 1);
    readFor(std::chrono::milliseconds(300));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    close(terminal);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The alternate screen was left and the cursor shown again.
    EXPECT_NE(screen.find("\033[?25h\033[?1049l"), std::string::npos);
}

} // namespace
