#include "host/services/VObject.h"

IVObject::~IVObject() = default;
IVObjectReference::~IVObjectReference() = default;
IVTargetEntry::~IVTargetEntry() = default;
