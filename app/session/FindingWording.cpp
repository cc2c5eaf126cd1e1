#include "app/session/FindingWording.h"

#include "app/session/ControlIds.h"
#include "host/base/TextCodec.h"
#include "host/services/Project.h"

#include <algorithm>

namespace app
{

namespace
{

WordedFault Make(Fault fault, std::uint32_t statistics, std::vector<GUID> ids)
{
    WordedFault worded{fault, statistics, FindingWording::Sentence(fault), {}};
    for (const GUID& id : ids)
        worded.ids.push_back(guid::ToString(id));
    return worded;
}

} // namespace

bool FindingWording::ArgumentKeyLess::operator()(const ArgumentKey& a, const ArgumentKey& b) const
{
    const GUIDLess less;
    if (!(a.event == b.event))
        return less(a.event, b.event);
    if (a.position != b.position)
        return a.position < b.position;
    return less(a.value, b.value);
}

const char* FindingWording::Sentence(Fault fault)
{
    switch (fault)
    {
    case Fault::NullEvent:
        return "the event id is null";
    case Fault::MissingEvent:
        return "the event is missing from the project";
    case Fault::NoDialogueEvent:
        return "the object is no dialogue event";
    case Fault::ArgumentCount:
        return "the event has N arguments, the item M";
    case Fault::MissingValue:
        return "a chosen value is missing from the project";
    case Fault::UnlistedValue:
        return "a chosen value is not among its argument's values";
    case Fault::ArgumentListsMissing:
        return "the argument lists a value the project lacks";
    case Fault::Unexplained:
        break;
    }
    return "the item does not match the project";
}

bool FindingWording::Has(const GUID& id) const
{
    return !IsNullGuid(id) && m_project.Find(id) != nullptr;
}

std::vector<WordedFault> FindingWording::Word(const CaptureItem& item, std::uint32_t marked)
{
    std::vector<WordedFault> faults;
    const auto* pResolved = std::get_if<DialogueResolved>(&item);
    if (pResolved != nullptr && marked != 0)
    {
        // Every statistic looks the event up first, and stops at the first of these.
        const GUID& event = pResolved->event;
        const IVObject* const pObject = IsNullGuid(event) ? nullptr : m_project.Find(event);
        const auto* const pEvent = dynamic_cast<const IVDialogueEvent*>(pObject);
        if (IsNullGuid(event))
            faults.push_back(Make(Fault::NullEvent, stat::kAll & marked, {event}));
        else if (pObject == nullptr)
            faults.push_back(Make(Fault::MissingEvent, stat::kAll & marked, {event}));
        else if (pEvent == nullptr)
            faults.push_back(Make(Fault::NoDialogueEvent, stat::kAll & marked, {event}));
        else
        {
            std::vector<GUID> arguments;
            for (const DialogueEventArgument& argument : pEvent->GetArguments())
                arguments.push_back(argument.argumentID);
            if (arguments.size() != pResolved->values.size())
            {
                // Only the statistics that read the chosen values count them.
                WordedFault worded =
                    Make(Fault::ArgumentCount, (stat::kDistribution | stat::kPaths) & marked, {event});
                worded.what = "the event has " + std::to_string(arguments.size()) + " arguments, the item " +
                              std::to_string(pResolved->values.size());
                faults.push_back(std::move(worded));
            }
            else
                WordValues(*pResolved, arguments, marked, faults);
        }
    }
    std::erase_if(faults, [](const WordedFault& worded) { return worded.statistics == 0; });
    if (faults.empty() && marked != 0)
        faults.push_back(Make(Fault::Unexplained, marked, {}));
    return faults;
}

void FindingWording::WordValues(const DialogueResolved& item, const std::vector<GUID>& arguments,
                                std::uint32_t marked, std::vector<WordedFault>& faults)
{
    for (std::size_t position = 0; position < arguments.size(); ++position)
    {
        const GUID& value = item.values[position];
        // "Paths Used" names each chosen value, and meets a missing one at every item.
        if (!IsNullGuid(value) && !Has(value))
            faults.push_back(Make(Fault::MissingValue, stat::kPaths & marked, {item.event, value}));

        // The distribution skips an argument that the project lacks, until it has one.
        const IVObject* const pArgument =
            IsNullGuid(arguments[position]) ? nullptr : m_project.Find(arguments[position]);
        if (pArgument == nullptr)
            continue;
        std::vector<GUID> listed;
        pArgument->GetValueIDs(listed);
        if (m_initialised.insert({item.event, position, GUID_NULL}).second)
        {
            // The first time it counts the argument, it looks up every value the argument lists.
            std::vector<GUID> told;
            for (const GUID& listedValue : listed)
            {
                if (Has(listedValue) || std::find(told.begin(), told.end(), listedValue) != told.end())
                    continue;
                told.push_back(listedValue);
                faults.push_back(Make(Fault::ArgumentListsMissing, stat::kDistribution & marked,
                                      {item.event, arguments[position], listedValue}));
            }
        }
        const bool bListed =
            IsNullGuid(value) || std::find(listed.begin(), listed.end(), value) != listed.end();
        if (!bListed && m_unlisted.insert({item.event, position, value}).second)
            faults.push_back(Make(Fault::UnlistedValue, stat::kDistribution & marked, {item.event, value}));
    }
}

std::vector<std::string> StatisticNames(std::uint32_t statistics)
{
    std::vector<std::string> names;
    for (std::size_t index = 0; index < std::size(kQueryNames); ++index)
    {
        if ((statistics & (std::uint32_t{1} << index)) != 0)
            names.push_back(text::ToUtf8(kQueryNames[index]));
    }
    return names;
}

} // namespace app
