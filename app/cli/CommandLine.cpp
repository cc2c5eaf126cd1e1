#include "app/cli/CommandLine.h"

#include <algorithm>
#include <charconv>

namespace app
{

std::optional<std::string> ParsedOptions::Get(std::string_view name) const
{
    const auto found = m_values.find(name);
    if (found == m_values.end() || found->second.empty())
        return std::nullopt;
    return found->second.back();
}

std::vector<std::string> ParsedOptions::All(std::string_view name) const
{
    const auto found = m_values.find(name);
    return found == m_values.end() ? std::vector<std::string>{} : found->second;
}

std::string ParsedOptions::Require(std::string_view name) const
{
    std::optional<std::string> value = Get(name);
    if (!value)
        throw UsageError("missing --" + std::string(name));
    return *value;
}

std::vector<std::string> ParsedOptions::RequireAll(std::string_view name) const
{
    std::vector<std::string> values = All(name);
    if (values.empty())
        throw UsageError("missing --" + std::string(name));
    return values;
}

ParsedOptions ParseOptions(std::span<const std::string> args, std::span<const OptionSpec> specs)
{
    static constexpr OptionSpec kHelp{"help", false, true};
    ParsedOptions parsed;
    for (std::size_t index = 0; index < args.size(); ++index)
    {
        // -h is the one short option, as every command's help.
        const std::string arg = args[index] == "-h" ? "--help" : args[index];
        if (arg.size() < 3 || !arg.starts_with("--"))
            throw UsageError("unexpected argument '" + arg + "'");
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const auto spec =
            std::find_if(specs.begin(), specs.end(), [&](const OptionSpec& s) { return s.name == name; });
        const OptionSpec& option = spec != specs.end() ? *spec : kHelp;
        if (spec == specs.end() && name != kHelp.name)
            throw UsageError("unknown option --" + name);

        std::string value;
        if (option.takesValue)
        {
            if (equals != std::string::npos)
                value = arg.substr(equals + 1);
            else if (index + 1 < args.size())
                value = args[++index];
            else
                throw UsageError("--" + name + " needs a value");
        }
        else if (equals != std::string::npos)
            throw UsageError("--" + name + " takes no value");

        std::vector<std::string>& values = parsed.m_values[name];
        if (!values.empty() && !option.repeatable)
            throw UsageError("--" + name + " given twice");
        values.push_back(std::move(value));
    }
    return parsed;
}

std::uint64_t ParseCount(std::string_view text, std::string_view option)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("--" + std::string(option) + " needs a whole number, not '" + std::string(text) +
                         "'");
    return value;
}

OutputFormat ParseOutputFormat(std::string_view text)
{
    if (text == "tsv")
        return OutputFormat::Tsv;
    if (text == "csv")
        return OutputFormat::Csv;
    if (text == "json")
        return OutputFormat::Json;
    throw UsageError("--format is tsv, csv or json, not '" + std::string(text) + "'");
}

TerminalSize ParseSize(std::string_view text)
{
    const std::size_t cross = text.find('x');
    const auto fail = [&]
    {
        return UsageError("--size needs COLSxROWS, not '" + std::string(text) + "'");
    };
    if (cross == std::string_view::npos)
        throw fail();
    int cols = 0, rows = 0;
    const std::string_view colsText = text.substr(0, cross), rowsText = text.substr(cross + 1);
    const auto c = std::from_chars(colsText.data(), colsText.data() + colsText.size(), cols);
    const auto r = std::from_chars(rowsText.data(), rowsText.data() + rowsText.size(), rows);
    if (colsText.empty() || rowsText.empty() || c.ec != std::errc() || r.ec != std::errc() ||
        c.ptr != colsText.data() + colsText.size() || r.ptr != rowsText.data() + rowsText.size())
        throw fail();
    if (cols < 20 || rows < 5 || cols > 1000 || rows > 1000)
        throw UsageError("--size must lie between 20x5 and 1000x1000");
    return TerminalSize{cols, rows};
}

} // namespace app
