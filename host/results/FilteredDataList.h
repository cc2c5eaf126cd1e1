// The result-list model: rows are addresses served by a data source, columns are filters. The list
// never copies or dereferences rows; it forwards changes to the controls that show it and to its
// data consumers.
#pragma once

#include <cstddef>
#include <vector>

class FilteredDataList
{
public:
    class IDataIterator
    {
    public:
        virtual void Destroy() = 0;
        virtual void Reset() = 0;
        // The current element's address, then moves on; null when there is none.
        virtual const void* Next() = 0;

    protected:
        ~IDataIterator() = default;
    };

    class IDataSource
    {
    public:
        // Yields the address of every row.
        virtual IDataIterator* CreateRowIterator() = 0;
        // Yields the addresses of the row's cells in column order.
        virtual IDataIterator* CreateColumnIterator(const void* pRow) = 0;

    protected:
        ~IDataSource() = default;
    };

    class IDataConsumer
    {
    public:
        virtual void OnItemAddedOrChanged(const void* pRow) = 0;
        virtual void OnAllItemsCleared() = 0;
        virtual void OnListReset() = 0;
        // Around every refresh of the rows that a control of the list shows.
        virtual void OnBeforeRefresh() = 0;
        virtual void OnAfterRefresh() = 0;

    protected:
        ~IDataConsumer() = default;
    };

    // A column: implemented by the host's filters (ResultColumnFilter).
    class IDataFilter
    {
    public:
        virtual ~IDataFilter() = default;
    };

    // What a control that shows the list learns of it. Changes only mark the control stale; the
    // control settles its shown rows when they are read or the outermost brace closes.
    class IListView
    {
    public:
        virtual void OnRowChanged(const void* pRow) = 0;
        // Every row is gone; none may be touched again.
        virtual void OnRowsCleared() = 0;
        // Source, filters or filter values changed: every row must be read again.
        virtual void OnRowsInvalidated() = 0;
        virtual void OnBraceClosed() = 0;

    protected:
        ~IListView() = default;
    };

    using FilterIterator = std::vector<IDataFilter*>::const_iterator;

    FilteredDataList() = default;
    ~FilteredDataList();
    FilteredDataList(const FilteredDataList&) = delete;
    FilteredDataList& operator=(const FilteredDataList&) = delete;

    void SetSource(IDataSource* pSource);
    IDataSource* GetSource() const { return m_pSource; }

    // The list owns the filter from now on; columns come in the order added.
    void AddFilter(IDataFilter* pFilter);
    void DestroyAllFilters();
    FilterIterator FilterBegin() const { return m_filters.begin(); }
    FilterIterator FilterEnd() const { return m_filters.end(); }
    std::size_t FilterCount() const { return m_filters.size(); }
    IDataFilter* GetFilter(std::size_t index) const { return m_filters[index]; }

    // Braces nest; the controls settle when the outermost one closes.
    void OpenBrace();
    void CloseBrace();
    bool IsInBrace() const { return m_nBraceDepth > 0; }

    void ItemAddedOrChanged(const void* pRow);
    // Every row must be read again from the source.
    void FilterChanged();
    // The columns or the user's filters on them changed: every control filters and sorts again what
    // it shows, but a cleared list stays empty.
    void ColumnsChanged();
    // Forgets every row without touching it (the rows may already be freed). The list then has no
    // rows until its source is set again or a row is announced.
    void ClearAllItems();
    bool IsCleared() const { return m_bCleared; }

    void AddDataConsumer(IDataConsumer* pConsumer);
    void RemoveDataConsumer(IDataConsumer* pConsumer);
    std::size_t DataConsumerCount() const;

    // Called by the controls around each refresh of their shown rows.
    void NotifyBeforeRefresh();
    void NotifyAfterRefresh();

    // A view or consumer may attach, detach, add or remove itself or others from inside a callback;
    // one added then first hears of the next change.
    void AttachView(IListView* pView);
    void DetachView(IListView* pView);
    std::size_t ViewCount() const;

private:
    struct DispatchScope;
    // Calls fn on the first count targets. Targets removed meanwhile are skipped; their slots are
    // emptied and compacted once the outermost notification returns.
    template <class T, class Fn> void Dispatch(std::vector<T*>& targets, std::size_t count, Fn fn);
    template <class ViewFn, class ConsumerFn> void Notify(ViewFn viewFn, ConsumerFn consumerFn);
    template <class ConsumerFn> void NotifyConsumers(ConsumerFn consumerFn);
    void Compact();

    IDataSource* m_pSource = nullptr;
    std::vector<IDataFilter*> m_filters;
    std::vector<IDataConsumer*> m_consumers;
    std::vector<IListView*> m_views;
    int m_nBraceDepth = 0;
    int m_nDispatchDepth = 0;
    bool m_bCleared = false;
    bool m_bEmptiedSlots = false;
};
