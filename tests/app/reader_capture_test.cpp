#include "app/formats/CaptureReader.h"
#include "app/generate/Generator.h"
#include "app/session/DemoData.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include <unistd.h>

namespace
{

GUID G(std::string_view text)
{
    return guid::Parse(text).value();
}

// An item copied out of the call that delivered it, with the line it stood on.
struct Seen
{
    std::size_t line = 0;
    int type = -1;
    GUID a, b;
    std::vector<GUID> values;
    bool resolveOnly = false;
    std::uint32_t reason = 0;

    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen Copy(const app::CaptureItem& item, std::size_t line)
{
    Seen seen;
    seen.line = line;
    if (const auto* p = std::get_if<app::DialogueResolved>(&item))
    {
        seen.type = 34;
        seen.a = p->event;
        seen.b = p->target;
        seen.values.assign(p->values.begin(), p->values.end());
        seen.resolveOnly = p->resolveOnly;
    }
    else if (const auto* p = std::get_if<app::ObjectNotification>(&item))
    {
        seen.type = 1;
        seen.a = p->object;
        seen.reason = p->reason;
    }
    else
    {
        seen.type = std::get<app::OtherItem>(item).kind;
    }
    return seen;
}

struct Collected
{
    std::vector<Seen> items;
    app::CaptureStatus status;
};

Collected Parse(std::string_view text)
{
    Collected collected;
    collected.status = app::ParseCapture(text, [&](const app::CaptureItem& item, std::size_t line)
                                         { collected.items.push_back(Copy(item, line)); });
    return collected;
}

TEST(CaptureReader, ReadsEveryShapeThatJsonAllows)
{
    const std::string text =
        "\n"
        // Whitespace wherever JSON allows it, CRLF, and the fields in any order.
        " { \"values\" :\t[ \"{00112233-4455-6677-8899-aabbccddeeff}\" , null ] ,\r"
        "\"target\":null,\"type\" : 34 , \"event\":\"A0000000-0000-0000-0000-00000000000E\" }\r\n"
        "   \t \r\n"
        // Escapes in keys and in a GUID, and unknown fields holding every kind of value.
        "{\"\\u0074ype\": 1, \"obj\\u0065ct\": \"\\u007BB0000000-0000-0000-0000-000000000001}\","
        " \"reason\": 4294967295, \"extra\": {\"a\": [1, -2.5e+3, true, false, null, {}, []],"
        " \"s\": \"}]\\\" \\\\ \\u00e9 \\ud83c\\udfb5 caf\xc3\xa9 \xe6\xb0\xb4\"}, \"x\": -0.0}\n"
        "{\"type\": 34, \"event\": null, \"target\": \"{C0000000-0000-0000-0000-000000000001}\","
        " \"values\": [], \"resolveOnly\": true}\n"
        "{\"type\": 0}\n"
        "{\"type\":63,\"event\":null}\n"
        // The last line has no newline and is read all the same.
        "{\"type\": 1, \"object\": null, \"reason\": 0}";
    const Collected collected = Parse(text);
    ASSERT_TRUE(collected.status.Ok()) << collected.status.line << ": " << collected.status.error;
    ASSERT_EQ(collected.items.size(), 6u);
    EXPECT_EQ(collected.status.items, 6u);

    const Seen& first = collected.items[0];
    EXPECT_EQ(first.line, 2u);
    EXPECT_EQ(first.type, 34);
    EXPECT_EQ(first.a, G("{A0000000-0000-0000-0000-00000000000E}"));
    EXPECT_TRUE(IsNullGuid(first.b));
    ASSERT_EQ(first.values.size(), 2u);
    // The first three groups are numbers stored little-endian, the rest bytes in order.
    const unsigned char expected[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(0, std::memcmp(&first.values[0], expected, 16));
    EXPECT_TRUE(IsNullGuid(first.values[1]));
    EXPECT_FALSE(first.resolveOnly);

    EXPECT_EQ(collected.items[1],
              (Seen{4, 1, G("{B0000000-0000-0000-0000-000000000001}"), {}, {}, false, 4294967295u}));
    EXPECT_EQ(collected.items[2].line, 5u);
    EXPECT_TRUE(collected.items[2].resolveOnly);
    EXPECT_TRUE(collected.items[2].values.empty());
    EXPECT_EQ(collected.items[3].type, 0);
    EXPECT_EQ(collected.items[4].type, 63);
    EXPECT_EQ(collected.items[5], (Seen{8, 1, {}, {}, {}, false, 0}));

    // Pieces of any size give the same items.
    for (const std::size_t piece : {1u, 2u, 7u, 64u})
    {
        std::vector<Seen> items;
        app::CaptureParser parser([&](const app::CaptureItem& item, std::size_t line)
                                  { items.push_back(Copy(item, line)); });
        for (std::size_t at = 0; at < text.size(); at += piece)
            ASSERT_TRUE(parser.Feed(std::string_view(text).substr(at, piece)));
        ASSERT_TRUE(parser.Finish());
        EXPECT_EQ(items, collected.items) << "pieces of " << piece;
    }
}

TEST(CaptureReader, StopsAtTheFirstErrorWithEverythingBeforeItDelivered)
{
    std::vector<Seen> items;
    app::CaptureParser parser([&](const app::CaptureItem& item, std::size_t line)
                              { items.push_back(Copy(item, line)); });
    EXPECT_TRUE(parser.Feed("{\"type\": 5}\n\n{\"type\": 6}\n{\"type\": 7"));
    EXPECT_EQ(items.size(), 2u);
    // The bad line only shows once it is complete.
    EXPECT_FALSE(parser.Feed("x}\n{\"type\": 8}\n"));
    EXPECT_EQ(parser.Status().line, 4u);
    EXPECT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].line, 3u);
    // Once failed, it stays failed and delivers nothing more.
    EXPECT_FALSE(parser.Feed("{\"type\": 9}\n"));
    EXPECT_FALSE(parser.Finish());
    EXPECT_EQ(items.size(), 2u);
    EXPECT_EQ(parser.Status().line, 4u);
}

// A byte-order mark may open a capture, as editors on some systems write one; anywhere else it is
// text that is no JSON.
TEST(CaptureReader, TakesAByteOrderMarkAtTheStartOnly)
{
    const std::string text = "\xEF\xBB\xBF{\"type\": 5}\n{\"type\": 6}\n";
    const Collected collected = Parse(text);
    ASSERT_TRUE(collected.status.Ok()) << collected.status.error;
    ASSERT_EQ(collected.items.size(), 2u);
    EXPECT_EQ(collected.items[0].type, 5);
    EXPECT_EQ(collected.items[0].line, 1u);

    // Byte by byte, the mark is seen whole all the same.
    std::size_t items = 0;
    app::CaptureParser parser([&](const app::CaptureItem&, std::size_t) { ++items; });
    for (const char c : text)
        ASSERT_TRUE(parser.Feed(std::string_view(&c, 1)));
    EXPECT_TRUE(parser.Finish());
    EXPECT_EQ(items, 2u);

    const Collected late = Parse("{\"type\": 5}\n\xEF\xBB\xBF{\"type\": 6}\n");
    EXPECT_FALSE(late.status.Ok());
    EXPECT_EQ(late.status.line, 2u);
    EXPECT_EQ(late.items.size(), 1u);
}

// The type says what an item is, so a fault of the type is the one reported, wherever it stands; the
// other fields are checked in line order after it, whether the item's type uses them or not.
TEST(CaptureReader, ChecksTheTypeBeforeTheOtherFields)
{
    const auto error = [](std::string_view line)
    {
        const Collected collected = Parse(line);
        EXPECT_FALSE(collected.status.Ok()) << line;
        return collected.status.error;
    };
    EXPECT_EQ(error(R"({"time": 5, "event": "x"})"), "missing \"type\"");
    EXPECT_EQ(error(R"({"event": 7, "type": "x"})"), "column 22: \"type\" must be an integer from 0 to 63");
    EXPECT_EQ(error(R"({"type": 5, "reason": -1, "event": 7})"),
              "column 23: \"reason\" must be an integer from 0 to 4294967295");
    EXPECT_EQ(error(R"({"type": 5, "event": 7, "reason": -1})"),
              "column 22: \"event\" must be a GUID string or null");
    // An entry of a list is pointed at itself; a control character in a shown text is escaped.
    EXPECT_EQ(error(R"({"type": 34, "values": [null, "\u0085x"], "event": null, "target": null})"),
              "column 31: bad GUID \"\\u0085x\" in \"values\"");
    EXPECT_EQ(error(R"({"type": 34, "event": null, "values": []})"),
              "missing \"target\" (needed by type 34)");
}

TEST(CaptureReader, HandlesEachLineAsItArrivesThroughAPipe)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::atomic<int> delivered{0};
    std::vector<Seen> items;
    app::CaptureStatus status;
    std::thread reader(
        [&]
        {
            status = app::ReadCaptureFd(fds[0],
                                        [&](const app::CaptureItem& item, std::size_t line)
                                        {
                                            items.push_back(Copy(item, line));
                                            ++delivered;
                                        });
        });
    const auto send = [&](std::string_view text)
    {
        ASSERT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };
    const auto waitFor = [&](int count, std::chrono::milliseconds patience)
    {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (delivered < count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return delivered.load();
    };

    send("{\"type\": 1, \"object\": null, \"reason\": 9}\n{\"type\": 3");
    // The first item is handed over while the feed is still open.
    EXPECT_EQ(waitFor(1, std::chrono::seconds(10)), 1);
    send("4, \"event\": null, \"target\": null, \"values\": [null]}");
    // A line is not handed over before its end is known.
    EXPECT_EQ(waitFor(2, std::chrono::milliseconds(50)), 1);
    ::close(fds[1]);
    reader.join();
    ::close(fds[0]);
    EXPECT_TRUE(status.Ok()) << status.error;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].line, 2u);
    EXPECT_EQ(items[1].values.size(), 1u);
}

// What an item line means, worked out with a general JSON library: the reference the fast reader must
// agree with on every line, good or bad.
std::optional<Seen> Reference(const std::string& line)
{
    using nlohmann::json;
    if (line.find_first_not_of(" \t\r") == std::string::npos)
        return Seen{};
    bool duplicate = false;
    std::set<std::string> keys;
    json j;
    try
    {
        j = json::parse(line,
                        [&](int depth, json::parse_event_t event, json& parsed)
                        {
                            if (event == json::parse_event_t::key && depth == 1 &&
                                !keys.insert(parsed.get<std::string>()).second)
                                duplicate = true;
                            return true;
                        });
    }
    catch (const json::parse_error&)
    {
        return std::nullopt;
    }
    if (duplicate || !j.is_object())
        return std::nullopt;
    const auto integer = [&](const char* key, std::uint64_t max) -> std::optional<std::uint64_t>
    {
        const json& v = j[key];
        if (v.is_number_unsigned() && v.get<std::uint64_t>() <= max)
            return v.get<std::uint64_t>();
        if (v.is_number_integer() && v.get<std::int64_t>() == 0)
            return 0;
        return std::nullopt;
    };
    const auto guid = [](const json& v) -> std::optional<GUID>
    {
        if (v.is_null())
            return GUID_NULL;
        if (!v.is_string())
            return std::nullopt;
        return guid::Parse(v.get<std::string>());
    };
    Seen seen;
    if (!j.contains("type"))
        return std::nullopt;
    const auto type = integer("type", 63);
    if (!type)
        return std::nullopt;
    seen.type = static_cast<int>(*type);
    for (const auto& [key, slot] : {std::pair<const char*, GUID*>{"event", &seen.a}, {"target", &seen.b}})
    {
        if (j.contains(key))
        {
            const auto g = guid(j[key]);
            if (!g)
                return std::nullopt;
            if (seen.type == 34)
                *slot = *g;
        }
    }
    if (j.contains("object"))
    {
        const auto g = guid(j["object"]);
        if (!g)
            return std::nullopt;
        if (seen.type == 1)
            seen.a = *g;
    }
    if (j.contains("values"))
    {
        if (!j["values"].is_array())
            return std::nullopt;
        for (const json& v : j["values"])
        {
            const auto g = guid(v);
            if (!g)
                return std::nullopt;
            if (seen.type == 34)
                seen.values.push_back(*g);
        }
    }
    if (j.contains("resolveOnly"))
    {
        if (!j["resolveOnly"].is_boolean())
            return std::nullopt;
        seen.resolveOnly = seen.type == 34 && j["resolveOnly"].get<bool>();
    }
    if (j.contains("reason"))
    {
        const auto reason = integer("reason", UINT32_MAX);
        if (!reason)
            return std::nullopt;
        if (seen.type == 1)
            seen.reason = static_cast<std::uint32_t>(*reason);
    }
    if (seen.type == 34 && !(j.contains("event") && j.contains("target") && j.contains("values")))
        return std::nullopt;
    if (seen.type == 1 && !(j.contains("object") && j.contains("reason")))
        return std::nullopt;
    seen.line = 1;
    return seen;
}

TEST(CaptureReader, AgreesWithAGeneralJsonParserOnMangledLines)
{
    std::vector<std::string> lines;
    const auto addLines = [&](std::string_view text)
    {
        for (std::size_t at = 0; at < text.size();)
        {
            const std::size_t end = text.find('\n', at);
            lines.emplace_back(text.substr(at, end - at));
            at = end == std::string_view::npos ? text.size() : end + 1;
        }
    };
    addLines(app::DemoCaptureJsonl());
    addLines(app::Generator({20, 300, 5}).CaptureJsonl());
    addLines(
        R"({"type": 5, "deep": [[{"a": "\"]}"}], {"b\u00e9": [-1.5e-3, 0, true]}], "esc": "\ud83c\udfb5"})");

    // Bytes that change the meaning of JSON text most often.
    const std::string alphabet = "\"{}[],:\\ -0.e9Eun\t\x01\x7f\xc3\xa9\xff\xed";
    std::mt19937 random(12345);
    const auto pick = [&](std::size_t n)
    {
        return static_cast<std::size_t>(random() % n);
    };
    std::size_t accepted = 0, refused = 0;
    for (int round = 0; round < 30000; ++round)
    {
        std::string line = lines[pick(lines.size())];
        const int edits = 1 + static_cast<int>(pick(3));
        for (int e = 0; e < edits && !line.empty(); ++e)
        {
            const std::size_t at = pick(line.size());
            switch (pick(4))
            {
            case 0:
                line.erase(at, 1 + pick(3));
                break;
            case 1:
                line.insert(line.begin() + static_cast<std::ptrdiff_t>(at), alphabet[pick(alphabet.size())]);
                break;
            case 2:
                line[at] = alphabet[pick(alphabet.size())];
                break;
            default:
                line.resize(at);
                break;
            }
        }
        std::optional<Seen> expected;
        try
        {
            expected = Reference(line);
        }
        catch (const nlohmann::json::out_of_range&)
        {
            // A number beyond a double (1e999) is JSON that the library cannot hold: no verdict.
            continue;
        }
        const Collected actual = Parse(line);
        ASSERT_EQ(actual.status.Ok(), expected.has_value())
            << "line: " << line << "\nerror: " << actual.status.error;
        if (!expected)
        {
            ++refused;
            EXPECT_EQ(actual.status.line, 1u);
            EXPECT_TRUE(actual.items.empty());
            continue;
        }
        ++accepted;
        if (expected->type < 0)
        {
            EXPECT_TRUE(actual.items.empty()) << line;
            continue;
        }
        ASSERT_EQ(actual.items.size(), 1u) << line;
        EXPECT_EQ(actual.items[0], *expected) << line;
    }
    // Both verdicts occur often enough for the comparison to mean something.
    EXPECT_GT(accepted, 500u);
    EXPECT_GT(refused, 10000u);
}

} // namespace
