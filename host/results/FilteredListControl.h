// The list window of the result-list library. It shows the rows of a FilteredDataList, filtered and
// sorted. A change of the list costs O(1): it only marks the shown rows stale. They are settled in one
// pass when they are read or the outermost brace of the list closes.
#pragma once

#include "host/base/StdStr.h"
#include "host/results/FilteredDataList.h"
#include "host/results/ResultColumnFilter.h"
#include "host/ui/Wnd.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// What a list control keeps from one settle to the next (defined with the control).
struct SettledRows;

// A counted reference to one shown row.
class NyLcRow
{
public:
    explicit NyLcRow(const void* pData);

    const void* GetData() const { return m_pData; }
    void AddRef() { ++m_nRefs; }
    void Release();

    // Row references not yet released, for leak checks.
    static long LiveCount();

private:
    ~NyLcRow();

    const void* m_pData;
    int m_nRefs = 0;
};

template <class T> class CSmartPtr
{
public:
    CSmartPtr() = default;
    CSmartPtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CSmartPtr(const CSmartPtr& other) : CSmartPtr(other.m_p) {}
    CSmartPtr(CSmartPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    CSmartPtr& operator=(CSmartPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~CSmartPtr()
    {
        if (m_p)
            m_p->Release();
    }

    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// The rows a list window shows and the user's selection among them.
class NyListCtrl : public CWnd
{
public:
    // The row shown at the index (filter scope 0: among the rows that pass the filters); null past
    // the end.
    CSmartPtr<NyLcRow> GetRow(int index, int filterScope);
    // Appends a reference to every selected row, in shown order.
    void GetSelectedRows(std::vector<CSmartPtr<NyLcRow>>& rows);
    int GetItemCount();

protected:
    // Brings m_rows up to date; called before every read.
    virtual void Settle() = 0;

    std::vector<const void*> m_rows;
    // Selected rows, in shown order.
    std::vector<const void*> m_selection;
};

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
    // changes.
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

    int ColumnCount() const;
    const ResultColumnFilter* GetColumn(int column) const;
    // The shown text of a cell of a shown row.
    std::wstring GetCellText(int index, int column);

    // Header line of the column titles and one line per shown row, cells joined by tabs, each line
    // ended by a line feed; handed to the clipboard service.
    void CopyToClipboard();
    std::wstring RenderText();

    // How often the shown rows were settled, for checks that nothing settles per change.
    unsigned long SettleCount() const { return m_nSettles; }

protected:
    void BindList(FilteredDataList* pList);
    void Settle() override;
    // Walks the source and rebuilds m_rows and the selection; the caller guards the settle.
    void RebuildRows();
    // Places the rows changed since the last settle into the order it kept, without walking the
    // source; false (and nothing changed) when that cannot give what RebuildRows would: a row the last
    // settle did not see, another source, other columns, filters or sort.
    bool MergeChangedRows();
    // The selection keeps the rows still shown, by address, in their new order.
    void KeepShownSelection();
    // Every row must be read again at the next settle.
    void MarkAllStale();
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

    FilteredDataList* m_pList = nullptr;
    std::vector<const void*> m_notifiedSelection;
    CStdStr<wchar_t> m_resultName;
    int m_nSortColumn = -1;
    int m_nSortDirection = SortAscending;
    bool m_bStale = false;
    // Only rows announced in m_changed are stale, so a settle may merge them (see MergeChangedRows).
    bool m_bOnlyRowsChanged = false;
    std::vector<const void*> m_changed;
    // What the last settle saw: every row of the source in its order, and the shown rows' sort keys.
    std::unique_ptr<SettledRows> m_pSettled;
    bool m_bSettling = false;
    unsigned long m_nSettles = 0;
};

class FilteredListControl : public BaseFilteredListControl
{
public:
    // Shows the list (null: nothing).
    void SetSource(FilteredDataList* pList) { BindList(pList); }
};
