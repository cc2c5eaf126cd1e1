// What changed in one statistic between two gatherings: its rows on either side matched by the
// statistic's own keys, with the counts before and after.
#pragma once

#include "app/formats/StatisticDiff.h"
#include "app/formats/StatisticTable.h"

namespace app
{

// Both tables are the same statistic's. The rows come in key order, the order of the statistic's own
// maps: paths by UTF-16 code units, ids by GUIDLess, an event before its values, values by argument
// position. A row on one side only counts 0 on the other; the names are the after side's where it
// has the row.
// The tables are taken over: their keys move into the rows.
formats::StatisticDiff Difference(formats::StatisticTable before, formats::StatisticTable after);

} // namespace app
