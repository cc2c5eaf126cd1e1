// Explaining on random projects and captures: the items listed are exactly those during whose handling
// some statistic marked itself, as its own query objects tell a test owner item by item, and every
// finding's wording fits its item as the project file describes it.
#include "app/generate/Generator.h"
#include "app/session/ControlIds.h"
#include "app/session/Explanation.h"
#include "app/session/Gathering.h"
#include "framework/IProfilerQueryOwner.h"
#include "framework/ProfilerQueryRegistry.h"
#include "host/base/TextCodec.h"
#include "tests/support/TestIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{

using Marks = std::map<std::size_t, std::uint32_t>;

std::shared_ptr<app::PluginLibrary> Plugin()
{
    std::string error;
    std::shared_ptr<app::PluginLibrary> pPlugin = app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error);
    EXPECT_NE(pPlugin, nullptr) << error;
    return pPlugin;
}

app::SessionInput Input(const std::string& project, const std::string& capture)
{
    app::SessionInput input;
    input.projectName = "project.json";
    input.readProject = [project]
    {
        return app::ParseProject(project);
    };
    input.captures.push_back({"capture.jsonl", [capture](const app::CaptureSink& sink)
                              {
                                  return app::ParseCapture(capture, sink);
                              }});
    return input;
}

app::formats::Findings Explain(const std::string& project, const std::string& capture)
{
    std::string error;
    app::PluginLoad plugin{app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error), error};
    const app::SessionInput input = Input(project, capture);
    app::Gathering::Start start =
        app::Gathering::Open(input, std::move(plugin), app::Replay::Live, {840, 600});
    if (!start.pGathering)
    {
        ADD_FAILURE() << start.error;
        return {};
    }
    app::Explanation explanation(start.pGathering->Session());
    EXPECT_TRUE(explanation.Watching());
    EXPECT_TRUE(start.pGathering
                    ->LogCapture(input.captures.front().read,
                                 [&](const app::CaptureItem& item, std::size_t line)
                                 { explanation.OnLogged(input.captures.front().name, item, line); })
                    .Ok());
    return explanation.Findings();
}

// Counts its query's calls, as the statistics dialog would hear them.
class CountingOwner final : public IProfilerQueryOwner
{
public:
    void OnQueryStateChanged() override { ++m_calls; }
    int m_calls = 0;
};

// Per line, the statistics that marked themselves while its item was handled, heard by owners set on
// the plug-in's own query objects, with no view open.
Marks MarksOf(const std::string& project, const std::string& capture)
{
    app::HostSession session(Plugin());
    session.OpenProject(app::BuildProject(app::ParseProject(project).project));
    session.SetPreference(L"EnableStats", true);
    session.SetPreference(L"KeepStatsAcrossRuns", true);
    const auto* pRegistry = static_cast<const ProfilerQueryRegistry*>(session.Registry());
    std::vector<CountingOwner> owners(std::size(app::kQueryNames));
    std::vector<IProfilerQuery*> queries(owners.size());
    for (IProfilerQuery* pQuery : pRegistry->GetQueries())
    {
        const std::wstring name = pQuery->GetName();
        const auto found = std::find(std::begin(app::kQueryNames), std::end(app::kQueryNames), name);
        if (found == std::end(app::kQueryNames))
            continue;
        const auto index = static_cast<std::size_t>(found - std::begin(app::kQueryNames));
        queries[index] = pQuery;
        pQuery->SetOwner(&owners[index]);
    }
    Marks marks;
    session.StartLogger();
    app::ParseCapture(capture,
                      [&](const app::CaptureItem& item, std::size_t line)
                      {
                          std::vector<int> before;
                          for (const CountingOwner& owner : owners)
                              before.push_back(owner.m_calls);
                          session.Log(item);
                          for (std::size_t index = 0; index < owners.size(); ++index)
                          {
                              if (owners[index].m_calls != before[index])
                                  marks[line] |= std::uint32_t{1} << index;
                          }
                      });
    session.StopLogger();
    for (IProfilerQuery* pQuery : queries)
        pQuery->ResetOwner();
    return marks;
}

// An item as the project file and the capture line describe it.
struct Item
{
    bool bResolution = false;
    GUID event;
    std::vector<GUID> values;
};

std::map<std::size_t, Item> Items(const std::string& capture)
{
    std::map<std::size_t, Item> items;
    app::ParseCapture(
        capture,
        [&](const app::CaptureItem& item, std::size_t line)
        {
            if (const auto* pResolved = std::get_if<app::DialogueResolved>(&item))
                items[line] = {true, pResolved->event, {pResolved->values.begin(), pResolved->values.end()}};
            else
                items[line] = {};
        });
    return items;
}

std::uint32_t Bits(const std::vector<std::string>& statistics)
{
    std::uint32_t bits = 0;
    for (const std::string& name : statistics)
    {
        const auto found =
            std::find(std::begin(app::kQueryNames), std::end(app::kQueryNames), text::FromUtf8(name));
        EXPECT_NE(found, std::end(app::kQueryNames)) << name;
        bits |= std::uint32_t{1} << (found - std::begin(app::kQueryNames));
    }
    return bits;
}

class ProjectModel
{
public:
    explicit ProjectModel(const std::string& json)
    {
        for (app::ProjectFileObject& object : app::ParseProject(json).project.objects)
            m_objects[guid::ToString(object.id)] = std::move(object);
    }
    const app::ProjectFileObject* Find(const std::string& id) const
    {
        const auto found = m_objects.find(id);
        return found == m_objects.end() ? nullptr : &found->second;
    }
    bool Has(const std::string& id) const { return Find(id) != nullptr; }

private:
    std::map<std::string, app::ProjectFileObject> m_objects;
};

bool Contains(const std::vector<GUID>& ids, const std::string& id)
{
    return std::any_of(ids.begin(), ids.end(), [&](const GUID& g) { return guid::ToString(g) == id; });
}

// Why the finding does not fit its item; empty when it does.
std::string Misfit(const app::formats::Finding& finding, const Item& item, const ProjectModel& project)
{
    if (!item.bResolution)
        return "not a resolution";
    if (finding.what == "the item does not match the project")
        return "marked for no fault the project shows";
    const std::string event = guid::ToString(item.event);
    const app::ProjectFileObject* pEvent = project.Find(event);
    const bool bDialogue = pEvent != nullptr && pEvent->kind == app::ObjectKind::DialogueEvent;
    const bool bCounts = bDialogue && pEvent->arguments.size() == item.values.size();
    const std::vector<std::string>& ids = finding.ids;
    const std::string& what = finding.what;
    if (what == "the event id is null")
        return IsNullGuid(item.event) && ids == std::vector{event} ? "" : "event not null";
    if (what == "the event is missing from the project")
        return !IsNullGuid(item.event) && !pEvent && ids == std::vector{event} ? "" : "event present";
    if (what == "the object is no dialogue event")
        return pEvent && !bDialogue && ids == std::vector{event} ? "" : "a dialogue event";
    if (bDialogue && !bCounts && ids == std::vector{event} &&
        what == "the event has " + std::to_string(pEvent->arguments.size()) + " arguments, the item " +
                    std::to_string(item.values.size()))
        return "";
    if (!bCounts || ids.empty() || ids[0] != event)
        return "a value finding on an item the statistics reject";
    if (what == "a chosen value is missing from the project")
        return ids.size() == 2 && Contains(item.values, ids[1]) && !project.Has(ids[1]) ? ""
                                                                                        : "value present";
    if (what == "a chosen value is not among its argument's values")
    {
        for (std::size_t position = 0; position < item.values.size(); ++position)
        {
            const app::ProjectFileObject* pArgument =
                project.Find(guid::ToString(pEvent->arguments[position]));
            if (ids.size() == 2 && guid::ToString(item.values[position]) == ids[1] && pArgument != nullptr &&
                !IsNullGuid(item.values[position]) && !Contains(pArgument->values, ids[1]))
                return "";
        }
        return "value listed";
    }
    if (what == "the argument lists a value the project lacks")
    {
        const app::ProjectFileObject* pArgument = ids.size() == 3 ? project.Find(ids[1]) : nullptr;
        return pArgument && Contains(pEvent->arguments, ids[1]) && Contains(pArgument->values, ids[2]) &&
                       !project.Has(ids[2])
                   ? ""
                   : "argument lists no such value";
    }
    return "unknown wording";
}

void ExpectExplained(const std::string& project, const std::string& capture)
{
    const Marks marks = MarksOf(project, capture);
    const app::formats::Findings findings = Explain(project, capture);
    const std::map<std::size_t, Item> items = Items(capture);
    const ProjectModel model(project);
    Marks credited;
    for (const app::formats::Finding& finding : findings.findings)
    {
        SCOPED_TRACE(finding.what + " at line " + std::to_string(finding.line));
        EXPECT_EQ(finding.file, "capture.jsonl");
        const std::uint32_t bits = Bits(finding.statistics);
        EXPECT_NE(bits, 0u);
        credited[finding.line] |= bits;
        ASSERT_TRUE(items.contains(finding.line));
        EXPECT_EQ(Misfit(finding, items.at(finding.line), model), "");
    }
    // The same lines, and on each every statistic that marked the item is credited by some finding
    // and no other.
    EXPECT_EQ(credited, marks);
    EXPECT_FALSE(marks.empty());
}

// A project and a capture with every kind of stale data, drawn at random: values and arguments the
// project lacks or that argument lists do not hold, nulls in lists, events that are missing, null or
// no dialogue events, and items with the wrong number of values.
struct RandomCase
{
    std::string project;
    std::string capture;
};

std::string Text(const GUID& id)
{
    return IsNullGuid(id) ? "null" : '"' + guid::ToString(id) + '"';
}

std::string List(const std::vector<GUID>& ids)
{
    std::string text = "[";
    for (std::size_t i = 0; i < ids.size(); ++i)
        text += (i ? ", " : "") + Text(ids[i]);
    return text + "]";
}

RandomCase MakeRandomCase(std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto chance = [&](double p)
    {
        return std::bernoulli_distribution(p)(random);
    };
    const auto pick = [&](std::uint32_t first, std::uint32_t count)
    {
        return first + static_cast<std::uint32_t>(random() % count);
    };
    // Present: values 100-109, arguments 200-204, events 300-305, sounds 400-403 with children 410-413,
    // the folder 500. Absent: values 110-113, argument 205, event 399.
    std::vector<std::string> objects;
    const auto object = [&](std::uint32_t id, const std::string& kind, const std::string& more)
    {
        objects.push_back(R"({"id": )" + Text(Id(id)) + R"(, "name": "N)" + std::to_string(id) +
                          R"(", "kind": ")" + kind + '"' + more + "}");
    };
    for (std::uint32_t id = 100; id < 110; ++id)
        object(id, "ArgumentValue", "");
    std::map<std::uint32_t, std::vector<GUID>> lists;
    for (std::uint32_t id = 200; id < 205; ++id)
    {
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)
            lists[id].push_back(Id(pick(100, 14)));
        if (chance(0.1))
            lists[id].push_back(GUID_NULL);
        object(id, "Argument", R"(, "values": )" + List(lists[id]));
    }
    std::map<std::uint32_t, std::vector<GUID>> arguments;
    for (std::uint32_t id = 300; id < 306; ++id)
    {
        for (int n = static_cast<int>(random() % 4); n > 0; --n)
            arguments[id].push_back(Id(chance(0.9) ? pick(200, 5) : 205));
        object(id, "DialogueEvent",
               R"(, "arguments": )" + List(arguments[id]) + R"(, "targets": )" +
                   List({Id(pick(400, 4)), Id(pick(400, 4)), chance(0.3) ? GUID_NULL : Id(pick(400, 4))}));
    }
    for (std::uint32_t id = 400; id < 404; ++id)
    {
        object(id, "Sound", "");
        object(id + 10, "Sound", R"(, "parent": )" + Text(Id(id)));
    }
    object(500, "Folder", "");

    RandomCase result;
    result.project = R"({"objects": [)";
    for (std::size_t i = 0; i < objects.size(); ++i)
        result.project += (i ? ",\n" : "\n") + objects[i];
    result.project += "\n]}\n";

    for (int line = 0; line < 400; ++line)
    {
        const int kind = static_cast<int>(random() % 10);
        if (kind == 0)
        {
            result.capture += R"({"type": 1, "object": )" + Text(Id(pick(400, 14))) + R"(, "reason": )" +
                              (chance(0.7) ? "9" : "8") + "}\n";
            continue;
        }
        if (kind == 1)
        {
            result.capture += chance(0.5) ? "\n" : "{\"type\": 7}\n";
            continue;
        }
        const std::uint32_t draw = static_cast<std::uint32_t>(random() % 40);
        const GUID event = draw < 36    ? Id(300 + draw % 6)
                           : draw == 36 ? Id(500)
                           : draw == 37 ? Id(399)
                                        : GUID_NULL;
        const std::vector<GUID>& eventArguments = arguments[event.Data1];
        std::size_t count = eventArguments.size();
        if (chance(0.06))
            count = chance(0.5) || count == 0 ? count + 1 : count - 1;
        std::vector<GUID> values;
        for (std::size_t position = 0; position < count; ++position)
        {
            const std::vector<GUID>* pListed =
                position < eventArguments.size() && lists.contains(eventArguments[position].Data1)
                    ? &lists[eventArguments[position].Data1]
                    : nullptr;
            const int choice = static_cast<int>(random() % 20);
            if (choice < 4)
                values.push_back(GUID_NULL);
            else if (choice < 14 && pListed != nullptr)
                values.push_back((*pListed)[random() % pListed->size()]);
            else
                values.push_back(Id(pick(100, 14)));
        }
        result.capture += R"({"type": 34, "event": )" + Text(event) + R"(, "target": )" +
                          Text(Id(pick(400, 4))) + R"(, "values": )" + List(values) +
                          (chance(0.2) ? R"(, "resolveOnly": true)" : "") + "}\n";
    }
    return result;
}

TEST(Explanation, ListsExactlyTheMarkedItemsOnRandomStaleData)
{
    for (std::uint64_t seed = 1; seed <= 12; ++seed)
    {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const RandomCase random = MakeRandomCase(seed);
        ExpectExplained(random.project, random.capture);
    }
}

TEST(Explanation, ListsExactlyTheMarkedItemsOnGeneratedData)
{
    for (std::uint64_t seed = 1; seed <= 3; ++seed)
    {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const app::Generator generator({40, 5000, seed});
        ExpectExplained(generator.ProjectJson(), generator.CaptureJsonl());
    }
}

} // namespace
