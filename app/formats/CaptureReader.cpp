#include "app/formats/CaptureReader.h"

#include "app/formats/JsonWording.h"
#include "app/formats/ReadOnlyFile.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>

#include <unistd.h>

namespace app
{
namespace
{

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The fields that items of some type use; any other field is checked as JSON and ignored.
enum Field : unsigned
{
    kOther = 0,
    kType = 1u << 0,
    kEvent = 1u << 1,
    kTarget = 1u << 2,
    kValues = 1u << 3,
    kResolveOnly = 1u << 4,
    kObject = 1u << 5,
    kReason = 1u << 6,
};
constexpr std::array<std::string_view, 7> kFieldNames = {"type",        "event",  "target", "values",
                                                         "resolveOnly", "object", "reason"};

Field KnownField(std::string_view key)
{
    for (std::size_t i = 0; i < kFieldNames.size(); ++i)
    {
        if (kFieldNames[i] == key)
            return static_cast<Field>(1u << i);
    }
    return kOther;
}

std::size_t SlotOf(Field field)
{
    return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(field)));
}

std::string FieldName(Field field)
{
    return "\"" + std::string(kFieldNames[SlotOf(field)]) + "\"";
}

// Where the key or the value of the line's field number `index` (from 0) starts, or the value's
// entry number `entry` when given; counted from 1, 0 when not found. For messages only: the line
// is read again, lazily, up to that place.
std::size_t ColumnOf(std::string_view line, std::size_t index, bool bKey,
                     std::optional<std::size_t> entry = {})
{
    const simdjson::padded_string copy(line);
    simdjson::ondemand::parser parser;
    simdjson::ondemand::document document;
    simdjson::ondemand::object object;
    if (parser.iterate(copy).get(document) != simdjson::SUCCESS ||
        document.get_object().get(object) != simdjson::SUCCESS)
        return 0;
    const auto column = [&copy](const char* at)
    {
        return static_cast<std::size_t>(at - copy.data()) + 1;
    };
    std::size_t at = 0;
    for (auto field : object)
    {
        if (field.error() != simdjson::SUCCESS)
            return 0;
        if (at++ != index)
            continue;
        if (bKey)
        {
            simdjson::ondemand::raw_json_string key;
            // The key's text starts after its opening quote.
            return field.key().get(key) == simdjson::SUCCESS ? column(key.raw()) - 1 : 0;
        }
        simdjson::ondemand::value value;
        if (field.value().get(value) != simdjson::SUCCESS)
            return 0;
        if (entry)
        {
            std::size_t n = 0;
            for (auto element : value.get_array())
            {
                std::string_view token;
                if (element.raw_json_token().get(token) != simdjson::SUCCESS)
                    return 0;
                if (n++ == *entry)
                    return column(token.data());
            }
            return 0;
        }
        return column(value.raw_json_token().data());
    }
    return 0;
}

} // namespace

// One line's item: the line is validated whole as JSON first, then the item's fields are read.
class CaptureParser::LineReader
{
public:
    // False on error (see Error). `blank` is set for a line of only white space.
    bool Read(std::string_view line, std::size_t bytesAfter, CaptureItem& item, bool& blank);
    const std::string& Error() const { return m_error; }

private:
    struct Found
    {
        simdjson::dom::element value;
        std::size_t index = 0;
    };

    bool Fail(std::size_t column, const std::string& what)
    {
        m_error = column == 0 ? what : "column " + std::to_string(column) + ": " + what;
        return false;
    }
    bool FailAt(Field field, const std::string& what, std::optional<std::size_t> entry = {})
    {
        return Fail(ColumnOf(m_line, m_found[SlotOf(field)].index, false, entry), what);
    }
    bool Malformed(simdjson::error_code code);
    bool Unsigned(Field field, std::uint64_t max, std::uint64_t& value);
    bool GuidOrNull(Field field, simdjson::dom::element value, GUID& out,
                    std::optional<std::size_t> entry = {});
    bool Check(Field field);
    bool Take(std::uint64_t type, CaptureItem& item);

    simdjson::dom::parser m_parser;
    // A line too near the end of its buffer for the parser's look-ahead is copied here.
    std::string m_padded;
    std::string_view m_line;
    std::array<Found, kFieldNames.size()> m_found;
    unsigned m_seen = 0;
    std::vector<std::string_view> m_otherKeys;
    GUID m_event, m_target, m_object;
    std::vector<GUID> m_values;
    bool m_bResolveOnly = false;
    std::uint64_t m_reason = 0;
    std::string m_error;
};

bool CaptureParser::LineReader::Malformed(simdjson::error_code code)
{
    const std::optional<JsonFault> fault = FindJsonFault(m_line);
    if (!fault)
        return Fail(0, simdjson::error_message(code));
    if (fault->afterDocument)
        return Fail(fault->byte, "unexpected text after the item");
    if (fault->byte == 0 && !fault->topKey.empty())
        return Fail(0, fault->reason + " for " + Quoted(fault->topKey));
    return Fail(fault->byte, fault->reason);
}

bool CaptureParser::LineReader::Unsigned(Field field, std::uint64_t max, std::uint64_t& value)
{
    if (m_found[SlotOf(field)].value.get_uint64().get(value) == simdjson::SUCCESS && value <= max)
        return true;
    return FailAt(field, FieldName(field) + " must be an integer from 0 to " + std::to_string(max));
}

bool CaptureParser::LineReader::GuidOrNull(Field field, simdjson::dom::element value, GUID& out,
                                           std::optional<std::size_t> entry)
{
    if (value.is_null())
    {
        out = GUID_NULL;
        return true;
    }
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS)
        return FailAt(field, FieldName(field) + " must be a GUID string or null", entry);
    const std::optional<GUID> parsed = guid::Parse(text);
    if (!parsed)
        return FailAt(field, "bad GUID " + Quoted(text) + " in " + FieldName(field), entry);
    out = *parsed;
    return true;
}

// Checks a field whatever the item's type, and keeps its value.
bool CaptureParser::LineReader::Check(Field field)
{
    const simdjson::dom::element value = m_found[SlotOf(field)].value;
    switch (field)
    {
    case kEvent:
        return GuidOrNull(field, value, m_event);
    case kTarget:
        return GuidOrNull(field, value, m_target);
    case kObject:
        return GuidOrNull(field, value, m_object);
    case kValues:
    {
        simdjson::dom::array list;
        if (value.get_array().get(list) != simdjson::SUCCESS)
            return FailAt(field, "\"values\" must be an array of GUID strings or nulls");
        std::size_t entry = 0;
        for (const simdjson::dom::element element : list)
        {
            if (!GuidOrNull(field, element, m_values.emplace_back(), entry++))
                return false;
        }
        return true;
    }
    case kResolveOnly:
        if (value.get_bool().get(m_bResolveOnly) != simdjson::SUCCESS)
            return FailAt(field, "\"resolveOnly\" must be true or false");
        return true;
    case kReason:
        return Unsigned(field, UINT32_MAX, m_reason);
    default:
        return true;
    }
}

bool CaptureParser::LineReader::Take(std::uint64_t type, CaptureItem& item)
{
    const auto need = [&](Field field)
    {
        if (m_seen & field)
            return true;
        return Fail(0, "missing " + FieldName(field) + " (needed by type " + std::to_string(type) + ")");
    };
    if (type == 34)
    {
        if (!need(kEvent) || !need(kTarget) || !need(kValues))
            return false;
        item = DialogueResolved{m_event, m_target, std::span<const GUID>(m_values), m_bResolveOnly};
    }
    else if (type == 1)
    {
        if (!need(kObject) || !need(kReason))
            return false;
        item = ObjectNotification{m_object, static_cast<std::uint32_t>(m_reason)};
    }
    else
    {
        item = OtherItem{static_cast<std::uint8_t>(type)};
    }
    return true;
}

bool CaptureParser::LineReader::Read(std::string_view line, std::size_t bytesAfter, CaptureItem& item,
                                     bool& blank)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    blank = first == std::string_view::npos;
    if (blank)
        return true;
    m_line = line;
    const char* text = line.data();
    if (bytesAfter < simdjson::SIMDJSON_PADDING)
    {
        m_padded.assign(line);
        m_padded.resize(line.size() + simdjson::SIMDJSON_PADDING);
        text = m_padded.data();
    }
    simdjson::dom::element document;
    if (const auto code = m_parser.parse(text, line.size(), false).get(document); code != simdjson::SUCCESS)
        return Malformed(code);
    simdjson::dom::object object;
    if (document.get_object().get(object) != simdjson::SUCCESS)
        return Fail(first + 1, "an item must be a JSON object");

    // The fields by name; a field named twice is refused, known or not.
    m_seen = 0;
    m_otherKeys.clear();
    std::size_t index = 0;
    for (const simdjson::dom::key_value_pair field : object)
    {
        const Field known = KnownField(field.key);
        bool bTwice = false;
        if (known != kOther)
        {
            bTwice = (m_seen & known) != 0;
            m_seen |= known;
            m_found[SlotOf(known)] = {field.value, index};
        }
        else
        {
            bTwice = std::find(m_otherKeys.begin(), m_otherKeys.end(), field.key) != m_otherKeys.end();
            m_otherKeys.push_back(field.key);
        }
        if (bTwice)
            return Fail(ColumnOf(line, index, true), "duplicate key " + Quoted(field.key));
        ++index;
    }

    // The type decides what the item is, so it is checked first; then the other fields in line order.
    if (!(m_seen & kType))
        return Fail(0, "missing \"type\"");
    std::uint64_t type = 0;
    if (!Unsigned(kType, 63, type))
        return false;
    std::array<Field, kFieldNames.size()> order{};
    std::size_t count = 0;
    for (unsigned bits = m_seen & ~kType; bits != 0; bits &= bits - 1)
        order[count++] = static_cast<Field>(bits & -bits);
    std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count),
              [this](Field a, Field b) { return m_found[SlotOf(a)].index < m_found[SlotOf(b)].index; });
    m_event = m_target = m_object = GUID_NULL;
    m_values.clear();
    m_bResolveOnly = false;
    m_reason = 0;
    for (std::size_t i = 0; i < count; ++i)
    {
        if (!Check(order[i]))
            return false;
    }
    return Take(type, item);
}

CaptureParser::CaptureParser(CaptureSink sink)
    : m_sink(std::move(sink)), m_pReader(std::make_unique<LineReader>())
{
}

CaptureParser::~CaptureParser() = default;

bool CaptureParser::ParseLine(std::string_view line, std::size_t bytesAfter)
{
    if (++m_line == 1 && line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    CaptureItem item;
    bool blank = false;
    if (!m_pReader->Read(line, bytesAfter, item, blank))
    {
        m_status.error = m_pReader->Error();
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
    const auto nextLine = [&]
    {
        return static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    };
    if (!m_pending.empty())
    {
        const char* const newline = nextLine();
        if (!newline)
        {
            m_pending.append(p, end);
            return true;
        }
        m_pending.append(p, newline);
        p = newline + 1;
        if (!ParseLine(m_pending, 0))
            return false;
        m_pending.clear();
    }
    while (p != end)
    {
        const char* const newline = nextLine();
        if (!newline)
        {
            m_pending.assign(p, end);
            break;
        }
        if (!ParseLine(std::string_view(p, static_cast<std::size_t>(newline - p)),
                       static_cast<std::size_t>(end - newline)))
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
    return ParseLine(last, 0);
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
            status.error = FileFailure("read", errno);
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
        status.error = FileFailure("open", errno);
        return status;
    }
    return ReadCaptureFd(file.Fd(), sink);
}

} // namespace app
