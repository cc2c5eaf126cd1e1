// The host's combo box: entries with a text colour and an item-data pointer.
#pragma once

#include "host/ui/Wnd.h"

#include <string>
#include <vector>

class UIComboBox : public CWnd
{
public:
    // The value GetItemDataPtr returns for an index that has no entry.
    static inline void* const kErrorData = reinterpret_cast<void*>(~std::uintptr_t{0});

    explicit UIComboBox(bool bOwnerDraw = false);
    ~UIComboBox() override;

    // Creates the combo in place of the static placeholder with that id: same rectangle, same place
    // among the siblings, same control id; the placeholder is destroyed.
    BOOL ReplaceStaticPlaceHolder(CWnd* pParent, UINT nIDPlaceHolder);

    static COLORREF NormalTextColor();

    // The index of the new entry (at the end), or a negative value when it cannot be added.
    int AddString(const wchar_t* text, COLORREF textColor);
    int GetCount() const;
    int GetCurSel() const;
    // Selects the entry (-1 or a bad index: none, and CB_ERR returned); with bNotify the parent gets
    // CBN_SELCHANGE as after a user's choice.
    int SetCurSel(int index, bool bNotify = false);
    CStdStr<wchar_t> GetLBText(int index) const;
    COLORREF GetTextColor(int index) const;
    int SetItemDataPtr(int index, void* pData);
    void* GetItemDataPtr(int index) const;
    // Orders the entries by their text (case-insensitive, then by UTF-16 code units); data and colours
    // stay with their entries and the selection follows its entry. Equal texts keep their order. The
    // flags select no variant yet.
    void Sort(int flags);
    void ResetContent();

    // A user's choice: selects the entry and notifies the parent.
    void SelectByUser(int index) { SetCurSel(index, true); }

private:
    struct Entry
    {
        std::wstring text;
        COLORREF color;
        void* pData;
    };
    std::vector<Entry> m_entries;
    int m_nCurSel = -1;
    bool m_bOwnerDraw;
};
