#include "tests/session/HostSessionFixture.h"

#include "host/ui/HostServices.h"

HostSessionFixture::HostSessionFixture()
{
    m_env.emplace();
    m_plugin.emplace();
    m_pFactory = m_plugin->GetViewFactory(0);
    m_pRegistry = m_plugin->CreateProfilingQueryRegistry();
    m_pRegistry->Initialize();
    m_env->RegisterService(ov::ServiceProfilerQueryRegistry, m_pRegistry);
    m_env->OpenProject(MakeSessionProject());
}

HostSessionFixture::~HostSessionFixture()
{
    CloseView();
    delete m_pView;
    if (m_env->GetProject())
        m_env->CloseProject();
    m_pRegistry->Terminate();
    m_pRegistry->Destroy();
    delete m_pFactory;
    m_env.reset();
    m_plugin.reset();
}

void HostSessionFixture::OpenView()
{
    m_pContainer = std::make_unique<TestViewContainer>();
    m_pView = m_pFactory->CreateView();
    m_pView->CreateViewWindow(m_pContainer.get());
}

void HostSessionFixture::CloseView()
{
    if (m_pContainer)
        m_pContainer->m_frame.DestroyWindow();
    m_pContainer.reset();
}

void HostSessionFixture::Choose(const std::wstring& name)
{
    UIComboBox* pCombo = Combo();
    for (int index = 0; index < pCombo->GetCount(); ++index)
    {
        if (pCombo->GetLBText(index) == name)
        {
            pCombo->SelectByUser(index);
            return;
        }
    }
    ADD_FAILURE() << "no query of that name";
}

BaseFilteredListControl* HostSessionFixture::ResultList(int id) const
{
    for (CWnd* pChild : Dialog()->GetChildren())
    {
        if (CWnd* pList = pChild->GetDlgItem(id))
            return dynamic_cast<BaseFilteredListControl*>(pList);
    }
    return nullptr;
}

std::wstring HostSessionFixture::CopyResults()
{
    const int before = m_env->Clipboard().SetCount();
    Click(1015);
    if (m_env->Clipboard().SetCount() == before)
        return L"(nothing copied)";
    return m_env->Clipboard().Text();
}

void HostSessionFixture::SetPreference(const wchar_t* name, bool bValue)
{
    m_env->Preferences().SetBool(L"MonitoringManager", name, bValue);
}

std::unique_ptr<Project> MakeSessionProject()
{
    auto pProject = std::make_unique<Project>();
    DialogueEventObject* pGreeting = pProject->AddDialogueEvent(Id(1), L"Greeting");
    pGreeting->SetArguments({Id(10)});
    pGreeting->SetTargets({Id(20), Id(30), std::nullopt});
    pProject->AddArgument(Id(10), L"Mood")->SetValues({Id(11), Id(12)});
    pProject->AddObject(Id(11), L"Happy");
    pProject->AddObject(Id(12), L"Sad");
    pProject->AddObject(Id(20), L"Hello_01");
    pProject->AddObject(Id(21), L"Hello_01_Voice");
    pProject->SetParent(Id(21), Id(20));
    pProject->AddObject(Id(30), L"Hello_02");
    return pProject;
}
