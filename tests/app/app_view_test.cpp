// The terminal view: snapshots of the executable, and the keys worked in process on a live session.
#include "app/HostSession.h"
#include "app/TerminalView.h"
#include "app/formats/ProjectReader.h"
#include "app_Process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using app::Key;

std::vector<std::string> View(std::vector<std::string> extra,
                              const std::string& capture = Example("capture.jsonl"))
{
    std::vector<std::string> args{"view",      "--project", Example("project.json"),
                                  "--capture", capture,     "--snapshot"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(ViewSnapshot, DrawsTheDialogAsGolden)
{
    const ProcessResult distribution = RunTally(View({"--query", "Dialogue Events Distribution"}));
    ASSERT_EQ(distribution.exitCode, 0) << distribution.err;
    EXPECT_EQ(distribution.out, Golden("view_distribution.txt"));
    EXPECT_EQ(distribution.out.find('\033'), std::string::npos);

    const ProcessResult paths = RunTally(View({"--query", "Paths Used", "--size", "100x24"}));
    ASSERT_EQ(paths.exitCode, 0) << paths.err;
    EXPECT_EQ(paths.out, Golden("view_paths.txt"));
}

TEST(ViewSnapshot, ACaptureStreamedThroughStandardInputEndsInTheSameFrame)
{
    ProcessOptions options;
    options.input = ReadFile(Example("capture.jsonl"));
    const ProcessResult piped = RunTally(View({"--query", "Paths Used", "--size", "100x24"}, "-"), options);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, Golden("view_paths.txt"));
}

TEST(ViewSnapshot, BadUsageAndBadInputPrintNoFrame)
{
    for (const std::vector<std::string>& args :
         {View({"--size", "wide"}), View({"--size", "10x2"}), View({"--query", "Everything"}),
          std::vector<std::string>{"view", "--snapshot"}})
    {
        const ProcessResult result = RunTally(args);
        EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args);
        EXPECT_EQ(result.out, "");
    }
    const std::string badCapture = TempFile("view_bad.jsonl", "{\"type\": 5}\n\n{\"type\": 99}\n");
    const ProcessResult result = RunTally(View({}, badCapture));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("tally: " + badCapture + ":3: ", 0), 0u) << result.err;
}

TEST(KeyDecoder, ReadsKeysAcrossSplitReads)
{
    app::KeyDecoder decoder;
    EXPECT_EQ(decoder.Feed("\t\x1b[Z\r"), (std::vector<Key>{{Key::Tab}, {Key::BackTab}, {Key::Enter}}));
    // An arrow split between two reads waits for its end.
    EXPECT_TRUE(decoder.Feed("\x1b[").empty());
    EXPECT_EQ(decoder.Feed("Bs"), (std::vector<Key>{{Key::Down}, {Key::Char, L's'}}));
    EXPECT_EQ(decoder.Feed("\x1b[6~\x1bOA"), (std::vector<Key>{{Key::PageDown}, {Key::Up}}));
    EXPECT_EQ(decoder.Feed("\xc3\xa9\x7f\x03"),
              (std::vector<Key>{{Key::Char, L'\u00e9'}, {Key::Backspace}, {Key::Interrupt}}));
    EXPECT_EQ(decoder.Feed("\x1b"), (std::vector<Key>{{Key::Escape}}));
}

// A live session on the examples, driven by keys as a user would.
class TerminalViewTest : public ::testing::Test
{
protected:
    TerminalViewTest()
    {
        std::string error;
        m_session.emplace(app::PluginLibrary::Open(TALLY_PLUGIN_PATH, error));
        const app::ProjectReadResult project = app::ReadProjectFile(Example("project.json"));
        m_session->OpenProject(app::BuildProject(project.project));
        m_session->SetPreference(L"EnableStats", true);
        m_session->OpenView(120 * 7, 39 * 15);
        m_session->StartLogger();
        app::ReadCaptureFile(Example("capture.jsonl"),
                             [this](const app::CaptureItem& item, std::size_t) { m_session->Log(item); });
        m_session->StopLogger();
    }

    bool Press(Key::Code code, wchar_t ch = 0) { return m_view.HandleKey(Key{code, ch}); }
    void Type(std::wstring_view text)
    {
        for (const wchar_t ch : text)
            Press(Key::Char, ch);
    }
    std::vector<int> TabOrder()
    {
        std::vector<int> ids{m_view.FocusedId()};
        for (Press(Key::Tab); m_view.FocusedId() != ids.front() && ids.size() < 20; Press(Key::Tab))
            ids.push_back(m_view.FocusedId());
        return ids;
    }
    std::string Frame()
    {
        app::Canvas canvas(120, 40);
        m_view.Draw(canvas);
        return canvas.PlainText();
    }
    BaseFilteredListControl& List(int id = app::ctl::kMainList) { return *m_session->ResultList(id); }

    std::optional<app::HostSession> m_session;
    app::TerminalView m_view{*m_session};
};

TEST_F(TerminalViewTest, TabSkipsDisabledControlsAndReachesTheLists)
{
    EXPECT_EQ(m_session->SelectedQuery(), L"None");
    EXPECT_EQ(TabOrder(), (std::vector<int>{1004, 1018, 1019, 1020}));

    // Down on the combo chooses the next query of the sorted selector.
    Press(Key::Down);
    EXPECT_EQ(m_session->SelectedQuery(), L"Paths Used");
    EXPECT_EQ(TabOrder(), (std::vector<int>{1004, 1001, 1018, 1015, 1019, 1020, 9999}));
    Press(Key::BackTab);
    EXPECT_EQ(m_view.FocusedId(), 9999);

    // The drop-down list: Enter opens it, arrows move, Enter chooses.
    Press(Key::Tab);
    Press(Key::Enter);
    EXPECT_NE(Frame().find("│Dialogue Events Added"), std::string::npos);
    Press(Key::Up);
    Press(Key::Up);
    Press(Key::Enter);
    EXPECT_EQ(m_session->SelectedQuery(), L"Dialogue Events Distribution");
    EXPECT_EQ(TabOrder(), (std::vector<int>{1004, 1001, 1018, 1015, 1019, 1020, 9999, 9998}));
    EXPECT_FALSE(Press(Key::Char, L'q'));
}

TEST_F(TerminalViewTest, ListKeysSelectSortAndFilter)
{
    m_session->ChooseQuery(L"Paths Used");
    Press(Key::BackTab);
    ASSERT_EQ(m_view.FocusedId(), 9999);
    Press(Key::Down);
    Press(Key::Down);
    Press(Key::Down);
    EXPECT_NE(Frame().find(">Farewell::Sunny"), std::string::npos);

    // s sorts by the focused column, again the other way.
    Press(Key::Right);
    Press(Key::Char, L's');
    EXPECT_EQ(List().GetSortColumn(), 1);
    EXPECT_EQ(List().GetSortDirection(), BaseFilteredListControl::SortAscending);
    Press(Key::Char, L's');
    EXPECT_EQ(List().GetSortDirection(), BaseFilteredListControl::SortDescending);
    EXPECT_NE(Frame().find("Added ▼"), std::string::npos);
    EXPECT_EQ(List().GetCellText(0, 0), L"Battle_Cry:");

    // / types a filter for the focused column; a bad one is reported and changes nothing.
    Press(Key::Char, L'/');
    Type(L">=x");
    Press(Key::Enter);
    EXPECT_NE(Frame().find("needs a number"), std::string::npos);
    EXPECT_EQ(List().RowCount(), 9);
    Press(Key::Char, L'/');
    Type(L">=2");
    Press(Key::Enter);
    EXPECT_EQ(List().RowCount(), 2);
    EXPECT_NE(Frame().find("filter Added>=2"), std::string::npos);
    // An empty filter removes it; Escape leaves the prompt without a change.
    Press(Key::Char, L'/');
    Press(Key::Backspace);
    Press(Key::Backspace);
    Press(Key::Backspace);
    Press(Key::Enter);
    EXPECT_EQ(List().RowCount(), 9);
    Press(Key::Char, L'/');
    Type(L"=7");
    Press(Key::Escape);
    EXPECT_EQ(List().RowCount(), 9);
    Press(Key::End);
    EXPECT_NE(Frame().find(">Greeting::Unknown.Hero"), std::string::npos);
}

TEST_F(TerminalViewTest, ButtonsAndCheckBoxesWorkTheDialog)
{
    m_session->ChooseQuery(L"Dialogue Events Distribution");
    // The window selects its first event; moving on shows the next one's values and its name.
    Press(Key::BackTab);
    Press(Key::BackTab);
    ASSERT_EQ(m_view.FocusedId(), 9999);
    EXPECT_NE(Frame().find(">Battle_Cry"), std::string::npos);
    EXPECT_EQ(List(app::ctl::kValueList).RowCount(), 0);
    Press(Key::Down);
    EXPECT_EQ(List(app::ctl::kValueList).RowCount(), 8);
    const std::string frame = Frame();
    EXPECT_NE(frame.find("Selected Event"), std::string::npos);
    EXPECT_NE(frame.find(" Greeting\n", frame.find("Selected Event")), std::string::npos) << frame;

    Press(Key::Tab);
    Press(Key::Tab); // Run, Clear, Copy Results and the check boxes follow the combo
    for (; m_view.FocusedId() != app::ctl::kCopyResults; Press(Key::Tab))
    {
    }
    Press(Key::Char, L' ');
    EXPECT_NE(Frame().find("Copied 15 lines to the clipboard"), std::string::npos);
    EXPECT_EQ(m_session->Environment().Clipboard().Text().substr(0, 19), L"Dialogue Event Name");

    Press(Key::Tab);
    Press(Key::Enter); // "Update automatically" off
    EXPECT_FALSE(m_session->GetPreference(L"EnableStats"));
    EXPECT_FALSE(m_session->Control(app::ctl::kKeepStatistics)->IsWindowEnabled());
    EXPECT_NE(Frame().find("[ ] Update automatically"), std::string::npos);

    for (; m_view.FocusedId() != app::ctl::kClear; Press(Key::Tab))
    {
    }
    Press(Key::Enter);
    EXPECT_EQ(List().RowCount(), 0);
    Press(Key::BackTab);
    Press(Key::Enter); // Run brings the statistics back from the log
    EXPECT_EQ(List().RowCount(), 3);
}

} // namespace
