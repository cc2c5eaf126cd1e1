#include "queries/NoneQuery.h"

#include "host/base/StringHelp.h"
#include "queries/NoneQueryDlg.h"
#include "resources/resource.h"

CStdStr<wchar_t> NoneQuery::GetName()
{
    return StringHelp::Localize(L"None");
}

CDialogBase* NoneQuery::CreateResultDialog()
{
    return new NoneQueryDlg(IDD_NONE_QUERY, nullptr);
}
