// The list window of the result-list library. It shows the rows of a FilteredDataList, filtered and
// sorted. A change of the list costs O(1): it only marks the shown rows stale. They are settled in one
// pass when they are read or the outermost brace of the list closes.
#pragma once

#include "host/base/StdStr.h"
#include "host/results/FilteredDataList.h"
#include "host/results/NyListCtrl.h"
#include "host/results/ResultColumnFilter.h"
#include "host/results/SettledRows.h"

#include <string>
#include <vector>

class BaseFilteredListControl : public NyListCtrl, private FilteredDataList::IListView
{
public:
    enum SortDirection
    {
        SortAscending = 0,
        SortDescending = 1,
    };

    BaseFilteredListControl();
    ~BaseFilteredListControl() override;

    BOOL CreateWnd(CWnd* pParent, UINT nID, const RECT& rect);
    void SetResultName(const CStdStr<wchar_t>& name);
    const CStdStr<wchar_t>& GetResultName() const { return m_resultName; }

    // Selects the shown row at the index (out of range: nothing), or the row with that address (null
    // or a row not shown: nothing). The parent gets WM_NOTIFY NM_LIST_SELCHANGED when the selection
    // changes, and whenever a consumer selects while answering a refresh (see Settle).
    void SetSelection(int index);
    void SetSelection(const void* pRow);
    void AddToSelection(int index);
    bool HasSelection();
    int RowCount();

    // The sort column (-1: none) and direction; equal keys keep the source's order.
    int GetSortColumn() const { return m_nSortColumn; }
    int GetSortDirection() const { return m_nSortDirection; }
    void SetSort(int column, int direction);

    // The user's filter on a column; false when the column does not exist or the operand does not
    // suit it.
    bool SetColumnFilter(int column, const FilterCriterion& criterion);
    // Adds a condition to the column's filter; rows must meet every condition of every column.
    bool AddColumnFilter(int column, const FilterCriterion& criterion);
    // The user's filter of a column, null when the column does not exist.
    const FilterCriterion* GetColumnFilter(int column) const;

    // The list shown, whose source serves the rows and cells; null when none is.
    FilteredDataList* GetList() const { return m_pList; }
    int ColumnCount() const;
    const ResultColumnFilter* GetColumn(int column) const;
    // The shown text of a cell of a shown row.
    std::wstring GetCellText(int index, int column);

    // Header line of the column titles and one line per shown row, cells joined by tabs, each line
    // ended by a line feed; handed to the clipboard service.
    void CopyToClipboard();
    std::wstring RenderText();

    // How often the shown rows were settled, for checks that nothing settles per change.
    unsigned long SettleCount() const { return m_settled.SettleCount(); }

protected:
    void BindList(FilteredDataList* pList);
    const std::vector<const void*>& ShownRows() override;
    // Settles the shown rows if a change made them stale, between the consumers' OnBeforeRefresh and
    // OnAfterRefresh; the selection keeps the rows still shown.
    void Settle();
    void KeepShownSelection();
    ResultColumnFilter* Column(int column) const;

    void OnRowChanged(const void* pRow) override;
    void OnRowsCleared() override;
    void OnRowsInvalidated() override;
    void OnBraceClosed() override;

    // Sends the parent WM_NOTIFY NM_LIST_SELCHANGED.
    void NotifySelectionChanged();
    // Tells the parent when the selection differs from the one it was last told of, so that one net
    // change gives one notification however many steps made it.
    void NotifyIfSelectionChanged();
    // After the user or a consumer set the selection; one made anew after a refresh is always told.
    void SelectionMade();

    FilteredDataList* m_pList = nullptr;
    SettledRows m_settled;
    std::vector<const void*> m_notifiedSelection;
    CStdStr<wchar_t> m_resultName;
    int m_nSortColumn = -1;
    int m_nSortDirection = SortAscending;
    bool m_bSettling = false;
    // The consumers are answering a refresh and nobody has selected yet.
    bool m_bReselecting = false;
};

class FilteredListControl : public BaseFilteredListControl
{
public:
    // Shows the list (null: nothing).
    void SetSource(FilteredDataList* pList) { BindList(pList); }
};
