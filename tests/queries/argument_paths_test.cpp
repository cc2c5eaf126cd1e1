#include "framework/RegistryConstants.h"
#include "tests/support/PluginFixture.h"

#include <deque>
#include <map>
#include <string>

namespace
{

using ArgumentPathsQuery::ArgPathData;

// Counts announcements per row.
class AnnouncementLog : public FilteredDataList::IDataConsumer
{
public:
    void OnItemAddedOrChanged(const void* pRow) override { ++m_rows[pRow]; }
    void OnAllItemsCleared() override { ++m_nClears; }
    void OnListReset() override {}
    void OnBeforeRefresh() override {}
    void OnAfterRefresh() override {}

    std::map<const void*, int> m_rows;
    int m_nClears = 0;
};

class ArgumentPathsTest : public PluginFixture
{
protected:
    ArgumentPathsTest()
    {
        auto pProject = MakeGreetingProject();
        DialogueEventObject* pTwo = pProject->AddDialogueEvent(Id(3), L"Ask");
        pTwo->SetArguments({Id(10), Id(50)});
        pProject->AddArgument(Id(50), L"Time")->SetValues({Id(51)});
        pProject->AddObject(Id(51), L"Night");
        OpenProject(std::move(pProject));
        m_query.SetOwner(&m_owner);
        m_query.GetList().AddDataConsumer(&m_log);
    }
    ~ArgumentPathsTest() override { m_query.GetList().RemoveDataConsumer(&m_log); }

    void Item(const OwnedMonitoringItem& item)
    {
        Feed(m_query, item);
        // Every reference the query took is dropped before it returns.
        EXPECT_EQ(GetProject().OutstandingReferences(), 0);
    }
    void Resolve(const GUID& event, const GUID& target, std::vector<GUID> values = {},
                 bool bResolveOnly = false)
    {
        Item(OwnedMonitoringItem::DialogueResolved(event, target, values, bResolveOnly));
    }
    void Play(const GUID& object, std::uint32_t reason = 9)
    {
        Item(OwnedMonitoringItem::ObjectNotification(object, reason));
    }

    // Path → (added, played).
    std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> Rows() const
    {
        std::map<std::wstring, std::pair<std::uint64_t, std::uint64_t>> rows;
        for (const auto& [path, data] : m_query.GetPaths())
            rows[path] = {data.added, data.played};
        return rows;
    }

    ArgumentPathsQuery::ArgumentPathsQuery& m_query = queries::TheArgumentPathsQuery();
    RecordingOwner m_owner;
    AnnouncementLog m_log;
};

using Counts = std::pair<std::uint64_t, std::uint64_t>;

TEST_F(ArgumentPathsTest, BuildsPathsFromEventAndValueNames)
{
    Resolve(Id(3), Id(20), {Id(11), Id(51)});
    Resolve(Id(3), Id(20), {Id(11), Id(51)});
    Resolve(Id(3), Id(20), {GUID_NULL, Id(51)});
    Resolve(Id(2), Id(40));
    EXPECT_EQ(Rows(), (std::map<std::wstring, Counts>{
                          {L"Ask::*.Night", {1, 0}}, {L"Ask::Happy.Night", {2, 0}}, {L"Bye:", {1, 0}}}));
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 0);

    // The row's text cell points at its own key.
    const auto& element = *m_query.GetPaths().find(L"Ask::Happy.Night");
    EXPECT_EQ(element.second.path, element.first.c_str());
    // Each change announces its row once.
    EXPECT_EQ(m_log.m_rows[&element], 2);
}

TEST_F(ArgumentPathsTest, UnknownValuesAreCountedAndMarkTheQuery)
{
    Resolve(Id(3), Id(20), {Id(99), Id(98)});
    EXPECT_EQ(Rows(), (std::map<std::wstring, Counts>{{L"Ask::Unknown.Unknown", {1, 0}}}));
    EXPECT_FALSE(m_query.IsDataInSync());
    // Once per missing value, even with the flag already set.
    EXPECT_EQ(m_owner.m_nCalls, 2);
}

TEST_F(ArgumentPathsTest, ItemsThatDoNotMatchTheProjectAddNothing)
{
    const GUID notAnEvent = Id(20);
    Resolve(GUID_NULL, Id(20));
    Resolve(Id(77), Id(20));
    Resolve(notAnEvent, Id(20));
    Resolve(Id(1), Id(20), {Id(11), Id(12)});
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(m_log.m_rows.empty());
    EXPECT_FALSE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 4);

    // Without an owner the flag is still set, and nobody is called.
    m_query.Clear();
    m_query.ResetOwner();
    Resolve(GUID_NULL, Id(20));
    EXPECT_FALSE(m_query.IsDataInSync());
    EXPECT_EQ(m_owner.m_nCalls, 4);
}

TEST_F(ArgumentPathsTest, PlaysCreditTheOldestPendingResolutionOfTheTarget)
{
    Resolve(Id(1), Id(20), {Id(11)});
    Resolve(Id(1), Id(20), {Id(12)});
    Resolve(Id(1), Id(20), {Id(12)}, true);
    // A reason other than 9 or 10 leaves the queue alone.
    Play(Id(22), 8);
    EXPECT_EQ(Rows()[L"Greeting::Happy"], Counts(1, 0));
    // Plays of objects below the target count, oldest resolution first.
    Play(Id(22), 10);
    Play(Id(21), 9);
    EXPECT_EQ(Rows()[L"Greeting::Happy"], Counts(1, 1));
    EXPECT_EQ(Rows()[L"Greeting::Sad"], Counts(2, 1));
    // The resolve-only one is never credited.
    Play(Id(20), 9);
    EXPECT_EQ(Rows()[L"Greeting::Sad"], Counts(2, 1));
    // Unknown and null objects are ignored without marking anything.
    Play(Id(404));
    Play(GUID_NULL);
    EXPECT_TRUE(m_query.IsDataInSync());
}

TEST_F(ArgumentPathsTest, LongQueuesStillCreditOldestFirst)
{
    // Hundreds of resolutions to one target, played while more arrive: the queue drops its credited
    // front now and then, and every play must still go to the oldest waiting resolution.
    const GUID values[] = {Id(11), Id(12), GUID_NULL};
    const std::wstring paths[] = {L"Greeting::Happy", L"Greeting::Sad", L"Greeting::*"};
    std::deque<int> waiting;
    std::map<std::wstring, std::uint64_t> expectedPlayed;
    int nResolved = 0;
    const auto resolve = [&]
    {
        const int which = (nResolved * 7 + nResolved / 5) % 3;
        ++nResolved;
        Resolve(Id(1), Id(20), {values[which]});
        waiting.push_back(which);
    };
    const auto play = [&]
    {
        Play(Id(21));
        ++expectedPlayed[paths[waiting.front()]];
        waiting.pop_front();
        for (const std::wstring& path : paths)
            ASSERT_EQ(Rows()[path].second, expectedPlayed[path]) << path << " after " << nResolved;
    };

    for (int i = 0; i < 150; ++i)
        resolve();
    for (int i = 0; i < 100; ++i)
        ASSERT_NO_FATAL_FAILURE(play());
    for (int i = 0; i < 100; ++i)
    {
        resolve();
        resolve();
        ASSERT_NO_FATAL_FAILURE(play());
    }
    while (!waiting.empty())
        ASSERT_NO_FATAL_FAILURE(play());
    Play(Id(21));
    std::uint64_t nPlayed = 0;
    for (const std::wstring& path : paths)
        nPlayed += Rows()[path].second;
    EXPECT_EQ(nPlayed, 350u);
}

TEST_F(ArgumentPathsTest, TheNearestPendingTargetDecidesEvenWhenEmpty)
{
    // Hello_01_Voice (21) becomes a pending key, then is drained; Hello_01 (20) above it still waits.
    Resolve(Id(1), Id(20), {Id(11)});
    Resolve(Id(1), Id(21), {Id(12)});
    Play(Id(21));
    EXPECT_EQ(Rows()[L"Greeting::Sad"], Counts(1, 1));
    Play(Id(22));
    EXPECT_EQ(Rows()[L"Greeting::Happy"], Counts(1, 0));
    Play(Id(20));
    EXPECT_EQ(Rows()[L"Greeting::Happy"], Counts(1, 1));
}

TEST_F(ArgumentPathsTest, ClearForgetsRowsPendingPlaysAndTheFlag)
{
    Resolve(Id(1), Id(20), {Id(99)});
    ASSERT_FALSE(m_query.IsDataInSync());
    const int calls = m_owner.m_nCalls;
    m_query.Clear();
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(m_query.IsDataInSync());
    EXPECT_EQ(m_log.m_nClears, 1);
    EXPECT_EQ(m_owner.m_nCalls, calls);
    Play(Id(20));
    EXPECT_TRUE(Rows().empty());

    // A run rebuilds from the log inside one brace.
    Resolve(Id(1), Id(20), {Id(11)});
    m_query.BeginRun();
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(m_query.GetList().IsInBrace());
    m_query.EndRun();
    EXPECT_FALSE(m_query.GetList().IsInBrace());
}

TEST_F(ArgumentPathsTest, PathsOrderByUtf16CodeUnits)
{
    // U+1F600 is a surrogate pair in UTF-16 and so sorts below U+FF21, unlike in UTF-32.
    GetProject().AddDialogueEvent(Id(60), L"\U0001F600");
    GetProject().AddDialogueEvent(Id(61), L"\uFF21");
    GetProject().AddDialogueEvent(Id(62), L"A");
    Resolve(Id(61), Id(20));
    Resolve(Id(60), Id(20));
    Resolve(Id(62), Id(20));
    std::vector<std::wstring> order;
    for (const auto& [path, data] : m_query.GetPaths())
        order.push_back(path);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"A:", L"\U0001F600:", L"\uFF21:"}));
}

} // namespace
