// Makes "Profiler Statistics" views for the host's "Profiler" category.
#pragma once

#include "host/base/StdStr.h"
#include "host/ui/ViewBase.h"

class TallyViewFactory : public CViewFactory
{
public:
    ~TallyViewFactory() override = default;

    IViewBase* CreateView() override;
    const wchar_t* GetTitle() override { return m_title.c_str(); }
    const wchar_t* GetCategory() override;
    const wchar_t* GetExtraText() override { return L""; }
    int GetNumericId() override { return 41; }

    CStdStr<wchar_t> m_title;
};
