// Comma-separated text of one table (RFC 4180 quoting, lines ending with a line feed).
#pragma once

#include "app/formats/Findings.h"
#include "app/formats/StatisticDiff.h"
#include "app/formats/StatisticTable.h"

#include <string>
#include <string_view>

namespace app::formats
{

// The field as it stands, or quoted with its quotes doubled when it holds a comma, a quote or a line
// end.
void AppendCsvField(std::string& out, std::string_view field);

// The header of the column titles and a line per row of its shown cells. A table with value columns
// is flat: a line per value line with its row's cells repeated, and one with empty value fields for a
// row without value lines.
std::string WriteCsv(const StatisticTable& table);

// The header of DiffHeader and a line per row, in the rows' order.
std::string WriteDiffCsv(const StatisticDiff& statistic);

// A header "File,Line,Statistics,What,Ids" and a line per finding, the lists joined as in text.
std::string WriteFindingsCsv(const Findings& findings);

} // namespace app::formats
