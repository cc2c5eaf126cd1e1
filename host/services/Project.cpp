#include "host/services/Project.h"

#include "host/services/ProjectManager.h"

#include <cassert>
#include <utility>

namespace
{
// A reference handed out by a target entry; it counts as outstanding until it is released.
class TargetReference final : public IVObjectReference
{
public:
    TargetReference(Project* pProject, const GUID& id) : m_pProject(pProject), m_id(id)
    {
        m_pProject->CountReference(+1);
    }

    GUID GetReferencedID() const override { return m_id; }

    void Release() override
    {
        m_pProject->CountReference(-1);
        delete this;
    }

private:
    ~TargetReference() override = default;

    Project* m_pProject;
    GUID m_id;
};

class TargetEntry final : public IVTargetEntry
{
public:
    TargetEntry(Project* pProject, const std::optional<GUID>& target) : m_pProject(pProject), m_target(target)
    {
    }

    bool GetTargetReference(IVObjectReference** ppReference, const ResolutionContext* pContext) const override
    {
        if (ppReference == nullptr)
            return false;
        *ppReference = nullptr;
        const ProjectManager* const pManager = ProjectManager::m_pInstance;
        if (!m_target || pManager == nullptr || pContext != &pManager->m_resolutionContext)
            return false;
        // Ownership passes to the caller, who ends it with Release.
        *ppReference = new TargetReference(m_pProject, *m_target);
        return true;
    }

private:
    Project* m_pProject;
    std::optional<GUID> m_target;
};
// The run-time types of the project's objects. Their type names are private to this file, which
// lets a dynamic cast pass over them without comparing names.
template <class Interface, class Setup> class SharedObject : public Interface
{
public:
    using SetupType = Setup;

    SharedObject(Project* pProject, const GUID& id, std::wstring name)
        : m_setup(pProject, this, id, std::move(name))
    {
    }

    void AddRef() override
    {
        ++Core().references;
        Core().pProject->CountReference(+1);
    }

    void Release() override
    {
        if (Core().references <= 0)
        {
            Core().pProject->CountOverRelease();
            assert(!"project object released more often than referenced");
        }
        --Core().references;
        Core().pProject->CountReference(-1);
    }

    const GUID& GetID() const override { return Core().id; }
    const CStdStr<wchar_t>& GetName() const override { return Core().name; }
    void GetValueIDs(std::vector<GUID>&) const override {}
    IVObject* GetParent() const override { return Core().pParent; }

    Setup& GetSetup() { return m_setup; }

protected:
    ObjectCore& Core() { return m_setup.Core(); }
    const ObjectCore& Core() const { return m_setup.Core(); }

    Setup m_setup;
};

class PlainObject final : public SharedObject<IVObject, ProjectObject>
{
public:
    using SharedObject::SharedObject;
};

class Argument final : public SharedObject<IVObject, ArgumentObject>
{
public:
    using SharedObject::SharedObject;

    void GetValueIDs(std::vector<GUID>& valueIDs) const override
    {
        valueIDs.insert(valueIDs.end(), m_setup.Values().begin(), m_setup.Values().end());
    }
};

class DialogueEvent final : public SharedObject<IVDialogueEvent, DialogueEventObject>
{
public:
    using SharedObject::SharedObject;

    const std::vector<DialogueEventArgument>& GetArguments() const override { return m_setup.Arguments(); }
    const std::vector<IVTargetEntry*>& GetTargetEntries() const override { return m_setup.TargetEntries(); }
};
} // namespace

ProjectObject::ProjectObject(Project* pProject, IVObject* pObject, const GUID& id, std::wstring name)
    : m_pObject(pObject)
{
    m_core.pProject = pProject;
    m_core.id = id;
    m_core.name = std::move(name);
}

DialogueEventObject::DialogueEventObject(Project* pProject, IVDialogueEvent* pEvent, const GUID& id,
                                         std::wstring name)
    : ProjectObject(pProject, pEvent, id, std::move(name))
{
}

DialogueEventObject::~DialogueEventObject() = default;

void DialogueEventObject::SetArguments(const std::vector<GUID>& arguments)
{
    m_arguments.clear();
    m_arguments.reserve(arguments.size());
    for (const GUID& id : arguments)
        m_arguments.push_back(DialogueEventArgument{id});
}

void DialogueEventObject::SetTargets(const std::vector<std::optional<GUID>>& targets)
{
    m_entries.clear();
    m_ownedEntries.clear();
    m_entries.reserve(targets.size());
    m_ownedEntries.reserve(targets.size());
    for (const auto& target : targets)
    {
        m_ownedEntries.push_back(std::make_unique<TargetEntry>(Core().pProject, target));
        m_entries.push_back(m_ownedEntries.back().get());
    }
}

Project::Project() = default;
Project::~Project() = default;

template <class T> auto* Project::Insert(const GUID& id, std::wstring name)
{
    if (FindEntry(id) != nullptr)
        return static_cast<typename T::SetupType*>(nullptr);
    auto pObject = std::make_unique<T>(this, id, std::move(name));
    T* const pRaw = pObject.get();
    m_objects.push_back(std::move(pObject));
    m_index.Insert(&pRaw->GetSetup());
    return &pRaw->GetSetup();
}

void Project::Reserve(std::size_t count)
{
    m_objects.reserve(count);
    m_index.Reserve(count);
}

ProjectObject* Project::AddObject(const GUID& id, std::wstring name)
{
    return Insert<PlainObject>(id, std::move(name));
}

ArgumentObject* Project::AddArgument(const GUID& id, std::wstring name)
{
    return Insert<Argument>(id, std::move(name));
}

DialogueEventObject* Project::AddDialogueEvent(const GUID& id, std::wstring name)
{
    return Insert<DialogueEvent>(id, std::move(name));
}

bool Project::SetParent(const GUID& child, const GUID& parent)
{
    ProjectObject* const pChild = FindEntry(child);
    const ProjectObject* const pParent = FindEntry(parent);
    if (pChild == nullptr || pParent == nullptr)
        return false;
    return SetParent(*pChild, *pParent);
}

bool Project::SetParent(ProjectObject& child, const ProjectObject& parent)
{
    return Link(child.Core(), child.Object(), parent.Object());
}

bool Project::Link(ObjectCore& childCore, const IVObject* pChild, IVObject* pParent)
{
    for (const IVObject* p = pParent; p != nullptr; p = p->GetParent())
    {
        if (p == pChild)
            return false;
    }
    childCore.pParent = pParent;
    return true;
}

IVObject* Project::Find(const GUID& id) const
{
    const ProjectObject* const pObject = FindEntry(id);
    return pObject != nullptr ? pObject->Object() : nullptr;
}
