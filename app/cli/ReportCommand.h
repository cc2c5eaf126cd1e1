// `tally report`: one self-contained HTML page of a capture over a project: the statistics, the
// coverage of the project's dialogue events, explain's findings and what was read.
#pragma once

#include "app/cli/StatsCommand.h"
#include "app/session/SessionInput.h"

#include <span>
#include <string>

namespace app
{

// Writes the page to `output`; the result's text is for stderr only.
CommandResult RunReport(const SessionInput& input, const std::string& output);

// Writes the text to a temporary file beside the target, then renames it over the target, so that a
// reader never sees half a page. Empty on success, otherwise why it failed.
std::string WriteFileWhole(const std::string& path, std::string_view text);

int ReportCommand(std::span<const std::string> args);

} // namespace app
