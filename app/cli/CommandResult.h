// What a command prints and how it ends, kept until the end so that nothing reaches stdout from a run
// that fails half-way.
#pragma once

#include <string>
#include <string_view>

namespace app
{

class UsageError;

struct CommandResult
{
    int exitCode = 0;
    // Printed only on success.
    std::string out;
    std::string err;
};

// A result that prints nothing on stdout and the message as one line on stderr.
CommandResult Failure(int exitCode, std::string message);

// Prints the result: its text on stdout (checked) when it succeeded, then its lines for stderr.
// Returns the exit status.
int PrintResult(const CommandResult& result);

// "tally: MESSAGE" and a pointer to the command's help; the exit status of bad usage.
int ReportUsage(const UsageError& error, std::string_view command);

} // namespace app
