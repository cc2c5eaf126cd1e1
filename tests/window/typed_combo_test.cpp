#include "host/ui/UIComboBox.h"
#include "window/UITypedCombo.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

// Values that tell how many of their copies are alive.
using Tracked = std::shared_ptr<int>;

TEST(UITypedCombo, CellsHoldTheValuesAndAreFreedWithTheWindow)
{
    const Tracked value = std::make_shared<int>(7);
    CWnd parent;
    parent.CreateEx(0, L"Parent", L"", WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0);
    UITypedCombo<Tracked> combo;
    combo.CreateEx(0, L"ComboBox", L"", WS_VISIBLE, CRect(0, 0, 150, 20), &parent, 1004);
    for (int i = 0; i < 4; ++i)
        combo.AddString(L"entry", UIComboBox::NormalTextColor());
    combo.SetItemData(0, value);
    combo.SetItemData(1, value);
    combo.SetItemData(1, value);
    EXPECT_EQ(value.use_count(), 3);
    EXPECT_EQ(*combo.GetItemData(0), 7);

    // No cell, an error cell, no entry: a null value, and nothing freed for them on destruction.
    combo.SetItemDataPtr(2, UIComboBox::kErrorData);
    EXPECT_EQ(combo.GetItemData(2), nullptr);
    EXPECT_EQ(combo.GetItemData(3), nullptr);
    EXPECT_EQ(combo.GetItemData(9), nullptr);

    parent.DestroyWindow();
    EXPECT_EQ(value.use_count(), 1);
    EXPECT_EQ(combo.GetCount(), 0);
}

} // namespace
