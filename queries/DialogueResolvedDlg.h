// The result window of "Dialogue Events Added".
#pragma once

#include "queries/ListResultDlg.h"

class DialogueResolvedDlg : public ListResultDlg
{
public:
    using ListResultDlg::ListResultDlg;
};
