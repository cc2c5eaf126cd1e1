#include "host/base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace std::string_literals;

TEST(TextCodec, Utf8RoundTripsEveryPlane)
{
    const std::wstring wide = L"A\u00e9\u20ac\U0001F600\uFFFD\U0010FFFF"s;
    const std::string utf8 = text::ToUtf8(wide);
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD\xF4\x8F\xBF\xBF");
    EXPECT_TRUE(text::IsValidUtf8(utf8));

    std::wstring back;
    EXPECT_TRUE(text::Utf8ToWide(utf8, back));
    EXPECT_EQ(back, wide);

    // Embedded NULs are text like any other.
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(text::FromUtf8(withNul), std::wstring(L"a\0b", 3));
}

TEST(TextCodec, InvalidUtf8BecomesOneReplacementPerBrokenSequence)
{
    struct Case
    {
        std::string input;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"\x80", L"\uFFFD"},                               // stray continuation
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                     // overlong lead never starts a sequence
        {"\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},           // overlong three-byte form
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},           // encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
        {"\xE2\x82"
         "A",
         L"\uFFFDA"},                  // truncated, then a valid byte
        {"x\xF0\x9F\x98", L"x\uFFFD"}, // truncated at the end
        {"\xFF"
         "b",
         L"\uFFFDb"},
    };
    for (const Case& c : cases)
    {
        std::wstring out = L"stale";
        EXPECT_FALSE(text::Utf8ToWide(c.input, out)) << testing::PrintToString(c.input);
        EXPECT_EQ(out, c.expected) << testing::PrintToString(c.input);
        EXPECT_FALSE(text::IsValidUtf8(c.input));
    }
}

TEST(TextCodec, WideTextOutsideTheCodeSpaceEncodesAsReplacement)
{
    const std::wstring wide = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                               static_cast<wchar_t>(-1), L'b'};
    EXPECT_EQ(text::ToUtf8(wide), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                                  "b");

    std::string out = "pre:";
    text::AppendUtf8(out, L"\u00e9");
    EXPECT_EQ(out, "pre:\xC3\xA9");
}

TEST(TextCodec, CompareUtf16OrdersByCodeUnits)
{
    // A supplementary character is a surrogate pair in UTF-16, which sorts below U+E000..U+FFFF
    // although its code point is larger.
    const std::wstring supplementary = L"\U0001F600";
    EXPECT_LT(text::CompareUtf16(supplementary, L"\uE000"), 0);
    EXPECT_LT(text::CompareUtf16(supplementary, L"\uFFFD"), 0);
    EXPECT_GT(text::CompareUtf16(supplementary, L"\uD7FF"), 0);
    EXPECT_GT(text::CompareUtf16(L"\uFF21", L"\U00010000"), 0);

    // Between two supplementary characters, code point order holds.
    EXPECT_LT(text::CompareUtf16(L"\U00010000", L"\U0010FFFF"), 0);

    // Prefixes come first, equal texts compare equal, the first difference decides.
    EXPECT_LT(text::CompareUtf16(L"abc", L"abcd"), 0);
    EXPECT_GT(text::CompareUtf16(L"abd", L"abcd"), 0);
    EXPECT_EQ(text::CompareUtf16(L"x\U0001F600", L"x\U0001F600"), 0);
    EXPECT_LT(text::CompareUtf16(L"", L"a"), 0);
    EXPECT_LT(text::CompareUtf16(L"B", L"a"), 0);

    // A lone lead surrogate equals the first unit of a pair, so the units after it decide.
    const std::wstring lone = {static_cast<wchar_t>(0xD83D), L'A'};
    EXPECT_LT(text::CompareUtf16(lone, L"\U0001F600"), 0);
    const std::wstring loneAtEnd = {static_cast<wchar_t>(0xD83D)};
    EXPECT_LT(text::CompareUtf16(loneAtEnd, L"\U0001F600"), 0);
    EXPECT_GT(text::CompareUtf16(L"\U0001F600", loneAtEnd), 0);

    std::vector<std::wstring> names = {L"\uFB01le", L"\U0001D11Emusic", L"zeta", L"\u00e9t\u00e9", L"Zeta"};
    std::sort(names.begin(), names.end(), text::Utf16Less{});
    const std::vector<std::wstring> expected = {L"Zeta", L"zeta", L"\u00e9t\u00e9", L"\U0001D11Emusic",
                                                L"\uFB01le"};
    EXPECT_EQ(names, expected);
}

TEST(TextCodec, FoldCaseLowersTheScriptsOfShownNames)
{
    EXPECT_EQ(text::FoldCase(L"Hello_01 WORLD"), L"hello_01 world");
    EXPECT_EQ(text::FoldCase(L"\u00C9T\u00C9 \u00D7"), L"\u00E9t\u00E9 \u00D7");
    EXPECT_EQ(text::FoldCase(L"\u0141\u00F3d\u017A \u0178"), L"\u0142\u00F3d\u017A \u00FF");
    EXPECT_EQ(text::FoldCase(L"\u0394\u0399\u0391\u039B\u039F\u0393\u039F\u03A3"),
              L"\u03B4\u03B9\u03B1\u03BB\u03BF\u03B3\u03BF\u03C3");
    EXPECT_EQ(text::FoldCase(L"\u0414\u0418\u0410\u041B\u041E\u0413 \u0401"),
              L"\u0434\u0438\u0430\u043B\u043E\u0433 \u0451");
    EXPECT_EQ(text::FoldCase(L"\uFF21\U0001F600"), L"\uFF41\U0001F600");
}
