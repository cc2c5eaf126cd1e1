// "Dialogue Events Distribution": per dialogue event, how often it was resolved and played, and per
// argument how often each value was chosen, with its share of the argument's resolutions.
#pragma once

#include "framework/IProfilerQuery.h"
#include "host/base/Guid.h"
#include "host/base/StdStr.h"
#include "host/results/FilteredDataList.h"

#include <cstdint>
#include <map>
#include <vector>

class DialogueResolvedItem;
class ObjectNotificationItem;
class DialogueEventQueryDlg;

namespace DialogueEventQuery
{

class ArgumentVector;

// Leads from a value entry to the total of the argument whose map holds it. The arguments live in a
// vector that reallocates as the event gains arguments, so the link names the vector (which never
// moves: it sits in a map node) and the argument's position rather than the total's address.
class ArgumentTotalLink
{
public:
    ArgumentTotalLink() = default;
    ArgumentTotalLink(const ArgumentVector* pArguments, std::uint32_t index)
        : m_pArguments(pArguments), m_index(index)
    {
    }

    // Absent until the entry is labelled: an entry without it is one its argument did not list.
    explicit operator bool() const { return m_pArguments != nullptr; }
    std::uint64_t Total() const;

private:
    const ArgumentVector* m_pArguments = nullptr;
    std::uint32_t m_index = 0;
};

// What a search and a count read comes first, next to the key in the map's node; the label is only
// read to show the row.
struct ValueData
{
    std::uint64_t count = 0;
    ArgumentTotalLink argumentTotal;
    CStdStr<wchar_t> label;
};

// Keyed by the value object's GUID; the null GUID keys the wildcard "*".
using ValueMap = std::map<GUID, ValueData, GUIDLess>;

struct ArgumentData
{
    ValueMap values;
    // Resolutions counted for this argument: the sum of the counts of its entries.
    std::uint64_t total = 0;
};

// The arguments of one event, by position; the value list's source while its event is selected.
// Value entries link back to this object, so it is neither copied nor moved.
class ArgumentVector : public std::vector<ArgumentData>, public FilteredDataList::IDataSource
{
public:
    ArgumentVector() = default;
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;
    ~ArgumentVector() = default;

    FilteredDataList::IDataIterator* CreateRowIterator() override;
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override;
};

struct EventData
{
    ArgumentVector arguments;
    std::uint64_t added = 0;
    std::uint64_t played = 0;
};

// The event list's source: one row per element (event GUID and its EventData).
class EventMap : public std::map<GUID, EventData, GUIDLess>, public FilteredDataList::IDataSource
{
public:
    EventMap() = default;
    EventMap(const EventMap&) = delete;
    EventMap& operator=(const EventMap&) = delete;
    ~EventMap() = default;

    FilteredDataList::IDataIterator* CreateRowIterator() override;
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override;
};

// Every value row of every argument, argument by argument, within one in GUID order.
class ArgumentsIterator final : public FilteredDataList::IDataIterator
{
public:
    explicit ArgumentsIterator(const ArgumentVector* pArguments);

    void Destroy() override { delete this; }
    void Reset() override;
    const void* Next() override;

private:
    ~ArgumentsIterator() = default;
    // Positions at the first entry of the current argument, unless past the last argument.
    void EnterArgument();

    const ArgumentVector* m_pArguments;
    std::uint32_t m_nArgument = 0;
    ValueMap::const_iterator m_position;
};

// The three cells of one value row: label text, count and percentage of the argument's total.
class ValueIterator final : public FilteredDataList::IDataIterator
{
public:
    explicit ValueIterator(const void* pRow) : m_pRow(static_cast<const ValueMap::value_type*>(pRow)) {}

    void Destroy() override { delete this; }
    void Reset() override { m_nColumn = 0; }
    const void* Next() override;

private:
    ~ValueIterator() = default;

    const ValueMap::value_type* m_pRow;
    std::uint32_t m_nColumn = 0;
    // The current cell's value, held here so that its address can be handed out.
    const wchar_t* m_pText = nullptr;
    float m_fPercent = 0.0f;
};

// count * 100 / total, each converted to a 32-bit float first.
float PercentOf(std::uint64_t count, std::uint64_t total);

class DialogueEventQuery : public IProfilerQuery
{
public:
    DialogueEventQuery();
    DialogueEventQuery(const DialogueEventQuery&) = delete;
    DialogueEventQuery& operator=(const DialogueEventQuery&) = delete;
    ~DialogueEventQuery() = default;

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

    const EventMap& GetEventMap() const { return m_eventMap; }
    FilteredDataList& GetEventList() { return m_eventList; }
    FilteredDataList& GetValueList() { return m_valueList; }

private:
    void OnDialogueResolved(const DialogueResolvedItem& item);
    void OnObjectNotification(const ObjectNotificationItem& item);
    // Sets the flag and tells the owner, every time.
    void MarkUnsynchronized();
    // Fills an argument's empty map with the wildcard and the values its object lists. False when the
    // project lacks the argument object, which leaves the map empty.
    bool InitArgument(ArgumentVector& arguments, std::uint32_t index, const GUID& argumentID);

    EventMap m_eventMap;
    // Each target a resolution reached, and the element of the event whose resolution reached it
    // last: elements stay until Clear, which empties both maps.
    std::map<GUID, EventMap::value_type*, GUIDLess> m_targetToEvent;
    FilteredDataList m_eventList;
    FilteredDataList m_valueList;
    IProfilerQueryOwner* m_pOwner = nullptr;
    bool m_bUnsynchronized = false;
};

} // namespace DialogueEventQuery
