#include "app/generate/GenerateFiles.h"

#include "app/generate/OutputFile.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>

namespace app
{

namespace
{

struct Destination
{
    const std::string& path;
    std::uint64_t mostBytes;
};

std::string Size(std::uint64_t bytes)
{
    char text[32];
    const double mib = static_cast<double>(bytes) / (1 << 20);
    if (mib >= 1024)
        std::snprintf(text, sizeof text, "%.1f GiB", mib / 1024);
    else
        std::snprintf(text, sizeof text, "%.1f MiB", mib);
    return text;
}

// Whether the files fit where they go, at the most that they can take; two files in one file system
// share its room. Standard output and devices take what comes.
GenerateStatus CheckRoom(std::span<const Destination> files)
{
    std::map<dev_t, std::uint64_t> needed;
    for (const Destination& file : files)
    {
        if (file.path == "-")
            continue;
        const std::filesystem::path place = OutputFile::Place(file.path);
        struct stat info
        {
        };
        if (::stat(place.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
            continue;
        const std::filesystem::path folder = place.has_parent_path() ? place.parent_path() : ".";
        struct statvfs room
        {
        };
        struct stat folderInfo
        {
        };
        if (::statvfs(folder.c_str(), &room) != 0 || ::stat(folder.c_str(), &folderInfo) != 0)
            return {file.path, "cannot write: " + std::string(std::strerror(errno))};
        const std::uint64_t free = static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize;
        std::uint64_t& total = needed[folderInfo.st_dev];
        total += file.mostBytes;
        if (total > free)
            return {file.path, "not enough free space: the files may take up to " + Size(total) + ", " +
                                   Size(free) + " are free"};
    }
    return {};
}

// Hands the generator's blocks to the file, counting lines for the progress.
TextWriter WriterInto(OutputFile& file, const std::string& path, std::uint64_t totalLines,
                      const GenerateProgress& progress)
{
    return [&file, &path, totalLines, &progress, lines = std::uint64_t{0}](std::string_view block) mutable
    {
        if (!file.Write(block))
            return false;
        if (progress)
        {
            lines += static_cast<std::uint64_t>(std::count(block.begin(), block.end(), '\n'));
            progress(path, lines, totalLines);
        }
        return true;
    };
}

GenerateStatus WriteFailure(const std::string& path, const OutputFile& file)
{
    return {path, "cannot write: " + (file.Error().empty() ? std::string("failed") : file.Error())};
}

} // namespace

GenerateStatus GenerateFiles(const GeneratorOptions& options, const std::string& projectPath,
                             const std::string& capturePath, const GenerateProgress& progress)
{
    const std::array<Destination, 2> destinations = {{
        {projectPath, Generator::MostProjectBytes(options.events)},
        {capturePath, Generator::MostCaptureBytes(options.items)},
    }};
    if (GenerateStatus status = CheckRoom(destinations); !status.Ok())
        return status;
    // Both are opened before anything is generated: a capture that cannot be written is known at once.
    OutputFile project(projectPath);
    if (!project.Opened())
        return {projectPath, "cannot open for writing: " + project.Error()};
    OutputFile capture(capturePath);
    if (!capture.Opened())
        return {capturePath, "cannot open for writing: " + capture.Error()};

    const Generator generator(options);
    if (!generator.WriteProject(WriterInto(project, projectPath, generator.ProjectLines(), progress)))
        return WriteFailure(projectPath, project);
    if (!generator.WriteCapture(WriterInto(capture, capturePath, options.items, progress)))
        return WriteFailure(capturePath, capture);
    if (!project.Commit())
        return WriteFailure(projectPath, project);
    if (!capture.Commit())
        return WriteFailure(capturePath, capture);
    return {};
}

} // namespace app
