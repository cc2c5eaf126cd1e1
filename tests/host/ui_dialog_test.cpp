// Dialogs from resource templates, placeholders, anchor layouts and the module-state switch.
#include "host/ui/DialogBase.h"
#include "host/ui/ModuleState.h"
#include "host/ui/UISubClassingMgr.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
constexpr UINT kPanelTemplate = 100;
constexpr UINT kResultTemplate = 101;
constexpr UINT kRun = 1001;
constexpr UINT kPlaceholder = 1003;
constexpr UINT kWarning = 1014;

RECT Rect(int x, int y, int cx, int cy)
{
    return RECT{x, y, x + cx, y + cy};
}

ResourceModule MakeModule()
{
    ResourceModule module(L"test");
    module.AddDialog(
        {kPanelTemplate,
         WS_CHILD | WS_VISIBLE | DS_SETFONT,
         WS_EX_CONTROLPARENT,
         460,
         335,
         L"Panel",
         L"Segoe UI",
         9,
         400,
         {
             {kRun, WC_BUTTON, L"Run", 158, 4, 35, 14, WS_VISIBLE | WS_TABSTOP},
             {kPlaceholder, WC_STATIC, L"Static", 0, 38, 460, 297, WS_CHILD | WS_VISIBLE | WS_BORDER},
             {kWarning, WC_STATIC, L"Out of sync", 4, 19, 251, 9, WS_CHILD | WS_DISABLED},
         }});
    module.AddDialog({kResultTemplate, WS_CHILD, 0, 186, 95, L"", L"Segoe UI", 9, 400, {}});
    return module;
}

class CPanel : public CDialogBase
{
public:
    explicit CPanel(UINT nIDTemplate) : CDialogBase(nIDTemplate, nullptr) {}

    BOOL OnInitDialog() override
    {
        CDialogBase::OnInitDialog();
        ++m_nInits;
        m_nChildrenAtInit = GetChildren().size();
        return TRUE;
    }

    Anchor& Layout() { return m_anchor; }

    int m_nInits = 0;
    std::size_t m_nChildrenAtInit = 0;
};

// A result window whose template lives in its own module, whichever module state is current.
class CResult : public CDialogBase
{
public:
    explicit CResult(HINSTANCE hModule) : CDialogBase(kResultTemplate, nullptr), m_hModule(hModule) {}
    HINSTANCE GetResourceHandle() override { return m_hModule; }

private:
    HINSTANCE m_hModule;
};

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nBaseline = LiveWindowCount();
        ASSERT_TRUE(m_frame.CreateEx(0, L"Frame", L"", WS_VISIBLE, Rect(0, 0, 1200, 900), nullptr, 0));
    }
    void TearDown() override
    {
        m_frame.DestroyWindow();
        UISubClassingMgr::SetScalePercent(100);
        EXPECT_EQ(LiveWindowCount(), m_nBaseline);
    }

    ResourceModule m_module = MakeModule();
    AFX_MODULE_STATE m_state{&m_module};
    CWnd m_frame;
    std::size_t m_nBaseline = 0;
};
} // namespace

TEST_F(DialogTest, CreatesWindowAndControlsFromTheTemplateInPixels)
{
    const AFX_MAINTAIN_STATE2 guard(&m_state);
    CPanel panel(kPanelTemplate);
    ASSERT_TRUE(panel.CreateDialogFromResources(&m_frame));

    EXPECT_EQ(panel.GetParent(), &m_frame);
    EXPECT_EQ(panel.GetClassName(), WC_DIALOG);
    EXPECT_EQ(panel.GetWindowText(), L"Panel");
    EXPECT_EQ(panel.GetExStyle(), WS_EX_CONTROLPARENT);
    // Segoe UI 9 pt: a dialog unit is 7/4 pixels across and 15/8 down, rounded to the nearest pixel.
    RECT r;
    panel.GetClientRect(&r);
    EXPECT_EQ(r, (RECT{0, 0, 805, 628}));
    EXPECT_EQ(panel.m_nInits, 1);
    EXPECT_EQ(panel.m_nChildrenAtInit, 3u);

    CWnd* pRun = panel.GetDlgItem(kRun);
    ASSERT_NE(pRun, nullptr);
    EXPECT_EQ(pRun->GetClassName(), WC_BUTTON);
    EXPECT_EQ(pRun->GetWindowText(), L"Run");
    EXPECT_EQ(pRun->GetRectInParent(), (RECT{277, 8, 338, 34}));
    EXPECT_TRUE(pRun->GetStyle() & WS_CHILD);
    CWnd* pWarning = panel.GetDlgItem(kWarning);
    ASSERT_NE(pWarning, nullptr);
    EXPECT_FALSE(pWarning->IsWindowVisible());
    EXPECT_FALSE(pWarning->IsWindowEnabled());
    EXPECT_EQ(panel.GetChildren(), (std::vector<CWnd*>{pRun, panel.GetDlgItem(kPlaceholder), pWarning}));

    // A larger display scaling makes larger base units.
    UISubClassingMgr::SetScalePercent(150);
    CPanel scaled(kPanelTemplate);
    ASSERT_TRUE(scaled.Create(kPanelTemplate, &m_frame));
    scaled.GetClientRect(&r);
    EXPECT_EQ(r, (RECT{0, 0, 1265, 963}));
}

TEST_F(DialogTest, MissingTemplateOrModuleCreatesNothing)
{
    CPanel noModule(kPanelTemplate);
    EXPECT_FALSE(noModule.Create(kPanelTemplate, &m_frame)) << "the host's own state has no resources";

    const AFX_MAINTAIN_STATE2 guard(&m_state);
    CPanel missing(999);
    EXPECT_FALSE(missing.CreateDialogFromResources(&m_frame));
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);
    EXPECT_EQ(missing.m_nInits, 0);
    EXPECT_EQ(LiveWindowCount(), m_nBaseline + 1);
}

TEST_F(DialogTest, ReplaceHolderTakesThePlaceAndKeepsThePlaceholderForTheNext)
{
    CPanel panel(kPanelTemplate);
    {
        const AFX_MAINTAIN_STATE2 guard(&m_state);
        ASSERT_TRUE(panel.Create(kPanelTemplate, &m_frame));
    }
    CWnd* pHolder = panel.GetDlgItem(kPlaceholder);
    ASSERT_NE(pHolder, nullptr);
    const RECT holderRect = pHolder->GetRectInParent();

    // The result window's template comes from its own module while no state is switched.
    ResourceModule resultModule(L"results");
    resultModule.AddDialog(*m_module.FindDialog(kResultTemplate));
    for (int round = 0; round < 2; ++round)
    {
        CResult result(&resultModule);
        ASSERT_TRUE(result.CreateDialogFromResources(&panel));
        panel.ReplaceHolder(&result, kPlaceholder);
        EXPECT_EQ(result.GetRectInParent(), holderRect);
        const std::vector<CWnd*> children = panel.GetChildren();
        ASSERT_EQ(children.size(), 4u);
        EXPECT_EQ(children[1], &result);
        EXPECT_EQ(children[2], pHolder);
        EXPECT_FALSE(pHolder->HasVisibleStyle());
        EXPECT_EQ(panel.GetDlgItem(kPlaceholder), pHolder);
    }
    EXPECT_EQ(panel.GetChildren().size(), 3u);

    // A placeholder on top of its siblings puts the window on top.
    pHolder->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CResult result(&resultModule);
    ASSERT_TRUE(result.CreateDialogFromResources(&panel));
    panel.ReplaceHolder(&result, kPlaceholder);
    EXPECT_EQ(panel.GetChildren().front(), &result);
    EXPECT_EQ(panel.GetChildren()[1], pHolder);
}

TEST_F(DialogTest, AnchorsFollowWidthOrBothAndSkipDestroyedControls)
{
    CPanel panel(kPanelTemplate);
    {
        const AFX_MAINTAIN_STATE2 guard(&m_state);
        ASSERT_TRUE(panel.Create(kPanelTemplate, &m_frame));
    }
    panel.SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    CWnd band, corner, fixed;
    auto pBody = std::make_unique<CWnd>();
    CWnd& body = *pBody;
    ASSERT_TRUE(band.CreateEx(0, WC_BUTTON, L"", WS_CHILD, Rect(10, 10, 380, 20), &panel, 0));
    ASSERT_TRUE(body.CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(10, 40, 380, 250), &panel, 0));
    ASSERT_TRUE(corner.CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(350, 260, 40, 30), &panel, 0));
    ASSERT_TRUE(fixed.CreateEx(0, WC_STATIC, L"", WS_CHILD, Rect(5, 5, 10, 10), &panel, 0));
    std::vector<CWnd*> laidOut;
    Anchor& layout = panel.Layout();
    layout.AddControl(&band, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT);
    layout.AddControl(&body, ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT | ANCHOR_BOTTOM, nullptr,
                      [&](CWnd* pWnd) { laidOut.push_back(pWnd); });
    layout.AddControl(&corner, ANCHOR_RIGHT | ANCHOR_BOTTOM);
    layout.AddControl(&fixed, ANCHOR_LEFT | ANCHOR_TOP);

    // The dialog's WM_SIZE drives the layout.
    panel.SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(band.GetRectInParent(), Rect(10, 10, 480, 20));
    EXPECT_EQ(body.GetRectInParent(), Rect(10, 40, 480, 350));
    EXPECT_EQ(corner.GetRectInParent(), Rect(450, 360, 40, 30));
    EXPECT_EQ(fixed.GetRectInParent(), Rect(5, 5, 10, 10));
    EXPECT_EQ(laidOut, (std::vector<CWnd*>{&body}));

    // Offsets count from the sizes at AddControl, not from the last layout; a shrink never turns
    // a size negative.
    pBody.reset();
    panel.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(band.GetRectInParent(), Rect(10, 10, 280, 20));
    EXPECT_EQ(corner.GetRectInParent(), Rect(250, 160, 40, 30));
    panel.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(band.GetRectInParent(), Rect(10, 10, 0, 20));
    EXPECT_EQ(laidOut.size(), 1u);

    // Once the dialog's window is gone its anchor is ended.
    panel.DestroyWindow();
    EXPECT_FALSE(layout.IsActive());
    EXPECT_EQ(layout.ControlCount(), 0u);
}

TEST(ModuleStateTest, GuardsNestAndRestoreTheStateTheyFound)
{
    AFX_MODULE_STATE* const pHost = AfxGetModuleState();
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    ResourceModule first(L"first"), second(L"second");
    AFX_MODULE_STATE firstState(&first), secondState(&second);
    {
        const AFX_MAINTAIN_STATE2 outer(&firstState);
        EXPECT_EQ(AfxGetResourceHandle(), &first);
        {
            const AFX_MAINTAIN_STATE2 inner(&secondState);
            EXPECT_EQ(AfxGetModuleState(), &secondState);
            {
                const AFX_MAINTAIN_STATE2 again(&firstState);
                EXPECT_EQ(AfxGetResourceHandle(), &first);
            }
            EXPECT_EQ(AfxGetResourceHandle(), &second);
        }
        EXPECT_EQ(AfxGetResourceHandle(), &first);

        // An application object belongs to the module whose state is current when it is made.
        {
            CWinApp app(L"plug-in");
            EXPECT_EQ(firstState.m_pCurrentWinApp, &app);
            EXPECT_EQ(AfxGetApp(), &app);
        }
        EXPECT_EQ(firstState.m_pCurrentWinApp, nullptr);
    }
    EXPECT_EQ(AfxGetModuleState(), pHost);
}
