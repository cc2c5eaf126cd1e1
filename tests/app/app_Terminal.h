// The view in a real terminal: a tmux server of its own with one window of a fixed size and an
// interactive shell in it (job control for Ctrl-Z), and a pseudo-terminal for programs that only print.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class TmuxTerminal
{
public:
    static bool Available();

    TmuxTerminal(int cols, int rows);
    ~TmuxTerminal();
    TmuxTerminal(const TmuxTerminal&) = delete;
    TmuxTerminal& operator=(const TmuxTerminal&) = delete;

    // Types the line into the shell, followed by Enter.
    void Run(const std::string& commandLine);
    // tmux key names ("Enter", "BTab", "C-u") or literal text with bLiteral.
    void Keys(const std::vector<std::string>& keys, bool bLiteral = false);
    void Resize(int cols, int rows);

    // The window as shown, one line per row.
    std::string Screen();
    // Polls the screen until it holds the text; false after the timeout.
    bool WaitFor(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    bool WaitForGone(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The newest paste buffer: what programs in the window put on the clipboard.
    std::string Clipboard();

private:
    std::string Tmux(const std::string& arguments);

    std::string m_socket;
};

struct PtyResult
{
    int exitCode = -1;
    // stdout and stderr as the terminal received them.
    std::string output;
};
// Runs tally with a pseudo-terminal as stdin, stdout and stderr.
PtyResult RunTallyOnPty(const std::vector<std::string>& args);

// The argument quoted for a POSIX shell.
std::string ShellQuoted(const std::string& text);
