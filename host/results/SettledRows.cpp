#include "host/results/SettledRows.h"

#include "host/results/ResultColumnFilter.h"

#include <memory>

namespace
{

struct IteratorDeleter
{
    void operator()(FilteredDataList::IDataIterator* p) const { p->Destroy(); }
};
// Iterators belong to whoever asked for them and go back through Destroy.
using IteratorPtr = std::unique_ptr<FilteredDataList::IDataIterator, IteratorDeleter>;

ResultColumnFilter* ColumnOf(const FilteredDataList& list, int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= list.FilterCount())
        return nullptr;
    return dynamic_cast<ResultColumnFilter*>(list.GetFilter(static_cast<std::size_t>(column)));
}

// Reads the cells of a row that the filters and the sort need, and no further.
class RowReader
{
public:
    RowReader(const FilteredDataList& list, int sortColumn) : m_sortColumn(sortColumn)
    {
        for (int k = 0; k < static_cast<int>(list.FilterCount()); ++k)
        {
            ResultColumnFilter* pColumn = ColumnOf(list, k);
            const bool bFiltering = pColumn != nullptr && pColumn->HasCriterion() && pColumn->IsEnabled();
            m_filtering.push_back(bFiltering ? pColumn : nullptr);
            if (bFiltering || k == sortColumn)
                m_lastNeeded = k;
        }
        m_pSortColumn = ColumnOf(list, sortColumn);
        m_cells.resize(static_cast<std::size_t>(m_lastNeeded + 1));
    }

    // Whether the row passes the filters; its sort cell is then SortCell().
    bool Read(FilteredDataList::IDataSource& source, const void* pRow)
    {
        if (m_lastNeeded < 0)
            return true;
        // Cell addresses may point into the column iterator: read them while it lives.
        const IteratorPtr cellIt(source.CreateColumnIterator(pRow));
        for (int k = 0; k <= m_lastNeeded; ++k)
        {
            const void* pCell = cellIt ? cellIt->Next() : nullptr;
            ResultCell& cell = m_cells[static_cast<std::size_t>(k)];
            if (const ResultColumnFilter* pFilter = m_filtering[static_cast<std::size_t>(k)])
            {
                pFilter->UpdateCell(cell, pCell);
                if (!pFilter->Passes(cell))
                    return false;
            }
            else if (k == m_sortColumn)
                m_pSortColumn->UpdateCell(cell, pCell);
        }
        return true;
    }

    const ResultCell& SortCell() const { return m_cells[static_cast<std::size_t>(m_sortColumn)]; }

private:
    int m_sortColumn;
    const ResultColumnFilter* m_pSortColumn = nullptr;
    // The filter of each column that has one in force, else null.
    std::vector<const ResultColumnFilter*> m_filtering;
    int m_lastNeeded = -1;
    std::vector<ResultCell> m_cells;
};

} // namespace

void SettledRows::Forget()
{
    m_rows.clear();
    m_bStale = false;
}

void SettledRows::Settle(const FilteredDataList* pList, int sortColumn, bool bDescending)
{
    m_bStale = false;
    ++m_nSettles;
    m_rows.clear();
    FilteredDataList::IDataSource* pSource = pList != nullptr ? pList->GetSource() : nullptr;
    // A cleared list's source may still hold the rows it had; they are no longer the list's.
    if (pSource == nullptr || pList->IsCleared())
        return;
    const FilteredDataList& list = *pList;
    const ResultColumnFilter* pSortColumn = ColumnOf(list, sortColumn);
    if (pSortColumn == nullptr)
        sortColumn = -1;
    else
        m_keys.Start(pSortColumn->cellType, bDescending);

    // The walk gives the source's order, which decides the unsorted order and between equal keys.
    RowReader reader(list, sortColumn);
    const IteratorPtr rows(pSource->CreateRowIterator());
    while (rows)
    {
        const void* pRow = rows->Next();
        if (pRow == nullptr)
            break;
        if (!reader.Read(*pSource, pRow))
            continue;
        if (sortColumn < 0)
            m_rows.push_back(pRow);
        else
            m_keys.Add(pRow, reader.SortCell());
    }
    if (sortColumn >= 0)
        m_keys.SortInto(m_rows);
}
