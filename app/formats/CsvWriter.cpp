#include "app/formats/CsvWriter.h"

#include "app/formats/FindingsText.h"

namespace app::formats
{

namespace
{

template <typename Items, typename TextOf>
void AppendLine(std::string& out, const Items& items, TextOf textOf)
{
    bool first = true;
    for (const auto& item : items)
    {
        if (!first)
            out += ',';
        first = false;
        AppendCsvField(out, textOf(item));
    }
}

std::string_view TitleOf(const Column& column)
{
    return column.title;
}

std::string_view TextOf(const Cell& cell)
{
    return cell.text;
}

} // namespace

void AppendCsvField(std::string& out, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
    {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field)
    {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string WriteCsv(const StatisticTable& table)
{
    std::string out;
    AppendLine(out, table.columns, TitleOf);
    if (table.HasValues())
    {
        out += ',';
        AppendLine(out, table.valueColumns, TitleOf);
    }
    out += '\n';
    for (const Row& row : table.rows)
    {
        if (!table.HasValues())
        {
            AppendLine(out, row.cells, TextOf);
            out += '\n';
            continue;
        }
        if (row.values.empty())
        {
            AppendLine(out, row.cells, TextOf);
            out += std::string(table.valueColumns.size(), ',');
            out += '\n';
        }
        for (const ValueLine& line : row.values)
        {
            AppendLine(out, row.cells, TextOf);
            out += ',';
            AppendLine(out, line.cells, TextOf);
            out += '\n';
        }
    }
    return out;
}

std::string WriteDiffCsv(const StatisticDiff& statistic)
{
    std::string out;
    const auto field = [](const std::string& text) -> std::string_view
    {
        return text;
    };
    AppendLine(out, DiffHeader(statistic), field);
    out += '\n';
    for (const DiffRow& row : statistic.rows)
    {
        AppendLine(out, DiffFields(statistic, row), field);
        out += '\n';
    }
    return out;
}

std::string WriteFindingsCsv(const Findings& findings)
{
    std::string out = "File,Line,Statistics,What,Ids\n";
    for (const Finding& finding : findings.findings)
    {
        AppendCsvField(out, finding.file);
        out += ',' + std::to_string(finding.line) + ',';
        AppendCsvField(out, JoinStatistics(finding.statistics));
        out += ',';
        AppendCsvField(out, finding.what);
        out += ',';
        AppendCsvField(out, JoinIds(finding.ids));
        out += '\n';
    }
    return out;
}

} // namespace app::formats
