#include "app/terminal/TerminalCanvas.h"

#include "host/base/TextCodec.h"

#include <clocale>
#include <cwchar>

#include <algorithm>

namespace app
{

namespace
{

constexpr wchar_t kReplacement = L'\uFFFD';

// The widths of the C library's UTF-8 tables, whatever locale the user runs in, so that a frame is
// laid out the same everywhere.
locale_t Utf8Ctype()
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return utf8;
}

struct Measured
{
    wchar_t shown;
    int width;
};

// The character as a cell shows it: control characters would move the cursor and become blanks;
// what the terminal cannot show becomes the replacement character.
Measured Measure(wchar_t ch)
{
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0))
        return {L' ', 1};
    if (ch < 0x7F)
        return {ch, 1};
    const locale_t utf8 = Utf8Ctype();
    const locale_t previous = utf8 ? uselocale(utf8) : locale_t{};
    const int width = wcwidth(ch);
    if (utf8)
        uselocale(previous);
    if (width < 0)
        return {kReplacement, 1};
    return {ch, width};
}

} // namespace

int CellWidth(wchar_t ch)
{
    return Measure(ch).width;
}

int DisplayWidth(std::wstring_view text)
{
    int width = 0;
    for (const wchar_t ch : text)
        width += CellWidth(ch);
    return width;
}

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

bool Canvas::InClip(int col, int row) const
{
    return col >= m_clip.left && col < m_clip.right && row >= m_clip.top && row < m_clip.bottom;
}

const Canvas::Cell& Canvas::At(int col, int row) const
{
    return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nCols) +
                   static_cast<std::size_t>(col)];
}

Canvas::Cell& Canvas::CellAt(int col, int row)
{
    return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nCols) +
                   static_cast<std::size_t>(col)];
}

void Canvas::Detach(int col, int row)
{
    if (CellAt(col, row).glyph.empty() && col > 0)
        CellAt(col - 1, row).glyph = L" ";
    else if (col + 1 < m_nCols && CellAt(col + 1, row).glyph.empty())
        CellAt(col + 1, row).glyph = L" ";
}

bool Canvas::Place(int col, int row, wchar_t ch, int width, std::uint8_t attr)
{
    const bool bWhole = InClip(col, row) && (width < 2 || InClip(col + 1, row));
    for (int half = 0; half < std::max(width, 1); ++half)
    {
        if (!InClip(col + half, row))
            continue;
        Detach(col + half, row);
        Cell& cell = CellAt(col + half, row);
        cell.attr = attr;
        // Half a wide character cut by the clip shows as a blank.
        cell.glyph = !bWhole ? std::wstring(L" ") : half == 0 ? std::wstring(1, ch) : std::wstring();
    }
    return bWhole;
}

void Canvas::Put(int col, int row, wchar_t ch, std::uint8_t attr)
{
    const Measured measured = Measure(ch);
    Place(col, row, measured.shown, std::max(measured.width, 1), attr);
}

void Canvas::Text(int col, int row, std::wstring_view text, std::uint8_t attr, int maxWidth)
{
    const int limit = maxWidth < 0 ? m_clip.right : std::min(m_clip.right, col + maxWidth);
    Cell* pLast = nullptr;
    for (const wchar_t ch : text)
    {
        const Measured measured = Measure(ch);
        if (measured.width == 0)
        {
            // A combining mark goes onto the character before it, or onto a blank at the start.
            if (pLast == nullptr && col < limit && Place(col++, row, L' ', 1, attr))
                pLast = &CellAt(col - 1, row);
            if (pLast != nullptr)
                pLast->glyph += measured.shown;
            continue;
        }
        if (col + measured.width > limit)
        {
            if (col < limit)
                Place(col, row, L' ', 1, attr);
            return;
        }
        pLast = Place(col, row, measured.shown, measured.width, attr) ? &CellAt(col, row) : nullptr;
        col += measured.width;
    }
}

void Canvas::Label(int col, int row, std::wstring_view text, std::uint8_t attr)
{
    Text(col, row, Fit(text, m_clip.right - col), attr);
}

void Canvas::AddAttr(const CellRect& rect, std::uint8_t attr)
{
    const CellRect area = rect.Intersect(m_clip);
    for (int row = area.top; row < area.bottom; ++row)
    {
        for (int col = area.left; col < area.right; ++col)
            CellAt(col, row).attr |= attr;
    }
}

std::string Canvas::PlainText() const
{
    std::string out;
    for (int row = 0; row < m_nRows; ++row)
    {
        std::wstring line;
        for (int col = 0; col < m_nCols; ++col)
            line += At(col, row).glyph;
        line.erase(line.find_last_not_of(L' ') + 1);
        text::AppendUtf8(out, line);
        out += '\n';
    }
    return out;
}

std::wstring Fit(std::wstring_view text, int width)
{
    if (width <= 0)
        return {};
    if (DisplayWidth(text) <= width)
        return std::wstring(text);
    std::wstring cut;
    int used = 0;
    for (const wchar_t ch : text)
    {
        const int cells = CellWidth(ch);
        if (used + cells > width - 1)
            break;
        cut += ch;
        used += cells;
    }
    cut += L'…';
    return cut;
}

std::wstring PadRight(std::wstring_view text, int width)
{
    std::wstring padded = Fit(text, width);
    padded.append(static_cast<std::size_t>(std::max(width - DisplayWidth(padded), 0)), L' ');
    return padded;
}

std::wstring PadLeft(std::wstring_view text, int width)
{
    const std::wstring fitted = Fit(text, width);
    return std::wstring(static_cast<std::size_t>(std::max(width - DisplayWidth(fitted), 0)), L' ') + fitted;
}

} // namespace app
