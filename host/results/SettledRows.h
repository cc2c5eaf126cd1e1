// The rows a list control shows: those of the list's source that pass the column filters, in the
// order of the sort column, as addresses. A change of the list only marks them stale; they are settled
// again in one walk of the source when they are next read.
#pragma once

#include "host/results/FilteredDataList.h"
#include "host/results/SortKeys.h"

#include <vector>

class SettledRows
{
public:
    const std::vector<const void*>& Rows() const { return m_rows; }
    bool IsStale() const { return m_bStale; }
    void MarkStale() { m_bStale = true; }
    // Drops every address without touching the rows, which may be freed already.
    void Forget();
    // Walks the list's source and keeps the rows that pass the filters, sorted by the column; with no
    // sort column (-1, or one the list lacks) in the source's order. No list: no rows.
    void Settle(const FilteredDataList* pList, int sortColumn, bool bDescending);
    // How often the rows were settled, for checks that nothing settles per change.
    unsigned long SettleCount() const { return m_nSettles; }

private:
    std::vector<const void*> m_rows;
    SortKeys m_keys;
    bool m_bStale = false;
    unsigned long m_nSettles = 0;
};
