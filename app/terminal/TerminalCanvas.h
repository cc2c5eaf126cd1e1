// A grid of character cells that the terminal view draws into, printed as plain text or with the
// terminal's escape codes.
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

class Canvas
{
public:
    Canvas(int cols, int rows);

    int Cols() const { return m_nCols; }
    int Rows() const { return m_nRows; }

    // Drawing stays inside the clip; the clip is the whole canvas at first.
    void SetClip(const CellRect& clip);
    const CellRect& Clip() const { return m_clip; }

    void Put(int col, int row, wchar_t ch, std::uint8_t attr = kAttrNone);
    // The text from (col, row) rightwards, at most maxWidth cells (negative: up to the clip).
    void Text(int col, int row, std::wstring_view text, std::uint8_t attr = kAttrNone, int maxWidth = -1);
    // Adds the attribute to the cells of the rectangle.
    void AddAttr(const CellRect& rect, std::uint8_t attr);

    // Each row with its trailing blanks dropped and a line feed.
    std::string PlainText() const;
    // The row with escape codes for its attributes, ending with attributes reset.
    std::string AnsiRow(int row) const;

private:
    struct Cell
    {
        wchar_t ch = L' ';
        std::uint8_t attr = kAttrNone;
    };
    Cell* At(int col, int row);

    int m_nCols;
    int m_nRows;
    std::vector<Cell> m_cells;
    CellRect m_clip;
};

// The text cut to the width, with an ellipsis where it was cut.
std::wstring Fit(std::wstring_view text, int width);

} // namespace app
