#include "app/formats/FindingsText.h"

#include <string_view>

namespace app::formats
{

namespace
{

std::string Join(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
    {
        if (i > 0)
            out += separator;
        out += parts[i];
    }
    return out;
}

} // namespace

std::string JoinStatistics(const std::vector<std::string>& names)
{
    return Join(names, ", ");
}

std::string JoinIds(const std::vector<std::string>& ids)
{
    return Join(ids, " ");
}

std::string WriteFindingsText(const Findings& findings)
{
    std::string out;
    for (const Finding& finding : findings.findings)
    {
        out += finding.file + ':' + std::to_string(finding.line) + '\t' + JoinStatistics(finding.statistics) +
               '\t' + finding.what + '\t' + JoinIds(finding.ids) + '\n';
    }
    out += '\n';
    for (const FindingCount& count : findings.summary)
        out += std::to_string(count.items) + '\t' + count.what + '\n';
    return out;
}

} // namespace app::formats
