// What the commands print on standard output goes through here, so that a full disk, a closed
// descriptor or a short write is reported instead of passing for success.
#pragma once

#include <string_view>

namespace app
{

// Writes the text to standard output and flushes it. A failed or short write prints
// "tally: -: cannot write: REASON" on stderr and gives the environment's exit status; success gives 0.
int WriteStandardOutput(std::string_view text);

} // namespace app
