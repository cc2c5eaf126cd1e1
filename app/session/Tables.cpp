#include "app/session/Tables.h"

#include "host/base/Guid.h"
#include "host/base/TextCodec.h"
#include "host/results/ResultColumnFilter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace app
{

namespace
{

using formats::Cell;
using formats::Column;
using formats::ColumnKind;
using formats::KeyPart;

struct IteratorDeleter
{
    void operator()(FilteredDataList::IDataIterator* p) const { p->Destroy(); }
};
// Iterators belong to whoever asked for them and go back through Destroy.
using IteratorPtr = std::unique_ptr<FilteredDataList::IDataIterator, IteratorDeleter>;

ColumnKind KindOf(CellType type)
{
    switch (type)
    {
    case CellType::Integer:
        return ColumnKind::Counter;
    case CellType::Float:
        return ColumnKind::Percent;
    case CellType::ObjectGUID:
        return ColumnKind::Object;
    case CellType::Text:
        break;
    }
    return ColumnKind::Text;
}

// The columns of a list control and what reads their cells.
struct ListColumns
{
    std::vector<const ResultColumnFilter*> filters;
    std::vector<Column> columns;
};

ListColumns ColumnsOf(const BaseFilteredListControl& list)
{
    ListColumns out;
    for (int k = 0; k < list.ColumnCount(); ++k)
    {
        const ResultColumnFilter* pFilter = list.GetColumn(k);
        out.filters.push_back(pFilter);
        out.columns.push_back(pFilter ? Column{text::ToUtf8(pFilter->title), KindOf(pFilter->cellType)}
                                      : Column{});
    }
    return out;
}

// One row read through its list's source: the cells as shown, and the ids of its object cells.
struct RowCells
{
    std::vector<Cell> cells;
    std::vector<GUID> objects;
    // The text of its text cells as the list holds it, for orders by code unit.
    std::vector<std::wstring> texts;
};

// Every integer column of the statistics is handed the address of a 64-bit counter and shows its low
// 32 bits; the table keeps the whole count.
std::uint64_t CounterAt(const void* pCell)
{
    std::uint64_t count = 0;
    std::memcpy(&count, pCell, sizeof count);
    return count;
}

RowCells ReadRow(FilteredDataList::IDataSource& source, const void* pRow, const ListColumns& columns)
{
    RowCells row;
    ResultCell cell;
    const IteratorPtr cellIt(source.CreateColumnIterator(pRow));
    for (const ResultColumnFilter* pFilter : columns.filters)
    {
        const void* pCell = cellIt ? cellIt->Next() : nullptr;
        if (pFilter == nullptr || pCell == nullptr)
        {
            row.cells.push_back(Cell::Text({}));
            continue;
        }
        pFilter->UpdateCell(cell, pCell);
        switch (pFilter->cellType)
        {
        case CellType::Integer:
            row.cells.push_back(Cell::Counter(CounterAt(pCell)));
            break;
        case CellType::Float:
            row.cells.push_back(Cell::Percent(cell.floatValue));
            break;
        case CellType::ObjectGUID:
            row.cells.push_back(Cell::Object(text::ToUtf8(cell.objectName)));
            row.objects.push_back(cell.guid);
            break;
        case CellType::Text:
            row.texts.emplace_back(cell.pText ? cell.pText : L"");
            row.cells.push_back(Cell::Text(text::ToUtf8(row.texts.back())));
            break;
        }
    }
    return row;
}

// The statistic's own key of a row is what its map is keyed by, and each list shows exactly that in
// its text and object columns: the path of "Paths Used", the event and target of "Dialogue Events
// Added", the event of "Dialogue Events Distribution". Objects are keyed by id, since names repeat.
std::vector<KeyPart> KeyOf(const RowCells& row)
{
    std::vector<KeyPart> key;
    for (const std::wstring& text : row.texts)
        key.emplace_back(text::ToUtf8(text));
    for (const GUID& id : row.objects)
        key.emplace_back(guid::ToString(id));
    return key;
}

// A value row is the address of an element of its event's ordered value map, and the element's first
// member is its key, the value's GUID: so the distribution names its value rows to the list. The
// list itself reads only the label, count and share of a value.
GUID ValueIdOfRow(const void* pRow)
{
    GUID id;
    std::memcpy(&id, pRow, sizeof id);
    return id;
}

// The position that a value label "p.Argument:Value" starts with.
int ArgumentOfLabel(std::wstring_view label)
{
    int position = 0;
    std::string digits;
    for (const wchar_t c : label)
    {
        if (c != L'-' && (c < L'0' || c > L'9'))
            break;
        digits += static_cast<char>(c);
    }
    std::from_chars(digits.data(), digits.data() + digits.size(), position);
    return position;
}

// The first count of a row: a value's Count.
std::uint64_t CountOf(const std::vector<Cell>& cells, const std::vector<Column>& columns)
{
    for (std::size_t k = 0; k < cells.size() && k < columns.size(); ++k)
    {
        if (columns[k].kind == ColumnKind::Counter)
            return cells[k].counter;
    }
    return 0;
}

struct ValueEntry
{
    formats::ValueLine line;
    std::wstring label;
    std::uint64_t count = 0;
    // The count of every value of its argument together.
    std::uint64_t total = 0;
};

// The copy orders an event's values by the value list's sort column with a sort that is not stable,
// and reverses them when the list is sorted descending. The same comparisons over the values in the
// same order give the same order, ties included.
void OrderAsCopied(std::vector<ValueEntry*>& values, int sortColumn, bool bDescending)
{
    switch (sortColumn)
    {
    case 0:
        std::sort(values.begin(), values.end(),
                  [](const ValueEntry* a, const ValueEntry* b)
                  { return text::CompareUtf16(a->label, b->label) < 0; });
        break;
    case 1:
        std::sort(values.begin(), values.end(),
                  [](const ValueEntry* a, const ValueEntry* b) { return a->count < b->count; });
        break;
    case 2:
        std::sort(values.begin(), values.end(),
                  [](const ValueEntry* a, const ValueEntry* b)
                  {
                      return static_cast<float>(a->count) / static_cast<float>(a->total) <
                             static_cast<float>(b->count) / static_cast<float>(b->total);
                  });
        break;
    default:
        break;
    }
    if (bDescending)
        std::reverse(values.begin(), values.end());
}

// Every value of the selected event, whatever the value list's filters hide, in the copy's order.
std::vector<formats::ValueLine> ValueLinesOf(BaseFilteredListControl& values, const ListColumns& columns,
                                             const std::string& eventId)
{
    FilteredDataList* pList = values.GetList();
    FilteredDataList::IDataSource* pSource = pList ? pList->GetSource() : nullptr;
    if (pSource == nullptr)
        return {};
    std::vector<ValueEntry> entries;
    const IteratorPtr rowIt(pSource->CreateRowIterator());
    while (const void* pRow = rowIt ? rowIt->Next() : nullptr)
    {
        RowCells row = ReadRow(*pSource, pRow, columns);
        ValueEntry entry;
        entry.label = row.texts.empty() ? std::wstring() : std::move(row.texts.front());
        entry.count = CountOf(row.cells, columns.columns);
        entry.line.argument = ArgumentOfLabel(entry.label);
        entry.line.cells = std::move(row.cells);
        entry.line.key = {eventId, std::int64_t{entry.line.argument}, guid::ToString(ValueIdOfRow(pRow))};
        entries.push_back(std::move(entry));
    }
    // The values of one argument come together, and its total is what they counted together.
    for (std::size_t first = 0; first < entries.size();)
    {
        std::size_t end = first;
        std::uint64_t total = 0;
        for (; end < entries.size() && entries[end].line.argument == entries[first].line.argument; ++end)
            total += entries[end].count;
        for (; first < end; ++first)
            entries[first].total = total;
    }

    std::vector<ValueEntry*> ordered;
    for (ValueEntry& entry : entries)
        ordered.push_back(&entry);
    OrderAsCopied(ordered, values.GetSortColumn(),
                  values.GetSortDirection() == BaseFilteredListControl::SortDescending);
    std::vector<formats::ValueLine> lines;
    lines.reserve(ordered.size());
    for (ValueEntry* pEntry : ordered)
        lines.push_back(std::move(pEntry->line));
    return lines;
}

const void* FirstSelectedRow(BaseFilteredListControl& list)
{
    std::vector<CSmartPtr<NyLcRow>> rows;
    list.GetSelectedRows(rows);
    return rows.empty() ? nullptr : rows.front()->GetData();
}

void ReadRows(BaseFilteredListControl& list, BaseFilteredListControl* pValues, formats::StatisticTable& table)
{
    FilteredDataList* pList = list.GetList();
    FilteredDataList::IDataSource* pSource = pList ? pList->GetSource() : nullptr;
    if (pSource == nullptr)
        return;
    const ListColumns columns = ColumnsOf(list);
    table.columns = columns.columns;
    ListColumns valueColumns;
    if (pValues != nullptr)
    {
        valueColumns = ColumnsOf(*pValues);
        table.valueColumns = valueColumns.columns;
    }
    // The value list shows the selected event: each event is selected in turn, as a user would, and
    // the selection the user had is given back.
    const void* pSelected = pValues ? FirstSelectedRow(list) : nullptr;
    for (int index = 0; index < list.RowCount(); ++index)
    {
        const CSmartPtr<NyLcRow> shown = list.GetRow(index, 0);
        if (!shown)
            break;
        RowCells cells = ReadRow(*pSource, shown->GetData(), columns);
        formats::Row row;
        row.key = KeyOf(cells);
        row.cells = std::move(cells.cells);
        if (pValues != nullptr && !cells.objects.empty())
        {
            list.SetSelection(index);
            row.values = ValueLinesOf(*pValues, valueColumns, guid::ToString(cells.objects.front()));
        }
        table.rows.push_back(std::move(row));
    }
    if (pValues != nullptr)
        list.SetSelection(pSelected);
}

} // namespace

std::optional<formats::StatisticTable> ShownTable(Gathering& gathering, std::wstring_view statistic)
{
    if (gathering.Selected() != statistic && !gathering.Select(statistic))
        return std::nullopt;
    const StatisticLists lists = gathering.Lists();
    if (lists.pMain == nullptr)
        return std::nullopt;
    formats::StatisticTable table;
    table.name = text::ToUtf8(statistic);
    table.inSync = !gathering.Warning().has_value();
    ReadRows(*lists.pMain, lists.pValues, table);
    return table;
}

} // namespace app
