#include "framework/MonitoringItemReader.h"

namespace items
{

VObjectRef<IVDialogueEvent> LookupDialogueEvent(const GUID& eventID)
{
    auto object = VObjectRef<IVObject>::Lookup(eventID);
    auto* pEvent = dynamic_cast<IVDialogueEvent*>(object.get());
    if (pEvent == nullptr)
        return {};
    object.Release();
    return VObjectRef<IVDialogueEvent>(pEvent);
}

VObjectRef<IVDialogueEvent> JudgeResolution(const DialogueResolvedItem& item, bool bCheckArguments)
{
    const GUID eventID = item.GetObjectID();
    if (IsNullGuid(eventID))
        return {};
    auto event = LookupDialogueEvent(eventID);
    if (!event)
        return {};
    if (bCheckArguments && event->GetArguments().size() != item.GetArgumentCount())
        return {};
    return event;
}

} // namespace items
