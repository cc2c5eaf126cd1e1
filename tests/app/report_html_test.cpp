#include "app/report/HtmlReport.h"
#include "app/report/HtmlText.h"

#include "report_SampleReport.h"

#include <gtest/gtest.h>

namespace
{

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ReportHtml, EscapesText)
{
    EXPECT_EQ(app::report::Escaped("<a href=\"x\">Tom & Jerry's</a>"),
              "&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/a&gt;");
    std::string script;
    app::report::AppendScriptJson(script, R"(["</script><!--"])");
    EXPECT_EQ(script, R"(["\u003c/script>\u003c!--"])");
}

// Markup in names never reaches the page as markup: neither in what is written as HTML nor in the data
// that the script reads.
TEST(ReportHtml, NamesNeverBecomeMarkup)
{
    const std::string page = app::report::WriteHtmlReport(SampleReport());
    EXPECT_EQ(page.find(kMarkupEvent), std::string::npos);
    EXPECT_EQ(page.find("<b>bold"), std::string::npos);
    EXPECT_NE(page.find("&lt;i&gt;Tag &amp; &quot;Co&quot;&lt;/i&gt;"), std::string::npos);
    // The page's own two scripts only.
    EXPECT_EQ(Occurrences(page, "</script>"), 2u);
    EXPECT_EQ(Occurrences(page, "<table data-statistic="), 3u);
    EXPECT_NE(page.find("<table data-statistic=\"Dialogue Events Distribution\""), std::string::npos);
    // Self-contained: nothing is fetched.
    EXPECT_EQ(page.find("src="), std::string::npos);
    EXPECT_EQ(page.find("<link"), std::string::npos);
    EXPECT_EQ(page.find("http"), std::string::npos);
}

} // namespace
