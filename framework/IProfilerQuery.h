// A statistic: receives monitoring items, keeps its counts, publishes them to result lists and makes
// the window that shows them. Queries are static objects; nobody deletes one through this interface.
#pragma once

#include "host/base/StdStr.h"

#include <cstdint>

class CDialogBase;
class IProfilerQueryOwner;
class MonitoringItem;

class IProfilerQuery
{
public:
    // A project has loaded: build the columns of the result lists.
    virtual void Init() = 0;
    // The project closes, or the registry terminates: drop the columns and the statistics.
    virtual void Term() = 0;
    virtual void SetOwner(IProfilerQueryOwner* pOwner) = 0;
    virtual void ResetOwner() = 0;
    virtual CStdStr<wchar_t> GetName() = 0;
    // A new result window object, constructed on the query's template without a window; the caller
    // owns it.
    virtual CDialogBase* CreateResultDialog() = 0;
    virtual std::int32_t Reserved() = 0;
    virtual bool CanRun() = 0;
    virtual bool IsDataInSync() = 0;
    // Bracket a replay of the logged items.
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;
    virtual void Clear() = 0;
    // The item is read only during the call.
    virtual void OnMonitoringItem(const MonitoringItem* pItem) = 0;

protected:
    ~IProfilerQuery() = default;
};
