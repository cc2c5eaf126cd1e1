// The host's project: objects by GUID, with names, parents, dialogue events and arguments. Objects
// belong to the project; references taken by plug-ins are counted so that leaks can be seen.
#pragma once

#include "host/base/AddressIndex.h"
#include "host/base/Guid.h"
#include "host/services/VObject.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Project;

// What every project object holds, whichever interface it offers.
struct ObjectCore
{
    Project* pProject = nullptr;
    GUID id;
    CStdStr<wchar_t> name;
    IVObject* pParent = nullptr;
    int references = 0;
};

// The host's own hold on an object it made: what it sets up before plug-ins read the object
// through IVObject or IVDialogueEvent. The classes that implement those interfaces are private to
// the project, so that a plug-in's dynamic cast compares their run-time types by address alone.
class ProjectObject
{
public:
    ProjectObject(Project* pProject, IVObject* pObject, const GUID& id, std::wstring name);
    ProjectObject(const ProjectObject&) = delete;
    ProjectObject& operator=(const ProjectObject&) = delete;

    // The object as plug-ins see it.
    IVObject* Object() const { return m_pObject; }
    ObjectCore& Core() { return m_core; }
    const ObjectCore& Core() const { return m_core; }

private:
    ObjectCore m_core;
    IVObject* m_pObject;
};

class ArgumentObject : public ProjectObject
{
public:
    using ProjectObject::ProjectObject;

    void SetValues(std::vector<GUID> values) { m_values = std::move(values); }
    const std::vector<GUID>& Values() const { return m_values; }

private:
    std::vector<GUID> m_values;
};

class DialogueEventObject : public ProjectObject
{
public:
    DialogueEventObject(Project* pProject, IVDialogueEvent* pEvent, const GUID& id, std::wstring name);
    ~DialogueEventObject();

    IVDialogueEvent* Event() const { return static_cast<IVDialogueEvent*>(Object()); }
    const std::vector<DialogueEventArgument>& Arguments() const { return m_arguments; }
    const std::vector<IVTargetEntry*>& TargetEntries() const { return m_entries; }

    void SetArguments(const std::vector<GUID>& arguments);
    // One entry per element, in order; nullopt is an entry without a target. A target id need not
    // exist in the project: the entry still refers to it.
    void SetTargets(const std::vector<std::optional<GUID>>& targets);

private:
    std::vector<DialogueEventArgument> m_arguments;
    std::vector<IVTargetEntry*> m_entries;
    std::vector<std::unique_ptr<IVTargetEntry>> m_ownedEntries;
};

class Project
{
public:
    Project();
    ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    // Each returns null when the id is taken already.
    ProjectObject* AddObject(const GUID& id, std::wstring name);
    ArgumentObject* AddArgument(const GUID& id, std::wstring name);
    DialogueEventObject* AddDialogueEvent(const GUID& id, std::wstring name);

    // Room for that many objects in all, for a loader that knows how many come.
    void Reserve(std::size_t count);

    // Links an object to its parent; false when either is absent or the link would close a cycle.
    bool SetParent(const GUID& child, const GUID& parent);
    // The same for objects of this project that the caller holds already.
    bool SetParent(ProjectObject& child, const ProjectObject& parent);

    // The object with that id, without taking a reference; null when absent.
    IVObject* Find(const GUID& id) const;
    std::size_t ObjectCount() const { return m_objects.size(); }

    // References that plug-ins took and have not dropped yet: object and target references.
    long long OutstandingReferences() const { return m_outstanding; }
    void CountReference(int delta) { m_outstanding += delta; }
    // Releases of objects that held no reference: a debug build stops at the first one, a release
    // build counts them (and the object's count goes negative) so that tests can see them.
    long long OverReleases() const { return m_overReleases; }
    void CountOverRelease() { ++m_overReleases; }

private:
    struct IdOf
    {
        const GUID& operator()(const ProjectObject& object) const { return object.Core().id; }
    };

    template <class T> auto* Insert(const GUID& id, std::wstring name);
    static bool Link(ObjectCore& childCore, const IVObject* pChild, IVObject* pParent);
    ProjectObject* FindEntry(const GUID& id) const { return m_index.Find(id); }

    // Objects in the order they were added.
    std::vector<std::unique_ptr<IVObject>> m_objects;
    // Every lookup of a plug-in goes through here, many per monitoring item.
    AddressIndex<ProjectObject, IdOf, GUIDHash, std::equal_to<>> m_index;
    long long m_outstanding = 0;
    long long m_overReleases = 0;
};
