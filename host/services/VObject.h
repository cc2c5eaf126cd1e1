// The project object model as plug-ins see it: reference-counted objects found by GUID.
#pragma once

#include "host/base/Guid.h"
#include "host/base/StdStr.h"

#include <cstdint>
#include <vector>

class IVObject
{
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    virtual const GUID& GetID() const = 0;
    virtual const CStdStr<wchar_t>& GetName() const = 0;
    // On an argument: appends the GUIDs of its possible values, in order, to the caller's empty vector.
    virtual void GetValueIDs(std::vector<GUID>& valueIDs) const = 0;
    // The parent in the project hierarchy, or null at the top. No reference passes to the caller.
    virtual IVObject* GetParent() const = 0;

    // Objects belong to their project, which deletes them; plug-ins only release references.
    virtual ~IVObject();
};

// One argument of a dialogue event, as the event lists it: 32 bytes beginning with the argument's GUID.
struct DialogueEventArgument
{
    GUID argumentID;
    std::uint8_t reserved[16] = {};
};
static_assert(sizeof(DialogueEventArgument) == 32);

class IVObjectReference
{
public:
    virtual GUID GetReferencedID() const = 0;
    virtual void Release() = 0;

protected:
    virtual ~IVObjectReference();
};

// Where references are resolved: a field of the project manager, passed by address.
struct ResolutionContext
{
    const void* pOwner = nullptr;
};

class IVTargetEntry
{
public:
    // Writes an owned reference to the entry's target into the slot, or null when the entry has none
    // or the context is not the project manager's.
    virtual bool GetTargetReference(IVObjectReference** ppReference,
                                    const ResolutionContext* pContext) const = 0;

    virtual ~IVTargetEntry();
};

class IVDialogueEvent : public IVObject
{
public:
    virtual const std::vector<DialogueEventArgument>& GetArguments() const = 0;
    virtual const std::vector<IVTargetEntry*>& GetTargetEntries() const = 0;
};
