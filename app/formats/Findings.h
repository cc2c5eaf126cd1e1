// What `explain` found: the items during whose handling a statistic marked itself out of sync, and
// how many items showed each kind of fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app::formats
{

struct Finding
{
    // The capture file as named on the command line, and the item's line in it, counted from 1.
    std::string file;
    std::uint64_t line = 0;
    // The names of the statistics that flagged the item.
    std::vector<std::string> statistics;
    // What is wrong, in the fixed wording, e.g. "the event is missing from the project".
    std::string what;
    // The ids concerned, as GUIDs are written in files.
    std::vector<std::string> ids;
};

struct FindingCount
{
    std::string what;
    std::uint64_t items = 0;
};

struct Findings
{
    std::vector<Finding> findings;
    // One entry per kind of fault.
    std::vector<FindingCount> summary;
};

} // namespace app::formats
