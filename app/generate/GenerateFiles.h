// The generated project and capture written to their files: refused at once when they might not fit
// where they go, and each put in its place only once both are complete.
#pragma once

#include "app/generate/Generator.h"

#include <cstdint>
#include <functional>
#include <string>

namespace app
{

struct GenerateStatus
{
    // Empty on success; otherwise the file that failed and why.
    std::string file;
    std::string error;

    bool Ok() const { return error.empty(); }
};

// Hears how far a file is written: its lines so far, and all that it will hold.
using GenerateProgress =
    std::function<void(const std::string& file, std::uint64_t lines, std::uint64_t total)>;

// Writes both files ("-" is standard output).
GenerateStatus GenerateFiles(const GeneratorOptions& options, const std::string& projectPath,
                             const std::string& capturePath, const GenerateProgress& progress = {});

} // namespace app
