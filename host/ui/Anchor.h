// Anchor layout: controls keep their distances to the anchored edges of their parent when it resizes.
#pragma once

#include "host/base/WinTypes.h"

#include <functional>
#include <vector>

class CWnd;

enum AnchorFlags : int
{
    ANCHOR_LEFT = 1,
    ANCHOR_TOP = 2,
    ANCHOR_RIGHT = 4,
    ANCHOR_BOTTOM = 8,
    // 7: follow the width, keep the height. 15: follow width and height.
};

class Anchor
{
public:
    using Callback = std::function<void(CWnd*)>;

    // Starts a layout on the window; its client size now is the reference size.
    void Init(CWnd* pParent);
    void Term();
    // Records the control's rectangle relative to the parent's client area now. With a box, the
    // control follows the box's size instead of the parent's. The callback runs after each layout of
    // the control. On a layout not started yet, starts one on the control's parent.
    void AddControl(CWnd* pControl, int flags, CWnd* pParentBox = nullptr, Callback callback = {});
    // Lays the controls out for the new client size. Controls whose windows are gone are skipped.
    void OnSize(int cx, int cy);

    bool IsActive() const { return m_pParent != nullptr; }
    std::size_t ControlCount() const { return m_controls.size(); }

private:
    // Windows are kept by handle: a control may be destroyed while the layout still lists it.
    struct Item
    {
        HWND hControl;
        HWND hBox;
        int flags;
        RECT rect;
        SIZE parentSize;
        Callback callback;
    };
    CWnd* m_pParent = nullptr;
    std::vector<Item> m_controls;
};
