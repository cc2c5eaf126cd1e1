#include "framework/RegistryConstants.h"
#include "tests/support/PluginFixture.h"

#include <cstdint>
#include <vector>

namespace
{

// A monitoring manager whose logger only records what it is asked.
class RecordingMonitoringMgr : public IMonitoringMgr, public IMonitoringMgrLogger
{
public:
    struct Call
    {
        bool bSubscribe;
        IMonitoringMgrLoggerSubscriber* pSubscriber;
        std::uint64_t kindMask;
        int reserved;
        bool flag;
    };

    bool Initialize() override { return true; }
    bool Terminate() override { return true; }
    void Destroy() override {}
    IMonitoringMgrLogger* GetLogger() override { return this; }

    void Subscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask, int reserved,
                   bool flag) override
    {
        m_calls.push_back({true, pSubscriber, kindMask, reserved, flag});
    }
    void Unsubscribe(IMonitoringMgrLoggerSubscriber* pSubscriber, std::uint64_t kindMask, int reserved,
                     bool flag) override
    {
        m_calls.push_back({false, pSubscriber, kindMask, reserved, flag});
    }
    IMonitoringMgrLoggerIterator* CreateIterator() override { return nullptr; }
    void ReleaseIterator(IMonitoringMgrLoggerIterator*) override {}

    std::vector<Call> m_calls;
};

// The kinds of the items a subscriber was handed.
class KindLog : public IMonitoringMgrLoggerSubscriber
{
public:
    void OnItemLogged(const MonitoringItem* pItem) override { m_kinds.push_back(pItem->type); }
    std::vector<int> m_kinds;
};

// A notification manager that goes away after its first call, as a host's may while it shuts down.
class VanishingNotifyMgr : public INotifyMgr
{
public:
    void Subscribe(const ROString& channel, const NotifyHandler&) override
    {
        m_subscribed.push_back(channel);
        INotifyMgr::m_pInstance = nullptr;
    }
    void Unsubscribe(const ROString& channel, const NotifyHandler&) override
    {
        m_unsubscribed.push_back(channel);
        INotifyMgr::m_pInstance = nullptr;
    }
    void Notify(const ROString&, const NotifyEvent*) override {}

    std::vector<ROString> m_subscribed;
    std::vector<ROString> m_unsubscribed;
};

class RegistryTest : public PluginFixture
{
protected:
    RegistryTest() { OpenProject(MakeGreetingProject()); }

    bool Subscribed() const { return m_pRegistry->IsSubscribedToLogger(); }
    std::size_t LoggerSubscribers() { return Logger().SubscriberCount(); }
    std::size_t PathRows() { return queries::TheArgumentPathsQuery().GetPaths().size(); }

    void RaisePreferenceChange(const wchar_t* key, const wchar_t* name)
    {
        NotifyEvent event;
        event.eventId = registry::kUserPrefChanged;
        event.prefKey = key;
        event.prefName = name;
        m_env.Notifications().Notify(registry::kUserPrefChannel, &event);
    }
};

TEST_F(RegistryTest, RegistersTheFourQueriesInOrderAndFollowsTheProject)
{
    const auto& registered = m_pRegistry->GetQueries();
    ASSERT_EQ(registered.size(), 4u);
    EXPECT_EQ(registered[0], &queries::TheNoneQuery());
    EXPECT_EQ(registered[1], &queries::TheDialogueEventQuery());
    EXPECT_EQ(registered[2], &queries::TheArgumentPathsQuery());
    EXPECT_EQ(registered[3], &queries::TheDialogueResolvedQuery());

    // "Loaded" built the columns; "Pre_Close" drops them and the statistics.
    EXPECT_EQ(queries::TheArgumentPathsQuery().GetList().FilterCount(), 3u);
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    Resolve(Id(1), Id(20), {Id(11)});
    EXPECT_EQ(PathRows(), 1u);
    m_env.CloseProject();
    EXPECT_EQ(queries::TheArgumentPathsQuery().GetList().FilterCount(), 0u);
    EXPECT_EQ(PathRows(), 0u);
}

TEST_F(RegistryTest, SubscriptionFollowsEnableStatsThroughTheStateTable)
{
    // Unsubscribed, "LoggerStopped": nothing, and the preference is not even read.
    const auto reads = m_env.Preferences().ReadCount();
    m_env.StopLogger();
    EXPECT_EQ(m_env.Preferences().ReadCount(), reads);
    EXPECT_FALSE(Subscribed());

    // Unsubscribed, "LoggerStarted" with the option off: still unsubscribed.
    m_env.StartLogger();
    EXPECT_FALSE(Subscribed());

    // Checking the option subscribes at once, with the four values.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    EXPECT_TRUE(Subscribed());
    EXPECT_EQ(LoggerSubscribers(), 1u);

    // Subscribed and on: starts and stops keep the one subscription.
    m_env.StartLogger();
    m_env.StartLogger();
    m_env.StopLogger();
    EXPECT_TRUE(Subscribed());
    EXPECT_EQ(LoggerSubscribers(), 1u);

    // Unchecking unsubscribes.
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    EXPECT_FALSE(Subscribed());
    EXPECT_EQ(LoggerSubscribers(), 0u);

    // Subscribed while the stored value turned off unannounced: the next stop brings it in line.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    INotifyMgr* pSaved = INotifyMgr::m_pInstance;
    INotifyMgr::m_pInstance = nullptr;
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    INotifyMgr::m_pInstance = pSaved;
    EXPECT_TRUE(Subscribed());
    m_env.StopLogger();
    EXPECT_FALSE(Subscribed());
    // ... and so does the next start.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    INotifyMgr::m_pInstance = nullptr;
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    INotifyMgr::m_pInstance = pSaved;
    ASSERT_TRUE(Subscribed());
    m_env.StartLogger();
    EXPECT_FALSE(Subscribed());
    EXPECT_EQ(LoggerSubscribers(), 0u);

    // Terminating while subscribed unsubscribes.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    EXPECT_EQ(LoggerSubscribers(), 1u);
    m_pRegistry->Terminate();
    EXPECT_EQ(LoggerSubscribers(), 0u);
}

TEST_F(RegistryTest, PreferenceChangesMatchKeyAndNameExactly)
{
    // The value is on, but only announcements of exactly this key and name count.
    INotifyMgr* pSaved = INotifyMgr::m_pInstance;
    INotifyMgr::m_pInstance = nullptr;
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    INotifyMgr::m_pInstance = pSaved;
    RaisePreferenceChange(L"monitoringManager", L"EnableStats");
    RaisePreferenceChange(L"MonitoringManager", L"EnableStats ");
    RaisePreferenceChange(L"MonitoringManager", L"KeepStatsAcrossRuns");
    EXPECT_FALSE(Subscribed());
    RaisePreferenceChange(L"MonitoringManager", L"EnableStats");
    EXPECT_TRUE(Subscribed());
}

TEST_F(RegistryTest, OtherPreferencesLeaveTheSubscriptionAlone)
{
    m_env.Preferences().SetBool(L"monitoringmanager", L"EnableStats", true);
    m_env.Preferences().SetBool(L"MonitoringManager", L"enablestats", true);
    m_env.Preferences().SetBool(L"MonitoringManager", L"KeepStatsAcrossRuns", true);
    EXPECT_FALSE(Subscribed());
    // The stored value counts, however the change was announced.
    m_env.Preferences().SetBool(L"MonitoringManager", L"EnableStats", true);
    EXPECT_TRUE(Subscribed());
}

TEST_F(RegistryTest, LoggerStartClearsUnlessStatisticsAreKept)
{
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    Resolve(Id(1), Id(20), {Id(11)});
    ASSERT_EQ(PathRows(), 1u);

    SetPreference(registry::kPrefKeepStatsAcrossRuns.c_str(), true);
    m_env.StartLogger();
    EXPECT_EQ(PathRows(), 1u);
    Resolve(Id(1), Id(20), {Id(12)});
    EXPECT_EQ(PathRows(), 2u);

    SetPreference(registry::kPrefKeepStatsAcrossRuns.c_str(), false);
    m_env.StartLogger();
    EXPECT_EQ(PathRows(), 0u);

    // With the option off the start does not subscribe but still clears.
    Resolve(Id(1), Id(20), {Id(12)});
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    ASSERT_EQ(PathRows(), 1u);
    m_env.StartLogger();
    EXPECT_FALSE(Subscribed());
    EXPECT_EQ(PathRows(), 0u);
}

TEST_F(RegistryTest, EveryItemReachesEveryQueryInRegistrationOrder)
{
    std::vector<int> order;
    struct OrderOwner : IProfilerQueryOwner
    {
        OrderOwner(std::vector<int>* pOrder, int id) : m_pOrder(pOrder), m_nId(id) {}
        void OnQueryStateChanged() override { m_pOrder->push_back(m_nId); }
        std::vector<int>* m_pOrder;
        int m_nId;
    } owners[4] = {{&order, 0}, {&order, 1}, {&order, 2}, {&order, 3}};
    for (int i = 0; i < 4; ++i)
        m_pRegistry->GetQueries()[static_cast<std::size_t>(i)]->SetOwner(&owners[i]);

    // A resolution without event is rejected by each real query, which tells its owner.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    Resolve(GUID_NULL, Id(20));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    for (IProfilerQuery* pQuery : m_pRegistry->GetQueries())
        pQuery->ResetOwner();
}

TEST_F(RegistryTest, TheLoggerIsAskedForKinds1And34Only)
{
    RecordingMonitoringMgr recorder;
    m_env.RegisterService(ov::ServiceMonitoringMgr, &recorder);
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    SetPreference(registry::kPrefEnableStats.c_str(), false);
    m_env.RegisterService(ov::ServiceMonitoringMgr, &m_env.Monitoring());

    // The same four values to subscribe and to unsubscribe.
    ASSERT_EQ(recorder.m_calls.size(), 2u);
    for (const RecordingMonitoringMgr::Call& call : recorder.m_calls)
    {
        EXPECT_EQ(call.pSubscriber, static_cast<IMonitoringMgrLoggerSubscriber*>(m_pRegistry));
        EXPECT_EQ(call.kindMask, 0x400000002ull);
        EXPECT_EQ(call.reserved, 0);
        EXPECT_TRUE(call.flag);
    }
    EXPECT_TRUE(recorder.m_calls[0].bSubscribe);
    EXPECT_FALSE(recorder.m_calls[1].bSubscribe);

    // What the host's logger hands over under that mask.
    KindLog log;
    Logger().Subscribe(&log, recorder.m_calls[0].kindMask, 0, true);
    for (int kind = 0; kind < 64; ++kind)
        Logger().LogItem(static_cast<std::uint8_t>(kind));
    Logger().Unsubscribe(&log, recorder.m_calls[0].kindMask, 0, true);
    EXPECT_EQ(log.m_kinds, (std::vector<int>{1, 34}));
}

TEST_F(RegistryTest, TerminateLeavesNoHandlerBehind)
{
    const std::size_t before = m_env.Notifications().SubscriberCount();
    auto* pRegistry = new ProfilerQueryRegistry;
    pRegistry->Initialize();
    EXPECT_EQ(m_env.Notifications().SubscriberCount(), before + 3);
    for (const ROString& channel :
         {registry::kMonitoringMgrChannel, registry::kProjectChannel, registry::kUserPrefChannel})
        EXPECT_EQ(m_env.Notifications().SubscriberCount(channel), 2u);
    pRegistry->Terminate();
    EXPECT_EQ(m_env.Notifications().SubscriberCount(), before);
    pRegistry->Destroy();

    // Announcements after the registry is gone reach only the fixture's.
    SetPreference(registry::kPrefEnableStats.c_str(), true);
    m_env.StartLogger();
    m_env.CloseProject();
    EXPECT_TRUE(Subscribed());
}

TEST_F(RegistryTest, AMissingNotificationManagerIsLookedForBeforeEachSubscription)
{
    INotifyMgr* pSaved = INotifyMgr::m_pInstance;
    VanishingNotifyMgr vanishing;
    INotifyMgr::m_pInstance = &vanishing;
    auto* pRegistry = new ProfilerQueryRegistry;
    EXPECT_TRUE(pRegistry->Initialize());
    EXPECT_EQ(pRegistry->GetQueries().size(), 4u);
    // Gone after the first subscription: the other two are skipped.
    EXPECT_EQ(vanishing.m_subscribed, std::vector<ROString>{registry::kMonitoringMgrChannel});

    INotifyMgr::m_pInstance = &vanishing;
    EXPECT_TRUE(pRegistry->Terminate());
    EXPECT_EQ(vanishing.m_unsubscribed, std::vector<ROString>{registry::kMonitoringMgrChannel});
    pRegistry->Destroy();
    INotifyMgr::m_pInstance = pSaved;
}

} // namespace
