#include "module/TallyViewFactory.h"

#include "host/base/StringHelp.h"
#include "module/TallyView.h"

IViewBase* TallyViewFactory::CreateView()
{
    return new TallyView;
}

const wchar_t* TallyViewFactory::GetCategory()
{
    // One text for the whole process, made on first use and kept until the library unloads.
    static const CStdStr<wchar_t> category = StringHelp::Localize(L"Profiler");
    return category.c_str();
}
