#include "app/terminal/RawTerminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace app
{

namespace
{

constexpr std::string_view kEnter = "\033[?1049h\033[?25l\033[H\033[2J";
constexpr std::string_view kLeave = "\033[0m\033[?25h\033[?1049l";

// What the signal handler needs to put the terminal back; written before the handlers are installed.
int g_nRestoreFd = -1;
int g_nRestoreOutputFd = -1;
termios g_restore{};
std::atomic<bool> g_bResized{false};

void WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written <= 0)
            return;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Only async-signal-safe calls: tcsetattr, write, signal, raise.
void RestoreAndRaise(int signal)
{
    if (g_nRestoreFd >= 0)
    {
        tcsetattr(g_nRestoreFd, TCSAFLUSH, &g_restore);
        WriteAll(g_nRestoreOutputFd, kLeave);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnResize(int)
{
    g_bResized = true;
}

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV};

} // namespace

std::optional<TerminalSize> RawTerminal::SizeOf(int fd)
{
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0)
        return std::nullopt;
    return TerminalSize{size.ws_col, size.ws_row};
}

RawTerminal::RawTerminal(int keyboardFd, int outputFd) : m_nKeyboardFd(keyboardFd), m_nOutputFd(outputFd)
{
    if (!isatty(keyboardFd) || !isatty(outputFd) || tcgetattr(keyboardFd, &m_saved) != 0)
        return;
    termios raw = m_saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;

    g_restore = m_saved;
    g_nRestoreFd = keyboardFd;
    g_nRestoreOutputFd = outputFd;
    for (const int signal : kFatalSignals)
        std::signal(signal, RestoreAndRaise);
    std::signal(SIGWINCH, OnResize);

    if (tcsetattr(keyboardFd, TCSAFLUSH, &raw) != 0)
        return;
    m_bOpen = true;
    Write(kEnter);
}

RawTerminal::~RawTerminal()
{
    if (!m_bOpen)
        return;
    Write(kLeave);
    tcsetattr(m_nKeyboardFd, TCSAFLUSH, &m_saved);
    for (const int signal : kFatalSignals)
        std::signal(signal, SIG_DFL);
    std::signal(SIGWINCH, SIG_DFL);
    g_nRestoreFd = -1;
}

void RawTerminal::Write(std::string_view bytes) const
{
    WriteAll(m_nOutputFd, bytes);
}

bool RawTerminal::TakeResized()
{
    return g_bResized.exchange(false);
}

} // namespace app
