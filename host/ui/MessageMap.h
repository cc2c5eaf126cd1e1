// Message maps: a static table per class of (message, notification code, control id, handler),
// linked to the base class's table. Entries of a derived class stand over those of its bases.
#pragma once

#include "host/base/WinTypes.h"

#include "host/ui/Messages.h"
#include <bit>

class CWnd;

// Handler signatures that the tables can hold.
enum AfxSig : int
{
    AfxSig_end = 0,
    AfxSig_vv,       // void ()                 WM_DESTROY, BN_CLICKED, CBN_SELCHANGE
    AfxSig_vwii,     // void (UINT, int, int)   WM_SIZE
    AfxSig_vNMHDRpl, // void (NMHDR*, LRESULT*) WM_NOTIFY
    AfxSig_lwl,      // LRESULT (WPARAM, LPARAM) any message
};

using AFX_PMSG = void (CWnd::*)();

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    int nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace msgmap
{
template <class T> AFX_PMSG Void(void (T::*pfn)())
{
    return static_cast<AFX_PMSG>(pfn);
}
template <class T> AFX_PMSG Size(void (T::*pfn)(UINT, int, int))
{
    return std::bit_cast<AFX_PMSG>(static_cast<void (CWnd::*)(UINT, int, int)>(pfn));
}
template <class T> AFX_PMSG Notify(void (T::*pfn)(NMHDR*, LRESULT*))
{
    return std::bit_cast<AFX_PMSG>(static_cast<void (CWnd::*)(NMHDR*, LRESULT*)>(pfn));
}
template <class T> AFX_PMSG Message(LRESULT (T::*pfn)(WPARAM, LPARAM))
{
    return std::bit_cast<AFX_PMSG>(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn));
}
} // namespace msgmap

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                        \
    {                                                                                                        \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                          \
    {                                                                                                        \
        using ThisClass = theClass;                                                                          \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

// The same for a class template: BEGIN_TEMPLATE_MESSAGE_MAP(UITypedCombo, T, UIComboBox). Its tables are
// statics of templates, which g++ marks unique unless the library is built with -fno-gnu-unique.
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, typeName, baseClass)                                            \
    template <typename typeName> const AFX_MSGMAP* theClass<typeName>::GetMessageMap() const                 \
    {                                                                                                        \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    template <typename typeName> const AFX_MSGMAP* theClass<typeName>::GetThisMessageMap()                   \
    {                                                                                                        \
        using ThisClass = theClass<typeName>;                                                                \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {                                                                                                        \
        0, 0, 0, AfxSig_end, nullptr                                                                         \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};             \
    return &messageMap;                                                                                      \
    }

#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, AfxSig_vv, msgmap::Void<ThisClass>(&ThisClass::OnDestroy)},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, AfxSig_vwii, msgmap::Size<ThisClass>(&ThisClass::OnSize)},
#define ON_BN_CLICKED(id, memberFxn)                                                                         \
    {WM_COMMAND, BN_CLICKED, (id), AfxSig_vv, msgmap::Void<ThisClass>(memberFxn)},
#define ON_CBN_SELCHANGE(id, memberFxn)                                                                      \
    {WM_COMMAND, CBN_SELCHANGE, (id), AfxSig_vv, msgmap::Void<ThisClass>(memberFxn)},
#define ON_NOTIFY(code, id, memberFxn)                                                                       \
    {WM_NOTIFY, (code), (id), AfxSig_vNMHDRpl, msgmap::Notify<ThisClass>(memberFxn)},
#define ON_MESSAGE(message, memberFxn) {(message), 0, 0, AfxSig_lwl, msgmap::Message<ThisClass>(memberFxn)},
