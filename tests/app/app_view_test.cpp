// The terminal view: snapshots of the executable, and the keys worked in process on a live session.
#include "app/formats/ProjectReader.h"
#include "app/session/HostSession.h"
#include "app/terminal/TerminalView.h"
#include "app_Process.h"
#include "host/base/TextCodec.h"
#include "tests/support/BuiltPlugin.h"

#include <curses.h>
#include <gtest/gtest.h>

#include <sstream>
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

// A project whose names are wide (CJK), carry combining marks or are plain.
std::string WideNamesProject()
{
    std::string project = ReadFile(Example("project.json"));
    const auto rename = [&project](const std::string& from, const std::string& to)
    {
        for (std::size_t pos = 0; (pos = project.find(from, pos)) != std::string::npos; pos += to.size())
            project.replace(pos, from.size(), to);
    };
    rename("\"name\": \"Greeting\"", "\"name\": \"挨拶\"");
    rename("\"name\": \"Hero\"", "\"name\": \"He\u0301ro\"");
    return TempFile("view_wide_project.json", project);
}

TEST(ViewSnapshot, WideAndCombiningNamesKeepTheColumnsInLine)
{
    const ProcessResult result =
        RunTally({"view", "--project", WideNamesProject(), "--capture", Example("capture.jsonl"),
                  "--snapshot", "--query", "Paths Used", "--size", "100x24"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_NE(result.out.find("挨拶::Happy.He\u0301ro"), std::string::npos) << result.out;
    // Every path row ends with its Played count in the same cell.
    std::istringstream lines(result.out);
    int rows = 0;
    for (std::string line; std::getline(lines, line);)
    {
        if (line.find("::") == std::string::npos)
            continue;
        // Measured here by hand: each of the two CJK characters takes two cells, the mark none.
        int cells = 0;
        for (const wchar_t ch : text::FromUtf8(line))
            cells += ch == L'挨' || ch == L'拶' ? 2 : ch == L'\u0301' ? 0 : 1;
        EXPECT_EQ(cells, 96) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 8);
}

TEST(ViewSnapshot, ANarrowTerminalShrinksTextColumnsFirst)
{
    const auto header = [](const std::string& size)
    {
        const ProcessResult result = RunTally(View({"--query", "Dialogue Events Added", "--size", size}));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::istringstream lines(result.out);
        std::string line;
        while (std::getline(lines, line) && line.find("Count") == std::string::npos &&
               line.find("Dialo") != 1)
        {
        }
        return line;
    };
    // Both text columns give up room, cut with an ellipsis; the count keeps its title.
    EXPECT_EQ(header("40x14"), " Dialogue Ev… Target Obje…     Count");
    EXPECT_EQ(header("28x12"), " Dialo… Targe…     Count");
    // Where even that lacks room, the row ends in an ellipsis at the edge.
    EXPECT_EQ(header("20x12"), " Dialo… Targe… C…");
}

TEST(KeyFromCurses, MapsTheTerminalsKeysAndDropsWhatTheViewDoesNotUse)
{
    EXPECT_EQ(app::KeyFromCurses(KEY_CODE_YES, KEY_BTAB), (Key{Key::BackTab}));
    EXPECT_EQ(app::KeyFromCurses(KEY_CODE_YES, KEY_NPAGE), (Key{Key::PageDown}));
    EXPECT_EQ(app::KeyFromCurses(KEY_CODE_YES, KEY_RESIZE), (Key{Key::Resize}));
    EXPECT_EQ(app::KeyFromCurses(KEY_CODE_YES, KEY_F(5)), std::nullopt);
    // Enter arrives as a carriage return in raw mode; control keys are the view's commands.
    EXPECT_EQ(app::KeyFromCurses(OK, L'\r'), (Key{Key::Enter}));
    EXPECT_EQ(app::KeyFromCurses(OK, 0x15), (Key{Key::ClearLine}));
    EXPECT_EQ(app::KeyFromCurses(OK, 0x1A), (Key{Key::Suspend}));
    EXPECT_EQ(app::KeyFromCurses(OK, 0x7F), (Key{Key::Backspace}));
    EXPECT_EQ(app::KeyFromCurses(OK, 0x02), std::nullopt);
    EXPECT_EQ(app::KeyFromCurses(OK, L'\u4e2d'), (Key{Key::Char, L'\u4e2d'}));
    EXPECT_EQ(app::KeyFromCurses(ERR, 0), std::nullopt);
}

// A live session on the examples, driven by keys as a user would.
class TerminalViewTest : public ::testing::Test
{
protected:
    TerminalViewTest()
    {
        m_session.emplace(LoadBuiltPlugin());
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
    std::string Frame(int cols = 120, int rows = 40)
    {
        app::Canvas canvas(cols, rows);
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
    // The prompt starts empty rather than with the filter in force; Ctrl-U empties it, and an empty
    // filter removes it. Escape leaves the prompt without a change.
    Press(Key::Char, L'/');
    Type(L"=1");
    Press(Key::Enter);
    EXPECT_EQ(List().RowCount(), 7);
    Press(Key::Char, L'/');
    Type(L"=2");
    Press(Key::ClearLine);
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

TEST_F(TerminalViewTest, SortAndFilterKeepTheSelectedRowInView)
{
    // A list of a few body rows, with the selection on the last row.
    m_session->ResizeView(100 * 7, 11 * 15);
    m_session->ChooseQuery(L"Paths Used");
    Press(Key::BackTab);
    Press(Key::End);
    const auto shown = [this]
    {
        return Frame(100, 12);
    };
    ASSERT_NE(shown().find(">Greeting::Unknown.Hero"), std::string::npos) << shown();

    // Sorted by Path descending, the selected row moves to the top of the list.
    Press(Key::Char, L's');
    Press(Key::Char, L's');
    EXPECT_NE(shown().find(">Greeting::Unknown.Hero"), std::string::npos) << shown();
    // Sorted ascending again it is last, and the list scrolls down to it.
    Press(Key::Char, L's');
    EXPECT_NE(shown().find(">Greeting::Unknown.Hero"), std::string::npos) << shown();
    // A filter that keeps it: still shown and selected.
    Press(Key::Char, L'/');
    Type(L"Hero");
    Press(Key::Enter);
    EXPECT_NE(shown().find(">Greeting::Unknown.Hero"), std::string::npos) << shown();
}

TEST_F(TerminalViewTest, CopiesGoToTheTerminalAndToAFile)
{
    m_session->ChooseQuery(L"Paths Used");
    for (; m_view.FocusedId() != app::ctl::kCopyResults; Press(Key::Tab))
    {
    }
    Press(Key::Enter);
    const std::optional<std::string> copied = m_view.TakeCopied();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->rfind("Path\tAdded\tPlayed\n", 0), 0u) << *copied;
    EXPECT_FALSE(m_view.TakeCopied()) << "sent once";

    // w asks for a path and writes the copy there.
    const std::string path = TempFile("view_saved.tsv", "");
    Press(Key::Char, L'w');
    Type(std::wstring(path.begin(), path.end()));
    Press(Key::Enter);
    EXPECT_EQ(ReadFile(path), *copied);
    EXPECT_NE(Frame().find("Saved 10 lines to " + path), std::string::npos);

    // A file that cannot be written is a message, and the view goes on.
    Press(Key::Char, L'w');
    Type(L"/nonexistent-dir/out.tsv");
    Press(Key::Enter);
    EXPECT_NE(Frame().find("Cannot write /nonexistent-dir/out.tsv: No such file or directory"),
              std::string::npos);
    EXPECT_TRUE(Press(Key::Down));
}

} // namespace
