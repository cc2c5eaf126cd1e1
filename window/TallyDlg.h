// The window of the "Profiler Statistics" view: the query selector, Run, Clear, Copy Results, the two
// options and the out-of-sync warning, with the selected query's result window below them.
#pragma once

#include "framework/IProfilerQuery.h"
#include "framework/IProfilerQueryOwner.h"
#include "host/ui/DialogBase.h"
#include "window/UITypedCombo.h"

class IViewContainer;
class ProfilerQueryRegistry;

class CTallyDlg : public CDialogBase, public IProfilerQueryOwner
{
public:
    // The dialog is made without a window; it tells the container its options as its last step.
    explicit CTallyDlg(IViewContainer* pContainer);
    ~CTallyDlg() override;

    BOOL OnInitDialog() override;
    void OnQueryStateChanged() override;

    IProfilerQuery* GetSelectedQuery() const { return m_pQuery; }
    CDialogBase* GetResultDialog() const { return m_pQueryDlg; }

protected:
    void PostNcDestroy() override;

    void OnSelChangeQuery();
    void OnDestroy();
    void OnRun();
    void OnCopyResults();
    void OnClear();
    void OnUpdateAutomatically();
    void OnKeepStatistics();

    DECLARE_MESSAGE_MAP()

private:
    void ReleaseCurrentQuery();
    CWnd* ResultsGroup() const;
    static ProfilerQueryRegistry* GetRegistry();

    CDialogBase* m_pQueryDlg = nullptr;
    IProfilerQuery* m_pQuery = nullptr;
    UITypedCombo<IProfilerQuery*> m_comboQuery;
};
