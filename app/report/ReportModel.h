// What the HTML report shows: the statistics as their lists show them, the coverage of the project's
// dialogue events, the findings of `explain` and what was read.
#pragma once

#include "app/formats/Findings.h"
#include "app/formats/StatisticTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app::report
{

// A target entry or a value, with how often it was resolved to or chosen.
struct Use
{
    // Empty for a target entry without a target.
    std::string name;
    std::uint64_t count = 0;
};

struct ArgumentCoverage
{
    std::string name;
    // The values the argument lists, in its order: these are counted.
    std::vector<Use> listed;
    // The wildcard and values it does not list: shown, not counted.
    std::vector<Use> others;
};

struct EventCoverage
{
    std::string name;
    // The GUID as written in files.
    std::string id;
    // How often the event was resolved; 0: never.
    std::uint64_t resolved = 0;
    // The event's target entries in its order.
    std::vector<Use> targets;
    std::vector<ArgumentCoverage> arguments;
};

// Every dialogue event of the project, in the project's order.
struct Coverage
{
    std::vector<EventCoverage> events;
};

struct ItemCount
{
    // E.g. "DialogueEvent" objects of a project, "34 dialogue event resolved" items of a capture.
    std::string kind;
    std::uint64_t count = 0;
};

struct FileRead
{
    std::string path;
    // "project" or "capture".
    std::string role;
    std::vector<ItemCount> items;
};

struct ReportInput
{
    // Shown as the page's title, e.g. the project's file name.
    std::string title;
    // In registry order.
    std::vector<formats::StatisticTable> statistics;
    Coverage coverage;
    formats::Findings findings;
    std::vector<FileRead> files;
};

} // namespace app::report
