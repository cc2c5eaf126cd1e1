#include "app_Terminal.h"

#include "app_Process.h"

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace
{

std::string Capture(const std::string& command)
{
    std::FILE* pPipe = popen(command.c_str(), "r");
    if (pPipe == nullptr)
        throw std::runtime_error("cannot run " + command);
    std::string out;
    std::array<char, 4096> buffer{};
    for (std::size_t length; (length = std::fread(buffer.data(), 1, buffer.size(), pPipe)) > 0;)
        out.append(buffer.data(), length);
    pclose(pPipe);
    return out;
}

} // namespace

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char ch : text)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

bool TmuxTerminal::Available()
{
    return std::system("tmux -V >/dev/null 2>&1") == 0;
}

TmuxTerminal::TmuxTerminal(int cols, int rows)
{
    static std::atomic<int> s_count{0};
    m_socket = "tally_test_" + std::to_string(getpid()) + "_" + std::to_string(s_count++);
    // Its own server without the user's configuration; the clipboard taken from programs; a plain shell
    // with job control and a UTF-8 locale.
    const std::string shell =
        "env -i PATH=/usr/bin:/bin HOME=/tmp TERM=screen LANG=C.UTF-8 PS1='$ ' TALLY_PLUGIN=" +
        std::string(TALLY_PLUGIN_PATH) + " bash --norc --noprofile -i";
    Tmux("-f /dev/null new-session -d -s view -x " + std::to_string(cols) + " -y " + std::to_string(rows) +
         " " + ShellQuoted(shell) + " \\; set -g set-clipboard on");
    WaitFor("$"); // capture-pane drops the blank after the prompt
}

TmuxTerminal::~TmuxTerminal()
{
    Tmux("kill-server");
}

std::string TmuxTerminal::Tmux(const std::string& arguments)
{
    return Capture("tmux -u -L " + m_socket + " " + arguments + " 2>/dev/null");
}

void TmuxTerminal::Run(const std::string& commandLine)
{
    Keys({commandLine}, true);
    Keys({"Enter"});
}

void TmuxTerminal::Keys(const std::vector<std::string>& keys, bool bLiteral)
{
    std::string arguments = bLiteral ? "send-keys -t view -l" : "send-keys -t view";
    for (const std::string& key : keys)
        arguments += " " + ShellQuoted(key);
    Tmux(arguments);
}

void TmuxTerminal::Resize(int cols, int rows)
{
    Tmux("resize-window -t view -x " + std::to_string(cols) + " -y " + std::to_string(rows));
}

std::string TmuxTerminal::Screen()
{
    return Tmux("capture-pane -p -t view");
}

bool TmuxTerminal::WaitFor(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (; std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    {
        if (Screen().find(text) != std::string::npos)
            return true;
    }
    return false;
}

bool TmuxTerminal::WaitForGone(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (; std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    {
        if (Screen().find(text) == std::string::npos)
            return true;
    }
    return false;
}

std::string TmuxTerminal::Clipboard()
{
    return Tmux("show-buffer");
}

PtyResult RunTallyOnPty(const std::vector<std::string>& args)
{
    const TallyArgv argv(args);
    std::string plugin = std::string("TALLY_PLUGIN=") + TALLY_PLUGIN_PATH;

    winsize size{};
    size.ws_col = 100;
    size.ws_row = 30;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0)
        throw std::runtime_error("forkpty");
    if (pid == 0)
    {
        putenv(plugin.data());
        execv(TALLY_EXE_PATH, argv.Data());
        _exit(127);
    }
    PtyResult result;
    std::array<char, 65536> buffer{};
    // Bounded: a program that never ends fails the test instead of hanging it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end)
    {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, 1000) <= 0)
            continue;
        const ssize_t length = read(master, buffer.data(), buffer.size());
        if (length <= 0)
            break; // EIO once the program has ended
        result.output.append(buffer.data(), static_cast<std::size_t>(length));
    }
    close(master);
    int status = 0;
    for (int tries = 0; waitpid(pid, &status, WNOHANG) == 0; ++tries)
    {
        if (tries == 100)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}
