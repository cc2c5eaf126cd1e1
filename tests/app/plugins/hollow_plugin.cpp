// A library with the plug-in's three entry points that hands out nothing: no view factory and no
// query registry. HOLLOW_VIEW_FACTORIES sets the count of view factories that it claims (default 0).
#include <cstdint>
#include <cstdlib>

extern "C"
{

    __attribute__((visibility("default"))) std::int32_t GetNumViewFactories()
    {
        const char* pCount = std::getenv("HOLLOW_VIEW_FACTORIES");
        return pCount ? std::atoi(pCount) : 0;
    }

    __attribute__((visibility("default"))) void* GetViewFactory(std::int32_t)
    {
        return nullptr;
    }

    __attribute__((visibility("default"))) void* CreateProfilingQueryRegistry()
    {
        return nullptr;
    }
}
