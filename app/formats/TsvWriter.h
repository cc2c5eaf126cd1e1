// Tab-separated text of `diff`'s tables, laid out as the list controls copy theirs: a header of the
// titles and a line per row, fields joined by one tab, every line ended by a line feed. (The
// statistics themselves print as their Copy Results text.)
#pragma once

#include "app/formats/StatisticDiff.h"

#include <string>

namespace app::formats
{

// The header of DiffHeader and a line per row, in the rows' order.
std::string WriteDiffTsv(const StatisticDiff& statistic);

} // namespace app::formats
