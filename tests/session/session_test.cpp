#include "host/ui/HostServices.h"
#include "tests/session/HostSessionFixture.h"

#include <string>
#include <vector>

namespace
{

using namespace app::ctl;

class SessionTest : public HostSessionFixture
{
protected:
    MonitoringLogger& Logger() { return m_env->Monitoring().Logger(); }
};

TEST_F(SessionTest, ExportsDescribeOneFactoryAndMakeFreshObjects)
{
    EXPECT_EQ(m_plugin->GetNumViewFactories(), 1);
    EXPECT_EQ(m_plugin->GetViewFactory(1), nullptr);
    EXPECT_EQ(m_plugin->GetViewFactory(-1), nullptr);
    EXPECT_EQ(m_plugin->GetNumViewFactories(), 1);

    CViewFactory* pOther = m_plugin->GetViewFactory(0);
    ASSERT_NE(pOther, m_pFactory);
    EXPECT_EQ(std::wstring(pOther->GetTitle()), L"Profiler Statistics");
    EXPECT_EQ(std::wstring(m_pFactory->GetTitle()), L"Profiler Statistics");
    EXPECT_EQ(pOther->GetCategory(), m_pFactory->GetCategory());
    EXPECT_EQ(std::wstring(m_pFactory->GetCategory()), L"Profiler");
    ASSERT_NE(m_pFactory->GetExtraText(), nullptr);
    EXPECT_EQ(std::wstring(m_pFactory->GetExtraText()), L"");
    EXPECT_EQ(m_pFactory->GetNumericId(), 41);
    delete pOther;

    IServiceBase* pSecondRegistry = m_plugin->CreateProfilingQueryRegistry();
    EXPECT_NE(pSecondRegistry, m_pRegistry);
    pSecondRegistry->Destroy();

    const std::unique_ptr<IViewBase> pView(m_pFactory->CreateView());
    EXPECT_EQ(pView->GetViewWindow(), nullptr);
    SIZE size;
    RECT rect;
    pView->GetDefaultPlacement(7, &size, &rect);
    EXPECT_EQ(rect, (RECT{0, 25, 685, 726}));
    EXPECT_EQ(size, (SIZE{1280, 1024}));
    pView->ShowHelp();
    EXPECT_EQ(LastHelpTopic(), 84);
}

TEST_F(SessionTest, TheViewOpensWithNoneSelectedAndTheSelectorSorted)
{
    OpenView();
    ASSERT_NE(m_pView->GetViewWindow(), nullptr);
    EXPECT_EQ(m_session->LastViewOption().option, 1);
    EXPECT_EQ(m_session->LastViewOption().value, 2);
    EXPECT_EQ(Dialog()->GetParent(), m_session->Container());

    UIComboBox* pCombo = Combo();
    ASSERT_NE(pCombo, nullptr);
    std::vector<std::wstring> names;
    for (int index = 0; index < pCombo->GetCount(); ++index)
        names.push_back(pCombo->GetLBText(index));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Dialogue Events Added", L"Dialogue Events Distribution",
                                                L"None", L"Paths Used"}));
    EXPECT_EQ(pCombo->GetLBText(pCombo->GetCurSel()), L"None");
    EXPECT_FALSE(Enabled(kRun));
    EXPECT_FALSE(Enabled(kCopyResults));
    EXPECT_TRUE(Enabled(kClear));
    EXPECT_FALSE(WarningShown());
    EXPECT_EQ(Control(kUpdateAutomatically)->GetCheck(), 0);
    EXPECT_FALSE(Enabled(kKeepStatistics));
}

TEST_F(SessionTest, PathsUsedGathersLiveRunsAgainClearsAndCopies)
{
    OpenView();
    Choose(L"Paths Used");
    EXPECT_TRUE(Enabled(kRun));
    EXPECT_TRUE(Enabled(kCopyResults));

    // Checking "Update automatically" subscribes; items then arrive live.
    Click(kUpdateAutomatically);
    EXPECT_TRUE(Enabled(kKeepStatistics));
    EXPECT_EQ(Logger().SubscriberCount(), 1u);
    m_env->StartLogger();
    Logger().LogDialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(11)});
    Logger().LogDialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(12)});
    Logger().LogDialogueResolved(Id(1), Id(30), std::vector<GUID>{GUID_NULL});
    Logger().LogObjectNotification(Id(21), 9);
    Logger().LogItem(5);
    m_env->StopLogger();

    const std::wstring expected = L"Path\tAdded\tPlayed\n"
                                  L"Greeting::*\t1\t0\n"
                                  L"Greeting::Happy\t1\t1\n"
                                  L"Greeting::Sad\t1\t0\n";
    EXPECT_EQ(ResultList()->RowCount(), 3);
    EXPECT_EQ(CopyResults(), expected);

    // Run replays the whole log into the selected query only and gives the same rows.
    Click(kRun);
    EXPECT_EQ(CopyResults(), expected);

    // Clear empties every query.
    Click(kClear);
    EXPECT_EQ(CopyResults(), L"Path\tAdded\tPlayed\n");

    // Unchecking unsubscribes and disables the other option without changing it.
    Click(kKeepStatistics);
    EXPECT_TRUE(m_env->Preferences().GetBool(L"MonitoringManager", L"KeepStatsAcrossRuns", false));
    Click(kUpdateAutomatically);
    EXPECT_EQ(Logger().SubscriberCount(), 0u);
    EXPECT_FALSE(Enabled(kKeepStatistics));
    EXPECT_EQ(Control(kKeepStatistics)->GetCheck(), 1);
    EXPECT_TRUE(m_env->Preferences().GetBool(L"MonitoringManager", L"KeepStatsAcrossRuns", false));
}

TEST_F(SessionTest, TheWarningFollowsTheSelectedQuery)
{
    SetPreference(L"EnableStats", true);
    OpenView();
    m_env->StartLogger();
    // A value the project lacks: "Paths Used" and "Dialogue Events Distribution" fall out of sync.
    Logger().LogDialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(99)});
    EXPECT_FALSE(WarningShown());
    Choose(L"Paths Used");
    EXPECT_TRUE(WarningShown());
    // Clear does not refresh the dialog for this query.
    Click(kClear);
    EXPECT_TRUE(WarningShown());
    Choose(L"Paths Used");
    EXPECT_FALSE(WarningShown());
    // Shown at once when the selected query meets such an item.
    Logger().LogDialogueResolved(Id(404), Id(20), std::vector<GUID>{});
    EXPECT_TRUE(WarningShown());
    Choose(L"None");
    EXPECT_FALSE(WarningShown());
}

TEST_F(SessionTest, TheResultWindowAndGroupFollowTheDialogsSize)
{
    OpenView();
    Choose(L"Paths Used");
    CWnd* pResult = ResultList()->GetParent();
    CRect resultBefore = pResult->GetRectInParent();
    CRect groupBefore = Control(kResultsGroup)->GetRectInParent();
    CRect dialog;
    Dialog()->GetClientRect(&dialog);

    Dialog()->SetWindowPos(nullptr, 0, 0, dialog.Width() + 100, dialog.Height() + 50,
                           SWP_NOMOVE | SWP_NOZORDER);
    const CRect resultAfter = pResult->GetRectInParent();
    const CRect groupAfter = Control(kResultsGroup)->GetRectInParent();
    EXPECT_EQ(resultAfter.Width(), resultBefore.Width() + 100);
    EXPECT_EQ(resultAfter.Height(), resultBefore.Height() + 50);
    EXPECT_EQ(resultAfter.left, resultBefore.left);
    EXPECT_EQ(groupAfter.Width(), groupBefore.Width() + 100);
    EXPECT_EQ(groupAfter.Height(), groupBefore.Height());
    // The list fills its result window.
    CRect list = ResultList()->GetRectInParent();
    CRect resultClient;
    pResult->GetClientRect(&resultClient);
    EXPECT_EQ(list, resultClient);
}

TEST_F(SessionTest, ClosingTheViewDestroysEveryWindowItMade)
{
    const std::size_t before = LiveWindowCount();
    OpenView();
    Choose(L"Dialogue Events Added");
    Choose(L"Paths Used");
    Choose(L"Paths Used");
    EXPECT_GT(LiveWindowCount(), before);
    CloseView();
    EXPECT_EQ(LiveWindowCount(), before);
    EXPECT_EQ(NyLcRow::LiveCount(), 0);
}

TEST(PluginLibrary, UnloadsAndLoadsAgainInOneProcess)
{
    const std::string fileName = BuiltPluginFileName();
    for (int cycle = 0; cycle < 2; ++cycle)
    {
        {
            app::HostSession session(LoadBuiltPlugin());
            EXPECT_TRUE(IsMapped(fileName));
            session.OpenView(900, 700);
            session.Close();
        }
        EXPECT_FALSE(IsMapped(fileName)) << "the library stays mapped after dlclose";
    }
}

} // namespace
