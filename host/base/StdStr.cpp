// The host's printf engine. The C library's wide printf reads %s as a narrow text, while the host's
// wide strings format %s as wide, so texts are formatted here and only numbers go to snprintf.
#include "host/base/StdStr.h"

#include "host/base/TextCodec.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <locale.h>
#include <string>
#include <type_traits>

namespace stdstr_detail
{
namespace
{
enum class Length
{
    None,
    Char,     // hh
    Short,    // h
    Long,     // l, and w on texts
    LongLong, // ll, q, I64
    IntMax,   // j
    Size,     // z
    PtrDiff,  // t, I
    LongDouble,
};

struct Conversion
{
    std::string flags;
    int width = -1;
    int precision = -1;
    Length length = Length::None;
    bool bLeft = false;
};

// Numbers always use '.' as the decimal point, whatever locale the application chose.
locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

template <class CT> bool IsDigit(CT c)
{
    return c >= CT('0') && c <= CT('9');
}

template <class CT> class Formatter
{
public:
    Formatter(std::basic_string<CT>& out, std::va_list& args) : m_out(out), m_args(args) {}

    void Run(const CT* format)
    {
        if (format == nullptr)
            return;
        const CT* p = format;
        while (*p != CT(0))
        {
            const CT* literal = p;
            while (*p != CT(0) && *p != CT('%'))
                ++p;
            m_out.append(literal, p);
            if (*p == CT(0))
                break;
            p = Convert(p);
        }
    }

private:
    // Handles the conversion that starts at the '%'; returns the position after it.
    const CT* Convert(const CT* start)
    {
        const CT* p = start + 1;
        Conversion conv;
        for (;; ++p)
        {
            const CT c = *p;
            if (c == CT('-'))
                conv.bLeft = true;
            else if (c != CT('+') && c != CT(' ') && c != CT('#') && c != CT('0') && c != CT('\''))
                break;
            conv.flags.push_back(static_cast<char>(c));
        }

        if (*p == CT('*'))
        {
            conv.width = va_arg(m_args, int);
            if (conv.width < 0)
            {
                conv.bLeft = true;
                conv.flags.push_back('-');
                conv.width = conv.width == INT32_MIN ? INT32_MAX : -conv.width;
            }
            ++p;
        }
        else if (IsDigit(*p))
            conv.width = ReadNumber(p);

        if (*p == CT('.'))
        {
            ++p;
            if (*p == CT('*'))
            {
                const int precision = va_arg(m_args, int);
                conv.precision = precision < 0 ? -1 : precision;
                ++p;
            }
            else
                conv.precision = IsDigit(*p) ? ReadNumber(p) : 0;
        }

        p = ReadLength(p, conv.length);

        const CT type = *p;
        if (type == CT(0))
        {
            m_out.append(start, p);
            return p;
        }
        ++p;
        switch (static_cast<char32_t>(type))
        {
        case U'%':
            m_out.push_back(CT('%'));
            break;
        case U's':
        case U'S':
            FormatText(conv, IsWideArgument(type, conv.length));
            break;
        case U'c':
        case U'C':
            FormatChar(conv, IsWideArgument(type, conv.length));
            break;
        case U'd':
        case U'i':
            FormatSigned(conv, static_cast<char>(type));
            break;
        case U'u':
        case U'o':
        case U'x':
        case U'X':
            FormatUnsigned(conv, static_cast<char>(type));
            break;
        case U'e':
        case U'E':
        case U'f':
        case U'F':
        case U'g':
        case U'G':
        case U'a':
        case U'A':
            if (conv.length == Length::LongDouble)
                Emit(conv, static_cast<char>(type), "L", va_arg(m_args, long double));
            else
                Emit(conv, static_cast<char>(type), "", va_arg(m_args, double));
            break;
        case U'p':
            Emit(conv, 'p', "", va_arg(m_args, void*));
            break;
        case U'n':
            // Writing through the argument is not supported; it is consumed and ignored.
            va_arg(m_args, void*);
            break;
        default:
            m_out.append(start, p);
            break;
        }
        return p;
    }

    static int ReadNumber(const CT*& p)
    {
        long long value = 0;
        while (IsDigit(*p))
        {
            value = value * 10 + (*p - CT('0'));
            if (value > INT32_MAX)
                value = INT32_MAX;
            ++p;
        }
        return static_cast<int>(value);
    }

    static const CT* ReadLength(const CT* p, Length& length)
    {
        switch (static_cast<char32_t>(*p))
        {
        case U'h':
            if (p[1] == CT('h'))
                return length = Length::Char, p + 2;
            return length = Length::Short, p + 1;
        case U'l':
            if (p[1] == CT('l'))
                return length = Length::LongLong, p + 2;
            return length = Length::Long, p + 1;
        case U'w':
            return length = Length::Long, p + 1;
        case U'q':
            return length = Length::LongLong, p + 1;
        case U'j':
            return length = Length::IntMax, p + 1;
        case U'z':
            return length = Length::Size, p + 1;
        case U't':
            return length = Length::PtrDiff, p + 1;
        case U'L':
            return length = Length::LongDouble, p + 1;
        case U'I':
            if (p[1] == CT('6') && p[2] == CT('4'))
                return length = Length::LongLong, p + 3;
            if (p[1] == CT('3') && p[2] == CT('2'))
                return length = Length::None, p + 3;
            return length = Length::PtrDiff, p + 1;
        default:
            return p;
        }
    }

    // In a wide format a plain %s or %c is wide; in a narrow one it is narrow. The upper-case forms
    // take the other width, as on the host's platform.
    static bool IsWideArgument(CT type, Length length)
    {
        if (length == Length::Short)
            return false;
        if (length == Length::Long)
            return true;
        const bool bUpper = type == CT('S') || type == CT('C');
        return (sizeof(CT) == sizeof(wchar_t)) != bUpper;
    }

    void FormatText(const Conversion& conv, bool bWide)
    {
        std::basic_string<CT> converted;
        std::basic_string_view<CT> view;
        if (bWide)
        {
            const wchar_t* text = va_arg(m_args, const wchar_t*);
            const std::wstring_view source = text != nullptr ? std::wstring_view(text) : L"(null)";
            if constexpr (std::is_same_v<CT, wchar_t>)
                view = Limit(source, conv.precision);
            else // the precision counts characters, so that no character is cut in two
                view = converted = text::ToUtf8(Limit(source, conv.precision));
        }
        else
        {
            const char* text = va_arg(m_args, const char*);
            const std::string_view source = text != nullptr ? std::string_view(text) : "(null)";
            if constexpr (std::is_same_v<CT, char>)
                view = Limit(source, conv.precision);
            else
                view = Limit(std::wstring_view(converted = text::FromUtf8(source)), conv.precision);
        }
        AppendPadded(view, conv);
    }

    void FormatChar(const Conversion& conv, bool bWide)
    {
        // Both kinds of character arrive promoted to (unsigned) int.
        const auto code = bWide ? static_cast<std::uint32_t>(va_arg(m_args, wint_t))
                                : static_cast<unsigned char>(va_arg(m_args, int));
        const wchar_t wide[2] = {static_cast<wchar_t>(code), 0};
        if constexpr (std::is_same_v<CT, wchar_t>)
            AppendPadded(std::wstring_view(wide, 1), conv);
        else if (!bWide)
        {
            const char narrow = static_cast<char>(code);
            AppendPadded(std::string_view(&narrow, 1), conv);
        }
        else
            AppendPadded(std::string_view(text::ToUtf8(std::wstring_view(wide, 1))), conv);
    }

    void FormatSigned(const Conversion& conv, char type)
    {
        switch (conv.length)
        {
        case Length::Char:
            return Emit(conv, type, "hh", va_arg(m_args, int));
        case Length::Short:
            return Emit(conv, type, "h", va_arg(m_args, int));
        case Length::Long:
            return Emit(conv, type, "l", va_arg(m_args, long));
        case Length::LongLong:
            return Emit(conv, type, "ll", va_arg(m_args, long long));
        case Length::IntMax:
            return Emit(conv, type, "j", va_arg(m_args, std::intmax_t));
        case Length::Size:
            return Emit(conv, type, "z", va_arg(m_args, std::make_signed_t<std::size_t>));
        case Length::PtrDiff:
            return Emit(conv, type, "t", va_arg(m_args, std::ptrdiff_t));
        default:
            return Emit(conv, type, "", va_arg(m_args, int));
        }
    }

    void FormatUnsigned(const Conversion& conv, char type)
    {
        switch (conv.length)
        {
        case Length::Char:
            return Emit(conv, type, "hh", va_arg(m_args, unsigned));
        case Length::Short:
            return Emit(conv, type, "h", va_arg(m_args, unsigned));
        case Length::Long:
            return Emit(conv, type, "l", va_arg(m_args, unsigned long));
        case Length::LongLong:
            return Emit(conv, type, "ll", va_arg(m_args, unsigned long long));
        case Length::IntMax:
            return Emit(conv, type, "j", va_arg(m_args, std::uintmax_t));
        case Length::Size:
            return Emit(conv, type, "z", va_arg(m_args, std::size_t));
        case Length::PtrDiff:
            return Emit(conv, type, "t", va_arg(m_args, std::make_unsigned_t<std::ptrdiff_t>));
        default:
            return Emit(conv, type, "", va_arg(m_args, unsigned));
        }
    }

    // Rebuilds the conversion as a narrow spec for snprintf and appends its ASCII result.
    template <class T> void Emit(const Conversion& conv, char type, const char* length, T value)
    {
        std::string spec = "%";
        spec += conv.flags;
        if (conv.width >= 0)
            spec += std::to_string(conv.width);
        if (conv.precision >= 0)
            spec += '.' + std::to_string(conv.precision);
        spec += length;
        spec += type;

        char buffer[128];
        const locale_t previous = uselocale(ClassicLocale());
        int n = std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
        std::string large;
        if (n >= static_cast<int>(sizeof buffer))
        {
            large.resize(static_cast<std::size_t>(n) + 1);
            n = std::snprintf(large.data(), large.size(), spec.c_str(), value);
        }
        uselocale(previous);
        if (n <= 0)
            return;
        const char* digits = large.empty() ? buffer : large.data();
        m_out.append(digits, digits + n);
    }

    template <class T> static std::basic_string_view<T> Limit(std::basic_string_view<T> s, int precision)
    {
        return precision >= 0 ? s.substr(0, static_cast<std::size_t>(precision)) : s;
    }

    void AppendPadded(std::basic_string_view<CT> s, const Conversion& conv)
    {
        const std::size_t padding =
            conv.width > 0 && static_cast<std::size_t>(conv.width) > s.size() ? conv.width - s.size() : 0;
        if (!conv.bLeft)
            m_out.append(padding, CT(' '));
        m_out.append(s);
        if (conv.bLeft)
            m_out.append(padding, CT(' '));
    }

    std::basic_string<CT>& m_out;
    std::va_list& m_args;
};
} // namespace

void FormatWide(std::wstring& out, const wchar_t* format, std::va_list args)
{
    std::va_list copy;
    va_copy(copy, args);
    Formatter<wchar_t>(out, copy).Run(format);
    va_end(copy);
}

void FormatNarrow(std::string& out, const char* format, std::va_list args)
{
    std::va_list copy;
    va_copy(copy, args);
    Formatter<char>(out, copy).Run(format);
    va_end(copy);
}

} // namespace stdstr_detail
