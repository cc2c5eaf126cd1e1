// The example project and capture built into the program (`tally demo`); the same texts stand in
// examples/project.json and examples/capture.jsonl.
//
// They are chosen so that every statistic has rows worth looking at: events with two, one and no
// arguments; a wildcard choice; a value that its argument lists but no item chooses ("Angry", "Rain");
// plays credited through child objects of a target; a play whose reason is no play (8); a
// resolve-only item; a target entry never reached ("Bye_Rain_01") and an entry without a target; a
// play of an object that no resolution is waiting for; items of other kinds and an unknown field.
//
// The project is in sync with the capture except for one item near the end: its "Mood" value
// ("Bored", since deleted from the project) is unknown, so the statistics that read argument values
// show "Unknown" and the out-of-sync warning, as they would with banks built from an older project.
#pragma once

#include <string_view>

namespace app
{
std::string_view DemoProjectJson();
std::string_view DemoCaptureJsonl();
} // namespace app
