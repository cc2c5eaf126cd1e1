#include "app/CaptureReader.h"
#include "app/ReadOnlyFile.h"

#include "host/base/HexDigits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include <unistd.h>

namespace app
{
namespace
{

// Decoded string text quoted for a message: control characters written back as escapes, so that a
// message stays on one line, and cut after `kShown` bytes at a character boundary.
std::string Quoted(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::size_t cut = std::min(text.size(), kShown);
    while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    std::string quoted = "\"";
    for (const char c : text.substr(0, cut))
    {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
        {
            quoted += '\\';
            quoted += c;
        }
        else if (byte < 0x20 || byte == 0x7F)
        {
            static constexpr char kDigits[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += kDigits[byte >> 4];
            quoted += kDigits[byte & 0xF];
        }
        else
        {
            quoted += c;
        }
    }
    quoted += cut < text.size() ? "...\"" : "\"";
    return quoted;
}

// Reads `count` hex digits; false on any other character.
inline bool ReadHex(const char* text, int count, std::uint64_t& value)
{
    std::uint64_t result = 0;
    int bad = 0;
    for (int i = 0; i < count; ++i)
    {
        const int digit = hex::DigitValue(text[i]);
        bad |= digit;
        result = (result << 4) | static_cast<std::uint64_t>(digit & 0xF);
    }
    value = result;
    return bad >= 0;
}

inline bool ParseGuidText(std::string_view text, GUID& out)
{
    const std::optional<GUID> parsed = guid::Parse(text);
    if (parsed)
        out = *parsed;
    return parsed.has_value();
}

inline bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

enum Field : unsigned
{
    kType = 1u << 0,
    kEvent = 1u << 1,
    kTarget = 1u << 2,
    kValues = 1u << 3,
    kResolveOnly = 1u << 4,
    kObject = 1u << 5,
    kReason = 1u << 6,
};

Field KnownField(std::string_view key)
{
    switch (key.size())
    {
    case 4:
        return key == "type" ? kType : Field{};
    case 5:
        return key == "event" ? kEvent : Field{};
    case 6:
        if (key == "target")
            return kTarget;
        if (key == "values")
            return kValues;
        if (key == "object")
            return kObject;
        if (key == "reason")
            return kReason;
        return Field{};
    case 11:
        return key == "resolveOnly" ? kResolveOnly : Field{};
    default:
        return Field{};
    }
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80)
    {
        out += static_cast<char>(code);
    }
    else if (code < 0x800)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else if (code < 0x10000)
    {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// One line's parse. Strict JSON for the one shape of an item: anything malformed is refused, fields
// that the reader does not know are skipped whatever JSON value they hold.
class LineParser
{
public:
    LineParser(std::string_view line, std::vector<GUID>& values, std::vector<std::string>& unknownKeys,
               std::vector<char>& nesting, std::string& scratch)
        : m_begin(line.data()), m_p(line.data()), m_end(line.data() + line.size()), m_values(values),
          m_unknownKeys(unknownKeys), m_nesting(nesting), m_scratch(scratch)
    {
    }

    // False on error (see Error). `blank` is set for a line of only white space.
    bool Parse(CaptureItem& item, bool& blank);
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& what)
    {
        m_error = "column " + std::to_string(m_p - m_begin + 1) + ": " + what;
        return false;
    }
    bool FailHere(const char* at, const std::string& what)
    {
        m_p = at;
        return Fail(what);
    }
    bool FailUnexpected(const char* expected)
    {
        if (m_p == m_end)
            return Fail(std::string("unexpected end of line, expected ") + expected);
        return Fail(std::string("expected ") + expected);
    }
    bool AtEnd() const { return m_p == m_end; }

    void SkipSpace()
    {
        while (m_p != m_end && IsSpace(*m_p))
            ++m_p;
    }
    bool Expect(char c, const char* expected)
    {
        SkipSpace();
        if (m_p == m_end || *m_p != c)
            return FailUnexpected(expected);
        ++m_p;
        return true;
    }

    bool ScanString(std::string_view& raw, bool& escaped);
    bool ScanEscape();
    bool ScanUtf8();
    void Decode(std::string_view raw);
    bool ReadString(std::string_view& text);
    bool ReadLiteral(const char* word);
    bool ScanNumber(std::uint64_t& value, bool& integral, bool& negative, bool& tooLarge);
    bool ReadUnsigned(const char* field, std::uint64_t max, std::uint64_t& value);
    bool ReadGuidOrNull(const char* field, GUID& out);
    bool ReadGuidList();
    bool ReadBool(const char* field, bool& value);
    bool SkipValue();
    bool ReadKey(std::string_view& key);

    const char* m_begin;
    const char* m_p;
    const char* m_end;
    std::vector<GUID>& m_values;
    std::vector<std::string>& m_unknownKeys;
    std::vector<char>& m_nesting;
    std::string& m_scratch;
    std::string m_error;
};

bool LineParser::ScanUtf8()
{
    const auto byte = [&](std::ptrdiff_t i)
    {
        return m_p + i < m_end ? static_cast<unsigned char>(m_p[i]) : 0u;
    };
    const unsigned lead = byte(0);
    const auto cont = [&](std::ptrdiff_t i, unsigned low = 0x80, unsigned high = 0xBF)
    {
        const unsigned b = byte(i);
        return b >= low && b <= high;
    };
    int length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = cont(1) ? 2 : 0;
    else if (lead == 0xE0)
        length = cont(1, 0xA0) && cont(2) ? 3 : 0;
    else if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF)
        length = cont(1) && cont(2) ? 3 : 0;
    else if (lead == 0xED)
        length = cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    else if (lead == 0xF0)
        length = cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    else if (lead >= 0xF1 && lead <= 0xF3)
        length = cont(1) && cont(2) && cont(3) ? 4 : 0;
    else if (lead == 0xF4)
        length = cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    if (length == 0)
        return Fail("invalid UTF-8 in a string");
    m_p += length;
    return true;
}

bool LineParser::ScanEscape()
{
    // m_p is at the backslash.
    const char* start = m_p;
    if (m_end - m_p < 2)
        return FailHere(start, "unterminated escape");
    const auto hex4 = [&](const char* at, std::uint64_t& code)
    {
        return m_end - at >= 4 && ReadHex(at, 4, code);
    };
    switch (m_p[1])
    {
    case '"':
    case '\\':
    case '/':
    case 'b':
    case 'f':
    case 'n':
    case 'r':
    case 't':
        m_p += 2;
        return true;
    case 'u':
    {
        std::uint64_t code = 0;
        if (!hex4(m_p + 2, code))
            return FailHere(start, "bad \\u escape");
        m_p += 6;
        if (code >= 0xDC00 && code <= 0xDFFF)
            return FailHere(start, "unpaired surrogate in \\u escape");
        if (code >= 0xD800 && code <= 0xDBFF)
        {
            std::uint64_t low = 0;
            if (m_end - m_p < 6 || m_p[0] != '\\' || m_p[1] != 'u' || !hex4(m_p + 2, low) || low < 0xDC00 ||
                low > 0xDFFF)
                return FailHere(start, "unpaired surrogate in \\u escape");
            m_p += 6;
        }
        return true;
    }
    default:
        return FailHere(start, "bad escape in a string");
    }
}

// m_p at the opening quote; leaves m_p after the closing one. `raw` is the text between the quotes,
// escapes not decoded.
bool LineParser::ScanString(std::string_view& raw, bool& escaped)
{
    const char* open = m_p++;
    escaped = false;
    for (;;)
    {
        // Plain ASCII is the bulk of every line: eight bytes at a time while none of them is a quote,
        // a backslash, a control character or part of a multi-byte sequence.
        while (m_end - m_p >= 8)
        {
            std::uint64_t word;
            std::memcpy(&word, m_p, 8);
            constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
            const auto hasZero = [](std::uint64_t v)
            {
                return (v - kOnes) & ~v & kHigh;
            };
            const std::uint64_t special = hasZero(word ^ (kOnes * '"')) | hasZero(word ^ (kOnes * '\\')) |
                                          ((word - kOnes * 0x20) & ~word) | word;
            if (special & kHigh)
                break;
            m_p += 8;
        }
        while (m_p != m_end)
        {
            const unsigned char c = static_cast<unsigned char>(*m_p);
            if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80)
                break;
            ++m_p;
        }
        if (m_p == m_end)
            return FailHere(open, "unterminated string");
        const unsigned char c = static_cast<unsigned char>(*m_p);
        if (c == '"')
        {
            raw = std::string_view(open + 1, static_cast<std::size_t>(m_p - open - 1));
            ++m_p;
            return true;
        }
        if (c == '\\')
        {
            escaped = true;
            if (!ScanEscape())
                return false;
        }
        else if (c < 0x20)
        {
            return Fail("control character in a string");
        }
        else if (!ScanUtf8())
        {
            return false;
        }
    }
}

// Escapes of a string already checked by ScanString, decoded into m_scratch.
void LineParser::Decode(std::string_view raw)
{
    m_scratch.clear();
    for (std::size_t i = 0; i < raw.size(); ++i)
    {
        if (raw[i] != '\\')
        {
            m_scratch += raw[i];
            continue;
        }
        const char kind = raw[++i];
        switch (kind)
        {
        case 'b':
            m_scratch += '\b';
            break;
        case 'f':
            m_scratch += '\f';
            break;
        case 'n':
            m_scratch += '\n';
            break;
        case 'r':
            m_scratch += '\r';
            break;
        case 't':
            m_scratch += '\t';
            break;
        case 'u':
        {
            std::uint64_t code = 0;
            ReadHex(raw.data() + i + 1, 4, code);
            i += 4;
            if (code >= 0xD800 && code <= 0xDBFF)
            {
                std::uint64_t low = 0;
                ReadHex(raw.data() + i + 3, 4, low);
                i += 6;
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(m_scratch, static_cast<std::uint32_t>(code));
            break;
        }
        default:
            m_scratch += kind;
            break;
        }
    }
}

// A string's text with escapes decoded; points into the line or into m_scratch.
bool LineParser::ReadString(std::string_view& text)
{
    bool escaped = false;
    if (!ScanString(text, escaped))
        return false;
    if (escaped)
    {
        Decode(text);
        text = m_scratch;
    }
    return true;
}

bool LineParser::ReadLiteral(const char* word)
{
    const std::size_t length = std::strlen(word);
    if (static_cast<std::size_t>(m_end - m_p) < length || std::memcmp(m_p, word, length) != 0)
        return Fail("invalid literal");
    m_p += length;
    if (m_p != m_end && std::isalnum(static_cast<unsigned char>(*m_p)))
        return Fail("invalid literal");
    return true;
}

// A JSON number. `value` holds an integer's magnitude when `integral` and not `tooLarge`.
bool LineParser::ScanNumber(std::uint64_t& value, bool& integral, bool& negative, bool& tooLarge)
{
    const char* start = m_p;
    value = 0;
    integral = true;
    tooLarge = false;
    negative = false;
    if (*m_p == '-')
    {
        negative = true;
        ++m_p;
    }
    const auto digit = [&]
    {
        return m_p != m_end && *m_p >= '0' && *m_p <= '9';
    };
    if (!digit())
        return FailHere(start, "invalid number");
    if (*m_p == '0')
    {
        ++m_p;
        if (digit())
            return FailHere(start, "invalid number (leading zero)");
    }
    else
    {
        while (digit())
        {
            const std::uint64_t d = static_cast<std::uint64_t>(*m_p - '0');
            if (value > (UINT64_MAX - d) / 10)
                tooLarge = true;
            else
                value = value * 10 + d;
            ++m_p;
        }
    }
    if (m_p != m_end && *m_p == '.')
    {
        integral = false;
        ++m_p;
        if (!digit())
            return FailHere(start, "invalid number");
        while (digit())
            ++m_p;
    }
    if (m_p != m_end && (*m_p == 'e' || *m_p == 'E'))
    {
        integral = false;
        ++m_p;
        if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
            ++m_p;
        if (!digit())
            return FailHere(start, "invalid number");
        while (digit())
            ++m_p;
    }
    return true;
}

bool LineParser::ReadUnsigned(const char* field, std::uint64_t max, std::uint64_t& value)
{
    const char* start = m_p;
    const auto range = [&]
    {
        return FailHere(start,
                        "\"" + std::string(field) + "\" must be an integer from 0 to " + std::to_string(max));
    };
    if (m_p == m_end || (*m_p != '-' && (*m_p < '0' || *m_p > '9')))
        return range();
    bool integral = false, negative = false, tooLarge = false;
    if (!ScanNumber(value, integral, negative, tooLarge))
        return false;
    if (tooLarge)
        return FailHere(start, "number too large for \"" + std::string(field) + "\"");
    if (!integral || (negative && value != 0) || value > max)
        return range();
    return true;
}

bool LineParser::ReadGuidOrNull(const char* field, GUID& out)
{
    const char* start = m_p;
    if (m_p != m_end && *m_p == 'n')
    {
        out = GUID_NULL;
        return ReadLiteral("null");
    }
    if (m_p == m_end || *m_p != '"')
        return Fail("\"" + std::string(field) + "\" must be a GUID string or null");
    // The usual case: a GUID in braces and the closing quote. Its characters are all plain ASCII, so
    // the string needs no scanning of its own.
    if (m_end - m_p >= 40 && m_p[39] == '"' && ParseGuidText(std::string_view(m_p + 1, 38), out))
    {
        m_p += 40;
        return true;
    }
    std::string_view text;
    if (!ReadString(text))
        return false;
    if (!ParseGuidText(text, out))
    {
        return FailHere(start, "bad GUID " + Quoted(text) + " in \"" + field + "\"");
    }
    return true;
}

bool LineParser::ReadGuidList()
{
    m_values.clear();
    if (m_p == m_end || *m_p != '[')
        return Fail("\"values\" must be an array of GUID strings or nulls");
    ++m_p;
    SkipSpace();
    if (m_p != m_end && *m_p == ']')
    {
        ++m_p;
        return true;
    }
    for (;;)
    {
        SkipSpace();
        GUID value;
        if (!ReadGuidOrNull("values", value))
            return false;
        m_values.push_back(value);
        SkipSpace();
        if (m_p != m_end && *m_p == ',')
        {
            ++m_p;
            continue;
        }
        if (m_p != m_end && *m_p == ']')
        {
            ++m_p;
            return true;
        }
        return FailUnexpected("',' or ']' in \"values\"");
    }
}

bool LineParser::ReadBool(const char* field, bool& value)
{
    if (m_p != m_end && *m_p == 't')
    {
        value = true;
        return ReadLiteral("true");
    }
    if (m_p != m_end && *m_p == 'f')
    {
        value = false;
        return ReadLiteral("false");
    }
    return Fail("\"" + std::string(field) + "\" must be true or false");
}

bool LineParser::ReadKey(std::string_view& key)
{
    SkipSpace();
    if (m_p == m_end || *m_p != '"')
        return FailUnexpected("a key string");
    if (!ReadString(key))
        return false;
    return Expect(':', "':' after a key");
}

// Any JSON value, checked and thrown away. Nesting is tracked on a heap stack: a line of a million
// '[' must not exhaust the call stack.
bool LineParser::SkipValue()
{
    m_nesting.clear();
    for (;;)
    {
        SkipSpace();
        if (m_p == m_end)
            return FailUnexpected("a value");
        switch (*m_p)
        {
        case '{':
        case '[':
        {
            const char open = *m_p++;
            const char close = open == '{' ? '}' : ']';
            SkipSpace();
            if (m_p != m_end && *m_p == close)
            {
                ++m_p;
                break;
            }
            m_nesting.push_back(open);
            if (open == '{')
            {
                std::string_view key;
                if (!ReadKey(key))
                    return false;
            }
            continue;
        }
        case '"':
        {
            std::string_view raw;
            bool escaped = false;
            if (!ScanString(raw, escaped))
                return false;
            break;
        }
        case 't':
            if (!ReadLiteral("true"))
                return false;
            break;
        case 'f':
            if (!ReadLiteral("false"))
                return false;
            break;
        case 'n':
            if (!ReadLiteral("null"))
                return false;
            break;
        default:
            if (*m_p == '-' || (*m_p >= '0' && *m_p <= '9'))
            {
                std::uint64_t value = 0;
                bool integral = false, negative = false, tooLarge = false;
                if (!ScanNumber(value, integral, negative, tooLarge))
                    return false;
                break;
            }
            return Fail("expected a value");
        }

        // After a value: close what ends here, or go on to the next element.
        for (;;)
        {
            if (m_nesting.empty())
                return true;
            SkipSpace();
            const bool inObject = m_nesting.back() == '{';
            if (m_p != m_end && *m_p == ',')
            {
                ++m_p;
                if (inObject)
                {
                    std::string_view key;
                    if (!ReadKey(key))
                        return false;
                }
                break;
            }
            if (m_p != m_end && *m_p == (inObject ? '}' : ']'))
            {
                ++m_p;
                m_nesting.pop_back();
                continue;
            }
            return FailUnexpected(inObject ? "',' or '}'" : "',' or ']'");
        }
    }
}

bool LineParser::Parse(CaptureItem& item, bool& blank)
{
    SkipSpace();
    blank = m_p == m_end;
    if (blank)
        return true;
    if (*m_p != '{')
        return Fail("an item must be a JSON object");
    ++m_p;

    unsigned seen = 0;
    std::uint64_t type = 0, reason = 0;
    GUID event, target, object;
    bool resolveOnly = false;
    m_unknownKeys.clear();

    SkipSpace();
    if (m_p != m_end && *m_p == '}')
    {
        ++m_p;
    }
    else
    {
        for (;;)
        {
            SkipSpace();
            const char* keyStart = m_p;
            std::string_view key;
            if (!ReadKey(key))
                return false;
            const Field field = KnownField(key);
            if (field != Field{})
            {
                if (seen & field)
                    return FailHere(keyStart, "duplicate key " + Quoted(key));
                seen |= field;
            }
            else
            {
                for (const std::string& other : m_unknownKeys)
                {
                    if (other == key)
                        return FailHere(keyStart, "duplicate key " + Quoted(key));
                }
                m_unknownKeys.emplace_back(key);
            }
            SkipSpace();
            bool ok = true;
            switch (field)
            {
            case kType:
                ok = ReadUnsigned("type", 63, type);
                break;
            case kEvent:
                ok = ReadGuidOrNull("event", event);
                break;
            case kTarget:
                ok = ReadGuidOrNull("target", target);
                break;
            case kObject:
                ok = ReadGuidOrNull("object", object);
                break;
            case kValues:
                ok = ReadGuidList();
                break;
            case kResolveOnly:
                ok = ReadBool("resolveOnly", resolveOnly);
                break;
            case kReason:
                ok = ReadUnsigned("reason", UINT32_MAX, reason);
                break;
            default:
                ok = SkipValue();
                break;
            }
            if (!ok)
                return false;
            SkipSpace();
            if (m_p != m_end && *m_p == ',')
            {
                ++m_p;
                continue;
            }
            if (m_p != m_end && *m_p == '}')
            {
                ++m_p;
                break;
            }
            return FailUnexpected("',' or '}'");
        }
    }
    SkipSpace();
    if (m_p != m_end)
        return Fail("unexpected text after the item");

    const auto missing = [&](const char* field)
    {
        m_error = "missing \"" + std::string(field) + "\" (needed by type " + std::to_string(type) + ")";
        return false;
    };
    if (!(seen & kType))
    {
        m_error = "missing \"type\"";
        return false;
    }
    if (type == 34)
    {
        if (!(seen & kEvent))
            return missing("event");
        if (!(seen & kTarget))
            return missing("target");
        if (!(seen & kValues))
            return missing("values");
        item = DialogueResolved{event, target, std::span<const GUID>(m_values), resolveOnly};
    }
    else if (type == 1)
    {
        if (!(seen & kObject))
            return missing("object");
        if (!(seen & kReason))
            return missing("reason");
        item = ObjectNotification{object, static_cast<std::uint32_t>(reason)};
    }
    else
    {
        item = OtherItem{static_cast<std::uint8_t>(type)};
    }
    return true;
}

} // namespace

CaptureParser::CaptureParser(CaptureSink sink) : m_sink(std::move(sink)) {}

bool CaptureParser::ParseLine(std::string_view line)
{
    ++m_line;
    LineParser parser(line, m_values, m_unknownKeys, m_nesting, m_scratch);
    CaptureItem item;
    bool blank = false;
    if (!parser.Parse(item, blank))
    {
        m_status.error = parser.Error();
        m_status.line = m_line;
        return false;
    }
    if (!blank)
    {
        ++m_status.items;
        m_sink(item, m_line);
    }
    return true;
}

bool CaptureParser::Feed(std::string_view bytes)
{
    if (!m_status.Ok())
        return false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    if (!m_pending.empty())
    {
        const auto* newline =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!newline)
        {
            m_pending.append(p, end);
            return true;
        }
        m_pending.append(p, newline);
        p = newline + 1;
        if (!ParseLine(m_pending))
            return false;
        m_pending.clear();
    }
    while (p != end)
    {
        const auto* newline =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!newline)
        {
            m_pending.assign(p, end);
            break;
        }
        if (!ParseLine(std::string_view(p, static_cast<std::size_t>(newline - p))))
            return false;
        p = newline + 1;
    }
    return true;
}

bool CaptureParser::Finish()
{
    if (!m_status.Ok())
        return false;
    if (m_pending.empty())
        return true;
    const std::string last = std::move(m_pending);
    m_pending.clear();
    return ParseLine(last);
}

CaptureStatus ParseCapture(std::string_view text, const CaptureSink& sink)
{
    CaptureParser parser(sink);
    if (parser.Feed(text))
        parser.Finish();
    return parser.Status();
}

CaptureStatus ReadCaptureFd(int fd, const CaptureSink& sink)
{
    constexpr std::size_t kBlock = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
    CaptureParser parser(sink);
    for (;;)
    {
        const ssize_t got = ::read(fd, buffer.get(), kBlock);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            CaptureStatus status = parser.Status();
            status.error = std::string("cannot read: ") + std::strerror(errno);
            status.line = 0;
            return status;
        }
        if (got == 0)
            break;
        if (!parser.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(got))))
            return parser.Status();
    }
    parser.Finish();
    return parser.Status();
}

CaptureStatus ReadCaptureFile(const std::string& path, const CaptureSink& sink)
{
    if (path == "-")
        return ReadCaptureFd(STDIN_FILENO, sink);
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
    {
        CaptureStatus status;
        status.error = std::string("cannot open: ") + std::strerror(errno);
        return status;
    }
    return ReadCaptureFd(file.Fd(), sink);
}

} // namespace app
