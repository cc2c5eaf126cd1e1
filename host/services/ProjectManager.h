// The project that is open in the host, and the lookup of its objects by GUID.
#pragma once

#include "host/services/VObject.h"

class Project;

class ProjectManager
{
public:
    // The host's project manager; null while there is none.
    static ProjectManager* m_pInstance;

    ProjectManager();

    // Target entries resolve their references in this context; callers pass its address.
    ResolutionContext m_resolutionContext;

    // The open project, or null. The manager does not own it.
    Project* GetProject() const { return m_pProject; }
    void SetProject(Project* pProject) { m_pProject = pProject; }

private:
    Project* m_pProject = nullptr;
};

namespace priv
{
// The object of the open project with that GUID, carrying one reference for the caller; null when the
// project holds no such object.
IVObject* LookupVObject(const GUID& id);
// Drops a reference taken by LookupVObject.
void ReleaseObject(IVObject* pObject);
} // namespace priv
