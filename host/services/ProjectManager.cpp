#include "host/services/ProjectManager.h"

#include "host/services/Project.h"

ProjectManager* ProjectManager::m_pInstance = nullptr;

ProjectManager::ProjectManager()
{
    m_resolutionContext.pOwner = this;
}

namespace priv
{
IVObject* LookupVObject(const GUID& id)
{
    const ProjectManager* const pManager = ProjectManager::m_pInstance;
    if (pManager == nullptr)
        return nullptr;
    const Project* const pProject = pManager->GetProject();
    if (pProject == nullptr)
        return nullptr;
    IVObject* const pObject = pProject->Find(id);
    if (pObject != nullptr)
        pObject->AddRef();
    return pObject;
}

void ReleaseObject(IVObject* pObject)
{
    if (pObject != nullptr)
        pObject->Release();
}
} // namespace priv
