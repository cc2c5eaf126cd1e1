#include "app/formats/StatisticTable.h"

#include <charconv>
#include <utility>

namespace app::formats
{

Cell Cell::Text(std::string text)
{
    return Cell{std::move(text)};
}

Cell Cell::Object(std::string name)
{
    return Cell{std::move(name)};
}

Cell Cell::Counter(std::uint64_t count)
{
    // The list reads a counter's low 32 bits as a signed integer.
    return Cell{std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(count))), count};
}

Cell Cell::Percent(float share)
{
    // Shown with one decimal as printf's "%.1f" does, whatever the locale's decimal point.
    char text[64];
    const auto written =
        std::to_chars(text, text + sizeof text, static_cast<double>(share), std::chars_format::fixed, 1);
    return Cell{std::string(text, written.ptr), 0, share};
}

std::vector<Column> DistributionValueColumns()
{
    return {{"Value", ColumnKind::Text}, {"Count", ColumnKind::Counter}, {"%", ColumnKind::Percent}};
}

ValueLine MakeValueLine(int argument, std::string label, std::uint64_t count, float share)
{
    return {{Cell::Text(std::move(label)), Cell::Counter(count), Cell::Percent(share)}, argument};
}

} // namespace app::formats
