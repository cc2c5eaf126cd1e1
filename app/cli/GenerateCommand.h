// `tally generate`: a synthetic project and capture, reproducible from a seed.
#pragma once

#include <span>
#include <string>

namespace app
{
int GenerateCommand(std::span<const std::string> args);
}
