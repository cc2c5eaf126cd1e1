#include "host/services/UserPreferences.h"

#include "host/services/NotifyMgr.h"

namespace
{
IUserPreferences* g_pInstalled = nullptr;

IUserPreferences& DefaultPreferences()
{
    static UserPreferences preferences;
    return preferences;
}

std::wstring Text(const wchar_t* s)
{
    return s != nullptr ? std::wstring(s) : std::wstring();
}
} // namespace

IUserPreferences* IUserPreferences::Get()
{
    return g_pInstalled != nullptr ? g_pInstalled : &DefaultPreferences();
}

void IUserPreferences::SetInstance(IUserPreferences* pPreferences)
{
    g_pInstalled = pPreferences;
}

bool UserPreferences::GetBool(const wchar_t* key, const wchar_t* name, bool defaultValue)
{
    ++m_reads;
    const auto it = m_values.find({Text(key), Text(name)});
    return it != m_values.end() ? it->second : defaultValue;
}

void UserPreferences::SetBool(const wchar_t* key, const wchar_t* name, bool value)
{
    m_values[{Text(key), Text(name)}] = value;

    INotifyMgr* const pNotify = INotifyMgr::m_pInstance;
    if (pNotify == nullptr)
        return;
    static const ROString channel("UserPrefNotification");
    NotifyEvent event;
    event.eventId = ROString("UserPrefChanged");
    event.prefKey = Text(key);
    event.prefName = Text(name);
    pNotify->Notify(channel, &event);
}
