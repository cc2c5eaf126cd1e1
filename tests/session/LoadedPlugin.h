// The plug-in library as a host reaches it: dlopen, the three exports, dlclose.
#pragma once

#include "host/services/ServiceProvider.h"
#include "host/ui/ViewBase.h"

#include <dlfcn.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

// Present when LeakSanitizer is linked in.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

class LoadedPlugin
{
public:
    using GetNumViewFactoriesFn = std::int32_t (*)();
    using GetViewFactoryFn = CViewFactory* (*)(std::int32_t);
    using CreateRegistryFn = IServiceBase* (*)();

    explicit LoadedPlugin(const char* path = TALLY_PLUGIN_PATH)
    {
        m_pHandle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (m_pHandle == nullptr)
            throw std::runtime_error(dlerror());
        GetNumViewFactories = Symbol<GetNumViewFactoriesFn>("GetNumViewFactories");
        GetViewFactory = Symbol<GetViewFactoryFn>("GetViewFactory");
        CreateProfilingQueryRegistry = Symbol<CreateRegistryFn>("CreateProfilingQueryRegistry");
    }
    ~LoadedPlugin() { Unload(); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    void Unload()
    {
        // Leaks are looked for while the library is still mapped: once it is gone, the frames of its
        // allocations can no longer be named.
        if (m_pHandle && &__lsan_do_recoverable_leak_check != nullptr)
            __lsan_do_recoverable_leak_check();
        if (m_pHandle)
            dlclose(m_pHandle);
        m_pHandle = nullptr;
    }

    void* FindSymbol(const char* name) const { return dlsym(m_pHandle, name); }

    // Whether a library of that file name is mapped into this process.
    static bool IsMapped(const std::string& fileName)
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

    GetNumViewFactoriesFn GetNumViewFactories = nullptr;
    GetViewFactoryFn GetViewFactory = nullptr;
    CreateRegistryFn CreateProfilingQueryRegistry = nullptr;

private:
    template <class Fn> Fn Symbol(const char* name)
    {
        void* pSymbol = dlsym(m_pHandle, name);
        if (pSymbol == nullptr)
            throw std::runtime_error(std::string("missing export ") + name);
        return reinterpret_cast<Fn>(pSymbol);
    }

    void* m_pHandle = nullptr;
};
