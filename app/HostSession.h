// One host session around the loaded plug-in: the host's services, the query registry (service 139),
// the open project, the view in its container window, and the controls of the statistics dialog as a
// user reaches them.
#pragma once

#include "app/PluginLibrary.h"
#include "app/formats/CaptureReader.h"
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

// Control ids of the statistics dialog and of its result windows.
namespace ctl
{
inline constexpr int kRun = 1001;
inline constexpr int kResultsGroup = 1002;
inline constexpr int kQueryCombo = 1004;
inline constexpr int kWarning = 1014;
inline constexpr int kCopyResults = 1015;
inline constexpr int kClear = 1018;
inline constexpr int kUpdateAutomatically = 1019;
inline constexpr int kKeepStatistics = 1020;
// The main list of every result window, and the value list of "Dialogue Events Distribution".
inline constexpr int kMainList = 9999;
inline constexpr int kValueList = 9998;
} // namespace ctl

// The real queries, in the order of the plug-in's registry.
inline constexpr std::wstring_view kQueryNames[] = {L"Dialogue Events Distribution", L"Paths Used",
                                                    L"Dialogue Events Added"};

class HostSession final : private IViewContainer
{
public:
    // Installs the host's services and initialises the plug-in's registry.
    explicit HostSession(std::unique_ptr<PluginLibrary> pPlugin);
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
    bool HasView() const { return m_pView != nullptr; }

    void StartLogger() { m_env->StartLogger(); }
    void StopLogger() { m_env->StopLogger(); }
    // Logs the capture item as the host's monitoring manager would.
    void Log(const CaptureItem& item);
    std::size_t LoggedItems() { return m_env->Logger().ItemCount(); }

    CWnd* Container() { return &m_container; }
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
    HWND GetContainerWindow() override { return m_container.GetSafeHwnd(); }
    int GetContainerId() override { return 1; }
    void SetViewOptions(int, int) override {}

    std::unique_ptr<PluginLibrary> m_pPlugin;
    std::optional<HostEnvironment> m_env;
    CViewFactory* m_pFactory = nullptr;
    IServiceBase* m_pRegistry = nullptr;
    IViewBase* m_pView = nullptr;
    CWnd m_container;
};

} // namespace app
