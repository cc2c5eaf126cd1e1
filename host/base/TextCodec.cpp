#include "host/base/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace text
{
namespace
{
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `pos`, advancing past it. An ill-formed sequence yields U+FFFD and
// consumes its maximal valid prefix (at least one byte), so each broken sequence costs one U+FFFD.
char32_t DecodeOne(std::string_view s, std::size_t& pos, bool& bValid)
{
    const auto byte = [&](std::size_t i)
    {
        return static_cast<unsigned char>(s[i]);
    };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
    {
        ++pos;
        return lead;
    }

    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, cp = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3, cp = lead & 0x0F;
        if (lead == 0xE0)
            lo = 0xA0; // overlong
        else if (lead == 0xED)
            hi = 0x9F; // surrogates
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4, cp = lead & 0x07;
        if (lead == 0xF0)
            lo = 0x90; // overlong
        else if (lead == 0xF4)
            hi = 0x8F; // above U+10FFFF
    }
    else
    {
        ++pos;
        bValid = false;
        return kReplacement;
    }

    std::size_t i = pos + 1;
    for (std::size_t k = 1; k < length; ++k, ++i)
    {
        const unsigned char lower = k == 1 ? lo : 0x80;
        const unsigned char upper = k == 1 ? hi : 0xBF;
        if (i >= s.size() || byte(i) < lower || byte(i) > upper)
        {
            pos = i;
            bValid = false;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    pos = i;
    return cp;
}

void AppendCodePoint(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out.push_back(static_cast<char>(cp));
    else if (cp < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else if (cp < 0x10000)
    {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// wchar_t is signed here; anything outside the code space reads as U+FFFD.
char32_t ScalarOf(wchar_t c)
{
    const auto cp = static_cast<std::uint32_t>(c);
    return cp > 0x10FFFF ? kReplacement : static_cast<char32_t>(cp);
}

// Walks a wide text as UTF-16 code units.
class Utf16Units
{
public:
    Utf16Units(std::wstring_view s, std::size_t pos) : m_text(s), m_pos(pos) {}

    bool AtEnd() const { return m_pos >= m_text.size() && m_pending == 0; }

    char16_t Next()
    {
        if (m_pending != 0)
            return std::exchange(m_pending, 0);
        const char32_t cp = ScalarOf(m_text[m_pos++]);
        if (cp < 0x10000)
            return static_cast<char16_t>(cp);
        m_pending = static_cast<char16_t>(0xDC00 | ((cp - 0x10000) & 0x3FF));
        return static_cast<char16_t>(0xD800 | ((cp - 0x10000) >> 10));
    }

private:
    std::wstring_view m_text;
    std::size_t m_pos;
    char16_t m_pending = 0;
};

char32_t FoldOne(char32_t c)
{
    const auto evenUpper = [](char32_t ch)
    {
        return (ch & 1) == 0 ? ch + 1 : ch;
    };
    const auto oddUpper = [](char32_t ch)
    {
        return (ch & 1) == 1 ? ch + 1 : ch;
    };

    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if (c < 0x100)
        return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 32 : c;
    if (c < 0x180)
    {
        if (c == 0x130)
            return 'i';
        if (c == 0x178)
            return 0xFF;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return oddUpper(c);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        return evenUpper(c);
    }
    if (c >= 0x386 && c <= 0x3AB)
    {
        if (c == 0x386)
            return 0x3AC;
        if (c >= 0x388 && c <= 0x38A)
            return c + 37;
        if (c == 0x38C)
            return 0x3CC;
        if (c == 0x38E || c == 0x38F)
            return c + 63;
        if (c >= 0x391 && c != 0x3A2)
            return c + 32;
        return c;
    }
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return evenUpper(c);
    if (c == 0x4C0)
        return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE)
        return oddUpper(c);
    if (c >= 0x531 && c <= 0x556)
        return c + 48;
    if (c == 0x1E9E)
        return 0xDF;
    if ((c >= 0x1E00 && c <= 0x1E95) || (c >= 0x1EA0 && c <= 0x1EFF))
        return evenUpper(c);
    if (c >= 0x2160 && c <= 0x216F)
        return c + 16;
    if (c >= 0x24B6 && c <= 0x24CF)
        return c + 26;
    if (c >= 0xFF21 && c <= 0xFF3A)
        return c + 32;
    if (c >= 0x10400 && c <= 0x10427)
        return c + 40;
    return c;
}
} // namespace

bool Utf8ToWide(std::string_view utf8, std::wstring& out)
{
    out.clear();
    out.reserve(utf8.size());
    bool bValid = true;
    std::size_t pos = 0;
    while (pos < utf8.size())
        out.push_back(static_cast<wchar_t>(DecodeOne(utf8, pos, bValid)));
    return bValid;
}

std::wstring FromUtf8(std::string_view utf8)
{
    std::wstring out;
    Utf8ToWide(utf8, out);
    return out;
}

void AppendUtf8(std::string& out, std::wstring_view wide)
{
    out.reserve(out.size() + wide.size());
    std::size_t i = 0;
    while (i < wide.size())
    {
        // Runs of ASCII, most of any list's text, are narrowed in one pass without a check per byte.
        std::size_t end = i;
        while (end < wide.size() && static_cast<std::uint32_t>(wide[end]) < 0x80)
            ++end;
        if (end > i)
        {
            const std::size_t at = out.size();
            out.resize(at + (end - i));
            std::transform(wide.begin() + static_cast<std::ptrdiff_t>(i),
                           wide.begin() + static_cast<std::ptrdiff_t>(end),
                           out.begin() + static_cast<std::ptrdiff_t>(at),
                           [](wchar_t c) { return static_cast<char>(c); });
            i = end;
            continue;
        }
        char32_t cp = ScalarOf(wide[i++]);
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = kReplacement;
        AppendCodePoint(out, cp);
    }
}

std::string ToUtf8(std::wstring_view wide)
{
    std::string out;
    AppendUtf8(out, wide);
    return out;
}

bool IsValidUtf8(std::string_view utf8)
{
    bool bValid = true;
    std::size_t pos = 0;
    while (pos < utf8.size() && bValid)
        DecodeOne(utf8, pos, bValid);
    return bValid;
}

int CompareUtf16(std::wstring_view a, std::wstring_view b)
{
    // Equal code points give equal units, so the common prefix can be skipped a character at a time.
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < common && a[i] == b[i])
        ++i;
    if (i == common)
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);

    const char32_t ca = ScalarOf(a[i]), cb = ScalarOf(b[i]);
    if (ca < 0xD800 && cb < 0xD800)
        return ca < cb ? -1 : 1;

    Utf16Units ua(a, i), ub(b, i);
    while (!ua.AtEnd() && !ub.AtEnd())
    {
        const char16_t x = ua.Next(), y = ub.Next();
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (ua.AtEnd() && ub.AtEnd())
        return 0;
    return ua.AtEnd() ? -1 : 1;
}

std::wstring FoldCase(std::wstring_view s)
{
    std::wstring out;
    out.reserve(s.size());
    for (const wchar_t c : s)
    {
        const auto cp = static_cast<std::uint32_t>(c);
        out.push_back(cp > 0x10FFFF ? c : static_cast<wchar_t>(FoldOne(cp)));
    }
    return out;
}

} // namespace text
