// The host side for tests of the plug-in's code linked into the test: host services installed, a
// registry initialised as the host does, and the static queries left clean after each test.
#pragma once

#include "framework/IProfilerQueryOwner.h"
#include "framework/ProfilerQueryRegistry.h"
#include "host/HostEnvironment.h"
#include "host/services/Project.h"
#include "queries/Queries.h"
#include "tests/support/TestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

// Records every state change a query reports.
class RecordingOwner : public IProfilerQueryOwner
{
public:
    void OnQueryStateChanged() override { ++m_nCalls; }
    int m_nCalls = 0;
};

class PluginFixture : public ::testing::Test
{
protected:
    PluginFixture();
    ~PluginFixture() override;

    // Opens the project in the host and announces it ("Loaded").
    void OpenProject(std::unique_ptr<Project> pProject);
    Project& GetProject() { return *m_env.GetProject(); }
    void SetPreference(const wchar_t* name, bool bValue);

    MonitoringLogger& Logger() { return m_env.Monitoring().Logger(); }
    void Resolve(const GUID& event, const GUID& target, std::vector<GUID> values = {},
                 bool bResolveOnly = false)
    {
        Logger().LogDialogueResolved(event, target, values, bResolveOnly);
    }
    void Notify(const GUID& object, std::uint32_t reason) { Logger().LogObjectNotification(object, reason); }

    // Hands one item straight to a query, as a replay does.
    static void Feed(IProfilerQuery& query, const OwnedMonitoringItem& item)
    {
        query.OnMonitoringItem(item.get());
    }

    HostEnvironment m_env;
    ProfilerQueryRegistry* m_pRegistry = nullptr;
};

// A project with one event "Greeting" (Id 1) whose argument "Mood" (Id 10) lists "Happy" (Id 11) and
// "Sad" (Id 12); targets "Hello_01" (Id 20) with a child "Hello_01_Voice" (Id 21) and grandchild
// (Id 22), and "Hello_02" (Id 30). Event "Bye" (Id 2) has no arguments and targets Id 40.
std::unique_ptr<Project> MakeGreetingProject();
