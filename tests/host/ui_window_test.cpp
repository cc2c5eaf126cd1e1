// The window tree: message maps, routing of control notifications, destruction, z-order and sizes.
#include "host/ui/DialogTemplate.h"
#include "host/ui/Wnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr UINT kCustomMessage = 0x0400;

RECT Rect(int x, int y, int cx, int cy)
{
    return RECT{x, y, x + cx, y + cy};
}

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

class CBaseHandler : public CWnd
{
public:
    std::vector<SIZE> m_sizes;

    void OnSize(UINT nType, int cx, int cy)
    {
        EXPECT_EQ(nType, SIZE_RESTORED);
        m_sizes.push_back(SIZE{cx, cy});
    }
    LRESULT OnCustom(WPARAM, LPARAM) { return 1; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseHandler, CWnd)
ON_WM_SIZE()
ON_MESSAGE(kCustomMessage, &CBaseHandler::OnCustom)
END_MESSAGE_MAP()

class CDerivedHandler : public CBaseHandler
{
public:
    LRESULT OnCustomDerived(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedHandler, CBaseHandler)
ON_MESSAGE(kCustomMessage, &CDerivedHandler::OnCustomDerived)
END_MESSAGE_MAP()

// A parent whose window part is not its first base: handlers must still find their own object.
class Listener
{
public:
    virtual ~Listener() = default;
    virtual void Heard() {}
    int m_nPadding[5] = {};
};

class CParent : public Listener, public CWnd
{
public:
    std::vector<std::string> m_events;
    int m_nCheckWhenClicked = -1;

    void OnRunClicked() { m_events.push_back("run"); }
    void OnCheckClicked()
    {
        m_events.push_back("check");
        m_nCheckWhenClicked = GetDlgItem(11)->GetCheck();
    }
    void OnComboChanged() { m_events.push_back("combo"); }
    void OnListSelChanged(NMHDR* pHeader, LRESULT* pResult)
    {
        m_events.push_back("list " + std::to_string(pHeader->idFrom));
        EXPECT_EQ(pHeader->hwndFrom, GetDlgItem(20)->GetSafeHwnd());
        *pResult = 7;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParent, CWnd)
ON_BN_CLICKED(10, &CParent::OnRunClicked)
ON_CBN_SELCHANGE(10, &CParent::OnComboChanged)
ON_BN_CLICKED(11, &CParent::OnCheckClicked)
ON_NOTIFY(NM_LIST_SELCHANGED, 20, &CParent::OnListSelChanged)
END_MESSAGE_MAP()

class CLogged : public CWnd
{
public:
    explicit CLogged(std::string name) : m_name(std::move(name)) {}

    void OnDestroy()
    {
        Log().push_back("destroy " + m_name);
        // Still a window, and so are its children.
        EXPECT_TRUE(IsWindow(m_hWnd));
        for (CWnd* pChild : GetChildren())
            EXPECT_TRUE(IsWindow(pChild->GetSafeHwnd()));
    }

protected:
    void PostNcDestroy() override
    {
        EXPECT_EQ(m_hWnd, nullptr);
        Log().push_back("gone " + m_name);
    }

    std::string m_name;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLogged, CWnd)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class CSelfDeleting : public CLogged
{
public:
    using CLogged::CLogged;
    ~CSelfDeleting() override { Log().push_back("deleted " + m_name); }

protected:
    void PostNcDestroy() override
    {
        CLogged::PostNcDestroy();
        delete this;
    }
};

// Releases an owned child window from its own WM_DESTROY, as a dialog releases its result window.
class COwner : public CSelfDeleting
{
public:
    using CSelfDeleting::CSelfDeleting;
    CLogged* m_pOwned = nullptr;

    void OnDestroy()
    {
        CSelfDeleting::OnDestroy();
        EXPECT_TRUE(m_pOwned->DestroyWindow());
        delete m_pOwned;
        m_pOwned = nullptr;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwner, CSelfDeleting)
ON_WM_DESTROY()
END_MESSAGE_MAP()

std::vector<CWnd*> Children(const CWnd& parent)
{
    return parent.GetChildren();
}

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nBaseline = LiveWindowCount();
        Log().clear();
    }
    void TearDown() override { EXPECT_EQ(LiveWindowCount(), m_nBaseline); }

    std::size_t m_nBaseline = 0;
};
} // namespace

TEST_F(WindowTest, DerivedMapEntriesWinAndBaseEntriesStillApply)
{
    CDerivedHandler derived;
    ASSERT_TRUE(derived.CreateEx(0, L"Test", L"", WS_VISIBLE, Rect(0, 0, 40, 30), nullptr, 0));
    CBaseHandler base;
    ASSERT_TRUE(base.CreateEx(0, L"Test", L"", WS_VISIBLE, Rect(0, 0, 40, 30), nullptr, 0));

    EXPECT_EQ(derived.SendMessage(kCustomMessage, 5, 6), 11);
    EXPECT_EQ(base.SendMessage(kCustomMessage, 5, 6), 1);
    // WM_SIZE is only in the base's table, and the creation sent one.
    ASSERT_EQ(derived.m_sizes.size(), 1u);
    EXPECT_EQ(derived.m_sizes[0], (SIZE{40, 30}));

    // Unhandled messages get the default behaviour.
    derived.SetWindowText(L"caption");
    EXPECT_EQ(derived.GetWindowText(), L"caption");
    EXPECT_EQ(SendMessageW(derived.GetSafeHwnd(), 0x7FFF, 1, 2), 0);
    EXPECT_EQ(SendMessageW(nullptr, kCustomMessage, 5, 6), 0);
}

TEST_F(WindowTest, ControlsNotifyTheirParentByIdAndCode)
{
    CParent parent;
    ASSERT_TRUE(parent.CreateEx(0, WC_DIALOG, L"", WS_VISIBLE, Rect(0, 0, 200, 100), nullptr, 0));
    CWnd run, check, list, group;
    ASSERT_TRUE(run.CreateEx(0, WC_BUTTON, L"Run", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, Rect(0, 0, 30, 10),
                             &parent, 10));
    ASSERT_TRUE(check.CreateEx(0, WC_BUTTON, L"Auto", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                               Rect(0, 10, 30, 10), &parent, 11));
    ASSERT_TRUE(list.CreateEx(0, L"List", L"", WS_CHILD | WS_VISIBLE, Rect(0, 20, 30, 10), &parent, 20));
    ASSERT_TRUE(
        group.CreateEx(0, WC_BUTTON, L"Group", WS_CHILD | BS_GROUPBOX, Rect(0, 30, 30, 10), &parent, 12));

    EXPECT_TRUE(ClickButton(&run));
    EXPECT_EQ(SendCommandToParent(&run, CBN_SELCHANGE), 0);
    EXPECT_EQ(SendNotifyToParent(&list, NM_LIST_SELCHANGED), 7);
    // A notification code nobody listens for, and a control with an unknown id, reach no handler.
    EXPECT_EQ(SendNotifyToParent(&list, NM_LIST_SELCHANGED + 1), 0);
    list.SetDlgCtrlID(21);
    EXPECT_EQ(SendNotifyToParent(&list, NM_LIST_SELCHANGED), 0);
    EXPECT_EQ(parent.m_events, (std::vector<std::string>{"run", "combo", "list 20"}));

    // An auto check box changes its state before its parent hears of the click.
    parent.m_events.clear();
    EXPECT_EQ(check.GetCheck(), static_cast<int>(BST_UNCHECKED));
    ClickButton(&check);
    EXPECT_EQ(parent.m_nCheckWhenClicked, static_cast<int>(BST_CHECKED));
    ClickButton(&check);
    EXPECT_EQ(check.GetCheck(), static_cast<int>(BST_UNCHECKED));

    // Disabled buttons cannot be clicked; a group box keeps no check state and sends nothing.
    check.EnableWindow(FALSE);
    EXPECT_FALSE(ClickButton(&check));
    EXPECT_EQ(check.GetCheck(), static_cast<int>(BST_UNCHECKED));
    group.SetCheck(BST_CHECKED);
    EXPECT_EQ(group.GetCheck(), 0);
    ClickButton(&group);
    EXPECT_EQ(parent.m_events, (std::vector<std::string>{"check", "check"}));

    // Push buttons hold no check state either; check boxes hold what they are given.
    run.SetCheck(BST_CHECKED);
    EXPECT_EQ(run.GetCheck(), 0);
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), static_cast<int>(BST_CHECKED));
}

TEST_F(WindowTest, DestructionReachesParentsFirstAndFreesChildrenFirst)
{
    auto pRoot = std::make_unique<CLogged>("root");
    ASSERT_TRUE(pRoot->CreateEx(0, L"Frame", L"", WS_VISIBLE, Rect(0, 0, 100, 100), nullptr, 0));
    auto* pDialog = new CSelfDeleting("dialog");
    ASSERT_TRUE(pDialog->CreateEx(0, WC_DIALOG, L"", WS_CHILD, Rect(0, 0, 50, 50), pRoot.get(), 0));
    auto* pA = new CSelfDeleting("a");
    ASSERT_TRUE(pA->CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(0, 0, 5, 5), pDialog, 1));
    auto* pB = new CSelfDeleting("b");
    ASSERT_TRUE(pB->CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(0, 0, 5, 5), pDialog, 2));
    // A window with no object of its own answers FromHandle with one stand-in for its whole life.
    CWnd temporary;
    ASSERT_TRUE(temporary.CreateEx(0, WC_STATIC, L"plain", WS_CHILD, Rect(0, 0, 5, 5), pDialog, 3));
    const HWND hPlain = temporary.Detach();
    CWnd* pStandIn = CWnd::FromHandle(hPlain);
    ASSERT_NE(pStandIn, nullptr);
    EXPECT_EQ(pStandIn, pDialog->GetDlgItem(3));
    EXPECT_EQ(pStandIn->GetWindowText(), L"plain");
    EXPECT_EQ(LiveWindowCount(), m_nBaseline + 5);

    EXPECT_TRUE(pRoot->DestroyWindow());
    EXPECT_EQ(Log(), (std::vector<std::string>{"destroy root", "destroy dialog", "destroy a", "destroy b",
                                               "gone a", "deleted a", "gone b", "deleted b", "gone dialog",
                                               "deleted dialog", "gone root"}));
    EXPECT_EQ(pRoot->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(hPlain));
    EXPECT_EQ(CWnd::FromHandle(hPlain), nullptr);
    EXPECT_FALSE(pRoot->DestroyWindow());
}

TEST_F(WindowTest, WindowsReleasedDuringTheirParentsDestructionAndByDestructors)
{
    {
        CLogged frame("frame");
        ASSERT_TRUE(frame.CreateEx(0, L"Frame", L"", 0, Rect(0, 0, 100, 100), nullptr, 0));
        auto* pOwner = new COwner("owner");
        ASSERT_TRUE(pOwner->CreateEx(0, WC_DIALOG, L"", WS_CHILD, Rect(0, 0, 50, 50), &frame, 0));
        pOwner->m_pOwned = new CLogged("owned");
        ASSERT_TRUE(pOwner->m_pOwned->CreateEx(0, WC_DIALOG, L"", WS_CHILD, Rect(0, 0, 5, 5), pOwner, 1));
        CWnd grandchild;
        ASSERT_TRUE(grandchild.CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(0, 0, 1, 1), pOwner->m_pOwned, 0));
        grandchild.Detach();
        // The frame's destructor destroys its window, and with it the owner and what it owns. By then
        // the frame's own handlers are gone: only the base window's behaviour remains.
    }
    EXPECT_EQ(Log(), (std::vector<std::string>{"destroy owner", "destroy owned", "gone owned", "gone owner",
                                               "deleted owner"}));

    // Deleting an object detaches nothing: its window goes with it, and the parent forgets it.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"Frame", L"", 0, Rect(0, 0, 10, 10), nullptr, 0));
    auto pChild = std::make_unique<CWnd>();
    ASSERT_TRUE(pChild->CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(0, 0, 1, 1), &parent, 5));
    pChild.reset();
    EXPECT_EQ(parent.GetDlgItem(5), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
}

TEST_F(WindowTest, SetWindowPosOrdersSiblingsAndShowsOrHides)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"Frame", L"", WS_VISIBLE, Rect(0, 0, 100, 100), nullptr, 0));
    CWnd a, b, c, other;
    for (CWnd* p : {&a, &b, &c})
        ASSERT_TRUE(p->CreateEx(0, WC_STATIC, L"", WS_CHILD | WS_VISIBLE, Rect(1, 2, 3, 4), &parent, 0));
    ASSERT_TRUE(other.CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(0, 0, 1, 1), &a, 0));
    // Creation order is z-order, first created on top.
    EXPECT_EQ(Children(parent), (std::vector<CWnd*>{&a, &b, &c}));

    c.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Children(parent), (std::vector<CWnd*>{&c, &a, &b}));
    c.SetWindowPos(&a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Children(parent), (std::vector<CWnd*>{&a, &c, &b}));
    a.SetWindowPos(&b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Children(parent), (std::vector<CWnd*>{&c, &b, &a}));
    // No z-order change with SWP_NOZORDER, after itself, or after a window that is no sibling.
    b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    b.SetWindowPos(&b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    b.SetWindowPos(&other, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Children(parent), (std::vector<CWnd*>{&c, &b, &a}));
    EXPECT_EQ(b.GetRectInParent(), Rect(1, 2, 3, 4));

    b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    EXPECT_FALSE(b.IsWindowVisible());
    b.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(b.IsWindowVisible());
    EXPECT_TRUE(b.GetStyle() & WS_VISIBLE);

    // Visible means visible all the way up; the window's own flag stays its own.
    parent.ShowWindow(SW_HIDE);
    EXPECT_FALSE(b.IsWindowVisible());
    EXPECT_TRUE(b.HasVisibleStyle());
    EXPECT_FALSE(parent.ShowWindow(SW_SHOW));
    EXPECT_TRUE(b.IsWindowVisible());
    EXPECT_FALSE(other.IsWindowVisible());
}

TEST_F(WindowTest, SizeMessagesOnlyForNewSizesAndRectanglesAddUp)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, L"Frame", L"", WS_VISIBLE, Rect(0, 0, 1000, 800), nullptr, 0));
    CWnd inner;
    ASSERT_TRUE(inner.CreateEx(0, L"Frame", L"", WS_CHILD | WS_VISIBLE, Rect(20, 30, 900, 700), &frame, 0));
    CBaseHandler window;
    ASSERT_TRUE(window.CreateEx(0, L"Test", L"", WS_CHILD | WS_DISABLED, Rect(5, 6, 805, 628), &inner, 0));
    EXPECT_FALSE(window.IsWindowEnabled());
    EXPECT_FALSE(window.HasVisibleStyle());

    window.SetWindowPos(nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    window.SetWindowPos(nullptr, 70, 80, 805, 628, SWP_NOZORDER);
    window.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    window.SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    window.MoveWindow(1, 2, 640, 481);
    // Sizes above 255 survive the packing into lParam.
    EXPECT_EQ(window.m_sizes, (std::vector<SIZE>{{805, 628}, {640, 480}, {640, 481}}));

    RECT r;
    window.GetWindowRect(&r);
    EXPECT_EQ(r, (RECT{21, 32, 661, 513}));
    window.GetClientRect(&r);
    EXPECT_EQ(r, (RECT{0, 0, 640, 481}));
    inner.GetWindowRect(&r);
    window.ScreenToClient(&r);
    EXPECT_EQ(r, (RECT{-1, -2, 899, 698}));
}
