// The plug-in as built beside the tests, loaded with dlopen as a host loads it.
#pragma once

#include "app/session/PluginLibrary.h"

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

// The built library, loaded; a test cannot go on without it.
inline std::shared_ptr<app::PluginLibrary> LoadBuiltPlugin()
{
    std::string error;
    std::shared_ptr<app::PluginLibrary> pPlugin = app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error);
    if (!pPlugin)
        throw std::runtime_error(error);
    return pPlugin;
}

// The built library's file name, as /proc/self/maps shows it.
inline std::string BuiltPluginFileName()
{
    const std::string path = TALLY_PLUGIN_PATH;
    return path.substr(path.rfind('/') + 1);
}

// Whether a library of that file name is mapped into this process.
inline bool IsMapped(const std::string& fileName)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
    {
        if (line.find("/" + fileName) != std::string::npos)
            return true;
    }
    return false;
}
