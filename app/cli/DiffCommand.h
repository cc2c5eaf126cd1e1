// `tally diff`: what changed in the statistics between two sets of captures over one project, such as
// two builds of a game played the same way.
#pragma once

#include <span>
#include <string>

namespace app
{

// Arguments after the command's name; prints and returns the exit status.
int DiffCommand(std::span<const std::string> args);

} // namespace app
