// The list window's rows as its users see them: counted references to shown rows, by index or by
// the user's selection.
#pragma once

#include "host/ui/Wnd.h"

#include <utility>
#include <vector>

// A counted reference to one shown row.
class NyLcRow
{
public:
    explicit NyLcRow(const void* pData);

    const void* GetData() const { return m_pData; }
    void AddRef() { ++m_nRefs; }
    void Release();

    // Row references not yet released, for leak checks.
    static long LiveCount();

private:
    ~NyLcRow();

    const void* m_pData;
    int m_nRefs = 0;
};

template <class T> class CSmartPtr
{
public:
    CSmartPtr() = default;
    CSmartPtr(T* p) : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CSmartPtr(const CSmartPtr& other) : CSmartPtr(other.m_p) {}
    CSmartPtr(CSmartPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    CSmartPtr& operator=(CSmartPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~CSmartPtr()
    {
        if (m_p)
            m_p->Release();
    }

    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// The rows a list window shows and the user's selection among them.
class NyListCtrl : public CWnd
{
public:
    // The row shown at the index (filter scope 0: among the rows that pass the filters); null past
    // the end.
    CSmartPtr<NyLcRow> GetRow(int index, int filterScope);
    // Appends a reference to every selected row, in shown order.
    void GetSelectedRows(std::vector<CSmartPtr<NyLcRow>>& rows);
    int GetItemCount();

protected:
    // The shown rows, brought up to date first.
    virtual const std::vector<const void*>& ShownRows() = 0;

    // Selected rows, in shown order.
    std::vector<const void*> m_selection;
};
