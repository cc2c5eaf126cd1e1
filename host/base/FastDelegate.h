// A bound member-function delegate: an object and one of its member functions. Two delegates compare
// equal when they name the same object and the same member, which is how a subscriber is found again.
#pragma once

#include <array>
#include <cstring>
#include <type_traits>

namespace fastdelegate
{

template <class Signature> class FastDelegate;

template <class R, class... Args> class FastDelegate<R(Args...)>
{
public:
    FastDelegate() = default;

    template <class C>
    FastDelegate(C* pObject, R (C::*method)(Args...)) : m_pObject(pObject), m_pInvoke(&Invoke<C>)
    {
        using Method = R (C::*)(Args...);
        static_assert(sizeof(Method) <= sizeof(m_method));
        std::memcpy(m_method.data(), &method, sizeof(Method));
    }

    R operator()(Args... args) const { return m_pInvoke(m_pObject, m_method.data(), args...); }

    explicit operator bool() const { return m_pInvoke != nullptr; }
    bool empty() const { return m_pInvoke == nullptr; }

    friend bool operator==(const FastDelegate& a, const FastDelegate& b)
    {
        return a.m_pObject == b.m_pObject && a.m_pInvoke == b.m_pInvoke && a.m_method == b.m_method;
    }

private:
    using Thunk = R (*)(void*, const unsigned char*, Args...);

    template <class C> static R Invoke(void* pObject, const unsigned char* pMethod, Args... args)
    {
        R (C::*method)(Args...);
        std::memcpy(&method, pMethod, sizeof(method));
        return (static_cast<C*>(pObject)->*method)(args...);
    }

    void* m_pObject = nullptr;
    Thunk m_pInvoke = nullptr;
    std::array<unsigned char, 2 * sizeof(void*)> m_method{};
};

template <class C, class R, class... Args>
FastDelegate<R(Args...)> MakeDelegate(C* pObject, R (C::*method)(Args...))
{
    return FastDelegate<R(Args...)>(pObject, method);
}

} // namespace fastdelegate
