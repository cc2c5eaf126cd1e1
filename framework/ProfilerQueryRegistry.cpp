#include "framework/ProfilerQueryRegistry.h"

#include "framework/RegistryConstants.h"
#include "host/services/UserPreferences.h"
#include "queries/Queries.h"

bool ProfilerQueryRegistry::Initialize()
{
    // The instance is read again before each subscription: a host may have none.
    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Subscribe(registry::kMonitoringMgrChannel, MonitoringMgrHandler());
    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Subscribe(registry::kProjectChannel, ProjectHandler());
    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Subscribe(registry::kUserPrefChannel, UserPrefHandler());

    m_queries.push_back(&queries::TheNoneQuery());
    m_queries.push_back(&queries::TheDialogueEventQuery());
    m_queries.push_back(&queries::TheArgumentPathsQuery());
    m_queries.push_back(&queries::TheDialogueResolvedQuery());

    m_pGameCursor = nullptr;
    return true;
}

bool ProfilerQueryRegistry::Terminate()
{
    for (IProfilerQuery* pQuery : m_queries)
        pQuery->Term();

    // The cursor keeps its value: the registry is destroyed next.
    if (m_pGameCursor)
    {
        if (IMonitoringMgrLogger* pLogger = GetLogger())
            pLogger->Unsubscribe(this, kItemKindMask, 0, true);
    }

    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Unsubscribe(registry::kMonitoringMgrChannel, MonitoringMgrHandler());
    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Unsubscribe(registry::kProjectChannel, ProjectHandler());
    if (INotifyMgr::m_pInstance)
        INotifyMgr::m_pInstance->Unsubscribe(registry::kUserPrefChannel, UserPrefHandler());
    return true;
}

void ProfilerQueryRegistry::Destroy()
{
    m_queries.clear();
    m_queries.shrink_to_fit();
    delete this;
}

void ProfilerQueryRegistry::OnItemLogged(const MonitoringItem* pItem)
{
    for (IProfilerQuery* pQuery : m_queries)
        pQuery->OnMonitoringItem(pItem);
}

void ProfilerQueryRegistry::OnMonitoringMgrNotification(const Notification& notification)
{
    const NotifyEvent* pEvent = notification.GetEvent();
    if (pEvent == nullptr)
        return;
    if (pEvent->eventId == registry::kLoggerStarted)
    {
        UpdateLoggerSubscription();
        if (!ReadPreference(registry::kPrefKeepStatsAcrossRuns))
        {
            for (IProfilerQuery* pQuery : m_queries)
                pQuery->Clear();
        }
    }
    else if (pEvent->eventId == registry::kLoggerStopped && m_pGameCursor != nullptr)
    {
        UpdateLoggerSubscription();
    }
}

void ProfilerQueryRegistry::OnProjectNotification(const Notification& notification)
{
    const NotifyEvent* pEvent = notification.GetEvent();
    if (pEvent == nullptr)
        return;
    if (pEvent->eventId == registry::kProjectLoaded)
    {
        for (IProfilerQuery* pQuery : m_queries)
            pQuery->Init();
    }
    else if (pEvent->eventId == registry::kProjectPreClose)
    {
        for (IProfilerQuery* pQuery : m_queries)
            pQuery->Term();
    }
}

void ProfilerQueryRegistry::OnUserPrefNotification(const Notification& notification)
{
    const NotifyEvent* pEvent = notification.GetEvent();
    if (pEvent == nullptr || !(pEvent->eventId == registry::kUserPrefChanged))
        return;
    // Exact comparisons: same length, same code units, case-sensitive.
    if (pEvent->prefKey == registry::kPrefKey && pEvent->prefName == registry::kPrefEnableStats)
        UpdateLoggerSubscription();
}

void ProfilerQueryRegistry::UpdateLoggerSubscription()
{
    if (ReadPreference(registry::kPrefEnableStats) && m_pGameCursor == nullptr)
    {
        m_pGameCursor = GameProfilerCursors::GetGameCursor();
        if (IMonitoringMgrLogger* pLogger = GetLogger())
            pLogger->Subscribe(this, kItemKindMask, 0, true);
        return;
    }
    if (!ReadPreference(registry::kPrefEnableStats) && m_pGameCursor != nullptr)
    {
        if (IMonitoringMgrLogger* pLogger = GetLogger())
            pLogger->Unsubscribe(this, kItemKindMask, 0, true);
        m_pGameCursor = nullptr;
    }
}

IMonitoringMgrLogger* ProfilerQueryRegistry::GetLogger()
{
    if (ov::g_serviceProviderInstance == nullptr)
        return nullptr;
    auto* pMgr =
        static_cast<IMonitoringMgr*>(ov::g_serviceProviderInstance->GetService(ov::ServiceMonitoringMgr));
    return pMgr ? pMgr->GetLogger() : nullptr;
}

bool ProfilerQueryRegistry::ReadPreference(const wchar_t* name)
{
    IUserPreferences* pPreferences = IUserPreferences::Get();
    return pPreferences && pPreferences->GetBool(registry::kPrefKey, name, false);
}
