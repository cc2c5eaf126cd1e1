#include "framework/RegistryConstants.h"

namespace registry
{
const ROString kMonitoringMgrChannel("MonitoringMgrNotification");
const ROString kLoggerStarted("LoggerStarted");
const ROString kLoggerStopped("LoggerStopped");
const ROString kProjectChannel("Project");
const ROString kProjectLoaded("Loaded");
const ROString kProjectPreClose("Pre_Close");
const ROString kUserPrefChannel("UserPrefNotification");
const ROString kUserPrefChanged("UserPrefChanged");

const CStdStr<wchar_t> kPrefKey(L"MonitoringManager");
const CStdStr<wchar_t> kPrefEnableStats(L"EnableStats");
const CStdStr<wchar_t> kPrefKeepStatsAcrossRuns(L"KeepStatsAcrossRuns");
} // namespace registry
