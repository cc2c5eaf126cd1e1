#include "app/formats/TsvWriter.h"

namespace app::formats
{

namespace
{

void AppendLine(std::string& out, const std::vector<std::string>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
    {
        if (i > 0)
            out += '\t';
        out += fields[i];
    }
    out += '\n';
}

} // namespace

std::string WriteDiffTsv(const StatisticDiff& statistic)
{
    std::string out;
    AppendLine(out, DiffHeader(statistic));
    for (const DiffRow& row : statistic.rows)
        AppendLine(out, DiffFields(statistic, row));
    return out;
}

} // namespace app::formats
