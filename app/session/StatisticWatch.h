// Which statistics marked themselves out of sync while one item was handled, heard from the plug-in
// itself: one view per statistic, each in a container window of its own and showing that statistic,
// so that each statistic has a dialog as its owner; the dialog shows its warning every time its
// statistic marks itself, and a hook on the window layer hears each showing.
#pragma once

#include "app/session/HostSession.h"
#include "host/ui/ShowWindowHook.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace app
{

// Statistics by their place in the watched list: bit i is the i-th statistic.
using StatisticSet = std::uint32_t;

class StatisticWatch
{
public:
    // Opens a view per statistic and selects it there. Watch before the items are logged; every
    // statistic named must be one the selector offers.
    StatisticWatch(HostSession& session, const std::vector<std::wstring>& statistics);
    // Closes the views as the host does when the user closes them.
    ~StatisticWatch();
    StatisticWatch(const StatisticWatch&) = delete;
    StatisticWatch& operator=(const StatisticWatch&) = delete;

    // Those that marked themselves since the last call, and forgets them.
    StatisticSet TakeMarked()
    {
        const StatisticSet marked = m_marked;
        m_marked = 0;
        return marked;
    }

    // Whether every view opened and shows its statistic.
    bool Watching() const { return m_bWatching; }

private:
    class View;

    void OnShowWindow(HWND hWnd, int nCmdShow);

    std::vector<std::unique_ptr<View>> m_views;
    // The warning control of each view's dialog, in the order of the statistics.
    std::vector<HWND> m_warnings;
    StatisticSet m_marked = 0;
    bool m_bWatching = true;
    ShowWindowHook m_hook;
};

} // namespace app
