#include "app/cli/CommandResult.h"

#include "app/cli/CommandLine.h"
#include "app/cli/StandardOutput.h"

#include <cstdio>

namespace app
{

CommandResult Failure(int exitCode, std::string message)
{
    CommandResult result;
    result.exitCode = exitCode;
    result.err = std::move(message) + "\n";
    return result;
}

int PrintResult(const CommandResult& result)
{
    if (result.exitCode == kExitOk)
    {
        // The warnings belong to the text printed: without it they would mislead.
        if (const int written = WriteStandardOutput(result.out); written != kExitOk)
            return written;
    }
    std::fputs(result.err.c_str(), stderr);
    return result.exitCode;
}

int ReportUsage(const UsageError& error, std::string_view command)
{
    std::fprintf(stderr, "tally: %s\nTry 'tally %.*s --help'.\n", error.what(),
                 static_cast<int>(command.size()), command.data());
    return kExitBadInput;
}

} // namespace app
