#include "host/results/SettledRows.h"

#include "host/results/ResultColumnFilter.h"

#include <memory>
#include <utility>

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
            criteria.push_back(bFiltering ? pColumn->GetCriteria() : std::vector<FilterCriterion>{});
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
    // Each column's filters in force.
    std::vector<std::vector<FilterCriterion>> criteria;

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
    m_bWalk = true;
}

void SettledRows::RowChanged(const void* pRow)
{
    m_bStale = true;
    // Beyond one row in eight, a walk costs about what a merge would.
    m_bWalk = m_bWalk || m_changed.size() * 8 >= m_sourceRows.size();
    if (!m_bWalk)
        m_changed.push_back(pRow);
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
    RowReader reader(list, sortColumn);
    // Unsorted rows keep the source's order, which a walk gives cheaply: it keeps no ranks for them, so
    // their changes are not even collected. Object names are resolved afresh by a walk only, as the rows
    // of a renamed object are not announced.
    const bool bMerge = !std::exchange(m_bWalk, false) && sortColumn >= 0 &&
                        pSortColumn->cellType != CellType::ObjectGUID && reader.criteria == m_criteria;
    m_criteria = reader.criteria;
    if (bMerge && Merge(list, sortColumn, std::exchange(m_changed, {})))
        return;
    m_changed.clear();
    m_sourceRows.clear();
    m_rankOf.clear();
    if (sortColumn >= 0)
        m_keys.Start(pSortColumn->cellType, bDescending);

    // The walk gives the source's order, which decides the unsorted order and between equal keys.
    const IteratorPtr rows(pSource->CreateRowIterator());
    while (rows)
    {
        const void* pRow = rows->Next();
        if (pRow == nullptr)
            break;
        if (sortColumn >= 0)
            m_sourceRows.push_back(pRow);
        if (!reader.Read(*pSource, pRow))
            continue;
        if (sortColumn < 0)
            m_rows.push_back(pRow);
        else
            m_keys.Add(pRow, static_cast<std::uint32_t>(m_sourceRows.size() - 1), reader.SortCell());
    }
    if (sortColumn >= 0)
        m_keys.SortInto(m_rows);
}

bool SettledRows::Merge(const FilteredDataList& list, int sortColumn,
                        const std::vector<const void*>& changedRows)
{
    RowReader reader(list, sortColumn);
    // Ranks by address, from the first merge after a walk on.
    if (m_rankOf.empty())
        for (std::size_t n = 0; n < m_sourceRows.size(); ++n)
            m_rankOf.emplace(m_sourceRows[n], static_cast<std::uint32_t>(n));
    std::vector<bool> changed(m_sourceRows.size());
    for (const void* pRow : changedRows)
    {
        const auto rank = m_rankOf.find(pRow);
        // A new row: only a walk of the source tells where it stands among the others.
        if (rank == m_rankOf.end())
            return false;
        if (!changed[rank->second] && reader.Read(*list.GetSource(), pRow))
            m_keys.Add(pRow, rank->second, reader.SortCell());
        changed[rank->second] = true;
    }
    m_keys.SortInto(m_rows, &changed);
    return true;
}
