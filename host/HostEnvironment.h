// The host side in one object, for the application, tests and benchmarks: the host's services are
// created, installed where the plug-in looks for them, and the previous ones put back on destruction.
#pragma once

#include "host/services/MonitoringMgr.h"
#include "host/services/NotifyMgr.h"
#include "host/services/Project.h"
#include "host/services/ProjectManager.h"
#include "host/services/ServiceProvider.h"
#include "host/services/UserPreferences.h"
#include "host/ui/HostServices.h"

#include <cstdint>
#include <memory>

class HostEnvironment
{
public:
    HostEnvironment();
    // Drops an open project without raising "Pre_Close": call CloseProject first to announce it.
    ~HostEnvironment();
    HostEnvironment(const HostEnvironment&) = delete;
    HostEnvironment& operator=(const HostEnvironment&) = delete;

    ServiceProvider& Services() { return m_services; }
    NotifyMgr& Notifications() { return m_notify; }
    UserPreferences& Preferences() { return m_preferences; }
    MonitoringMgr& Monitoring() { return m_monitoring; }
    MonitoringLogger& Logger() { return m_monitoring.Logger(); }
    ClipboardService& Clipboard() { return m_clipboard; }
    ProjectManager& Projects() { return m_projects; }

    // The provider does not own the service.
    void RegisterService(std::uint32_t id, IServiceBase* pService) { m_services.Register(id, pService); }

    // Makes the project the open one and raises "Loaded" on "Project"; an open project is closed first.
    void OpenProject(std::unique_ptr<Project> pProject);
    // Raises "Pre_Close" on "Project", then drops the project. Nothing happens while none is open.
    void CloseProject();
    Project* GetProject() const { return m_pProject.get(); }

    void StartLogger() { m_monitoring.StartLogger(); }
    void StopLogger() { m_monitoring.StopLogger(); }

private:
    void RaiseProjectEvent(const char* eventId);

    ServiceProvider m_services;
    NotifyMgr m_notify;
    UserPreferences m_preferences;
    MonitoringMgr m_monitoring;
    ClipboardService m_clipboard;
    ProjectManager m_projects;
    std::unique_ptr<Project> m_pProject;

    ov::IServiceProvider* m_pPreviousServices;
    INotifyMgr* m_pPreviousNotify;
    IUserPreferences* m_pPreviousPreferences;
    ProjectManager* m_pPreviousProjects;
};
