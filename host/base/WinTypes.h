// Basic value types of the window system and of the host libraries' interfaces.
#pragma once

#include <cstdint>

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;
using DWORD_PTR = std::uintptr_t;

struct RECT
{
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    friend bool operator==(const RECT&, const RECT&) = default;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct SIZE
{
    LONG cx = 0;
    LONG cy = 0;

    friend bool operator==(const SIZE&, const SIZE&) = default;
};

struct POINT
{
    LONG x = 0;
    LONG y = 0;
};

inline BOOL SetRect(LPRECT pRect, int left, int top, int right, int bottom)
{
    if (pRect == nullptr)
        return FALSE;
    *pRect = RECT{left, top, right, bottom};
    return TRUE;
}

// A rectangle with the accessors window code reads most.
class CRect : public RECT
{
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
};

// Opaque handles. A window handle names a node of the headless window tree; a module handle names a
// table of resources (dialog templates, the manifest).
struct HWND__;
using HWND = HWND__*;
class ResourceModule;
using HINSTANCE = ResourceModule*;
