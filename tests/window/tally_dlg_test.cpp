#include "framework/RegistryConstants.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/UISubClassingMgr.h"
#include "module/TallyView.h"
#include "resources/resource.h"
#include "tests/support/PluginFixture.h"
#include "window/TallyDlg.h"

#include <functional>
#include <string>

namespace
{

// A child window that runs a step while it is being destroyed.
class DestroyProbe : public CWnd
{
public:
    std::function<void()> m_onDestroy;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DESTROY && m_onDestroy)
            m_onDestroy();
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class FrameContainer : public IViewContainer
{
public:
    explicit FrameContainer(CWnd& frame) : m_frame(frame) {}
    HWND GetContainerWindow() override { return m_frame.GetSafeHwnd(); }
    int GetContainerId() override { return 1; }
    void SetViewOptions(int, int) override {}

    CWnd& m_frame;
};

class TallyDlgTest : public PluginFixture
{
protected:
    TallyDlgTest()
    {
        OpenProject(MakeGreetingProject());
        m_frame.CreateEx(0, L"ViewFrame", L"", WS_VISIBLE, CRect(0, 0, 900, 700), nullptr, 0);
    }
    ~TallyDlgTest() override
    {
        m_frame.DestroyWindow();
        UISubClassingMgr::SetScalePercent(100);
    }

    // The dialog deletes itself with its window.
    void Open()
    {
        m_view.CreateViewWindow(&m_container);
        m_pDlg = m_view.m_pDialog;
    }
    void Choose(const std::wstring& name)
    {
        auto* pCombo = dynamic_cast<UIComboBox*>(m_pDlg->GetDlgItem(static_cast<int>(IDC_QUERY_COMBO)));
        for (int index = 0; index < pCombo->GetCount(); ++index)
            if (pCombo->GetLBText(index) == name)
                return pCombo->SelectByUser(index);
        ADD_FAILURE() << "no query of that name";
    }
    void Click(unsigned id) { ClickButton(m_pDlg->GetDlgItem(static_cast<int>(id))); }
    bool WarningShown() const
    {
        return m_pDlg->GetDlgItem(static_cast<int>(IDC_OUT_OF_SYNC))->HasVisibleStyle();
    }

    // Hangs a probe in the result window that, while that window is destroyed, hands Paths Used an
    // item it rejects: the warning then shows only if the query still reports to the dialog.
    void ProbeResultWindow(DestroyProbe& probe, bool& bReported)
    {
        probe.CreateEx(0, L"Probe", L"", 0, CRect(0, 0, 1, 1), m_pDlg->GetResultDialog(), 0);
        probe.m_onDestroy = [this, &bReported]
        {
            Feed(queries::TheArgumentPathsQuery(),
                 OwnedMonitoringItem::DialogueResolved(GUID_NULL, Id(20), {}));
            bReported = WarningShown();
        };
    }

    CWnd m_frame;
    FrameContainer m_container{m_frame};
    TallyView m_view;
    CTallyDlg* m_pDlg = nullptr;
};

TEST_F(TallyDlgTest, RunReplaysIntoTheSelectedQueryOnlyAndClearEmptiesAll)
{
    auto& events = queries::TheDialogueEventQuery();
    auto& paths = queries::TheArgumentPathsQuery();
    auto& resolved = queries::TheDialogueResolvedQuery();
    Open();

    // Live, every query gathers; then two more items are only logged.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    Resolve(Id(1), Id(20), {Id(11)});
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    Resolve(Id(1), Id(30), {Id(12)});
    Resolve(Id(2), Id(40));

    Choose(L"Paths Used");
    Click(IDC_RUN);
    EXPECT_EQ(paths.GetPaths().size(), 3u);
    EXPECT_EQ(events.GetEventMap().size(), 1u);
    EXPECT_EQ(events.GetEventMap().at(Id(1)).added, 1u);
    EXPECT_EQ(resolved.GetEventMap().size(), 1u);
    EXPECT_EQ(resolved.GetEventMap().at(Id(1)).at(Id(30)).count, 0u);

    // Clear empties the queries that are not shown too.
    Click(IDC_CLEAR);
    EXPECT_TRUE(paths.GetPaths().empty());
    EXPECT_TRUE(events.GetEventMap().empty());
    EXPECT_TRUE(resolved.GetEventMap().empty());
}

TEST_F(TallyDlgTest, TheQueryIsDetachedBeforeItsResultWindowGoes)
{
    Open();
    Choose(L"Paths Used");
    ASSERT_FALSE(WarningShown());
    DestroyProbe onSelection;
    bool bReportedOnSelection = true;
    ProbeResultWindow(onSelection, bReportedOnSelection);
    Choose(L"Dialogue Events Added");
    EXPECT_FALSE(bReportedOnSelection);

    // Closing the view: the dialog's own destruction detaches the query first as well.
    queries::TheArgumentPathsQuery().Clear();
    Choose(L"Paths Used");
    ASSERT_FALSE(WarningShown());
    DestroyProbe onClose;
    bool bReportedOnClose = true;
    ProbeResultWindow(onClose, bReportedOnClose);
    m_frame.DestroyWindow();
    EXPECT_FALSE(bReportedOnClose);
}

TEST_F(TallyDlgTest, TheFirstLayoutLeavesMarginsAtTheDisplaysScale)
{
    UISubClassingMgr::SetScalePercent(150);
    ASSERT_EQ(UISubClassingMgr::ScaleToDpi(20), 30);
    Open();

    CRect dialog;
    m_pDlg->GetWindowRect(&dialog);
    CRect client;
    m_pDlg->GetClientRect(&client);
    CWnd* pGroup = m_pDlg->GetDlgItem(static_cast<int>(IDC_RESULTS_GROUP));
    CRect group;
    pGroup->GetWindowRect(&group);
    EXPECT_EQ(group.Width(), dialog.Width() - 30);

    CDialogBase* pResult = m_pDlg->GetResultDialog();
    ASSERT_NE(pResult, nullptr);
    CRect result;
    pResult->GetWindowRect(&result);
    EXPECT_EQ(result.Width(), client.Width() - 30);
    EXPECT_EQ(result.Height(), client.Height() - (group.bottom - dialog.top) - 30);

    // The result window lies over its siblings, the group box next.
    const std::vector<CWnd*> children = m_pDlg->GetChildren();
    ASSERT_GE(children.size(), 2u);
    EXPECT_EQ(children[0], pResult);
    EXPECT_EQ(children[1], pGroup);
}

} // namespace
