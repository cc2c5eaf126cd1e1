#include "host/services/NotifyMgr.h"
#include "host/services/UserPreferences.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
// A handler that records what it receives and can be told to change subscriptions while it runs.
class Listener
{
public:
    Listener(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    NotifyHandler Handler() { return fastdelegate::MakeDelegate(this, &Listener::OnNotify); }
    NotifyHandler Other() { return fastdelegate::MakeDelegate(this, &Listener::OnOther); }

    void OnNotify(const Notification& n)
    {
        m_log.push_back(m_name + ":" + (n.GetEvent() ? n.GetEvent()->eventId.Text() : "-"));
        m_lastKey = n.GetEvent() ? n.GetEvent()->prefKey : L"";
        m_lastName = n.GetEvent() ? n.GetEvent()->prefName : L"";
        if (m_onNotify)
            m_onNotify();
    }
    void OnOther(const Notification&) { m_log.push_back(m_name + ":other"); }

    std::vector<std::string>& m_log;
    std::string m_name;
    std::function<void()> m_onNotify;
    std::wstring m_lastKey, m_lastName;
};

const ROString kChannel("TestChannel");
} // namespace

TEST(NotifyMgr, DeliversInSubscriptionOrderAndUnsubscribesEqualHandlers)
{
    NotifyMgr mgr;
    std::vector<std::string> log;
    Listener a(log, "a"), b(log, "b");
    mgr.Subscribe(kChannel, a.Handler());
    mgr.Subscribe(kChannel, b.Handler());
    mgr.Subscribe(kChannel, a.Other());
    mgr.Subscribe(ROString("Elsewhere"), b.Handler());

    NotifyEvent event;
    event.eventId = ROString("Loaded");
    mgr.Notify(kChannel, &event);
    mgr.Notify(ROString("TestChannel"), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:Loaded", "b:Loaded", "a:other", "a:-", "b:-", "a:other"}));
    EXPECT_EQ(mgr.SubscriberCount(kChannel), 3u);
    EXPECT_EQ(mgr.SubscriberCount(), 4u);

    // Same object, other member: a different handler. Same handler, other channel: kept.
    mgr.Unsubscribe(kChannel, a.Handler());
    mgr.Unsubscribe(kChannel, a.Handler());
    log.clear();
    mgr.Notify(kChannel, &event);
    EXPECT_EQ(log, (std::vector<std::string>{"b:Loaded", "a:other"}));
    EXPECT_EQ(mgr.SubscriberCount(ROString("Elsewhere")), 1u);
}

TEST(NotifyMgr, HandlersMayChangeSubscriptionsDuringDelivery)
{
    NotifyMgr mgr;
    std::vector<std::string> log;
    Listener first(log, "first"), second(log, "second"), third(log, "third"), late(log, "late");
    mgr.Subscribe(kChannel, first.Handler());
    mgr.Subscribe(kChannel, second.Handler());
    mgr.Subscribe(kChannel, third.Handler());

    // The first handler removes itself and the third, and adds a new one.
    first.m_onNotify = [&]
    {
        mgr.Unsubscribe(kChannel, first.Handler());
        mgr.Unsubscribe(kChannel, third.Handler());
        mgr.Subscribe(kChannel, late.Handler());
    };
    mgr.Notify(kChannel, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"first:-", "second:-"}));

    log.clear();
    mgr.Notify(kChannel, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second:-", "late:-"}));

    // Removed and subscribed again during delivery: it is a new subscription, not called this time.
    second.m_onNotify = [&]
    {
        mgr.Unsubscribe(kChannel, late.Handler());
        mgr.Subscribe(kChannel, late.Handler());
    };
    log.clear();
    mgr.Notify(kChannel, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second:-"}));

    // A handler may raise another notification.
    second.m_onNotify = [&]
    {
        second.m_onNotify = nullptr;
        mgr.Notify(kChannel, nullptr);
    };
    log.clear();
    mgr.Notify(kChannel, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"second:-", "second:-", "late:-", "late:-"}));
}

TEST(UserPreferences, StoresValuesAndRaisesTheChangeWithKeyAndName)
{
    NotifyMgr mgr;
    INotifyMgr* const pPrevious = INotifyMgr::m_pInstance;
    INotifyMgr::m_pInstance = &mgr;
    std::vector<std::string> log;
    Listener listener(log, "pref");
    mgr.Subscribe(ROString("UserPrefNotification"), listener.Handler());

    UserPreferences prefs;
    EXPECT_FALSE(prefs.GetBool(L"MonitoringManager", L"EnableStats", false));
    EXPECT_TRUE(prefs.GetBool(L"MonitoringManager", L"EnableStats", true));
    prefs.SetBool(L"MonitoringManager", L"EnableStats", true);
    EXPECT_EQ(log, std::vector<std::string>{"pref:UserPrefChanged"});
    EXPECT_EQ(listener.m_lastKey, L"MonitoringManager");
    EXPECT_EQ(listener.m_lastName, L"EnableStats");
    EXPECT_TRUE(prefs.GetBool(L"MonitoringManager", L"EnableStats", false));

    // Keys and names are exact: another case is another preference.
    EXPECT_FALSE(prefs.GetBool(L"monitoringmanager", L"EnableStats", false));
    EXPECT_FALSE(prefs.GetBool(L"MonitoringManager", L"KeepStatsAcrossRuns", false));
    EXPECT_EQ(prefs.ReadCount(), 5u);

    // The value is stored before the change is announced, so a handler reads the new one.
    bool bSeen = true;
    listener.m_onNotify = [&]
    {
        bSeen = prefs.GetBool(L"MonitoringManager", L"EnableStats", true);
    };
    prefs.SetBool(L"MonitoringManager", L"EnableStats", false);
    EXPECT_FALSE(bSeen);

    // Without a notification manager the value is still stored.
    INotifyMgr::m_pInstance = nullptr;
    prefs.SetBool(L"K", L"N", true);
    EXPECT_TRUE(prefs.GetBool(L"K", L"N", false));
    EXPECT_EQ(log.size(), 2u);
    INotifyMgr::m_pInstance = pPrevious;
}

TEST(UserPreferences, InstanceDefaultsToAProcessWideStore)
{
    IUserPreferences* const pDefault = IUserPreferences::Get();
    ASSERT_NE(pDefault, nullptr);
    UserPreferences mine;
    IUserPreferences::SetInstance(&mine);
    EXPECT_EQ(IUserPreferences::Get(), &mine);
    IUserPreferences::SetInstance(nullptr);
    EXPECT_EQ(IUserPreferences::Get(), pDefault);
}
