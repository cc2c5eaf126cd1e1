// The plug-in library as the host reaches it: dlopen, its three exports, dlclose.
#pragma once

#include "host/services/ServiceProvider.h"
#include "host/ui/ViewBase.h"

#include <cstdint>
#include <memory>
#include <string>

namespace app
{

class PluginLibrary
{
public:
    using GetNumViewFactoriesFn = std::int32_t (*)();
    using GetViewFactoryFn = CViewFactory* (*)(std::int32_t);
    using CreateRegistryFn = IServiceBase* (*)();

    // Where the plug-in is looked for: $TALLY_PLUGIN (a relative one from the current directory), or
    // libtally.so beside the executable.
    static std::string DefaultPath();

    // Null, with the reason in `error`, when the library cannot be loaded, lacks an export or counts
    // no view factory.
    static std::unique_ptr<PluginLibrary> Open(const std::string& path, std::string& error);

    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const std::string& Path() const { return m_path; }

    GetNumViewFactoriesFn GetNumViewFactories = nullptr;
    GetViewFactoryFn GetViewFactory = nullptr;
    CreateRegistryFn CreateProfilingQueryRegistry = nullptr;

private:
    PluginLibrary(void* pHandle, std::string path) : m_pHandle(pHandle), m_path(std::move(path)) {}

    void* m_pHandle;
    std::string m_path;
};

} // namespace app
