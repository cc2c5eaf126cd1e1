// User preferences: bool values under a key and a name.
#pragma once

#include <map>
#include <string>
#include <utility>

class IUserPreferences
{
public:
    // The preferences of the running host (an in-memory store until a host installs its own).
    static IUserPreferences* Get();
    static void SetInstance(IUserPreferences* pPreferences);

    virtual bool GetBool(const wchar_t* key, const wchar_t* name, bool defaultValue) = 0;
    // Stores the value and raises "UserPrefChanged" on "UserPrefNotification" with the key and name.
    virtual void SetBool(const wchar_t* key, const wchar_t* name, bool value) = 0;

protected:
    ~IUserPreferences() = default;
};

class UserPreferences : public IUserPreferences
{
public:
    bool GetBool(const wchar_t* key, const wchar_t* name, bool defaultValue) override;
    void SetBool(const wchar_t* key, const wchar_t* name, bool value) override;

    // How often values were read, so that callers can tell when a preference was consulted.
    unsigned long ReadCount() const { return m_reads; }
    void Clear() { m_values.clear(); }

private:
    std::map<std::pair<std::wstring, std::wstring>, bool> m_values;
    unsigned long m_reads = 0;
};
