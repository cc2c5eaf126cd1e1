// Conversions between the wide texts held in memory (code points in 32-bit wchar_t) and the UTF-8 and
// UTF-16 forms that leave the program or decide an order.
#pragma once

#include <string>
#include <string_view>

namespace text
{

// UTF-8 to wide text. Invalid sequences become U+FFFD; returns false when any was met.
bool Utf8ToWide(std::string_view utf8, std::wstring& out);
std::wstring FromUtf8(std::string_view utf8);

// Wide text to UTF-8; code points above U+10FFFF or in the surrogate range become U+FFFD.
void AppendUtf8(std::string& out, std::wstring_view wide);
std::string ToUtf8(std::wstring_view wide);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view utf8);

// Compares two texts as sequences of UTF-16 code units: the first differing unit decides, and a text
// that is a proper prefix of the other comes first. Code points above U+FFFF compare as their
// surrogate pairs, so they sort below U+E000..U+FFFF exactly as in UTF-16.
int CompareUtf16(std::wstring_view a, std::wstring_view b);

// The lower-case form used by case-insensitive matching of shown texts.
std::wstring FoldCase(std::wstring_view s);

struct Utf16Less
{
    // Lets ordered maps of texts be searched with a view, before any key is allocated.
    using is_transparent = void;

    bool operator()(std::wstring_view a, std::wstring_view b) const { return CompareUtf16(a, b) < 0; }
};

} // namespace text
