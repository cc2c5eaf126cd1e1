// Module state: which module's resources are current. Libraries that create windows or load dialog
// templates switch to their own module state for the duration of the call.
#pragma once

#include "host/base/WinTypes.h"

class CWinApp;

class AFX_MODULE_STATE
{
public:
    explicit AFX_MODULE_STATE(HINSTANCE hResources) : m_hCurrentResourceHandle(hResources) {}

    HINSTANCE m_hCurrentResourceHandle;
    CWinApp* m_pCurrentWinApp = nullptr;
};

// The module state that is current now (the host's own when no library switched).
AFX_MODULE_STATE* AfxGetModuleState();
HINSTANCE AfxGetResourceHandle();
// The application object of the current module state; null when the module has none.
CWinApp* AfxGetApp();

// Makes a module state current until the guard goes out of scope; guards nest, each restoring the
// state it found. A null state leaves the current one in place.
class AFX_MAINTAIN_STATE2
{
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevState;
};

// The application object of a module. It registers with the module state that is current when it is
// constructed (a library constructs its own inside its module state).
class CWinApp
{
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    const wchar_t* m_pszAppName;
};
