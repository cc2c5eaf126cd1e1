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
    // The count column that the first count falls under in the statistic's table: a value row's Count
    // follows its event's Added and Played.
    std::size_t firstCount = 0;

    std::vector<std::int64_t> Change() const;
    // The largest absolute change among the counts.
    std::uint64_t LargestChange() const;
};

struct StatisticDiff
{
    std::string name;
    // In key order.
    std::vector<DiffRow> rows;
    // The titles of the tsv and csv tables: the names, the ids (none where the key is the name
    // itself) and the counts.
    std::vector<std::string> nameColumns = {};
    std::vector<std::string> keyColumns = {};
    std::vector<std::string> countColumns = {};
};

// The header of the tsv and csv tables: the names, the ids, then for each count its value before,
// after and the change ("Added before", "Added after", "Added change", ...).
std::vector<std::string> DiffHeader(const StatisticDiff& statistic);
// A row's fields under that header; what the row lacks is empty. Counts are exact.
std::vector<std::string> DiffFields(const StatisticDiff& statistic, const DiffRow& row);

// Orders rows by their largest absolute change, descending; ties keep their (key) order.
void OrderByChange(std::vector<DiffRow>& rows);

} // namespace app::formats
