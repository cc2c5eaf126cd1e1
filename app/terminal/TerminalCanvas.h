// A grid of character cells that the terminal view draws into, printed as plain text or handed to the
// screen. Text is measured in display cells: a wide character (CJK, most emoji) takes two cells, a
// combining mark none; it rides on the character before it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app
{

enum CellAttr : std::uint8_t
{
    kAttrNone = 0,
    kAttrBold = 1,
    kAttrInverse = 2,
    kAttrDim = 4,
    kAttrUnderline = 8,
};

// Cells [left, right) x [top, bottom).
struct CellRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    CellRect Intersect(const CellRect& other) const;
};

// Display cells of one character (0, 1 or 2) and of a text, as a UTF-8 terminal shows them whatever
// the program's locale; characters a terminal cannot show take one cell.
int CellWidth(wchar_t ch);
int DisplayWidth(std::wstring_view text);

class Canvas
{
public:
    struct Cell
    {
        // The character and the combining marks on it; empty for the right half of a wide character.
        std::wstring glyph = L" ";
        std::uint8_t attr = kAttrNone;
    };

    Canvas(int cols, int rows);

    int Cols() const { return m_nCols; }
    int Rows() const { return m_nRows; }
    const Cell& At(int col, int row) const;

    // Drawing stays inside the clip; the clip is the whole canvas at first.
    void SetClip(const CellRect& clip);
    const CellRect& Clip() const { return m_clip; }

    void Put(int col, int row, wchar_t ch, std::uint8_t attr = kAttrNone);
    // The text from (col, row) rightwards, at most maxWidth cells (negative: up to the clip). A wide
    // character that does not fit whole leaves a blank.
    void Text(int col, int row, std::wstring_view text, std::uint8_t attr = kAttrNone, int maxWidth = -1);
    // The same, up to the clip, ending in an ellipsis where the clip cuts it.
    void Label(int col, int row, std::wstring_view text, std::uint8_t attr = kAttrNone);
    // Adds the attribute to the cells of the rectangle.
    void AddAttr(const CellRect& rect, std::uint8_t attr);

    // Each row with its trailing blanks dropped and a line feed.
    std::string PlainText() const;

private:
    bool InClip(int col, int row) const;
    Cell& CellAt(int col, int row);
    // Blanks the other half of a wide character that (col, row) is part of, before the cell changes.
    void Detach(int col, int row);
    // A character of the given width at (col, row); false when it is not drawn.
    bool Place(int col, int row, wchar_t ch, int width, std::uint8_t attr);

    int m_nCols;
    int m_nRows;
    std::vector<Cell> m_cells;
    CellRect m_clip;
};

// The text cut to the width in cells, with an ellipsis where it was cut.
std::wstring Fit(std::wstring_view text, int width);
// Fitted and padded with blanks to exactly the width, on the right or on the left.
std::wstring PadRight(std::wstring_view text, int width);
std::wstring PadLeft(std::wstring_view text, int width);

} // namespace app
