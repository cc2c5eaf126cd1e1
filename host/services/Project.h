// The host's project: objects by GUID, with names, parents, dialogue events and arguments. Objects
// belong to the project; references taken by plug-ins are counted so that leaks can be seen.
#pragma once

#include "host/base/GuidTable.h"
#include "host/base/Prefetch.h"
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

    // Cache hints for a host that knows which objects the next items name. Locate appends handles
    // to the object with that id (none when absent); it only reads, so another thread may call it
    // while the project stays as it is. PrefetchLocated starts loading by a handle in two steps, the
    // second reading what the first brought in: the object and its index slot, then the text of its
    // name or, for Then::Parent, its parent object.
    enum class Then
    {
        Name,
        Parent,
    };
    void Locate(const GUID& id, Then then, std::vector<const void*>& handles) const;
    static void PrefetchLocated(const void* handle, bool bFirstStep)
    {
        const auto bits = reinterpret_cast<std::uintptr_t>(handle);
        const std::uintptr_t tag = bits & kTagMask;
        const auto* const p = reinterpret_cast<const char*>(bits & ~kTagMask);
        if (tag == kSlotHandle)
        {
            if (bFirstStep)
            {
                PrefetchLine(p);
                PrefetchLine(p + GuidTable<Entry>::SlotBytes() - 1);
            }
            return;
        }
        const auto* const pCore = reinterpret_cast<const ObjectCore*>(p);
        if (bFirstStep)
            PrefetchObject(pCore);
        else if (tag == kCoreThenName)
            PrefetchLine(pCore->name.data());
        else if (pCore->pParent != nullptr)
            PrefetchLine(pCore->pParent);
    }

    // References that plug-ins took and have not dropped yet: object and target references.
    long long OutstandingReferences() const { return m_outstanding; }
    void CountReference(int delta) { m_outstanding += delta; }
    // Releases of objects that held no reference: a debug build stops at the first one, a release
    // build counts them (and the object's count goes negative) so that tests can see them.
    long long OverReleases() const { return m_overReleases; }
    void CountOverRelease() { ++m_overReleases; }

private:
    // Handles carry in their two low bits what they lead to (slots and cores are aligned to eight).
    static constexpr std::uintptr_t kTagMask = 3;
    static constexpr std::uintptr_t kCoreThenName = 0;
    static constexpr std::uintptr_t kCoreThenParent = 1;
    static constexpr std::uintptr_t kSlotHandle = 2;
    static_assert(alignof(ObjectCore) > kTagMask);

    struct Entry
    {
        IVObject* pObject = nullptr;
        ObjectCore* pCore = nullptr;

        bool IsSet() const { return pObject != nullptr; }
    };

    template <class T> auto* Insert(const GUID& id, std::wstring name);
    static bool Link(ObjectCore& childCore, const IVObject* pChild, IVObject* pParent);
    const Entry* FindEntry(const GUID& id) const { return m_index.Find(id); }

    // Objects in the order they were added.
    std::vector<std::unique_ptr<IVObject>> m_objects;
    GuidTable<Entry> m_index;
    // Counted at every reference taken or dropped, so on a cache line apart from the index, which a
    // capture's reader reads on the other core all the while.
    alignas(64) long long m_outstanding = 0;
    long long m_overReleases = 0;
};
