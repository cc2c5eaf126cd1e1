#include "host/results/FilteredListControl.h"
#include "queries/DialogueResolvedDlg.h"
#include "tests/support/PluginFixture.h"

#include <optional>
#include <tuple>
#include <vector>

namespace
{

using DialogueResolvedQuery::TargetMap;

class ResetLog : public FilteredDataList::IDataConsumer
{
public:
    void OnItemAddedOrChanged(const void* pRow) override { m_changed.push_back(pRow); }
    void OnAllItemsCleared() override {}
    void OnListReset() override { ++m_nResets; }
    void OnBeforeRefresh() override {}
    void OnAfterRefresh() override {}

    std::vector<const void*> m_changed;
    int m_nResets = 0;
};

// Event, target, count of one row as the list reads it.
using Row = std::tuple<GUID, GUID, std::int32_t>;

class DialogueResolvedTest : public PluginFixture
{
protected:
    DialogueResolvedTest()
    {
        auto pProject = MakeGreetingProject();
        // "Pick" lists Hello_02, an entry without target and Hello_01 twice; "Silent" lists nothing.
        m_pPick = pProject->AddDialogueEvent(Id(4), L"Pick");
        m_pPick->SetTargets({Id(30), std::nullopt, Id(20), Id(20)});
        pProject->AddDialogueEvent(Id(3), L"Silent");
        OpenProject(std::move(pProject));
        m_query.SetOwner(&m_owner);
        m_query.GetList().AddDataConsumer(&m_log);
    }
    ~DialogueResolvedTest() override { m_query.GetList().RemoveDataConsumer(&m_log); }

    void Resolve(const GUID& event, const GUID& target)
    {
        Feed(m_query, OwnedMonitoringItem::DialogueResolved(event, target, {}));
        EXPECT_EQ(GetProject().OutstandingReferences(), 0);
    }

    std::vector<Row> Rows()
    {
        FilteredDataList::IDataSource* pSource = m_query.GetList().GetSource();
        std::vector<Row> rows;
        FilteredDataList::IDataIterator* pRows = pSource->CreateRowIterator();
        while (const void* pRow = pRows->Next())
        {
            FilteredDataList::IDataIterator* pCells = pSource->CreateColumnIterator(pRow);
            const GUID event = *static_cast<const GUID*>(pCells->Next());
            const GUID target = *static_cast<const GUID*>(pCells->Next());
            rows.emplace_back(event, target, *static_cast<const std::int32_t*>(pCells->Next()));
            EXPECT_EQ(pCells->Next(), nullptr);
            EXPECT_EQ(pCells->Next(), nullptr);
            pCells->Destroy();
        }
        EXPECT_EQ(pRows->Next(), nullptr);
        pRows->Destroy();
        return rows;
    }
    const void* TargetRow(const GUID& event, const GUID& target) const
    {
        return &*m_query.GetEventMap().at(event).find(target);
    }

    DialogueResolvedQuery::DialogueResolvedQuery& m_query = queries::TheDialogueResolvedQuery();
    DialogueEventObject* m_pPick = nullptr;
    RecordingOwner m_owner;
    ResetLog m_log;
};

TEST_F(DialogueResolvedTest, TheFirstItemPublishesEveryTargetOfTheEvent)
{
    Resolve(Id(4), Id(20));
    // One row per distinct target, those never reached and the entry without target included.
    EXPECT_EQ(Rows(), (std::vector<Row>{{Id(4), GUID_NULL, 0}, {Id(4), Id(20), 1}, {Id(4), Id(30), 0}}));
    EXPECT_EQ(m_log.m_nResets, 1);
    EXPECT_EQ(m_log.m_changed, std::vector<const void*>{TargetRow(Id(4), Id(20))});
    EXPECT_EQ(m_query.GetEventMap().at(Id(4)).at(Id(30)).event, &*m_query.GetEventMap().find(Id(4)));

    // Later items of the event do not read the project again: its new target list is not seen.
    m_pPick->SetTargets({Id(40)});
    Resolve(Id(4), Id(30));
    Resolve(Id(4), Id(40));
    Resolve(Id(4), Id(99));
    EXPECT_EQ(Rows(), (std::vector<Row>{{Id(4), GUID_NULL, 0}, {Id(4), Id(20), 1}, {Id(4), Id(30), 1}}));
    EXPECT_EQ(m_log.m_nResets, 1);
    EXPECT_EQ(m_log.m_changed.size(), 2u);
    // A target the event does not list is dropped without a sign.
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 0);

    // After Clear the event is read afresh, with its new targets.
    m_query.Clear();
    EXPECT_TRUE(Rows().empty());
    Resolve(Id(4), Id(40));
    EXPECT_EQ(Rows(), (std::vector<Row>{{Id(4), Id(40), 1}}));
}

TEST_F(DialogueResolvedTest, EventsWithoutRowsAreSkippedAndUnknownEventsMarkTheQuery)
{
    Resolve(Id(1), Id(30));
    // An event without targets publishes nothing, yet the list re-reads on each of its items.
    Resolve(Id(3), Id(30));
    Resolve(Id(3), Id(30));
    EXPECT_EQ(m_log.m_nResets, 3);
    EXPECT_EQ(m_owner.m_nCalls, 0);

    // Not a dialogue event, not in the project, the null GUID: flagged each time.
    Resolve(Id(20), Id(30));
    Resolve(Id(77), Id(30));
    Resolve(GUID_NULL, Id(30));
    EXPECT_FALSE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 3);
    EXPECT_EQ(m_log.m_nResets, 3);
    Resolve(Id(4), Id(30));
    // Silent sits between Greeting and Pick, Id(20) after Pick, both with empty maps: the rows skip them.
    EXPECT_EQ(m_query.GetEventMap().size(), 5u);
    EXPECT_EQ(Rows(), (std::vector<Row>{{Id(1), Id(20), 0},
                                        {Id(1), Id(30), 1},
                                        {Id(4), GUID_NULL, 0},
                                        {Id(4), Id(20), 0},
                                        {Id(4), Id(30), 1}}));

    // Reset starts over; with only empty events there are no rows at all.
    FilteredDataList::IDataIterator* pRows = m_query.GetList().GetSource()->CreateRowIterator();
    const void* pFirst = pRows->Next();
    pRows->Next();
    pRows->Reset();
    EXPECT_EQ(pRows->Next(), pFirst);
    pRows->Destroy();

    // Clear empties the list and the flag but tells nobody.
    m_query.Clear();
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 3);
    Resolve(Id(3), Id(30));
    Resolve(Id(20), Id(30));
    EXPECT_TRUE(Rows().empty());
}

TEST_F(DialogueResolvedTest, RowsFollowGUIDLessOrderOfEventsAndTargets)
{
    // Each pair ranks one way by GUIDLess and the other way by bytes and by Data1.
    const GUID early = Halves(0x0001000000000002, 0), late = Halves(0x0002000000000001, 0);
    const GUID low = Halves(7, 0x0002), high = Halves(7, 0x0101);
    for (const GUID& event : {late, early})
    {
        GetProject().AddDialogueEvent(event, L"Event")->SetTargets({high, low});
        Resolve(event, high);
    }
    GetProject().AddObject(low, L"Low");
    GetProject().AddObject(high, L"High");
    EXPECT_EQ(Rows(), (std::vector<Row>{{early, low, 0}, {early, high, 1}, {late, low, 0}, {late, high, 1}}));
}

TEST_F(DialogueResolvedTest, ColumnsAndTheResultWindow)
{
    ASSERT_EQ(m_query.GetList().FilterCount(), 3u);
    const auto* pTarget = static_cast<const ResultColumnFilter*>(m_query.GetList().GetFilter(1));
    EXPECT_EQ(pTarget->title, L"Target Object");
    EXPECT_EQ(pTarget->width, 300);
    EXPECT_EQ(pTarget->cellType, CellType::ObjectGUID);

    Resolve(Id(4), Id(20));
    Resolve(Id(4), Id(20));
    CWnd parent;
    parent.CreateEx(0, L"Parent", L"", WS_VISIBLE, CRect(0, 0, 600, 400), nullptr, 0);
    CDialogBase* pFirst = m_query.CreateResultDialog();
    CDialogBase* pDlg = m_query.CreateResultDialog();
    EXPECT_NE(pFirst, pDlg);
    delete pFirst;
    ASSERT_TRUE(pDlg->CreateDialogFromResources(&parent));
    auto& listCtrl = static_cast<DialogueResolvedDlg*>(pDlg)->GetListControl();
    EXPECT_EQ(listCtrl.RowCount(), 3);
    listCtrl.SetSort(2, BaseFilteredListControl::SortDescending);
    EXPECT_EQ(listCtrl.GetCellText(0, 0), L"Pick");
    EXPECT_EQ(listCtrl.GetCellText(0, 1), L"Hello_01");
    EXPECT_EQ(listCtrl.GetCellText(0, 2), L"2");
    pDlg->SendMessage(WM_COPY);
    // The shown rows in the shown order; equal counts keep the source's order, the missing target blank.
    EXPECT_EQ(m_env.Clipboard().Text(), L"Dialogue Event Name\tTarget Object\tCount\n"
                                        L"Pick\tHello_01\t2\n"
                                        L"Pick\t\t0\n"
                                        L"Pick\tHello_02\t0\n");
    pDlg->DestroyWindow();
    delete pDlg;
    parent.DestroyWindow();

    m_query.Term();
    EXPECT_EQ(m_query.GetList().FilterCount(), 0u);
    EXPECT_TRUE(m_query.GetEventMap().empty());
}

} // namespace
