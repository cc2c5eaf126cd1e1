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

    DECLARE_MESSAGE_MAP()

private:
    static bool HasCell(void* pCell) { return pCell != nullptr && pCell != kErrorData; }
};

BEGIN_TEMPLATE_MESSAGE_MAP(UITypedCombo, T, UIComboBox)
ON_WM_DESTROY()
END_MESSAGE_MAP()
