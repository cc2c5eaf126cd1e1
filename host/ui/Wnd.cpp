#include "host/ui/Wnd.h"

#include "host/ui/ShowWindowHook.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <unordered_map>

// A window: a node of the tree. Visibility and the enabled state live in the style bits, as Windows
// keeps them, so GetStyle and the flags always agree.
struct HWND__
{
    HWND pParent = nullptr;
    std::vector<HWND> children; // z-order, topmost first
    int nID = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int nCheck = 0;
    RECT rect; // in the parent's client coordinates
    CWnd* pWnd = nullptr;
    // Answers FromHandle while no object is attached; lives as long as the window.
    std::unique_ptr<CWnd> pStandIn;
    // Tells a window apart from a later one that reuses its address.
    std::uint64_t serial = 0;
    bool bDestroying = false;
};

namespace
{
// The root of the message-map chains: no entries of its own.
constexpr AFX_MSGMAP_ENTRY kRootEntries[] = {{0, 0, 0, AfxSig_end, nullptr}};
constexpr AFX_MSGMAP kRootMessageMap = {nullptr, &kRootEntries[0]};

bool IsButtonClass(const std::wstring& className)
{
    static constexpr std::wstring_view kButton = L"button";
    return std::ranges::equal(
        className, kButton, [](wchar_t a, wchar_t b) { return std::towlower(a) == static_cast<wint_t>(b); });
}

bool HasCheckState(DWORD style)
{
    switch (style & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

bool IsClickable(DWORD style)
{
    return (style & BS_TYPEMASK) != BS_GROUPBOX;
}
} // namespace

// Owns every node; the only place that creates and frees them.
struct WindowTree
{
    std::unordered_map<HWND, std::unique_ptr<HWND__>> live;
    std::uint64_t nextSerial = 1;

    static WindowTree& Get();

    static bool Alive(HWND hWnd) { return hWnd != nullptr && Get().live.contains(hWnd); }

    static CWnd* Handler(HWND hWnd)
    {
        if (hWnd->pWnd != nullptr)
            return hWnd->pWnd;
        if (!hWnd->pStandIn)
        {
            hWnd->pStandIn = std::make_unique<CWnd>();
            hWnd->pStandIn->m_hWnd = hWnd;
        }
        return hWnd->pStandIn.get();
    }

    static LRESULT Send(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return Handler(hWnd)->WindowProc(message, wParam, lParam);
    }

    static void SendSize(HWND hWnd)
    {
        const RECT& r = hWnd->rect;
        Send(hWnd, WM_SIZE, SIZE_RESTORED,
             MAKELPARAM(static_cast<unsigned>(r.right - r.left), static_cast<unsigned>(r.bottom - r.top)));
    }

    // WM_DESTROY top-down. A handler may destroy a child outright (a dialog releasing its result
    // window), so the children are taken again by handle and checked before each is visited.
    static void SendDestroy(HWND hWnd)
    {
        hWnd->bDestroying = true;
        Send(hWnd, WM_DESTROY, 0, 0);
        std::vector<std::pair<HWND, std::uint64_t>> children;
        for (HWND child : hWnd->children)
            children.emplace_back(child, child->serial);
        for (const auto& [child, serial] : children)
        {
            if (Alive(child) && child->serial == serial && child->pParent == hWnd && !child->bDestroying)
                SendDestroy(child);
        }
    }

    // Frees the subtree bottom-up; each attached object hears PostNcDestroy once its window is gone.
    static void Release(HWND hWnd)
    {
        while (!hWnd->children.empty())
        {
            HWND child = hWnd->children.front();
            if (!child->bDestroying)
                SendDestroy(child);
            if (Alive(child) && child->pParent == hWnd)
                Release(child);
        }
        if (HWND parent = hWnd->pParent)
            std::erase(parent->children, hWnd);
        CWnd* pWnd = hWnd->pWnd;
        if (pWnd != nullptr)
            pWnd->m_hWnd = nullptr;
        if (hWnd->pStandIn)
            hWnd->pStandIn->m_hWnd = nullptr;
        Get().live.erase(hWnd);
        // May delete the object: nothing of it is touched afterwards.
        if (pWnd != nullptr)
            pWnd->PostNcDestroy();
    }

    static void Destroy(HWND hWnd)
    {
        SendDestroy(hWnd);
        if (Alive(hWnd))
            Release(hWnd);
    }
};

WindowTree& WindowTree::Get()
{
    static WindowTree tree;
    return tree;
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (!WindowTree::Alive(m_hWnd) || m_hWnd->pWnd != this)
        return;
    // Deleted from a WM_DESTROY handler while its window is on the way out: let the window finish
    // without it.
    if (m_hWnd->bDestroying)
    {
        m_hWnd->pWnd = nullptr;
        m_hWnd = nullptr;
        return;
    }
    DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!WindowTree::Alive(hWnd))
        return nullptr;
    return WindowTree::Handler(hWnd);
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, CWnd* pParent, UINT nID)
{
    if (m_hWnd != nullptr)
        return FALSE;
    HWND parent = nullptr;
    if (pParent != nullptr)
    {
        parent = pParent->m_hWnd;
        if (!WindowTree::Alive(parent) || parent->bDestroying)
            return FALSE;
    }
    WindowTree& tree = WindowTree::Get();
    auto node = std::make_unique<HWND__>();
    node->pParent = parent;
    node->nID = static_cast<int>(nID);
    node->className = className != nullptr ? className : L"";
    node->text = windowName != nullptr ? windowName : L"";
    node->style = style;
    node->exStyle = exStyle;
    node->rect = RECT{rect.left, rect.top, rect.left + std::max<LONG>(0, rect.right - rect.left),
                      rect.top + std::max<LONG>(0, rect.bottom - rect.top)};
    node->pWnd = this;
    node->serial = tree.nextSerial++;
    HWND hWnd = node.get();
    tree.live.emplace(hWnd, std::move(node));
    // New children go to the bottom, so a dialog's z-order is its template order.
    if (parent != nullptr)
        parent->children.push_back(hWnd);
    m_hWnd = hWnd;
    WindowTree::SendSize(hWnd);
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    HWND hWnd = m_hWnd;
    if (!WindowTree::Alive(hWnd) || hWnd->bDestroying)
        return FALSE;
    // This object may be gone once the call returns (a stand-in, or a self-deleting window).
    WindowTree::Destroy(hWnd);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != nullptr || !WindowTree::Alive(hWnd) || hWnd->bDestroying)
        return FALSE;
    if (hWnd->pWnd != nullptr)
        hWnd->pWnd->m_hWnd = nullptr;
    hWnd->pWnd = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (WindowTree::Alive(hWnd) && hWnd->pWnd == this)
        hWnd->pWnd = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

CWnd* CWnd::GetParent() const
{
    return WindowTree::Alive(m_hWnd) ? FromHandle(m_hWnd->pParent) : nullptr;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const
{
    return WindowTree::Alive(m_hWnd) ? m_hWnd->nID : 0;
}

void CWnd::SetDlgCtrlID(int nID)
{
    if (WindowTree::Alive(m_hWnd))
        m_hWnd->nID = nID;
}

std::vector<CWnd*> CWnd::GetChildren() const
{
    std::vector<CWnd*> children;
    if (WindowTree::Alive(m_hWnd))
    {
        for (HWND child : m_hWnd->children)
            children.push_back(FromHandle(child));
    }
    return children;
}

void CWnd::GetWindowRect(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    if (!WindowTree::Alive(m_hWnd))
    {
        *pRect = RECT{};
        return;
    }
    RECT r = m_hWnd->rect;
    for (HWND p = m_hWnd->pParent; p != nullptr; p = p->pParent)
    {
        r.left += p->rect.left;
        r.right += p->rect.left;
        r.top += p->rect.top;
        r.bottom += p->rect.top;
    }
    *pRect = r;
}

void CWnd::GetClientRect(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    const RECT r = GetRectInParent();
    *pRect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

RECT CWnd::GetRectInParent() const
{
    return WindowTree::Alive(m_hWnd) ? m_hWnd->rect : RECT{};
}

void CWnd::ScreenToClient(LPRECT pRect) const
{
    if (pRect == nullptr)
        return;
    RECT self;
    GetWindowRect(&self);
    pRect->left -= self.left;
    pRect->right -= self.left;
    pRect->top -= self.top;
    pRect->bottom -= self.top;
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    HWND hWnd = m_hWnd;
    if (!WindowTree::Alive(hWnd))
        return FALSE;
    RECT& r = hWnd->rect;
    const LONG oldWidth = r.right - r.left;
    const LONG oldHeight = r.bottom - r.top;
    LONG width = oldWidth;
    LONG height = oldHeight;
    if ((nFlags & SWP_NOSIZE) == 0)
    {
        width = std::max(0, cx);
        height = std::max(0, cy);
    }
    if ((nFlags & SWP_NOMOVE) == 0)
    {
        r.left = x;
        r.top = y;
    }
    r.right = r.left + width;
    r.bottom = r.top + height;

    if ((nFlags & SWP_NOZORDER) == 0 && hWnd->pParent != nullptr)
    {
        HWND after = pWndInsertAfter != nullptr ? pWndInsertAfter->m_hWnd : nullptr;
        std::vector<HWND>& siblings = hWnd->pParent->children;
        if (after == nullptr)
        {
            std::erase(siblings, hWnd);
            siblings.insert(siblings.begin(), hWnd);
        }
        else if (after != hWnd && WindowTree::Alive(after) && after->pParent == hWnd->pParent)
        {
            std::erase(siblings, hWnd);
            siblings.insert(std::ranges::find(siblings, after) + 1, hWnd);
        }
    }
    if ((nFlags & SWP_SHOWWINDOW) != 0)
        hWnd->style |= WS_VISIBLE;
    if ((nFlags & SWP_HIDEWINDOW) != 0)
        hWnd->style &= ~WS_VISIBLE;

    if (width != oldWidth || height != oldHeight)
        WindowTree::SendSize(hWnd);
    return TRUE;
}

void CWnd::MoveWindow(int x, int y, int cx, int cy)
{
    SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!WindowTree::Alive(m_hWnd))
        return FALSE;
    const BOOL wasVisible = HasVisibleStyle() ? TRUE : FALSE;
    if (nCmdShow == SW_HIDE)
        m_hWnd->style &= ~WS_VISIBLE;
    else
        m_hWnd->style |= WS_VISIBLE;
    ShowWindowHook::Notify(m_hWnd, nCmdShow);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    if (!WindowTree::Alive(m_hWnd))
        return FALSE;
    for (HWND p = m_hWnd; p != nullptr; p = p->pParent)
    {
        if ((p->style & WS_VISIBLE) == 0)
            return FALSE;
    }
    return TRUE;
}

bool CWnd::HasVisibleStyle() const
{
    return WindowTree::Alive(m_hWnd) && (m_hWnd->style & WS_VISIBLE) != 0;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!WindowTree::Alive(m_hWnd))
        return FALSE;
    const BOOL wasDisabled = (m_hWnd->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if (bEnable)
        m_hWnd->style &= ~WS_DISABLED;
    else
        m_hWnd->style |= WS_DISABLED;
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return WindowTree::Alive(m_hWnd) && (m_hWnd->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

void CWnd::SetWindowText(const wchar_t* text)
{
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

CStdStr<wchar_t> CWnd::GetWindowText() const
{
    return WindowTree::Alive(m_hWnd) ? CStdStr<wchar_t>(m_hWnd->text) : CStdStr<wchar_t>();
}

const std::wstring& CWnd::GetClassName() const
{
    static const std::wstring kNone;
    return WindowTree::Alive(m_hWnd) ? m_hWnd->className : kNone;
}

DWORD CWnd::GetStyle() const
{
    return WindowTree::Alive(m_hWnd) ? m_hWnd->style : 0;
}

DWORD CWnd::GetExStyle() const
{
    return WindowTree::Alive(m_hWnd) ? m_hWnd->exStyle : 0;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add)
{
    if (WindowTree::Alive(m_hWnd))
        m_hWnd->style = (m_hWnd->style & ~remove) | add;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

int CWnd::GetCheck() const
{
    return WindowTree::Alive(m_hWnd) ? static_cast<int>(WindowTree::Send(m_hWnd, BM_GETCHECK, 0, 0)) : 0;
}

void CWnd::SetCheck(int nCheck)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND)
    {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    }
    else if (message == WM_NOTIFY)
    {
        if (const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam))
        {
            code = pHeader->code;
            id = static_cast<UINT>(pHeader->idFrom);
        }
    }
    LRESULT result = 0;
    if (DispatchToMap(message, code, id, wParam, lParam, result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = m_hWnd;
    if (!WindowTree::Alive(hWnd))
        return 0;
    switch (message)
    {
    case WM_SETTEXT:
    {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        hWnd->text = text != nullptr ? text : L"";
        return TRUE;
    }
    case BM_GETCHECK:
        return IsButtonClass(hWnd->className) && HasCheckState(hWnd->style) ? hWnd->nCheck : 0;
    case BM_SETCHECK:
        if (IsButtonClass(hWnd->className) && HasCheckState(hWnd->style))
            hWnd->nCheck = static_cast<int>(wParam);
        return 0;
    case BM_CLICK:
    {
        if (!IsButtonClass(hWnd->className) || !IsClickable(hWnd->style) || (hWnd->style & WS_DISABLED) != 0)
            return 0;
        switch (hWnd->style & BS_TYPEMASK)
        {
        case BS_AUTOCHECKBOX:
            hWnd->nCheck = hWnd->nCheck == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
        case BS_AUTO3STATE:
            hWnd->nCheck = (hWnd->nCheck + 1) % 3;
            break;
        case BS_AUTORADIOBUTTON:
            hWnd->nCheck = BST_CHECKED;
            break;
        default:
            break;
        }
        SendCommandToParent(this, BN_CLICKED);
        return 0;
    }
    default:
        return 0;
    }
}

// A handler of a class whose window part is not its first base is called with `this` moved to the
// complete object, as the member pointer says; the sanitizer's type check expects a CWnd there.
#if defined(__GNUC__)
__attribute__((no_sanitize("vptr")))
#endif
bool CWnd::DispatchToMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const bool bControlMessage = message == WM_COMMAND || message == WM_NOTIFY;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            if (pEntry->nMessage != message)
                continue;
            if (bControlMessage && (pEntry->nCode != code || pEntry->nID != id))
                continue;
            result = 0;
            switch (pEntry->nSig)
            {
            case AfxSig_vv:
                (this->*pEntry->pfn)();
                return true;
            case AfxSig_vwii:
            {
                const auto pfn = std::bit_cast<void (CWnd::*)(UINT, int, int)>(pEntry->pfn);
                (this->*pfn)(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                             HIWORD(static_cast<std::uintptr_t>(lParam)));
                return true;
            }
            case AfxSig_vNMHDRpl:
            {
                const auto pfn = std::bit_cast<void (CWnd::*)(NMHDR*, LRESULT*)>(pEntry->pfn);
                (this->*pfn)(reinterpret_cast<NMHDR*>(lParam), &result);
                return true;
            }
            case AfxSig_lwl:
            {
                const auto pfn = std::bit_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pEntry->pfn);
                result = (this->*pfn)(wParam, lParam);
                return true;
            }
            default:
                // An entry of a signature this layer does not know: leave the message to the rest.
                break;
            }
        }
    }
    return false;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    return &kRootMessageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return &kRootMessageMap;
}

LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!WindowTree::Alive(hWnd))
        return 0;
    return WindowTree::Send(hWnd, message, wParam, lParam);
}

HWND GetDlgItem(HWND hDlg, int nID)
{
    if (!WindowTree::Alive(hDlg))
        return nullptr;
    for (HWND child : hDlg->children)
    {
        if (child->nID == nID)
            return child;
    }
    return nullptr;
}

BOOL IsWindow(HWND hWnd)
{
    return WindowTree::Alive(hWnd) ? TRUE : FALSE;
}

std::size_t LiveWindowCount()
{
    return WindowTree::Get().live.size();
}

LRESULT SendCommandToParent(CWnd* pControl, UINT code)
{
    if (pControl == nullptr || !IsWindow(pControl->GetSafeHwnd()))
        return 0;
    HWND hWnd = pControl->GetSafeHwnd();
    const auto id = static_cast<unsigned>(pControl->GetDlgCtrlID());
    return SendMessageW(hWnd->pParent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hWnd));
}

LRESULT SendNotifyToParent(CWnd* pControl, UINT code)
{
    if (pControl == nullptr || !IsWindow(pControl->GetSafeHwnd()))
        return 0;
    NMHDR header;
    header.hwndFrom = pControl->GetSafeHwnd();
    header.idFrom = static_cast<UINT_PTR>(pControl->GetDlgCtrlID());
    header.code = code;
    return SendMessageW(header.hwndFrom->pParent, WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
}

BOOL ClickButton(CWnd* pButton)
{
    if (pButton == nullptr || !pButton->IsWindowEnabled() || !IsButtonClass(pButton->GetClassName()))
        return FALSE;
    pButton->SendMessage(BM_CLICK);
    return TRUE;
}
