#include "host/ui/DialogBase.h"

#include "host/ui/ModuleState.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CDialogBase, CWnd)
ON_WM_SIZE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CDialogBase::CDialogBase(UINT nIDTemplate, CWnd* pParent) : m_pParentWnd(pParent), m_nIDTemplate(nIDTemplate)
{
}

CDialogBase::~CDialogBase()
{
    // While the anchor still exists, so that OnDestroy can end it.
    if (IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CDialogBase::Create(UINT nIDTemplate, CWnd* pParent)
{
    if (m_hWnd != nullptr)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParent;
    const HINSTANCE hResources = GetResourceHandle();
    const DialogTemplate* pTemplate = hResources != nullptr ? hResources->FindDialog(nIDTemplate) : nullptr;
    if (pTemplate == nullptr)
        return FALSE;

    const RECT rect = MapDialogRect(*pTemplate, 0, 0, pTemplate->cx, pTemplate->cy);
    if (!CreateEx(pTemplate->exStyle, WC_DIALOG, pTemplate->caption, pTemplate->style, rect, pParent, 0))
        return FALSE;
    const HWND hDialog = m_hWnd;

    // The controls have no objects of their own until a dialog subclasses or replaces them.
    for (const DialogControlTemplate& control : pTemplate->controls)
    {
        CWnd window;
        const RECT controlRect = MapDialogRect(*pTemplate, control.x, control.y, control.cx, control.cy);
        if (!window.CreateEx(control.exStyle, control.className, control.text, control.style | WS_CHILD,
                             controlRect, this, control.id))
        {
            DestroyWindow();
            return FALSE;
        }
        window.Detach();
    }

    SendMessage(WM_INITDIALOG, 0, 0);
    return IsWindow(hDialog);
}

BOOL CDialogBase::CreateDialogFromResources(CWnd* pParent)
{
    return Create(m_nIDTemplate, pParent);
}

void CDialogBase::ReplaceHolder(CWnd* pWnd, UINT nIDHolder)
{
    CWnd* pHolder = GetDlgItem(static_cast<int>(nIDHolder));
    if (pWnd == nullptr || pHolder == nullptr || pWnd == pHolder || !IsWindow(pWnd->GetSafeHwnd()))
        return;
    const RECT rect = pHolder->GetRectInParent();
    // Just above the placeholder: after the sibling above it, or on top when it is topmost.
    const std::vector<CWnd*> siblings = GetChildren();
    const auto it = std::ranges::find(siblings, pHolder);
    const CWnd* pAbove = it != siblings.begin() && it != siblings.end() ? *(it - 1) : nullptr;
    UINT flags = SWP_NOACTIVATE;
    if (pAbove == pWnd || pWnd->GetParent() != this)
        flags |= SWP_NOZORDER;
    pWnd->SetWindowPos(pAbove, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
    pHolder->ShowWindow(SW_HIDE);
}

HINSTANCE CDialogBase::GetResourceHandle()
{
    return AfxGetResourceHandle();
}

BOOL CDialogBase::OnInitDialog()
{
    m_anchor.Init(this);
    return TRUE;
}

void CDialogBase::OnDestroy()
{
    m_anchor.Term();
}

void CDialogBase::OnSize(UINT, int cx, int cy)
{
    m_anchor.OnSize(cx, cy);
}

LRESULT CDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}
