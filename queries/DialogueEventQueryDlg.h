// The result window of "Dialogue Events Distribution": the event list on the left, the value
// distribution of the selected event on the right, and a copy that writes both lists as one text.
#pragma once

#include "host/base/Guid.h"
#include "host/results/FilteredDataList.h"
#include "host/results/FilteredListControl.h"
#include "host/ui/DialogBase.h"
#include "host/ui/ObjectCaption.h"

#include <string>

namespace DialogueEventQuery
{
class DialogueEventQuery;
}

class DialogueEventQueryDlg : public CDialogBase, public FilteredDataList::IDataConsumer
{
public:
    DialogueEventQueryDlg(UINT nIDTemplate, DialogueEventQuery::DialogueEventQuery* pQuery,
                          FilteredDataList* pValueList, FilteredDataList* pEventList,
                          const GUID& selectedEvent);
    ~DialogueEventQueryDlg() override;

    HINSTANCE GetResourceHandle() override;
    BOOL OnInitDialog() override;

    // The event list's notifications: only its refreshes matter, to keep the selection.
    void OnItemAddedOrChanged(const void*) override {}
    void OnAllItemsCleared() override {}
    void OnListReset() override {}
    void OnBeforeRefresh() override;
    void OnAfterRefresh() override;

    FilteredListControl& GetEventListControl() { return m_eventListCtrl; }
    FilteredListControl& GetValueListControl() { return m_valueListCtrl; }
    const VObjectTextUICaption& GetCaption() const { return m_caption; }

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnEventSelChange(NMHDR* pNotify, LRESULT* pResult);
    LRESULT OnCopy(WPARAM wParam, LPARAM lParam);

    // Every shown event with the whole value distribution of each, tab-separated.
    std::wstring BuildCopyText();

    FilteredListControl m_eventListCtrl;
    FilteredListControl m_valueListCtrl;
    VObjectTextUICaption m_caption;
    DialogueEventQuery::DialogueEventQuery* m_pQuery;
    FilteredDataList* m_pValueList;
    FilteredDataList* m_pEventList;
    // The event selected when the event list began to refresh.
    GUID m_selectedEvent;

    DECLARE_MESSAGE_MAP()
};
