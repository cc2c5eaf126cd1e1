// Object identifiers: 16 bytes laid out as a Windows GUID is in memory.
#pragma once

#include <bit>
#include <compare>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct GUID
{
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
};
static_assert(sizeof(GUID) == 16);

inline constexpr GUID GUID_NULL{};

inline bool IsNullGuid(const GUID& g)
{
    return g == GUID_NULL;
}

// Orders GUIDs by their first 8 bytes read as an unsigned 64-bit little-endian integer, then by their
// last 8 bytes read the same way. Every GUID-keyed map of the statistics uses this order.
struct GUIDLess
{
    static std::uint64_t Half(const GUID& g, int index)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&g) + 8 * index;
        std::uint64_t value = 0;
        // Every map search compares GUIDs: on a little-endian machine this is one load.
        if constexpr (std::endian::native == std::endian::little)
            std::memcpy(&value, bytes, sizeof value);
        else
            for (int i = 7; i >= 0; --i)
                value = (value << 8) | bytes[i];
        return value;
    }

    bool operator()(const GUID& a, const GUID& b) const
    {
        const std::uint64_t a0 = Half(a, 0), b0 = Half(b, 0);
        if (a0 != b0)
            return a0 < b0;
        return Half(a, 1) < Half(b, 1);
    }
};

struct GUIDHash
{
    std::size_t operator()(const GUID& g) const
    {
        // Both halves are mixed, so that ids differing in any byte spread over the buckets.
        std::uint64_t h = GUIDLess::Half(g, 0) * 0x9E3779B97F4A7C15ull ^ GUIDLess::Half(g, 1);
        h ^= h >> 32;
        h *= 0xBF58476D1CE4E5B9ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

namespace guid
{
// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (either case, braces optional).
std::optional<GUID> Parse(std::string_view text);
// Formats as upper-case hex with braces.
std::string ToString(const GUID& g);
std::wstring ToWString(const GUID& g);
} // namespace guid
