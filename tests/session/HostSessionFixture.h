// A whole host session around the loaded plug-in: services, a project, the registry, the view in a
// container window, and the controls of the statistics dialog.
#pragma once

#include "host/HostEnvironment.h"
#include "host/results/FilteredListControl.h"
#include "host/services/Project.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/Wnd.h"
#include "tests/session/LoadedPlugin.h"
#include "tests/support/TestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

class TestViewContainer : public IViewContainer
{
public:
    TestViewContainer()
    {
        m_frame.CreateEx(0, L"ViewFrame", L"Profiler Statistics", WS_VISIBLE, CRect(0, 0, 900, 700), nullptr,
                         0);
    }
    HWND GetContainerWindow() override { return m_frame.GetSafeHwnd(); }
    int GetContainerId() override { return 1; }
    void SetViewOptions(int option, int value) override
    {
        m_nOption = option;
        m_nValue = value;
    }

    CWnd m_frame;
    int m_nOption = 0;
    int m_nValue = 0;
};

class HostSessionFixture : public ::testing::Test
{
protected:
    HostSessionFixture();
    ~HostSessionFixture() override;

    // Opens the view's window in the container.
    void OpenView();
    // Destroys the container window, as the host does when the view closes.
    void CloseView();

    CWnd* Dialog() const { return CWnd::FromHandle(m_pView->GetViewWindow()); }
    CWnd* Control(int id) const { return Dialog()->GetDlgItem(id); }
    UIComboBox* Combo() const { return dynamic_cast<UIComboBox*>(Control(1004)); }
    // Chooses the query with that name in the selector, as a user does.
    void Choose(const std::wstring& name);
    void Click(int id) { ClickButton(Control(id)); }
    bool Enabled(int id) const { return Control(id)->IsWindowEnabled(); }
    // The dialog itself stays hidden until a host shows it: look at the control's own flag.
    bool WarningShown() const { return Control(1014)->HasVisibleStyle(); }
    // The result window's list control with that id.
    BaseFilteredListControl* ResultList(int id = 9999) const;
    // Copy Results, and what reached the clipboard.
    std::wstring CopyResults();

    void SetPreference(const wchar_t* name, bool bValue);

    std::optional<LoadedPlugin> m_plugin;
    std::optional<HostEnvironment> m_env;
    CViewFactory* m_pFactory = nullptr;
    IServiceBase* m_pRegistry = nullptr;
    IViewBase* m_pView = nullptr;
    std::unique_ptr<TestViewContainer> m_pContainer;
};

std::unique_ptr<Project> MakeSessionProject();
