// A hand-built report: texts whose UTF-16 order differs from their code-point order, equal counts,
// markup in names, values of two arguments interleaved, and coverage with what never happened.
#pragma once

#include "app/report/ReportModel.h"

#include <string>

inline const std::string kMarkupPath = "</script><b>bold</b> & \"q\"";
inline const std::string kMarkupEvent = "<i>Tag & \"Co\"</i>";

inline app::formats::Row PathRow(const std::string& path, std::uint64_t added, std::uint64_t played)
{
    using app::formats::Cell;
    return {{Cell::Text(path), Cell::Counter(added), Cell::Counter(played)}, {}};
}

inline app::formats::StatisticTable PathsUsedTable()
{
    using app::formats::ColumnKind;
    return {"Paths Used",
            true,
            {{"Path", ColumnKind::Text}, {"Added", ColumnKind::Counter}, {"Played", ColumnKind::Counter}},
            {},
            {}};
}

inline app::report::ReportInput SampleReport()
{
    using app::formats::Cell;
    using app::formats::ColumnKind;
    using app::formats::MakeValueLine;
    app::report::ReportInput input;
    input.title = "project.json";

    app::formats::StatisticTable distribution{"Dialogue Events Distribution",
                                              false,
                                              {{"Dialogue Event Name", ColumnKind::Object},
                                               {"Added", ColumnKind::Counter},
                                               {"Played", ColumnKind::Counter}},
                                              {},
                                              app::formats::DistributionValueColumns()};
    distribution.rows.push_back(
        {{Cell::Object("Greeting"), Cell::Counter(3), Cell::Counter(1)},
         {MakeValueLine(1, "1.Mood:Happy", 2, 200.0f / 3.0f), MakeValueLine(2, "2.Tone:Low", 3, 100.0f),
          MakeValueLine(1, "1.Mood:*", 1, 100.0f / 3.0f)}});
    distribution.rows.push_back({{Cell::Object(kMarkupEvent), Cell::Counter(1), Cell::Counter(0)}, {}});
    input.statistics.push_back(std::move(distribution));

    app::formats::StatisticTable paths = PathsUsedTable();
    paths.rows = {PathRow("beta", 2, 1), PathRow("\uFF21lpha", 5, 0), PathRow("\U0001F600 smile", 2, 2),
                  PathRow("Beta", 7, 7), PathRow(kMarkupPath, 2, 0),  PathRow("\u00E9clair", 5, 1)};
    input.statistics.push_back(std::move(paths));

    app::formats::StatisticTable added{"Dialogue Events Added",
                                       true,
                                       {{"Dialogue Event Name", ColumnKind::Object},
                                        {"Target Object", ColumnKind::Object},
                                        {"Count", ColumnKind::Counter}},
                                       {},
                                       {}};
    added.rows.push_back({{Cell::Object("Greeting"), Cell::Object("Hello_01"), Cell::Counter(3)}, {}});
    added.rows.push_back({{Cell::Object("Greeting"), Cell::Object(""), Cell::Counter(0)}, {}});
    input.statistics.push_back(std::move(added));

    // Never: the event Farewell; Greeting's entry without a target; Mood's value Sad; the wildcard of Tone.
    input.coverage.events = {
        {"Greeting",
         "{00000001-0000-0000-0000-000000000000}",
         3,
         {{"Hello_01", 3}, {"", 0}},
         {{"Mood", {{"Happy", 2}, {"Sad", 0}}, {{"*", 1}}}, {"Tone", {{"Low", 3}}, {{"*", 0}}}}},
        {"Farewell", "{00000002-0000-0000-0000-000000000000}", 0, {{"Bye_01", 0}}, {}},
        {kMarkupEvent, "{00000003-0000-0000-0000-000000000000}", 1, {{"Tag_01", 1}}, {}},
    };
    input.findings = {{{"capture.jsonl",
                        7,
                        {"Dialogue Events Distribution"},
                        "the event is missing from the project",
                        {"{00000009-0000-0000-0000-000000000000}"}}},
                      {{"the event is missing from the project", 1}}};
    input.files = {
        {"project.json", "project", {{"DialogueEvent", 3}, {"Argument", 2}}},
        {"capture.jsonl", "capture", {{"34 dialogue event resolved", 4}, {"1 object notification", 1}}}};
    return input;
}
