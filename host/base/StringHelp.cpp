#include "host/base/StringHelp.h"

namespace
{
std::map<std::wstring, std::wstring, std::less<>>& Table()
{
    static std::map<std::wstring, std::wstring, std::less<>> table;
    return table;
}
} // namespace

CStdStr<wchar_t> StringHelp::Localize(const wchar_t* text)
{
    if (text == nullptr)
        return {};
    const auto& table = Table();
    if (!table.empty())
    {
        if (const auto it = table.find(std::wstring_view(text)); it != table.end())
            return CStdStr<wchar_t>(it->second);
    }
    return CStdStr<wchar_t>(text);
}

void StringHelp::SetTable(std::map<std::wstring, std::wstring> table)
{
    Table() = {std::make_move_iterator(table.begin()), std::make_move_iterator(table.end())};
}
