#include "app/session/PluginLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

// Present when LeakSanitizer is linked in.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace app
{

namespace
{

std::string ExecutableDirectory()
{
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return ".";
    const std::string path(buffer.data(), static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

template <class Fn> Fn Export(void* pHandle, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(pHandle, name));
}

} // namespace

std::string PluginLibrary::DefaultPath()
{
    if (const char* pOverride = std::getenv("TALLY_PLUGIN"); pOverride != nullptr && *pOverride != '\0')
    {
        // The loader would look a name without a slash up on the library path instead; users mean
        // the file in the current directory.
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(pOverride, error);
        return error ? std::string(pOverride) : absolute.lexically_normal().string();
    }
    return ExecutableDirectory() + "/libtally.so";
}

std::unique_ptr<PluginLibrary> PluginLibrary::Open(const std::string& path, std::string& error)
{
    void* pHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (pHandle == nullptr)
    {
        // The loader's reason starts with the path, which the caller's message names already.
        const char* pReason = dlerror();
        std::string_view reason = pReason ? pReason : "unknown error";
        if (reason.starts_with(path + ": "))
            reason.remove_prefix(path.size() + 2);
        error = "cannot load the plug-in: " + std::string(reason);
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> pLibrary(new PluginLibrary(pHandle, path));
    pLibrary->GetNumViewFactories = Export<GetNumViewFactoriesFn>(pHandle, "GetNumViewFactories");
    pLibrary->GetViewFactory = Export<GetViewFactoryFn>(pHandle, "GetViewFactory");
    pLibrary->CreateProfilingQueryRegistry =
        Export<CreateRegistryFn>(pHandle, "CreateProfilingQueryRegistry");
    if (!pLibrary->GetNumViewFactories || !pLibrary->GetViewFactory ||
        !pLibrary->CreateProfilingQueryRegistry)
    {
        error = "the library lacks the plug-in's entry points";
        return nullptr;
    }
    if (pLibrary->GetNumViewFactories() < 1)
    {
        error = "the plug-in offers no view factory";
        return nullptr;
    }
    return pLibrary;
}

PluginLibrary::~PluginLibrary()
{
    // Leaks are looked for while the library is still mapped: once it is gone, the frames of its
    // allocations can no longer be named.
    if (&__lsan_do_recoverable_leak_check != nullptr)
        __lsan_do_recoverable_leak_check();
    dlclose(m_pHandle);
}

} // namespace app
