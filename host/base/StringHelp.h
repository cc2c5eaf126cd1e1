// Texts shown to the user go through Localize; the table is empty (identity) until a host installs one.
#pragma once

#include "host/base/StdStr.h"

#include <map>
#include <string>

class StringHelp
{
public:
    static CStdStr<wchar_t> Localize(const wchar_t* text);

    // Installs a translation table; texts it lacks stay as they are.
    static void SetTable(std::map<std::wstring, std::wstring> table);
};
