// "Dialogue Events Added": per dialogue event, how often it resolved to each of the targets it can
// reach, those never reached included.
#pragma once

#include "framework/IProfilerQuery.h"
#include "host/base/Guid.h"
#include "host/base/StdStr.h"
#include "host/results/FilteredDataList.h"
#include "queries/IndexedMap.h"

#include <cstdint>
#include <map>
#include <utility>

class DialogueResolvedItem;

namespace DialogueResolvedQuery
{

struct TargetData;

// Keyed by the target object's GUID; the null GUID stands for an entry without a target.
using TargetMap = std::map<GUID, TargetData, GUIDLess>;
// Every resolution finds its event among all of the capture's, so the events are found through a
// hash of their GUID.
using EventIndex = IndexedMap<GUID, TargetMap, GUIDLess, GUID, GUIDHash>;
using EventMap = EventIndex::Map;

struct TargetData
{
    // The event element that holds this row; its key is the row's event GUID.
    const std::pair<const GUID, TargetMap>* event = nullptr;
    std::uint64_t count = 0;
};

// Every target row, event by event in GUID order, skipping events without rows.
class RowIterator final : public FilteredDataList::IDataIterator
{
public:
    explicit RowIterator(const EventMap* pEventMap);

    void Destroy() override { delete this; }
    void Reset() override;
    const void* Next() override;

private:
    ~RowIterator() = default;
    // Moves on to the first event that has rows and positions at its first target.
    void Settle();

    const EventMap* m_pEventMap;
    EventMap::const_iterator m_event;
    TargetMap::const_iterator m_target;
};

// The cells of a target row: event GUID, target GUID, count.
class ColumnIterator final : public FilteredDataList::IDataIterator
{
public:
    explicit ColumnIterator(const void* pRow) : m_pRow(static_cast<const TargetMap::value_type*>(pRow)) {}

    void Destroy() override { delete this; }
    void Reset() override { m_nColumn = 0; }
    const void* Next() override;

private:
    ~ColumnIterator() = default;

    const TargetMap::value_type* m_pRow;
    std::int32_t m_nColumn = 0;
};

class DialogueResolvedQuery : public IProfilerQuery, private FilteredDataList::IDataSource
{
public:
    DialogueResolvedQuery() = default;
    DialogueResolvedQuery(const DialogueResolvedQuery&) = delete;
    DialogueResolvedQuery& operator=(const DialogueResolvedQuery&) = delete;
    ~DialogueResolvedQuery() = default;

    void Init() override;
    void Term() override;
    void SetOwner(IProfilerQueryOwner* pOwner) override { m_pOwner = pOwner; }
    void ResetOwner() override { m_pOwner = nullptr; }
    CStdStr<wchar_t> GetName() override;
    CDialogBase* CreateResultDialog() override;
    std::int32_t Reserved() override { return 0; }
    bool CanRun() override { return true; }
    bool IsDataInSync() override { return !m_bUnsynchronized; }
    void BeginRun() override;
    void EndRun() override;
    void Clear() override;
    void OnMonitoringItem(const MonitoringItem* pItem) override;

    const EventMap& GetEventMap() const { return m_events.Rows(); }
    FilteredDataList& GetList() { return m_list; }

private:
    FilteredDataList::IDataIterator* CreateRowIterator() override;
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override;

    void OnDialogueResolved(const DialogueResolvedItem& item);
    void MarkUnsynchronized();
    // Reads the event's target entries from the project into its empty map. False when the project
    // holds no such dialogue event.
    bool FillTargets(EventMap::value_type& element, const GUID& eventID);

    // Declared before the list, so that the list goes first at unload.
    EventIndex m_events;
    FilteredDataList m_list;
    IProfilerQueryOwner* m_pOwner = nullptr;
    bool m_bUnsynchronized = false;
};

} // namespace DialogueResolvedQuery
