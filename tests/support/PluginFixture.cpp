#include "tests/support/PluginFixture.h"

#include "framework/RegistryConstants.h"

PluginFixture::PluginFixture()
{
    m_pRegistry = new ProfilerQueryRegistry;
    m_pRegistry->Initialize();
    m_env.RegisterService(ov::ServiceProfilerQueryRegistry, m_pRegistry);
}

PluginFixture::~PluginFixture()
{
    if (m_env.GetProject())
        m_env.CloseProject();
    m_pRegistry->Terminate();
    m_pRegistry->Destroy();
    // The queries are static: leave them as a fresh library would have them.
    for (IProfilerQuery* pQuery : {static_cast<IProfilerQuery*>(&queries::TheNoneQuery()),
                                   static_cast<IProfilerQuery*>(&queries::TheDialogueEventQuery()),
                                   static_cast<IProfilerQuery*>(&queries::TheArgumentPathsQuery()),
                                   static_cast<IProfilerQuery*>(&queries::TheDialogueResolvedQuery())})
    {
        pQuery->ResetOwner();
        pQuery->Term();
    }
}

void PluginFixture::OpenProject(std::unique_ptr<Project> pProject)
{
    m_env.OpenProject(std::move(pProject));
}

void PluginFixture::SetPreference(const wchar_t* name, bool bValue)
{
    m_env.Preferences().SetBool(registry::kPrefKey, name, bValue);
}

std::unique_ptr<Project> MakeGreetingProject()
{
    auto pProject = std::make_unique<Project>();
    DialogueEventObject* pGreeting = pProject->AddDialogueEvent(Id(1), L"Greeting");
    pGreeting->SetArguments({Id(10)});
    pGreeting->SetTargets({Id(20), Id(30)});
    pProject->AddArgument(Id(10), L"Mood")->SetValues({Id(11), Id(12)});
    pProject->AddObject(Id(11), L"Happy");
    pProject->AddObject(Id(12), L"Sad");
    pProject->AddObject(Id(20), L"Hello_01");
    pProject->AddObject(Id(21), L"Hello_01_Voice");
    pProject->AddObject(Id(22), L"Hello_01_Voice_Layer");
    pProject->SetParent(Id(21), Id(20));
    pProject->SetParent(Id(22), Id(21));
    pProject->AddObject(Id(30), L"Hello_02");
    DialogueEventObject* pBye = pProject->AddDialogueEvent(Id(2), L"Bye");
    pBye->SetTargets({Id(40)});
    pProject->AddObject(Id(40), L"Bye_01");
    return pProject;
}
