#include "app/session/StatisticWatch.h"

#include "app/session/ControlIds.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/Wnd.h"

#include <algorithm>

namespace app
{

namespace
{
// The views draw nothing; any size the dialog lays out in will do.
constexpr int kWidthPx = 640;
constexpr int kHeightPx = 480;

bool Choose(UIComboBox& combo, std::wstring_view name)
{
    for (int index = 0; index < combo.GetCount(); ++index)
    {
        if (combo.GetLBText(index) == name)
        {
            combo.SelectByUser(index);
            return true;
        }
    }
    return false;
}
} // namespace

// A view of the statistics in a container window of its own, as a host opens a second one.
class StatisticWatch::View final : private IViewContainer
{
public:
    explicit View(CViewFactory& factory)
    {
        m_container.CreateEx(0, L"ViewFrame", factory.GetTitle(), WS_VISIBLE,
                             CRect(0, 0, kWidthPx, kHeightPx), nullptr, 0);
        m_pView.reset(factory.CreateView());
        if (!m_pView)
            return;
        m_pView->CreateViewWindow(this);
        if (CWnd* pDialog = Dialog())
        {
            pDialog->ShowWindow(SW_SHOW);
            pDialog->SetWindowPos(nullptr, 0, 0, kWidthPx, kHeightPx, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    ~View()
    {
        // The dialog goes with its container; the view is deleted after, as the host does.
        m_container.DestroyWindow();
    }

    CWnd* Dialog() const { return m_pView ? CWnd::FromHandle(m_pView->GetViewWindow()) : nullptr; }

private:
    HWND GetContainerWindow() override { return m_container.GetSafeHwnd(); }
    int GetContainerId() override { return 1; }
    void SetViewOptions(int, int) override {}

    CWnd m_container;
    std::unique_ptr<IViewBase> m_pView;
};

StatisticWatch::StatisticWatch(HostSession& session, const std::vector<std::wstring>& statistics)
    : m_hook([this](HWND hWnd, int nCmdShow) { OnShowWindow(hWnd, nCmdShow); })
{
    for (const std::wstring& name : statistics)
    {
        auto pView = session.Factory() ? std::make_unique<View>(*session.Factory()) : nullptr;
        CWnd* const pDialog = pView ? pView->Dialog() : nullptr;
        auto* const pCombo =
            pDialog ? dynamic_cast<UIComboBox*>(pDialog->GetDlgItem(ctl::kQueryCombo)) : nullptr;
        CWnd* const pWarning = pDialog ? pDialog->GetDlgItem(ctl::kWarning) : nullptr;
        if (pCombo == nullptr || pWarning == nullptr || !Choose(*pCombo, name))
            m_bWatching = false;
        m_warnings.push_back(pWarning ? pWarning->GetSafeHwnd() : nullptr);
        m_views.push_back(std::move(pView));
    }
    // Selecting shows the warning of a statistic that is out of sync already: that is no mark.
    m_marked = 0;
}

StatisticWatch::~StatisticWatch() = default;

void StatisticWatch::OnShowWindow(HWND hWnd, int nCmdShow)
{
    if (nCmdShow == SW_HIDE || hWnd == nullptr)
        return;
    const auto found = std::find(m_warnings.begin(), m_warnings.end(), hWnd);
    if (found != m_warnings.end())
        m_marked |= StatisticSet{1} << (found - m_warnings.begin());
}

} // namespace app
