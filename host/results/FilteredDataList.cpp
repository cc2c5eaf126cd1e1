#include "host/results/FilteredDataList.h"

#include <algorithm>

namespace
{

template <class T> void AddUnique(std::vector<T*>& targets, T* p)
{
    if (p != nullptr && std::find(targets.begin(), targets.end(), p) == targets.end())
        targets.push_back(p);
}

// While a dispatch runs, a removal only empties the slot, so that indices stay valid; true then.
template <class T> bool RemoveFrom(std::vector<T*>& targets, T* p, bool bDispatching)
{
    const auto it = std::find(targets.begin(), targets.end(), p);
    if (p == nullptr || it == targets.end())
        return false;
    if (bDispatching)
    {
        *it = nullptr;
        return true;
    }
    targets.erase(it);
    return false;
}

template <class T> std::size_t CountPresent(const std::vector<T*>& targets)
{
    return static_cast<std::size_t>(
        std::count_if(targets.begin(), targets.end(), [](T* p) { return p != nullptr; }));
}

} // namespace

FilteredDataList::~FilteredDataList()
{
    for (IDataFilter* pFilter : m_filters)
        delete pFilter;
}

// Keeps removals as emptied slots until the outermost notification returns.
struct FilteredDataList::DispatchScope
{
    FilteredDataList& list;
    explicit DispatchScope(FilteredDataList& l) : list(l) { ++list.m_nDispatchDepth; }
    ~DispatchScope()
    {
        // Every item changed notifies; most notifications empty no slot.
        if (--list.m_nDispatchDepth == 0 && list.m_bEmptiedSlots)
            list.Compact();
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};

template <class T, class Fn>
void FilteredDataList::Dispatch(std::vector<T*>& targets, std::size_t count, Fn fn)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        // Read the slot afresh each time: an earlier callback may have emptied it.
        if (T* p = targets[i])
            fn(p);
    }
}

template <class ViewFn, class ConsumerFn> void FilteredDataList::Notify(ViewFn viewFn, ConsumerFn consumerFn)
{
    const DispatchScope scope(*this);
    // Whoever joins during the notification hears only later ones.
    const std::size_t nConsumers = m_consumers.size();
    Dispatch(m_views, m_views.size(), viewFn);
    Dispatch(m_consumers, nConsumers, consumerFn);
}

template <class ConsumerFn> void FilteredDataList::NotifyConsumers(ConsumerFn consumerFn)
{
    const DispatchScope scope(*this);
    Dispatch(m_consumers, m_consumers.size(), consumerFn);
}

void FilteredDataList::Compact()
{
    std::erase(m_views, nullptr);
    std::erase(m_consumers, nullptr);
    m_bEmptiedSlots = false;
}

void FilteredDataList::SetSource(IDataSource* pSource)
{
    m_pSource = pSource;
    FilterChanged();
}

void FilteredDataList::AddFilter(IDataFilter* pFilter)
{
    if (pFilter == nullptr)
        return;
    m_filters.push_back(pFilter);
    ColumnsChanged();
}

void FilteredDataList::DestroyAllFilters()
{
    std::vector<IDataFilter*> filters;
    filters.swap(m_filters);
    for (IDataFilter* pFilter : filters)
        delete pFilter;
    ColumnsChanged();
}

void FilteredDataList::OpenBrace()
{
    ++m_nBraceDepth;
}

void FilteredDataList::CloseBrace()
{
    if (m_nBraceDepth == 0)
        return;
    if (--m_nBraceDepth == 0)
        Notify([](IListView* p) { p->OnBraceClosed(); }, [](IDataConsumer*) {});
}

void FilteredDataList::ItemAddedOrChanged(const void* pRow)
{
    m_bCleared = false;
    Notify([pRow](IListView* p) { p->OnRowChanged(pRow); },
           [pRow](IDataConsumer* p) { p->OnItemAddedOrChanged(pRow); });
}

void FilteredDataList::FilterChanged()
{
    m_bCleared = false;
    ColumnsChanged();
}

void FilteredDataList::ColumnsChanged()
{
    Notify([](IListView* p) { p->OnRowsInvalidated(); }, [](IDataConsumer* p) { p->OnListReset(); });
}

void FilteredDataList::ClearAllItems()
{
    m_bCleared = true;
    Notify([](IListView* p) { p->OnRowsCleared(); }, [](IDataConsumer* p) { p->OnAllItemsCleared(); });
}

void FilteredDataList::AddDataConsumer(IDataConsumer* pConsumer)
{
    AddUnique(m_consumers, pConsumer);
}

void FilteredDataList::RemoveDataConsumer(IDataConsumer* pConsumer)
{
    m_bEmptiedSlots |= RemoveFrom(m_consumers, pConsumer, m_nDispatchDepth > 0);
}

std::size_t FilteredDataList::DataConsumerCount() const
{
    return CountPresent(m_consumers);
}

void FilteredDataList::NotifyBeforeRefresh()
{
    NotifyConsumers([](IDataConsumer* p) { p->OnBeforeRefresh(); });
}

void FilteredDataList::NotifyAfterRefresh()
{
    NotifyConsumers([](IDataConsumer* p) { p->OnAfterRefresh(); });
}

void FilteredDataList::AttachView(IListView* pView)
{
    AddUnique(m_views, pView);
}

void FilteredDataList::DetachView(IListView* pView)
{
    m_bEmptiedSlots |= RemoveFrom(m_views, pView, m_nDispatchDepth > 0);
}

std::size_t FilteredDataList::ViewCount() const
{
    return CountPresent(m_views);
}
