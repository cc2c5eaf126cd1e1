// The hook on ShowWindow: it hears every showing and hiding of a live window while it lives, already
// visible windows included, and nothing once it is gone.
#include "host/ui/ShowWindowHook.h"
#include "host/ui/Wnd.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

TEST(ShowWindowHook, HearsEveryShowingWhileItLives)
{
    CWnd parent;
    parent.CreateEx(0, L"Frame", L"", WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0);
    CWnd child;
    child.CreateEx(0, L"static", L"", 0, RECT{0, 0, 10, 10}, &parent, 7);

    std::vector<std::pair<HWND, int>> heard;
    std::optional<ShowWindowHook> hook(std::in_place,
                                       [&](HWND hWnd, int nCmdShow) { heard.emplace_back(hWnd, nCmdShow); });
    std::vector<int> second;
    {
        const ShowWindowHook other([&](HWND, int nCmdShow) { second.push_back(nCmdShow); });
        child.ShowWindow(SW_SHOW);
        // Showing a window that is shown already is a call all the same.
        child.ShowWindow(SW_SHOW);
    }
    child.ShowWindow(SW_HIDE);
    const std::vector<std::pair<HWND, int>> expected = {
        {child.GetSafeHwnd(), SW_SHOW}, {child.GetSafeHwnd(), SW_SHOW}, {child.GetSafeHwnd(), SW_HIDE}};
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(second, (std::vector<int>{SW_SHOW, SW_SHOW}));

    hook.reset();
    child.ShowWindow(SW_SHOW);
    EXPECT_EQ(heard.size(), 3u);

    // A destroyed window shows nothing, so nothing is heard.
    hook.emplace([&](HWND hWnd, int nCmdShow) { heard.emplace_back(hWnd, nCmdShow); });
    child.DestroyWindow();
    child.ShowWindow(SW_SHOW);
    EXPECT_EQ(heard.size(), 3u);
    parent.DestroyWindow();
}
