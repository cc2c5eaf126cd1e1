#include "app/cli/StandardOutput.h"

#include "app/cli/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace app
{

int WriteStandardOutput(std::string_view text)
{
    errno = 0;
    const bool bWritten = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    // Buffered text reaches the file only here: a full disk shows itself at the flush.
    const bool bFlushed = std::fflush(stdout) == 0;
    if (bWritten && bFlushed)
        return kExitOk;
    const char* pReason = errno != 0 ? std::strerror(errno) : "short write";
    std::fprintf(stderr, "tally: -: cannot write: %s\n", pReason);
    return kExitEnvironment;
}

} // namespace app
