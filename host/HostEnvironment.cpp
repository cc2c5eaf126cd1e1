#include "host/HostEnvironment.h"

HostEnvironment::HostEnvironment()
    : m_pPreviousServices(ov::g_serviceProviderInstance), m_pPreviousNotify(INotifyMgr::m_pInstance),
      m_pPreviousPreferences(IUserPreferences::Get()), m_pPreviousProjects(ProjectManager::m_pInstance)
{
    m_services.Register(ov::ServiceMonitoringMgr, &m_monitoring);
    m_services.Register(ov::ServiceClipboard, &m_clipboard);
    ov::g_serviceProviderInstance = &m_services;
    INotifyMgr::m_pInstance = &m_notify;
    IUserPreferences::SetInstance(&m_preferences);
    ProjectManager::m_pInstance = &m_projects;
}

HostEnvironment::~HostEnvironment()
{
    m_projects.SetProject(nullptr);
    ov::g_serviceProviderInstance = m_pPreviousServices;
    INotifyMgr::m_pInstance = m_pPreviousNotify;
    IUserPreferences::SetInstance(m_pPreviousPreferences);
    ProjectManager::m_pInstance = m_pPreviousProjects;
}

void HostEnvironment::OpenProject(std::unique_ptr<Project> pProject)
{
    CloseProject();
    m_pProject = std::move(pProject);
    m_projects.SetProject(m_pProject.get());
    if (m_pProject)
        RaiseProjectEvent("Loaded");
}

void HostEnvironment::CloseProject()
{
    if (!m_pProject)
        return;
    RaiseProjectEvent("Pre_Close");
    m_projects.SetProject(nullptr);
    m_pProject.reset();
}

void HostEnvironment::RaiseProjectEvent(const char* eventId)
{
    // Raised through the installed manager, as the host does, which is ours unless someone replaced it.
    INotifyMgr* const pNotify = INotifyMgr::m_pInstance;
    if (pNotify == nullptr)
        return;
    static const ROString channel("Project");
    NotifyEvent event;
    event.eventId = ROString(eventId);
    pNotify->Notify(channel, &event);
}
