// The keys that work the terminal view, from what the curses screen reads.
#pragma once

#include <cwchar>
#include <optional>

namespace app
{

struct Key
{
    enum Code
    {
        Char, // a printable character in `ch`
        Tab,
        BackTab,
        Enter,
        Escape,
        Backspace,
        Up,
        Down,
        Left,
        Right,
        PageUp,
        PageDown,
        Home,
        End,
        Interrupt, // Ctrl-C
        Suspend,   // Ctrl-Z
        ClearLine, // Ctrl-U
        Resize,    // the terminal changed its size
    };
    Code code = Char;
    wchar_t ch = 0;

    friend bool operator==(const Key&, const Key&) = default;
};

// The key of a wide-character read: status OK with a character, or KEY_CODE_YES with a curses key
// code. Null for what the view does not use.
std::optional<Key> KeyFromCurses(int status, wint_t value);

} // namespace app
