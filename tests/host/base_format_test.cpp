#include "host/base/StdStr.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

namespace
{
template <class... Args> std::wstring W(const wchar_t* format, Args... args)
{
    CStdStringW s;
    s.Format(format, args...);
    return s;
}

template <class... Args> std::string N(const char* format, Args... args)
{
    CStdStringA s;
    s.Format(format, args...);
    return s;
}
} // namespace

TEST(Format, TheSystemsOwnFormatsAreExact)
{
    EXPECT_EQ(W(L"%i.%s:%s", 3, L"Greeting", L"Mood"), L"3.Greeting:Mood");
    EXPECT_EQ(W(L"\t\t\t%s\t%i\t%.1f\n", L"Happy", 7, 58.33333), L"\t\t\tHappy\t7\t58.3\n");
    EXPECT_EQ(W(L"%.1f", double(float(2) * 100.0f / float(3))), L"66.7");
    EXPECT_EQ(W(L"%.1f", 100.0), L"100.0");
    EXPECT_EQ(W(L"%.1f", 0.05), L"0.1");
    EXPECT_EQ(W(L"%.1f", 0.0), L"0.0");
    EXPECT_EQ(W(L"100%%"), L"100%");
}

TEST(Format, WideFormatsTakeWideTextsAndNarrowOnlyWithH)
{
    EXPECT_EQ(W(L"[%s|%ls|%hs|%S]", L"w\u00e9", L"l", "n\xC3\xA9", "S"), L"[w\u00e9|l|n\u00e9|S]");
    EXPECT_EQ(W(L"%c%c%hc", L'\u20ac', L'x', 'y'), L"\u20acxy");
    EXPECT_EQ(W(L"%s", L"\U0001F600"), L"\U0001F600");
    EXPECT_EQ(W(L"%s/%hs", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
              L"(null)/(null)");

    // Width, precision and justification count characters.
    EXPECT_EQ(W(L"[%6s][%-6s][%.2s][%*s][%-*.*s]", L"ab", L"ab", L"abcd", 4, L"x", 5, 3, L"abcdef"),
              L"[    ab][ab    ][ab][   x][abc  ]");
    EXPECT_EQ(W(L"[%3c]", L'z'), L"[  z]");
}

TEST(Format, NarrowFormatsMirrorTheWideRules)
{
    EXPECT_EQ(N("%s=%ls %c%lc", "key", L"\u00e9t\u00e9", 'x', L'\u20ac'),
              "key=\xC3\xA9t\xC3\xA9 x\xE2\x82\xAC");
    EXPECT_EQ(N("%S|%.1f|%5.2s|", L"w", 2.25, "abc"), "w|2.2|   ab|");
}

TEST(Format, NumbersFollowPrintfWithEveryModifier)
{
    EXPECT_EQ(W(L"%d %i %u %x %X %o", -5, 42, 7u, 255u, 255u, 8u), L"-5 42 7 ff FF 10");
    EXPECT_EQ(W(L"[%5d][%-5d][%05d][%+d][% d][%#x]", 42, 42, 42, 42, 42, 255u),
              L"[   42][42   ][00042][+42][ 42][0xff]");
    EXPECT_EQ(W(L"[%*d][%-*d][%.*f]", 4, 1, -4, 2, 2, 3.14159), L"[   1][2   ][3.14]");
    EXPECT_EQ(W(L"%hhd %hd %hhu %hu", 300, 70000, 257, 65537), L"44 4464 1 1");
    EXPECT_EQ(
        W(L"%ld %lld %llu %I64d %I64u", -1L, -9000000000LL, 18446744073709551615ULL, INT64_MIN, UINT64_MAX),
        L"-1 -9000000000 18446744073709551615 -9223372036854775808 18446744073709551615");
    EXPECT_EQ(W(L"%zu %zd %td %jd %ju %Iu", std::size_t{123}, std::ptrdiff_t{-4}, std::ptrdiff_t{-7},
                std::intmax_t{-8}, std::uintmax_t{9}, std::size_t{10}),
              L"123 -4 -7 -8 9 10");
    EXPECT_EQ(W(L"%e|%E|%g|%G|%Lf|%a", 12345.678, 0.000123, 0.0001, 1e20, 1.5L, 1.0),
              L"1.234568e+04|1.230000E-04|0.0001|1E+20|1.500000|0x1p+0");

    // Arguments after a long double and a 64-bit value are still read in step.
    EXPECT_EQ(W(L"%Lf %s %lld %s", 2.5L, L"a", 5LL, L"b"), L"2.500000 a 5 b");

    // A very wide field is not cut to a fixed buffer.
    EXPECT_EQ(W(L"%300d", 1).size(), 300u);
}

TEST(Format, DecimalPointStaysDotUnderAnotherLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool bSwitched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8"})
    {
        if (!bSwitched)
            bSwitched = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    EXPECT_EQ(W(L"%.1f", 66.66), L"66.7");
    std::setlocale(LC_NUMERIC, previous.c_str());
    if (!bSwitched)
        GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(Format, OddFormatsDoNotLoseText)
{
    EXPECT_EQ(W(L"50%"), L"50%");
    EXPECT_EQ(W(L"%y and %k", 1), L"%y and %k");
    EXPECT_EQ(W(static_cast<const wchar_t*>(nullptr)), L"");

    CStdStringW s(L"keep");
    s.AppendFormat(L" %d", 1);
    s.AppendFormat(L"/%s", L"two");
    EXPECT_EQ(s, L"keep 1/two");
    s.Format(L"%s", L"new");
    EXPECT_EQ(s, L"new");
    EXPECT_EQ(s.GetLength(), 3);
}
