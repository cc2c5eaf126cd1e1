#include "host/base/Guid.h"
#include "host/base/StringHelp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace
{
std::array<unsigned char, 16> Bytes(const GUID& g)
{
    std::array<unsigned char, 16> bytes{};
    std::memcpy(bytes.data(), &g, sizeof g);
    return bytes;
}

GUID FromBytes(std::array<unsigned char, 16> bytes)
{
    GUID g;
    std::memcpy(&g, bytes.data(), sizeof g);
    return g;
}
} // namespace

TEST(Guid, TextLayoutIsThatOfAWindowsGuidInMemory)
{
    const auto parsed = guid::Parse("{00112233-4455-6677-8899-AABBCCDDEEFF}");
    ASSERT_TRUE(parsed);
    const std::array<unsigned char, 16> expected = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                                    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(Bytes(*parsed), expected);
    EXPECT_EQ(parsed->Data1, 0x00112233u);
    EXPECT_EQ(parsed->Data2, 0x4455u);
    EXPECT_EQ(parsed->Data3, 0x6677u);

    EXPECT_EQ(guid::ToString(*parsed), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    EXPECT_EQ(guid::ToWString(*parsed), L"{00112233-4455-6677-8899-AABBCCDDEEFF}");

    // Braces are optional and either case is read.
    EXPECT_EQ(guid::Parse("00112233-4455-6677-8899-aabbccddeeff"), parsed);
    EXPECT_EQ(guid::Parse("{00112233-4455-6677-8899-aAbBcCdDeEfF}"), parsed);
    EXPECT_EQ(guid::ToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_TRUE(IsNullGuid(*guid::Parse("00000000-0000-0000-0000-000000000000")));
}

TEST(Guid, MalformedTextIsRefused)
{
    for (const char* text : {
             "",
             "{}",
             "{00112233-4455-6677-8899-AABBCCDDEEFF", // unbalanced brace
             "00112233-4455-6677-8899-AABBCCDDEEFF}",
             "(00112233-4455-6677-8899-AABBCCDDEEFF)",
             "0011223-34455-6677-8899-AABBCCDDEEFF",  // hyphen misplaced
             "00112233-4455-6677-8899-AABBCCDDEEF",   // short
             "00112233-4455-6677-8899-AABBCCDDEEFF0", // long
             "00112233-4455-6677-8899-AABBCCDDEEFG",  // not hex
             "00112233-4455-6677-8899+AABBCCDDEEFF",
             " 00112233-4455-6677-8899-AABBCCDDEEFF",
             "{+0112233-4455-6677-8899-AABBCCDDEEFF}",
         })
        EXPECT_FALSE(guid::Parse(text)) << text;
}

TEST(Guid, OrderReadsEachHalfAsALittleEndianNumber)
{
    // Byte 7 is the most significant byte of the first half, byte 0 the least.
    std::array<unsigned char, 16> high{}, low{};
    high[7] = 1;
    low[0] = 0xFF;
    low[6] = 0xFF;
    const GUIDLess less;
    EXPECT_TRUE(less(FromBytes(low), FromBytes(high)));
    EXPECT_FALSE(less(FromBytes(high), FromBytes(low)));

    // The second half decides only when the first halves are equal.
    std::array<unsigned char, 16> a{}, b{};
    a[15] = 1;
    b[8] = 0xFF;
    EXPECT_TRUE(less(FromBytes(b), FromBytes(a)));
    a[0] = 1;
    EXPECT_FALSE(less(FromBytes(a), FromBytes(b)));
    EXPECT_FALSE(less(FromBytes(a), FromBytes(a)));

    // Textual order is not the order: Data1 is stored little-endian.
    const GUID first = *guid::Parse("01000000-0000-0000-0000-000000000000");
    const GUID second = *guid::Parse("00000001-0000-0000-0000-000000000000");
    EXPECT_TRUE(less(second, first));
}

TEST(StringHelp, LocalizeIsIdentityUntilATableIsInstalled)
{
    EXPECT_EQ(StringHelp::Localize(L"Paths Used"), L"Paths Used");
    StringHelp::SetTable({{L"Paths Used", L"Chemins utilis\u00e9s"}});
    EXPECT_EQ(StringHelp::Localize(L"Paths Used"), L"Chemins utilis\u00e9s");
    EXPECT_EQ(StringHelp::Localize(L"Clear"), L"Clear");
    StringHelp::SetTable({});
    EXPECT_EQ(StringHelp::Localize(L"Paths Used"), L"Paths Used");
}
