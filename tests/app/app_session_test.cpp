// The host session and the list settings in process.
#include "app/formats/ProjectReader.h"
#include "app/session/HostSession.h"
#include "app/session/ListSettings.h"
#include "app_Process.h"
#include "tests/support/BuiltPlugin.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::unique_ptr<app::HostSession> ExampleSession()
{
    auto pSession = std::make_unique<app::HostSession>(LoadBuiltPlugin());
    pSession->OpenProject(app::BuildProject(app::ReadProjectFile(Example("project.json")).project));
    pSession->SetPreference(L"EnableStats", true);
    pSession->OpenView(840, 585);
    pSession->StartLogger();
    app::ReadCaptureFile(Example("capture.jsonl"),
                         [&](const app::CaptureItem& item, std::size_t) { pSession->Log(item); });
    pSession->StopLogger();
    return pSession;
}

TEST(HostSession, ClosesEveryWindowAndUnloadsThePlugIn)
{
    const std::size_t windowsBefore = LiveWindowCount();
    std::unique_ptr<app::HostSession> pSession = ExampleSession();
    EXPECT_TRUE(IsMapped(BuiltPluginFileName()));
    EXPECT_TRUE(pSession->ChooseQuery(L"Dialogue Events Added"));
    EXPECT_FALSE(pSession->ChooseQuery(L"Everything"));
    EXPECT_EQ(pSession->ResultList(app::ctl::kMainList)->RowCount(), 7);
    pSession->Close();
    EXPECT_EQ(LiveWindowCount(), windowsBefore);
    EXPECT_EQ(NyLcRow::LiveCount(), 0);
    EXPECT_FALSE(IsMapped(BuiltPluginFileName()));
}

TEST(HostSession, AMissingLibraryIsReportedWithTheLoadersReason)
{
    std::string error;
    EXPECT_EQ(app::PluginLibrary::Open("/nonexistent/libtally.so", error), nullptr);
    // The caller names the path; the reason is the loader's own.
    EXPECT_EQ(error, "cannot load the plug-in: cannot open shared object file: No such file or directory");
}

TEST(ListSettings, FiltersNameWholeTitlesFollowedByAnOperator)
{
    std::unique_ptr<app::HostSession> pSession = ExampleSession();
    pSession->ChooseQuery(L"Dialogue Events Added");
    BaseFilteredListControl& list = *pSession->ResultList(app::ctl::kMainList);

    int column = -1;
    EXPECT_EQ(app::ApplyFilter(list, L"Target Object~_0", &column), "");
    EXPECT_EQ(column, 1);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(app::ApplyFilter(list, L"Count>=1"), "");
    EXPECT_EQ(list.RowCount(), 1);
    // A title cut short, or one not followed by an operator, names no column.
    EXPECT_NE(app::ApplyFilter(list, L"Target~_0"), "");
    EXPECT_NE(app::ApplyFilter(list, L"Count 1"), "");
    EXPECT_NE(app::ApplyFilter(list, L"Count<one"), "");
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(app::ApplyCriterion(list, 1, *app::ParseCriterion(L"", true)), "");
    EXPECT_EQ(list.RowCount(), 6);

    const app::SortRequest sort = app::ParseSortRequest("Target Object:desc");
    EXPECT_EQ(sort.column, L"Target Object");
    EXPECT_TRUE(sort.bDescending);
    EXPECT_EQ(app::ApplySort(list, sort), "");
    EXPECT_EQ(list.GetCellText(0, 1), L"Greeting_Sad");
    EXPECT_NE(app::ApplySort(list, app::ParseSortRequest("target object")), "");
}

} // namespace
