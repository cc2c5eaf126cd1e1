// Windows without a window system: a tree of nodes that keeps what a real window system keeps (class,
// text, style, visibility, enabled and check state, rectangles in pixels, children in z-order) and
// delivers messages through the message maps of the CWnd objects attached to them.
#pragma once

#include "host/base/StdStr.h"
#include "host/base/WinTypes.h"
#include "host/ui/MessageMap.h"
#include "host/ui/Messages.h"

#include <string>
#include <vector>

class CWnd
{
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to the handle; a handle with none gets a permanent stand-in that lives as
    // long as the window. Null for a null or destroyed handle.
    static CWnd* FromHandle(HWND hWnd);

    // Creates a window of the class as a child of the parent (or a top-level one), attached to this
    // object. The rectangle is in the parent's client coordinates.
    virtual BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                          const RECT& rect, CWnd* pParent, UINT nID);
    // Destroys the window and its children as Windows does: WM_DESTROY reaches this window first, while
    // its children still exist, then each child top-down; PostNcDestroy then runs bottom-up, children
    // before their parent, after each window is gone. FALSE when there is no window or it is already
    // being destroyed.
    virtual BOOL DestroyWindow();
    // Attaches this object to an existing window, replacing the object that handled it (subclassing).
    BOOL SubclassWindow(HWND hWnd);
    HWND Detach();

    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int nID);
    // Children in z-order, topmost first.
    std::vector<CWnd*> GetChildren() const;

    // In screen coordinates: the window tree's root sits at the origin of the screen.
    void GetWindowRect(LPRECT pRect) const;
    // (0, 0, width, height).
    void GetClientRect(LPRECT pRect) const;
    // The rectangle in the parent's client coordinates.
    RECT GetRectInParent() const;
    void ScreenToClient(LPRECT pRect) const;

    // x, y in the parent's client coordinates. Null pAfter puts the window on top of its siblings.
    // A change of size sends WM_SIZE.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void MoveWindow(int x, int y, int cx, int cy);

    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    // The window's own visible flag, whatever its parents'.
    bool HasVisibleStyle() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;

    void SetWindowText(const wchar_t* text);
    CStdStr<wchar_t> GetWindowText() const;
    const std::wstring& GetClassName() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    void ModifyStyle(DWORD remove, DWORD add);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Check state of a button (BM_GETCHECK / BM_SETCHECK).
    int GetCheck() const;
    void SetCheck(int nCheck);

protected:
    // Looks the message up in the message maps, most derived first; unhandled messages get
    // DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; a class that deletes itself does so here.
    virtual void PostNcDestroy() {}

    // WM_COMMAND and WM_NOTIFY reach the parent of the control that sends them.
    bool DispatchToMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT& result);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    friend LRESULT SendMessageW(HWND, UINT, WPARAM, LPARAM);
    friend struct WindowTree;
};

// Sends a message to the window's attached object and returns its result; 0 for a null handle.
LRESULT SendMessageW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetDlgItem(HWND hDlg, int nID);
BOOL IsWindow(HWND hWnd);
// Windows in existence, for leak checks.
std::size_t LiveWindowCount();

// What a control tells its parent: WM_COMMAND (MAKEWPARAM(id, code), control) and WM_NOTIFY (id,
// NMHDR {control, id, code}). 0 when the control has no window or no parent.
LRESULT SendCommandToParent(CWnd* pControl, UINT code);
LRESULT SendNotifyToParent(CWnd* pControl, UINT code);
// A user's click on a button (BM_CLICK): an enabled auto check box or radio button changes its check
// state first, then the parent gets BN_CLICKED. FALSE, and nothing sent, for a missing or disabled
// button.
BOOL ClickButton(CWnd* pButton);
