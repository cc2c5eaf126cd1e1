#include "results_test_source.h"

#include "host/results/FilteredListControl.h"
#include "host/services/ServiceProvider.h"
#include "host/ui/HostServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

using namespace results_test;
using Op = FilterCriterion::Op;

namespace
{

constexpr UINT kListId = 9999;

class ParentWnd : public CWnd
{
public:
    int selChanges = 0;
    NMHDR lastHeader;
    std::function<void()> onSelChange;

    void OnSelChange(NMHDR* pHeader, LRESULT*)
    {
        ++selChanges;
        lastHeader = *pHeader;
        if (onSelChange)
            onSelChange();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ParentWnd, CWnd)
ON_NOTIFY(NM_LIST_SELCHANGED, kListId, &ParentWnd::OnSelChange)
END_MESSAGE_MAP()

// A consumer that runs what the test gives it around each refresh.
struct RefreshHook : FilteredDataList::IDataConsumer
{
    std::function<void()> before, after;
    void OnItemAddedOrChanged(const void*) override {}
    void OnAllItemsCleared() override {}
    void OnListReset() override {}
    void OnBeforeRefresh() override
    {
        if (before)
            before();
    }
    void OnAfterRefresh() override
    {
        if (after)
            after();
    }
};

FilterCriterion Criterion(Op op, std::wstring text)
{
    FilterCriterion c;
    c.op = op;
    c.text = std::move(text);
    return c;
}

class ListControlTest : public testing::Test
{
protected:
    void SetUp() override
    {
        AddColumns(list);
        list.SetSource(&source);
        ASSERT_TRUE(parent.CreateEx(0, L"Parent", L"", 0, CRect(0, 0, 400, 300), nullptr, 0));
        ASSERT_TRUE(control.CreateWnd(&parent, kListId, CRect(0, 0, 200, 300)));
        control.SetSource(&list);
    }

    // The shown rows as their keys in the source.
    std::vector<int> Shown()
    {
        std::vector<int> keys;
        for (int i = 0; auto pRow = control.GetRow(i, 0); ++i)
            keys.push_back(static_cast<const MapSource::Map::value_type*>(pRow->GetData())->first);
        return keys;
    }

    void AddCounts(std::initializer_list<std::uint64_t> counts)
    {
        int key = 1;
        for (const std::uint64_t count : counts)
        {
            list.ItemAddedOrChanged(
                source.Add(key, Row{L"r" + std::to_wstring(key), count, 0.0f, GUID_NULL}));
            ++key;
        }
    }

    OpenProject open;
    MapSource source;
    FilteredDataList list;
    ParentWnd parent;
    FilteredListControl control;
};

} // namespace

TEST_F(ListControlTest, SortIsStableInBothDirections)
{
    AddCounts({3, 1, 3, 2, 1, 3});
    EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    control.SetSort(1, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 5, 4, 1, 3, 6}));
    // Descending keeps equal keys in source order: not the ascending order reversed.
    control.SetSort(1, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(Shown(), (std::vector<int>{1, 3, 6, 4, 2, 5}));
    EXPECT_EQ(control.GetSortDirection(), 1);
}

TEST_F(ListControlTest, FloatColumnsSortNegativesZerosInfinitiesAndNaN)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float shares[] = {2.5f,  -1.0f, std::numeric_limits<float>::quiet_NaN(), 0.0f, -0.0f, -inf, inf,
                            -2.5f, 2.5f};
    int key = 1;
    for (const float share : shares)
    {
        list.ItemAddedOrChanged(source.Add(key, Row{L"r", 0, share, GUID_NULL}));
        ++key;
    }
    // -0 equals 0, so source order decides between them; NaN goes after every number, and first
    // when descending, as the comparison of the values themselves puts it.
    control.SetSort(2, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Shown(), (std::vector<int>{6, 8, 2, 4, 5, 1, 9, 7, 3}));
    control.SetSort(2, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(Shown(), (std::vector<int>{3, 7, 1, 9, 4, 5, 2, 8, 6}));

    // A changed row takes its place in the same order.
    source.rows[4].share = -inf;
    list.ItemAddedOrChanged(source.Address(4));
    EXPECT_EQ(Shown(), (std::vector<int>{3, 7, 1, 9, 5, 2, 8, 4, 6}));
}

TEST_F(ListControlTest, TextAndObjectColumnsSortByShownTextInUtf16Order)
{
    open.project.AddObject(MakeGuid(1), L"Zed");
    open.project.AddObject(MakeGuid(2), L"alpha");
    open.project.AddObject(MakeGuid(3), L"Beta");
    source.Add(1, Row{L"\uFF21", 0, 0.0f, MakeGuid(2)});
    source.Add(2, Row{L"ab", 0, 0.0f, MakeGuid(9)}); // an object the project lacks shows empty
    source.Add(3, Row{L"\U0001F600", 0, 0.0f, MakeGuid(1)});
    source.Add(4, Row{L"B", 0, 0.0f, GUID_NULL});
    source.Add(5, Row{L"a", 0, 0.0f, MakeGuid(3)});
    list.FilterChanged();

    control.SetSort(0, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Shown(), (std::vector<int>{4, 5, 2, 3, 1}));
    control.SetSort(3, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 4, 5, 3, 1}));
    EXPECT_EQ(control.GetCellText(2, 3), L"Beta");
    EXPECT_EQ(open.project.OutstandingReferences(), 0);
}

TEST_F(ListControlTest, ColumnFiltersSelectRowsAndRefreshEveryControlOfTheList)
{
    AddCounts({3, 1, 3, 2, 1, 3});
    FilteredListControl other;
    other.SetSource(&list);
    EXPECT_EQ(other.RowCount(), 6);

    EXPECT_TRUE(control.SetColumnFilter(1, Criterion(Op::GreaterEqual, L"2")));
    EXPECT_EQ(Shown(), (std::vector<int>{1, 3, 4, 6}));
    EXPECT_EQ(other.RowCount(), 4);
    EXPECT_TRUE(control.SetColumnFilter(0, Criterion(Op::Contains, L"R6")));
    EXPECT_EQ(Shown(), (std::vector<int>{6}));

    EXPECT_FALSE(control.SetColumnFilter(1, Criterion(Op::Less, L"many")));
    EXPECT_FALSE(control.SetColumnFilter(7, Criterion(Op::Contains, L"x")));
    EXPECT_EQ(control.GetColumnFilter(1)->number, 2.0);
    EXPECT_TRUE(control.SetColumnFilter(0, FilterCriterion{}));
    EXPECT_TRUE(control.SetColumnFilter(1, FilterCriterion{}));
    EXPECT_EQ(control.RowCount(), 6);
}

TEST_F(ListControlTest, ChangesOnlyMarkTheRowsStaleUntilReadOrTheOutermostBraceCloses)
{
    control.SetSort(1, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(control.RowCount(), 0);
    const unsigned long settles = control.SettleCount();
    const long cellReads = source.columnIteratorsMade;

    for (int i = 0; i < 1000; ++i)
        list.ItemAddedOrChanged(source.Add(i, Row{L"x", static_cast<std::uint64_t>(i), 0.0f, GUID_NULL}));
    EXPECT_EQ(control.SettleCount(), settles);
    EXPECT_EQ(source.columnIteratorsMade, cellReads);
    EXPECT_EQ(control.RowCount(), 1000);
    EXPECT_EQ(control.SettleCount(), settles + 1);
    EXPECT_EQ(control.GetCellText(0, 1), L"999");
    EXPECT_EQ(control.SettleCount(), settles + 1);

    RefreshHook hook;
    int refreshes = 0;
    hook.after = [&]
    {
        ++refreshes;
    };
    list.AddDataConsumer(&hook);
    list.OpenBrace();
    list.OpenBrace();
    list.ItemAddedOrChanged(source.Add(5000, Row{L"y", 5000, 0.0f, GUID_NULL}));
    list.CloseBrace();
    EXPECT_EQ(refreshes, 0);
    list.CloseBrace();
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(control.SettleCount(), settles + 2);
    list.CloseBrace(); // unbalanced: ignored
    EXPECT_EQ(control.RowCount(), 1001);
    EXPECT_EQ(control.SettleCount(), settles + 2);
    EXPECT_EQ(source.liveIterators, 0);
    list.RemoveDataConsumer(&hook);
}

TEST_F(ListControlTest, ClearingForgetsRowsWithoutTouchingThem)
{
    // Rows in storage of their own, freed before the list hears of it, as a query's Clear does.
    auto pStorage = std::make_unique<MapSource>();
    list.SetSource(pStorage.get());
    for (int key = 0; key < 3; ++key)
        list.ItemAddedOrChanged(pStorage->Add(key, Row{L"gone", 1, 0.0f, GUID_NULL}));
    control.SetSort(0, BaseFilteredListControl::SortAscending);
    control.SetSelection(1);
    ASSERT_EQ(parent.selChanges, 1);
    const unsigned long settles = control.SettleCount();

    pStorage->rows.clear();
    list.ClearAllItems();
    EXPECT_EQ(parent.selChanges, 2);
    EXPECT_FALSE(control.HasSelection());
    EXPECT_EQ(control.RowCount(), 0);
    EXPECT_EQ(control.RenderText(), L"Name\tCount\t%\tObject\n");
    EXPECT_EQ(control.SettleCount(), settles);
    EXPECT_EQ(pStorage->columnIteratorsMade, 3);

    // A run empties and refills the list inside one brace.
    list.OpenBrace();
    list.ClearAllItems();
    list.ItemAddedOrChanged(pStorage->Add(7, Row{L"new", 1, 0.0f, GUID_NULL}));
    list.CloseBrace();
    EXPECT_EQ(control.SettleCount(), settles + 1);
    EXPECT_EQ(control.GetCellText(0, 0), L"new");
    list.SetSource(&source);
}

TEST_F(ListControlTest, AClearedListShowsNoRowsUntilItsSourceIsSetOrARowIsAnnounced)
{
    AddCounts({3, 1, 2});
    ASSERT_EQ(control.RowCount(), 3);
    // The source still holds its rows, as the values of an event that is no longer selected do.
    list.ClearAllItems();
    EXPECT_EQ(control.RowCount(), 0);

    // What the user asks for only orders or hides what is shown.
    control.SetSort(1, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(control.RowCount(), 0);
    EXPECT_TRUE(control.SetColumnFilter(1, Criterion(Op::GreaterEqual, L"1")));
    EXPECT_EQ(control.RowCount(), 0);
    FilteredListControl other;
    other.SetSource(&list);
    EXPECT_EQ(other.RowCount(), 0);

    list.SetSource(&source);
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    list.ClearAllItems();
    list.ItemAddedOrChanged(source.Address(3));
    EXPECT_EQ(other.RowCount(), 3);
}

TEST_F(ListControlTest, SelectionFollowsItsRowsAndTheParentHearsOfEveryChange)
{
    AddCounts({3, 1, 2});
    control.SetSelection(source.Address(1));
    EXPECT_EQ(parent.selChanges, 1);
    EXPECT_EQ(parent.lastHeader.hwndFrom, control.GetSafeHwnd());
    EXPECT_EQ(parent.lastHeader.idFrom, kListId);
    EXPECT_EQ(parent.lastHeader.code, 0x237Eu);
    control.SetSelection(0); // the same row: no change, no notification
    EXPECT_EQ(parent.selChanges, 1);

    // Sorting moves the row, the selection stays on it.
    control.SetSort(1, BaseFilteredListControl::SortAscending);
    std::vector<CSmartPtr<NyLcRow>> selected;
    control.GetSelectedRows(selected);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->GetData(), source.Address(1));
    EXPECT_EQ(Shown(), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(parent.selChanges, 1);

    control.AddToSelection(0);
    selected.clear();
    control.GetSelectedRows(selected);
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0]->GetData(), source.Address(2));
    EXPECT_EQ(parent.selChanges, 2);

    // A row filtered out leaves the selection, and the parent is told once.
    control.SetColumnFilter(1, Criterion(Op::Less, L"3"));
    EXPECT_EQ(control.RowCount(), 2);
    EXPECT_EQ(parent.selChanges, 3);
    selected.clear();
    control.GetSelectedRows(selected);
    EXPECT_EQ(selected.size(), 1u);

    control.SetSelection(99);
    EXPECT_FALSE(control.HasSelection());
    control.SetSelection(source.Address(3));
    control.SetSelection(static_cast<const void*>(nullptr));
    EXPECT_FALSE(control.HasSelection());
    EXPECT_EQ(parent.selChanges, 6);
}

TEST_F(ListControlTest, ConsumersSeeTheOldRowsBeforeAndTheNewAfterARefresh)
{
    AddCounts({1, 2});
    control.SetSelection(1);
    const auto pSelected = source.Address(2);

    // Like a window that remembers its selected row and selects it again after the refresh.
    RefreshHook hook;
    int rowsBefore = -1, rowsAfter = -1;
    const void* pRemembered = nullptr;
    hook.before = [&]
    {
        rowsBefore = control.RowCount();
        std::vector<CSmartPtr<NyLcRow>> rows;
        control.GetSelectedRows(rows);
        pRemembered = rows.empty() ? nullptr : rows[0]->GetData();
    };
    hook.after = [&]
    {
        rowsAfter = control.RowCount();
        control.SetSelection(pRemembered);
    };
    list.AddDataConsumer(&hook);
    const unsigned long settles = control.SettleCount();
    parent.onSelChange = [&]
    {
        EXPECT_TRUE(control.HasSelection());
    };

    AddCounts({1, 2, 3});
    EXPECT_EQ(control.RowCount(), 3);
    EXPECT_EQ(rowsBefore, 2);
    EXPECT_EQ(rowsAfter, 3);
    EXPECT_EQ(pRemembered, pSelected);
    EXPECT_EQ(control.SettleCount(), settles + 1);
    // Selecting the same row again is a selection made anew: the parent reads what hangs on it again.
    EXPECT_EQ(parent.selChanges, 2);
    list.ItemAddedOrChanged(source.Address(2));
    EXPECT_TRUE(control.HasSelection());
    EXPECT_EQ(parent.selChanges, 3);

    // A consumer that selects nothing leaves the selection as it was, and the parent is not told.
    hook.after = nullptr;
    list.ItemAddedOrChanged(source.Address(1));
    EXPECT_EQ(control.GetRow(0, 0)->GetData(), source.Address(1));
    EXPECT_EQ(control.SettleCount(), settles + 3);
    std::vector<CSmartPtr<NyLcRow>> selected;
    control.GetSelectedRows(selected);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->GetData(), pSelected);
    EXPECT_EQ(parent.selChanges, 3);
    hook.after = [&]
    {
        control.SetSelection(pRemembered);
    };

    // The row is gone after a clear, so nothing is selected again.
    parent.onSelChange = nullptr;
    source.rows.clear();
    list.ClearAllItems();
    list.ItemAddedOrChanged(source.Add(4, Row{L"r4", 4, 0.0f, GUID_NULL}));
    EXPECT_EQ(control.RowCount(), 1);
    EXPECT_FALSE(control.HasSelection());
    list.RemoveDataConsumer(&hook);
}

TEST_F(ListControlTest, RowReferencesAreBalancedAndTheListForgetsAControlThatGoes)
{
    AddCounts({1, 2});
    const long live = NyLcRow::LiveCount();
    {
        const CSmartPtr<NyLcRow> row = control.GetRow(1, 0);
        CSmartPtr<NyLcRow> copy = row;
        EXPECT_EQ(copy->GetData(), source.Address(2));
        EXPECT_FALSE(control.GetRow(2, 0));
        control.AddToSelection(0);
        control.AddToSelection(1);
        std::vector<CSmartPtr<NyLcRow>> rows;
        control.GetSelectedRows(rows);
        EXPECT_EQ(NyLcRow::LiveCount(), live + 3);
    }
    EXPECT_EQ(NyLcRow::LiveCount(), live);

    FilteredDataList otherList;
    {
        FilteredListControl other;
        other.SetSource(&list);
        other.SetSource(&otherList);
        EXPECT_EQ(list.ViewCount(), 1u);
        EXPECT_EQ(otherList.ViewCount(), 1u);
    }
    EXPECT_EQ(otherList.ViewCount(), 0u);
    otherList.ItemAddedOrChanged(source.Address(1));
}

TEST_F(ListControlTest, CopyPutsTheShownRowsOnTheClipboardAsTabSeparatedText)
{
    ServiceProvider provider;
    ClipboardService clipboard;
    provider.Register(ov::ServiceClipboard, &clipboard);
    ov::IServiceProvider* const pPrevious = ov::g_serviceProviderInstance;
    ov::g_serviceProviderInstance = &provider;

    open.project.AddObject(MakeGuid(1), L"Greeting");
    source.Add(1, Row{L"Greeting::Happy", 0xFFFF'FFFF'FFFF'FFFE, 100.0f / 3.0f, MakeGuid(1)});
    source.Add(2, Row{L"Gone", 0x1'0000'0005, 0.0f, MakeGuid(2)});
    source.Add(3, Row{L"", 12, 66.66667f, GUID_NULL});
    list.FilterChanged();
    control.SetColumnFilter(0, Criterion(Op::Contains, L"E"));
    control.CopyToClipboard();

    EXPECT_EQ(clipboard.Text(), L"Name\tCount\t%\tObject\n"
                                L"Greeting::Happy\t-2\t33.3\tGreeting\n"
                                L"Gone\t5\t0.0\t\n");
    EXPECT_EQ(clipboard.SetCount(), 1);
    EXPECT_EQ(source.liveIterators, 0);
    ov::g_serviceProviderInstance = pPrevious;
}
