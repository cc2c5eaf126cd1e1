// The canvas of the terminal view: text in display cells, wide and combining characters, and the
// clipboard's encoding.
#include "app/terminal/CursesScreen.h"
#include "app/terminal/TerminalCanvas.h"

#include <gtest/gtest.h>

namespace
{

using app::Canvas;

std::string Row(const Canvas& canvas, int row)
{
    const std::string text = canvas.PlainText();
    std::size_t begin = 0;
    for (int line = 0; line < row; ++line)
        begin = text.find('\n', begin) + 1;
    return text.substr(begin, text.find('\n', begin) - begin);
}

TEST(TerminalCanvas, MeasuresDisplayCells)
{
    EXPECT_EQ(app::DisplayWidth(L"abc"), 3);
    EXPECT_EQ(app::DisplayWidth(L"中文"), 4);
    EXPECT_EQ(app::DisplayWidth(L"e\u0301"), 1);
    EXPECT_EQ(app::DisplayWidth(L"\U0001F600"), 2);
    EXPECT_EQ(app::DisplayWidth(L"a\tb"), 3); // a control character shows as a blank

    // Cuts and pads count cells: a wide character that would cross the edge goes whole.
    EXPECT_EQ(app::Fit(L"中文字", 6), L"中文字");
    EXPECT_EQ(app::Fit(L"中文字", 5), L"中文…");
    EXPECT_EQ(app::Fit(L"中文字", 4), L"中…");
    EXPECT_EQ(app::PadLeft(L"中", 4), L"  中");
    EXPECT_EQ(app::PadRight(L"e\u0301", 3), L"e\u0301  ");
}

TEST(TerminalCanvas, WideAndCombiningCharactersTakeTheirCells)
{
    Canvas canvas(8, 3);
    canvas.Text(0, 0, L"中e\u0301x|");
    EXPECT_EQ(Row(canvas, 0), "中e\u0301x|");
    EXPECT_EQ(canvas.At(0, 0).glyph, L"中");
    EXPECT_EQ(canvas.At(1, 0).glyph, L"");
    EXPECT_EQ(canvas.At(2, 0).glyph, L"e\u0301");
    EXPECT_EQ(canvas.At(4, 0).glyph, L"|");

    // Drawing over either half of a wide character blanks the other half.
    canvas.Text(0, 1, L"中文");
    canvas.Put(1, 1, L'-');
    canvas.Put(2, 1, L'+');
    EXPECT_EQ(Row(canvas, 1), " -+");

    // A wide character that the width or the clip cuts leaves a blank, not half a glyph.
    canvas.Text(0, 2, L"ab中", app::kAttrNone, 3);
    canvas.SetClip(app::CellRect{0, 0, 6, 3});
    canvas.Text(5, 2, L"文");
    EXPECT_EQ(Row(canvas, 2), "ab");
    EXPECT_EQ(canvas.At(2, 2).glyph, L" ");
    EXPECT_EQ(canvas.At(5, 2).glyph, L" ");

    // A label cut by the clip says so.
    canvas.SetClip(app::CellRect{0, 0, 8, 3});
    canvas.Label(4, 0, L"Copy Results");
    EXPECT_EQ(Row(canvas, 0), "中e\u0301xCop…");
}

TEST(TerminalCanvas, Base64)
{
    EXPECT_EQ(app::Base64(""), "");
    EXPECT_EQ(app::Base64("f"), "Zg==");
    EXPECT_EQ(app::Base64("fo"), "Zm8=");
    EXPECT_EQ(app::Base64("foo"), "Zm9v");
    EXPECT_EQ(app::Base64("foob"), "Zm9vYg==");
    EXPECT_EQ(app::Base64("\xff\xfe\t"), "//4J");
}

} // namespace
