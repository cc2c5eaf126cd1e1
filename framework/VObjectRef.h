// One reference to a project object, dropped when the holder goes out of scope.
#pragma once

#include "host/services/ProjectManager.h"

#include <utility>

template <class T> class VObjectRef
{
public:
    VObjectRef() = default;
    // Takes over a reference the caller already holds.
    explicit VObjectRef(T* pObject) : m_pObject(pObject) {}
    VObjectRef(VObjectRef&& other) noexcept : m_pObject(std::exchange(other.m_pObject, nullptr)) {}
    VObjectRef& operator=(VObjectRef&& other) noexcept
    {
        Reset(std::exchange(other.m_pObject, nullptr));
        return *this;
    }
    VObjectRef(const VObjectRef&) = delete;
    VObjectRef& operator=(const VObjectRef&) = delete;
    ~VObjectRef() { Reset(); }

    static VObjectRef Lookup(const GUID& id) { return VObjectRef(priv::LookupVObject(id)); }

    T* get() const { return m_pObject; }
    T& operator*() const { return *m_pObject; }
    T* operator->() const { return m_pObject; }
    explicit operator bool() const { return m_pObject != nullptr; }

    void Reset(T* pObject = nullptr)
    {
        if (m_pObject)
            priv::ReleaseObject(m_pObject);
        m_pObject = pObject;
    }
    T* Release() { return std::exchange(m_pObject, nullptr); }

private:
    T* m_pObject = nullptr;
};
