#include "queries/DialogueResolvedQuery.h"

#include "framework/IProfilerQueryOwner.h"
#include "framework/MonitoringItemReader.h"
#include "host/base/StringHelp.h"
#include "host/results/ResultColumnFilter.h"
#include "host/services/ProjectManager.h"
#include "module/TallyApp.h"
#include "queries/DialogueResolvedDlg.h"
#include "resources/resource.h"

namespace DialogueResolvedQuery
{

RowIterator::RowIterator(const EventMap* pEventMap) : m_pEventMap(pEventMap)
{
    Reset();
}

void RowIterator::Reset()
{
    m_event = m_pEventMap->begin();
    Settle();
}

void RowIterator::Settle()
{
    while (m_event != m_pEventMap->end() && m_event->second.empty())
        ++m_event;
    if (m_event != m_pEventMap->end())
        m_target = m_event->second.begin();
}

const void* RowIterator::Next()
{
    if (m_event == m_pEventMap->end())
        return nullptr;
    const void* pRow = &*m_target;
    ++m_target;
    if (m_target == m_event->second.end())
    {
        ++m_event;
        Settle();
    }
    return pRow;
}

const void* ColumnIterator::Next()
{
    switch (m_nColumn++)
    {
    case 0:
        return &m_pRow->second.event->first;
    case 1:
        return &m_pRow->first;
    case 2:
        return &m_pRow->second.count;
    default:
        m_nColumn = 3;
        return nullptr;
    }
}

void DialogueResolvedQuery::Init()
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());
    const CStdStr<wchar_t> noText;
    m_list.AddFilter(new VObjectGUIDFilter(StringHelp::Localize(L"Dialogue Event Name"), 150, 1, noText));
    m_list.AddFilter(new VObjectGUIDFilter(StringHelp::Localize(L"Target Object"), 300, 1, noText));
    m_list.AddFilter(new IntFilter(StringHelp::Localize(L"Count"), 60, 1, noText));
    m_list.SetSource(this);
}

void DialogueResolvedQuery::Term()
{
    m_list.DestroyAllFilters();
    Clear();
}

CStdStr<wchar_t> DialogueResolvedQuery::GetName()
{
    return StringHelp::Localize(L"Dialogue Events Added");
}

CDialogBase* DialogueResolvedQuery::CreateResultDialog()
{
    return new DialogueResolvedDlg(IDD_RESULT_LIST, &m_list);
}

void DialogueResolvedQuery::BeginRun()
{
    m_list.OpenBrace();
    Clear();
}

void DialogueResolvedQuery::EndRun()
{
    m_list.CloseBrace();
}

void DialogueResolvedQuery::Clear()
{
    m_events.Clear();
    m_list.ClearAllItems();
    m_bUnsynchronized = false;
}

void DialogueResolvedQuery::OnMonitoringItem(const MonitoringItem* pItem)
{
    if (items::KindOf(pItem) == items::kDialogueResolved)
        OnDialogueResolved(*static_cast<const DialogueResolvedItem*>(pItem));
}

FilteredDataList::IDataIterator* DialogueResolvedQuery::CreateRowIterator()
{
    return new RowIterator(&m_events.Rows());
}

FilteredDataList::IDataIterator* DialogueResolvedQuery::CreateColumnIterator(const void* pRow)
{
    return new ColumnIterator(pRow);
}

void DialogueResolvedQuery::MarkUnsynchronized()
{
    m_bUnsynchronized = true;
    if (m_pOwner)
        m_pOwner->OnQueryStateChanged();
}

bool DialogueResolvedQuery::FillTargets(EventMap::value_type& element, const GUID& eventID)
{
    const auto event = items::LookupDialogueEvent(eventID);
    if (!event)
        return false;

    const ResolutionContext* pContext =
        ProjectManager::m_pInstance ? &ProjectManager::m_pInstance->m_resolutionContext : nullptr;
    TargetMap& targets = element.second;
    for (const IVTargetEntry* pEntry : event->GetTargetEntries())
    {
        IVObjectReference* pReference = nullptr;
        pEntry->GetTargetReference(&pReference, pContext);
        // Entries with the same target share one row; an entry without one keys the null GUID.
        const GUID targetID = pReference ? pReference->GetReferencedID() : GUID_NULL;
        targets[targetID].event = &element;
        if (pReference)
            pReference->Release();
    }
    // One re-read of the source for the whole batch of new rows.
    m_list.FilterChanged();
    return true;
}

void DialogueResolvedQuery::OnDialogueResolved(const DialogueResolvedItem& item)
{
    const GUID eventID = item.GetObjectID();
    if (IsNullGuid(eventID))
    {
        MarkUnsynchronized();
        return;
    }
    auto& element = m_events.FindOrAdd(eventID);
    // The targets are read once per Clear; an event whose reading gave nothing tries again.
    if (element.second.empty() && !FillTargets(element, eventID))
    {
        MarkUnsynchronized();
        return;
    }
    // A target that the event's entries do not list is not counted.
    const auto target = element.second.find(item.GetTargetID());
    if (target == element.second.end())
        return;
    ++target->second.count;
    m_list.ItemAddedOrChanged(&*target);
}

} // namespace DialogueResolvedQuery
