// The shown lists as tables: the same rows and cells as the copy, in the same order, whatever the
// list's sort, filters and value sort; each row keyed by the statistic's own keys.
#include "app/generate/Generator.h"
#include "app/session/DemoData.h"
#include "app/session/Gathering.h"
#include "app/session/ListSettings.h"
#include "app/session/Tables.h"
#include "host/base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

using app::formats::KeyPart;
using app::formats::StatisticTable;

app::SessionInput InMemory(std::string project, std::string capture)
{
    app::SessionInput input;
    input.projectName = "project";
    input.readProject = [project = std::move(project)]
    {
        return app::ParseProject(project);
    };
    input.captureName = "capture";
    input.readCapture = [capture = std::move(capture)](const app::CaptureSink& sink)
    {
        return app::ParseCapture(capture, sink);
    };
    return input;
}

std::unique_ptr<app::Gathering> Gather(const app::SessionInput& input, app::Replay replay)
{
    std::string error;
    app::PluginLoad plugin{app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error), error};
    app::Gathering::Start start = app::Gathering::Open(input, std::move(plugin), replay, {840, 600});
    EXPECT_NE(start.pGathering, nullptr) << start.error;
    if (start.pGathering)
    {
        EXPECT_TRUE(start.pGathering->LogCapture(input.readCapture).Ok());
    }
    return std::move(start.pGathering);
}

std::string Joined(const std::vector<app::formats::Cell>& cells)
{
    std::string line;
    for (std::size_t k = 0; k < cells.size(); ++k)
        line += (k ? "\t" : "") + cells[k].text;
    return line;
}

// The table written as Copy Results writes its list: the distribution's event lines with their
// whole counts, then the value lines under the value columns.
std::string AsCopied(const StatisticTable& table)
{
    std::string out;
    if (!table.HasValues())
    {
        for (std::size_t k = 0; k < table.columns.size(); ++k)
            out += std::string(k ? "\t" : "") + table.columns[k].title;
    }
    else
    {
        // The distribution's own copy ends every title with a tab.
        for (const auto* pColumns : {&table.columns, &table.valueColumns})
            for (const app::formats::Column& column : *pColumns)
                out += column.title + "\t";
    }
    out += '\n';
    for (const app::formats::Row& row : table.rows)
    {
        if (!table.HasValues())
        {
            out += Joined(row.cells) + "\n";
            continue;
        }
        out += row.cells[0].text + "\t" + std::to_string(row.cells[1].counter) + "\t" +
               std::to_string(row.cells[2].counter) + "\n";
        for (const app::formats::ValueLine& line : row.values)
            out += "\t\t\t" + Joined(line.cells) + "\n";
    }
    return out;
}

std::string Copied(app::Gathering& gathering)
{
    const std::wstring* pCopied = gathering.CopyResults();
    return pCopied ? text::ToUtf8(*pCopied) : std::string("(nothing copied)");
}

// The first line where the two texts differ, and its number; empty when they are equal.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::size_t start = 0;
    for (int line = 1; start < std::max(a.size(), b.size()); ++line)
    {
        const std::size_t endA = std::min(a.find('\n', start), a.size());
        const std::size_t endB = std::min(b.find('\n', start), b.size());
        if (a.compare(start, endA - start, b, start, endB - start) != 0)
            return "line " + std::to_string(line) + ": '" + a.substr(start, endA - start) + "' against '" +
                   b.substr(start, endB - start) + "'";
        start = endA + 1;
    }
    return {};
}

void ExpectTableAsCopied(app::Gathering& gathering, std::wstring_view statistic)
{
    const std::optional<StatisticTable> table = app::ShownTable(gathering, statistic);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->name, text::ToUtf8(statistic));
    EXPECT_EQ(FirstDifference(AsCopied(*table), Copied(gathering)), "");
}

TEST(Tables, HoldTheCopiedRowsInTheCopiedOrderUnderEverySortAndFilter)
{
    const app::GeneratorOptions options{40, 6000, 11};
    const app::Generator generator(options);
    const app::SessionInput input = InMemory(generator.ProjectJson(), generator.CaptureJsonl());
    for (const app::Replay replay : {app::Replay::Live, app::Replay::Run})
    {
        const std::unique_ptr<app::Gathering> pGathering = Gather(input, replay);
        ASSERT_NE(pGathering, nullptr);
        app::Gathering& gathering = *pGathering;
        for (const std::wstring_view statistic : app::kQueryNames)
        {
            SCOPED_TRACE(text::ToUtf8(statistic));
            ExpectTableAsCopied(gathering, statistic);
            BaseFilteredListControl& list = *gathering.Lists().pMain;
            const char* sort = statistic == L"Paths Used"              ? "Played:desc"
                               : statistic == L"Dialogue Events Added" ? "Count:desc"
                                                                       : "Added:desc";
            ASSERT_EQ(app::ApplySort(list, app::ParseSortRequest(sort)), "");
            ExpectTableAsCopied(gathering, statistic);
        }

        // The distribution's values follow the copy's own sort, ties included, in both directions.
        ASSERT_TRUE(gathering.Select(L"Dialogue Events Distribution"));
        BaseFilteredListControl& values = *gathering.Lists().pValues;
        for (const char* sort : {"Value", "Count", "%", "Value:desc", "Count:desc", "%:desc"})
        {
            SCOPED_TRACE(sort);
            ASSERT_EQ(app::ApplySort(values, app::ParseSortRequest(sort)), "");
            ExpectTableAsCopied(gathering, L"Dialogue Events Distribution");
        }
    }
}

TEST(Tables, KeepTheFiltersAndTheSelectedEventOfTheShownList)
{
    const std::unique_ptr<app::Gathering> pGathering =
        Gather(InMemory(std::string(app::DemoProjectJson()), std::string(app::DemoCaptureJsonl())),
               app::Replay::Live);
    ASSERT_NE(pGathering, nullptr);
    app::Gathering& gathering = *pGathering;

    ASSERT_TRUE(gathering.Select(L"Paths Used"));
    ASSERT_EQ(app::ApplyFilter(*gathering.Lists().pMain, L"Added>=2", nullptr, app::FilterMode::Add), "");
    const std::optional<StatisticTable> paths = app::ShownTable(gathering, L"Paths Used");
    ASSERT_TRUE(paths.has_value());
    EXPECT_LT(paths->rows.size(), 4u);
    EXPECT_EQ(AsCopied(*paths), Copied(gathering));

    ASSERT_TRUE(gathering.Select(L"Dialogue Events Distribution"));
    BaseFilteredListControl& events = *gathering.Lists().pMain;
    ASSERT_GE(events.RowCount(), 2);
    events.SetSelection(1);
    const std::wstring caption = events.GetCellText(1, 0);
    ExpectTableAsCopied(gathering, L"Dialogue Events Distribution");
    std::vector<CSmartPtr<NyLcRow>> selected;
    events.GetSelectedRows(selected);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected.front()->GetData(), events.GetRow(1, 0)->GetData()) << text::ToUtf8(caption);

    EXPECT_FALSE(app::ShownTable(gathering, L"None").has_value());
    EXPECT_FALSE(app::ShownTable(gathering, L"Everything").has_value());
}

// One event E with the argument Mood (Happy, Sad) and the targets T1 and T2, each GUID chosen so that
// the order of the ids differs from the order of the names.
constexpr const char* kEvent = "{00000000-0000-0000-0000-00000000000E}";
constexpr const char* kMood = "{00000000-0000-0000-0000-0000000000A0}";
constexpr const char* kHappy = "{00000002-0000-0000-0000-000000000000}";
constexpr const char* kSad = "{00000001-0000-0000-0000-000000000000}";
constexpr const char* kStale = "{00000003-0000-0000-0000-000000000000}";
constexpr const char* kT1 = "{00000000-0000-0200-0000-000000000000}";
constexpr const char* kT2 = "{00000000-0000-0100-0000-000000000000}";
constexpr const char* kNull = "{00000000-0000-0000-0000-000000000000}";

std::string SmallProject()
{
    return std::string(R"({"objects": [)") + R"({"id": ")" + kEvent +
           R"(", "name": "E", "kind": "DialogueEvent", "arguments": [")" + kMood + R"("], "targets": [")" +
           kT1 + R"(", ")" + kT2 + R"("]},)" + R"({"id": ")" + kMood +
           R"(", "name": "Mood", "kind": "Argument", "values": [")" + kHappy + R"(", ")" + kSad + R"("]},)" +
           R"({"id": ")" + kHappy + R"(", "name": "Happy"}, {"id": ")" + kSad + R"(", "name": "Sad"},)" +
           R"({"id": ")" + kT1 + R"(", "name": "T1"}, {"id": ")" + kT2 + R"(", "name": "T2"}]})";
}

std::string Resolve(const char* target, const char* value)
{
    return std::string(R"({"type": 34, "event": ")") + kEvent + R"(", "target": ")" + target +
           R"(", "values": [")" + value + "\"]}\n";
}

std::vector<KeyPart> Key(std::vector<KeyPart> parts)
{
    return parts;
}

TEST(Tables, KeyEachRowByTheStatisticsOwnKeys)
{
    const std::string capture = Resolve(kT1, kSad) + Resolve(kT1, kSad) + Resolve(kT2, kStale) +
                                R"({"type": 1, "object": ")" + kT1 + R"(", "reason": 9})" + "\n";
    const std::unique_ptr<app::Gathering> pGathering =
        Gather(InMemory(SmallProject(), capture), app::Replay::Live);
    ASSERT_NE(pGathering, nullptr);

    const StatisticTable paths = *app::ShownTable(*pGathering, L"Paths Used");
    ASSERT_EQ(paths.rows.size(), 2u);
    EXPECT_EQ(paths.rows[0].key, Key({"E::Sad"}));
    EXPECT_EQ(paths.rows[1].key, Key({"E::Unknown"}));
    EXPECT_FALSE(paths.inSync);

    const StatisticTable added = *app::ShownTable(*pGathering, L"Dialogue Events Added");
    ASSERT_EQ(added.rows.size(), 2u);
    EXPECT_EQ(added.rows[0].key, Key({kEvent, kT2}));
    EXPECT_EQ(added.rows[1].key, Key({kEvent, kT1}));
    EXPECT_EQ(added.rows[1].cells[2].counter, 2u);
    EXPECT_TRUE(added.inSync);

    const StatisticTable distribution = *app::ShownTable(*pGathering, L"Dialogue Events Distribution");
    ASSERT_EQ(distribution.rows.size(), 1u);
    const app::formats::Row& event = distribution.rows[0];
    EXPECT_EQ(event.key, Key({kEvent}));
    EXPECT_EQ(event.cells[0].text, "E");
    EXPECT_EQ(event.cells[1].counter, 3u);
    EXPECT_EQ(event.cells[2].counter, 1u);
    // The wildcard first, then the values in the order of their ids; the unlisted one labelled Unknown.
    ASSERT_EQ(event.values.size(), 4u);
    const std::vector<std::pair<std::string, const char*>> expected = {
        {"1.Mood:*", kNull}, {"1.Mood:Sad", kSad}, {"1.Mood:Happy", kHappy}, {"1.Mood:Unknown", kStale}};
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(event.values[i].cells[0].text, expected[i].first);
        EXPECT_EQ(event.values[i].key, Key({kEvent, std::int64_t{1}, expected[i].second}));
        EXPECT_EQ(event.values[i].argument, 1);
    }
    EXPECT_EQ(event.values[1].cells[1].counter, 2u);
    EXPECT_EQ(event.values[1].cells[2].text, "66.7");
}

} // namespace
