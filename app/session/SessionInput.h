// Where a session's project and capture come from, and starting a session on them: the project is read
// and checked, the plug-in loaded and the project opened in it.
#pragma once

#include "app/formats/CaptureReader.h"
#include "app/formats/ProjectReader.h"
#include "app/session/HostSession.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace app
{

// Hands every item of a capture over in capture order and stops at the first error.
using CaptureSource = std::function<CaptureStatus(const CaptureSink&)>;

struct CaptureInput
{
    // The name that messages give it.
    std::string name;
    CaptureSource read;

    static CaptureInput FromFile(const std::string& path);
};

struct SessionInput
{
    // The name that messages give the project.
    std::string projectName;
    std::function<ProjectReadResult()> readProject;
    // The project's size in bytes when known beforehand (a file); 0 otherwise.
    std::size_t projectBytes = 0;
    // In the order given; each is one logger session.
    std::vector<CaptureInput> captures;

    static SessionInput FromFiles(const std::string& projectPath,
                                  const std::vector<std::string>& capturePaths);
    // The example built into the program.
    static SessionInput Demo();

};

// "tally: FILE:LINE: message", or "tally: FILE: message" when the file itself failed.
std::string CaptureErrorLine(const CaptureInput& capture, const CaptureStatus& status);

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
