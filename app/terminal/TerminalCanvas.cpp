#include "app/terminal/TerminalCanvas.h"

#include "host/base/TextCodec.h"

#include <algorithm>

namespace app
{

CellRect CellRect::Intersect(const CellRect& other) const
{
    return CellRect{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                    std::min(bottom, other.bottom)};
}

Canvas::Canvas(int cols, int rows)
    : m_nCols(std::max(cols, 0)), m_nRows(std::max(rows, 0)),
      m_cells(static_cast<std::size_t>(m_nCols) * static_cast<std::size_t>(m_nRows)), m_clip{0, 0, m_nCols,
                                                                                             m_nRows}
{
}

void Canvas::SetClip(const CellRect& clip)
{
    m_clip = clip.Intersect(CellRect{0, 0, m_nCols, m_nRows});
}

Canvas::Cell* Canvas::At(int col, int row)
{
    if (col < m_clip.left || col >= m_clip.right || row < m_clip.top || row >= m_clip.bottom)
        return nullptr;
    return &m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nCols) +
                    static_cast<std::size_t>(col)];
}

void Canvas::Put(int col, int row, wchar_t ch, std::uint8_t attr)
{
    if (Cell* pCell = At(col, row))
    {
        // Control characters would move the terminal's cursor.
        pCell->ch = (ch < 0x20 || ch == 0x7F) ? L' ' : ch;
        pCell->attr = attr;
    }
}

void Canvas::Text(int col, int row, std::wstring_view text, std::uint8_t attr, int maxWidth)
{
    const int width = maxWidth < 0 ? m_clip.right - col : maxWidth;
    const int count = std::min(static_cast<int>(text.size()), width);
    for (int index = 0; index < count; ++index)
        Put(col + index, row, text[static_cast<std::size_t>(index)], attr);
}

void Canvas::AddAttr(const CellRect& rect, std::uint8_t attr)
{
    for (int row = rect.top; row < rect.bottom; ++row)
    {
        for (int col = rect.left; col < rect.right; ++col)
        {
            if (Cell* pCell = At(col, row))
                pCell->attr |= attr;
        }
    }
}

std::string Canvas::PlainText() const
{
    std::string out;
    for (int row = 0; row < m_nRows; ++row)
    {
        std::wstring line;
        for (int col = 0; col < m_nCols; ++col)
            line += m_cells[static_cast<std::size_t>(row * m_nCols + col)].ch;
        line.erase(line.find_last_not_of(L' ') + 1);
        text::AppendUtf8(out, line);
        out += '\n';
    }
    return out;
}

std::string Canvas::AnsiRow(int row) const
{
    std::string out;
    std::uint8_t current = kAttrNone;
    for (int col = 0; col < m_nCols; ++col)
    {
        const Cell& cell = m_cells[static_cast<std::size_t>(row * m_nCols + col)];
        if (cell.attr != current)
        {
            out += "\033[0";
            if (cell.attr & kAttrBold)
                out += ";1";
            if (cell.attr & kAttrDim)
                out += ";2";
            if (cell.attr & kAttrUnderline)
                out += ";4";
            if (cell.attr & kAttrInverse)
                out += ";7";
            out += 'm';
            current = cell.attr;
        }
        text::AppendUtf8(out, std::wstring_view(&cell.ch, 1));
    }
    out += "\033[0m";
    return out;
}

std::wstring Fit(std::wstring_view text, int width)
{
    if (width <= 0)
        return {};
    if (static_cast<int>(text.size()) <= width)
        return std::wstring(text);
    std::wstring cut(text.substr(0, static_cast<std::size_t>(width - 1)));
    cut += L'…';
    return cut;
}

} // namespace app
