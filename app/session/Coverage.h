// How much of the project a capture reached: every dialogue event of the project, in the project's
// order, with how often it was resolved, each target it lists with how often it was resolved to, and
// each argument's listed values with how often each was chosen. The counts come from the statistics'
// tables, matched by their keys; the lists from the project.
#pragma once

#include "app/formats/ProjectReader.h"
#include "app/formats/StatisticTable.h"
#include "app/report/ReportModel.h"

#include <span>

namespace app
{

// `statistics` holds the tables of "Dialogue Events Distribution" and "Dialogue Events Added", by
// name; a table that is missing counts nothing.
report::Coverage MakeCoverage(const ProjectFile& project,
                              std::span<const formats::StatisticTable> statistics);

// The objects of the project by the kind written in the file ("(no kind)" for none), in order of
// first appearance.
std::vector<report::ItemCount> ObjectsByKind(const ProjectFile& project);

} // namespace app
