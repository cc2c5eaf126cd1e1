#include "queries/DialogueEventQuery.h"

#include "framework/IProfilerQueryOwner.h"
#include "framework/MonitoringItemReader.h"
#include "host/base/StringHelp.h"
#include "host/results/ResultColumnFilter.h"
#include "module/TallyApp.h"
#include "queries/DialogueEventQueryDlg.h"
#include "queries/LowerBoundAhead.h"
#include "queries/StdDataIterator.h"
#include "queries/StructRowIterator.h"
#include "resources/resource.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <new>

namespace DialogueEventQuery
{

using EventColumnIterator = StructRowIterator<EventMap::value_type, 3>;

} // namespace DialogueEventQuery

template <>
const DialogueEventQuery::EventColumnIterator::Offsets DialogueEventQuery::EventColumnIterator::s_offsets =
    MeasureOffsets<DialogueEventQuery::EventMap::value_type>(
        [](const auto& element) -> const auto& { return element.first; },
        [](const auto& element) -> const auto& { return element.second.added; },
        [](const auto& element) -> const auto& { return element.second.played; });

namespace DialogueEventQuery
{

namespace
{

// "p.N:V": argument position from 1 (as a signed decimal), argument name, value name. Written
// piece by piece: every value row of a large project gets one, and a general formatter spent
// thousands of instructions on each.
CStdStr<wchar_t> MakeLabel(std::uint32_t position, std::wstring_view argumentName,
                           std::wstring_view valueName)
{
    char digits[16];
    const auto written =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::int32_t>(position)).ptr;
    CStdStr<wchar_t> label;
    label.reserve(static_cast<std::size_t>(written - digits) + argumentName.size() + valueName.size() + 2);
    label.append(digits, written);
    label += L'.';
    label += argumentName;
    label += L':';
    label += valueName;
    return label;
}

} // namespace

std::uint64_t ArgumentTotalLink::Total() const
{
    return (*m_pArguments)[m_index].total;
}

float PercentOf(std::uint64_t count, std::uint64_t total)
{
    return static_cast<float>(count) * 100.0f / static_cast<float>(total);
}

FilteredDataList::IDataIterator* ArgumentVector::CreateRowIterator()
{
    return new ArgumentsIterator(this);
}

FilteredDataList::IDataIterator* ArgumentVector::CreateColumnIterator(const void* pRow)
{
    return new ValueIterator(pRow);
}

FilteredDataList::IDataIterator* EventMap::CreateRowIterator()
{
    return new StdDataIterator<EventMap>(this);
}

FilteredDataList::IDataIterator* EventMap::CreateColumnIterator(const void* pRow)
{
    return new EventColumnIterator(pRow);
}

ArgumentsIterator::ArgumentsIterator(const ArgumentVector* pArguments) : m_pArguments(pArguments)
{
    Reset();
}

void ArgumentsIterator::Reset()
{
    m_nArgument = 0;
    EnterArgument();
}

void ArgumentsIterator::EnterArgument()
{
    // An argument not yet initialised has no rows.
    while (m_nArgument < m_pArguments->size() && (*m_pArguments)[m_nArgument].values.empty())
        ++m_nArgument;
    if (m_nArgument < m_pArguments->size())
        m_position = (*m_pArguments)[m_nArgument].values.begin();
}

const void* ArgumentsIterator::Next()
{
    if (m_nArgument >= m_pArguments->size())
        return nullptr;
    const void* pRow = &*m_position;
    ++m_position;
    if (m_position == (*m_pArguments)[m_nArgument].values.end())
    {
        ++m_nArgument;
        EnterArgument();
    }
    return pRow;
}

const void* ValueIterator::Next()
{
    const ValueData& value = m_pRow->second;
    switch (m_nColumn++)
    {
    case 0:
        m_pText = value.label.c_str();
        return &m_pText;
    case 1:
        return &value.count;
    case 2:
        m_fPercent = value.argumentTotal ? PercentOf(value.count, value.argumentTotal.Total()) : 0.0f;
        return &m_fPercent;
    default:
        m_nColumn = 3;
        return nullptr;
    }
}

DialogueEventQuery::DialogueEventQuery()
{
    m_eventList.SetSource(&m_eventMap);
}

void DialogueEventQuery::Init()
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());
    const CStdStr<wchar_t> noText;
    m_eventList.AddFilter(
        new VObjectGUIDFilter(StringHelp::Localize(L"Dialogue Event Name"), 100, 1, noText));
    m_eventList.AddFilter(new IntFilter(StringHelp::Localize(L"Added"), 60, 1, noText));
    m_eventList.AddFilter(new IntFilter(StringHelp::Localize(L"Played"), 60, 1, noText));
    m_valueList.AddFilter(new TextFilter(StringHelp::Localize(L"Value"), 100, 1, noText));
    m_valueList.AddFilter(new IntFilter(StringHelp::Localize(L"Count"), 40, 1, noText));
    auto* pPercent = new FloatFilter(StringHelp::Localize(L"%"), 40, 1, noText);
    pPercent->SetFormat(6, L"%.1f");
    m_valueList.AddFilter(pPercent);
}

void DialogueEventQuery::Term()
{
    m_valueList.DestroyAllFilters();
    m_eventList.DestroyAllFilters();
    Clear();
}

CStdStr<wchar_t> DialogueEventQuery::GetName()
{
    return StringHelp::Localize(L"Dialogue Events Distribution");
}

CDialogBase* DialogueEventQuery::CreateResultDialog()
{
    auto* pDlg = new (std::nothrow)
        DialogueEventQueryDlg(IDD_DIALOGUE_EVENT_QUERY, this, &m_valueList, &m_eventList, GUID_NULL);
    if (pDlg == nullptr)
        return nullptr;
    m_eventList.AddDataConsumer(pDlg);
    return pDlg;
}

void DialogueEventQuery::BeginRun()
{
    m_eventList.OpenBrace();
    m_valueList.OpenBrace();
    Clear();
}

void DialogueEventQuery::EndRun()
{
    m_eventList.CloseBrace();
    m_valueList.CloseBrace();
}

void DialogueEventQuery::Clear()
{
    m_eventIndex.Clear();
    m_targetIndex.Clear();
    m_valueIndex.Clear();
    m_eventMap.clear();
    m_targetToEvent.clear();
    m_eventList.ClearAllItems();
    m_valueList.SetSource(nullptr);
    m_bUnsynchronized = false;
    if (m_pOwner)
        m_pOwner->OnQueryStateChanged();
}

void DialogueEventQuery::OnMonitoringItem(const MonitoringItem* pItem)
{
    switch (items::KindOf(pItem))
    {
    case items::kDialogueResolved:
        OnDialogueResolved(*static_cast<const DialogueResolvedItem*>(pItem));
        break;
    case items::kObjectNotification:
        OnObjectNotification(*static_cast<const ObjectNotificationItem*>(pItem));
        break;
    default:
        break;
    }
}

namespace
{
// The slot of the id, which leads to its element of the map; both are added when absent.
template <class Row, class Map> Row& FindOrAddRow(GuidTable<Row>& index, Map& map, const GUID& id)
{
    if (Row* pRow = index.Find(id))
        return *pRow;
    auto& element = *EmplaceAbsent(map, id);
    index.Insert(id, Row{&element, nullptr});
    return *index.Find(id);
}
} // namespace

void DialogueEventQuery::MarkUnsynchronized()
{
    m_bUnsynchronized = true;
    if (m_pOwner)
        m_pOwner->OnQueryStateChanged();
}

bool DialogueEventQuery::InitArgument(const GUID& eventID, ArgumentVector& arguments, std::uint32_t index,
                                      const GUID& argumentID)
{
    const auto argument = VObjectRef<IVObject>::Lookup(argumentID);
    if (!argument)
        return false;

    const std::uint32_t position = index + 1;
    const CStdStr<wchar_t> argumentName = argument->GetName();
    const ArgumentTotalLink link(&arguments, index);
    ValueMap& values = arguments[index].values;
    const auto addEntry = [&](const GUID& valueID, const wchar_t* valueName)
    {
        const auto [entry, bInserted] = values.try_emplace(valueID);
        if (!bInserted)
            return;
        entry->second.label = MakeLabel(position, argumentName.c_str(), valueName);
        entry->second.argumentTotal = link;
        m_valueIndex.Insert(ItemKeyIndex<ValueMap::value_type>::Hash(eventID, index, valueID), &*entry);
    };

    addEntry(GUID_NULL, L"*");
    std::vector<GUID> valueIDs;
    argument->GetValueIDs(valueIDs);
    for (const GUID& valueID : valueIDs)
    {
        const auto value = VObjectRef<IVObject>::Lookup(valueID);
        if (value)
        {
            addEntry(valueID, value->GetName().c_str());
        }
        else
        {
            MarkUnsynchronized();
            addEntry(valueID, L"Unknown");
        }
    }
    return true;
}

void DialogueEventQuery::OnDialogueResolved(const DialogueResolvedItem& item)
{
    using Index = ItemKeyIndex<ValueMap::value_type>;
    const GUID eventID = item.GetObjectID();
    const std::uint64_t argumentCount = item.GetArgumentCount();
    // Every index slot that the item reads starts loading now, while the event is judged.
    m_eventIndex.Prefetch(eventID);
    m_targetIndex.Prefetch(item.GetTargetID());
    constexpr std::uint32_t kHashedAhead = 8;
    std::array<std::uint64_t, kHashedAhead> valueHashes;
    const auto hashedAhead = static_cast<std::uint32_t>(std::min<std::uint64_t>(argumentCount, kHashedAhead));
    for (std::uint32_t i = 0; i < hashedAhead; ++i)
    {
        valueHashes[i] = Index::Hash(eventID, i, item.GetArgumentValueID(i));
        m_valueIndex.Prefetch(valueHashes[i]);
    }

    const auto event = items::JudgeResolution(item, true);
    if (!event)
    {
        MarkUnsynchronized();
        return;
    }

    // The slots have arrived: what the item writes starts loading, all of it side by side.
    if (const EventRow* pRow = m_eventIndex.Find(eventID))
    {
        PrefetchObject(pRow->pElement);
        if (pRow->pArguments != nullptr)
            PrefetchObject(pRow->pArguments);
    }
    if (const TargetRow* pRow = m_targetIndex.Find(item.GetTargetID()))
        PrefetchObject(pRow->pTarget);
    for (std::uint32_t i = 0; i < hashedAhead; ++i)
        m_valueIndex.PrefetchElement(valueHashes[i]);

    EventRow& row = FindOrAddRow(m_eventIndex, m_eventMap, eventID);
    auto& element = *row.pElement;
    EventData& data = element.second;
    ++data.added;
    TargetRow& target = FindOrAddRow(m_targetIndex, m_targetToEvent, item.GetTargetID());
    target.pTarget->second = eventID;
    target.pEvent = &element;

    // Positions only grow: a trailing argument the event lost keeps its rows.
    ArgumentVector& arguments = data.arguments;
    if (arguments.size() < argumentCount)
        arguments.resize(static_cast<std::size_t>(argumentCount));
    row.pArguments = arguments.data();

    const std::vector<DialogueEventArgument>& eventArguments = event->GetArguments();
    for (std::uint32_t i = 0; i < argumentCount; ++i)
    {
        ArgumentData& argument = arguments[i];
        const GUID& argumentID = eventArguments[i].argumentID;
        // An argument the project lacks stays empty until a later item finds it.
        if (argument.values.empty() && !InitArgument(eventID, arguments, i, argumentID))
            continue;

        const GUID valueID = item.GetArgumentValueID(i);
        const std::uint64_t hash = i < hashedAhead ? valueHashes[i] : Index::Hash(eventID, i, valueID);
        ValueMap::value_type* pValue = m_valueIndex.Find(
            hash, [&](const ValueMap::value_type& entry)
            { return entry.first == valueID && entry.second.argumentTotal.Names(&arguments, i); });
        if (pValue == nullptr)
        {
            // A value the argument did not list when it was initialised.
            MarkUnsynchronized();
            pValue = &*argument.values.try_emplace(valueID).first;
            const auto argumentObject = VObjectRef<IVObject>::Lookup(argumentID);
            pValue->second.label =
                MakeLabel(i + 1, argumentObject ? argumentObject->GetName().c_str() : L"Unknown", L"Unknown");
            pValue->second.argumentTotal = ArgumentTotalLink(&arguments, i);
            m_valueIndex.Insert(hash, pValue);
        }
        ++pValue->second.count;
        ++argument.total;
    }

    m_eventList.ItemAddedOrChanged(&element);
}

void DialogueEventQuery::OnObjectNotification(const ObjectNotificationItem& item)
{
    // Only a play counts; any other notification would change nothing wherever it led.
    if (!items::IsPlayReason(items::ReasonOf(item)))
        return;
    // Most notifications are about a target itself: its slot loads while the object is looked up.
    m_targetIndex.Prefetch(item.GetObjectID());
    // The search that accepts the nearest resolved target keeps its element.
    const TargetRow* pTarget = nullptr;
    const auto match = items::MatchTarget(item.GetObjectID(), [&](const GUID& id)
                                          { return (pTarget = m_targetIndex.Find(id)) != nullptr; });
    if (!match)
        return;
    EventMap::value_type* const pElement = pTarget->pEvent;
    if (pElement == nullptr)
        return;
    ++pElement->second.played;
    m_eventList.ItemAddedOrChanged(pElement);
}

} // namespace DialogueEventQuery
