// The report page: one self-contained HTML file that opens from disk and fetches nothing.
#pragma once

#include "app/report/ReportModel.h"

#include <string>

namespace app::report
{

// Tables up to this many rows show every row at once; longer ones are paged.
inline constexpr int kRowsPerPage = 10000;

std::string WriteHtmlReport(const ReportInput& input);

} // namespace app::report
