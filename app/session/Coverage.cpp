#include "app/session/Coverage.h"

#include "host/base/TextCodec.h"

#include <algorithm>
#include <map>
#include <string>

namespace app
{

namespace
{

using formats::KeyPart;
using formats::StatisticTable;

const StatisticTable* Find(std::span<const StatisticTable> statistics, std::string_view name)
{
    const auto found = std::find_if(statistics.begin(), statistics.end(),
                                    [&](const StatisticTable& table) { return table.name == name; });
    return found == statistics.end() ? nullptr : &*found;
}

// The counts of a table by row key, or by value-line key.
using Counts = std::map<std::vector<KeyPart>, std::uint64_t>;

// The exact count under the column of that title.
std::uint64_t Counter(const std::vector<formats::Cell>& cells, std::string_view title,
                      const std::vector<formats::Column>& columns)
{
    for (std::size_t column = 0; column < columns.size() && column < cells.size(); ++column)
    {
        if (columns[column].title == title)
            return cells[column].counter;
    }
    return 0;
}

Counts RowCounts(const StatisticTable* pTable, std::string_view column)
{
    Counts counts;
    if (pTable == nullptr)
        return counts;
    for (const formats::Row& row : pTable->rows)
        counts[row.key] += Counter(row.cells, column, pTable->columns);
    return counts;
}

Counts ValueCounts(const StatisticTable* pTable)
{
    Counts counts;
    if (pTable == nullptr)
        return counts;
    for (const formats::Row& row : pTable->rows)
    {
        for (const formats::ValueLine& line : row.values)
            counts[line.key] += Counter(line.cells, "Count", pTable->valueColumns);
    }
    return counts;
}

std::uint64_t CountOf(const Counts& counts, const std::vector<KeyPart>& key)
{
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
}

class Names
{
public:
    explicit Names(const ProjectFile& project)
    {
        for (const ProjectFileObject& object : project.objects)
            m_objects.emplace(guid::ToString(object.id), &object);
    }
    const ProjectFileObject* Find(const GUID& id) const
    {
        const auto found = m_objects.find(guid::ToString(id));
        return found == m_objects.end() ? nullptr : found->second;
    }
    // The object's name, or the fallback when the project lacks it.
    std::string Name(const GUID& id, std::string_view fallback) const
    {
        const ProjectFileObject* pObject = Find(id);
        return pObject ? text::ToUtf8(pObject->name) : std::string(fallback);
    }

private:
    std::map<std::string, const ProjectFileObject*> m_objects;
};

report::ArgumentCoverage Argument(const Names& names, const ProjectFileObject& event, std::size_t position,
                                  const Counts& values)
{
    const GUID& argumentId = event.arguments[position];
    const ProjectFileObject* pArgument = names.Find(argumentId);
    report::ArgumentCoverage argument{names.Name(argumentId, "Unknown"), {}, {}};
    const std::string eventId = guid::ToString(event.id);
    const auto position1 = static_cast<std::int64_t>(position + 1);
    std::vector<GUID> listed;
    if (pArgument != nullptr)
    {
        for (const GUID& value : pArgument->values)
        {
            // The wildcard is shown with the values the argument does not list.
            if (IsNullGuid(value) || std::find(listed.begin(), listed.end(), value) != listed.end())
                continue;
            listed.push_back(value);
            argument.listed.push_back(
                {names.Name(value, "Unknown"), CountOf(values, {eventId, position1, guid::ToString(value)})});
        }
    }
    argument.others.push_back({"*", CountOf(values, {eventId, position1, guid::ToString(GUID_NULL)})});
    // Values chosen that the argument does not list, as the distribution met them.
    for (auto found = values.lower_bound({eventId, position1}); found != values.end(); ++found)
    {
        const std::vector<KeyPart>& key = found->first;
        if (key.size() != 3 || key[0] != KeyPart(eventId) || key[1] != KeyPart(position1))
            break;
        const std::optional<GUID> value = guid::Parse(std::get<std::string>(key[2]));
        if (!value || IsNullGuid(*value) || std::find(listed.begin(), listed.end(), *value) != listed.end())
            continue;
        argument.others.push_back({names.Name(*value, "Unknown"), found->second});
    }
    return argument;
}

} // namespace

report::Coverage MakeCoverage(const ProjectFile& project, std::span<const formats::StatisticTable> statistics)
{
    const StatisticTable* pDistribution = Find(statistics, "Dialogue Events Distribution");
    const Counts resolved = RowCounts(pDistribution, "Added");
    const Counts values = ValueCounts(pDistribution);
    const Counts targets = RowCounts(Find(statistics, "Dialogue Events Added"), "Count");
    const Names names(project);

    report::Coverage coverage;
    for (const ProjectFileObject& object : project.objects)
    {
        if (object.kind != ObjectKind::DialogueEvent)
            continue;
        const std::string id = guid::ToString(object.id);
        report::EventCoverage event{text::ToUtf8(object.name), id, CountOf(resolved, {id}), {}, {}};
        // Entries to one target, or without one, are one row of the statistic.
        std::vector<GUID> seen;
        for (const std::optional<GUID>& target : object.targets)
        {
            const GUID key = target.value_or(GUID_NULL);
            if (std::find(seen.begin(), seen.end(), key) != seen.end())
                continue;
            seen.push_back(key);
            event.targets.push_back({target ? names.Name(key, guid::ToString(key)) : "",
                                     CountOf(targets, {id, guid::ToString(key)})});
        }
        for (std::size_t position = 0; position < object.arguments.size(); ++position)
            event.arguments.push_back(Argument(names, object, position, values));
        coverage.events.push_back(std::move(event));
    }
    return coverage;
}

std::vector<report::ItemCount> ObjectsByKind(const ProjectFile& project)
{
    std::vector<report::ItemCount> kinds;
    for (const ProjectFileObject& object : project.objects)
    {
        const std::string kind = object.kindName.empty() ? "(no kind)" : object.kindName;
        const auto found = std::find_if(kinds.begin(), kinds.end(),
                                        [&](const report::ItemCount& count) { return count.kind == kind; });
        if (found == kinds.end())
            kinds.push_back({kind, 1});
        else
            ++found->count;
    }
    return kinds;
}

} // namespace app
