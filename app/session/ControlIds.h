// What a host knows of the statistics view from outside: the ids of the dialog's controls and of its
// result windows' lists, and the names of the statistics in the selector.
#pragma once

#include <string_view>

namespace app
{

namespace ctl
{
inline constexpr int kRun = 1001;
inline constexpr int kResultsGroup = 1002;
inline constexpr int kQueryCombo = 1004;
inline constexpr int kWarning = 1014;
inline constexpr int kCopyResults = 1015;
inline constexpr int kClear = 1018;
inline constexpr int kUpdateAutomatically = 1019;
inline constexpr int kKeepStatistics = 1020;
// The main list of every result window, and the value list of "Dialogue Events Distribution".
inline constexpr int kMainList = 9999;
inline constexpr int kValueList = 9998;
} // namespace ctl

// The statistics, in the order of the plug-in's registry; "None" is offered beside them.
inline constexpr std::wstring_view kQueryNames[] = {L"Dialogue Events Distribution", L"Paths Used",
                                                    L"Dialogue Events Added"};
inline constexpr std::wstring_view kNoQuery = L"None";

} // namespace app
