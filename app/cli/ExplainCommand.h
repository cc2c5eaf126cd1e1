// `tally explain`: the items of a capture that made a statistic mark itself out of sync, and why.
#pragma once

#include "app/cli/StatsCommand.h"
#include "app/session/SessionInput.h"

#include <span>
#include <string>

namespace app
{

CommandResult RunExplain(const SessionInput& input, OutputFormat format);

int ExplainCommand(std::span<const std::string> args);

} // namespace app
