#include "host/base/Guid.h"

#include <cstdio>

namespace guid
{
namespace
{
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits starting at `pos`; false when any is not a hex digit.
template <class T> bool ReadHex(std::string_view text, std::size_t pos, std::size_t digits, T& value)
{
    std::uint64_t result = 0;
    for (std::size_t i = 0; i < digits; ++i)
    {
        const int v = HexValue(text[pos + i]);
        if (v < 0)
            return false;
        result = (result << 4) | static_cast<std::uint64_t>(v);
    }
    value = static_cast<T>(result);
    return true;
}
} // namespace

std::optional<GUID> Parse(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;

    // The three leading fields are numbers (stored in the machine's little-endian order); the last
    // eight bytes are taken in the order written.
    GUID g;
    bool bOk = ReadHex(text, 0, 8, g.Data1) && ReadHex(text, 9, 4, g.Data2) && ReadHex(text, 14, 4, g.Data3);
    for (std::size_t i = 0; i < 8 && bOk; ++i)
    {
        const std::size_t pos = i < 2 ? 19 + 2 * i : 24 + 2 * (i - 2);
        bOk = ReadHex(text, pos, 2, g.Data4[i]);
    }
    if (!bOk)
        return std::nullopt;
    return g;
}

std::string ToString(const GUID& g)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), static_cast<unsigned>(g.Data2),
                  static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

std::wstring ToWString(const GUID& g)
{
    const std::string narrow = ToString(g);
    return std::wstring(narrow.begin(), narrow.end());
}

} // namespace guid
