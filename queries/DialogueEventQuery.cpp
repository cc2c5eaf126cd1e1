#include "queries/DialogueEventQuery.h"

#include "framework/IProfilerQueryOwner.h"
#include "framework/MonitoringItemReader.h"
#include "host/base/StringHelp.h"
#include "host/results/ResultColumnFilter.h"
#include "module/TallyApp.h"
#include "queries/DialogueEventQueryDlg.h"
#include "queries/StdDataIterator.h"
#include "queries/StructRowIterator.h"
#include "resources/resource.h"

#include <new>
#include <string>

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

// "%i.%s:%s": the argument's position from 1, the argument's name, the value's name.
CStdStr<wchar_t> MakeLabel(std::uint32_t position, std::wstring_view argumentName,
                           std::wstring_view valueName)
{
    CStdStr<wchar_t> label(std::to_wstring(static_cast<std::int32_t>(position)));
    label.append(L".").append(argumentName).append(L":").append(valueName);
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

void DialogueEventQuery::MarkUnsynchronized()
{
    m_bUnsynchronized = true;
    if (m_pOwner)
        m_pOwner->OnQueryStateChanged();
}

bool DialogueEventQuery::InitArgument(ArgumentVector& arguments, std::uint32_t index, const GUID& argumentID)
{
    const auto argument = VObjectRef<IVObject>::Lookup(argumentID);
    if (!argument)
        return false;

    const std::uint32_t position = index + 1;
    const CStdStr<wchar_t> argumentName = argument->GetName();
    ValueMap& values = arguments[index].values;
    const auto addEntry = [&](const GUID& valueID, std::wstring_view valueName)
    {
        const auto [entry, bInserted] = values.try_emplace(valueID);
        if (!bInserted)
            return;
        entry->second.label = MakeLabel(position, argumentName, valueName);
        entry->second.argumentTotal = ArgumentTotalLink(&arguments, index);
    };

    addEntry(GUID_NULL, L"*");
    std::vector<GUID> valueIDs;
    argument->GetValueIDs(valueIDs);
    for (const GUID& valueID : valueIDs)
    {
        const auto value = VObjectRef<IVObject>::Lookup(valueID);
        if (value)
        {
            addEntry(valueID, value->GetName());
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
    const auto event = items::JudgeResolution(item, true);
    if (!event)
    {
        MarkUnsynchronized();
        return;
    }

    // A target is mostly reached by one event: its entry then leads to the event's element, which
    // saves the search of the events.
    const GUID eventID = item.GetObjectID();
    EventMap::value_type*& targetEvent = m_targetToEvent[item.GetTargetID()];
    if (targetEvent == nullptr || targetEvent->first != eventID)
        targetEvent = &*m_eventMap.try_emplace(eventID).first;
    auto& element = *targetEvent;
    EventData& data = element.second;
    ++data.added;

    // Positions only grow: a trailing argument the event lost keeps its rows.
    const std::uint64_t argumentCount = item.GetArgumentCount();
    ArgumentVector& arguments = data.arguments;
    if (arguments.size() < argumentCount)
        arguments.resize(static_cast<std::size_t>(argumentCount));

    const std::vector<DialogueEventArgument>& eventArguments = event->GetArguments();
    for (std::uint32_t i = 0; i < argumentCount; ++i)
    {
        ArgumentData& argument = arguments[i];
        const GUID& argumentID = eventArguments[i].argumentID;
        // An argument the project lacks stays empty until a later item finds it.
        if (argument.values.empty() && !InitArgument(arguments, i, argumentID))
            continue;

        ValueData& value = argument.values[item.GetArgumentValueID(i)];
        if (!value.argumentTotal)
        {
            // A value the argument did not list when it was initialised.
            MarkUnsynchronized();
            const auto argumentObject = VObjectRef<IVObject>::Lookup(argumentID);
            value.label =
                MakeLabel(i + 1, argumentObject ? argumentObject->GetName() : L"Unknown", L"Unknown");
            value.argumentTotal = ArgumentTotalLink(&arguments, i);
        }
        ++value.count;
        ++argument.total;
    }

    m_eventList.ItemAddedOrChanged(&element);
}

void DialogueEventQuery::OnObjectNotification(const ObjectNotificationItem& item)
{
    // Only a play counts; any other notification would change nothing wherever it led.
    if (!items::IsPlayReason(items::ReasonOf(item)))
        return;
    // The search that accepts the nearest resolved target keeps its element.
    auto target = m_targetToEvent.cend();
    const auto match = items::MatchTarget(item.GetObjectID(),
                                          [&](const GUID& id)
                                          {
                                              target = m_targetToEvent.find(id);
                                              return target != m_targetToEvent.cend();
                                          });
    if (!match)
        return;
    EventMap::value_type& event = *target->second;
    ++event.second.played;
    m_eventList.ItemAddedOrChanged(&event);
}

} // namespace DialogueEventQuery
