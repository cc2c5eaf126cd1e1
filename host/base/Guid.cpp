#include "host/base/Guid.h"

#include "host/base/HexDigits.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace guid
{
namespace
{
// Where the two digits of each of the 16 bytes stand in "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
constexpr std::array<std::uint8_t, 16> kPairAt = {0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
} // namespace

std::optional<GUID> Parse(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;

    // Every GUID of a capture and a project passes here: the digits are looked up a byte's pair at a
    // time, in a loop the compiler lays out flat, and checked once.
    std::array<std::uint8_t, 16> bytes;
    int bad = 0;
#pragma GCC unroll 16
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        const int high = hex::DigitValue(text[kPairAt[i]]);
        const int low = hex::DigitValue(text[kPairAt[i] + 1u]);
        bad |= high | low;
        bytes[i] = static_cast<std::uint8_t>((high << 4) | (low & 0xF));
    }
    if (bad < 0)
        return std::nullopt;

    // The three leading fields are numbers (stored in the machine's little-endian order); the last
    // eight bytes are taken in the order written.
    GUID g;
    g.Data1 = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
              bytes[3];
    g.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    g.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (std::size_t i = 0; i < 8; ++i)
        g.Data4[i] = bytes[8 + i];
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
