// The "Profiler Statistics" view: hosts one statistics dialog in the window the host gives it.
#pragma once

#include "host/ui/ViewBase.h"

class CTallyDlg;

class TallyView : public CViewBase
{
public:
    TallyView() = default;
    ~TallyView() override = default;

    int CreateViewWindow(IViewContainer* pContainer) override;
    HWND GetViewWindow() override;
    void GetDefaultPlacement(int monitor, SIZE* pSize, RECT* pRect) override;
    void Focus(int reason) override;
    void ShowHelp() override;
    void OnLayoutActivated() override {}

    // The dialog deletes itself with its window; the view never deletes it.
    CTallyDlg* m_pDialog = nullptr;
};
