#include "host/ui/UISubClassingMgr.h"
#include "queries/DialogueEventQueryDlg.h"
#include "resources/resource.h"
#include "tests/support/PluginFixture.h"

#include <string>
#include <vector>

namespace
{

using DialogueEventQuery::EventMap;

// Stands for a list control that drops its selection when it reads its rows again.
class SelectionDropper : public FilteredDataList::IDataConsumer
{
public:
    explicit SelectionDropper(BaseFilteredListControl& control) : m_control(control) {}
    void OnItemAddedOrChanged(const void*) override {}
    void OnAllItemsCleared() override {}
    void OnListReset() override {}
    void OnBeforeRefresh() override
    {
        m_control.SetSelection(static_cast<const void*>(nullptr));
        ++m_nDrops;
    }
    void OnAfterRefresh() override {}

    BaseFilteredListControl& m_control;
    int m_nDrops = 0;
};

class DialogueEventDlgTest : public PluginFixture
{
protected:
    DialogueEventDlgTest()
    {
        auto pProject = MakeGreetingProject();
        // "Ask" starts with one argument and gains a second, so that its two totals differ; the second
        // argument's values sort differently by GUID, by code unit and ignoring case.
        m_pAsk = pProject->AddDialogueEvent(Id(3), L"Ask");
        m_pAsk->SetArguments({Id(10)});
        pProject->AddArgument(Id(50), L"Pick")->SetValues({Id(0x105), Id(0x200)});
        pProject->AddObject(Id(0x105), L"apple");
        pProject->AddObject(Id(0x200), L"Zebra");
        OpenProject(std::move(pProject));

        // The statistics dialog's part: a window that holds the result window.
        m_parent.CreateEx(0, L"Parent", L"", WS_VISIBLE, CRect(0, 0, 800, 600), nullptr, 0);
        m_pDlg = static_cast<DialogueEventQueryDlg*>(m_query.CreateResultDialog());
        m_pDlg->CreateDialogFromResources(&m_parent);
    }
    ~DialogueEventDlgTest() override
    {
        m_pDlg->DestroyWindow();
        delete m_pDlg;
        EXPECT_EQ(m_query.GetEventList().DataConsumerCount(), 0u);
        m_parent.DestroyWindow();
    }

    void Resolve(const GUID& event, const GUID& target, std::vector<GUID> values = {})
    {
        Feed(m_query, OwnedMonitoringItem::DialogueResolved(event, target, values));
    }
    std::wstring Copy()
    {
        m_pDlg->SendMessage(WM_COPY);
        EXPECT_EQ(NYAutoWaitCursor::Depth(), 0);
        return m_env.Clipboard().Text();
    }
    // Mood: * 1, Happy 7, Sad 4 of 12; Pick (from the sixth item on): * 0, apple 2, Zebra 3 of 5.
    void ResolveAsk()
    {
        Resolve(Id(3), Id(30), {GUID_NULL});
        for (int i = 0; i < 6; ++i)
            Resolve(Id(3), Id(30), {Id(11)});
        m_pAsk->SetArguments({Id(10), Id(50)});
        Resolve(Id(3), Id(30), {Id(12), Id(0x105)});
        Resolve(Id(3), Id(30), {Id(12), Id(0x105)});
        Resolve(Id(3), Id(30), {Id(12), Id(0x200)});
        Resolve(Id(3), Id(30), {Id(12), Id(0x200)});
        Resolve(Id(3), Id(30), {Id(11), Id(0x200)});
    }
    const void* EventRow(const GUID& id) const { return &*m_query.GetEventMap().find(id); }
    const void* SelectedRow()
    {
        std::vector<CSmartPtr<NyLcRow>> rows;
        m_pDlg->GetEventListControl().GetSelectedRows(rows);
        return rows.empty() ? nullptr : rows.front()->GetData();
    }

    DialogueEventQuery::DialogueEventQuery& m_query = queries::TheDialogueEventQuery();
    DialogueEventObject* m_pAsk = nullptr;
    CWnd m_parent;
    DialogueEventQueryDlg* m_pDlg = nullptr;
};

const std::wstring kHeader = L"Dialogue Event Name\tAdded\tPlayed\tValue\tCount\t%\t\n";

TEST_F(DialogueEventDlgTest, CopiesEventsWithTheirWholeDistribution)
{
    // Nothing yet: the header alone still reaches the clipboard.
    EXPECT_EQ(Copy(), kHeader);
    EXPECT_EQ(m_env.Clipboard().SetCount(), 1);

    Resolve(Id(1), Id(20), {GUID_NULL});
    Resolve(Id(1), Id(20), {Id(11)});
    Resolve(Id(1), Id(20), {Id(11)});
    Feed(m_query, OwnedMonitoringItem::ObjectNotification(Id(20), 9));
    m_pDlg->GetValueListControl().SetSort(0, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Copy(), kHeader + L"Greeting\t3\t1\n"
                                L"\t\t\t1.Mood:*\t1\t33.3\n"
                                L"\t\t\t1.Mood:Happy\t2\t66.7\n"
                                L"\t\t\t1.Mood:Sad\t0\t0.0\n");

    // Every shown event, in the event list's order, whatever the value list's filter hides.
    Resolve(Id(2), Id(40));
    FilterCriterion onlySad;
    onlySad.op = FilterCriterion::Op::Contains;
    onlySad.text = L"Sad";
    ASSERT_TRUE(m_pDlg->GetValueListControl().SetColumnFilter(0, onlySad));
    m_pDlg->GetEventListControl().SetSort(1, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Copy(), kHeader + L"Bye\t1\t0\n"
                                L"Greeting\t3\t1\n"
                                L"\t\t\t1.Mood:*\t1\t33.3\n"
                                L"\t\t\t1.Mood:Happy\t2\t66.7\n"
                                L"\t\t\t1.Mood:Sad\t0\t0.0\n");
    EXPECT_EQ(GetProject().OutstandingReferences(), 0);
}

TEST_F(DialogueEventDlgTest, ValueLinesFollowTheValueListsSort)
{
    ResolveAsk();
    const std::wstring event = L"Ask\t12\t0\n";
    const std::wstring moodAny = L"\t\t\t1.Mood:*\t1\t8.3\n", happy = L"\t\t\t1.Mood:Happy\t7\t58.3\n",
                       sad = L"\t\t\t1.Mood:Sad\t4\t33.3\n", pickAny = L"\t\t\t2.Pick:*\t0\t0.0\n",
                       apple = L"\t\t\t2.Pick:apple\t2\t40.0\n", zebra = L"\t\t\t2.Pick:Zebra\t3\t60.0\n";
    FilteredListControl& values = m_pDlg->GetValueListControl();

    // No sort column: argument by argument, GUID order within each; descending reverses that.
    EXPECT_EQ(Copy(), kHeader + event + moodAny + happy + sad + pickAny + apple + zebra);
    values.SetSort(-1, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(Copy(), kHeader + event + zebra + apple + pickAny + sad + happy + moodAny);

    // Labels by UTF-16 code units: upper case before lower case.
    values.SetSort(0, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Copy(), kHeader + event + moodAny + happy + sad + pickAny + zebra + apple);
    values.SetSort(1, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(Copy(), kHeader + event + happy + sad + zebra + apple + moodAny + pickAny);
    // The share divides by each value's own argument's total.
    values.SetSort(2, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Copy(), kHeader + event + pickAny + moodAny + sad + apple + happy + zebra);
}

TEST_F(DialogueEventDlgTest, SelectionDrivesTheValueListAndSurvivesRefreshes)
{
    Resolve(Id(1), Id(20), {Id(11)});
    Resolve(Id(2), Id(40));
    ResolveAsk();
    FilteredListControl& events = m_pDlg->GetEventListControl();
    FilteredListControl& values = m_pDlg->GetValueListControl();
    ASSERT_EQ(events.RowCount(), 3);

    events.SetSelection(2);
    EXPECT_EQ(m_pDlg->GetCaption().GetObjectID(), Id(3));
    EXPECT_EQ(values.RowCount(), 6);
    EXPECT_EQ(values.GetResultName(), L"Value Distribution");

    // A control that forgets its selection while it reads its rows again: the window selects the
    // remembered event again, even after its row moved.
    SelectionDropper dropper(events);
    m_query.GetEventList().AddDataConsumer(&dropper);
    events.SetSort(1, BaseFilteredListControl::SortDescending);
    Resolve(Id(1), Id(20), {Id(12)});
    EXPECT_EQ(events.RowCount(), 3);
    m_query.GetEventList().RemoveDataConsumer(&dropper);
    EXPECT_EQ(dropper.m_nDrops, 1);
    EXPECT_EQ(SelectedRow(), EventRow(Id(3)));
    EXPECT_EQ(events.GetCellText(0, 0), L"Ask");
    EXPECT_EQ(m_pDlg->GetCaption().GetObjectID(), Id(3));
    EXPECT_EQ(values.RowCount(), 6);

    // An event that is gone leaves nothing selected, the caption blank and the value list empty.
    m_pDlg->OnBeforeRefresh();
    m_query.Clear();
    Resolve(Id(1), Id(20), {Id(11)});
    m_pDlg->OnAfterRefresh();
    EXPECT_EQ(SelectedRow(), nullptr);
    EXPECT_TRUE(IsNullGuid(m_pDlg->GetCaption().GetObjectID()));
    EXPECT_EQ(values.RowCount(), 0);
}

TEST_F(DialogueEventDlgTest, SharesAreTakenInSinglePrecision)
{
    // 3 of 2,000 is 0.15: just above in single precision (0.2), just below in double (0.1).
    for (int i = 0; i < 2000; ++i)
        Resolve(Id(1), Id(20), {i < 3 ? Id(11) : Id(12)});
    FilteredListControl& events = m_pDlg->GetEventListControl();
    FilteredListControl& values = m_pDlg->GetValueListControl();
    events.SetSelection(static_cast<const void*>(EventRow(Id(1))));
    ASSERT_EQ(values.GetCellText(1, 0), L"1.Mood:Happy");
    EXPECT_EQ(values.GetCellText(1, 2), L"0.2");
    values.SetSort(2, BaseFilteredListControl::SortAscending);
    EXPECT_EQ(Copy(), kHeader + L"Greeting\t2000\t0\n"
                                L"\t\t\t1.Mood:*\t0\t0.0\n"
                                L"\t\t\t1.Mood:Happy\t3\t0.2\n"
                                L"\t\t\t1.Mood:Sad\t1997\t99.8\n");
}

TEST_F(DialogueEventDlgTest, LaysOutTwoColumns)
{
    Resolve(Id(1), Id(20), {Id(11)});
    m_pDlg->SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_EQ(UISubClassingMgr::ScaleToDpi(10), 10);

    const RECT events = m_pDlg->GetEventListControl().GetRectInParent();
    EXPECT_EQ(events.left, 0);
    EXPECT_EQ(events.top, 0);
    EXPECT_EQ(events.right - events.left, 195);
    EXPECT_EQ(events.bottom - events.top, 300);

    const RECT label = m_pDlg->GetDlgItem(IDC_SELECTED_EVENT_LABEL)->GetRectInParent();
    const RECT caption = m_pDlg->GetDlgItem(IDC_SELECTED_EVENT_CAPTION)->GetRectInParent();
    const RECT values = m_pDlg->GetValueListControl().GetRectInParent();
    EXPECT_EQ(label.left, 200);
    EXPECT_EQ(label.top, 0);
    EXPECT_EQ(caption.left, 200);
    EXPECT_EQ(caption.top, label.bottom + 2);
    EXPECT_EQ(values.left, 200);
    EXPECT_EQ(values.top, caption.bottom + 3);
    EXPECT_EQ(values.right - values.left, 195);
    EXPECT_EQ(values.bottom, 300);

    // At 150 % the gap grows with the display's scaling.
    UISubClassingMgr::SetScalePercent(150);
    m_pDlg->SetWindowPos(nullptr, 0, 0, 401, 300, SWP_NOMOVE | SWP_NOACTIVATE);
    UISubClassingMgr::SetScalePercent(100);
    const RECT scaled = m_pDlg->GetValueListControl().GetRectInParent();
    EXPECT_EQ(scaled.left, 200);
    EXPECT_EQ(scaled.right - scaled.left, 193);
}

} // namespace
