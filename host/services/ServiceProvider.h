// Host services, looked up by number at each use.
#pragma once

#include <cstdint>
#include <map>

// A service object of the host's service provider. The host initialises, terminates and destroys it.
class IServiceBase
{
public:
    virtual bool Initialize() = 0;
    virtual bool Terminate() = 0;
    virtual void Destroy() = 0;

protected:
    ~IServiceBase() = default;
};

namespace ov
{

enum ServiceId : std::uint32_t
{
    ServiceClipboard = 117,
    ServiceMonitoringMgr = 120,
    ServiceProfilerQueryRegistry = 139,
};

class IServiceProvider
{
public:
    // The service registered under the number, or null.
    virtual IServiceBase* GetService(std::uint32_t id) = 0;

protected:
    ~IServiceProvider() = default;
};

// Set by the host; null while no host runs.
extern IServiceProvider* g_serviceProviderInstance;

} // namespace ov

// The host side: services registered by number. The provider does not own them.
class ServiceProvider : public ov::IServiceProvider
{
public:
    IServiceBase* GetService(std::uint32_t id) override;

    void Register(std::uint32_t id, IServiceBase* pService);
    void Unregister(std::uint32_t id);

private:
    std::map<std::uint32_t, IServiceBase*> m_services;
};
