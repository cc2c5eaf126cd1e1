// The empty result window of "None".
#pragma once

#include "host/ui/DialogBase.h"

class NoneQueryDlg : public CDialogBase
{
public:
    using CDialogBase::CDialogBase;

    HINSTANCE GetResourceHandle() override;
};
