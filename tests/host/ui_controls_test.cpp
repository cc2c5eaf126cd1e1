// The host's combo box and object caption, and display scaling.
#include "host/services/Project.h"
#include "host/services/ProjectManager.h"
#include "host/ui/DialogTemplate.h"
#include "host/ui/ObjectCaption.h"
#include "host/ui/UIComboBox.h"
#include "host/ui/UISubClassingMgr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr UINT kCombo = 1004;
constexpr UINT kCaption = 1010;

RECT Rect(int x, int y, int cx, int cy)
{
    return RECT{x, y, x + cx, y + cy};
}

class CComboParent : public CWnd
{
public:
    UIComboBox* m_pCombo = nullptr;
    std::vector<int> m_selections;

    void OnSelChange() { m_selections.push_back(m_pCombo->GetCurSel()); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CComboParent, CWnd)
ON_CBN_SELCHANGE(kCombo, &CComboParent::OnSelChange)
END_MESSAGE_MAP()

GUID MakeGuid(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    return g;
}

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nBaseline = LiveWindowCount();
        ASSERT_TRUE(m_parent.CreateEx(0, WC_DIALOG, L"", WS_VISIBLE, Rect(0, 0, 400, 300), nullptr, 0));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        EXPECT_EQ(LiveWindowCount(), m_nBaseline);
    }

    // A control as a dialog template makes it: a window without an object of its own.
    CWnd* AddPlaceholder(UINT id, const wchar_t* text, DWORD style, const RECT& rect)
    {
        CWnd control;
        EXPECT_TRUE(control.CreateEx(0, WC_STATIC, text, WS_CHILD | style, rect, &m_parent, id));
        return CWnd::FromHandle(control.Detach());
    }

    CComboParent m_parent;
    std::size_t m_nBaseline = 0;
};
} // namespace

TEST_F(ControlsTest, ComboReplacesItsPlaceholderAndNotifiesSelections)
{
    CWnd* pAbove = AddPlaceholder(1, L"", WS_VISIBLE, Rect(0, 0, 5, 5));
    AddPlaceholder(kCombo, L"Class=Combo", WS_VISIBLE | WS_TABSTOP, Rect(7, 9, 259, 24));
    CWnd* pBelow = AddPlaceholder(2, L"", WS_VISIBLE, Rect(0, 0, 5, 5));
    UIComboBox combo;
    m_parent.m_pCombo = &combo;
    ASSERT_TRUE(combo.ReplaceStaticPlaceHolder(&m_parent, kCombo));
    EXPECT_EQ(m_parent.GetDlgItem(kCombo), &combo);
    EXPECT_EQ(m_parent.GetChildren(), (std::vector<CWnd*>{pAbove, &combo, pBelow}));
    EXPECT_EQ(combo.GetRectInParent(), Rect(7, 9, 259, 24));
    EXPECT_EQ(combo.GetClassName(), WC_COMBOBOX);
    EXPECT_TRUE(combo.IsWindowVisible());
    EXPECT_TRUE(combo.GetStyle() & WS_TABSTOP);
    UIComboBox second;
    EXPECT_FALSE(second.ReplaceStaticPlaceHolder(&m_parent, 4242));
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);

    EXPECT_EQ(combo.AddString(nullptr, 0), CB_ERR);
    EXPECT_EQ(combo.AddString(L"one", UIComboBox::NormalTextColor()), 0);
    EXPECT_EQ(combo.AddString(L"two", RGB(200, 0, 0)), 1);
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.SetCurSel(2), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), -1) << "a bad index leaves nothing selected";
    EXPECT_TRUE(m_parent.m_selections.empty());
    combo.SelectByUser(0);
    combo.SetCurSel(1, true);
    EXPECT_EQ(m_parent.m_selections, (std::vector<int>{0, 1}));

    int data = 0;
    EXPECT_EQ(combo.GetItemDataPtr(0), nullptr);
    EXPECT_EQ(combo.SetItemDataPtr(0, &data), 0);
    EXPECT_EQ(combo.GetItemDataPtr(0), &data);
    EXPECT_EQ(combo.SetItemDataPtr(5, &data), CB_ERR);
    EXPECT_EQ(combo.GetItemDataPtr(5), UIComboBox::kErrorData);
    EXPECT_EQ(combo.GetItemDataPtr(-1), UIComboBox::kErrorData);
    EXPECT_EQ(combo.GetLBText(7), L"");

    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), -1);
}

TEST_F(ControlsTest, SortOrdersWithoutCaseThenByCodeUnitsAndEntriesKeepTheirData)
{
    UIComboBox combo;
    struct Item
    {
        const wchar_t* text;
        COLORREF color;
    };
    // U+1F600 sorts as its surrogate pair, below the fullwidth letters of U+FF21.
    const std::vector<Item> items = {{L"beta", 1}, {L"alpha", 2},      {L"\uFF21", 3}, {L"Alpha", 4},
                                     {L"Beta", 5}, {L"\U0001F600", 6}, {L"alp", 7},    {L"None", 8}};
    std::vector<int> cells(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        const int index = combo.AddString(items[i].text, items[i].color);
        ASSERT_EQ(index, static_cast<int>(i));
        combo.SetItemDataPtr(index, &cells[i]);
    }
    combo.SetCurSel(7);
    combo.Sort(0);

    std::vector<std::wstring> texts;
    for (int i = 0; i < combo.GetCount(); ++i)
    {
        texts.push_back(combo.GetLBText(i));
        // Colour and data travel with their text.
        const auto original =
            static_cast<std::size_t>(static_cast<int*>(combo.GetItemDataPtr(i)) - cells.data());
        EXPECT_EQ(texts.back(), items[original].text);
        EXPECT_EQ(combo.GetTextColor(i), items[original].color);
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"alp", L"Alpha", L"alpha", L"Beta", L"beta", L"None",
                                                L"\U0001F600", L"\uFF21"}));
    EXPECT_EQ(combo.GetLBText(combo.GetCurSel()), L"None");

    combo.SetCurSel(-1);
    combo.Sort(0);
    EXPECT_EQ(combo.GetCurSel(), -1);
}

TEST_F(ControlsTest, CaptionShowsTheObjectsNameAndReleasesItsReference)
{
    Project project;
    ASSERT_NE(project.AddObject(MakeGuid(1), L"Greeting"), nullptr);
    ProjectManager manager;
    manager.SetProject(&project);
    ProjectManager* const pPrevious = ProjectManager::m_pInstance;
    ProjectManager::m_pInstance = &manager;

    AddPlaceholder(kCaption, L"Static", WS_VISIBLE, Rect(10, 10, 100, 15));
    {
        VObjectTextUICaption caption(project.Find(MakeGuid(1)), 0, 1, false);
        ASSERT_TRUE(caption.BindToPlaceHolder(m_parent.GetDlgItem(kCaption)));
        EXPECT_EQ(m_parent.GetDlgItem(kCaption), &caption);
        EXPECT_EQ(caption.GetRectInParent(), Rect(10, 10, 100, 15));
        EXPECT_EQ(caption.GetWindowText(), L"Greeting");

        caption.SetObjectID(MakeGuid(2));
        EXPECT_EQ(caption.GetWindowText(), L"");
        EXPECT_EQ(caption.GetObjectID(), MakeGuid(2));
        caption.SetObjectID(MakeGuid(1));
        EXPECT_EQ(caption.GetWindowText(), L"Greeting");
        caption.SetObjectID(GUID_NULL);
        EXPECT_EQ(caption.GetWindowText(), L"");
        EXPECT_EQ(project.OutstandingReferences(), 0);
        EXPECT_FALSE(caption.BindToPlaceHolder(nullptr));
    }
    // The caption took the window with it.
    EXPECT_EQ(m_parent.GetDlgItem(kCaption), nullptr);

    ProjectManager::m_pInstance = pPrevious;
}

TEST(ScalingTest, ScaleToDpiRoundsToTheNearestPixel)
{
    EXPECT_EQ(UISubClassingMgr::ScaleToDpi(20), 20);
    UISubClassingMgr::SetScalePercent(125);
    EXPECT_EQ(UISubClassingMgr::ScaleToDpi(10), 13);
    EXPECT_EQ(UISubClassingMgr::ScaleToDpi(2), 3);
    EXPECT_EQ(UISubClassingMgr::ScaleToDpi(-2), -3);
    UISubClassingMgr::SetScalePercent(150);
    EXPECT_EQ(UISubClassingMgr::ScaleToDpi(7), 11);
    EXPECT_EQ(GetDialogBaseUnits(L"segoe ui", 9).cy, 23);
    UISubClassingMgr::SetScalePercent(100);
    EXPECT_EQ(GetDialogBaseUnits(L"MS Shell Dlg", 8).cx, 6);
}
