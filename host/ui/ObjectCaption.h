// A caption that shows the name of a project object.
#pragma once

#include "host/base/Guid.h"
#include "host/ui/Wnd.h"

class IVObject;

class VObjectTextBase : public CWnd
{
public:
    // Shows the name of the object with that GUID; GUID_NULL or an object the project lacks shows
    // nothing. Without a window the GUID is kept and shown once the caption is bound.
    void SetObjectID(const GUID& id);
    const GUID& GetObjectID() const { return m_objectID; }

protected:
    GUID m_objectID = GUID_NULL;
};

class VObjectTextUICaption : public VObjectTextBase
{
public:
    VObjectTextUICaption(IVObject* pObject, int textType, int style, bool bEditable);

    // Takes over the placeholder window: same window, id and place; this object now handles it and
    // shows its object's name in place of the template's text.
    BOOL BindToPlaceHolder(CWnd* pPlaceHolder);
};
