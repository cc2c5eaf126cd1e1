#include "window/TallyDlg.h"

#include "framework/ProfilerQueryRegistry.h"
#include "framework/RegistryConstants.h"
#include "host/services/MonitoringMgr.h"
#include "host/services/ServiceProvider.h"
#include "host/services/UserPreferences.h"
#include "host/ui/UISubClassingMgr.h"
#include "host/ui/ViewBase.h"
#include "module/TallyApp.h"
#include "resources/resource.h"

namespace
{
constexpr int kFollowWidth = ANCHOR_LEFT | ANCHOR_TOP | ANCHOR_RIGHT;
constexpr int kFollowWidthAndHeight = kFollowWidth | ANCHOR_BOTTOM;

int S(int pixels)
{
    return UISubClassingMgr::ScaleToDpi(pixels);
}

bool ReadPreference(const wchar_t* name)
{
    IUserPreferences* pPreferences = IUserPreferences::Get();
    return pPreferences && pPreferences->GetBool(registry::kPrefKey, name, false);
}

void WritePreference(const wchar_t* name, bool bValue)
{
    if (IUserPreferences* pPreferences = IUserPreferences::Get())
        pPreferences->SetBool(registry::kPrefKey, name, bValue);
}
} // namespace

BEGIN_MESSAGE_MAP(CTallyDlg, CDialogBase)
ON_CBN_SELCHANGE(IDC_QUERY_COMBO, &CTallyDlg::OnSelChangeQuery)
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_RUN, &CTallyDlg::OnRun)
ON_BN_CLICKED(IDC_COPY_RESULTS, &CTallyDlg::OnCopyResults)
ON_BN_CLICKED(IDC_CLEAR, &CTallyDlg::OnClear)
ON_BN_CLICKED(IDC_UPDATE_AUTOMATICALLY, &CTallyDlg::OnUpdateAutomatically)
ON_BN_CLICKED(IDC_KEEP_STATISTICS, &CTallyDlg::OnKeepStatistics)
END_MESSAGE_MAP()

CTallyDlg::CTallyDlg(IViewContainer* pContainer) : CDialogBase(IDD_TALLY_DIALOG, nullptr)
{
    if (pContainer)
        pContainer->SetViewOptions(1, 2);
}

CTallyDlg::~CTallyDlg() = default;

BOOL CTallyDlg::OnInitDialog()
{
    const AFX_MAINTAIN_STATE2 moduleState(TallyModuleState());

    CDialogBase::OnInitDialog();
    m_comboQuery.ReplaceStaticPlaceHolder(this, IDC_QUERY_COMBO);

    // The group box spans the dialog but for a margin; it keeps its height and follows the width.
    CWnd* pGroup = ResultsGroup();
    CRect dialogRect;
    GetWindowRect(&dialogRect);
    CRect groupRect;
    pGroup->GetWindowRect(&groupRect);
    pGroup->SetWindowPos(nullptr, 0, 0, dialogRect.Width() - S(20), groupRect.Height(),
                         SWP_NOMOVE | SWP_NOACTIVATE);
    m_anchor.AddControl(pGroup, kFollowWidth, nullptr, {});

    IProfilerQuery* pFirstQuery = nullptr;
    if (ProfilerQueryRegistry* pRegistry = GetRegistry())
    {
        for (IProfilerQuery* pQuery : pRegistry->GetQueries())
        {
            const CStdStr<wchar_t> name = pQuery->GetName();
            const int index = m_comboQuery.AddString(name.c_str(), UIComboBox::NormalTextColor());
            if (index >= 0)
                m_comboQuery.SetItemData(index, pQuery);
        }
        if (!pRegistry->GetQueries().empty())
            pFirstQuery = pRegistry->GetQueries().front();
    }
    m_comboQuery.Sort(0);

    // "None" is selected wherever the sort put it.
    for (int index = 0; index < m_comboQuery.GetCount(); ++index)
    {
        if (pFirstQuery != nullptr && m_comboQuery.GetItemData(index) == pFirstQuery)
        {
            m_comboQuery.SetCurSel(index, false);
            break;
        }
    }
    OnSelChangeQuery();

    const bool bEnableStats = ReadPreference(registry::kPrefEnableStats);
    GetDlgItem(IDC_UPDATE_AUTOMATICALLY)
        ->SendMessage(BM_SETCHECK, bEnableStats ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_KEEP_STATISTICS)
        ->SendMessage(BM_SETCHECK,
                      ReadPreference(registry::kPrefKeepStatsAcrossRuns) ? BST_CHECKED : BST_UNCHECKED);
    GetDlgItem(IDC_KEEP_STATISTICS)->EnableWindow(bEnableStats);
    return TRUE;
}

void CTallyDlg::OnSelChangeQuery()
{
    ReleaseCurrentQuery();

    const int selection = m_comboQuery.GetCurSel();
    if (selection < 0)
    {
        OnQueryStateChanged();
        return;
    }

    m_pQuery = m_comboQuery.GetItemData(selection);
    if (m_pQuery == nullptr)
    {
        OnQueryStateChanged();
        return;
    }
    m_pQuery->SetOwner(this);

    m_pQueryDlg = m_pQuery->CreateResultDialog();
    if (m_pQueryDlg != nullptr)
    {
        m_pQueryDlg->CreateDialogFromResources(this);
        ReplaceHolder(m_pQueryDlg, IDC_RESULTS_PLACEHOLDER);
        m_pQueryDlg->ShowWindow(SW_SHOW);

        // Below the group box, to the dialog's right and bottom edges but for the margins.
        CRect clientRect;
        GetClientRect(&clientRect);
        CRect dialogRect;
        GetWindowRect(&dialogRect);
        CRect groupRect;
        ResultsGroup()->GetWindowRect(&groupRect);
        const int width = clientRect.Width() - S(20);
        const int height = clientRect.Height() - (groupRect.bottom - dialogRect.top) - S(20);
        m_pQueryDlg->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);

        m_anchor.Init(this);
        m_anchor.AddControl(m_pQueryDlg, kFollowWidthAndHeight, nullptr, {});
        m_anchor.AddControl(ResultsGroup(), kFollowWidth, nullptr, {});
    }

    OnQueryStateChanged();
}

void CTallyDlg::ReleaseCurrentQuery()
{
    if (m_pQuery != nullptr)
    {
        m_pQuery->ResetOwner();
        m_pQuery = nullptr;
    }
    if (m_pQueryDlg != nullptr)
    {
        m_anchor.Term();
        m_anchor.Init(this);
        m_anchor.AddControl(ResultsGroup(), kFollowWidth, nullptr, {});
        m_pQueryDlg->DestroyWindow();
        delete m_pQueryDlg;
        m_pQueryDlg = nullptr;
    }
}

void CTallyDlg::OnQueryStateChanged()
{
    const bool bCanRun = m_pQuery != nullptr && m_pQuery->CanRun();
    GetDlgItem(IDC_RUN)->EnableWindow(bCanRun);
    GetDlgItem(IDC_COPY_RESULTS)->EnableWindow(bCanRun);

    const bool bShowWarning = m_pQuery != nullptr && !m_pQuery->IsDataInSync();
    GetDlgItem(IDC_OUT_OF_SYNC)->ShowWindow(bShowWarning ? SW_SHOW : SW_HIDE);
}

void CTallyDlg::OnRun()
{
    if (m_pQuery == nullptr)
        return;
    m_pQuery->BeginRun();
    if (ov::g_serviceProviderInstance != nullptr)
    {
        auto* pMgr =
            static_cast<IMonitoringMgr*>(ov::g_serviceProviderInstance->GetService(ov::ServiceMonitoringMgr));
        if (IMonitoringMgrLogger* pLogger = pMgr ? pMgr->GetLogger() : nullptr)
        {
            IMonitoringMgrLoggerIterator* pIterator = pLogger->CreateIterator();
            pIterator->Rewind();
            while (pIterator->HasItem())
            {
                if (const MonitoringItem* pItem = pIterator->NextItem(~std::uint64_t{0}))
                    m_pQuery->OnMonitoringItem(pItem);
            }
            pLogger->ReleaseIterator(pIterator);
        }
    }
    m_pQuery->EndRun();
}

void CTallyDlg::OnCopyResults()
{
    if (m_pQueryDlg != nullptr)
        m_pQueryDlg->SendMessage(WM_COPY, 0, 0);
}

void CTallyDlg::OnClear()
{
    if (ProfilerQueryRegistry* pRegistry = GetRegistry())
    {
        for (IProfilerQuery* pQuery : pRegistry->GetQueries())
            pQuery->Clear();
    }
}

void CTallyDlg::OnUpdateAutomatically()
{
    const bool bChecked = GetDlgItem(IDC_UPDATE_AUTOMATICALLY)->SendMessage(BM_GETCHECK) == BST_CHECKED;
    WritePreference(registry::kPrefEnableStats, bChecked);
    GetDlgItem(IDC_KEEP_STATISTICS)->EnableWindow(bChecked);
}

void CTallyDlg::OnKeepStatistics()
{
    const bool bChecked = GetDlgItem(IDC_KEEP_STATISTICS)->SendMessage(BM_GETCHECK) == BST_CHECKED;
    WritePreference(registry::kPrefKeepStatsAcrossRuns, bChecked);
}

void CTallyDlg::OnDestroy()
{
    ReleaseCurrentQuery();
    CDialogBase::OnDestroy();
}

void CTallyDlg::PostNcDestroy()
{
    CDialogBase::PostNcDestroy();
    delete this;
}

CWnd* CTallyDlg::ResultsGroup() const
{
    return GetDlgItem(IDC_RESULTS_GROUP);
}

ProfilerQueryRegistry* CTallyDlg::GetRegistry()
{
    if (ov::g_serviceProviderInstance == nullptr)
        return nullptr;
    return static_cast<ProfilerQueryRegistry*>(
        ov::g_serviceProviderInstance->GetService(ov::ServiceProfilerQueryRegistry));
}
