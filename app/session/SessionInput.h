// Where a session's project and capture come from, and starting a session on them: the project is read
// and checked, the plug-in loaded and the project opened in it.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/formats/ProjectReader.h"
#include "app/session/HostSession.h"

#include <functional>
#include <memory>
#include <string>

namespace app
{

struct SessionInput
{
    // The names that messages give the two inputs.
    std::string projectName;
    std::string captureName;
    std::function<ProjectReadResult()> readProject;
    // Delivers every item in capture order and stops at the first error.
    std::function<CaptureStatus(const CaptureSink&)> readCapture;
    // The inputs' sizes in bytes when known beforehand (files); 0 otherwise.
    std::size_t projectBytes = 0;
    std::size_t captureBytes = 0;

    static SessionInput FromFiles(const std::string& projectPath, const std::string& capturePath);
    // The example built into the program.
    static SessionInput Demo();
};

// "tally: FILE:LINE: message", or "tally: FILE: message" when the file itself failed.
std::string CaptureErrorLine(const SessionInput& input, const CaptureStatus& status);

struct SessionStart
{
    std::unique_ptr<HostSession> pSession;
    // On failure: the exit status and the line for stderr.
    int exitCode = 0;
    std::string error;
};

// The plug-in library, loaded; or, when it could not be, the line for stderr.
struct PluginLoad
{
    std::unique_ptr<PluginLibrary> pPlugin;
    std::string error;
};
PluginLoad LoadPlugin();

// Reads the project (bad input: exit 2) and opens it in a session of the loaded plug-in (a plug-in
// that could not be loaded: exit 1, once the project has been found good).
SessionStart StartSession(const SessionInput& input, PluginLoad plugin);
// The same, loading the plug-in first.
SessionStart StartSession(const SessionInput& input);

} // namespace app
