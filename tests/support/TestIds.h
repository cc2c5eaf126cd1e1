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
