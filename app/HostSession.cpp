#include "app/HostSession.h"

#include "host/services/Project.h"
#include "host/ui/HostServices.h"

#include <type_traits>
#include <variant>

namespace app
{

namespace
{
constexpr const wchar_t* kPreferenceKey = L"MonitoringManager";
} // namespace

HostSession::HostSession(std::unique_ptr<PluginLibrary> pPlugin) : m_pPlugin(std::move(pPlugin))
{
    m_env.emplace();
    m_pFactory = m_pPlugin->GetViewFactory(0);
    m_pRegistry = m_pPlugin->CreateProfilingQueryRegistry();
    if (m_pRegistry)
    {
        m_pRegistry->Initialize();
        m_env->RegisterService(ov::ServiceProfilerQueryRegistry, m_pRegistry);
    }
}

HostSession::~HostSession()
{
    Close();
}

void HostSession::Close()
{
    if (!m_pPlugin)
        return;
    if (m_container.GetSafeHwnd())
        m_container.DestroyWindow();
    m_env->CloseProject();
    if (m_pRegistry)
    {
        m_pRegistry->Terminate();
        m_pRegistry->Destroy();
        m_pRegistry = nullptr;
    }
    delete m_pView;
    m_pView = nullptr;
    delete m_pFactory;
    m_pFactory = nullptr;
    m_env.reset();
    m_pPlugin.reset();
}

void HostSession::OpenProject(std::unique_ptr<Project> pProject)
{
    m_env->OpenProject(std::move(pProject));
}

void HostSession::SetPreference(const wchar_t* name, bool bValue)
{
    m_env->Preferences().SetBool(kPreferenceKey, name, bValue);
}

bool HostSession::GetPreference(const wchar_t* name)
{
    return m_env->Preferences().GetBool(kPreferenceKey, name, false);
}

void HostSession::OpenView(int widthPx, int heightPx)
{
    if (m_pView || !m_pFactory)
        return;
    m_container.CreateEx(0, L"ViewFrame", m_pFactory->GetTitle(), WS_VISIBLE, CRect(0, 0, widthPx, heightPx),
                         nullptr, 0);
    m_pView = m_pFactory->CreateView();
    m_pView->CreateViewWindow(this);
    // The host shows the view's window once it is placed in its frame.
    if (CWnd* pDialog = Dialog())
        pDialog->ShowWindow(SW_SHOW);
    ResizeView(widthPx, heightPx);
}

void HostSession::ResizeView(int widthPx, int heightPx)
{
    m_container.SetWindowPos(nullptr, 0, 0, widthPx, heightPx, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (CWnd* pDialog = Dialog())
        pDialog->SetWindowPos(nullptr, 0, 0, widthPx, heightPx, SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostSession::Log(const CaptureItem& item)
{
    MonitoringLogger& logger = m_env->Logger();
    std::visit(
        [&logger](const auto& entry)
        {
            using Entry = std::decay_t<decltype(entry)>;
            if constexpr (std::is_same_v<Entry, DialogueResolved>)
                logger.LogDialogueResolved(entry.event, entry.target, entry.values, entry.resolveOnly);
            else if constexpr (std::is_same_v<Entry, ObjectNotification>)
                logger.LogObjectNotification(entry.object, entry.reason);
            else
                logger.LogItem(entry.kind);
        },
        item);
}

CWnd* HostSession::Dialog() const
{
    return m_pView ? CWnd::FromHandle(m_pView->GetViewWindow()) : nullptr;
}

CWnd* HostSession::Control(int id) const
{
    CWnd* pDialog = Dialog();
    return pDialog ? pDialog->GetDlgItem(id) : nullptr;
}

UIComboBox* HostSession::Combo() const
{
    return dynamic_cast<UIComboBox*>(Control(ctl::kQueryCombo));
}

bool HostSession::ChooseQuery(std::wstring_view name)
{
    UIComboBox* pCombo = Combo();
    if (pCombo == nullptr)
        return false;
    for (int index = 0; index < pCombo->GetCount(); ++index)
    {
        if (pCombo->GetLBText(index) == name)
        {
            pCombo->SelectByUser(index);
            return true;
        }
    }
    return false;
}

std::wstring HostSession::SelectedQuery() const
{
    const UIComboBox* pCombo = Combo();
    if (pCombo == nullptr || pCombo->GetCurSel() < 0)
        return {};
    return pCombo->GetLBText(pCombo->GetCurSel());
}

bool HostSession::Click(int id)
{
    return ClickButton(Control(id)) != FALSE;
}

BaseFilteredListControl* HostSession::ResultList(int id) const
{
    CWnd* pDialog = Dialog();
    if (pDialog == nullptr)
        return nullptr;
    for (CWnd* pChild : pDialog->GetChildren())
    {
        if (!pChild->IsWindowVisible())
            continue;
        if (auto* pList = dynamic_cast<BaseFilteredListControl*>(pChild->GetDlgItem(id)))
            return pList;
    }
    return nullptr;
}

std::vector<BaseFilteredListControl*> HostSession::ResultLists() const
{
    std::vector<BaseFilteredListControl*> lists;
    for (const int id : {ctl::kMainList, ctl::kValueList})
    {
        if (BaseFilteredListControl* pList = ResultList(id))
            lists.push_back(pList);
    }
    return lists;
}

const std::wstring* HostSession::CopyResults()
{
    const ClipboardService& clipboard = m_env->Clipboard();
    const int before = clipboard.SetCount();
    if (!Click(ctl::kCopyResults) || clipboard.SetCount() == before)
        return nullptr;
    return &clipboard.Text();
}

bool HostSession::WarningShown() const
{
    const CWnd* pWarning = Control(ctl::kWarning);
    return pWarning != nullptr && pWarning->IsWindowVisible();
}

std::wstring HostSession::WarningText() const
{
    const CWnd* pWarning = Control(ctl::kWarning);
    return pWarning ? std::wstring(pWarning->GetWindowText()) : std::wstring();
}

} // namespace app
