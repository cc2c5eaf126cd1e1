#include "module/TallyApp.h"

#include "resources/TallyResources.h"

CTallyApp::CTallyApp() : CWinApp(nullptr) {}

BOOL CTallyApp::InitInstance()
{
    CWinApp::InitInstance();
    return TRUE;
}

AFX_MODULE_STATE* TallyModuleState()
{
    static AFX_MODULE_STATE state(&TallyResources());
    return &state;
}

namespace
{

CTallyApp theApp;

// What the runtime does when a library with an application object loads: run its InitInstance.
struct LibraryMain
{
    LibraryMain()
    {
        TallyModuleState()->m_pCurrentWinApp = &theApp;
        theApp.InitInstance();
    }
} g_libraryMain;

} // namespace
