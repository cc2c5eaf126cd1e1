// Reading a project file: JSON text → a checked, plain description → the host's Project.
#pragma once

#include "host/base/Guid.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Project;

namespace app
{

enum class ObjectKind
{
    Plain,
    DialogueEvent,
    Argument,
};

struct ProjectFileObject
{
    GUID id;
    std::wstring name;
    // The kind as written ("Sound", "ArgumentValue", ...); empty when the file gives none.
    std::string kindName;
    ObjectKind kind = ObjectKind::Plain;
    std::optional<GUID> parent;
    // Dialogue events only: argument ids in order, and one entry per target (nullopt: no target).
    std::vector<GUID> arguments;
    std::vector<std::optional<GUID>> targets;
    // Arguments only: ids of the possible values in order.
    std::vector<GUID> values;
};

struct ProjectFile
{
    std::vector<ProjectFileObject> objects;
};

struct ProjectReadResult
{
    ProjectFile project;
    // Empty on success; otherwise one line, printed by the caller as "tally: FILE: message".
    std::string error;

    bool Ok() const { return error.empty(); }
};

// Parses and checks the whole text: JSON syntax, keys named once, field types, GUID texts, unique
// non-null ids, names without control characters, parents that exist and form no cycle. A message
// names an object by its id, or by its number in file order (from 1) while the id is not known.
// A UTF-8 byte-order mark may open the text.
ProjectReadResult ParseProject(std::string_view json);

// Reads a file and parses it; an unreadable file is reported in `error` like any other fault.
ProjectReadResult ReadProjectFile(const std::string& path);

// Builds the host's object model from a description that ParseProject accepted. Null only when the
// description breaks the rules ParseProject checks (duplicate id, missing or cyclic parent).
std::unique_ptr<Project> BuildProject(const ProjectFile& file);
// The same, taking the names out of the file instead of copying them.
std::unique_ptr<Project> BuildProject(ProjectFile&& file);

} // namespace app
