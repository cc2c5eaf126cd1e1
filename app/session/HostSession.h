// One host session around the loaded plug-in: the host's services, the query registry (service 139),
// the open project, the view in its container window, and the controls of the statistics dialog as a
// user reaches them. The application, the tests, the fuzzers and the benchmarks all play the host's
// side through it.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/session/ControlIds.h"
#include "app/session/PluginLibrary.h"
#include "host/HostEnvironment.h"
#include "host/results/FilteredListControl.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/Wnd.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app
{

class HostSession final : private IViewContainer
{
public:
    // Installs the host's services and initialises the plug-in's registry. Sessions may share one
    // loaded library, as successive sessions of a host that keeps it loaded do; it is unloaded with
    // the last of them.
    explicit HostSession(std::shared_ptr<PluginLibrary> pPlugin);
    // Closes the session as the host does when it shuts down (see Close).
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Makes the project the open one: the plug-in hears "Loaded".
    void OpenProject(std::unique_ptr<Project> pProject);
    void SetPreference(const wchar_t* name, bool bValue);
    bool GetPreference(const wchar_t* name);

    // Creates the view in a container window of that size in pixels; the dialog fills it.
    void OpenView(int widthPx, int heightPx);
    void ResizeView(int widthPx, int heightPx);
    // Destroys the container window (the dialog goes with it) and deletes the view, as the host does
    // when the user closes it; OpenView may open another.
    void CloseView();
    bool HasView() const { return m_pView != nullptr; }

    void StartLogger() { m_env->StartLogger(); }
    void StopLogger() { m_env->StopLogger(); }
    // Logs the capture item as the host's monitoring manager would.
    void Log(const CaptureItem& item);
    std::size_t LoggedItems() { return m_env->Logger().ItemCount(); }

    PluginLibrary& Plugin() { return *m_pPlugin; }
    CViewFactory* Factory() const { return m_pFactory; }
    IServiceBase* Registry() const { return m_pRegistry; }
    IViewBase* View() const { return m_pView; }
    CWnd* Container() { return m_pContainer.get(); }
    // The last option the view set on its container, and its value; zero before any.
    struct ViewOption
    {
        int option = 0;
        int value = 0;
    };
    ViewOption LastViewOption() const { return m_lastViewOption; }
    CWnd* Dialog() const;
    CWnd* Control(int id) const;
    UIComboBox* Combo() const;

    // Chooses the query with that name in the selector as a user does; false when there is none.
    bool ChooseQuery(std::wstring_view name);
    std::wstring SelectedQuery() const;
    // Clicks the control as a user does; false when it is missing or disabled.
    bool Click(int id);
    // The list control with that id inside the current result window, or null.
    BaseFilteredListControl* ResultList(int id) const;
    // Every list control of the current result window, main list first.
    std::vector<BaseFilteredListControl*> ResultLists() const;
    // Copy Results and what reached the clipboard, valid until the next copy; null when nothing was
    // copied. The text is read where it lies: a large result is tens of megabytes.
    const std::wstring* CopyResults();
    bool WarningShown() const;
    std::wstring WarningText() const;

    HostEnvironment& Environment() { return *m_env; }

    // Container window destroyed (the dialog goes with it), "Pre_Close", the registry's Terminate and
    // Destroy, view and factory deleted, the library unloaded. Runs once.
    void Close();

private:
    HWND GetContainerWindow() override { return m_pContainer ? m_pContainer->GetSafeHwnd() : nullptr; }
    int GetContainerId() override { return 1; }
    void SetViewOptions(int option, int value) override { m_lastViewOption = {option, value}; }

    std::shared_ptr<PluginLibrary> m_pPlugin;
    std::optional<HostEnvironment> m_env;
    CViewFactory* m_pFactory = nullptr;
    IServiceBase* m_pRegistry = nullptr;
    IViewBase* m_pView = nullptr;
    std::unique_ptr<CWnd> m_pContainer;
    ViewOption m_lastViewOption;
};

} // namespace app
