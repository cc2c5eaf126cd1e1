// The library's application object and its module state.
#pragma once

#include "host/ui/ModuleState.h"

class CTallyApp : public CWinApp
{
public:
    CTallyApp();

    BOOL InitInstance() override;
};

// The module state whose resources are the plug-in's own; made current by every entry point that
// creates windows or loads templates.
AFX_MODULE_STATE* TallyModuleState();
