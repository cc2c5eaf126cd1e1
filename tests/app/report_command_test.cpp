// `tally report` end to end: the page of the example opens in headless chromium with every row that
// `tally stats` prints, its findings and what was read; a page that cannot be written fails cleanly.
#include "app_Process.h"
#include "report_Browser.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

namespace
{

// Counts the rows of each statistic and the findings; keeps the page's text.
constexpr const char* kProbeBody = R"(  result.rows = {};
  document.querySelectorAll('table[data-statistic]').forEach((t) => {
    result.rows[t.dataset.statistic] = t.tBodies[0].rows.length;
  });
  result.findings = document.querySelector('table[data-findings]').tBodies[0].rows.length;
  result.never = document.querySelectorAll('#coverage .never').length;
  result.text = document.body.textContent;
)";

// The rows `tally stats --query NAME` prints: its lines but the header.
long StatsRows(const std::string& query)
{
    const ProcessResult stats = RunTally({"stats", "--project", Example("project.json"), "--capture",
                                          Example("capture.jsonl"), "--query", query});
    EXPECT_EQ(stats.exitCode, 0) << stats.err;
    return std::count(stats.out.begin(), stats.out.end(), '\n') - 1;
}

TEST(ReportCommand, TheExamplesPageHoldsEveryRowInABrowser)
{
    if (HeadlessBrowser::Executable().empty())
        GTEST_FAIL() << "chromium is missing: scripts/setup.sh installs it";
    HeadlessBrowser browser;
    const std::filesystem::path page = browser.Folder() / "report.html";
    const ProcessResult result = RunTally({"report", "--project", Example("project.json"), "--capture",
                                           Example("capture.jsonl"), "--output", page.string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
    // Nothing but the page is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(browser.Folder()), {}), 1);
    std::ofstream(page, std::ios::app) << HeadlessBrowser::ProbeScript(kProbeBody);

    const std::optional<nlohmann::json> recorded = browser.Probe(page);
    ASSERT_TRUE(recorded);
    const nlohmann::json& probe = *recorded;
    for (const std::string name : {"Paths Used", "Dialogue Events Added"})
        EXPECT_EQ(probe["rows"][name], StatsRows(name)) << name;
    // The distribution's copy has a line per value too: its rows are the example's three events.
    EXPECT_EQ(probe["rows"]["Dialogue Events Distribution"], 3);
    // The example chooses one value the project lacks: two findings on one line.
    EXPECT_EQ(probe["findings"], 2);
    // Some listed value or target of the example is never reached.
    EXPECT_GT(probe["never"], 0);
    const std::string body = probe["text"];
    EXPECT_NE(body.find("34 dialogue event resolved"), std::string::npos);
    EXPECT_NE(body.find("DialogueEvent"), std::string::npos);
}

TEST(ReportCommand, APageThatCannotBeWrittenFailsAndLeavesNothing)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tally_report_unwritable";
    std::filesystem::create_directories(folder);
    const ProcessResult missing =
        RunTally({"report", "--project", Example("project.json"), "--capture", Example("capture.jsonl"),
                  "--output", (folder / "no/such/r.html").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "tally: " + (folder / "no/such/r.html").string() +
                               ": cannot write: No such file or directory\n");
    // A folder where the page should go: the rename fails and the temporary file goes.
    std::filesystem::create_directories(folder / "taken.html");
    const ProcessResult taken =
        RunTally({"report", "--project", Example("project.json"), "--capture", Example("capture.jsonl"),
                  "--output", (folder / "taken.html").string()});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_EQ(taken.err.rfind("tally: " + (folder / "taken.html").string() + ": cannot write: ", 0), 0u)
        << taken.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_EQ(
        RunTally({"report", "--project", Example("project.json"), "--capture", Example("capture.jsonl")})
            .exitCode,
        2);
    std::filesystem::remove_all(folder);
}

} // namespace
