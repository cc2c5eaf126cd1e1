// The value of every byte as a hexadecimal digit (either case), or -1: the readers of GUIDs and of
// escaped text look digits up by the byte instead of testing ranges.
#pragma once

#include <array>
#include <cstdint>

namespace hex
{

inline constexpr std::array<std::int8_t, 256> kDigitValue = []
{
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table)
        entry = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return table;
}();

// The digit's value, or -1 when the byte is no hexadecimal digit.
inline int DigitValue(char c)
{
    return kDigitValue[static_cast<unsigned char>(c)];
}

} // namespace hex
