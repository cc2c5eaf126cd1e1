#include "app/formats/JsonWriter.h"

#include <charconv>

namespace app::formats
{

namespace
{

using Json = nlohmann::ordered_json;

Json Titles(const std::vector<Column>& columns)
{
    Json titles = Json::array();
    for (const Column& column : columns)
        titles.push_back(column.title);
    return titles;
}

Json CellsJson(const std::vector<Column>& columns, const std::vector<Cell>& cells)
{
    Json out = Json::array();
    for (std::size_t i = 0; i < cells.size(); ++i)
        out.push_back(i < columns.size() ? CellJson(columns[i], cells[i]) : Json(cells[i].text));
    return out;
}

Json RowJson(const StatisticTable& table, const Row& row)
{
    Json out = {{"cells", CellsJson(table.columns, row.cells)}};
    if (table.HasValues())
    {
        Json values = Json::array();
        for (const ValueLine& line : row.values)
            values.push_back(CellsJson(table.valueColumns, line.cells));
        out["values"] = std::move(values);
    }
    return out;
}

Json TableJson(const StatisticTable& table)
{
    Json out = {{"name", table.name}, {"inSync", table.inSync}, {"columns", Titles(table.columns)}};
    if (table.HasValues())
        out["valueColumns"] = Titles(table.valueColumns);
    Json rows = Json::array();
    for (const Row& row : table.rows)
        rows.push_back(RowJson(table, row));
    out["rows"] = std::move(rows);
    return out;
}

const char* KindName(DiffRowKind kind)
{
    switch (kind)
    {
    case DiffRowKind::Event:
        return "event";
    case DiffRowKind::Value:
        return "value";
    case DiffRowKind::Row:
        break;
    }
    return "row";
}

Json DiffRowJson(const DiffRow& row)
{
    Json key = Json::array();
    for (const KeyPart& part : row.key)
        std::visit([&](const auto& value) { key.push_back(value); }, part);
    return {{"kind", KindName(row.kind)}, {"key", std::move(key)}, {"names", row.names},
            {"before", row.before},       {"after", row.after},    {"change", row.Change()}};
}

} // namespace

Json CellJson(const Column& column, const Cell& cell)
{
    switch (column.kind)
    {
    case ColumnKind::Counter:
        return cell.counter;
    case ColumnKind::Percent:
    {
        // The number that the shown text spells, so that json and text agree on every rounding.
        double shown = 0;
        std::from_chars(cell.text.data(), cell.text.data() + cell.text.size(), shown);
        return shown;
    }
    case ColumnKind::Text:
    case ColumnKind::Object:
        break;
    }
    return cell.text;
}

std::string DumpDocument(const Json& document)
{
    return document.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

std::string WriteStatisticsJson(std::span<const StatisticTable> statistics)
{
    Json tables = Json::array();
    for (const StatisticTable& table : statistics)
        tables.push_back(TableJson(table));
    return DumpDocument({{"statistics", std::move(tables)}});
}

std::string WriteFindingsJson(const Findings& findings)
{
    Json list = Json::array();
    for (const Finding& finding : findings.findings)
    {
        list.push_back({{"file", finding.file},
                        {"line", finding.line},
                        {"statistics", finding.statistics},
                        {"what", finding.what},
                        {"ids", finding.ids}});
    }
    Json summary = Json::array();
    for (const FindingCount& count : findings.summary)
        summary.push_back({{"what", count.what}, {"items", count.items}});
    return DumpDocument({{"findings", std::move(list)}, {"summary", std::move(summary)}});
}

std::string WriteDiffJson(std::span<const StatisticDiff> statistics)
{
    Json list = Json::array();
    for (const StatisticDiff& statistic : statistics)
    {
        Json rows = Json::array();
        for (const DiffRow& row : statistic.rows)
            rows.push_back(DiffRowJson(row));
        list.push_back({{"name", statistic.name}, {"rows", std::move(rows)}});
    }
    return DumpDocument({{"statistics", std::move(list)}});
}

} // namespace app::formats
