// "None": the query that stands for no query. It gathers nothing and shows an empty window.
#pragma once

#include "framework/IProfilerQuery.h"

class NoneQuery : public IProfilerQuery
{
public:
    void Init() override {}
    void Term() override {}
    void SetOwner(IProfilerQueryOwner*) override {}
    void ResetOwner() override {}
    CStdStr<wchar_t> GetName() override;
    CDialogBase* CreateResultDialog() override;
    std::int32_t Reserved() override { return 0; }
    bool CanRun() override { return false; }
    bool IsDataInSync() override { return true; }
    void BeginRun() override {}
    void EndRun() override {}
    void Clear() override {}
    void OnMonitoringItem(const MonitoringItem*) override {}
};
