// `tally stats` and `tally demo`: the statistics of captures, printed as Copy Results puts them on the
// clipboard, or as csv or json.
#pragma once

#include "app/cli/CommandLine.h"
#include "app/cli/CommandResult.h"
#include "app/session/Gathering.h"
#include "app/session/ListSettings.h"
#include "app/session/SessionInput.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace app
{

struct StatsOptions
{
    std::optional<std::wstring> query;
    Replay replay = Replay::Live;
    std::optional<SortRequest> sort;
    std::optional<SortRequest> valueSort;
    std::vector<std::wstring> filters;
    OutputFormat format = OutputFormat::Tsv;
};

CommandResult RunStats(const SessionInput& input, const StatsOptions& options);

// Whole commands: arguments after the command's name; they print and return the exit status.
int StatsCommand(std::span<const std::string> args);
int DemoCommand(std::span<const std::string> args);

// Whether the name is one the selector offers ("None" included).
bool IsQueryName(std::wstring_view name);
// The query with that name; otherwise throws UsageError listing the names, and naming the one meant
// when only letter case differs.
std::wstring ParseQueryName(std::string_view name);

} // namespace app
