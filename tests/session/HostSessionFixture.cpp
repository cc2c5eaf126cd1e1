#include "tests/session/HostSessionFixture.h"

HostSessionFixture::HostSessionFixture()
{
    m_session.emplace(LoadBuiltPlugin());
    m_plugin = &m_session->Plugin();
    m_env = &m_session->Environment();
    m_pFactory = m_session->Factory();
    m_pRegistry = m_session->Registry();
    m_session->OpenProject(MakeSessionProject());
}

void HostSessionFixture::OpenView()
{
    m_session->OpenView(900, 700);
    m_pView = m_session->View();
}

void HostSessionFixture::CloseView()
{
    m_session->CloseView();
    m_pView = nullptr;
}

void HostSessionFixture::Choose(const std::wstring& name)
{
    if (!m_session->ChooseQuery(name))
        ADD_FAILURE() << "no query of that name";
}

std::wstring HostSessionFixture::CopyResults()
{
    const std::wstring* pCopied = m_session->CopyResults();
    return pCopied ? *pCopied : L"(nothing copied)";
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
