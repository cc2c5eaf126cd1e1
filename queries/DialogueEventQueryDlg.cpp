#include "queries/DialogueEventQueryDlg.h"

#include "framework/VObjectRef.h"
#include "host/base/StringHelp.h"
#include "host/base/TextCodec.h"
#include "host/results/ResultColumnFilter.h"
#include "host/ui/HostServices.h"
#include "host/ui/UISubClassingMgr.h"
#include "module/TallyApp.h"
#include "queries/DialogueEventQuery.h"
#include "resources/resource.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>
#include <vector>

using DialogueEventQuery::ArgumentVector;
using DialogueEventQuery::EventMap;
using DialogueEventQuery::ValueData;
using DialogueEventQuery::ValueMap;

namespace
{

const EventMap::value_type* FirstSelectedEvent(FilteredListControl& listCtrl)
{
    std::vector<CSmartPtr<NyLcRow>> rows;
    listCtrl.GetSelectedRows(rows);
    if (rows.empty())
        return nullptr;
    return static_cast<const EventMap::value_type*>(rows.front()->GetData());
}

void WriteTitles(std::wstring& text, const FilteredDataList& list)
{
    for (auto it = list.FilterBegin(); it != list.FilterEnd(); ++it)
    {
        text += static_cast<const ResultColumnFilter*>(*it)->title;
        text += L'\t';
    }
}

std::uint64_t TotalOf(const ValueData& value)
{
    return value.argumentTotal.Total();
}

// "\t\t\t%s\t%i\t%.1f\n" for one value, written piece by piece: the wide printf for every line was a
// good part of what copying a long distribution cost.
void AppendValueLine(std::wstring& text, const ValueData& value)
{
    char digits[64];
    const auto appendDigits = [&](const char* end)
    {
        text.append(static_cast<const char*>(digits), end);
    };
    text += L"\t\t\t";
    text += value.label;
    text += L'\t';
    appendDigits(
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::int32_t>(value.count)).ptr);
    text += L'\t';
    const auto percent = static_cast<double>(DialogueEventQuery::PercentOf(value.count, TotalOf(value)));
    appendDigits(
        std::to_chars(std::begin(digits), std::end(digits), percent, std::chars_format::fixed, 1).ptr);
    text += L'\n';
}

} // namespace

BEGIN_MESSAGE_MAP(DialogueEventQueryDlg, CDialogBase)
ON_WM_SIZE()
ON_NOTIFY(NM_LIST_SELCHANGED, IDC_RESULT_LIST, &DialogueEventQueryDlg::OnEventSelChange)
ON_MESSAGE(WM_COPY, &DialogueEventQueryDlg::OnCopy)
END_MESSAGE_MAP()

DialogueEventQueryDlg::DialogueEventQueryDlg(UINT nIDTemplate, DialogueEventQuery::DialogueEventQuery* pQuery,
                                             FilteredDataList* pValueList, FilteredDataList* pEventList,
                                             const GUID& selectedEvent)
    : CDialogBase(nIDTemplate, nullptr), m_caption(nullptr, 0, 1, false), m_pQuery(pQuery),
      m_pValueList(pValueList), m_pEventList(pEventList), m_selectedEvent(selectedEvent)
{
}

DialogueEventQueryDlg::~DialogueEventQueryDlg()
{
    m_pEventList->RemoveDataConsumer(this);
}

HINSTANCE DialogueEventQueryDlg::GetResourceHandle()
{
    return TallyModuleState()->m_hCurrentResourceHandle;
}

BOOL DialogueEventQueryDlg::OnInitDialog()
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());
    CDialogBase::OnInitDialog();

    // The first WM_SIZE lays the lists out.
    const CRect noRect(0, 0, 0, 0);
    m_eventListCtrl.CreateWnd(this, IDC_RESULT_LIST, noRect);
    m_eventListCtrl.ShowWindow(SW_SHOW);
    m_valueListCtrl.CreateWnd(this, IDC_VALUE_LIST, noRect);
    m_valueListCtrl.ShowWindow(SW_SHOW);
    m_valueListCtrl.SetResultName(StringHelp::Localize(L"Value Distribution"));
    m_caption.BindToPlaceHolder(GetDlgItem(IDC_SELECTED_EVENT_CAPTION));

    m_eventListCtrl.SetSource(m_pEventList);
    m_valueListCtrl.SetSource(m_pValueList);
    m_eventListCtrl.SetSelection(0);
    return TRUE;
}

void DialogueEventQueryDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialogBase::OnSize(nType, cx, cy);
    if (m_eventListCtrl.GetSafeHwnd() == nullptr || m_valueListCtrl.GetSafeHwnd() == nullptr)
        return;

    // Two columns of equal width, with a small gap between them and at the right edge.
    const int half = cx / 2;
    const int width = (cx - UISubClassingMgr::ScaleToDpi(10)) / 2;
    m_eventListCtrl.SetWindowPos(nullptr, 0, 0, width, cy, SWP_NOMOVE | SWP_NOACTIVATE);

    int y = 0;
    if (CWnd* pLabel = GetDlgItem(IDC_SELECTED_EVENT_LABEL))
    {
        CRect rect;
        pLabel->GetClientRect(&rect);
        pLabel->SetWindowPos(nullptr, half, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        y = rect.Height();
    }
    y += 2;
    if (CWnd* pCaption = GetDlgItem(IDC_SELECTED_EVENT_CAPTION))
    {
        CRect rect;
        pCaption->GetClientRect(&rect);
        pCaption->SetWindowPos(nullptr, half, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        y += rect.Height();
    }
    y += 3;
    m_valueListCtrl.SetWindowPos(nullptr, half, y, width, cy - y, SWP_NOACTIVATE);
}

void DialogueEventQueryDlg::OnEventSelChange(NMHDR*, LRESULT*)
{
    const EventMap::value_type* pEvent =
        m_eventListCtrl.HasSelection() ? FirstSelectedEvent(m_eventListCtrl) : nullptr;
    if (pEvent == nullptr)
    {
        m_caption.SetObjectID(GUID_NULL);
        m_pValueList->ClearAllItems();
        return;
    }
    m_caption.SetObjectID(pEvent->first);
    // Rows reach the window as read-only addresses; the arguments are the query's own to serve.
    m_pValueList->SetSource(const_cast<ArgumentVector*>(&pEvent->second.arguments));
}

void DialogueEventQueryDlg::OnBeforeRefresh()
{
    const EventMap::value_type* pEvent = FirstSelectedEvent(m_eventListCtrl);
    m_selectedEvent = pEvent ? pEvent->first : GUID_NULL;
}

void DialogueEventQueryDlg::OnAfterRefresh()
{
    if (IsNullGuid(m_selectedEvent))
        return;
    const EventMap& events = m_pQuery->GetEventMap();
    const auto it = events.lower_bound(m_selectedEvent);
    if (it != events.end() && it->first == m_selectedEvent)
        m_eventListCtrl.SetSelection(static_cast<const void*>(&*it));
    else
        m_eventListCtrl.SetSelection(static_cast<const void*>(nullptr));
}

LRESULT DialogueEventQueryDlg::OnCopy(WPARAM, LPARAM)
{
    const NYAutoWaitCursor waitCursor;
    const std::wstring text = BuildCopyText();
    if (ov::g_serviceProviderInstance != nullptr)
    {
        IServiceBase* pService = ov::g_serviceProviderInstance->GetService(ov::ServiceClipboard);
        if (auto* pClipboard = dynamic_cast<IClipboardService*>(pService))
            pClipboard->SetClipboardText(text.c_str());
    }
    return 0;
}

std::wstring DialogueEventQueryDlg::BuildCopyText()
{
    std::wstring text;
    WriteTitles(text, *m_pEventList);
    WriteTitles(text, *m_pValueList);
    text += L'\n';

    const int sortColumn = m_valueListCtrl.GetSortColumn();
    const bool bDescending = m_valueListCtrl.GetSortDirection() == BaseFilteredListControl::SortDescending;
    std::vector<const ValueData*> values;
    for (int i = 0; i < m_eventListCtrl.RowCount(); ++i)
    {
        const EventMap::value_type* pEvent = nullptr;
        if (const CSmartPtr<NyLcRow> row = m_eventListCtrl.GetRow(i, 0))
            pEvent = static_cast<const EventMap::value_type*>(row->GetData());
        if (pEvent == nullptr)
            continue;

        // An event the project no longer holds keeps its line, with an empty name.
        const auto event = VObjectRef<IVObject>::Lookup(pEvent->first);
        if (event)
            text += event->GetName();
        text += L'\t';
        text += std::to_wstring(pEvent->second.added);
        text += L'\t';
        text += std::to_wstring(pEvent->second.played);
        text += L'\n';

        // Every value, whatever the value list's filters hide.
        values.clear();
        FilteredDataList::IDataIterator* pRows =
            const_cast<ArgumentVector&>(pEvent->second.arguments).CreateRowIterator();
        while (const void* pRow = pRows->Next())
            values.push_back(&static_cast<const ValueMap::value_type*>(pRow)->second);
        pRows->Destroy();

        switch (sortColumn)
        {
        case 0:
            std::sort(values.begin(), values.end(),
                      [](const ValueData* a, const ValueData* b)
                      { return text::CompareUtf16(a->label, b->label) < 0; });
            break;
        case 1:
            std::sort(values.begin(), values.end(),
                      [](const ValueData* a, const ValueData* b) { return a->count < b->count; });
            break;
        case 2:
            std::sort(values.begin(), values.end(),
                      [](const ValueData* a, const ValueData* b)
                      {
                          return static_cast<float>(a->count) / static_cast<float>(TotalOf(*a)) <
                                 static_cast<float>(b->count) / static_cast<float>(TotalOf(*b));
                      });
            break;
        default:
            break;
        }
        if (bDescending)
            std::reverse(values.begin(), values.end());

        for (const ValueData* pValue : values)
            AppendValueLine(text, *pValue);
    }
    return text;
}
