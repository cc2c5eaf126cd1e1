#include "host/ui/Anchor.h"

#include "host/ui/Wnd.h"

#include <algorithm>

namespace
{
SIZE ClientSize(const CWnd* pWnd)
{
    RECT r;
    pWnd->GetClientRect(&r);
    return SIZE{r.right, r.bottom};
}

// The rectangle of the control in the client coordinates of the layout's window, which need not be
// its parent.
RECT RectIn(const CWnd* pLayout, const CWnd* pControl)
{
    RECT r;
    pControl->GetWindowRect(&r);
    pLayout->ScreenToClient(&r);
    return r;
}

// One axis: both edges anchored stretches, the far edge alone moves, otherwise nothing changes.
void Follow(LONG& nearEdge, LONG& farEdge, bool bNear, bool bFar, LONG delta)
{
    if (!bFar)
        return;
    if (bNear)
    {
        farEdge = std::max(nearEdge, farEdge + delta);
    }
    else
    {
        nearEdge += delta;
        farEdge += delta;
    }
}
} // namespace

void Anchor::Init(CWnd* pParent)
{
    m_pParent = pParent;
    m_controls.clear();
}

void Anchor::Term()
{
    m_pParent = nullptr;
    m_controls.clear();
}

void Anchor::AddControl(CWnd* pControl, int flags, CWnd* pParentBox, Callback callback)
{
    if (pControl == nullptr || !IsWindow(pControl->GetSafeHwnd()))
        return;
    if (m_pParent == nullptr)
        Init(pControl->GetParent());
    if (m_pParent == nullptr || !IsWindow(m_pParent->GetSafeHwnd()))
        return;
    const bool bBox = pParentBox != nullptr && IsWindow(pParentBox->GetSafeHwnd());
    m_controls.push_back(Item{pControl->GetSafeHwnd(), bBox ? pParentBox->GetSafeHwnd() : nullptr, flags,
                              RectIn(m_pParent, pControl), ClientSize(bBox ? pParentBox : m_pParent),
                              std::move(callback)});
}

void Anchor::OnSize(int cx, int cy)
{
    if (m_pParent == nullptr)
        return;
    // By index and by copy: a callback may restart the layout.
    for (std::size_t i = 0; i < m_controls.size(); ++i)
    {
        const Item item = m_controls[i];
        CWnd* pControl = CWnd::FromHandle(item.hControl);
        if (pControl == nullptr)
            continue;
        SIZE reference{cx, cy};
        if (item.hBox != nullptr)
        {
            const CWnd* pBox = CWnd::FromHandle(item.hBox);
            if (pBox == nullptr)
                continue;
            reference = ClientSize(pBox);
        }
        RECT r = item.rect;
        Follow(r.left, r.right, (item.flags & ANCHOR_LEFT) != 0, (item.flags & ANCHOR_RIGHT) != 0,
               reference.cx - item.parentSize.cx);
        Follow(r.top, r.bottom, (item.flags & ANCHOR_TOP) != 0, (item.flags & ANCHOR_BOTTOM) != 0,
               reference.cy - item.parentSize.cy);
        // Back to the coordinates of the control's own parent.
        const RECT now = RectIn(m_pParent, pControl);
        const RECT inParent = pControl->GetRectInParent();
        const LONG dx = inParent.left - now.left;
        const LONG dy = inParent.top - now.top;
        pControl->SetWindowPos(nullptr, r.left + dx, r.top + dy, r.right - r.left, r.bottom - r.top,
                               SWP_NOZORDER | SWP_NOACTIVATE);
        if (item.callback)
            item.callback(pControl);
    }
}
