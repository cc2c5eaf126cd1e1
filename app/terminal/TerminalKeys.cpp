#include "app/terminal/TerminalKeys.h"

#include <curses.h>

namespace app
{

namespace
{

constexpr wint_t Control(char letter)
{
    return static_cast<wint_t>(letter - 'A' + 1);
}

std::optional<Key::Code> CodeOfKey(wint_t value)
{
    switch (value)
    {
    case KEY_UP:
        return Key::Up;
    case KEY_DOWN:
        return Key::Down;
    case KEY_LEFT:
        return Key::Left;
    case KEY_RIGHT:
        return Key::Right;
    case KEY_PPAGE:
        return Key::PageUp;
    case KEY_NPAGE:
        return Key::PageDown;
    case KEY_HOME:
        return Key::Home;
    case KEY_END:
        return Key::End;
    case KEY_BTAB:
        return Key::BackTab;
    case KEY_ENTER:
        return Key::Enter;
    case KEY_BACKSPACE:
        return Key::Backspace;
    case KEY_RESIZE:
        return Key::Resize;
    default:
        return std::nullopt;
    }
}

std::optional<Key::Code> CodeOfCharacter(wint_t value)
{
    switch (value)
    {
    case L'\t':
        return Key::Tab;
    case L'\r':
    case L'\n':
        return Key::Enter;
    case 0x1B:
        return Key::Escape;
    case 0x7F:
    case Control('H'):
        return Key::Backspace;
    case Control('C'):
        return Key::Interrupt;
    case Control('Z'):
        return Key::Suspend;
    case Control('U'):
        return Key::ClearLine;
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<Key> KeyFromCurses(int status, wint_t value)
{
    if (status == KEY_CODE_YES)
    {
        const std::optional<Key::Code> code = CodeOfKey(value);
        return code ? std::optional<Key>(Key{*code}) : std::nullopt;
    }
    if (status != OK)
        return std::nullopt;
    if (const std::optional<Key::Code> code = CodeOfCharacter(value))
        return Key{*code};
    if (value < 0x20 || (value >= 0x7F && value < 0xA0))
        return std::nullopt;
    return Key{Key::Char, static_cast<wchar_t>(value)};
}

} // namespace app
