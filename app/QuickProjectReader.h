// A quick reader for project files of the shape that tools write: one top-level "objects" array of
// objects with the known fields, strings without escapes. It builds the description directly, with
// no JSON document in between. Anything else (another key, an escape, a wrong type, a bad GUID, a
// syntax error) gives nullopt, and the full reader decides, with its messages. Whatever it accepts,
// the full reader accepts too and describes the same way.
#pragma once

#include "app/ProjectReader.h"

#include <optional>
#include <string_view>

namespace app
{

// The objects as read, in file order; ids are not yet checked for uniqueness, nor parents for
// existence and cycles.
std::optional<ProjectFile> ReadProjectQuickly(std::string_view json);

} // namespace app
