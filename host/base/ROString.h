// The host's interned read-only string: equal texts give equal values, compared by identity.
#pragma once

#include <string>
#include <string_view>

class ROString
{
public:
    ROString() = default;
    explicit ROString(std::string_view text);

    const std::string& Text() const { return *m_pText; }
    const char* c_str() const { return m_pText->c_str(); }
    bool IsEmpty() const { return m_pText->empty(); }

    friend bool operator==(const ROString& a, const ROString& b) { return a.m_pText == b.m_pText; }

private:
    static const std::string* Intern(std::string_view text);

    // Interned texts live until the process ends, so values stay valid in every loaded module.
    const std::string* m_pText = Intern({});
};
