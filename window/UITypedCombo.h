// A combo box that keeps one value of type T with each entry, in a heap cell that the combo owns.
#pragma once

#include "host/ui/UIComboBox.h"

template <class T> class UITypedCombo : public UIComboBox
{
public:
    UITypedCombo() : UIComboBox(false) {}
    ~UITypedCombo() override = default;

    // The entry's value; a null T when the entry has no cell.
    T GetItemData(int index) const
    {
        void* pCell = GetItemDataPtr(index);
        if (!HasCell(pCell))
            return T{};
        return *static_cast<T*>(pCell);
    }

    void SetItemData(int index, const T& value)
    {
        void* pOld = GetItemDataPtr(index);
        if (SetItemDataPtr(index, new T(value)) >= 0 && HasCell(pOld))
            delete static_cast<T*>(pOld);
    }

protected:
    void OnDestroy()
    {
        for (int index = GetCount() - 1; index >= 0; --index)
        {
            void* pCell = GetItemDataPtr(index);
            if (HasCell(pCell))
                delete static_cast<T*>(pCell);
        }
        ResetContent();
    }

    static const AFX_MSGMAP* GetThisMessageMap()
    {
        using ThisClass = UITypedCombo;
        static const AFX_MSGMAP_ENTRY messageEntries[] = {
            ON_WM_DESTROY(){0, 0, 0, AfxSig_end, nullptr},
        };
        static const AFX_MSGMAP messageMap = {&UIComboBox::GetThisMessageMap, &messageEntries[0]};
        return &messageMap;
    }
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }

private:
    static bool HasCell(void* pCell) { return pCell != nullptr && pCell != kErrorData; }
};
