#include "app/formats/CsvWriter.h"
#include "app/formats/FindingsText.h"
#include "app/formats/JsonWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace app::formats;

StatisticTable PathsUsed()
{
    StatisticTable table{
        "Paths Used",
        true,
        {{"Path", ColumnKind::Text}, {"Added", ColumnKind::Counter}, {"Played", ColumnKind::Counter}},
        {},
        {}};
    // A count beyond 32 bits shows its low bits, as the list does; text needing quotes in csv.
    table.rows.push_back(
        {{Cell::Text("Greeting/Happy"), Cell::Counter(4294967301u), Cell::Counter(0xFFFFFFFFu)}, {}});
    table.rows.push_back({{Cell::Text("Say \"hi\", twice"), Cell::Counter(3), Cell::Counter(1)}, {}});
    table.rows.push_back({{Cell::Text("two\nlines"), Cell::Counter(0), Cell::Counter(0)}, {}});
    return table;
}

StatisticTable Distribution()
{
    StatisticTable table{"Dialogue Events Distribution",
                         false,
                         {{"Dialogue Event Name", ColumnKind::Object},
                          {"Added", ColumnKind::Counter},
                          {"Played", ColumnKind::Counter}},
                         {},
                         DistributionValueColumns()};
    table.rows.push_back(
        {{Cell::Object("Greeting, loud"), Cell::Counter(3), Cell::Counter(1)},
         {MakeValueLine(1, "1.Mood:*", 1, 100.0f / 3.0f), MakeValueLine(1, "1.Mood:Happy", 2, 200.0f / 3.0f),
          MakeValueLine(1, "1.Mood:Sad", 0, 0.0f)}});
    // An event the project lacks shows an empty name; an event without arguments has no value lines.
    table.rows.push_back({{Cell::Object(""), Cell::Counter(5), Cell::Counter(0)}, {}});
    // 12.25 is exact in binary: one decimal rounds it to even, in the text and in json alike.
    table.rows.push_back({{Cell::Object("Farewell"), Cell::Counter(400), Cell::Counter(0)},
                          {MakeValueLine(2, "2.Tone:Low", 49, 12.25f)}});
    return table;
}

TEST(FormatsCsv, QuotesFieldsAndShowsCountersAsTheListDoes)
{
    EXPECT_EQ(WriteCsv(PathsUsed()), "Path,Added,Played\n"
                                     "Greeting/Happy,5,-1\n"
                                     "\"Say \"\"hi\"\", twice\",3,1\n"
                                     "\"two\nlines\",0,0\n");
    std::string field;
    AppendCsvField(field, "carriage\rreturn");
    EXPECT_EQ(field, "\"carriage\rreturn\"");
}

TEST(FormatsCsv, DistributionIsFlatWithTheEventRepeated)
{
    EXPECT_EQ(WriteCsv(Distribution()), "Dialogue Event Name,Added,Played,Value,Count,%\n"
                                        "\"Greeting, loud\",3,1,1.Mood:*,1,33.3\n"
                                        "\"Greeting, loud\",3,1,1.Mood:Happy,2,66.7\n"
                                        "\"Greeting, loud\",3,1,1.Mood:Sad,0,0.0\n"
                                        ",5,0,,,\n"
                                        "Farewell,400,0,2.Tone:Low,49,12.2\n");
}

TEST(FormatsJson, StatisticsKeepExactCountersAndOneDecimalShares)
{
    const std::vector<StatisticTable> tables = {Distribution(), PathsUsed()};
    EXPECT_EQ(
        WriteStatisticsJson(tables),
        R"({"statistics":[{"name":"Dialogue Events Distribution","inSync":false,)"
        R"("columns":["Dialogue Event Name","Added","Played"],"valueColumns":["Value","Count","%"],"rows":[)"
        R"({"cells":["Greeting, loud",3,1],"values":[["1.Mood:*",1,33.3],["1.Mood:Happy",2,66.7],["1.Mood:Sad",0,0.0]]},)"
        R"({"cells":["",5,0],"values":[]},)"
        R"({"cells":["Farewell",400,0],"values":[["2.Tone:Low",49,12.2]]}]},)"
        R"({"name":"Paths Used","inSync":true,"columns":["Path","Added","Played"],"rows":[)"
        R"({"cells":["Greeting/Happy",4294967301,4294967295]},)"
        R"({"cells":["Say \"hi\", twice",3,1]},{"cells":["two\nlines",0,0]}]}]})"
        "\n");
    EXPECT_EQ(WriteStatisticsJson({}), "{\"statistics\":[]}\n");
}

TEST(FormatsJson, TextThatIsNotUtf8IsReplacedNotThrown)
{
    StatisticTable table = PathsUsed();
    table.rows.resize(1);
    table.rows[0].cells[0] = Cell::Text("bad \xFF byte");
    EXPECT_EQ(WriteStatisticsJson({&table, 1}),
              "{\"statistics\":[{\"name\":\"Paths "
              "Used\",\"inSync\":true,\"columns\":[\"Path\",\"Added\",\"Played\"],"
              "\"rows\":[{\"cells\":[\"bad \xEF\xBF\xBD byte\",4294967301,4294967295]}]}]}\n");
}

Findings TwoFindings()
{
    return {{{"a.jsonl",
              3,
              {"Paths Used", "Dialogue Events Distribution"},
              "the event is missing from the project",
              {"{00000001-0000-0000-0000-000000000000}"}},
             {"b, c.jsonl",
              12,
              {"Dialogue Events Distribution"},
              "a chosen value is not among its argument's values",
              {"{00000002-0000-0000-0000-000000000000}", "{00000003-0000-0000-0000-000000000000}"}}},
            {{"the event is missing from the project", 1},
             {"a chosen value is not among its argument's values", 1}}};
}

TEST(FormatsFindings, TextCsvAndJson)
{
    const Findings findings = TwoFindings();
    EXPECT_EQ(
        WriteFindingsText(findings),
        "a.jsonl:3\tPaths Used, Dialogue Events Distribution\tthe event is missing from the project\t"
        "{00000001-0000-0000-0000-000000000000}\n"
        "b, c.jsonl:12\tDialogue Events Distribution\ta chosen value is not among its argument's values\t"
        "{00000002-0000-0000-0000-000000000000} {00000003-0000-0000-0000-000000000000}\n"
        "\n"
        "1\tthe event is missing from the project\n"
        "1\ta chosen value is not among its argument's values\n");
    EXPECT_EQ(
        WriteFindingsCsv(findings),
        "File,Line,Statistics,What,Ids\n"
        "a.jsonl,3,\"Paths Used, Dialogue Events Distribution\",the event is missing from the project,"
        "{00000001-0000-0000-0000-000000000000}\n"
        "\"b, c.jsonl\",12,Dialogue Events Distribution,a chosen value is not among its argument's values,"
        "{00000002-0000-0000-0000-000000000000} {00000003-0000-0000-0000-000000000000}\n");
    EXPECT_EQ(
        WriteFindingsJson(findings),
        R"({"findings":[{"file":"a.jsonl","line":3,"statistics":["Paths Used","Dialogue Events Distribution"],)"
        R"("what":"the event is missing from the project","ids":["{00000001-0000-0000-0000-000000000000}"]},)"
        R"({"file":"b, c.jsonl","line":12,"statistics":["Dialogue Events Distribution"],)"
        R"("what":"a chosen value is not among its argument's values",)"
        R"("ids":["{00000002-0000-0000-0000-000000000000}","{00000003-0000-0000-0000-000000000000}"]}],)"
        R"("summary":[{"what":"the event is missing from the project","items":1},)"
        R"({"what":"a chosen value is not among its argument's values","items":1}]})"
        "\n");
}

TEST(FormatsDiff, ChangesAreSignedAndRowsOrderByTheLargestChange)
{
    const std::string event = "{00000001-0000-0000-0000-000000000000}";
    std::vector<DiffRow> rows = {
        {DiffRowKind::Event, {event}, {"Greeting"}, {10, 4}, {12, 4}},
        {DiffRowKind::Value,
         {event, std::int64_t{1}, "{00000000-0000-0000-0000-000000000000}"},
         {"Greeting", "1.Mood:*"},
         {7},
         {0}},
        // Seen after only: counts 0 before. Its change ties with the row above and stays after it.
        {DiffRowKind::Value,
         {event, std::int64_t{1}, "{00000009-0000-0000-0000-000000000000}"},
         {"Greeting", "1.Mood:Sad"},
         {0},
         {7}},
        {DiffRowKind::Row, {"Greeting/Happy"}, {"Greeting/Happy"}, {1, 1}, {1, 1}},
    };
    OrderByChange(rows);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].names.back(), "1.Mood:*");
    EXPECT_EQ(rows[1].names.back(), "1.Mood:Sad");
    EXPECT_EQ(rows[2].names.back(), "Greeting");
    EXPECT_EQ(rows[3].names.back(), "Greeting/Happy");

    const std::vector<StatisticDiff> diff = {{"Dialogue Events Distribution", {rows[0], rows[2]}}};
    EXPECT_EQ(
        WriteDiffJson(diff),
        R"({"statistics":[{"name":"Dialogue Events Distribution","rows":[)"
        R"({"kind":"value","key":["{00000001-0000-0000-0000-000000000000}",1,"{00000000-0000-0000-0000-000000000000}"],)"
        R"("names":["Greeting","1.Mood:*"],"before":[7],"after":[0],"change":[-7]},)"
        R"({"kind":"event","key":["{00000001-0000-0000-0000-000000000000}"],"names":["Greeting"],)"
        R"("before":[10,4],"after":[12,4],"change":[2,0]}]}]})"
        "\n");
}

} // namespace
