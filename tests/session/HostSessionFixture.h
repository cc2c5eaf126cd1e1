// A whole host session around the loaded plug-in, as the application plays it: services, a project,
// the registry, the view in a container window, and the controls of the statistics dialog.
#pragma once

#include "app/session/HostSession.h"
#include "host/HostEnvironment.h"
#include "host/results/FilteredListControl.h"
#include "host/services/Project.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/Wnd.h"
#include "tests/support/BuiltPlugin.h"
#include "tests/support/TestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

class HostSessionFixture : public ::testing::Test
{
protected:
    // The plug-in loaded, its registry initialised and the session's project open.
    HostSessionFixture();

    // Opens the view's window in a container of 900x700 pixels.
    void OpenView();
    // Destroys the container window, as the host does when the view closes, and the view with it.
    void CloseView();

    CWnd* Dialog() const { return m_session->Dialog(); }
    CWnd* Control(int id) const { return m_session->Control(id); }
    UIComboBox* Combo() const { return m_session->Combo(); }
    // Chooses the query with that name in the selector, as a user does.
    void Choose(const std::wstring& name);
    void Click(int id) { m_session->Click(id); }
    bool Enabled(int id) const { return Control(id)->IsWindowEnabled(); }
    bool WarningShown() const { return m_session->WarningShown(); }
    // The result window's list control with that id.
    BaseFilteredListControl* ResultList(int id = app::ctl::kMainList) const
    {
        return m_session->ResultList(id);
    }
    // Copy Results, and what reached the clipboard.
    std::wstring CopyResults();

    void SetPreference(const wchar_t* name, bool bValue) { m_session->SetPreference(name, bValue); }

    std::optional<app::HostSession> m_session;
    // The session's parts, as a host holds them.
    app::PluginLibrary* m_plugin = nullptr;
    HostEnvironment* m_env = nullptr;
    CViewFactory* m_pFactory = nullptr;
    IServiceBase* m_pRegistry = nullptr;
    // The open view, or null.
    IViewBase* m_pView = nullptr;
};

// The project of the session tests: event "Greeting" (Id 1) with argument "Mood" (Id 10: "Happy" Id 11,
// "Sad" Id 12) and targets "Hello_01" (Id 20, with child Id 21), "Hello_02" (Id 30) and an entry
// without a target.
std::unique_ptr<Project> MakeSessionProject();
