// Any bytes as a project file: the reader refuses them with one line and no description, or accepts
// a description from which the host's object model builds, every object in it with its name and
// parent.
#include "app/formats/ProjectReader.h"
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
