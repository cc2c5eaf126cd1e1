// Runs the tally executable as a user would and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct ProcessResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

struct ProcessOptions
{
    // Written to the program's standard input, which is then closed.
    std::string input;
    // Extra environment entries, NAME=VALUE.
    std::vector<std::string> environment;
    // When set, standard output goes to this file (such as /dev/full) instead of being captured.
    std::string stdoutFile;
    // When set, the program runs in this directory.
    std::string directory;
};

ProcessResult RunTally(const std::vector<std::string>& args, const ProcessOptions& options = {});

// The tally executable and its arguments as exec and posix_spawn take them: Data() points into the
// strings this object owns, so it is neither copied nor moved.
class TallyArgv
{
public:
    explicit TallyArgv(const std::vector<std::string>& args);
    TallyArgv(const TallyArgv&) = delete;
    TallyArgv& operator=(const TallyArgv&) = delete;

    char* const* Data() const { return m_pointers.data(); }

private:
    std::vector<std::string> m_strings;
    std::vector<char*> m_pointers;
};

std::string ReadFile(const std::string& path);
std::string Example(const std::string& name);
std::string Golden(const std::string& name);
// A scratch file holding the text; removed when the test binary ends.
std::string TempFile(const std::string& name, const std::string& text);
