// The terminal as a curses screen: the terminal's own key codes, wide characters, suspend with Ctrl-Z
// and resizing come from ncursesw. The screen is put back when the object goes.
#pragma once

#include "app/cli/CommandLine.h"
#include "app/terminal/TerminalCanvas.h"
#include "app/terminal/TerminalKeys.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct screen;

namespace app
{

class CursesScreen
{
public:
    // Keys read from keyboardFd, drawing to outputFd; null, with the reason, when the terminal cannot
    // be worked (unknown terminal type).
    static std::unique_ptr<CursesScreen> Open(int keyboardFd, int outputFd, std::string& error);
    ~CursesScreen();
    CursesScreen(const CursesScreen&) = delete;
    CursesScreen& operator=(const CursesScreen&) = delete;

    TerminalSize Size() const;
    // Shows the canvas; curses sends only the cells that changed.
    void Show(const Canvas& canvas);
    // The next key typed, without waiting; null when none is pending.
    std::optional<Key> ReadKey();
    // Stops the program as Ctrl-Z does in a shell with job control, with the terminal as it was, and
    // draws the screen again once resumed.
    void Suspend();
    // Puts the text on the terminal's clipboard (OSC 52, which tmux and most terminals accept).
    void SendClipboard(std::string_view utf8) const;

private:
    CursesScreen(screen* pScreen, std::FILE* pOut, std::FILE* pIn, int outputFd);

    screen* m_pScreen;
    std::FILE* m_pOut;
    std::FILE* m_pIn;
    int m_nOutputFd;
};

// RFC 4648 base64, with padding.
std::string Base64(std::string_view bytes);

} // namespace app
