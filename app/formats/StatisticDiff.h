// The rows of one statistic before and after, keyed by the statistic's own keys, for `diff`.
#pragma once

#include "app/formats/StatisticTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app::formats
{

enum class DiffRowKind
{
    // A row of "Paths Used" or "Dialogue Events Added".
    Row,
    // An event row of "Dialogue Events Distribution".
    Event,
    // A value row of "Dialogue Events Distribution".
    Value,
};

struct DiffRow
{
    DiffRowKind kind = DiffRowKind::Row;
    std::vector<KeyPart> key;
    // The names as the list would show them.
    std::vector<std::string> names;
    // The counts on each side; a row seen on one side only counts 0 on the other.
    std::vector<std::uint64_t> before;
    std::vector<std::uint64_t> after;

    std::vector<std::int64_t> Change() const;
    // The largest absolute change among the counts.
    std::uint64_t LargestChange() const;
};

struct StatisticDiff
{
    std::string name;
    // In key order.
    std::vector<DiffRow> rows;
};

// Orders rows by their largest absolute change, descending; ties keep their (key) order.
void OrderByChange(std::vector<DiffRow>& rows);

} // namespace app::formats
