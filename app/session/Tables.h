// A statistic's shown list as a table, for the writers of csv and json, for `diff` and for the report:
// the rows in shown order (after the list's sort and filters), the cells as the list shows them with
// the exact counts behind them, each row keyed by the statistic's own keys, and for "Dialogue Events
// Distribution" every event's value lines in the order of its copy.
#pragma once

#include "app/formats/StatisticTable.h"
#include "app/session/Gathering.h"

#include <optional>
#include <string_view>

namespace app
{

// Selects the statistic first when another one is selected (so that a selected statistic keeps its
// sort and filters); nullopt when the selector offers no such name or the statistic has no list
// ("None"). The event list's selection is the same afterwards.
std::optional<formats::StatisticTable> ShownTable(Gathering& gathering, std::wstring_view statistic);

} // namespace app
