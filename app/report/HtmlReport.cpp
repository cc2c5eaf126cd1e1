#include "app/report/HtmlReport.h"

#include "app/formats/FindingsText.h"
#include "app/report/HtmlText.h"
#include "app/report/ReportAssets.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string_view>

namespace app::report
{

namespace
{

using formats::Cell;
using formats::Column;
using formats::ColumnKind;
using formats::StatisticTable;
using Json = nlohmann::json;

// The statistics dialog's own warning for a statistic out of sync.
constexpr std::string_view kOutOfSync =
    "Project data and game data are unsynchonized.  Regerenerate your banks.";

struct Fraction
{
    std::size_t reached = 0;
    std::size_t listed = 0;

    Fraction& operator+=(const Fraction& other)
    {
        reached += other.reached;
        listed += other.listed;
        return *this;
    }
};

Fraction Reached(const std::vector<Use>& uses)
{
    const auto reached =
        std::count_if(uses.begin(), uses.end(), [](const Use& use) { return use.count > 0; });
    return {static_cast<std::size_t>(reached), uses.size()};
}

Fraction ValuesChosen(const EventCoverage& event)
{
    Fraction chosen;
    for (const ArgumentCoverage& argument : event.arguments)
        chosen += Reached(argument.listed);
    return chosen;
}

std::string OutOf(const Fraction& fraction)
{
    return std::to_string(fraction.reached) + " of " + std::to_string(fraction.listed);
}

const char* KindName(ColumnKind kind)
{
    switch (kind)
    {
    case ColumnKind::Counter:
        return "counter";
    case ColumnKind::Percent:
        return "percent";
    case ColumnKind::Object:
        return "object";
    case ColumnKind::Text:
        break;
    }
    return "text";
}

bool IsNumber(ColumnKind kind)
{
    return kind == ColumnKind::Counter || kind == ColumnKind::Percent;
}

void AppendTag(std::string& out, std::string_view tag, std::string_view attributes, std::string_view text)
{
    out += '<';
    out += tag;
    out += attributes;
    out += '>';
    AppendEscaped(out, text);
    out += "</";
    out += tag;
    out += '>';
}

void AppendCard(std::string& out, std::string_view figure, std::string_view label, std::string_view href)
{
    out += "<a class=\"card\" href=\"#";
    out += href;
    out += "\">";
    AppendTag(out, "span", " class=\"figure\"", figure);
    AppendTag(out, "span", " class=\"label\"", label);
    out += "</a>";
}

std::string SectionId(std::size_t index)
{
    return "statistic-" + std::to_string(index + 1);
}

void AppendCards(std::string& out, const ReportInput& input)
{
    out += "<div class=\"cards\">";
    for (std::size_t i = 0; i < input.statistics.size(); ++i)
    {
        const StatisticTable& table = input.statistics[i];
        const std::string label = table.name + (table.rows.size() == 1 ? " row" : " rows");
        AppendCard(out, std::to_string(table.rows.size()),
                   table.inSync ? label : label + " \u00B7 out of sync", SectionId(i));
    }
    const auto& events = input.coverage.events;
    const Fraction resolved = {static_cast<std::size_t>(std::count_if(events.begin(), events.end(),
                                                                      [](const EventCoverage& event)
                                                                      { return event.resolved > 0; })),
                               events.size()};
    AppendCard(out, OutOf(resolved), "dialogue events resolved", "coverage");
    AppendCard(out, std::to_string(input.findings.findings.size()), "findings", "findings");
    out += "</div>";
}

void AppendNav(std::string& out, const ReportInput& input)
{
    out += "<nav class=\"toc\">";
    for (std::size_t i = 0; i < input.statistics.size(); ++i)
        AppendTag(out, "a", " href=\"#" + SectionId(i) + "\"", input.statistics[i].name);
    out += "<a href=\"#coverage\">Coverage</a><a href=\"#findings\">Findings</a><a "
           "href=\"#read\">Read</a></nav>";
}

// A sortable header and a row of filter fields; the script fills the body from the page's data.
void AppendTableHead(std::string& out, const std::vector<Column>& columns, bool withValues)
{
    out += "<thead><tr>";
    for (const Column& column : columns)
    {
        out += "<th scope=\"col\" aria-sort=\"none\" data-kind=\"";
        out += KindName(column.kind);
        out += IsNumber(column.kind) ? "\" class=\"num\">" : "\">";
        AppendTag(out, "button", " type=\"button\"", column.title);
        out += "</th>";
    }
    if (withValues)
        out += "<th scope=\"col\" class=\"values-head\">Values</th>";
    out += "</tr><tr class=\"filters\">";
    for (const Column& column : columns)
    {
        out += "<td><input type=\"search\" placeholder=\"Filter\" aria-label=\"Filter ";
        AppendEscaped(out, column.title);
        out += "\"></td>";
    }
    if (withValues)
        out += "<td></td>";
    out += "</tr></thead><tbody></tbody>";
}

std::size_t RowsPerPage(std::size_t rows)
{
    return rows <= kRowsAtOnce ? kRowsAtOnce : kRowsPerPage;
}

// The rows of its first page give the table its height before it is laid out.
void AppendTableWrap(std::string& out, std::size_t rows)
{
    out += "<div class=\"table-wrap\" style=\"--rows:" + std::to_string(std::min(rows, RowsPerPage(rows))) +
           "\">";
}

void AppendStatistic(std::string& out, const StatisticTable& table, std::size_t index)
{
    out += "<section class=\"statistic\" id=\"" + SectionId(index) + "\"><div class=\"section-head\">";
    AppendTag(out, "h2", "", table.name);
    out += "<span class=\"rows-note\"></span></div>";
    if (!table.inSync)
        AppendTag(out, "p", " class=\"warning\"", kOutOfSync);
    AppendTableWrap(out, table.rows.size());
    out += "<table data-statistic=\"";
    AppendEscaped(out, table.name);
    out += "\" data-table=\"" + std::to_string(index) + "\">";
    AppendTableHead(out, table.columns, table.HasValues());
    out += "</table></div><div class=\"pager\" hidden></div></section>";
}

void AppendUse(std::string& out, const Use& use, std::string_view emptyName, bool counted)
{
    out += counted ? "<li>" : "<li class=\"uncounted\">";
    AppendTag(out, "span", " class=\"use-name\"", use.name.empty() ? emptyName : std::string_view(use.name));
    if (use.count > 0)
        AppendTag(out, "span", " class=\"num\"", std::to_string(use.count));
    else
        out += "<span class=\"never\">never</span>";
    out += "</li>";
}

void AppendArgument(std::string& out, const ArgumentCoverage& argument)
{
    out += "<div class=\"uses\"><h4>";
    AppendEscaped(out, argument.name);
    out += " <span class=\"muted\">" + OutOf(Reached(argument.listed)) + " values chosen</span></h4><ul>";
    for (const Use& value : argument.listed)
        AppendUse(out, value, "(unnamed)", true);
    for (const Use& value : argument.others)
        AppendUse(out, value, "(unnamed)", false);
    out += "</ul></div>";
}

void AppendResolvedEvent(std::string& out, const EventCoverage& event)
{
    const Fraction targets = Reached(event.targets);
    const Fraction values = ValuesChosen(event);
    const bool complete = targets.reached == targets.listed && values.reached == values.listed;
    out += complete ? "<details class=\"event\"><summary>" : "<details class=\"event gaps\"><summary>";
    AppendTag(out, "span", " class=\"event-name\"", event.name);
    AppendTag(out, "span", " class=\"muted num\"", std::to_string(event.resolved) + " resolved");
    AppendTag(out, "span", " class=\"muted\"", OutOf(targets) + " targets");
    AppendTag(out, "span", " class=\"muted\"",
              event.arguments.empty() ? "no arguments" : OutOf(values) + " values");
    out += "</summary><div class=\"event-body\"><div class=\"uses\"><h4>Targets <span class=\"muted\">" +
           OutOf(targets) + " reached</span></h4><ul>";
    for (const Use& target : event.targets)
        AppendUse(out, target, "(no target)", true);
    out += "</ul></div>";
    for (const ArgumentCoverage& argument : event.arguments)
        AppendArgument(out, argument);
    out += "</div></details>";
}

void AppendCoverage(std::string& out, const Coverage& coverage)
{
    Fraction events, targets, values;
    for (const EventCoverage& event : coverage.events)
    {
        events += {event.resolved > 0 ? 1u : 0u, 1};
        if (event.resolved > 0)
        {
            targets += Reached(event.targets);
            values += ValuesChosen(event);
        }
    }
    out +=
        "<section id=\"coverage\"><div class=\"section-head\"><h2>Coverage</h2></div><p class=\"summary\">" +
        OutOf(events) + " dialogue events resolved \u00B7 " + OutOf(targets) +
        " target entries reached \u00B7 " + OutOf(values) +
        " listed values chosen <span class=\"muted\">(of the resolved events; the wildcard and values "
        "not listed are shown, not counted)</span></p>";
    if (events.reached < events.listed)
    {
        out += "<h3>Never resolved</h3><ul class=\"never-list\" style=\"--events:" +
               std::to_string(events.listed - events.reached) + "\">";
        for (const EventCoverage& event : coverage.events)
        {
            if (event.resolved > 0)
                continue;
            out += "<li>";
            AppendTag(out, "span", " class=\"event-name\"", event.name);
            out += "<span class=\"never\">never</span>";
            AppendTag(out, "span", " class=\"muted id\"", event.id);
            out += "</li>";
        }
        out += "</ul>";
    }
    if (events.reached > 0)
    {
        out += "<h3>Resolved</h3><div class=\"events\" style=\"--events:" + std::to_string(events.reached) +
               "\">";
        for (const EventCoverage& event : coverage.events)
        {
            if (event.resolved > 0)
                AppendResolvedEvent(out, event);
        }
        out += "</div>";
    }
    out += "</section>";
}

const std::vector<Column>& FindingColumns()
{
    static const std::vector<Column> columns = {{"Place", ColumnKind::Text},
                                                {"Statistics", ColumnKind::Text},
                                                {"What", ColumnKind::Text},
                                                {"Ids", ColumnKind::Text}};
    return columns;
}

void AppendFindings(std::string& out, const formats::Findings& findings, std::size_t tableIndex)
{
    out += "<section id=\"findings\"><div class=\"section-head\"><h2>Findings</h2>"
           "<span class=\"rows-note\"></span></div>";
    if (findings.findings.empty())
    {
        out += "<p class=\"muted\">No item put a statistic out of sync.</p></section>";
        return;
    }
    out += "<ul class=\"finding-summary\">";
    for (const formats::FindingCount& count : findings.summary)
    {
        out += "<li><span class=\"num\">" + std::to_string(count.items) + "</span> ";
        AppendEscaped(out, count.what);
        out += "</li>";
    }
    out += "</ul>";
    AppendTableWrap(out, findings.findings.size());
    out += "<table data-findings=\"\" data-table=\"" + std::to_string(tableIndex) + "\">";
    AppendTableHead(out, FindingColumns(), false);
    out += "</table></div><div class=\"pager\" hidden></div></section>";
}

void AppendFilesRead(std::string& out, const std::vector<FileRead>& files)
{
    out += "<section id=\"read\"><div class=\"section-head\"><h2>Read</h2></div><table "
           "class=\"read\"><thead><tr>"
           "<th>File</th><th>Role</th><th>Items by kind</th></tr></thead><tbody>";
    for (const FileRead& file : files)
    {
        out += "<tr>";
        AppendTag(out, "td", " class=\"path\"", file.path);
        AppendTag(out, "td", "", file.role);
        out += "<td><ul class=\"kinds\">";
        for (const ItemCount& item : file.items)
        {
            out += "<li><span class=\"num\">" + std::to_string(item.count) + "</span> ";
            AppendEscaped(out, item.kind);
            out += "</li>";
        }
        out += "</ul></td></tr>";
    }
    out += "</tbody></table></section>";
}

// A cell as the script reads it: text as a string, a counter as its number, a share as [value, text].
Json CellData(ColumnKind kind, const Cell& cell)
{
    switch (kind)
    {
    case ColumnKind::Counter:
        return cell.counter;
    case ColumnKind::Percent:
        return Json::array({cell.share, cell.text});
    case ColumnKind::Text:
    case ColumnKind::Object:
        break;
    }
    return cell.text;
}

std::size_t IndexOfKind(const std::vector<Column>& columns, ColumnKind kind)
{
    const auto found =
        std::find_if(columns.begin(), columns.end(), [&](const Column& c) { return c.kind == kind; });
    return static_cast<std::size_t>(found - columns.begin());
}

// Each value line as [argument, label, count, share, shown share].
Json ValuesData(const StatisticTable& table)
{
    const std::size_t label = IndexOfKind(table.valueColumns, ColumnKind::Text);
    const std::size_t count = IndexOfKind(table.valueColumns, ColumnKind::Counter);
    const std::size_t share = IndexOfKind(table.valueColumns, ColumnKind::Percent);
    const auto cellOf = [](const formats::ValueLine& line, std::size_t i) -> const Cell&
    {
        static const Cell kEmpty;
        return i < line.cells.size() ? line.cells[i] : kEmpty;
    };
    Json values = Json::array();
    for (const formats::Row& row : table.rows)
    {
        Json lines = Json::array();
        for (const formats::ValueLine& line : row.values)
        {
            lines.push_back(Json::array({line.argument, cellOf(line, label).text, cellOf(line, count).counter,
                                         cellOf(line, share).share, cellOf(line, share).text}));
        }
        values.push_back(std::move(lines));
    }
    return values;
}

Json TableData(const std::vector<Column>& columns, const std::vector<formats::Row>& rows)
{
    Json kinds = Json::array();
    for (const Column& column : columns)
        kinds.push_back(KindName(column.kind));
    Json data = Json::array();
    for (const formats::Row& row : rows)
    {
        Json cells = Json::array();
        for (std::size_t i = 0; i < columns.size(); ++i)
            cells.push_back(i < row.cells.size() ? CellData(columns[i].kind, row.cells[i]) : Json(""));
        data.push_back(std::move(cells));
    }
    return {{"kinds", std::move(kinds)}, {"pageRows", RowsPerPage(rows.size())}, {"rows", std::move(data)}};
}

std::vector<formats::Row> FindingRows(const formats::Findings& findings)
{
    std::vector<formats::Row> rows;
    rows.reserve(findings.findings.size());
    for (const formats::Finding& finding : findings.findings)
    {
        rows.push_back({{Cell::Text(finding.file + ':' + std::to_string(finding.line)),
                         Cell::Text(formats::JoinStatistics(finding.statistics)), Cell::Text(finding.what),
                         Cell::Text(formats::JoinIds(finding.ids))},
                        {}});
    }
    return rows;
}

void AppendData(std::string& out, const ReportInput& input)
{
    Json tables = Json::array();
    for (const StatisticTable& table : input.statistics)
    {
        Json data = TableData(table.columns, table.rows);
        if (table.HasValues())
            data["values"] = ValuesData(table);
        tables.push_back(std::move(data));
    }
    tables.push_back(TableData(FindingColumns(), FindingRows(input.findings)));
    const Json document = {{"tables", std::move(tables)}};
    out += "<script type=\"application/json\" id=\"report-data\">";
    AppendScriptJson(out, document.dump(-1, ' ', false, Json::error_handler_t::replace));
    out += "</script>";
}

} // namespace

std::string WriteHtmlReport(const ReportInput& input)
{
    std::string out;
    out.reserve(64 * 1024);
    out += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
    AppendTag(out, "title", "", "Statistics report \u2014 " + input.title);
    out += "<style>";
    out += ReportStyle();
    out += "</style></head>\n<body><div class=\"page\"><header class=\"top\"><h1>Statistics report</h1>";
    AppendTag(out, "p", " class=\"subtitle\"", input.title);
    AppendCards(out, input);
    out += "</header>";
    AppendNav(out, input);
    out += "<main>";
    for (std::size_t i = 0; i < input.statistics.size(); ++i)
        AppendStatistic(out, input.statistics[i], i);
    AppendCoverage(out, input.coverage);
    AppendFindings(out, input.findings, input.statistics.size());
    AppendFilesRead(out, input.files);
    out += "</main></div>\n";
    AppendData(out, input);
    out += "\n<script>";
    out += ReportScript();
    out += "</script>\n</body></html>\n";
    return out;
}

} // namespace app::report
