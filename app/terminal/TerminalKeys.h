// Keys from the bytes a terminal sends in raw mode.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    };
    Code code = Char;
    wchar_t ch = 0;

    friend bool operator==(const Key&, const Key&) = default;
};

class KeyDecoder
{
public:
    // The keys that the bytes complete. An escape sequence split across reads is kept for the next
    // call; a lone ESC at the end of a read is the Escape key.
    std::vector<Key> Feed(std::string_view bytes);

private:
    std::string m_pending;
};

} // namespace app
