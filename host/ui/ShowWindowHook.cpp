#include "host/ui/ShowWindowHook.h"

#include <algorithm>
#include <vector>

namespace
{
// Windows are shown on the one thread of the windows, so the list needs no lock.
std::vector<const ShowWindowHook*>& Hooks()
{
    static std::vector<const ShowWindowHook*> hooks;
    return hooks;
}
} // namespace

ShowWindowHook::ShowWindowHook(Callback callback) : m_callback(std::move(callback))
{
    Hooks().push_back(this);
}

ShowWindowHook::~ShowWindowHook()
{
    std::erase(Hooks(), this);
}

void ShowWindowHook::Notify(HWND hWnd, int nCmdShow)
{
    for (const ShowWindowHook* pHook : Hooks())
        pHook->m_callback(hWnd, nCmdShow);
}
