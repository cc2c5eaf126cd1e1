#include "app/formats/StatisticDiff.h"

#include <algorithm>

namespace app::formats
{

namespace
{

std::uint64_t Distance(std::uint64_t a, std::uint64_t b)
{
    return a > b ? a - b : b - a;
}

} // namespace

std::vector<std::int64_t> DiffRow::Change() const
{
    std::vector<std::int64_t> change(std::max(before.size(), after.size()));
    for (std::size_t i = 0; i < change.size(); ++i)
    {
        const std::uint64_t was = i < before.size() ? before[i] : 0;
        const std::uint64_t is = i < after.size() ? after[i] : 0;
        // Two's complement wraps a difference of counts below 2^63 to its signed value.
        change[i] = static_cast<std::int64_t>(is - was);
    }
    return change;
}

std::uint64_t DiffRow::LargestChange() const
{
    std::uint64_t largest = 0;
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i)
    {
        const std::uint64_t was = i < before.size() ? before[i] : 0;
        const std::uint64_t is = i < after.size() ? after[i] : 0;
        largest = std::max(largest, Distance(was, is));
    }
    return largest;
}

std::vector<std::string> DiffHeader(const StatisticDiff& statistic)
{
    std::vector<std::string> header = statistic.nameColumns;
    header.insert(header.end(), statistic.keyColumns.begin(), statistic.keyColumns.end());
    for (const std::string& count : statistic.countColumns)
        header.insert(header.end(), {count + " before", count + " after", count + " change"});
    return header;
}

std::vector<std::string> DiffFields(const StatisticDiff& statistic, const DiffRow& row)
{
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < statistic.nameColumns.size(); ++i)
        fields.push_back(i < row.names.size() ? row.names[i] : std::string());
    for (std::size_t i = 0; i < statistic.keyColumns.size(); ++i)
    {
        if (i >= row.key.size())
            fields.emplace_back();
        else if (const auto* pText = std::get_if<std::string>(&row.key[i]))
            fields.push_back(*pText);
        else
            fields.push_back(std::to_string(std::get<std::int64_t>(row.key[i])));
    }
    const std::vector<std::int64_t> change = row.Change();
    for (std::size_t column = 0; column < statistic.countColumns.size(); ++column)
    {
        const std::size_t i = column - row.firstCount;
        if (column < row.firstCount || i >= change.size())
        {
            fields.insert(fields.end(), 3, std::string());
            continue;
        }
        fields.push_back(std::to_string(i < row.before.size() ? row.before[i] : 0));
        fields.push_back(std::to_string(i < row.after.size() ? row.after[i] : 0));
        fields.push_back(std::to_string(change[i]));
    }
    return fields;
}

void OrderByChange(std::vector<DiffRow>& rows)
{
    // Each row's largest change once, not once per comparison.
    std::vector<std::pair<std::uint64_t, std::size_t>> order;
    order.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        order.emplace_back(rows[i].LargestChange(), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<DiffRow> ordered;
    ordered.reserve(rows.size());
    for (const auto& [largest, index] : order)
        ordered.push_back(std::move(rows[index]));
    rows = std::move(ordered);
}

} // namespace app::formats
