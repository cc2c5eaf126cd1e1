// Command-line parsing shared by the commands: long options with or without a value, exit codes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace app
{

inline constexpr int kExitOk = 0;
// The environment failed: the plug-in cannot be loaded, a file cannot be written, no terminal.
inline constexpr int kExitEnvironment = 1;
// Bad usage or bad input.
inline constexpr int kExitBadInput = 2;

// Bad usage: printed as "tally: message" with a hint to --help, exit status 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec
{
    std::string_view name; // without the leading dashes
    bool takesValue = true;
    bool repeatable = false;
};

class ParsedOptions
{
public:
    bool Has(std::string_view name) const { return m_values.contains(std::string(name)); }
    std::optional<std::string> Get(std::string_view name) const;
    std::vector<std::string> All(std::string_view name) const;
    // The value of an option that must be given.
    std::string Require(std::string_view name) const;
    // Every value of a repeatable option that must be given at least once.
    std::vector<std::string> RequireAll(std::string_view name) const;

private:
    friend ParsedOptions ParseOptions(std::span<const std::string>, std::span<const OptionSpec>);
    std::map<std::string, std::vector<std::string>, std::less<>> m_values;
};

// Accepts "--name value" and "--name=value"; "--help" and "-h" are always known. Throws UsageError for an
// unknown option, a missing value, a repeated single option or a stray argument.
ParsedOptions ParseOptions(std::span<const std::string> args, std::span<const OptionSpec> specs);

// A whole non-negative decimal number; throws UsageError naming the option.
std::uint64_t ParseCount(std::string_view text, std::string_view option);

// What `--format` asks for: tab-separated text (the copy's), comma-separated, or one json document.
enum class OutputFormat
{
    Tsv,
    Csv,
    Json,
};
// "tsv", "csv" or "json"; throws UsageError.
OutputFormat ParseOutputFormat(std::string_view text);

struct TerminalSize
{
    int cols = 120;
    int rows = 40;
};
// "COLSxROWS"; throws UsageError.
TerminalSize ParseSize(std::string_view text);

} // namespace app
