#include "app/session/SessionInput.h"

#include "app/cli/CommandLine.h"
#include "app/session/DemoData.h"
#include "host/services/Project.h"

#include <sys/stat.h>

namespace app
{

namespace
{
std::size_t RegularFileBytes(const std::string& path)
{
    struct stat info
    {
    };
    if (path == "-" || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return static_cast<std::size_t>(info.st_size);
}
} // namespace

CaptureInput CaptureInput::FromFile(const std::string& path)
{
    return {path, [path](const CaptureSink& sink) { return ReadCaptureFile(path, sink); }};
}

SessionInput SessionInput::FromFiles(const std::string& projectPath,
                                     const std::vector<std::string>& capturePaths)
{
    SessionInput input;
    input.projectName = projectPath;
    input.readProject = [projectPath]
    {
        return ReadProjectFile(projectPath);
    };
    input.projectBytes = RegularFileBytes(projectPath);
    for (const std::string& path : capturePaths)
        input.captures.push_back(CaptureInput::FromFile(path));
    return input;
}

SessionInput SessionInput::Demo()
{
    SessionInput input;
    input.projectName = "demo project";
    input.readProject = []
    {
        return ParseProject(DemoProjectJson());
    };
    input.captures.push_back({"demo capture", [](const CaptureSink& sink)
                              {
                                  return ParseCapture(DemoCaptureJsonl(), sink);
                              }});
    return input;
}

std::string CaptureErrorLine(const CaptureInput& capture, const CaptureStatus& status)
{
    if (status.line == 0)
        return "tally: " + capture.name + ": " + status.error;
    return "tally: " + capture.name + ":" + std::to_string(status.line) + ": " + status.error;
}

PluginLoad LoadPlugin()
{
    PluginLoad load;
    const std::string path = PluginLibrary::DefaultPath();
    std::string error;
    load.pPlugin = PluginLibrary::Open(path, error);
    if (!load.pPlugin)
        load.error = "tally: " + path + ": " + error;
    return load;
}

SessionStart StartSession(const SessionInput& input)
{
    return StartSession(input, LoadPlugin());
}

SessionStart StartSession(const SessionInput& input, PluginLoad plugin)
{
    SessionStart start;
    ProjectReadResult project = input.readProject();
    if (!project.Ok())
    {
        start.exitCode = kExitBadInput;
        start.error = "tally: " + input.projectName + ": " + project.error;
        return start;
    }
    std::unique_ptr<Project> pProject = BuildProject(std::move(project.project));
    if (!pProject)
    {
        start.exitCode = kExitBadInput;
        start.error = "tally: " + input.projectName + ": the objects do not form a valid project";
        return start;
    }

    if (!plugin.pPlugin)
    {
        start.exitCode = kExitEnvironment;
        start.error = std::move(plugin.error);
        return start;
    }
    start.pSession = std::make_unique<HostSession>(std::move(plugin.pPlugin));
    // A library that loads but hands out nothing would gather nothing and print empty statistics.
    const char* pMissing = !start.pSession->Registry()  ? "no query registry"
                           : !start.pSession->Factory() ? "no view factory"
                                                        : nullptr;
    if (pMissing != nullptr)
    {
        start.exitCode = kExitEnvironment;
        start.error = "tally: " + start.pSession->Plugin().Path() + ": the plug-in offers " + pMissing;
        start.pSession.reset();
        return start;
    }
    start.pSession->OpenProject(std::move(pProject));
    return start;
}

} // namespace app
