#include "host/ui/UIComboBox.h"

#include "host/base/TextCodec.h"
#include "host/ui/DialogTemplate.h"

#include <algorithm>
#include <numeric>

UIComboBox::UIComboBox(bool bOwnerDraw) : m_bOwnerDraw(bOwnerDraw) {}

UIComboBox::~UIComboBox() = default;

BOOL UIComboBox::ReplaceStaticPlaceHolder(CWnd* pParent, UINT nIDPlaceHolder)
{
    if (pParent == nullptr || m_hWnd != nullptr)
        return FALSE;
    CWnd* pHolder = pParent->GetDlgItem(static_cast<int>(nIDPlaceHolder));
    if (pHolder == nullptr)
        return FALSE;
    const RECT rect = pHolder->GetRectInParent();
    // The placeholder's visibility, enabled state and tab order carry over to the combo.
    const DWORD kept = pHolder->GetStyle() & (WS_VISIBLE | WS_DISABLED | WS_GROUP | WS_TABSTOP);
    DWORD style = WS_CHILD | CBS_DROPDOWNLIST | kept;
    if (m_bOwnerDraw)
        style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;

    const std::vector<CWnd*> siblings = pParent->GetChildren();
    const auto it = std::ranges::find(siblings, pHolder);
    const CWnd* pAbove = it != siblings.begin() ? *(it - 1) : nullptr;
    if (!CreateEx(0, WC_COMBOBOX, L"", style, rect, pParent, nIDPlaceHolder))
        return FALSE;
    SetWindowPos(pAbove, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    pHolder->DestroyWindow();
    return TRUE;
}

COLORREF UIComboBox::NormalTextColor()
{
    return RGB(0, 0, 0);
}

int UIComboBox::AddString(const wchar_t* text, COLORREF textColor)
{
    if (text == nullptr)
        return CB_ERR;
    m_entries.push_back(Entry{text, textColor, nullptr});
    return static_cast<int>(m_entries.size()) - 1;
}

int UIComboBox::GetCount() const
{
    return static_cast<int>(m_entries.size());
}

int UIComboBox::GetCurSel() const
{
    return m_nCurSel;
}

int UIComboBox::SetCurSel(int index, bool bNotify)
{
    const bool bValid = index >= 0 && index < GetCount();
    m_nCurSel = bValid ? index : -1;
    if (bNotify)
        SendCommandToParent(this, CBN_SELCHANGE);
    return bValid ? index : CB_ERR;
}

CStdStr<wchar_t> UIComboBox::GetLBText(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    return CStdStr<wchar_t>(m_entries[static_cast<std::size_t>(index)].text);
}

COLORREF UIComboBox::GetTextColor(int index) const
{
    if (index < 0 || index >= GetCount())
        return NormalTextColor();
    return m_entries[static_cast<std::size_t>(index)].color;
}

int UIComboBox::SetItemDataPtr(int index, void* pData)
{
    if (index < 0 || index >= GetCount())
        return CB_ERR;
    m_entries[static_cast<std::size_t>(index)].pData = pData;
    return 0;
}

void* UIComboBox::GetItemDataPtr(int index) const
{
    if (index < 0 || index >= GetCount())
        return kErrorData;
    return m_entries[static_cast<std::size_t>(index)].pData;
}

void UIComboBox::Sort(int /*flags: no variant of the order is used*/)
{
    std::vector<std::wstring> folded;
    folded.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        folded.push_back(text::FoldCase(entry.text));

    std::vector<std::size_t> order(m_entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::stable_sort(order,
                             [&](std::size_t a, std::size_t b)
                             {
                                 if (const int byFolded = text::CompareUtf16(folded[a], folded[b]);
                                     byFolded != 0)
                                     return byFolded < 0;
                                 return text::CompareUtf16(m_entries[a].text, m_entries[b].text) < 0;
                             });

    std::vector<Entry> sorted;
    sorted.reserve(m_entries.size());
    int newSel = -1;
    for (std::size_t i = 0; i < order.size(); ++i)
    {
        sorted.push_back(std::move(m_entries[order[i]]));
        if (static_cast<int>(order[i]) == m_nCurSel)
            newSel = static_cast<int>(i);
    }
    m_entries = std::move(sorted);
    m_nCurSel = newSel;
}

void UIComboBox::ResetContent()
{
    m_entries.clear();
    m_nCurSel = -1;
}
