// The plug-in's service (139): holds the queries, follows the project, logger and preference
// notifications, keeps the logger subscription in line with "EnableStats" and feeds every query.
#pragma once

#include "framework/IProfilerQuery.h"
#include "host/services/MonitoringMgr.h"
#include "host/services/NotifyMgr.h"
#include "host/services/ServiceProvider.h"

#include <cstdint>
#include <vector>

class ProfilerQueryRegistry final : public IServiceBase, public IMonitoringMgrLoggerSubscriber
{
public:
    // Kinds 1 and 34 only.
    static constexpr std::uint64_t kItemKindMask = 0x400000002ull;

    ProfilerQueryRegistry() = default;

    bool Initialize() override;
    bool Terminate() override;
    void Destroy() override;

    void OnItemLogged(const MonitoringItem* pItem) override;

    // The registered queries in registration order; not owned.
    const std::vector<IProfilerQuery*>& GetQueries() const { return m_queries; }
    bool IsSubscribedToLogger() const { return m_pGameCursor != nullptr; }

private:
    ~ProfilerQueryRegistry() = default;

    void OnMonitoringMgrNotification(const Notification& notification);
    void OnProjectNotification(const Notification& notification);
    void OnUserPrefNotification(const Notification& notification);

    void UpdateLoggerSubscription();
    static IMonitoringMgrLogger* GetLogger();
    static bool ReadPreference(const wchar_t* name);

    NotifyHandler MonitoringMgrHandler()
    {
        return {this, &ProfilerQueryRegistry::OnMonitoringMgrNotification};
    }
    NotifyHandler ProjectHandler() { return {this, &ProfilerQueryRegistry::OnProjectNotification}; }
    NotifyHandler UserPrefHandler() { return {this, &ProfilerQueryRegistry::OnUserPrefNotification}; }

    std::vector<IProfilerQuery*> m_queries;
    IMonitoringMgrCursor* m_pGameCursor = nullptr;
};
