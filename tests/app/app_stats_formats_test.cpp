// `tally stats --format` and several `--capture` files, end to end: csv and json hold the rows of the
// copy, and captures given one after another gather as their items would in one capture.
#include "app/generate/Generator.h"
#include "app_Process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <random>
#include <string>
#include <vector>

namespace
{

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> Stats(const std::string& project, const std::vector<std::string>& captures,
                               const std::vector<std::string>& extra)
{
    std::vector<std::string> args{"stats", "--project", project};
    for (const std::string& capture : captures)
        args.insert(args.end(), {"--capture", capture});
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

std::vector<std::string> OnExample(const std::vector<std::string>& extra)
{
    return Stats(Example("project.json"), {Example("capture.jsonl")}, extra);
}

std::string Out(const std::vector<std::string>& args)
{
    const ProcessResult result = RunTally(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

TEST(StatsFormats, PrintTheGoldenTextsOfTheExample)
{
    EXPECT_EQ(Out(OnExample({"--query", "Paths Used", "--format", "csv"})), Golden("stats_paths.csv"));
    EXPECT_EQ(Out(OnExample({"--query", "Dialogue Events Added", "--format", "csv"})),
              Golden("stats_added.csv"));
    EXPECT_EQ(Out(OnExample({"--query", "Dialogue Events Distribution", "--format", "csv", "--value-sort",
                             "Count:desc"})),
              Golden("stats_distribution_sorted.csv"));
    EXPECT_EQ(Out(OnExample({"--format", "json"})), Golden("stats_all.json"));
    EXPECT_EQ(Out(OnExample({"--format", "tsv"})), Golden("stats_all.txt"));
    EXPECT_EQ(Out(OnExample({"--format", "json", "--query", "None"})), "{\"statistics\":[]}\n");
    EXPECT_EQ(Out(OnExample({"--format", "csv", "--query", "None"})), "");

    // The warning still goes to stderr, once per printed statistic that shows it.
    const ProcessResult json = RunTally(OnExample({"--format", "json"}));
    EXPECT_EQ(std::count(json.err.begin(), json.err.end(), '\n'), 2);

    for (const std::vector<std::string>& args :
         {OnExample({"--format", "csv"}), OnExample({"--format", "xml"}), OnExample({"--format"}),
          Stats(Example("project.json"), {Example("capture.jsonl"), Example("capture.jsonl")},
                {"--replay", "run"})})
    {
        const ProcessResult result = RunTally(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("tally: ", 0), 0u) << result.err;
    }
}

Rows SplitLines(const std::string& text, char separator)
{
    Rows rows;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = text.find('\n', start);
        std::vector<std::string> fields;
        for (std::size_t field = start;;)
        {
            const std::size_t next = std::min(text.find(separator, field), end);
            fields.push_back(text.substr(field, next - field));
            if (next == end)
                break;
            field = next + 1;
        }
        rows.push_back(std::move(fields));
        start = end + 1;
    }
    return rows;
}

// RFC 4180: quoted fields may hold commas, quotes (doubled) and line ends.
Rows ParseCsv(const std::string& text)
{
    Rows rows(1, std::vector<std::string>(1));
    bool bQuoted = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (bQuoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            rows.back().back() += text[++i];
        else if (c == '"')
            bQuoted = !bQuoted;
        else if (!bQuoted && c == ',')
            rows.back().emplace_back();
        else if (!bQuoted && c == '\n')
            rows.push_back(std::vector<std::string>(1));
        else
            rows.back().back() += c;
    }
    rows.pop_back();
    return rows;
}

// The copy's rows as a flat table: the distribution's value lines under their event's fields, and an
// event without values on a line of its own with empty value fields.
Rows FlatCopy(const std::string& copy, bool bDistribution)
{
    Rows lines = SplitLines(copy, '\t');
    if (!bDistribution)
        return lines;
    Rows flat{{lines.front().begin(), lines.front().end() - 1}};
    for (std::size_t i = 1; i < lines.size(); ++i)
    {
        const std::vector<std::string>& event = lines[i];
        std::size_t values = 0;
        for (; i + 1 < lines.size() && lines[i + 1].size() == 6 && lines[i + 1][0].empty(); ++i, ++values)
        {
            std::vector<std::string> row = event;
            row.insert(row.end(), lines[i + 1].begin() + 3, lines[i + 1].end());
            flat.push_back(std::move(row));
        }
        if (values == 0)
        {
            std::vector<std::string> row = event;
            row.insert(row.end(), 3, "");
            flat.push_back(std::move(row));
        }
    }
    return flat;
}

// A json cell as the list shows it: counters as integers, shares with one decimal.
std::string Shown(const nlohmann::json& cell)
{
    if (cell.is_string())
        return cell.get<std::string>();
    if (cell.is_number_float())
    {
        char text[32];
        const auto end =
            std::to_chars(text, text + sizeof text, cell.get<double>(), std::chars_format::fixed, 1);
        return std::string(text, end.ptr);
    }
    return cell.dump();
}

Rows FlatJson(const nlohmann::json& statistic)
{
    Rows flat(1);
    for (const auto* pKey : {"columns", "valueColumns"})
        for (const nlohmann::json& title : statistic.value(pKey, nlohmann::json::array()))
            flat.front().push_back(title.get<std::string>());
    for (const nlohmann::json& row : statistic["rows"])
    {
        std::vector<std::string> cells;
        for (const nlohmann::json& cell : row["cells"])
            cells.push_back(Shown(cell));
        if (!statistic.contains("valueColumns"))
        {
            flat.push_back(cells);
            continue;
        }
        if (row["values"].empty())
        {
            flat.push_back(cells);
            flat.back().insert(flat.back().end(), 3, "");
        }
        for (const nlohmann::json& value : row["values"])
        {
            flat.push_back(cells);
            for (const nlohmann::json& cell : value)
                flat.back().push_back(Shown(cell));
        }
    }
    return flat;
}

struct Generated
{
    std::string project;
    std::string capture;
    std::string captureText;
};

Generated Generate(std::uint64_t events, std::uint64_t items, std::uint64_t seed, const std::string& name)
{
    const app::Generator generator({events, items, seed});
    Generated files;
    files.project = TempFile(name + "_project.json", generator.ProjectJson());
    files.captureText = generator.CaptureJsonl();
    files.capture = TempFile(name + "_capture.jsonl", files.captureText);
    return files;
}

TEST(StatsFormats, CsvAndJsonHoldTheRowsOfTheCopyInItsOrder)
{
    const Generated data = Generate(50, 8000, 23, "formats");
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"Paths Used", {"--sort", "Played:desc", "--filter", "Added>=2"}},
        {"Dialogue Events Added", {"--sort", "Target Object"}},
        {"Dialogue Events Distribution", {"--sort", "Added:desc", "--value-sort", "%:desc"}},
        {"Dialogue Events Distribution", {"--value-sort", "Value"}},
    };
    for (const auto& [query, settings] : cases)
    {
        SCOPED_TRACE(query + testing::PrintToString(settings));
        std::vector<std::string> options{"--query", query};
        options.insert(options.end(), settings.begin(), settings.end());
        const auto with = [&](const char* format)
        {
            std::vector<std::string> args = options;
            args.insert(args.end(), {"--format", format});
            return Out(Stats(data.project, {data.capture}, args));
        };
        const Rows copied = FlatCopy(with("tsv"), query == std::string("Dialogue Events Distribution"));
        ASSERT_GT(copied.size(), 10u);
        EXPECT_EQ(ParseCsv(with("csv")), copied);
        const nlohmann::json document = nlohmann::json::parse(with("json"));
        ASSERT_EQ(document["statistics"].size(), 1u);
        EXPECT_EQ(FlatJson(document["statistics"][0]), copied);
    }
}

TEST(StatsCaptures, SeveralCapturesGatherAsTheirItemsInOneCapture)
{
    const Generated data = Generate(30, 12000, 5, "sessions");
    const std::string whole = Out(Stats(data.project, {data.capture}, {}));
    ASSERT_GT(whole.size(), 1000u);

    // Cut the capture at random line ends, each piece one file; the plays that wait across a cut
    // must still be credited, so nothing may be cleared between the sessions.
    std::mt19937_64 random(99);
    std::vector<std::size_t> lineEnds;
    for (std::size_t at = data.captureText.find('\n'); at != std::string::npos;
         at = data.captureText.find('\n', at + 1))
        lineEnds.push_back(at + 1);
    for (const int pieces : {2, 3, 5})
    {
        std::vector<std::size_t> cuts{0, data.captureText.size()};
        for (int i = 1; i < pieces; ++i)
            cuts.push_back(lineEnds[random() % lineEnds.size()]);
        std::sort(cuts.begin(), cuts.end());
        std::vector<std::string> files;
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
            files.push_back(TempFile("piece" + std::to_string(pieces) + "_" + std::to_string(i) + ".jsonl",
                                     data.captureText.substr(cuts[i], cuts[i + 1] - cuts[i])));
        SCOPED_TRACE(testing::PrintToString(cuts));
        EXPECT_EQ(Out(Stats(data.project, files, {})), whole);
        EXPECT_EQ(Out(Stats(data.project, files, {"--format", "json"})),
                  Out(Stats(data.project, {data.capture}, {"--format", "json"})));
    }

    // Each capture's lines are counted in its own file.
    const std::string broken = TempFile("broken.jsonl", "{\"type\": 5}\n\n{\"type\": 34}\n");
    const ProcessResult failed = RunTally(Stats(data.project, {data.capture, broken}, {}));
    EXPECT_EQ(failed.exitCode, 2);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err.rfind("tally: " + broken + ":3: ", 0), 0u) << failed.err;
}

} // namespace
