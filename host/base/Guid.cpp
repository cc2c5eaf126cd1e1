#include "host/base/Guid.h"

#include "host/base/HexDigits.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace guid
{
namespace
{
// Where the 32 digits stand in "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
constexpr std::array<std::uint8_t, 32> MakeDigitPositions()
{
    std::array<std::uint8_t, 32> positions{};
    std::size_t digit = 0;
    for (std::uint8_t pos = 0; pos < 36; ++pos)
    {
        if (pos != 8 && pos != 13 && pos != 18 && pos != 23)
            positions[digit++] = pos;
    }
    return positions;
}
constexpr std::array<std::uint8_t, 32> kDigitAt = MakeDigitPositions();
} // namespace

std::optional<GUID> Parse(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;

    // Every GUID of a capture and a project passes here: all 32 digits are looked up first, and
    // checked once.
    std::array<std::uint8_t, 32> nibbles;
    int bad = 0;
    for (std::size_t i = 0; i < nibbles.size(); ++i)
    {
        const int digit = hex::DigitValue(text[kDigitAt[i]]);
        bad |= digit;
        nibbles[i] = static_cast<std::uint8_t>(digit & 0xF);
    }
    if (bad < 0)
        return std::nullopt;

    // The three leading fields are numbers (stored in the machine's little-endian order); the last
    // eight bytes are taken in the order written.
    const auto number = [&nibbles](std::size_t first, std::size_t count)
    {
        std::uint32_t value = 0;
        for (std::size_t i = first; i < first + count; ++i)
            value = (value << 4) | nibbles[i];
        return value;
    };
    GUID g;
    g.Data1 = number(0, 8);
    g.Data2 = static_cast<std::uint16_t>(number(8, 4));
    g.Data3 = static_cast<std::uint16_t>(number(12, 4));
    for (std::size_t i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<std::uint8_t>(nibbles[16 + 2 * i] << 4 | nibbles[17 + 2 * i]);
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
