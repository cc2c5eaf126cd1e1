#include "host/ui/ModuleState.h"

namespace
{
// The host's own state: its resources are not in a resource module of this layer.
AFX_MODULE_STATE g_hostModuleState{nullptr};
AFX_MODULE_STATE* g_pCurrentModuleState = &g_hostModuleState;
} // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return g_pCurrentModuleState;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_pCurrentModuleState->m_hCurrentResourceHandle;
}

CWinApp* AfxGetApp()
{
    return g_pCurrentModuleState->m_pCurrentWinApp;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState) : m_pPrevState(g_pCurrentModuleState)
{
    if (pNewState != nullptr)
        g_pCurrentModuleState = pNewState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    g_pCurrentModuleState = m_pPrevState;
}

CWinApp::CWinApp(const wchar_t* appName) : m_pszAppName(appName)
{
    AfxGetModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    if (AfxGetModuleState()->m_pCurrentWinApp == this)
        AfxGetModuleState()->m_pCurrentWinApp = nullptr;
}
