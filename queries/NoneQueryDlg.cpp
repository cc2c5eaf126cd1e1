#include "queries/NoneQueryDlg.h"

#include "module/TallyApp.h"

HINSTANCE NoneQueryDlg::GetResourceHandle()
{
    return TallyModuleState()->m_hCurrentResourceHandle;
}
