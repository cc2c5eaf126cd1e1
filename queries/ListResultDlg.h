// A result window that is one list control over its whole client area, copied by the control's own
// text form.
#pragma once

#include "host/results/FilteredListControl.h"
#include "host/ui/DialogBase.h"

class ListResultDlg : public CDialogBase
{
public:
    ListResultDlg(UINT nIDTemplate, FilteredDataList* pList);
    ~ListResultDlg() override;

    HINSTANCE GetResourceHandle() override;
    BOOL OnInitDialog() override;

    FilteredListControl& GetListControl() { return m_listCtrl; }

protected:
    LRESULT OnCopy(WPARAM wParam, LPARAM lParam);

    FilteredDataList* m_pList;
    FilteredListControl m_listCtrl;

    DECLARE_MESSAGE_MAP()
};
