#include "host/results/ResultColumnFilter.h"
#include "tests/support/PluginFixture.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

using DialogueEventQuery::ArgumentVector;
using DialogueEventQuery::EventMap;

// A value row as the value list reads it through the iterators: label, count, percentage shown with
// one decimal.
struct ValueRow
{
    std::wstring label;
    std::int32_t count = 0;
    std::wstring percent;

    friend bool operator==(const ValueRow&, const ValueRow&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ValueRow& row)
    {
        return out << std::string(row.label.begin(), row.label.end()) << " " << row.count << " "
                   << std::string(row.percent.begin(), row.percent.end());
    }
};

class AnnouncementLog : public FilteredDataList::IDataConsumer
{
public:
    void OnItemAddedOrChanged(const void* pRow) override { m_rows.push_back(pRow); }
    void OnAllItemsCleared() override { ++m_nClears; }
    void OnListReset() override {}
    void OnBeforeRefresh() override {}
    void OnAfterRefresh() override {}

    std::vector<const void*> m_rows;
    int m_nClears = 0;
};

class DialogueEventQueryTest : public PluginFixture
{
protected:
    DialogueEventQueryTest()
    {
        auto pProject = MakeGreetingProject();
        // "Ask" lists its second argument's values out of GUID order, and the first of them has a GUID
        // that byte order and GUIDLess order place differently.
        m_pAsk = pProject->AddDialogueEvent(Id(3), L"Ask");
        m_pAsk->SetArguments({Id(10), Id(50)});
        m_pAsk->SetTargets({Id(30)});
        pProject->AddArgument(Id(50), L"Place")->SetValues({Id(0x200), Id(0x105)});
        pProject->AddObject(Id(0x200), L"Hall");
        pProject->AddObject(Id(0x105), L"Attic");
        // "Odd" has an argument the project lacks and one that lists a value the project lacks.
        DialogueEventObject* pOdd = pProject->AddDialogueEvent(Id(4), L"Odd");
        pOdd->SetArguments({Id(60), Id(70)});
        pProject->AddArgument(Id(70), L"Tone")->SetValues({Id(71), Id(72)});
        pProject->AddObject(Id(71), L"Low");
        OpenProject(std::move(pProject));
        m_query.SetOwner(&m_owner);
        m_query.GetEventList().AddDataConsumer(&m_log);
    }
    ~DialogueEventQueryTest() override { m_query.GetEventList().RemoveDataConsumer(&m_log); }

    void Item(const OwnedMonitoringItem& item)
    {
        Feed(m_query, item);
        EXPECT_EQ(GetProject().OutstandingReferences(), 0);
    }
    void Resolve(const GUID& event, const GUID& target, std::vector<GUID> values = {})
    {
        Item(OwnedMonitoringItem::DialogueResolved(event, target, values));
    }
    void Play(const GUID& object, std::uint32_t reason = 9)
    {
        Item(OwnedMonitoringItem::ObjectNotification(object, reason));
    }

    const DialogueEventQuery::EventData& Event(const GUID& id) const { return m_query.GetEventMap().at(id); }

    std::vector<ValueRow> ValueRows(const GUID& event) const
    {
        FilteredDataList::IDataSource& source = const_cast<ArgumentVector&>(Event(event).arguments);
        std::vector<ValueRow> rows;
        FilteredDataList::IDataIterator* pRows = source.CreateRowIterator();
        while (const void* pRow = pRows->Next())
        {
            FilteredDataList::IDataIterator* pCells = source.CreateColumnIterator(pRow);
            ValueRow row;
            row.label = *static_cast<const wchar_t* const*>(pCells->Next());
            row.count = *static_cast<const std::int32_t*>(pCells->Next());
            wchar_t text[32];
            std::swprintf(text, 32, L"%.1f", static_cast<double>(*static_cast<const float*>(pCells->Next())));
            row.percent = text;
            EXPECT_EQ(pCells->Next(), nullptr);
            pCells->Destroy();
            rows.push_back(row);
        }
        pRows->Destroy();
        return rows;
    }

    DialogueEventQuery::DialogueEventQuery& m_query = queries::TheDialogueEventQuery();
    DialogueEventObject* m_pAsk = nullptr;
    RecordingOwner m_owner;
    AnnouncementLog m_log;
};

TEST_F(DialogueEventQueryTest, CountsEventsAndTheShareOfEachValue)
{
    Resolve(Id(1), Id(20), {Id(12)});
    EXPECT_EQ(Event(Id(1)).added, 1u);
    EXPECT_EQ(Event(Id(1)).played, 0u);
    EXPECT_EQ(ValueRows(Id(1)),
              (std::vector<ValueRow>{
                  {L"1.Mood:*", 0, L"0.0"}, {L"1.Mood:Happy", 0, L"0.0"}, {L"1.Mood:Sad", 1, L"100.0"}}));

    // Each item announces its event's row once, by the element's address.
    const void* pGreeting = &*m_query.GetEventMap().find(Id(1));
    EXPECT_EQ(m_log.m_rows, std::vector<const void*>{pGreeting});

    Resolve(Id(3), Id(30), {GUID_NULL, Id(0x200)});
    Resolve(Id(3), Id(30), {Id(11), Id(0x105)});
    Resolve(Id(3), Id(30), {Id(11), Id(0x105)});
    // Argument by argument, wildcard first, then GUIDLess order whatever the listing order.
    EXPECT_EQ(ValueRows(Id(3)), (std::vector<ValueRow>{{L"1.Mood:*", 1, L"33.3"},
                                                       {L"1.Mood:Happy", 2, L"66.7"},
                                                       {L"1.Mood:Sad", 0, L"0.0"},
                                                       {L"2.Place:*", 0, L"0.0"},
                                                       {L"2.Place:Attic", 2, L"66.7"},
                                                       {L"2.Place:Hall", 1, L"33.3"}}));
    EXPECT_EQ(m_log.m_rows.size(), 4u);
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 0);

    // The event rows come in GUIDLess order and carry GUID, Added and Played.
    FilteredDataList::IDataSource* pEvents = m_query.GetEventList().GetSource();
    ASSERT_EQ(pEvents,
              static_cast<FilteredDataList::IDataSource*>(const_cast<EventMap*>(&m_query.GetEventMap())));
    FilteredDataList::IDataIterator* pRows = pEvents->CreateRowIterator();
    const void* pFirst = pRows->Next();
    EXPECT_EQ(pFirst, pGreeting);
    EXPECT_EQ(pRows->Next(), &*m_query.GetEventMap().find(Id(3)));
    EXPECT_EQ(pRows->Next(), nullptr);
    pRows->Reset();
    EXPECT_EQ(pRows->Next(), pFirst);
    pRows->Destroy();
    FilteredDataList::IDataIterator* pCells = pEvents->CreateColumnIterator(pFirst);
    EXPECT_EQ(*static_cast<const GUID*>(pCells->Next()), Id(1));
    EXPECT_EQ(*static_cast<const std::int32_t*>(pCells->Next()), 1);
    EXPECT_EQ(*static_cast<const std::int32_t*>(pCells->Next()), 0);
    EXPECT_EQ(pCells->Next(), nullptr);
    pCells->Destroy();
}

TEST_F(DialogueEventQueryTest, ItemsThatDoNotMatchTheProjectAreRejected)
{
    Resolve(GUID_NULL, Id(20));
    Resolve(Id(99), Id(20));                  // not in the project
    Resolve(Id(20), Id(20));                  // not a dialogue event
    Resolve(Id(1), Id(20), {Id(11), Id(12)}); // Greeting has one argument
    Item(OwnedMonitoringItem::Other(5));
    EXPECT_TRUE(m_query.GetEventMap().empty());
    EXPECT_TRUE(m_log.m_rows.empty());
    EXPECT_FALSE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 4);

    // A rejected resolution leaves no target behind to credit.
    Play(Id(20));
    EXPECT_TRUE(m_query.GetEventMap().empty());
}

TEST_F(DialogueEventQueryTest, ValuesTheProjectDoesNotKnow)
{
    // A value the argument does not list: flagged the first time only, counted every time.
    Resolve(Id(1), Id(20), {Id(99)});
    EXPECT_EQ(m_owner.m_nCalls, 1);
    Resolve(Id(1), Id(20), {Id(99)});
    EXPECT_EQ(m_owner.m_nCalls, 1);
    EXPECT_FALSE(m_query.IsDataInSync());
    EXPECT_EQ(Event(Id(1)).added, 2u);
    EXPECT_EQ(ValueRows(Id(1)), (std::vector<ValueRow>{{L"1.Mood:*", 0, L"0.0"},
                                                       {L"1.Mood:Happy", 0, L"0.0"},
                                                       {L"1.Mood:Sad", 0, L"0.0"},
                                                       {L"1.Mood:Unknown", 2, L"100.0"}}));

    // "Odd": its first argument is missing from the project, so it is skipped without a flag and
    // initialised once the project has it; its second lists a value the project lacks (flagged once).
    m_owner.m_nCalls = 0;
    Resolve(Id(4), Id(20), {GUID_NULL, Id(71)});
    EXPECT_EQ(m_owner.m_nCalls, 1);
    EXPECT_EQ(Event(Id(4)).added, 1u);
    EXPECT_EQ(Event(Id(4)).arguments[0].total, 0u);
    EXPECT_EQ(ValueRows(Id(4)),
              (std::vector<ValueRow>{
                  {L"2.Tone:*", 0, L"0.0"}, {L"2.Tone:Low", 1, L"100.0"}, {L"2.Tone:Unknown", 0, L"0.0"}}));

    GetProject().AddArgument(Id(60), L"Pitch")->SetValues({Id(61)});
    GetProject().AddObject(Id(61), L"High");
    Resolve(Id(4), Id(20), {Id(61), Id(72)});
    EXPECT_EQ(m_owner.m_nCalls, 1);
    EXPECT_EQ(ValueRows(Id(4)), (std::vector<ValueRow>{{L"1.Pitch:*", 0, L"0.0"},
                                                       {L"1.Pitch:High", 1, L"100.0"},
                                                       {L"2.Tone:*", 0, L"0.0"},
                                                       {L"2.Tone:Low", 1, L"50.0"},
                                                       {L"2.Tone:Unknown", 1, L"50.0"}}));
}

TEST_F(DialogueEventQueryTest, EachUnlistedValueGetsARowOfItsOwn)
{
    // Two values the argument does not list: two rows under one label, each flagged once.
    Resolve(Id(1), Id(20), {Id(98)});
    Resolve(Id(1), Id(20), {Id(99)});
    Resolve(Id(1), Id(20), {Id(99)});
    EXPECT_EQ(m_owner.m_nCalls, 2);

    // The argument object gone from the project as well: neither name is known.
    auto pChanged = std::make_unique<Project>();
    pChanged->AddDialogueEvent(Id(1), L"Greeting")->SetArguments({Id(10)});
    m_env.Projects().SetProject(pChanged.get());
    Feed(m_query, OwnedMonitoringItem::DialogueResolved(Id(1), Id(20), std::vector<GUID>{Id(97)}));
    m_env.Projects().SetProject(&GetProject());
    EXPECT_EQ(pChanged->OutstandingReferences(), 0);
    EXPECT_EQ(m_owner.m_nCalls, 3);

    EXPECT_EQ(ValueRows(Id(1)), (std::vector<ValueRow>{{L"1.Mood:*", 0, L"0.0"},
                                                       {L"1.Mood:Happy", 0, L"0.0"},
                                                       {L"1.Mood:Sad", 0, L"0.0"},
                                                       {L"1.Unknown:Unknown", 1, L"25.0"},
                                                       {L"1.Mood:Unknown", 1, L"25.0"},
                                                       {L"1.Mood:Unknown", 2, L"50.0"}}));
}

TEST_F(DialogueEventQueryTest, EventRowsFollowGUIDLessOrder)
{
    // Ranked one way by GUIDLess, the other way by bytes and by Data1.
    const GUID early = Halves(0x0001000000000002, 0), late = Halves(0x0002000000000001, 0);
    for (const GUID& event : {late, early})
    {
        GetProject().AddDialogueEvent(event, L"Event")->SetTargets({Id(30)});
        Resolve(event, Id(30));
    }
    FilteredDataList::IDataIterator* pRows = m_query.GetEventList().GetSource()->CreateRowIterator();
    EXPECT_EQ(pRows->Next(), &*m_query.GetEventMap().find(early));
    EXPECT_EQ(pRows->Next(), &*m_query.GetEventMap().find(late));
    EXPECT_EQ(pRows->Next(), nullptr);
    pRows->Destroy();
}

TEST_F(DialogueEventQueryTest, ArgumentsGrowAndShrinkWithTheEvent)
{
    m_pAsk->SetArguments({Id(10)});
    Resolve(Id(3), Id(30), {Id(11)});
    const ArgumentVector& arguments = Event(Id(3)).arguments;
    const void* pHappy = &*arguments[0].values.find(Id(11));

    // Growing moves the argument data; the older position keeps its rows, counts and total.
    m_pAsk->SetArguments({Id(10), Id(50)});
    Resolve(Id(3), Id(30), {Id(12), Id(0x105)});
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(&*arguments[0].values.find(Id(11)), pHappy);
    EXPECT_EQ(arguments[0].total, 2u);
    EXPECT_EQ(arguments[1].total, 1u);
    EXPECT_EQ(ValueRows(Id(3)), (std::vector<ValueRow>{{L"1.Mood:*", 0, L"0.0"},
                                                       {L"1.Mood:Happy", 1, L"50.0"},
                                                       {L"1.Mood:Sad", 1, L"50.0"},
                                                       {L"2.Place:*", 0, L"0.0"},
                                                       {L"2.Place:Attic", 1, L"100.0"},
                                                       {L"2.Place:Hall", 0, L"0.0"}}));

    // Shrinking keeps the trailing argument's rows, which count no more.
    m_pAsk->SetArguments({Id(10)});
    Resolve(Id(3), Id(30), {Id(11)});
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0].total, 3u);
    EXPECT_EQ(arguments[1].total, 1u);
    EXPECT_EQ(ValueRows(Id(3))[1], (ValueRow{L"1.Mood:Happy", 2, L"66.7"}));
    EXPECT_EQ(ValueRows(Id(3))[4], (ValueRow{L"2.Place:Attic", 1, L"100.0"}));
    EXPECT_TRUE(m_query.IsDataInSync());
}

TEST_F(DialogueEventQueryTest, PlaysGoToTheEventOfTheNearestResolvedTarget)
{
    // Bye resolves to the voice below Hello_01, Greeting later to Hello_01 itself.
    Resolve(Id(2), Id(21));
    Resolve(Id(1), Id(20), {Id(11)});
    m_log.m_rows.clear();

    Play(Id(22), 10);
    EXPECT_EQ(Event(Id(2)).played, 1u);
    EXPECT_EQ(Event(Id(1)).played, 0u);
    EXPECT_EQ(m_log.m_rows, std::vector<const void*>{&*m_query.GetEventMap().find(Id(2))});
    Play(Id(20), 9);
    EXPECT_EQ(Event(Id(1)).played, 1u);

    // Other reasons, unknown objects and the null GUID change nothing; the target stays creditable.
    Play(Id(22), 8);
    Play(Id(22), 11);
    Play(Id(98), 9);
    Play(GUID_NULL, 9);
    EXPECT_EQ(Event(Id(2)).played, 1u);
    Play(Id(21), 9);
    EXPECT_EQ(Event(Id(2)).played, 2u);

    // The event that resolved a target last gets its plays.
    Resolve(Id(3), Id(30), {Id(11), Id(0x105)});
    Resolve(Id(1), Id(30), {Id(11)});
    Play(Id(30), 9);
    EXPECT_EQ(Event(Id(1)).played, 2u);
    EXPECT_EQ(Event(Id(3)).played, 0u);
    EXPECT_TRUE(m_query.IsDataInSync());
}

TEST_F(DialogueEventQueryTest, ColumnsRunsAndClear)
{
    // "Loaded" built the six columns.
    const auto column = [](FilteredDataList& list, std::size_t index)
    {
        return static_cast<const ResultColumnFilter*>(list.GetFilter(index));
    };
    ASSERT_EQ(m_query.GetEventList().FilterCount(), 3u);
    ASSERT_EQ(m_query.GetValueList().FilterCount(), 3u);
    EXPECT_EQ(column(m_query.GetEventList(), 0)->title, L"Dialogue Event Name");
    EXPECT_EQ(column(m_query.GetEventList(), 0)->cellType, CellType::ObjectGUID);
    EXPECT_EQ(column(m_query.GetEventList(), 2)->width, 60);
    EXPECT_EQ(column(m_query.GetValueList(), 0)->cellType, CellType::Text);
    EXPECT_EQ(column(m_query.GetValueList(), 1)->width, 40);
    const auto* pPercent = static_cast<const FloatFilter*>(column(m_query.GetValueList(), 2));
    EXPECT_EQ(pPercent->title, L"%");
    EXPECT_EQ(pPercent->GetFormatType(), 6);

    Resolve(Id(1), Id(20), {Id(11)});
    Resolve(Id(1), Id(20), {Id(98)});
    m_query.GetValueList().SetSource(const_cast<ArgumentVector*>(&Event(Id(1)).arguments));
    m_owner.m_nCalls = 0;

    m_query.BeginRun();
    EXPECT_TRUE(m_query.GetEventList().IsInBrace());
    EXPECT_TRUE(m_query.GetValueList().IsInBrace());
    EXPECT_TRUE(m_query.GetEventMap().empty());
    EXPECT_EQ(m_query.GetValueList().GetSource(), nullptr);
    EXPECT_EQ(m_log.m_nClears, 1);
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 1);
    // Cleared targets credit nothing.
    Play(Id(20));
    EXPECT_TRUE(m_query.GetEventMap().empty());
    Resolve(Id(2), Id(40));
    m_query.EndRun();
    EXPECT_FALSE(m_query.GetEventList().IsInBrace());
    EXPECT_FALSE(m_query.GetValueList().IsInBrace());
    EXPECT_EQ(m_query.GetEventMap().size(), 1u);
    EXPECT_NE(m_query.GetEventList().GetSource(), nullptr);

    // Term drops the columns and clears; a second one is harmless.
    m_query.Term();
    m_query.Term();
    EXPECT_EQ(m_query.GetEventList().FilterCount(), 0u);
    EXPECT_EQ(m_query.GetValueList().FilterCount(), 0u);
    EXPECT_TRUE(m_query.GetEventMap().empty());
    EXPECT_EQ(m_owner.m_nCalls, 3);
}

} // namespace
