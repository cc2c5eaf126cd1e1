#include "host/HostEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class ChannelLog
{
public:
    explicit ChannelLog(NotifyMgr& mgr)
    {
        for (const char* channel : {"Project", "MonitoringMgrNotification", "UserPrefNotification"})
            mgr.Subscribe(ROString(channel), fastdelegate::MakeDelegate(this, &ChannelLog::OnNotify));
    }

    void OnNotify(const Notification& n)
    {
        m_events.push_back(n.GetChannel().Text() + "/" + n.GetEvent()->eventId.Text());
        m_projectSeen.push_back(ProjectManager::m_pInstance->GetProject() != nullptr);
    }

    std::vector<std::string> m_events;
    std::vector<bool> m_projectSeen;
};
} // namespace

TEST(HostEnvironment, InstallsTheHostAndRestoresWhatWasBefore)
{
    ov::IServiceProvider* const pServicesBefore = ov::g_serviceProviderInstance;
    INotifyMgr* const pNotifyBefore = INotifyMgr::m_pInstance;
    IUserPreferences* const pPrefsBefore = IUserPreferences::Get();
    ProjectManager* const pProjectsBefore = ProjectManager::m_pInstance;
    {
        HostEnvironment outer;
        EXPECT_EQ(ov::g_serviceProviderInstance, &outer.Services());
        EXPECT_EQ(INotifyMgr::m_pInstance, &outer.Notifications());
        EXPECT_EQ(IUserPreferences::Get(), &outer.Preferences());
        EXPECT_EQ(ProjectManager::m_pInstance, &outer.Projects());
        EXPECT_EQ(ov::g_serviceProviderInstance->GetService(ov::ServiceMonitoringMgr), &outer.Monitoring());
        EXPECT_EQ(ov::g_serviceProviderInstance->GetService(ov::ServiceClipboard), &outer.Clipboard());
        EXPECT_EQ(&outer.Logger(), &outer.Monitoring().Logger());

        {
            HostEnvironment inner;
            EXPECT_EQ(INotifyMgr::m_pInstance, &inner.Notifications());
        }
        EXPECT_EQ(ov::g_serviceProviderInstance, &outer.Services());
        EXPECT_EQ(INotifyMgr::m_pInstance, &outer.Notifications());
        EXPECT_EQ(IUserPreferences::Get(), &outer.Preferences());
        EXPECT_EQ(ProjectManager::m_pInstance, &outer.Projects());
    }
    EXPECT_EQ(ov::g_serviceProviderInstance, pServicesBefore);
    EXPECT_EQ(INotifyMgr::m_pInstance, pNotifyBefore);
    EXPECT_EQ(IUserPreferences::Get(), pPrefsBefore);
    EXPECT_EQ(ProjectManager::m_pInstance, pProjectsBefore);
}

TEST(HostEnvironment, AnnouncesProjectsLoggerRunsAndPreferences)
{
    HostEnvironment env;
    ChannelLog log(env.Notifications());

    auto pProject = std::make_unique<Project>();
    pProject->AddObject(GUID{1, 0, 0, {}}, L"Hello_01");
    Project* const pRaw = pProject.get();
    env.OpenProject(std::move(pProject));
    EXPECT_EQ(env.GetProject(), pRaw);
    EXPECT_EQ(env.Projects().GetProject(), pRaw);
    IVObject* const pObject = priv::LookupVObject(GUID{1, 0, 0, {}});
    ASSERT_NE(pObject, nullptr);
    pObject->Release();

    env.StartLogger();
    env.Logger().LogItem(3);
    env.StopLogger();
    IUserPreferences::Get()->SetBool(L"MonitoringManager", L"EnableStats", true);

    // Opening another project closes the first; closing twice announces once.
    env.OpenProject(std::make_unique<Project>());
    env.CloseProject();
    env.CloseProject();
    EXPECT_EQ(env.GetProject(), nullptr);
    EXPECT_EQ(priv::LookupVObject(GUID{1, 0, 0, {}}), nullptr);

    EXPECT_EQ(log.m_events,
              (std::vector<std::string>{"Project/Loaded", "MonitoringMgrNotification/LoggerStarted",
                                        "MonitoringMgrNotification/LoggerStopped",
                                        "UserPrefNotification/UserPrefChanged", "Project/Pre_Close",
                                        "Project/Loaded", "Project/Pre_Close"}));
    // The project is in place when "Loaded" is heard and still there at "Pre_Close".
    EXPECT_EQ(log.m_projectSeen, (std::vector<bool>{true, true, true, true, true, true, true}));

    struct Service : IServiceBase
    {
        bool Initialize() override { return true; }
        bool Terminate() override { return true; }
        void Destroy() override {}
    } registry;
    env.RegisterService(ov::ServiceProfilerQueryRegistry, &registry);
    EXPECT_EQ(ov::g_serviceProviderInstance->GetService(ov::ServiceProfilerQueryRegistry), &registry);
}
