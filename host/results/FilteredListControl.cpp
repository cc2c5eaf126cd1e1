#include "host/results/FilteredListControl.h"

#include "host/base/TextCodec.h"
#include "host/ui/HostServices.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace
{

long s_nLiveRows = 0;

struct IteratorDeleter
{
    void operator()(FilteredDataList::IDataIterator* p) const { p->Destroy(); }
};
// Iterators belong to whoever asked for them and go back through Destroy.
using IteratorPtr = std::unique_ptr<FilteredDataList::IDataIterator, IteratorDeleter>;

bool IsNumberCell(CellType type)
{
    return type == CellType::Integer || type == CellType::Float;
}

// The sort column's values of the shown rows, read once per settle. Text cells point at text that
// belongs to the row (only the pointer to it may live in the column iterator), so the text stays
// valid for the settle and is not copied; object names are resolved now and kept in one buffer.
class SortKeys
{
public:
    explicit SortKeys(CellType type) : m_type(type) {}

    void Add(const void* pRow, const ResultCell& cell)
    {
        switch (m_type)
        {
        case CellType::Integer:
            m_numbers.push_back({static_cast<double>(cell.intValue), pRow});
            break;
        case CellType::Float:
            m_numbers.push_back({static_cast<double>(cell.floatValue), pRow});
            break;
        case CellType::Text:
        {
            const wchar_t* pText = cell.pText ? cell.pText : L"";
            m_texts.push_back({pText, std::wcslen(pText), 0, pRow});
            break;
        }
        case CellType::ObjectGUID:
            m_texts.push_back({nullptr, cell.objectName.size(), m_names.size(), pRow});
            m_names += cell.objectName;
            break;
        }
    }

    void SortInto(std::vector<const void*>& rows, bool bDescending)
    {
        rows.clear();
        if (IsNumberCell(m_type))
            Sort(m_numbers, rows, bDescending);
        else
        {
            for (TextKey& key : m_texts)
                if (key.pText == nullptr)
                    key.pText = m_names.data() + key.nameBegin;
            Sort(m_texts, rows, bDescending);
        }
    }

private:
    struct NumberKey
    {
        double value;
        const void* pRow;

        friend int Compare(const NumberKey& a, const NumberKey& b)
        {
            if (a.value < b.value)
                return -1;
            if (b.value < a.value)
                return 1;
            // NaN after every number keeps the order strict.
            return static_cast<int>(a.value != a.value) - static_cast<int>(b.value != b.value);
        }
    };

    struct TextKey
    {
        const wchar_t* pText;
        std::size_t length;
        std::size_t nameBegin;
        const void* pRow;

        friend int Compare(const TextKey& a, const TextKey& b)
        {
            return text::CompareUtf16({a.pText, a.length}, {b.pText, b.length});
        }
    };

    // Stable in both directions: descending reverses the comparison, not the result, so equal keys
    // keep the source's order.
    template <class Key>
    static void Sort(std::vector<Key>& keys, std::vector<const void*>& rows, bool bDescending)
    {
        if (bDescending)
            std::stable_sort(keys.begin(), keys.end(),
                             [](const Key& a, const Key& b) { return Compare(b, a) < 0; });
        else
            std::stable_sort(keys.begin(), keys.end(),
                             [](const Key& a, const Key& b) { return Compare(a, b) < 0; });
        rows.reserve(keys.size());
        for (const Key& key : keys)
            rows.push_back(key.pRow);
    }

    CellType m_type;
    std::vector<NumberKey> m_numbers;
    std::vector<TextKey> m_texts;
    std::wstring m_names;
};

} // namespace

NyLcRow::NyLcRow(const void* pData) : m_pData(pData)
{
    ++s_nLiveRows;
}

NyLcRow::~NyLcRow()
{
    --s_nLiveRows;
}

void NyLcRow::Release()
{
    if (--m_nRefs <= 0)
        delete this;
}

long NyLcRow::LiveCount()
{
    return s_nLiveRows;
}

CSmartPtr<NyLcRow> NyListCtrl::GetRow(int index, int /*filterScope*/)
{
    Settle();
    if (index < 0 || static_cast<std::size_t>(index) >= m_rows.size())
        return {};
    return CSmartPtr<NyLcRow>(new NyLcRow(m_rows[static_cast<std::size_t>(index)]));
}

void NyListCtrl::GetSelectedRows(std::vector<CSmartPtr<NyLcRow>>& rows)
{
    Settle();
    for (const void* pRow : m_selection)
        rows.emplace_back(new NyLcRow(pRow));
}

int NyListCtrl::GetItemCount()
{
    Settle();
    return static_cast<int>(m_rows.size());
}

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
        m_rows.clear();
        m_selection.clear();
        NotifyIfSelectionChanged();
    }
    m_bStale = true;
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
    m_bStale = true;
}

bool BaseFilteredListControl::SetColumnFilter(int column, const FilterCriterion& criterion)
{
    ResultColumnFilter* pColumn = Column(column);
    if (pColumn == nullptr || !pColumn->SetCriterion(criterion))
        return false;
    // The filters belong to the list: every control that shows it must read its rows again.
    m_pList->FilterChanged();
    return true;
}

bool BaseFilteredListControl::AddColumnFilter(int column, const FilterCriterion& criterion)
{
    ResultColumnFilter* pColumn = Column(column);
    if (pColumn == nullptr || !pColumn->AddCriterion(criterion))
        return false;
    m_pList->FilterChanged();
    return true;
}

const FilterCriterion* BaseFilteredListControl::GetColumnFilter(int column) const
{
    const ResultColumnFilter* pColumn = Column(column);
    return pColumn != nullptr ? &pColumn->GetCriterion() : nullptr;
}

void BaseFilteredListControl::Settle()
{
    if (!m_bStale || m_bSettling)
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
        m_bStale = false;
        RebuildRows();
        ++m_nSettles;
    }
    if (m_pList != nullptr)
        m_pList->NotifyAfterRefresh();
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::RebuildRows()
{
    m_rows.clear();
    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    IteratorPtr rows(pSource != nullptr ? pSource->CreateRowIterator() : nullptr);

    const int nColumns = ColumnCount();
    std::vector<ResultColumnFilter*> columns(static_cast<std::size_t>(nColumns));
    std::vector<bool> filtering(columns.size(), false);
    int lastNeeded = -1;
    for (int k = 0; k < nColumns; ++k)
    {
        columns[k] = Column(k);
        if (columns[k] != nullptr && columns[k]->HasCriterion() && columns[k]->IsEnabled())
        {
            filtering[k] = true;
            lastNeeded = k;
        }
    }
    const int sortColumn =
        (m_nSortColumn >= 0 && m_nSortColumn < nColumns && columns[m_nSortColumn] != nullptr) ? m_nSortColumn
                                                                                              : -1;
    lastNeeded = std::max(lastNeeded, sortColumn);

    std::vector<ResultCell> cells(columns.size());
    SortKeys keys(sortColumn >= 0 ? columns[sortColumn]->cellType : CellType::Integer);

    while (rows)
    {
        const void* pRow = rows->Next();
        if (pRow == nullptr)
            break;
        if (lastNeeded < 0)
        {
            m_rows.push_back(pRow);
            continue;
        }
        // Cell addresses may point into the column iterator: read them while it lives.
        const IteratorPtr cellIt(pSource->CreateColumnIterator(pRow));
        bool bPasses = true;
        for (int k = 0; k <= lastNeeded && bPasses; ++k)
        {
            const void* pCell = cellIt ? cellIt->Next() : nullptr;
            if (!filtering[k] && k != sortColumn)
                continue;
            columns[k]->UpdateCell(cells[k], pCell);
            bPasses = !filtering[k] || columns[k]->Passes(cells[k]);
        }
        if (!bPasses)
            continue;
        if (sortColumn >= 0)
            keys.Add(pRow, cells[sortColumn]);
        else
            m_rows.push_back(pRow);
    }
    if (sortColumn >= 0)
        keys.SortInto(m_rows, m_nSortDirection == SortDescending);

    // The selection keeps the rows still shown, by address, in their new order.
    if (m_selection.empty())
        return;
    std::vector<const void*> kept;
    if (m_selection.size() <= 8)
    {
        for (const void* pRow : m_rows)
            if (std::find(m_selection.begin(), m_selection.end(), pRow) != m_selection.end())
                kept.push_back(pRow);
    }
    else
    {
        const std::unordered_set<const void*> selected(m_selection.begin(), m_selection.end());
        for (const void* pRow : m_rows)
            if (selected.contains(pRow))
                kept.push_back(pRow);
    }
    m_selection.swap(kept);
}

void BaseFilteredListControl::OnRowChanged(const void*)
{
    m_bStale = true;
}

void BaseFilteredListControl::OnRowsCleared()
{
    // The rows may be freed already: drop the addresses, never look at them.
    m_rows.clear();
    m_selection.clear();
    m_bStale = false;
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::OnRowsInvalidated()
{
    m_bStale = true;
}

void BaseFilteredListControl::OnBraceClosed()
{
    Settle();
}

void BaseFilteredListControl::SetSelection(int index)
{
    Settle();
    m_selection.clear();
    if (index >= 0 && static_cast<std::size_t>(index) < m_rows.size())
        m_selection.push_back(m_rows[static_cast<std::size_t>(index)]);
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::SetSelection(const void* pRow)
{
    Settle();
    m_selection.clear();
    if (pRow != nullptr && std::find(m_rows.begin(), m_rows.end(), pRow) != m_rows.end())
        m_selection.push_back(pRow);
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::AddToSelection(int index)
{
    Settle();
    if (index < 0 || static_cast<std::size_t>(index) >= m_rows.size())
        return;
    const void* pAdded = m_rows[static_cast<std::size_t>(index)];
    if (std::find(m_selection.begin(), m_selection.end(), pAdded) != m_selection.end())
        return;
    // Keep shown order: walk the rows up to the added one and count the selected ones before it.
    std::size_t position = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(index) && position < m_selection.size(); ++i)
        if (m_rows[i] == m_selection[position])
            ++position;
    m_selection.insert(m_selection.begin() + static_cast<std::ptrdiff_t>(position), pAdded);
    NotifyIfSelectionChanged();
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
    Settle();
    const ResultColumnFilter* pColumn = Column(column);
    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    if (pColumn == nullptr || pSource == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= m_rows.size())
        return {};
    const IteratorPtr cellIt(pSource->CreateColumnIterator(m_rows[static_cast<std::size_t>(index)]));
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
    Settle();
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
    for (const void* pRow : m_rows)
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
            out += columns[k]->FormatCell(cell);
        }
        out += L'\n';
    }
    return out;
}

void BaseFilteredListControl::CopyToClipboard()
{
    const std::wstring textToCopy = RenderText();
    if (ov::g_serviceProviderInstance == nullptr)
        return;
    // The host registers its clipboard under this number; looked up at each use, never kept.
    auto* pClipboard =
        static_cast<IClipboardService*>(ov::g_serviceProviderInstance->GetService(ov::ServiceClipboard));
    if (pClipboard != nullptr)
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
