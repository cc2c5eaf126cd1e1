// The tab-separated text of `explain`: a line per finding, an empty line, a line per kind of fault.
#pragma once

#include "app/formats/Findings.h"

#include <string>
#include <vector>

namespace app::formats
{

// "FILE:LINE", a tab, the statistics, a tab, what is wrong, a tab, the ids.
std::string WriteFindingsText(const Findings& findings);

// Statistic names joined by ", "; ids joined by a space.
std::string JoinStatistics(const std::vector<std::string>& names);
std::string JoinIds(const std::vector<std::string>& ids);

} // namespace app::formats
