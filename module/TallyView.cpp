#include "module/TallyView.h"

#include "host/ui/HostServices.h"
#include "module/TallyApp.h"
#include "resources/resource.h"
#include "window/TallyDlg.h"

namespace
{
constexpr int kHelpTopic = 84;
}

int TallyView::CreateViewWindow(IViewContainer* pContainer)
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());
    m_pDialog = new CTallyDlg(pContainer);
    CWnd* pParent = pContainer ? CWnd::FromHandle(pContainer->GetContainerWindow()) : nullptr;
    m_pDialog->Create(IDD_TALLY_DIALOG, pParent);
    return 0;
}

HWND TallyView::GetViewWindow()
{
    return m_pDialog ? m_pDialog->GetSafeHwnd() : nullptr;
}

void TallyView::GetDefaultPlacement(int, SIZE* pSize, RECT* pRect)
{
    SetRect(pRect, 0, 25, 685, 726);
    if (pSize)
    {
        pSize->cx = 1280;
        pSize->cy = 1024;
    }
}

void TallyView::Focus(int reason)
{
    CViewBase::Focus(reason);
}

void TallyView::ShowHelp()
{
    DisplayHelp(kHelpTopic);
}
