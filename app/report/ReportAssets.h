// The report page's style sheet and script, inlined into every page.
#pragma once

#include <string_view>

namespace app::report
{

std::string_view ReportStyle();
std::string_view ReportScript();

} // namespace app::report
