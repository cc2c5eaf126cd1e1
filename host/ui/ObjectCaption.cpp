#include "host/ui/ObjectCaption.h"

#include "host/services/ProjectManager.h"

void VObjectTextBase::SetObjectID(const GUID& id)
{
    m_objectID = id;
    CStdStr<wchar_t> name;
    if (!IsNullGuid(id))
    {
        if (IVObject* pObject = priv::LookupVObject(id))
        {
            name = pObject->GetName();
            priv::ReleaseObject(pObject);
        }
    }
    if (m_hWnd != nullptr)
        SetWindowText(name.c_str());
}

VObjectTextUICaption::VObjectTextUICaption(IVObject* pObject, int /*textType*/, int /*style*/,
                                           bool /*bEditable*/)
{
    if (pObject != nullptr)
        m_objectID = pObject->GetID();
}

BOOL VObjectTextUICaption::BindToPlaceHolder(CWnd* pPlaceHolder)
{
    if (pPlaceHolder == nullptr || !SubclassWindow(pPlaceHolder->GetSafeHwnd()))
        return FALSE;
    // The placeholder's template text is not a name: show the caption's object, or nothing.
    SetObjectID(m_objectID);
    return TRUE;
}
