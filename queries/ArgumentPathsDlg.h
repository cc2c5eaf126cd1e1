// The result window of "Paths Used".
#pragma once

#include "queries/ListResultDlg.h"

class ArgumentPathsDlg : public ListResultDlg
{
public:
    using ListResultDlg::ListResultDlg;
};
