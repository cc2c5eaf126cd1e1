// The json documents of `stats`, `explain` and `diff`: counters as exact integers, shares as numbers
// with one decimal, keys in a fixed order.
#pragma once

#include "app/formats/Findings.h"
#include "app/formats/StatisticDiff.h"
#include "app/formats/StatisticTable.h"

#include <nlohmann/json.hpp>

#include <span>
#include <string>

namespace app::formats
{

// A cell as json: text and object cells as their shown text, counters exact, shares as shown.
nlohmann::ordered_json CellJson(const Column& column, const Cell& cell);

// {"statistics": [{"name", "inSync", "columns", ["valueColumns",] "rows": [{"cells", ["values"]}]}]}
std::string WriteStatisticsJson(std::span<const StatisticTable> statistics);

// {"findings": [{"file", "line", "statistics", "what", "ids"}], "summary": [{"what", "items"}]}
std::string WriteFindingsJson(const Findings& findings);

// {"statistics": [{"name", "rows": [{"kind", "key", "names", "before", "after", "change"}]}]}
std::string WriteDiffJson(std::span<const StatisticDiff> statistics);

// One document on one line, ending with a line feed; text that is not UTF-8 is replaced, not thrown.
std::string DumpDocument(const nlohmann::ordered_json& document);

} // namespace app::formats
