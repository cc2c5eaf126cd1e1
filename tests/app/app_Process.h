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

std::string ReadFile(const std::string& path);
std::string Example(const std::string& name);
std::string Golden(const std::string& name);
// A scratch file holding the text; removed when the test binary ends.
std::string TempFile(const std::string& name, const std::string& text);
