#include "host/results/FilteredListControl.h"

#include "host/ui/HostServices.h"

#include <algorithm>
#include <memory>
#include <unordered_set>
#include <utility>

namespace
{

struct IteratorDeleter
{
    void operator()(FilteredDataList::IDataIterator* p) const { p->Destroy(); }
};
// Iterators belong to whoever asked for them and go back through Destroy.
using IteratorPtr = std::unique_ptr<FilteredDataList::IDataIterator, IteratorDeleter>;

} // namespace

BaseFilteredListControl::BaseFilteredListControl() = default;

BaseFilteredListControl::~BaseFilteredListControl()
{
    if (m_pList != nullptr)
        m_pList->DetachView(this);
}

BOOL BaseFilteredListControl::CreateWnd(CWnd* pParent, UINT nID, const RECT& rect)
{
    return CreateEx(0, L"FilteredListControl", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, pParent, nID);
}

void BaseFilteredListControl::SetResultName(const CStdStr<wchar_t>& name)
{
    m_resultName = name;
}

void BaseFilteredListControl::BindList(FilteredDataList* pList)
{
    if (pList != m_pList)
    {
        if (m_pList != nullptr)
            m_pList->DetachView(this);
        m_pList = pList;
        if (m_pList != nullptr)
            m_pList->AttachView(this);
        // Addresses of another list's rows mean nothing here.
        m_settled.Forget();
        m_selection.clear();
        m_bReselecting = false;
        NotifyIfSelectionChanged();
    }
    m_settled.MarkStale();
}

ResultColumnFilter* BaseFilteredListControl::Column(int column) const
{
    if (m_pList == nullptr || column < 0 || static_cast<std::size_t>(column) >= m_pList->FilterCount())
        return nullptr;
    return dynamic_cast<ResultColumnFilter*>(m_pList->GetFilter(static_cast<std::size_t>(column)));
}

int BaseFilteredListControl::ColumnCount() const
{
    return m_pList != nullptr ? static_cast<int>(m_pList->FilterCount()) : 0;
}

const ResultColumnFilter* BaseFilteredListControl::GetColumn(int column) const
{
    return Column(column);
}

void BaseFilteredListControl::SetSort(int column, int direction)
{
    if (column == m_nSortColumn && direction == m_nSortDirection)
        return;
    m_nSortColumn = column;
    m_nSortDirection = direction;
    m_settled.MarkStale();
}

bool BaseFilteredListControl::SetColumnFilter(int column, const FilterCriterion& criterion)
{
    ResultColumnFilter* pColumn = Column(column);
    if (pColumn == nullptr || !pColumn->SetCriterion(criterion))
        return false;
    // The filters belong to the list: every control that shows it must filter its rows again.
    m_pList->ColumnsChanged();
    return true;
}

bool BaseFilteredListControl::AddColumnFilter(int column, const FilterCriterion& criterion)
{
    ResultColumnFilter* pColumn = Column(column);
    if (pColumn == nullptr || !pColumn->AddCriterion(criterion))
        return false;
    m_pList->ColumnsChanged();
    return true;
}

const FilterCriterion* BaseFilteredListControl::GetColumnFilter(int column) const
{
    const ResultColumnFilter* pColumn = Column(column);
    return pColumn != nullptr ? &pColumn->GetCriterion() : nullptr;
}

const std::vector<const void*>& BaseFilteredListControl::ShownRows()
{
    Settle();
    return m_settled.Rows();
}

void BaseFilteredListControl::Settle()
{
    if (!m_settled.IsStale() || m_bSettling)
        return;
    struct SettlingGuard
    {
        bool& flag;
        explicit SettlingGuard(bool& b) : flag(b) { flag = true; }
        ~SettlingGuard() { flag = false; }
    };
    {
        const SettlingGuard guard(m_bSettling);
        // Consumers read the rows as they were; their reads must not settle again.
        if (m_pList != nullptr)
            m_pList->NotifyBeforeRefresh();
        m_settled.Settle(m_pList, m_nSortColumn, m_nSortDirection == SortDescending);
        KeepShownSelection();
    }
    // A refresh leaves the selection to the consumers: one that selects in OnAfterRefresh (a window
    // that finds its selected row again by key) selects anew, and the parent hears of it even when it
    // names the same rows, so that what hangs on the selection is read again.
    std::vector<const void*> kept;
    kept.swap(m_selection);
    m_bReselecting = true;
    if (m_pList != nullptr)
        m_pList->NotifyAfterRefresh();
    // Nobody selected: the rows still shown stay selected.
    if (std::exchange(m_bReselecting, false))
        m_selection.swap(kept);
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::KeepShownSelection()
{
    if (m_selection.empty())
        return;
    const std::vector<const void*>& rows = m_settled.Rows();
    std::vector<const void*> kept;
    if (m_selection.size() <= 8)
    {
        for (const void* pRow : rows)
            if (std::find(m_selection.begin(), m_selection.end(), pRow) != m_selection.end())
                kept.push_back(pRow);
    }
    else
    {
        const std::unordered_set<const void*> selected(m_selection.begin(), m_selection.end());
        for (const void* pRow : rows)
            if (selected.contains(pRow))
                kept.push_back(pRow);
    }
    m_selection.swap(kept);
}

void BaseFilteredListControl::OnRowChanged(const void* /*pRow*/)
{
    m_settled.MarkStale();
}

void BaseFilteredListControl::OnRowsCleared()
{
    // The rows may be freed already: drop the addresses, never look at them.
    m_settled.Forget();
    m_selection.clear();
    m_bReselecting = false;
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::OnRowsInvalidated()
{
    m_settled.MarkStale();
}

void BaseFilteredListControl::OnBraceClosed()
{
    Settle();
}

void BaseFilteredListControl::SetSelection(int index)
{
    const std::vector<const void*>& rows = ShownRows();
    m_selection.clear();
    if (index >= 0 && static_cast<std::size_t>(index) < rows.size())
        m_selection.push_back(rows[static_cast<std::size_t>(index)]);
    SelectionMade();
}

void BaseFilteredListControl::SetSelection(const void* pRow)
{
    const std::vector<const void*>& rows = ShownRows();
    m_selection.clear();
    if (pRow != nullptr && std::find(rows.begin(), rows.end(), pRow) != rows.end())
        m_selection.push_back(pRow);
    SelectionMade();
}

void BaseFilteredListControl::AddToSelection(int index)
{
    const std::vector<const void*>& rows = ShownRows();
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size())
        return;
    const void* pAdded = rows[static_cast<std::size_t>(index)];
    if (std::find(m_selection.begin(), m_selection.end(), pAdded) != m_selection.end())
        return;
    // Keep shown order: walk the rows up to the added one and count the selected ones before it.
    std::size_t position = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(index) && position < m_selection.size(); ++i)
        if (rows[i] == m_selection[position])
            ++position;
    m_selection.insert(m_selection.begin() + static_cast<std::ptrdiff_t>(position), pAdded);
    SelectionMade();
}

bool BaseFilteredListControl::HasSelection()
{
    Settle();
    return !m_selection.empty();
}

int BaseFilteredListControl::RowCount()
{
    return GetItemCount();
}

std::wstring BaseFilteredListControl::GetCellText(int index, int column)
{
    const std::vector<const void*>& rows = ShownRows();
    const ResultColumnFilter* pColumn = Column(column);
    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    if (pColumn == nullptr || pSource == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= rows.size())
        return {};
    const IteratorPtr cellIt(pSource->CreateColumnIterator(rows[static_cast<std::size_t>(index)]));
    const void* pCell = nullptr;
    for (int k = 0; cellIt && k <= column; ++k)
        pCell = cellIt->Next();
    if (pCell == nullptr)
        return {};
    ResultCell cell;
    pColumn->UpdateCell(cell, pCell);
    return pColumn->FormatCell(cell);
}

std::wstring BaseFilteredListControl::RenderText()
{
    const std::vector<const void*>& rows = ShownRows();
    const int nColumns = ColumnCount();
    std::vector<const ResultColumnFilter*> columns;
    std::wstring out;
    for (int k = 0; k < nColumns; ++k)
    {
        columns.push_back(Column(k));
        if (k > 0)
            out += L'\t';
        if (columns.back() != nullptr)
            out += columns.back()->title;
    }
    out += L'\n';

    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    ResultCell cell;
    for (const void* pRow : rows)
    {
        const IteratorPtr cellIt(pSource != nullptr ? pSource->CreateColumnIterator(pRow) : nullptr);
        for (int k = 0; k < nColumns; ++k)
        {
            if (k > 0)
                out += L'\t';
            const void* pCell = cellIt ? cellIt->Next() : nullptr;
            if (pCell == nullptr || columns[k] == nullptr)
                continue;
            columns[k]->UpdateCell(cell, pCell);
            columns[k]->AppendCell(out, cell);
        }
        out += L'\n';
    }
    return out;
}

void BaseFilteredListControl::CopyToClipboard()
{
    std::wstring textToCopy = RenderText();
    if (ov::g_serviceProviderInstance == nullptr)
        return;
    // The host registers its clipboard under this number; looked up at each use, never kept.
    auto* pClipboard =
        static_cast<IClipboardService*>(ov::g_serviceProviderInstance->GetService(ov::ServiceClipboard));
    // The host's own clipboard takes the text over: a long list's copy is megabytes.
    if (auto* pHostClipboard = dynamic_cast<ClipboardService*>(pClipboard))
        pHostClipboard->TakeClipboardText(std::move(textToCopy));
    else if (pClipboard != nullptr)
        pClipboard->SetClipboardText(textToCopy.c_str());
}

void BaseFilteredListControl::NotifySelectionChanged()
{
    if (m_hWnd == nullptr)
        return;
    CWnd* pParent = GetParent();
    if (pParent == nullptr)
        return;
    NMHDR header;
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    header.code = NM_LIST_SELCHANGED;
    pParent->SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void BaseFilteredListControl::NotifyIfSelectionChanged()
{
    if (m_selection == m_notifiedSelection)
        return;
    m_notifiedSelection = m_selection;
    NotifySelectionChanged();
}

void BaseFilteredListControl::SelectionMade()
{
    if (!std::exchange(m_bReselecting, false))
    {
        NotifyIfSelectionChanged();
        return;
    }
    m_notifiedSelection = m_selection;
    NotifySelectionChanged();
}
