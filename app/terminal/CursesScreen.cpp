#include "app/terminal/CursesScreen.h"

#include <curses.h>
#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdlib>

namespace app
{

namespace
{

// Long enough for the rest of an arrow key's sequence over ssh, short enough that Esc feels immediate.
constexpr int kEscapeDelayMs = 25;

attr_t CursesAttr(std::uint8_t attr)
{
    attr_t result = A_NORMAL;
    if (attr & kAttrBold)
        result |= A_BOLD;
    if (attr & kAttrDim)
        result |= A_DIM;
    if (attr & kAttrUnderline)
        result |= A_UNDERLINE;
    if (attr & kAttrInverse)
        result |= A_REVERSE;
    return result;
}

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

} // namespace

std::unique_ptr<CursesScreen> CursesScreen::Open(int keyboardFd, int outputFd, std::string& error)
{
    // curses writes characters in the locale's encoding, and the view's texts are Unicode.
    const char* pLocale = std::setlocale(LC_CTYPE, "");
    if (pLocale == nullptr || std::string_view(nl_langinfo(CODESET)) != "UTF-8")
        std::setlocale(LC_CTYPE, "C.UTF-8");
    // curses owns and closes its streams; the descriptors stay the caller's.
    std::FILE* pOut = fdopen(dup(outputFd), "w");
    std::FILE* pIn = fdopen(dup(keyboardFd), "r");
    screen* pScreen = pOut && pIn ? newterm(nullptr, pOut, pIn) : nullptr;
    if (pScreen == nullptr)
    {
        const char* term = std::getenv("TERM");
        error = "the terminal type '" + std::string(term ? term : "") + "' is unknown";
        for (std::FILE* pFile : {pOut, pIn})
            if (pFile)
                std::fclose(pFile);
        return nullptr;
    }
    // Raw rather than cbreak: Ctrl-C quits through the view, and Ctrl-Z suspends through it so that
    // the screen is put back first.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(kEscapeDelayMs);
    curs_set(0);
    return std::unique_ptr<CursesScreen>(new CursesScreen(pScreen, pOut, pIn, outputFd));
}

CursesScreen::CursesScreen(screen* pScreen, std::FILE* pOut, std::FILE* pIn, int outputFd)
    : m_pScreen(pScreen), m_pOut(pOut), m_pIn(pIn), m_nOutputFd(outputFd)
{
}

CursesScreen::~CursesScreen()
{
    endwin();
    delscreen(m_pScreen);
    std::fclose(m_pOut);
    std::fclose(m_pIn);
}

TerminalSize CursesScreen::Size() const
{
    return TerminalSize{COLS, LINES};
}

void CursesScreen::Show(const Canvas& canvas)
{
    const int rows = std::min(canvas.Rows(), LINES);
    const int cols = std::min(canvas.Cols(), COLS);
    for (int row = 0; row < rows; ++row)
    {
        for (int col = 0; col < cols; ++col)
        {
            const Canvas::Cell& cell = canvas.At(col, row);
            if (cell.glyph.empty())
                continue; // the right half of a wide character, drawn with its left
            cchar_t shown{};
            setcchar(&shown, cell.glyph.c_str(), CursesAttr(cell.attr), 0, nullptr);
            mvadd_wch(row, col, &shown);
        }
    }
    refresh();
}

std::optional<Key> CursesScreen::ReadKey()
{
    for (;;)
    {
        wint_t value = 0;
        const int status = get_wch(&value);
        if (status == ERR)
            return std::nullopt;
        if (std::optional<Key> key = KeyFromCurses(status, value))
            return key;
    }
}

void CursesScreen::Suspend()
{
    struct sigaction previous
    {
    };
    sigaction(SIGTSTP, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN)
        return; // no job control: nobody could resume us
    endwin();
    std::signal(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
    // Running again.
    sigaction(SIGTSTP, &previous, nullptr);
    clearok(curscr, TRUE);
    refresh();
}

void CursesScreen::SendClipboard(std::string_view utf8) const
{
    WriteAll(m_nOutputFd, "\033]52;c;" + Base64(utf8) + "\a");
}

std::string Base64(std::string_view bytes)
{
    constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t pos = 0; pos < bytes.size(); pos += 3)
    {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - pos);
        std::uint32_t group = 0;
        for (std::size_t index = 0; index < 3; ++index)
        {
            const auto byte = index < count ? static_cast<unsigned char>(bytes[pos + index]) : 0u;
            group = (group << 8) | byte;
        }
        for (std::size_t index = 0; index < 4; ++index)
            out += index <= count ? kDigits[(group >> (18 - 6 * index)) & 0x3F] : '=';
    }
    return out;
}

} // namespace app
