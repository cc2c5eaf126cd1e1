// The host's string class: a standard string with printf-style formatting in the host's own sense.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace stdstr_detail
{
// In a wide format, %s and %ls take a wide text and %hs a narrow one; %c takes a wide character. The
// numeric conversions (d i u o x X e E f F g G a A p) follow C's printf with its flags, width,
// precision and length modifiers (hh h l ll j z t L, and I64). %n is not supported.
void FormatWide(std::wstring& out, const wchar_t* format, std::va_list args);
void FormatNarrow(std::string& out, const char* format, std::va_list args);
} // namespace stdstr_detail

template <class CT> class CStdStr : public std::basic_string<CT>
{
public:
    using Base = std::basic_string<CT>;
    using Base::Base;

    CStdStr() = default;
    CStdStr(const Base& s) : Base(s) {}
    CStdStr(Base&& s) : Base(std::move(s)) {}
    CStdStr(std::basic_string_view<CT> s) : Base(s) {}

    // Replaces the contents with the formatted text.
    void Format(const CT* format, ...)
    {
        std::va_list args;
        va_start(args, format);
        FormatV(format, args);
        va_end(args);
    }

    void FormatV(const CT* format, std::va_list args)
    {
        this->clear();
        if constexpr (sizeof(CT) == sizeof(wchar_t))
            stdstr_detail::FormatWide(*this, format, args);
        else
            stdstr_detail::FormatNarrow(*this, format, args);
    }

    // Appends the formatted text.
    void AppendFormat(const CT* format, ...)
    {
        CStdStr piece;
        std::va_list args;
        va_start(args, format);
        piece.FormatV(format, args);
        va_end(args);
        this->append(piece);
    }

    const CT* GetString() const { return this->c_str(); }
    int GetLength() const { return static_cast<int>(this->size()); }
    bool IsEmpty() const { return this->empty(); }
    operator const CT*() const { return this->c_str(); }
};

using CStdStringW = CStdStr<wchar_t>;
using CStdStringA = CStdStr<char>;
