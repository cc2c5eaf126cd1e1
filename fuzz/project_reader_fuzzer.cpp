// Any bytes as a project file: the reader refuses them with one line and no description, or accepts
// a description from which the host's object model builds, every object in it with its name and
// parent. The quick reader and the full one must agree on every input.
#include "app/ProjectReader.h"
#include "app/QuickProjectReader.h"
#include "host/services/Project.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace
{

void Require(bool bHolds, const char* what)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "project reader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(pData), size);
    const app::ProjectReadResult result = app::ParseProject(text);
    const app::ProjectReadResult full = app::ParseProjectFully(text);
    Require(result.error == full.error, "the quick and the full reader disagree on the message");
    if (const auto quick = app::ReadProjectQuickly(text); quick && full.Ok())
    {
        Require(quick->objects.size() == full.project.objects.size(), "the readers disagree on the objects");
        for (std::size_t i = 0; i < quick->objects.size(); ++i)
        {
            const app::ProjectFileObject& q = quick->objects[i];
            const app::ProjectFileObject& f = full.project.objects[i];
            Require(q.id == f.id && q.name == f.name && q.kindName == f.kindName && q.kind == f.kind &&
                        q.parent == f.parent && q.arguments == f.arguments && q.targets == f.targets &&
                        q.values == f.values,
                    "the readers disagree on an object");
        }
    }
    if (!result.Ok())
    {
        Require(result.error.find('\n') == std::string::npos, "the message is more than one line");
        Require(result.project.objects.empty(), "a refused file still has objects");
        return 0;
    }

    const std::unique_ptr<Project> pProject = app::BuildProject(result.project);
    Require(pProject != nullptr, "an accepted description does not build");
    Require(pProject->ObjectCount() == result.project.objects.size(), "objects lost in the build");
    for (const app::ProjectFileObject& object : result.project.objects)
    {
        const IVObject* pObject = pProject->Find(object.id);
        Require(pObject != nullptr, "an object is missing from the project");
        Require(pObject->GetName() == object.name, "an object lost its name");
        const IVObject* pParent = pObject->GetParent();
        Require(object.parent.has_value() == (pParent != nullptr), "a parent link is wrong");
        if (pParent != nullptr)
            Require(pParent->GetID() == *object.parent, "linked to another parent");
        const bool bEvent = dynamic_cast<const IVDialogueEvent*>(pObject) != nullptr;
        Require(bEvent == (object.kind == app::ObjectKind::DialogueEvent), "wrong kind of object");
    }
    Require(pProject->OutstandingReferences() == 0, "the build left references behind");
    return 0;
}
