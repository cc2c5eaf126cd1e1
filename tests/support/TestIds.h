// Readable GUIDs for tests: Id(n) differs from Id(m) in its first bytes, so GUIDLess orders them by n.
#pragma once

#include "host/base/Guid.h"

#include <cstdint>

inline GUID Id(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    g.Data2 = 0x7A11;
    g.Data3 = 0x0001;
    g.Data4[7] = 0x5A;
    return g;
}

// A GUID whose first and last 8 bytes hold these numbers, little-endian. GUIDLess orders by them; byte
// order, or an order by Data1 first, disagrees when the low bytes and the high bytes rank differently.
inline GUID Halves(std::uint64_t first, std::uint64_t last)
{
    GUID g;
    g.Data1 = static_cast<std::uint32_t>(first);
    g.Data2 = static_cast<std::uint16_t>(first >> 32);
    g.Data3 = static_cast<std::uint16_t>(first >> 48);
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = static_cast<std::uint8_t>(last >> (8 * i));
    return g;
}
