#include "app/formats/JsonWording.h"

#include "host/base/TextCodec.h"

#include <nlohmann/json.hpp>

namespace app
{
namespace
{

void AppendEscape(std::string& out, const char* prefix, unsigned value, int digits)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

// `quotes`: '"' and '\' are escaped too, as inside a JSON string. `limit`: the characters shown.
std::string Escaped(std::string_view text, bool quotes, std::size_t limit)
{
    std::string out;
    std::wstring wide;
    if (!text::Utf8ToWide(text, wide))
    {
        // Not UTF-8: no character is trusted beyond ASCII.
        for (const char c : text.substr(0, limit))
        {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80)
                AppendEscape(out, "\\x", byte, 2);
            else if (IsControlCharacter(byte))
                AppendEscape(out, "\\u", byte, 4);
            else if (quotes && (c == '"' || c == '\\'))
                out += {'\\', c};
            else
                out += c;
        }
        return text.size() > limit ? out + "..." : out;
    }
    // Escapes are ASCII: the shown text is gathered wide and encoded once.
    std::wstring shown;
    for (const wchar_t c : std::wstring_view(wide).substr(0, limit))
    {
        if (IsControlCharacter(static_cast<char32_t>(c)))
        {
            std::string escape;
            AppendEscape(escape, "\\u", static_cast<unsigned>(c), 4);
            shown.append(escape.begin(), escape.end());
        }
        else if (quotes && (c == L'"' || c == L'\\'))
        {
            shown += {L'\\', c};
        }
        else
        {
            shown += c;
        }
    }
    text::AppendUtf8(out, shown);
    return wide.size() > limit ? out + "..." : out;
}

using nlohmann::json;

// Follows the document only as far as needed to say where a fault lies: the top-level key being
// read, and whether the document is complete.
class FaultFinder final : public nlohmann::json_sax<json>
{
public:
    bool null() override { return Value(); }
    bool boolean(bool) override { return Value(); }
    bool number_integer(number_integer_t) override { return Value(); }
    bool number_unsigned(number_unsigned_t) override { return Value(); }
    bool number_float(number_float_t, const string_t& text) override
    {
        // An integer that fits no 64 bits comes here; the fast parser refuses it.
        if (text.find_first_of(".eE") != string_t::npos)
            return Value();
        m_fault = JsonFault{};
        m_fault->reason = "number too large";
        m_fault->topKey = m_topKey;
        return false;
    }
    bool string(string_t&) override { return Value(); }
    bool binary(binary_t&) override { return Value(); }
    bool start_object(std::size_t) override { return Open(); }
    bool key(string_t& name) override
    {
        if (m_depth == 1)
            m_topKey = name;
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(); }
    bool end_array() override { return Close(); }

    // "[json.exception.parse_error.101] parse error at line 1, column 5: syntax error ..." gives
    // where "line 1, column 5" and the reason "syntax error ...".
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override
    {
        JsonFault fault;
        fault.byte = position;
        fault.afterDocument = m_bEnded;
        fault.topKey = m_topKey;
        std::string text = error.what();
        if (const auto at = text.find(" at line "); at != std::string::npos)
        {
            if (const auto colon = text.find(": ", at); colon != std::string::npos)
            {
                fault.where = text.substr(at + 4, colon - at - 4);
                text = text.substr(colon + 2);
            }
        }
        else if (const auto bracket = text.find("] "); bracket != std::string::npos)
        {
            text = text.substr(bracket + 2);
        }
        // The text read last may be a whole line; a message shows its start.
        constexpr std::size_t kShown = 160;
        fault.reason = Printable(text, kShown);
        m_fault = std::move(fault);
        return false;
    }

    const std::optional<JsonFault>& Fault() const { return m_fault; }

private:
    bool Value()
    {
        m_bEnded = m_depth == 0;
        return true;
    }
    bool Open()
    {
        ++m_depth;
        return true;
    }
    bool Close()
    {
        --m_depth;
        return Value();
    }

    std::size_t m_depth = 0;
    bool m_bEnded = false;
    std::string m_topKey;
    std::optional<JsonFault> m_fault;
};

} // namespace

bool IsControlCharacter(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::string Printable(std::string_view text, std::size_t limit)
{
    return Escaped(text, false, limit);
}

std::string Quoted(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    return "\"" + Escaped(text, true, kShown) + "\"";
}

std::optional<JsonFault> FindJsonFault(std::string_view json)
{
    FaultFinder finder;
    json::sax_parse(json.begin(), json.end(), &finder);
    return finder.Fault();
}

} // namespace app
