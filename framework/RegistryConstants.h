// Notification channels, events and preferences that the registry and the statistics dialog follow.
#pragma once

#include "host/base/ROString.h"
#include "host/base/StdStr.h"

namespace registry
{
extern const ROString kMonitoringMgrChannel; // "MonitoringMgrNotification"
extern const ROString kLoggerStarted;
extern const ROString kLoggerStopped;
extern const ROString kProjectChannel; // "Project"
extern const ROString kProjectLoaded;
extern const ROString kProjectPreClose;
extern const ROString kUserPrefChannel; // "UserPrefNotification"
extern const ROString kUserPrefChanged;

extern const CStdStr<wchar_t> kPrefKey;                 // "MonitoringManager"
extern const CStdStr<wchar_t> kPrefEnableStats;         // "EnableStats"
extern const CStdStr<wchar_t> kPrefKeepStatsAcrossRuns; // "KeepStatsAcrossRuns"
} // namespace registry
