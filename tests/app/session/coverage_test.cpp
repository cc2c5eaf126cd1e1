// Coverage of a hand-made project from hand-made tables of the statistics: never-resolved events,
// targets listed twice or not at all, an entry without a target, the wildcard and unlisted values
// shown but not counted, a null in an argument's list, and an argument the project lacks.
#include "app/session/Coverage.h"
#include "tests/support/TestIds.h"

#include <gtest/gtest.h>

namespace
{

using app::formats::Cell;
using app::formats::KeyPart;
using app::formats::MakeValueLine;
using app::formats::StatisticTable;

std::string S(std::uint32_t n)
{
    return guid::ToString(Id(n));
}

std::string Q(std::uint32_t n)
{
    return '"' + S(n) + '"';
}

app::formats::ValueLine Value(std::uint32_t event, int position, const std::string& value,
                              std::uint64_t count)
{
    app::formats::ValueLine line = MakeValueLine(position, "label", count, 0.0f);
    line.key = {S(event), std::int64_t{position}, value};
    return line;
}

std::vector<StatisticTable> Tables()
{
    StatisticTable distribution{"Dialogue Events Distribution",
                                true,
                                {{"Dialogue Event Name", app::formats::ColumnKind::Object},
                                 {"Added", app::formats::ColumnKind::Counter},
                                 {"Played", app::formats::ColumnKind::Counter}},
                                {},
                                app::formats::DistributionValueColumns()};
    // Greeting resolved 5 times: Mood's wildcard once, Happy 3 times, an unlisted value once.
    app::formats::Row greeting{
        {Cell::Object("Greeting"), Cell::Counter(5), Cell::Counter(0)},
        {Value(1, 1, guid::ToString(GUID_NULL), 1), Value(1, 1, S(11), 3), Value(1, 1, S(50), 1)},
        {S(1)}};
    distribution.rows.push_back(greeting);
    StatisticTable added{"Dialogue Events Added",
                         true,
                         {{"Dialogue Event Name", app::formats::ColumnKind::Object},
                          {"Target Object", app::formats::ColumnKind::Object},
                          {"Count", app::formats::ColumnKind::Counter}},
                         {},
                         {}};
    const auto row = [](std::uint32_t event, const std::string& target, std::uint64_t count)
    {
        return app::formats::Row{
            {Cell::Object(""), Cell::Object(""), Cell::Counter(count)}, {}, {S(event), target}};
    };
    added.rows = {row(1, S(20), 4), row(1, guid::ToString(GUID_NULL), 2), row(1, S(30), 1)};
    return {distribution, added};
}

TEST(Coverage, CountsWhatWasListedAndNamesWhatNeverHappened)
{
    const std::string json = R"({"objects": [
        {"id": )" + Q(1) + R"(, "name": "Greeting", "kind": "DialogueEvent", "arguments": [)" +
                             Q(10) + ", " + Q(14) + R"(], "targets": [)" + Q(20) + ", null, " + Q(20) + ", " +
                             Q(30) + R"(]},
        {"id": )" + Q(2) + R"(, "name": "Farewell", "kind": "DialogueEvent", "targets": [)" +
                             Q(30) + R"(]},
        {"id": )" + Q(10) + R"(, "name": "Mood", "kind": "Argument", "values": [)" +
                             Q(11) + ", " + Q(12) + ", null, " + Q(13) + R"(]},
        {"id": )" + Q(11) + R"(, "name": "Happy"}, {"id": )" +
                             Q(12) + R"(, "name": "Sad"},
        {"id": )" + Q(20) + R"(, "name": "Hello_01", "kind": "Sound"}, {"id": )" +
                             Q(30) + R"(, "name": "Bye_01", "kind": "Sound"}
    ]})";
    const app::ProjectReadResult project = app::ParseProject(json);
    ASSERT_TRUE(project.Ok()) << project.error;
    const app::report::Coverage coverage = app::MakeCoverage(project.project, Tables());

    ASSERT_EQ(coverage.events.size(), 2u);
    const app::report::EventCoverage& greeting = coverage.events[0];
    EXPECT_EQ(greeting.name, "Greeting");
    EXPECT_EQ(greeting.id, S(1));
    EXPECT_EQ(greeting.resolved, 5u);
    // Hello_01 twice in the list is one target; the entry without one counts as one.
    ASSERT_EQ(greeting.targets.size(), 3u);
    EXPECT_EQ(greeting.targets[0].name, "Hello_01");
    EXPECT_EQ(greeting.targets[0].count, 4u);
    EXPECT_EQ(greeting.targets[1].name, "");
    EXPECT_EQ(greeting.targets[1].count, 2u);
    EXPECT_EQ(greeting.targets[2].name, "Bye_01");
    EXPECT_EQ(greeting.targets[2].count, 1u);

    ASSERT_EQ(greeting.arguments.size(), 2u);
    const app::report::ArgumentCoverage& mood = greeting.arguments[0];
    EXPECT_EQ(mood.name, "Mood");
    // The null in the list is the wildcard: shown, not counted; a listed value the project lacks is.
    ASSERT_EQ(mood.listed.size(), 3u);
    EXPECT_EQ(mood.listed[0].name, "Happy");
    EXPECT_EQ(mood.listed[0].count, 3u);
    EXPECT_EQ(mood.listed[1].name, "Sad");
    EXPECT_EQ(mood.listed[1].count, 0u);
    EXPECT_EQ(mood.listed[2].name, "Unknown");
    EXPECT_EQ(mood.listed[2].count, 0u);
    ASSERT_EQ(mood.others.size(), 2u);
    EXPECT_EQ(mood.others[0].name, "*");
    EXPECT_EQ(mood.others[0].count, 1u);
    EXPECT_EQ(mood.others[1].name, "Unknown");
    EXPECT_EQ(mood.others[1].count, 1u);
    // An argument the project lacks lists nothing.
    EXPECT_EQ(greeting.arguments[1].name, "Unknown");
    EXPECT_TRUE(greeting.arguments[1].listed.empty());

    const app::report::EventCoverage& farewell = coverage.events[1];
    EXPECT_EQ(farewell.resolved, 0u);
    ASSERT_EQ(farewell.targets.size(), 1u);
    EXPECT_EQ(farewell.targets[0].count, 0u);

    const std::vector<app::report::ItemCount> kinds = app::ObjectsByKind(project.project);
    ASSERT_EQ(kinds.size(), 4u);
    EXPECT_EQ(kinds[0].kind, "DialogueEvent");
    EXPECT_EQ(kinds[0].count, 2u);
    EXPECT_EQ(kinds[2].kind, "(no kind)");
    EXPECT_EQ(kinds[2].count, 2u);
}

} // namespace
