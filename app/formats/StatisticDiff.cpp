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

void OrderByChange(std::vector<DiffRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(),
                     [](const DiffRow& a, const DiffRow& b)
                     { return a.LargestChange() > b.LargestChange(); });
}

} // namespace app::formats
