// The library's entry points: they only create objects and hand them over.
#include "framework/ProfilerQueryRegistry.h"
#include "host/base/StringHelp.h"
#include "module/TallyViewFactory.h"

#include <cstdint>
#include <new>

extern "C"
{

    std::int32_t GetNumViewFactories()
    {
        return 1;
    }

    CViewFactory* GetViewFactory(std::int32_t index)
    {
        if (index != 0)
            return nullptr;
        auto* pFactory = new (std::nothrow) TallyViewFactory;
        if (pFactory)
            pFactory->m_title = StringHelp::Localize(L"Profiler Statistics");
        return pFactory;
    }

    IServiceBase* CreateProfilingQueryRegistry()
    {
        return new (std::nothrow) ProfilerQueryRegistry;
    }

} // extern "C"
