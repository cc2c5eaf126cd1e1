#include "host/results/FilteredListControl.h"

#include "host/base/Prefetch.h"
#include "host/base/TextCodec.h"
#include "host/ui/HostServices.h"

#include <algorithm>
#include <cstring>
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

// A number key holds its value as an unsigned integer that orders as the shown order wants: numbers
// ascending (or descending), -0 equal to 0, NaN after every number ascending and before them
// descending, as when the values themselves are compared.
struct NumberKey
{
    std::uint64_t order;
    std::uint32_t rank; // the row's place in source order
    const void* pRow;

    static std::uint64_t OrderOf(double value, bool bDescending)
    {
        std::uint64_t bits = ~std::uint64_t{0};
        if (value == value)
        {
            if (value == 0.0)
                value = 0.0;
            std::memcpy(&bits, &value, sizeof bits);
            // Negative numbers reverse their magnitudes' order; all of them below the positive ones.
            bits = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
        }
        return bDescending ? ~bits : bits;
    }
};

// Text cells point at text that belongs to the row (only the pointer to it may live in the column
// iterator), so the text stays valid while the row exists and is not copied; object names are
// resolved when the row is read and kept in one buffer of the settled rows (pText null).
struct TextKey
{
    const wchar_t* pText;
    std::size_t length;
    std::size_t nameBegin;
    std::uint32_t rank;
    const void* pRow;
};

// Sort order of shown rows: by the key, equal keys in source order in either direction (descending
// reverses the comparison, not the result). A total order, so an unstable sort gives one result.
struct KeyOrder
{
    const std::wstring* pNames;
    bool bDescending;

    std::wstring_view Text(const TextKey& key) const
    {
        return {key.pText ? key.pText : pNames->data() + key.nameBegin, key.length};
    }
    int Compare(const TextKey& a, const TextKey& b) const { return text::CompareUtf16(Text(a), Text(b)); }

    bool operator()(const TextKey& a, const TextKey& b) const
    {
        const int order = bDescending ? Compare(b, a) : Compare(a, b);
        return order != 0 ? order < 0 : a.rank < b.rank;
    }
    // The direction is in the key already; no branch that a sort could mispredict.
    bool operator()(const NumberKey& a, const NumberKey& b) const
    {
        return a.order < b.order || (a.order == b.order && a.rank < b.rank);
    }
};

// One column as a settle uses it; a later settle may merge only while they are all the same.
struct ColumnState
{
    ResultColumnFilter* pColumn = nullptr;
    bool bFiltering = false;
    FilterCriterion criterion;

    bool operator==(const ColumnState& other) const
    {
        return pColumn == other.pColumn && bFiltering == other.bFiltering &&
               criterion.op == other.criterion.op && criterion.text == other.criterion.text &&
               (criterion.number == other.criterion.number ||
                (criterion.number != criterion.number && other.criterion.number != other.criterion.number));
    }
};

} // namespace

struct SettledRows
{
    FilteredDataList::IDataSource* pSource = nullptr;
    std::vector<ColumnState> columns;
    int sortColumn = -1;
    bool bDescending = false;
    CellType keyType = CellType::Integer;
    // Every row of the source in its order; its index is the row's rank.
    std::vector<const void*> sourceRows;
    // Row address to rank, open addressing in a power-of-two table at most half full; made when a
    // merge first needs it.
    struct RankSlot
    {
        const void* pRow = nullptr;
        std::uint32_t rank = 0;
    };
    std::vector<RankSlot> rankOf;
    bool bRanksMade = false;
    // The shown rows in shown order, by the sort column's cell type (unsorted: number keys of 0).
    std::vector<NumberKey> numbers;
    std::vector<TextKey> texts;
    std::wstring names;

    bool TextKeys() const { return sortColumn >= 0 && !IsNumberCell(keyType); }
    KeyOrder Order() const { return KeyOrder{&names, bDescending}; }

    void Add(std::uint32_t rank, const void* pRow, const ResultCell* pCell)
    {
        if (pCell == nullptr)
        {
            numbers.push_back({0, rank, pRow});
            return;
        }
        switch (keyType)
        {
        case CellType::Integer:
            numbers.push_back(
                {NumberKey::OrderOf(static_cast<double>(pCell->intValue), bDescending), rank, pRow});
            break;
        case CellType::Float:
            numbers.push_back(
                {NumberKey::OrderOf(static_cast<double>(pCell->floatValue), bDescending), rank, pRow});
            break;
        case CellType::Text:
        {
            const wchar_t* pText = pCell->pText ? pCell->pText : L"";
            texts.push_back({pText, std::wcslen(pText), 0, rank, pRow});
            break;
        }
        case CellType::ObjectGUID:
            texts.push_back({nullptr, pCell->objectName.size(), names.size(), rank, pRow});
            names += pCell->objectName;
            break;
        }
    }

    // The rank of a row the last full settle saw; false for any other row.
    bool FindRank(const void* pRow, std::uint32_t& rank)
    {
        if (!bRanksMade)
            MakeRanks();
        const std::size_t mask = rankOf.size() - 1;
        for (std::size_t i = SlotOf(pRow) & mask;; i = (i + 1) & mask)
        {
            const RankSlot& slot = rankOf[i];
            if (slot.pRow == pRow)
            {
                rank = slot.rank;
                return true;
            }
            if (slot.pRow == nullptr)
                return false;
        }
    }

    // Asks for the slot of a row that FindRank will look up soon, so that the searches of a long
    // run of changes wait for memory side by side rather than one after the other.
    void PrefetchRank(const void* pRow)
    {
        if (!bRanksMade)
            MakeRanks();
        PrefetchLine(&rankOf[SlotOf(pRow) & (rankOf.size() - 1)]);
    }

    static std::size_t SlotOf(const void* pRow)
    {
        const auto bits = reinterpret_cast<std::uintptr_t>(pRow);
        return static_cast<std::size_t>((bits >> 3) * 0x9E3779B97F4A7C15ull >> 20);
    }

    void MakeRanks()
    {
        std::size_t size = 64;
        while (size < 2 * sourceRows.size())
            size *= 2;
        rankOf.assign(size, RankSlot{});
        const std::size_t mask = size - 1;
        for (std::size_t n = 0; n < sourceRows.size(); ++n)
        {
            std::size_t i = SlotOf(sourceRows[n]) & mask;
            while (rankOf[i].pRow != nullptr)
                i = (i + 1) & mask;
            rankOf[i] = RankSlot{sourceRows[n], static_cast<std::uint32_t>(n)};
        }
        bRanksMade = true;
    }

    // Merges append the names of changed rows; drop the ones no key uses once they dominate.
    void CompactNames()
    {
        std::size_t used = 0;
        for (const TextKey& key : texts)
            if (key.pText == nullptr)
                used += key.length;
        if (names.size() <= 2 * used + 4096)
            return;
        std::wstring compact;
        compact.reserve(used);
        for (TextKey& key : texts)
        {
            if (key.pText != nullptr)
                continue;
            const std::size_t begin = compact.size();
            compact.append(names, key.nameBegin, key.length);
            key.nameBegin = begin;
        }
        names.swap(compact);
    }

    template <class Key> static void ShownRows(const std::vector<Key>& keys, std::vector<const void*>& rows)
    {
        rows.clear();
        rows.reserve(keys.size());
        for (const Key& key : keys)
            rows.push_back(key.pRow);
    }
};

namespace
{

// How many rows ahead of the one being read the next ones are asked for: far enough for their
// loads to overlap, near enough that they are still in the cache when read.
constexpr std::size_t kRowsAhead = 8;

// Starts loading a row of the source, which is read soon: a row's cells are most often in its
// first two cache lines.
void PrefetchRow(const void* pRow)
{
    const auto* const pBytes = static_cast<const char*>(pRow);
    PrefetchLine(pBytes);
    PrefetchLine(pBytes + 64);
}

// Reads the cells of one row that its filters and the sort need.
class RowReader
{
public:
    RowReader(FilteredDataList::IDataSource* pSource, const SettledRows& settled)
        : m_pSource(pSource), m_columns(settled.columns), m_sortColumn(settled.sortColumn),
          m_cells(settled.columns.size())
    {
        for (std::size_t k = 0; k < m_columns.size(); ++k)
            if (m_columns[k].bFiltering)
                m_lastNeeded = static_cast<int>(k);
        m_lastNeeded = std::max(m_lastNeeded, m_sortColumn);
    }

    bool NeedsCells() const { return m_lastNeeded >= 0; }

    // Whether the row passes the filters; its sort cell is then SortCell().
    bool Read(const void* pRow)
    {
        if (m_lastNeeded < 0)
            return true;
        // Cell addresses may point into the column iterator: read them while it lives.
        const IteratorPtr cellIt(m_pSource->CreateColumnIterator(pRow));
        for (int k = 0; k <= m_lastNeeded; ++k)
        {
            const void* pCell = cellIt ? cellIt->Next() : nullptr;
            const ColumnState& column = m_columns[static_cast<std::size_t>(k)];
            if (!column.bFiltering && k != m_sortColumn)
                continue;
            column.pColumn->UpdateCell(m_cells[static_cast<std::size_t>(k)], pCell);
            if (column.bFiltering && !column.pColumn->Passes(m_cells[static_cast<std::size_t>(k)]))
                return false;
        }
        return true;
    }

    const ResultCell* SortCell() const
    {
        return m_sortColumn >= 0 ? &m_cells[static_cast<std::size_t>(m_sortColumn)] : nullptr;
    }

private:
    FilteredDataList::IDataSource* m_pSource;
    const std::vector<ColumnState>& m_columns;
    int m_sortColumn;
    int m_lastNeeded = -1;
    std::vector<ResultCell> m_cells;
};

// The kept keys without the changed rows, merged with the changed rows that pass, all in order, in
// place: kept keys only move up to make room, from the back, and those below the lowest changed row
// stay where they are.
template <class Key>
void MergeKeys(std::vector<Key>& keys, std::vector<Key>& incoming, const std::vector<bool>& changedRank,
               const KeyOrder& order)
{
    std::sort(incoming.begin(), incoming.end(), order);
    // Dropping the changed rows compares no key.
    std::erase_if(keys, [&](const Key& key) { return changedRank[key.rank]; });
    const std::size_t kept = keys.size();
    keys.resize(kept + incoming.size());
    // A few changed rows among many: each finds its place by binary search, so that the kept keys
    // (whose texts lie all over memory) are moved rather than compared one by one.
    const bool bSearch = incoming.size() * 32 < kept;
    const auto begin = keys.begin();
    auto keptEnd = begin + static_cast<std::ptrdiff_t>(kept);
    auto out = keys.end();
    for (auto key = incoming.rbegin(); key != incoming.rend(); ++key)
    {
        auto above = keptEnd;
        if (bSearch)
            above = std::upper_bound(begin, keptEnd, *key, order);
        else
            while (above != begin && order(*key, *(above - 1)))
                --above;
        out = std::move_backward(above, keptEnd, out);
        *--out = *key;
        keptEnd = above;
    }
}

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
        m_pSettled.reset();
    }
    MarkAllStale();
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
    MarkAllStale();
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
        if (!m_bOnlyRowsChanged || !MergeChangedRows())
            RebuildRows();
        m_bOnlyRowsChanged = false;
        m_changed.clear();
        KeepShownSelection();
        ++m_nSettles;
    }
    if (m_pList != nullptr)
        m_pList->NotifyAfterRefresh();
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::RebuildRows()
{
    if (!m_pSettled)
        m_pSettled = std::make_unique<SettledRows>();
    SettledRows& settled = *m_pSettled;
    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    settled.pSource = pSource;
    settled.columns.assign(static_cast<std::size_t>(ColumnCount()), ColumnState{});
    for (std::size_t k = 0; k < settled.columns.size(); ++k)
    {
        ColumnState& column = settled.columns[k];
        column.pColumn = Column(static_cast<int>(k));
        if (column.pColumn != nullptr && column.pColumn->HasCriterion() && column.pColumn->IsEnabled())
        {
            column.bFiltering = true;
            column.criterion = column.pColumn->GetCriterion();
        }
    }
    settled.sortColumn =
        (m_nSortColumn >= 0 && static_cast<std::size_t>(m_nSortColumn) < settled.columns.size() &&
         settled.columns[static_cast<std::size_t>(m_nSortColumn)].pColumn != nullptr)
            ? m_nSortColumn
            : -1;
    settled.bDescending = m_nSortDirection == SortDescending;
    settled.keyType = settled.sortColumn >= 0
                          ? settled.columns[static_cast<std::size_t>(settled.sortColumn)].pColumn->cellType
                          : CellType::Integer;
    settled.sourceRows.clear();
    settled.rankOf.clear();
    settled.bRanksMade = false;
    settled.numbers.clear();
    settled.texts.clear();
    settled.names.clear();

    IteratorPtr rows(pSource != nullptr ? pSource->CreateRowIterator() : nullptr);
    RowReader reader(pSource, settled);
    while (rows)
    {
        const void* pRow = rows->Next();
        if (pRow == nullptr)
            break;
        const auto rank = static_cast<std::uint32_t>(settled.sourceRows.size());
        settled.sourceRows.push_back(pRow);
        if (reader.Read(pRow))
            settled.Add(rank, pRow, reader.SortCell());
    }
    if (settled.TextKeys())
    {
        std::sort(settled.texts.begin(), settled.texts.end(), settled.Order());
        SettledRows::ShownRows(settled.texts, m_rows);
    }
    else
    {
        if (settled.sortColumn >= 0)
            std::sort(settled.numbers.begin(), settled.numbers.end(), settled.Order());
        SettledRows::ShownRows(settled.numbers, m_rows);
    }
}

bool BaseFilteredListControl::MergeChangedRows()
{
    FilteredDataList::IDataSource* pSource = m_pList != nullptr ? m_pList->GetSource() : nullptr;
    if (!m_pSettled || pSource == nullptr || m_pSettled->pSource != pSource)
        return false;
    SettledRows& settled = *m_pSettled;
    // Filters and sort may have been changed on the columns without a word to the list.
    if (settled.columns.size() != static_cast<std::size_t>(ColumnCount()))
        return false;
    for (std::size_t k = 0; k < settled.columns.size(); ++k)
    {
        ColumnState now;
        now.pColumn = Column(static_cast<int>(k));
        if (now.pColumn != nullptr && now.pColumn->HasCriterion() && now.pColumn->IsEnabled())
        {
            now.bFiltering = true;
            now.criterion = now.pColumn->GetCriterion();
        }
        if (!(now == settled.columns[k]))
            return false;
    }

    // Each changed row once, with its rank.
    std::vector<bool> changedRank(settled.sourceRows.size(), false);
    std::vector<std::pair<const void*, std::uint32_t>> changed;
    changed.reserve(std::min(m_changed.size(), settled.sourceRows.size()));
    for (std::size_t i = 0; i < m_changed.size(); ++i)
    {
        if (i + kRowsAhead < m_changed.size())
            settled.PrefetchRank(m_changed[i + kRowsAhead]);
        const void* const pRow = m_changed[i];
        std::uint32_t rank = 0;
        // A new row: only a walk of the source tells where it stands among the others.
        if (!settled.FindRank(pRow, rank))
            return false;
        if (!changedRank[rank])
        {
            changedRank[rank] = true;
            changed.emplace_back(pRow, rank);
        }
    }

    // Many changed rows are read in the order they were shown: their new order is then nearly the
    // old one, which the merge's sort goes through far faster than a shuffle. Rows that were hidden
    // by a filter come last.
    const auto inShownOrder = [&](const auto& keys)
    {
        if (changed.size() * 32 < keys.size())
            return;
        std::vector<std::pair<const void*, std::uint32_t>> ordered;
        ordered.reserve(changed.size());
        std::vector<bool> placed(changedRank.size(), false);
        for (const auto& key : keys)
        {
            if (changedRank[key.rank])
            {
                ordered.emplace_back(key.pRow, key.rank);
                placed[key.rank] = true;
            }
        }
        for (const auto& entry : changed)
            if (!placed[entry.second])
                ordered.push_back(entry);
        changed.swap(ordered);
    };
    if (settled.TextKeys())
        inShownOrder(settled.texts);
    else
        inShownOrder(settled.numbers);

    const std::size_t textsBefore = settled.texts.size(), numbersBefore = settled.numbers.size();
    RowReader reader(pSource, settled);
    for (std::size_t i = 0; i < changed.size(); ++i)
    {
        // Rows are read where they lie, all over the source: ask for the next ones early.
        if (i + kRowsAhead < changed.size())
            PrefetchRow(changed[i + kRowsAhead].first);
        const auto& [pRow, rank] = changed[i];
        if (reader.Read(pRow))
            settled.Add(rank, pRow, reader.SortCell());
    }

    if (settled.TextKeys())
    {
        std::vector<TextKey> incoming(settled.texts.begin() + static_cast<std::ptrdiff_t>(textsBefore),
                                      settled.texts.end());
        settled.texts.resize(textsBefore);
        MergeKeys(settled.texts, incoming, changedRank, settled.Order());
        settled.CompactNames();
        SettledRows::ShownRows(settled.texts, m_rows);
    }
    else
    {
        std::vector<NumberKey> incoming(settled.numbers.begin() + static_cast<std::ptrdiff_t>(numbersBefore),
                                        settled.numbers.end());
        settled.numbers.resize(numbersBefore);
        MergeKeys(settled.numbers, incoming, changedRank, settled.Order());
        SettledRows::ShownRows(settled.numbers, m_rows);
    }
    return true;
}

void BaseFilteredListControl::KeepShownSelection()
{
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

void BaseFilteredListControl::OnRowChanged(const void* pRow)
{
    if (!m_bStale)
        m_bOnlyRowsChanged = true;
    m_bStale = true;
    if (!m_bOnlyRowsChanged)
        return;
    m_changed.push_back(pRow);
    // Repeats are dropped now and then, so that the list stays within twice the rows shown.
    const std::size_t known = m_pSettled ? m_pSettled->sourceRows.size() : 0;
    if (m_changed.size() > 2 * std::max<std::size_t>(known, 256))
    {
        std::sort(m_changed.begin(), m_changed.end());
        m_changed.erase(std::unique(m_changed.begin(), m_changed.end()), m_changed.end());
        // New rows, or so many changed ones that a full settle costs about what a merge would.
        if (2 * m_changed.size() > known)
            MarkAllStale();
    }
}

void BaseFilteredListControl::MarkAllStale()
{
    m_bStale = true;
    m_bOnlyRowsChanged = false;
    m_changed.clear();
}

void BaseFilteredListControl::OnRowsCleared()
{
    // The rows may be freed already: drop the addresses, never look at them.
    m_rows.clear();
    m_selection.clear();
    m_bStale = false;
    m_bOnlyRowsChanged = false;
    m_changed.clear();
    m_pSettled.reset();
    NotifyIfSelectionChanged();
}

void BaseFilteredListControl::OnRowsInvalidated()
{
    MarkAllStale();
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
    // Once the first rows are written, room for all of them at their length: a long list's text
    // grows once instead of doubling its way up through copies of itself.
    constexpr std::size_t kSampleRows = 64;
    const std::size_t titleLength = out.size();
    for (std::size_t nRow = 0; nRow < m_rows.size(); ++nRow)
    {
        if (nRow + kRowsAhead < m_rows.size())
            PrefetchRow(m_rows[nRow + kRowsAhead]);
        if (nRow == kSampleRows && m_rows.size() > 2 * kSampleRows)
            out.reserve(titleLength + (out.size() - titleLength) * m_rows.size() / kSampleRows * 9 / 8);
        const void* const pRow = m_rows[nRow];
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
