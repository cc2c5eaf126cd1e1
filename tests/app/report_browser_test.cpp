// The report as a browser shows it: pages written from hand-built models are opened in headless
// chromium with a small script appended that clicks and types as a user would and records what the
// page then shows.
#include "app/report/HtmlReport.h"

#include "report_Browser.h"
#include "report_SampleReport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fstream>

namespace
{

using nlohmann::json;

// Clicks and typing; what the page then shows goes into `result`.
constexpr const char* kProbeBody =
    R"(  const table = (name) => document.querySelector(`table[data-statistic="${name}"]`);
  const column = (t, c) => Array.from(t.tBodies[0].rows, (row) => row.cells[c].textContent);
  const type = (t, c, text) => {
    const input = t.tHead.querySelectorAll('input')[c];
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
  };
  result.rows = {};
  document.querySelectorAll('table[data-statistic]').forEach((t) => {
    result.rows[t.dataset.statistic] = t.tBodies[0].rows.length;
  });
  result.findingRows = document.querySelector('table[data-findings]').tBodies[0].rows.length;
  const paths = table('Paths Used');
  if (paths && paths.tBodies[0].rows.length < 100) {
    const titles = paths.tHead.rows[0].cells;
    result.sourceOrder = column(paths, 0);
    titles[0].click();
    result.pathAscending = column(paths, 0);
    titles[0].click();
    result.pathDescending = column(paths, 0);
    titles[1].click();
    result.addedAscending = column(paths, 0);
    titles[1].click();
    result.addedDescending = column(paths, 0);
    result.ariaSort = Array.from(titles, (th) => th.getAttribute('aria-sort'));
    type(paths, 0, 'BETA');
    result.filteredBeta = column(paths, 0);
    type(paths, 0, 'L');
    type(paths, 1, '5');
    result.filteredTwoColumns = column(paths, 0);
    type(paths, 1, '');
    type(paths, 0, '\u00C9CL');
    result.filteredAccent = column(paths, 0);
    type(paths, 0, '');
    result.unfiltered = paths.tBodies[0].rows.length;
    result.note = paths.closest('section').querySelector('.rows-note').textContent;
  }
  const distribution = table('Dialogue Events Distribution');
  if (distribution) {
    const first = distribution.tBodies[0].rows[0];
    result.groups = Array.from(first.querySelectorAll('.argument'),
                               (group) => Array.from(group.querySelectorAll('.label'), (label) => label.textContent));
    result.widths = Array.from(first.querySelectorAll('.fill'), (fill) => parseFloat(fill.style.width));
    result.markupName = distribution.tBodies[0].rows[1].cells[0].textContent;
  }
  result.never = document.querySelectorAll('#coverage .never').length;
  result.injected = document.querySelectorAll('main b, main i').length;
  const added = table('Dialogue Events Added');
  const pager = added.closest('section').querySelector('.pager');
  result.pager = pager.hidden ? '' : pager.textContent;
  if (!pager.hidden) {
    const firstOfPage = () => added.tBodies[0].rows[0].cells[2].textContent;
    result.pageStarts = [firstOfPage()];
    pager.querySelector('button:last-of-type').click();
    result.pageStarts.push(firstOfPage());
    result.nextPager = pager.textContent;
    pager.querySelector('button').click();
    result.pageStarts.push(firstOfPage());
    const countTitle = added.tHead.rows[0].cells[2];
    countTitle.click();
    countTitle.click();
    result.pageStarts.push(firstOfPage());
    result.sortedPager = pager.textContent;
  }
)";

class ReportBrowser : public testing::Test
{
protected:
    void SetUp() override
    {
        if (HeadlessBrowser::Executable().empty())
            GTEST_FAIL() << "chromium is missing: scripts/setup.sh installs it";
        ASSERT_FALSE(m_browser.Folder().empty());
    }

    std::filesystem::path WritePage(const app::report::ReportInput& input, const std::string& name,
                                    const std::string& appended = {})
    {
        const std::filesystem::path path = m_browser.Folder() / name;
        std::ofstream(path, std::ios::binary) << app::report::WriteHtmlReport(input) << appended;
        return path;
    }

    // What the probe recorded, after every script of the page ran.
    json Probe(const app::report::ReportInput& input)
    {
        const std::filesystem::path page =
            WritePage(input, "probed.html", HeadlessBrowser::ProbeScript(kProbeBody));
        return m_browser.Probe(page).value_or(json::object());
    }

    HeadlessBrowser m_browser;
};

using Texts = std::vector<std::string>;

TEST_F(ReportBrowser, SortsAndFiltersAsTheListDoes)
{
    const json result = Probe(SampleReport());
    ASSERT_TRUE(result.contains("rows"));
    EXPECT_EQ(result["rows"],
              json({{"Dialogue Events Distribution", 2}, {"Paths Used", 6}, {"Dialogue Events Added", 2}}));
    EXPECT_EQ(result["findingRows"], 1);
    EXPECT_EQ(result["sourceOrder"].get<Texts>(),
              Texts({"beta", "\uFF21lpha", "\U0001F600 smile", "Beta", kMarkupPath, "\u00E9clair"}));
    // By UTF-16 code units the emoji's surrogates (D83D) come before U+FF21; by code points it is after.
    EXPECT_EQ(result["pathAscending"].get<Texts>(),
              Texts({kMarkupPath, "Beta", "beta", "\u00E9clair", "\U0001F600 smile", "\uFF21lpha"}));
    EXPECT_EQ(result["pathDescending"].get<Texts>(),
              Texts({"\uFF21lpha", "\U0001F600 smile", "\u00E9clair", "beta", "Beta", kMarkupPath}));
    // Equal counts keep the source order, ascending and descending alike.
    EXPECT_EQ(result["addedAscending"].get<Texts>(),
              Texts({"beta", "\U0001F600 smile", kMarkupPath, "\uFF21lpha", "\u00E9clair", "Beta"}));
    EXPECT_EQ(result["addedDescending"].get<Texts>(),
              Texts({"Beta", "\uFF21lpha", "\u00E9clair", "beta", "\U0001F600 smile", kMarkupPath}));
    EXPECT_EQ(result["ariaSort"], json({"none", "descending", "none"}));
    // Filters ignore case, keep the shown order, and must all pass.
    EXPECT_EQ(result["filteredBeta"].get<Texts>(), Texts({"Beta", "beta"}));
    EXPECT_EQ(result["filteredTwoColumns"].get<Texts>(), Texts({"\uFF21lpha", "\u00E9clair"}));
    EXPECT_EQ(result["filteredAccent"].get<Texts>(), Texts({"\u00E9clair"}));
    EXPECT_EQ(result["unfiltered"], 6);
    EXPECT_EQ(result["note"], "6 rows");
}

TEST_F(ReportBrowser, ShowsValuesAsBarsPerArgumentAndCoverage)
{
    const json result = Probe(SampleReport());
    ASSERT_TRUE(result.contains("groups"));
    EXPECT_EQ(result["groups"], json({{"1.Mood:Happy", "1.Mood:*"}, {"2.Tone:Low"}}));
    ASSERT_EQ(result["widths"].size(), 3u);
    EXPECT_NEAR(result["widths"][0].get<double>(), 66.67, 0.01);
    EXPECT_NEAR(result["widths"][1].get<double>(), 33.33, 0.01);
    EXPECT_NEAR(result["widths"][2].get<double>(), 100.0, 0.01);
    EXPECT_EQ(result["markupName"], kMarkupEvent);
    EXPECT_EQ(result["injected"], 0);
    // Farewell, Greeting's entry without a target, Sad, and Tone's wildcard.
    EXPECT_EQ(result["never"], 4);
}

TEST_F(ReportBrowser, HoldsEveryRowUpToTenThousandThenPages)
{
    using app::report::kRowsAtOnce;
    using app::report::kRowsPerPage;
    app::report::ReportInput input = SampleReport();
    std::vector<app::formats::Row>& paths = input.statistics[1].rows;
    paths.clear();
    for (std::size_t i = 0; i < kRowsAtOnce; ++i)
        paths.push_back(PathRow("path " + std::to_string(i), i % 7, 0));
    // The counts number the rows, so that a page's first row tells where it starts.
    std::vector<app::formats::Row>& added = input.statistics[2].rows;
    const app::formats::Row row = added.front();
    added.assign(kRowsAtOnce + 1, row);
    for (std::size_t i = 0; i < added.size(); ++i)
        added[i].cells[2] = app::formats::Cell::Counter(i);

    const json result = Probe(input);
    ASSERT_TRUE(result.contains("rows"));
    EXPECT_EQ(result["rows"]["Paths Used"], kRowsAtOnce);
    EXPECT_EQ(result["rows"]["Dialogue Events Added"], kRowsPerPage);
    EXPECT_EQ(result["pager"], "PreviousNextRows 1\u20131000 of 10001");
    // Next, Previous, then sorting descending, which starts again on the first page.
    EXPECT_EQ(result["pageStarts"], json({"0", "1000", "0", "10000"}));
    EXPECT_EQ(result["nextPager"], "PreviousNextRows 1001\u20132000 of 10001");
    EXPECT_EQ(result["sortedPager"], "PreviousNextRows 1\u20131000 of 10001");
}

// A blank page compresses to almost nothing; the report's text, tables and bars do not.
TEST_F(ReportBrowser, ScreenshotIsNotBlank)
{
    const std::filesystem::path blank = m_browser.Folder() / "blank.html";
    std::ofstream(blank) << "<!DOCTYPE html><html><body></body></html>";
    const std::filesystem::path blankPng = m_browser.Folder() / "blank.png";
    const std::filesystem::path reportPng = m_browser.Folder() / "report.png";
    ASSERT_TRUE(m_browser.Screenshot(blank, blankPng));
    ASSERT_TRUE(m_browser.Screenshot(WritePage(SampleReport(), "report.html"), reportPng));
    EXPECT_GT(std::filesystem::file_size(reportPng), 5 * std::filesystem::file_size(blankPng) + 20000);
}

} // namespace
