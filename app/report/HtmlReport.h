// The report page: one self-contained HTML file that opens from disk and fetches nothing.
#pragma once

#include "app/report/ReportModel.h"

#include <cstddef>
#include <string>

namespace app::report
{

// Tables up to this many rows show every row at once; longer ones are paged, a short page each so
// that the page opens quickly however long the table.
inline constexpr std::size_t kRowsAtOnce = 10000;
inline constexpr std::size_t kRowsPerPage = 1000;

std::string WriteHtmlReport(const ReportInput& input);

} // namespace app::report
