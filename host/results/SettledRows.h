// The rows a list control shows: those of the list's source that pass the column filters, in the
// order of the sort column, as addresses. A change of the list only marks them stale; they are settled
// again when they are next read: by merging the changed rows into the order when only a few known rows
// changed, else in one walk of the source.
#pragma once

#include "host/results/FilteredDataList.h"
#include "host/results/SortKeys.h"

#include <unordered_map>
#include <vector>

class SettledRows
{
public:
    const std::vector<const void*>& Rows() const { return m_rows; }
    bool IsStale() const { return m_bStale; }
    // Every row must be read again.
    void MarkStale() { m_bStale = m_bWalk = true; }
    void RowChanged(const void* pRow);
    // Drops every address without touching the rows, which may be freed already.
    void Forget();
    // Walks the list's source and keeps the rows that pass the filters, sorted by the column; with no
    // sort column (-1, or one the list lacks) in the source's order. No list: no rows.
    void Settle(const FilteredDataList* pList, int sortColumn, bool bDescending);
    // How often the rows were settled, for checks that nothing settles per change.
    unsigned long SettleCount() const { return m_nSettles; }

private:
    // Merges the changed rows into the order; false when one is new.
    bool Merge(const FilteredDataList& list, int sortColumn, const std::vector<const void*>& changedRows);

    std::vector<const void*> m_rows;
    // The rows of the source as the last walk met them, a row's index (its rank) ordering equal keys.
    std::vector<const void*> m_sourceRows;
    std::unordered_map<const void*, std::uint32_t> m_rankOf;
    // Each column's filters in force at the last settle: they may change behind the list's back.
    std::vector<std::vector<FilterCriterion>> m_criteria;
    // Rows changed since the last settle, while they are few and nothing else changed.
    std::vector<const void*> m_changed;
    bool m_bWalk = true;
    SortKeys m_keys;
    bool m_bStale = false;
    unsigned long m_nSettles = 0;
};
