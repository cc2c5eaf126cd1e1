#include "host/results/FilteredDataList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

// Records what it hears into a shared log, and runs an action on its first callback.
struct Listener : FilteredDataList::IListView, FilteredDataList::IDataConsumer
{
    std::string name;
    std::vector<std::string>& log;
    std::function<void()> action;

    Listener(std::string n, std::vector<std::string>& l) : name(std::move(n)), log(l) {}

    void Hear(const char* what)
    {
        log.push_back(name + ":" + what);
        if (auto run = std::exchange(action, nullptr))
            run();
    }
    void OnRowChanged(const void*) override { Hear("row"); }
    void OnRowsCleared() override { Hear("cleared"); }
    void OnRowsInvalidated() override { Hear("invalidated"); }
    void OnBraceClosed() override { Hear("brace"); }
    void OnItemAddedOrChanged(const void*) override { Hear("item"); }
    void OnAllItemsCleared() override { Hear("allCleared"); }
    void OnListReset() override { Hear("reset"); }
    void OnBeforeRefresh() override { Hear("before"); }
    void OnAfterRefresh() override { Hear("after"); }
};

struct CountedFilter : FilteredDataList::IDataFilter
{
    int& destroyed;
    explicit CountedFilter(int& d) : destroyed(d) {}
    ~CountedFilter() override { ++destroyed; }
};

using Log = std::vector<std::string>;

} // namespace

TEST(FilteredDataList, ForwardsEachChangeToViewsThenConsumers)
{
    Log log;
    Listener view("v", log), consumer("c", log);
    FilteredDataList list;
    list.AttachView(&view);
    list.AddDataConsumer(&consumer);
    int row = 0;

    list.ItemAddedOrChanged(&row);
    list.FilterChanged();
    list.ClearAllItems();
    list.NotifyBeforeRefresh();
    list.NotifyAfterRefresh();
    EXPECT_EQ(log, (Log{"v:row", "c:item", "v:invalidated", "c:reset", "v:cleared", "c:allCleared",
                        "c:before", "c:after"}));

    log.clear();
    list.OpenBrace();
    list.OpenBrace();
    EXPECT_TRUE(list.IsInBrace());
    list.CloseBrace();
    EXPECT_TRUE(log.empty());
    list.CloseBrace();
    list.CloseBrace();
    EXPECT_FALSE(list.IsInBrace());
    EXPECT_EQ(log, (Log{"v:brace"}));

    int destroyed = 0;
    list.AddFilter(new CountedFilter(destroyed));
    list.AddFilter(new CountedFilter(destroyed));
    EXPECT_EQ(list.FilterCount(), 2u);
    log.clear();
    list.DestroyAllFilters();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(list.FilterCount(), 0u);
    EXPECT_EQ(log, (Log{"v:invalidated", "c:reset"}));
}

TEST(FilteredDataList, ListenersMayLeaveDuringACallback)
{
    Log log;
    Listener a("a", log), b("b", log), c("c", log);
    FilteredDataList list;
    for (Listener* p : {&a, &b, &c})
    {
        list.AttachView(p);
        list.AddDataConsumer(p);
    }
    // a takes b's view away and its own consumer; c adds a again, who hears only later changes.
    a.action = [&]
    {
        list.DetachView(&b);
        list.RemoveDataConsumer(&a);
    };
    c.action = [&]
    {
        list.AddDataConsumer(&a);
    };
    int row = 0;
    list.ItemAddedOrChanged(&row);
    EXPECT_EQ(log, (Log{"a:row", "c:row", "b:item", "c:item"}));
    EXPECT_EQ(list.DataConsumerCount(), 3u);
    EXPECT_EQ(list.ViewCount(), 2u);

    log.clear();
    list.ItemAddedOrChanged(&row);
    EXPECT_EQ(log, (Log{"a:row", "c:row", "b:item", "c:item", "a:item"}));
}
