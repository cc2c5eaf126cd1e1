// `tally generate` as a user meets it: sizes refused before anything is written, files that take their
// place only once complete, and a progress line on a terminal.
#include "app/generate/Generator.h"
#include "app_Process.h"
#include "app_Terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace
{

namespace fs = std::filesystem;

// An empty folder of its own in the scratch directory.
fs::path Folder(const std::string& name)
{
    const fs::path folder = fs::path(TempFile(name + "_marker", "")).parent_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::string> Entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Generate(const std::string& events, const std::string& items,
                                  const std::string& project, const std::string& capture)
{
    return {"generate", "--events", events, "--items", items, "--project", project, "--capture", capture};
}

TEST(GenerateCommand, RefusesSizesBeyondItsLimitsBeforeWritingAnything)
{
    const fs::path folder = Folder("generate_limits");
    const std::string project = (folder / "p.json").string();
    const std::string capture = (folder / "c.jsonl").string();
    const struct
    {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {Generate("1000001", "10", project, capture), "tally: --events is at most 1000000, not 1000001\n"},
        {Generate("4294967297", "10", project, capture),
         "tally: --events is at most 1000000, not 4294967297\n"},
        {Generate("10", "100000001", project, capture),
         "tally: --items is at most 100000000, not 100000001\n"},
        {Generate("10", "10", "-", "-"),
         "tally: --project and --capture cannot both go to standard output\n"},
        {Generate("10", "10", project, (folder / "." / "p.json").string()),
         "tally: --project and --capture name the same file\n"},
    };
    for (const auto& test : cases)
    {
        SCOPED_TRACE(testing::PrintToString(test.args));
        const ProcessResult result = RunTally(test.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, test.message + "Try 'tally generate --help'.\n");
    }
    EXPECT_TRUE(Entries(folder).empty());
}

TEST(GenerateCommand, RefusesFilesThatMightNotFitInTheFreeSpace)
{
    // The largest run allowed may take more than a small file system holds.
    const std::uint64_t most = app::Generator::MostProjectBytes(app::kMostEvents) +
                               app::Generator::MostCaptureBytes(app::kMostItems);
    fs::path folder;
    for (const fs::path& candidate : {fs::path("/dev/shm"), Folder("generate_space")})
    {
        struct statvfs room
        {
        };
        if (statvfs(candidate.c_str(), &room) == 0 && access(candidate.c_str(), W_OK) == 0 &&
            static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize < most)
            folder = candidate / ("tally_generate_space_" + std::to_string(getpid()));
    }
    if (folder.empty())
        GTEST_SKIP() << "no file system at hand with less than " << most << " bytes free";
    fs::create_directories(folder);

    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result =
        RunTally(Generate(std::to_string(app::kMostEvents), std::to_string(app::kMostItems),
                          (folder / "p.json").string(), (folder / "c.jsonl").string()));
    // At once: before a model of a million events is made.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(": not enough free space: the files may take up to "), std::string::npos)
        << result.err;
    EXPECT_TRUE(Entries(folder).empty());
    fs::remove_all(folder);
}

// Ctrl-C, or a kill, half-way through: the files that were there stay as they were, and the
// temporary files beside them go.
TEST(GenerateCommand, AnInterruptedRunLeavesTheFilesAsTheyWere)
{
    for (const int signal : {SIGINT, SIGTERM})
    {
        SCOPED_TRACE(signal);
        const fs::path folder = Folder("generate_interrupted");
        const std::string project = TempFile("generate_interrupted/p.json", "old project");
        const std::string capture = TempFile("generate_interrupted/c.jsonl", "old capture");

        const TallyArgv argv(Generate("40", "10000000", project, capture));
        // As a user's terminal delivers them, even where the tests run with the signals ignored.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, signal);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, TALLY_EXE_PATH, nullptr, &attributes, argv.Data(), environ);
        posix_spawnattr_destroy(&attributes);
        ASSERT_EQ(spawned, 0);

        // Once the capture is on its way, both temporary files exist.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Entries(folder).size() < 4 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::size_t entriesWhileWriting = Entries(folder).size();
        kill(pid, signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_EQ(entriesWhileWriting, 4u);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;

        EXPECT_EQ(Entries(folder), (std::vector<std::string>{"c.jsonl", "p.json"}));
        EXPECT_EQ(ReadFile(project), "old project");
        EXPECT_EQ(ReadFile(capture), "old capture");
    }
}

TEST(GenerateCommand, ShowsProgressOnATerminalOnly)
{
    const fs::path folder = Folder("generate_progress");
    const std::string project = (folder / "p.json").string();
    // The capture goes into a pipe that is read slowly, so that writing it outlasts the line's first
    // delay (300 ms) however fast the machine.
    const std::string pipe = (folder / "c.pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::string> args = Generate("20", "50000", project, pipe);

    std::thread reader(
        [&pipe]
        {
            const int fd = open(pipe.c_str(), O_RDONLY);
            char chunk[65536];
            while (fd >= 0 && read(fd, chunk, sizeof chunk) > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(8));
            if (fd >= 0)
                close(fd);
        });
    const PtyResult onTerminal = RunTallyOnPty(args);
    reader.join();
    const std::string& screen = onTerminal.output;
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_NE(screen.find("\rtally: writing " + pipe + ", "), std::string::npos) << screen;
    EXPECT_NE(screen.find(" of 50000 lines ("), std::string::npos) << screen;
    // The line is cleared once the file is written.
    EXPECT_EQ(screen.substr(screen.size() - 4), "\r\033[K");

    const ProcessResult piped = RunTally(Generate("20", "50000", project, "/dev/null"));
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.err, "");
}

} // namespace
