#include "queries/ArgumentPathsQuery.h"

#include "framework/IProfilerQueryOwner.h"
#include "framework/MonitoringItemReader.h"
#include "host/base/StringHelp.h"
#include "host/results/ResultColumnFilter.h"
#include "module/TallyApp.h"
#include "queries/ArgumentPathsDlg.h"
#include "queries/StdDataIterator.h"
#include "queries/StructRowIterator.h"
#include "resources/resource.h"

namespace ArgumentPathsQuery
{

using ColumnIterator = StructRowIterator<ArgPathData, 3>;

} // namespace ArgumentPathsQuery

template <>
const ArgumentPathsQuery::ColumnIterator::Offsets
    ArgumentPathsQuery::ColumnIterator::s_offsets = MeasureOffsets<ArgumentPathsQuery::PathMap::value_type>(
        [](const auto& element) -> const auto& { return element.second.path; },
        [](const auto& element) -> const auto& { return element.second.added; },
        [](const auto& element) -> const auto& { return element.second.played; });

namespace ArgumentPathsQuery
{

void ArgumentPathsQuery::Init()
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());
    m_list.AddFilter(new TextFilter(StringHelp::Localize(L"Path"), 150, 1, CStdStr<wchar_t>()));
    m_list.AddFilter(new IntFilter(StringHelp::Localize(L"Added"), 60, 1, CStdStr<wchar_t>()));
    m_list.AddFilter(new IntFilter(StringHelp::Localize(L"Played"), 60, 1, CStdStr<wchar_t>()));
    m_list.SetSource(this);
}

void ArgumentPathsQuery::Term()
{
    m_list.DestroyAllFilters();
    Clear();
}

CStdStr<wchar_t> ArgumentPathsQuery::GetName()
{
    return StringHelp::Localize(L"Paths Used");
}

CDialogBase* ArgumentPathsQuery::CreateResultDialog()
{
    return new ArgumentPathsDlg(IDD_RESULT_LIST, &m_list);
}

void ArgumentPathsQuery::BeginRun()
{
    m_list.OpenBrace();
    Clear();
}

void ArgumentPathsQuery::EndRun()
{
    m_list.CloseBrace();
}

void ArgumentPathsQuery::Clear()
{
    m_pending.Clear();
    m_paths.Clear();
    m_list.ClearAllItems();
    m_bUnsynchronized = false;
}

void ArgumentPathsQuery::OnMonitoringItem(const MonitoringItem* pItem)
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

FilteredDataList::IDataIterator* ArgumentPathsQuery::CreateRowIterator()
{
    return new StdDataIterator<PathMap>(&m_paths.Rows());
}

FilteredDataList::IDataIterator* ArgumentPathsQuery::CreateColumnIterator(const void* pRow)
{
    return new ColumnIterator(pRow);
}

void ArgumentPathsQuery::MarkUnsynchronized()
{
    m_bUnsynchronized = true;
    if (m_pOwner)
        m_pOwner->OnQueryStateChanged();
}

void ArgumentPathsQuery::BuildPath(const IVDialogueEvent& event, const DialogueResolvedItem& item)
{
    // Event name, ":", then ":" before the first value and "." before each later one.
    std::wstring& path = m_pathText;
    path.assign(event.GetName());
    path += L':';
    const std::uint64_t argumentCount = item.GetArgumentCount();
    for (std::uint64_t i = 0; i < argumentCount; ++i)
    {
        path += i == 0 ? L':' : L'.';
        const GUID valueID = item.GetArgumentValueID(i);
        if (IsNullGuid(valueID))
        {
            path += L'*';
            continue;
        }
        const auto value = VObjectRef<IVObject>::Lookup(valueID);
        if (!value)
        {
            MarkUnsynchronized();
            path += L"Unknown";
            continue;
        }
        path += value->GetName();
    }
}

void ArgumentPathsQuery::OnDialogueResolved(const DialogueResolvedItem& item)
{
    const auto event = items::JudgeResolution(item, true);
    if (!event)
    {
        MarkUnsynchronized();
        return;
    }

    BuildPath(*event, item);
    auto& element = m_paths.FindOrAdd(m_pathText);
    ArgPathData& data = element.second;
    ++data.added;
    if (data.path == nullptr)
        data.path = element.first.c_str();
    if (!item.IsResolveOnly())
        m_pending.FindOrAdd(item.GetTargetID()).second.push(&element);

    m_list.ItemAddedOrChanged(&element);
}

void ArgumentPathsQuery::OnObjectNotification(const ObjectNotificationItem& item)
{
    // Only a play consumes a pending entry; any other notification leaves every queue as it was.
    if (!items::IsPlayReason(items::ReasonOf(item)))
        return;
    // The search that accepts the nearest pending target keeps its element.
    PendingIndex::Element* pPending = nullptr;
    const auto match = items::MatchTarget(item.GetObjectID(),
                                          [&](const GUID& id)
                                          {
                                              pPending = m_pending.Find(id);
                                              return pPending != nullptr;
                                          });
    if (!match)
        return;
    PendingQueue& queue = pPending->second;
    // The nearest pending key decides, even with nothing left under it.
    if (queue.empty())
        return;

    PathMap::value_type* pElement = queue.front();
    ++pElement->second.played;
    queue.pop();
    m_list.ItemAddedOrChanged(pElement);
}

} // namespace ArgumentPathsQuery
