#include "app/session/Differences.h"

#include "host/base/Guid.h"
#include "host/base/TextCodec.h"

#include <algorithm>
#include <bit>

namespace app
{

namespace
{

using formats::Cell;
using formats::ColumnKind;
using formats::DiffRow;
using formats::DiffRowKind;
using formats::KeyPart;
using formats::StatisticTable;

void AppendBigEndian(std::string& out, std::uint64_t value)
{
    for (int shift = 56; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendUnit(std::string& out, std::uint32_t unit)
{
    out += static_cast<char>((unit >> 8) & 0xFF);
    out += static_cast<char>(unit & 0xFF);
}

// A character as its UTF-16 code units, a surrogate pair beyond the basic plane.
void AppendUtf16(std::string& out, std::uint32_t c)
{
    if (c < 0x10000)
    {
        AppendUnit(out, c);
        return;
    }
    c -= 0x10000;
    AppendUnit(out, 0xD800 + (c >> 10));
    AppendUnit(out, 0xDC00 + (c & 0x3FF));
}

// The key as bytes whose plain byte order is the key order: a GUID as its two GUIDLess halves, a
// position with its sign bit flipped, a path as its UTF-16 code units; all big-endian. A path always
// holds a colon after its event's name, so it never reads as a GUID.
std::string OrderOf(const std::vector<KeyPart>& key)
{
    std::string order;
    for (const KeyPart& part : key)
    {
        if (const auto* pPosition = std::get_if<std::int64_t>(&part))
        {
            AppendBigEndian(order, std::bit_cast<std::uint64_t>(*pPosition) ^ (std::uint64_t{1} << 63));
            continue;
        }
        const std::string& text = std::get<std::string>(part);
        if (const std::optional<GUID> id = guid::Parse(text))
        {
            AppendBigEndian(order, GUIDLess::Half(*id, 0));
            AppendBigEndian(order, GUIDLess::Half(*id, 1));
            continue;
        }
        for (const wchar_t c : text::FromUtf8(text))
            AppendUtf16(order, static_cast<std::uint32_t>(c));
    }
    return order;
}

// One row of one side, to be matched with the other side's by its key.
struct Entry
{
    std::string order;
    formats::Row* pRow = nullptr;
    // A value row: the value line of the event row.
    formats::ValueLine* pLine = nullptr;
};

std::vector<Entry> EntriesOf(StatisticTable& table)
{
    std::vector<Entry> entries;
    for (formats::Row& row : table.rows)
    {
        entries.push_back({OrderOf(row.key), &row, nullptr});
        for (formats::ValueLine& line : row.values)
            entries.push_back({OrderOf(line.key), &row, &line});
    }
    // The list shows its rows in key order unless sorted; a sorted one is put back in key order.
    const auto byOrder = [](const Entry& a, const Entry& b)
    {
        return a.order < b.order;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), byOrder))
        std::sort(entries.begin(), entries.end(), byOrder);
    return entries;
}

// The counts of a row are its counter cells; its names the other cells, a value's its event's name
// and its label.
std::vector<std::uint64_t> CountsOf(const StatisticTable& table, const Entry& entry)
{
    std::vector<std::uint64_t> counts;
    const std::vector<formats::Column>& columns = entry.pLine ? table.valueColumns : table.columns;
    const std::vector<Cell>& cells = entry.pLine ? entry.pLine->cells : entry.pRow->cells;
    for (std::size_t k = 0; k < cells.size() && k < columns.size(); ++k)
    {
        if (columns[k].kind == ColumnKind::Counter)
            counts.push_back(cells[k].counter);
    }
    return counts;
}

std::vector<std::string> NamesOf(const StatisticTable& table, const Entry& entry)
{
    std::vector<std::string> names;
    for (std::size_t k = 0; k < entry.pRow->cells.size() && k < table.columns.size(); ++k)
    {
        if (table.columns[k].kind != ColumnKind::Counter)
            names.push_back(entry.pRow->cells[k].text);
    }
    if (entry.pLine != nullptr)
    {
        names.resize(1);
        names.push_back(entry.pLine->cells.empty() ? std::string() : entry.pLine->cells.front().text);
    }
    return names;
}

DiffRow RowOf(const StatisticTable& table, Entry& entry, bool bAfter)
{
    DiffRow row;
    row.kind = entry.pLine ? DiffRowKind::Value : table.HasValues() ? DiffRowKind::Event : DiffRowKind::Row;
    row.key = std::move(entry.pLine ? entry.pLine->key : entry.pRow->key);
    row.names = NamesOf(table, entry);
    (bAfter ? row.after : row.before) = CountsOf(table, entry);
    // A value's Count follows its event's Added and Played.
    if (entry.pLine != nullptr)
    {
        Entry event{{}, entry.pRow, nullptr};
        row.firstCount = CountsOf(table, event).size();
    }
    return row;
}

// "Dialogue Event Name" is keyed by "Dialogue Event Id", "Target Object" by "Target Object Id".
std::string IdTitle(std::string title)
{
    if (title.ends_with(" Name"))
        title.resize(title.size() - 5);
    return title + " Id";
}

void SetColumns(const StatisticTable& table, formats::StatisticDiff& diff)
{
    for (const formats::Column& column : table.columns)
    {
        if (column.kind == ColumnKind::Counter)
            diff.countColumns.push_back(column.title);
        else
            diff.nameColumns.push_back(column.title);
        if (column.kind == ColumnKind::Object)
            diff.keyColumns.push_back(IdTitle(column.title));
    }
    if (table.HasValues())
    {
        diff.nameColumns.push_back("Value");
        diff.keyColumns.insert(diff.keyColumns.end(), {"Argument", "Value Id"});
        diff.countColumns.push_back("Count");
    }
}

} // namespace

formats::StatisticDiff Difference(StatisticTable before, StatisticTable after)
{
    formats::StatisticDiff diff;
    diff.name = after.name;
    SetColumns(after, diff);

    std::vector<Entry> was = EntriesOf(before);
    std::vector<Entry> is = EntriesOf(after);
    diff.rows.reserve(std::max(was.size(), is.size()));
    std::size_t i = 0, j = 0;
    while (i < was.size() || j < is.size())
    {
        const bool bBefore = i < was.size() && (j == is.size() || was[i].order <= is[j].order);
        const bool bAfter = j < is.size() && (i == was.size() || is[j].order <= was[i].order);
        DiffRow row = bAfter ? RowOf(after, is[j], true) : RowOf(before, was[i], false);
        if (bBefore && bAfter)
            row.before = CountsOf(before, was[i]);
        // A side without the row counts 0 there.
        if (row.before.empty())
            row.before.assign(row.after.size(), 0);
        if (row.after.empty())
            row.after.assign(row.before.size(), 0);
        diff.rows.push_back(std::move(row));
        i += bBefore ? 1 : 0;
        j += bAfter ? 1 : 0;
    }
    return diff;
}

} // namespace app
