#include "host/services/Project.h"
#include "host/services/ProjectManager.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
#ifdef NDEBUG
constexpr bool kReleaseBuild = true;
#else
constexpr bool kReleaseBuild = false;
#endif

GUID Id(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    return g;
}

// A project installed as the open one of an installed project manager.
class ProjectTest : public ::testing::Test
{
protected:
    ProjectTest() : m_pPrevious(ProjectManager::m_pInstance)
    {
        ProjectManager::m_pInstance = &m_manager;
        m_manager.SetProject(&m_project);
    }
    ~ProjectTest() override { ProjectManager::m_pInstance = m_pPrevious; }

    ProjectManager m_manager;
    Project m_project;
    ProjectManager* m_pPrevious;
};
} // namespace

TEST_F(ProjectTest, LookupTakesAReferenceThatReleaseGivesBack)
{
    ProjectObject* const pSound = m_project.AddObject(Id(20), L"Hello_01");
    ASSERT_NE(pSound, nullptr);
    EXPECT_EQ(m_project.AddObject(Id(20), L"Again"), nullptr);
    EXPECT_EQ(m_project.AddDialogueEvent(Id(20), L"Again"), nullptr);
    EXPECT_EQ(m_project.ObjectCount(), 1u);

    IVObject* const pFound = priv::LookupVObject(Id(20));
    ASSERT_EQ(pFound, pSound->Object());
    EXPECT_EQ(pFound->GetID(), Id(20));
    EXPECT_EQ(pFound->GetName(), L"Hello_01");
    EXPECT_EQ(pSound->Core().references, 1);
    EXPECT_EQ(m_project.OutstandingReferences(), 1);

    IVObject* const pAgain = priv::LookupVObject(Id(20));
    EXPECT_EQ(m_project.OutstandingReferences(), 2);
    priv::ReleaseObject(pAgain);
    pFound->Release();
    EXPECT_EQ(m_project.OutstandingReferences(), 0);
    EXPECT_EQ(m_project.Find(Id(20)), pSound->Object()); // Find takes no reference
    EXPECT_EQ(m_project.OutstandingReferences(), 0);

    EXPECT_EQ(priv::LookupVObject(Id(99)), nullptr);
    EXPECT_EQ(priv::LookupVObject(GUID_NULL), nullptr);
    priv::ReleaseObject(nullptr);

    // Without an open project, or without a manager, nothing is found.
    m_manager.SetProject(nullptr);
    EXPECT_EQ(priv::LookupVObject(Id(20)), nullptr);
    m_manager.SetProject(&m_project);
    ProjectManager::m_pInstance = nullptr;
    EXPECT_EQ(priv::LookupVObject(Id(20)), nullptr);
    EXPECT_EQ(m_project.OutstandingReferences(), 0);
}

TEST_F(ProjectTest, ReleasingMoreThanWasTakenIsCaught)
{
    ProjectObject* const pObject = m_project.AddObject(Id(1), L"Once");
    pObject->Object()->AddRef();
    pObject->Object()->Release();
    EXPECT_DEBUG_DEATH(pObject->Object()->Release(), "released more often");
    if (kReleaseBuild)
    {
        EXPECT_EQ(m_project.OverReleases(), 1);
        EXPECT_EQ(pObject->Core().references, -1);
        EXPECT_EQ(m_project.OutstandingReferences(), -1);
    }
    else
        EXPECT_EQ(m_project.OverReleases(), 0);
}

TEST_F(ProjectTest, ArgumentsListTheirValuesAndEventsTheirArguments)
{
    ArgumentObject* const pMood = m_project.AddArgument(Id(10), L"Mood");
    pMood->SetValues({Id(11), Id(12), Id(99)});
    std::vector<GUID> values = {Id(5)};
    pMood->Object()->GetValueIDs(values);
    EXPECT_EQ(values, (std::vector<GUID>{Id(5), Id(11), Id(12), Id(99)}));

    std::vector<GUID> none;
    m_project.AddObject(Id(11), L"Happy")->Object()->GetValueIDs(none);
    EXPECT_TRUE(none.empty());

    DialogueEventObject* const pEvent = m_project.AddDialogueEvent(Id(1), L"Greeting");
    pEvent->SetArguments({Id(10), Id(77)});
    ASSERT_EQ(pEvent->Event()->GetArguments().size(), 2u);
    EXPECT_EQ(pEvent->Event()->GetArguments()[1].argumentID, Id(77));

    IVObject* const pFound = priv::LookupVObject(Id(1));
    auto* const pAsEvent = dynamic_cast<IVDialogueEvent*>(pFound);
    ASSERT_EQ(pAsEvent, pEvent->Event());
    EXPECT_EQ(pAsEvent->GetName(), L"Greeting");
    pAsEvent->Release();
    EXPECT_EQ(dynamic_cast<IVDialogueEvent*>(m_project.Find(Id(10))), nullptr);
    EXPECT_EQ(m_project.OutstandingReferences(), 0);
}

TEST_F(ProjectTest, TargetEntriesHandOutOwnedReferencesInTheManagersContextOnly)
{
    DialogueEventObject* const pEvent = m_project.AddDialogueEvent(Id(1), L"Greeting");
    m_project.AddObject(Id(20), L"Hello_01");
    pEvent->SetTargets({Id(20), std::nullopt, Id(404)});
    const auto& entries = pEvent->Event()->GetTargetEntries();
    ASSERT_EQ(entries.size(), 3u);

    IVObjectReference* pFirst = nullptr;
    IVObjectReference* pMissing = nullptr;
    EXPECT_TRUE(entries[0]->GetTargetReference(&pFirst, &m_manager.m_resolutionContext));
    EXPECT_TRUE(entries[2]->GetTargetReference(&pMissing, &m_manager.m_resolutionContext));
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pMissing, nullptr);
    EXPECT_EQ(pFirst->GetReferencedID(), Id(20));
    EXPECT_EQ(pMissing->GetReferencedID(), Id(404)); // the project lacks it; the entry still names it
    EXPECT_EQ(m_project.OutstandingReferences(), 2);
    pFirst->Release();
    pMissing->Release();
    EXPECT_EQ(m_project.OutstandingReferences(), 0);

    // An entry without target, or another context, gives null even over an earlier value.
    IVObjectReference* pSlot = pFirst;
    EXPECT_FALSE(entries[1]->GetTargetReference(&pSlot, &m_manager.m_resolutionContext));
    EXPECT_EQ(pSlot, nullptr);
    ResolutionContext other{&m_manager};
    pSlot = pFirst;
    EXPECT_FALSE(entries[0]->GetTargetReference(&pSlot, &other));
    EXPECT_EQ(pSlot, nullptr);
    EXPECT_FALSE(entries[0]->GetTargetReference(&pSlot, nullptr));
    EXPECT_EQ(pSlot, nullptr);
    EXPECT_EQ(m_manager.m_resolutionContext.pOwner, &m_manager);
    EXPECT_EQ(m_project.OutstandingReferences(), 0);

    pEvent->SetTargets({});
    EXPECT_TRUE(pEvent->Event()->GetTargetEntries().empty());
}

TEST_F(ProjectTest, ParentsFormATreeWithoutCycles)
{
    for (std::uint32_t n : {1, 2, 3, 4})
        m_project.AddObject(Id(n), L"o" + std::to_wstring(n));
    EXPECT_TRUE(m_project.SetParent(Id(2), Id(1)));
    EXPECT_TRUE(m_project.SetParent(Id(3), Id(2)));
    EXPECT_EQ(m_project.Find(Id(3))->GetParent(), m_project.Find(Id(2)));
    EXPECT_EQ(m_project.Find(Id(3))->GetParent()->GetParent(), m_project.Find(Id(1)));
    EXPECT_EQ(m_project.Find(Id(1))->GetParent(), nullptr);

    EXPECT_FALSE(m_project.SetParent(Id(1), Id(3))); // would close 1 -> 3 -> 2 -> 1
    EXPECT_FALSE(m_project.SetParent(Id(1), Id(1)));
    EXPECT_FALSE(m_project.SetParent(Id(4), Id(99)));
    EXPECT_FALSE(m_project.SetParent(Id(99), Id(4)));
    EXPECT_EQ(m_project.Find(Id(1))->GetParent(), nullptr);

    // Moving a subtree elsewhere is allowed.
    EXPECT_TRUE(m_project.SetParent(Id(2), Id(4)));
    EXPECT_EQ(m_project.Find(Id(3))->GetParent()->GetParent(), m_project.Find(Id(4)));
    EXPECT_EQ(m_project.OutstandingReferences(), 0);
}
