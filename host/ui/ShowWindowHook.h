// A hook on ShowWindow, as a window system offers its host: while a hook lives, it hears every call
// that shows or hides a window, with the window and the command, before the call returns.
#pragma once

#include "host/base/WinTypes.h"

#include <functional>

class ShowWindowHook
{
public:
    using Callback = std::function<void(HWND hWnd, int nCmdShow)>;

    // Hooks in for the lifetime of the object; hooks hear the calls in the order they were made.
    explicit ShowWindowHook(Callback callback);
    ~ShowWindowHook();
    ShowWindowHook(const ShowWindowHook&) = delete;
    ShowWindowHook& operator=(const ShowWindowHook&) = delete;

    // Called by the window layer on every ShowWindow of a live window.
    static void Notify(HWND hWnd, int nCmdShow);

private:
    Callback m_callback;
};
