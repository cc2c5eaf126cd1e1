#include "host/services/ServiceProvider.h"

namespace ov
{
IServiceProvider* g_serviceProviderInstance = nullptr;
} // namespace ov

IServiceBase* ServiceProvider::GetService(std::uint32_t id)
{
    const auto it = m_services.find(id);
    return it != m_services.end() ? it->second : nullptr;
}

void ServiceProvider::Register(std::uint32_t id, IServiceBase* pService)
{
    if (pService == nullptr)
        m_services.erase(id);
    else
        m_services[id] = pService;
}

void ServiceProvider::Unregister(std::uint32_t id)
{
    m_services.erase(id);
}
