#include "queries/ListResultDlg.h"

#include "module/TallyApp.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(ListResultDlg, CDialogBase)
ON_MESSAGE(WM_COPY, &ListResultDlg::OnCopy)
END_MESSAGE_MAP()

ListResultDlg::ListResultDlg(UINT nIDTemplate, FilteredDataList* pList)
    : CDialogBase(nIDTemplate, nullptr), m_pList(pList)
{
}

ListResultDlg::~ListResultDlg() = default;

HINSTANCE ListResultDlg::GetResourceHandle()
{
    return TallyModuleState()->m_hCurrentResourceHandle;
}

BOOL ListResultDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    CRect rect;
    GetClientRect(&rect);
    m_listCtrl.CreateWnd(this, IDC_RESULT_LIST, rect);
    m_listCtrl.ShowWindow(SW_SHOW);
    m_listCtrl.SetSource(m_pList);
    m_anchor.AddControl(&m_listCtrl, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM, nullptr, {});
    return TRUE;
}

LRESULT ListResultDlg::OnCopy(WPARAM, LPARAM)
{
    m_listCtrl.CopyToClipboard();
    return 0;
}
