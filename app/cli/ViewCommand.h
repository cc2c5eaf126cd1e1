// `tally view`: the statistics view in the terminal.
#pragma once

#include <span>
#include <string>

namespace app
{
int ViewCommand(std::span<const std::string> args);
}
