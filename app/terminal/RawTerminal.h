// The terminal in raw mode on the alternate screen, restored when the object goes, and also when a
// signal ends the program.
#pragma once

#include "app/cli/CommandLine.h"

#include <termios.h>

#include <optional>
#include <string_view>

namespace app
{

class RawTerminal
{
public:
    // Null when the descriptor is no terminal.
    static std::optional<TerminalSize> SizeOf(int fd);

    // Raw input on keyboardFd, drawing on outputFd. Check IsOpen.
    RawTerminal(int keyboardFd, int outputFd);
    ~RawTerminal();
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool IsOpen() const { return m_bOpen; }
    void Write(std::string_view bytes) const;

    // Set by SIGWINCH; cleared by the call.
    static bool TakeResized();

private:
    int m_nKeyboardFd;
    int m_nOutputFd;
    termios m_saved{};
    bool m_bOpen = false;
};

} // namespace app
