#include "app_Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace
{

struct Pipe
{
    int fds[2] = {-1, -1};
    Pipe()
    {
        if (pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
    }
    ~Pipe()
    {
        for (int fd : fds)
            if (fd >= 0)
                close(fd);
    }
    void Close(int end)
    {
        close(fds[end]);
        fds[end] = -1;
    }
};

// Removed with everything in it when the test binary ends.
struct ScratchDirectory
{
    ScratchDirectory()
        : path(std::filesystem::temp_directory_path() / ("tally_app_tests_" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(path); }

    std::filesystem::path path;
};

const std::filesystem::path& Scratch()
{
    static const ScratchDirectory directory;
    return directory.path;
}

} // namespace

TallyArgv::TallyArgv(const std::vector<std::string>& args) : m_strings{TALLY_EXE_PATH}
{
    m_strings.insert(m_strings.end(), args.begin(), args.end());
    for (std::string& arg : m_strings)
        m_pointers.push_back(arg.data());
    m_pointers.push_back(nullptr);
}

ProcessResult RunTally(const std::vector<std::string>& args, const ProcessOptions& options)
{
    Pipe in, out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fds[0], 0);
    if (options.stdoutFile.empty())
        posix_spawn_file_actions_adddup2(&actions, out.fds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, options.stdoutFile.c_str(), O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, err.fds[1], 2);
    if (!options.directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.directory.c_str());

    const TallyArgv argv(args);

    // The plug-in under test, unless the test names another.
    std::vector<std::string> envStore = options.environment;
    envStore.push_back(std::string("TALLY_PLUGIN=") + TALLY_PLUGIN_PATH);
    for (char** pEntry = environ; *pEntry; ++pEntry)
    {
        if (std::string_view(*pEntry).starts_with("TALLY_PLUGIN="))
            continue;
        envStore.push_back(*pEntry);
    }
    std::vector<char*> envp;
    for (std::string& entry : envStore)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, TALLY_EXE_PATH, &actions, nullptr, argv.Data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + std::string(TALLY_EXE_PATH));
    in.Close(0);
    out.Close(1);
    err.Close(1);

    ProcessResult result;
    std::size_t written = 0;
    if (options.input.empty())
        in.Close(1);
    else
        fcntl(in.fds[1], F_SETFL, O_NONBLOCK);
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen)
    {
        pollfd fds[3] = {{out.fds[0], POLLIN, 0}, {err.fds[0], POLLIN, 0}, {in.fds[1], POLLOUT, 0}};
        poll(fds, in.fds[1] >= 0 ? 3 : 2, -1);
        char buffer[65536];
        for (int index = 0; index < 2; ++index)
        {
            if (!(fds[index].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t length = read(fds[index].fd, buffer, sizeof buffer);
            if (length <= 0)
            {
                (index == 0 ? outOpen : errOpen) = false;
                (index == 0 ? out : err).Close(0);
            }
            else
                (index == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(length));
        }
        if (in.fds[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR)))
        {
            const ssize_t length =
                write(in.fds[1], options.input.data() + written, options.input.size() - written);
            if (length > 0)
                written += static_cast<std::size_t>(length);
            if (length < 0 || written == options.input.size())
                in.Close(1);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Example(const std::string& name)
{
    return std::string(TALLY_EXAMPLES_DIR) + "/" + name;
}

std::string Golden(const std::string& name)
{
    return ReadFile(std::string(TALLY_TEST_DATA_DIR) + "/../app/golden/" + name);
}

std::string TempFile(const std::string& name, const std::string& text)
{
    const std::filesystem::path path = Scratch() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}
