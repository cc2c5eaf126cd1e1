// A control that settles after a few row changes at a time must show exactly what a control that
// settles from scratch shows. Random feeds under every sort and some filters compare the two.
#include "results_test_source.h"

#include "host/results/FilteredListControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace results_test;
using Op = FilterCriterion::Op;

namespace
{

std::vector<const void*> ShownRows(BaseFilteredListControl& control)
{
    std::vector<const void*> rows;
    for (int i = 0; i < control.RowCount(); ++i)
        rows.push_back(control.GetRow(i, 0)->GetData());
    return rows;
}

// Few distinct values in every column, so that equal keys are common and source order decides.
Row RandomRow(std::mt19937& random)
{
    static const wchar_t* const kTexts[] = {L"a", L"B", L"ab", L"\uFF21", L"\U0001F600", L""};
    Row row;
    row.text = kTexts[random() % 6];
    row.count = random() % 5;
    row.share = static_cast<float>(random() % 4) / 2.0f;
    row.object = MakeGuid(random() % 4); // 0 is no object, 3 one the project lacks
    return row;
}

TEST(ListSettle, ShowsWhatAFullSettleShowsUnderEverySortAndFilter)
{
    OpenProject open;
    open.project.AddObject(MakeGuid(1), L"zeta");
    open.project.AddObject(MakeGuid(2), L"Alpha");

    std::mt19937 random(20240601);
    for (int round = 0; round < 40; ++round)
    {
        MapSource source;
        FilteredDataList list;
        AddColumns(list);
        list.SetSource(&source);
        for (int key = 0; key < 300; key += 1 + static_cast<int>(random() % 3))
            source.Add(key, RandomRow(random));

        FilteredListControl live;
        live.SetSource(&list);
        const int sortColumn = static_cast<int>(random() % 5) - 1;
        live.SetSort(sortColumn, static_cast<int>(random() % 2));
        switch (round % 4)
        {
        case 1:
            ASSERT_TRUE(live.SetColumnFilter(1, FilterCriterion{Op::GreaterEqual, L"2", 0.0}));
            break;
        case 2:
            ASSERT_TRUE(live.SetColumnFilter(0, FilterCriterion{Op::Contains, L"a", 0.0}));
            break;
        default:
            break;
        }
        live.SetSelection(3);
        live.AddToSelection(7);
        const unsigned long settles = live.SettleCount();

        for (int step = 0; step < 30; ++step)
        {
            // Mostly changes of known rows, now and then a new one, which needs a walk.
            const int changes = 1 + static_cast<int>(random() % 12);
            for (int c = 0; c < changes; ++c)
            {
                const int key = random() % 8 == 0
                                    ? 300 + round * 100 + step * 12 + c
                                    : source.rows.begin()->first + static_cast<int>(random() % 300);
                auto it = source.rows.lower_bound(key);
                if (key < 300 && it != source.rows.end())
                {
                    // Change the cells in place: the row keeps its address.
                    const Row fresh = RandomRow(random);
                    it->second.count = fresh.count;
                    it->second.share = fresh.share;
                    it->second.object = fresh.object;
                    list.ItemAddedOrChanged(&*it);
                }
                else
                {
                    list.ItemAddedOrChanged(source.Add(key, RandomRow(random)));
                }
            }
            const std::vector<const void*> shown = ShownRows(live);

            FilteredListControl reference;
            reference.SetSource(&list);
            reference.SetSort(sortColumn, live.GetSortDirection());
            ASSERT_EQ(shown, ShownRows(reference)) << "round " << round << " step " << step;

            std::vector<CSmartPtr<NyLcRow>> selected;
            live.GetSelectedRows(selected);
            for (std::size_t i = 0; i < selected.size(); ++i)
            {
                const auto at = std::find(shown.begin(), shown.end(), selected[i]->GetData());
                ASSERT_NE(at, shown.end());
                if (i > 0)
                {
                    EXPECT_LT(std::find(shown.begin(), shown.end(), selected[i - 1]->GetData()), at);
                }
            }
        }
        EXPECT_EQ(live.SettleCount(), settles + 30);
        EXPECT_EQ(source.liveIterators, 0);
    }
}

TEST(ListSettle, ChangesToTheColumnsBehindTheListsBackAreSeen)
{
    MapSource source;
    FilteredDataList list;
    AddColumns(list);
    list.SetSource(&source);
    for (int key = 0; key < 6; ++key)
        source.Add(key, Row{L"r", static_cast<std::uint64_t>(key), 0.0f, GUID_NULL});
    FilteredListControl control;
    control.SetSource(&list);
    control.SetSort(1, BaseFilteredListControl::SortDescending);
    ASSERT_TRUE(control.SetColumnFilter(1, FilterCriterion{Op::Greater, L"2", 0.0}));
    ASSERT_EQ(control.RowCount(), 3);

    // A filter switched off on the column itself, then one row changed: every row is read again.
    auto* pCount = const_cast<ResultColumnFilter*>(control.GetColumn(1));
    pCount->Enable(false);
    source.rows[0].count = 9;
    list.ItemAddedOrChanged(&*source.rows.find(0));
    EXPECT_EQ(ShownRows(control), (std::vector<const void*>{&*source.rows.find(0), &*source.rows.find(5),
                                                            &*source.rows.find(4), &*source.rows.find(3),
                                                            &*source.rows.find(2), &*source.rows.find(1)}));
}

} // namespace
