#include "app/terminal/TerminalView.h"

#include "app/session/ListSettings.h"
#include "host/base/TextCodec.h"
#include "host/ui/DialogTemplate.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace app
{

namespace
{

constexpr std::wstring_view kKeyHints = L"Tab move · Enter press · s sort · / filter · q quit";

bool IsNumberColumn(const ResultColumnFilter& column)
{
    return column.cellType == CellType::Integer || column.cellType == CellType::Float;
}

std::wstring OperatorText(FilterCriterion::Op op)
{
    switch (op)
    {
    case FilterCriterion::Op::Contains:
        return L"~";
    case FilterCriterion::Op::Equal:
        return L"=";
    case FilterCriterion::Op::Less:
        return L"<";
    case FilterCriterion::Op::LessEqual:
        return L"<=";
    case FilterCriterion::Op::Greater:
        return L">";
    case FilterCriterion::Op::GreaterEqual:
        return L">=";
    case FilterCriterion::Op::None:
        break;
    }
    return {};
}

// The criterion as the user types it after the column's title.
std::wstring CriterionText(const FilterCriterion& criterion)
{
    if (criterion.op == FilterCriterion::Op::None)
        return {};
    return OperatorText(criterion.op) + criterion.text;
}

bool IsActivation(const Key& key)
{
    return key.code == Key::Enter || (key.code == Key::Char && key.ch == L' ');
}

// A text column gives up room down to this many cells when the list lacks it.
constexpr int kMinTextColumn = 6;

// Column widths in cells: the column's own width in pixels, at least its title and a sort marker. The
// first column takes what the list has to spare. Where the list lacks room, the widest text column gives
// first, down to a few cells, and only then number columns, never below their titles: counts cut short
// would mislead where a cut name only hides its end.
std::vector<int> ColumnWidths(const BaseFilteredListControl& list, int available)
{
    std::vector<int> widths;
    std::vector<int> floors;
    int total = -1; // no gap before the first column
    for (int column = 0; column < list.ColumnCount(); ++column)
    {
        const ResultColumnFilter* pColumn = list.GetColumn(column);
        const int own = (pColumn->width + TerminalView::kCellWidth - 1) / TerminalView::kCellWidth;
        const int title = DisplayWidth(pColumn->title);
        widths.push_back(std::max(own, title + 2));
        floors.push_back(IsNumberColumn(*pColumn) ? title : std::min(kMinTextColumn, widths.back()));
        total += widths.back() + 1;
    }
    if (widths.empty())
        return widths;
    if (total <= available)
    {
        widths.front() += available - total;
        return widths;
    }
    for (const bool bNumbers : {false, true})
    {
        while (total > available)
        {
            int widest = -1;
            for (int column = 0; column < static_cast<int>(widths.size()); ++column)
            {
                const auto index = static_cast<std::size_t>(column);
                if (IsNumberColumn(*list.GetColumn(column)) == bNumbers && widths[index] > floors[index] &&
                    (widest < 0 || widths[index] > widths[static_cast<std::size_t>(widest)]))
                    widest = column;
            }
            if (widest < 0)
                break;
            --widths[static_cast<std::size_t>(widest)];
            --total;
        }
    }
    return widths;
}

} // namespace

TerminalView::TerminalView(HostSession& session) : m_session(session) {}

CellRect TerminalView::ToCells(const RECT& pixels)
{
    CellRect cells;
    cells.left = pixels.left / kCellWidth;
    cells.top = pixels.top / kCellHeight;
    cells.right = std::max(cells.left + 1, (pixels.right + kCellWidth / 2) / kCellWidth);
    cells.bottom = std::max(cells.top + 1, (pixels.bottom + kCellHeight / 2) / kCellHeight);
    return cells;
}

void TerminalView::Draw(Canvas& canvas)
{
    SettleFocus();
    const CellRect dialogArea{0, 0, canvas.Cols(), canvas.Rows() - 1};
    if (CWnd* pDialog = m_session.Dialog())
        DrawWindow(canvas, pDialog, dialogArea);
    if (m_bDropDown)
    {
        canvas.SetClip(dialogArea);
        DrawDropDown(canvas);
    }
    canvas.SetClip(CellRect{0, 0, canvas.Cols(), canvas.Rows()});
    DrawStatus(canvas, canvas.Rows() - 1);
}

void TerminalView::DrawWindow(Canvas& canvas, CWnd* pWnd, const CellRect& parentClip)
{
    if (!pWnd->HasVisibleStyle())
        return;
    RECT pixels;
    pWnd->GetWindowRect(&pixels);
    const CellRect cells = ToCells(pixels);
    const CellRect clip = cells.Intersect(parentClip);
    const bool bFocused = pWnd->GetDlgCtrlID() == m_nFocusId && FindControl(m_nFocusId) == pWnd;

    if (auto* pList = dynamic_cast<BaseFilteredListControl*>(pWnd))
    {
        canvas.SetClip(clip);
        DrawList(canvas, pList, cells, bFocused);
        return;
    }
    if (auto* pCombo = dynamic_cast<UIComboBox*>(pWnd))
    {
        canvas.SetClip(clip);
        DrawCombo(canvas, pCombo, cells, bFocused);
        return;
    }
    if (pWnd->GetClassName() == WC_BUTTON)
    {
        canvas.SetClip(clip);
        DrawButton(canvas, pWnd, cells, parentClip, bFocused);
        return;
    }

    const std::vector<CWnd*> children = pWnd->GetChildren();
    if (children.empty())
    {
        // Static texts run on to the right as far as their parent lets them: the terminal's font is
        // wider than the dialog's, and a cut warning would say nothing.
        const CellRect runOn =
            CellRect{cells.left, cells.top, parentClip.right, cells.bottom}.Intersect(parentClip);
        canvas.SetClip(runOn);
        canvas.Text(cells.left, cells.top, Fit(pWnd->GetWindowText(), runOn.right - cells.left),
                    pWnd->IsWindowEnabled() ? kAttrNone : kAttrDim);
        return;
    }
    // Bottom of the z-order first, so that windows on top draw over it.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        DrawWindow(canvas, *it, clip);
}

void TerminalView::DrawButton(Canvas& canvas, CWnd* pWnd, const CellRect& cells, const CellRect& parentClip,
                              bool bFocused)
{
    const std::wstring text = pWnd->GetWindowText();
    const DWORD type = pWnd->GetStyle() & BS_TYPEMASK;
    std::uint8_t attr = pWnd->IsWindowEnabled() ? kAttrNone : kAttrDim;
    if (bFocused)
        attr |= kAttrInverse;

    if (type == BS_GROUPBOX)
    {
        for (int col = cells.left; col < cells.right; ++col)
            canvas.Put(col, cells.top, L'─');
        canvas.Label(cells.left + 1, cells.top, L" " + text + L" ", kAttrBold);
        return;
    }
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
    {
        // Like static texts, the label may run on to the right within the parent.
        const CellRect runOn =
            CellRect{cells.left, cells.top, parentClip.right, cells.bottom}.Intersect(parentClip);
        canvas.SetClip(runOn);
        const int check = pWnd->GetCheck();
        const std::wstring box = check == BST_CHECKED         ? L"[x] "
                                 : check == BST_INDETERMINATE ? L"[-] "
                                                              : L"[ ] ";
        canvas.Text(cells.left, cells.top, Fit(box + text, runOn.right - cells.left), attr);
        return;
    }
    const int width = cells.Width();
    const std::wstring label =
        DisplayWidth(text) + 4 <= width ? L"[ " + text + L" ]" : L"[" + Fit(text, width - 2) + L"]";
    const int col = cells.left + std::max(0, (width - DisplayWidth(label)) / 2);
    canvas.Label(col, cells.top + (cells.Height() - 1) / 2, label, attr | (bFocused ? kAttrBold : kAttrNone));
}

void TerminalView::DrawCombo(Canvas& canvas, UIComboBox* pCombo, const CellRect& cells, bool bFocused)
{
    m_comboCells = cells;
    const int selection = pCombo->GetCurSel();
    const std::wstring text = selection >= 0 ? std::wstring(pCombo->GetLBText(selection)) : std::wstring();
    const std::wstring shown = L"[" + PadRight(text, cells.Width() - 4) + L" ▾]";
    canvas.Label(cells.left, cells.top, shown, bFocused ? kAttrInverse : kAttrNone);
}

void TerminalView::DrawDropDown(Canvas& canvas)
{
    const UIComboBox* pCombo = m_session.Combo();
    if (pCombo == nullptr)
        return;
    const int width = m_comboCells.Width();
    int row = m_comboCells.top + 1;
    for (int index = 0; index < pCombo->GetCount(); ++index, ++row)
    {
        canvas.Text(m_comboCells.left, row, L"│" + PadRight(pCombo->GetLBText(index), width - 2) + L"│",
                    index == m_nDropIndex ? kAttrInverse : kAttrNone);
    }
    canvas.Text(m_comboCells.left, row,
                L"└" + std::wstring(static_cast<std::size_t>(std::max(width - 2, 0)), L'─') + L"┘");
}

void TerminalView::DrawList(Canvas& canvas, BaseFilteredListControl* pList, const CellRect& cells,
                            bool bFocused)
{
    const int id = pList->GetDlgCtrlID();
    const int rowCount = pList->RowCount();
    // One cell of gutter for the selection mark, one blank at the right that keeps lists side by side
    // apart. Only what the terminal shows of the list counts: on a narrow one the dialog runs past it.
    const int right = std::min(cells.right, canvas.Clip().right);
    const std::vector<int> widths = ColumnWidths(*pList, right - cells.left - 2);
    int lineWidth = -1;
    for (const int width : widths)
        lineWidth += width + 1;
    // Columns that still do not fit end in an ellipsis at the list's edge.
    const bool bCut = cells.left + 1 + lineWidth > right;
    const int bodyRows = std::max(cells.Height() - (cells.Height() >= 3 ? 2 : 1), 0);
    const int selected = SelectedIndex(pList);

    int& first = m_firstRow[id];
    if (selected >= 0 && selected < first)
        first = selected;
    if (selected >= first + bodyRows)
        first = selected - bodyRows + 1;
    first = std::clamp(first, 0, std::max(rowCount - bodyRows, 0));

    // Header: titles, the sort marker on the sorted column, the focused column highlighted.
    int col = cells.left + 1;
    for (int column = 0; column < static_cast<int>(widths.size()); ++column)
    {
        std::wstring title = pList->GetColumn(column)->title;
        if (pList->GetSortColumn() == column)
            title += pList->GetSortDirection() == BaseFilteredListControl::SortDescending ? L" ▼" : L" ▲";
        const bool bNumber = IsNumberColumn(*pList->GetColumn(column));
        const int width = widths[static_cast<std::size_t>(column)];
        std::uint8_t attr = kAttrBold | kAttrUnderline;
        if (bFocused && column == m_nFocusColumn)
            attr = kAttrBold | kAttrInverse;
        canvas.Text(col, cells.top, bNumber ? PadLeft(title, width) : PadRight(title, width), attr);
        col += width + 1;
    }
    if (bCut)
        canvas.Put(right - 1, cells.top, L'…', kAttrBold | kAttrUnderline);

    for (int line = 0; line < bodyRows && first + line < rowCount; ++line)
    {
        const int index = first + line;
        const int row = cells.top + 1 + line;
        const bool bSelected = index == selected;
        const std::uint8_t attr = bSelected ? (bFocused ? kAttrInverse : kAttrBold) : kAttrNone;
        canvas.Put(cells.left, row, bSelected ? L'>' : L' ', attr);
        col = cells.left + 1;
        for (int column = 0; column < static_cast<int>(widths.size()); ++column)
        {
            const int width = widths[static_cast<std::size_t>(column)];
            const std::wstring text = pList->GetCellText(index, column);
            const bool bNumber = IsNumberColumn(*pList->GetColumn(column));
            canvas.Text(col, row, (bNumber ? PadLeft(text, width) : PadRight(text, width)) + L" ", attr);
            col += width + 1;
        }
        if (bCut)
            canvas.Put(right - 1, row, L'…', attr);
    }

    if (cells.Height() < 3)
        return;
    std::wstring footer = rowCount == 0 ? std::wstring(L"no rows")
                                        : L"rows " + std::to_wstring(first + 1) + L"-" +
                                              std::to_wstring(std::min(first + bodyRows, rowCount)) +
                                              L" of " + std::to_wstring(rowCount);
    for (int column = 0; column < pList->ColumnCount(); ++column)
    {
        const FilterCriterion* pCriterion = pList->GetColumnFilter(column);
        if (pCriterion && pCriterion->op != FilterCriterion::Op::None)
            footer +=
                L"  filter " + std::wstring(pList->GetColumn(column)->title) + CriterionText(*pCriterion);
    }
    canvas.Label(cells.left + 1, cells.bottom - 1, footer, kAttrDim);
}

void TerminalView::DrawStatus(Canvas& canvas, int row)
{
    std::wstring line;
    if (m_promptKind == Prompt::Filter)
    {
        const BaseFilteredListControl* pList =
            dynamic_cast<BaseFilteredListControl*>(FindControl(m_nFocusId));
        const std::wstring title = pList && pList->GetColumn(m_nPromptColumn)
                                       ? std::wstring(pList->GetColumn(m_nPromptColumn)->title)
                                       : L"?";
        line = L" Filter " + title + L" (~text =v <v <=v >v >=v; empty clears): " + m_prompt + L"_";
    }
    else if (m_promptKind == Prompt::SavePath)
        line = L" Save the results to file: " + m_prompt + L"_";
    else
    {
        line = L" " + (m_message.empty() ? m_captureState : m_message);
        const int room = canvas.Cols() - DisplayWidth(line) - DisplayWidth(kKeyHints) - 1;
        if (room > 0)
            line += std::wstring(static_cast<std::size_t>(room), L' ') + std::wstring(kKeyHints);
    }
    canvas.Text(0, row, PadRight(line, canvas.Cols()), kAttrInverse);
}

CWnd* TerminalView::FindControl(int id) const
{
    CWnd* pDialog = m_session.Dialog();
    if (pDialog == nullptr)
        return nullptr;
    if (CWnd* pControl = pDialog->GetDlgItem(id))
        return pControl;
    for (CWnd* pChild : pDialog->GetChildren())
    {
        if (!pChild->IsWindowVisible())
            continue;
        if (CWnd* pControl = pChild->GetDlgItem(id))
            return pControl;
    }
    return nullptr;
}

std::vector<int> TerminalView::FocusOrder() const
{
    // Reading order, top to bottom and left to right within each window: the z-order that the
    // window layer keeps changes with every layout pass and would send Tab from list to list at random.
    std::vector<int> order;
    const auto walk = [&order](const auto& self, CWnd* pParent) -> void
    {
        std::vector<CWnd*> children = pParent->GetChildren();
        std::stable_sort(children.begin(), children.end(),
                         [](const CWnd* pA, const CWnd* pB)
                         {
                             const RECT a = pA->GetRectInParent(), b = pB->GetRectInParent();
                             return ToCells(a).top != ToCells(b).top ? ToCells(a).top < ToCells(b).top
                                                                     : a.left < b.left;
                         });
        for (CWnd* pChild : children)
        {
            if (!pChild->IsWindowVisible())
                continue;
            const bool bTakesFocus = (pChild->GetStyle() & WS_TABSTOP) != 0 ||
                                     dynamic_cast<BaseFilteredListControl*>(pChild) != nullptr;
            if (bTakesFocus && pChild->IsWindowEnabled())
                order.push_back(pChild->GetDlgCtrlID());
            self(self, pChild);
        }
    };
    if (CWnd* pDialog = m_session.Dialog())
        walk(walk, pDialog);
    return order;
}

void TerminalView::SettleFocus()
{
    const std::wstring query = m_session.SelectedQuery();
    if (query != m_shownQuery)
    {
        // A new result window: its lists start at the top.
        m_shownQuery = query;
        m_firstRow.clear();
        m_selectionHint.clear();
    }
    const std::vector<int> order = FocusOrder();
    if (std::find(order.begin(), order.end(), m_nFocusId) == order.end())
        m_nFocusId = order.empty() ? ctl::kQueryCombo : order.front();
    if (const auto* pList = dynamic_cast<BaseFilteredListControl*>(FindControl(m_nFocusId)))
        m_nFocusColumn = std::clamp(m_nFocusColumn, 0, std::max(pList->ColumnCount() - 1, 0));
}

void TerminalView::MoveFocus(int step)
{
    const std::vector<int> order = FocusOrder();
    if (order.empty())
        return;
    const auto found = std::find(order.begin(), order.end(), m_nFocusId);
    const int size = static_cast<int>(order.size());
    const int current = found == order.end() ? 0 : static_cast<int>(found - order.begin());
    m_nFocusId = order[static_cast<std::size_t>(((current + step) % size + size) % size)];
    m_nFocusColumn = 0;
}

bool TerminalView::HandleKey(const Key& key)
{
    SettleFocus();
    if (m_promptKind != Prompt::None)
    {
        HandlePromptKey(key);
        return true;
    }
    m_message.clear();
    if (key.code == Key::Interrupt || (key.code == Key::Char && (key.ch == L'q' || key.ch == L'Q')))
        return false;
    if (key.code == Key::Char && (key.ch == L'w' || key.ch == L'W') && !m_bDropDown)
    {
        m_promptKind = Prompt::SavePath;
        m_prompt.clear();
        return true;
    }

    UIComboBox* pCombo = m_session.Combo();
    if (m_bDropDown && pCombo)
    {
        if (key.code == Key::Up)
            m_nDropIndex = std::max(m_nDropIndex - 1, 0);
        else if (key.code == Key::Down)
            m_nDropIndex = std::min(m_nDropIndex + 1, pCombo->GetCount() - 1);
        else
        {
            m_bDropDown = false;
            if (IsActivation(key))
                ChooseQuery(m_nDropIndex);
        }
        return true;
    }

    if (key.code == Key::Tab || key.code == Key::BackTab)
    {
        MoveFocus(key.code == Key::Tab ? 1 : -1);
        return true;
    }
    CWnd* pFocus = FindControl(m_nFocusId);
    if (pFocus == nullptr)
        return true;
    if (auto* pList = dynamic_cast<BaseFilteredListControl*>(pFocus))
        HandleListKey(pList, key);
    else if (pFocus == pCombo)
        HandleComboKey(pCombo, key);
    else if (pFocus->GetClassName() == WC_BUTTON && IsActivation(key))
        PressButton(m_nFocusId);
    return true;
}

void TerminalView::HandleComboKey(UIComboBox* pCombo, const Key& key)
{
    const int current = pCombo->GetCurSel();
    if (key.code == Key::Up && current > 0)
        ChooseQuery(current - 1);
    else if (key.code == Key::Down && current + 1 < pCombo->GetCount())
        ChooseQuery(current + 1);
    else if (IsActivation(key))
    {
        m_bDropDown = true;
        m_nDropIndex = std::max(current, 0);
    }
}

void TerminalView::ChooseQuery(int index)
{
    if (UIComboBox* pCombo = m_session.Combo(); pCombo && index >= 0 && index < pCombo->GetCount())
        pCombo->SelectByUser(index);
}

void TerminalView::HandleListKey(BaseFilteredListControl* pList, const Key& key)
{
    const int count = pList->RowCount();
    const int selected = SelectedIndex(pList);
    RECT pixels;
    pList->GetWindowRect(&pixels);
    const int page = std::max(ToCells(pixels).Height() - 3, 1);
    int target = selected;
    switch (key.code)
    {
    case Key::Up:
        target = selected < 0 ? 0 : selected - 1;
        break;
    case Key::Down:
        target = selected + 1;
        break;
    case Key::PageUp:
        target = selected - page;
        break;
    case Key::PageDown:
        target = selected + page;
        break;
    case Key::Home:
        target = 0;
        break;
    case Key::End:
        target = count - 1;
        break;
    case Key::Left:
        m_nFocusColumn = std::max(m_nFocusColumn - 1, 0);
        return;
    case Key::Right:
        m_nFocusColumn = std::min(m_nFocusColumn + 1, pList->ColumnCount() - 1);
        return;
    case Key::Char:
        if (key.ch == L's' || key.ch == L'S')
        {
            const bool bToggle = pList->GetSortColumn() == m_nFocusColumn;
            const int direction =
                bToggle && pList->GetSortDirection() == BaseFilteredListControl::SortAscending
                    ? BaseFilteredListControl::SortDescending
                    : BaseFilteredListControl::SortAscending;
            pList->SetSort(m_nFocusColumn, direction);
        }
        else if (key.ch == L'/')
        {
            // A fresh criterion each time; the footer shows the one in force.
            m_promptKind = Prompt::Filter;
            m_nPromptColumn = m_nFocusColumn;
            m_prompt.clear();
        }
        return;
    default:
        return;
    }
    if (count > 0)
        pList->SetSelection(std::clamp(target, 0, count - 1));
}

void TerminalView::HandlePromptKey(const Key& key)
{
    switch (key.code)
    {
    case Key::Escape:
    case Key::Interrupt:
        m_promptKind = Prompt::None;
        break;
    case Key::Backspace:
        if (!m_prompt.empty())
            m_prompt.pop_back();
        break;
    case Key::ClearLine:
        m_prompt.clear();
        break;
    case Key::Char:
        m_prompt += key.ch;
        break;
    case Key::Enter:
        if (m_promptKind == Prompt::Filter)
            ApplyFilter();
        else
            SaveCopy();
        m_promptKind = Prompt::None;
        break;
    default:
        break;
    }
}

void TerminalView::ApplyFilter()
{
    auto* pList = dynamic_cast<BaseFilteredListControl*>(FindControl(m_nFocusId));
    if (pList == nullptr)
        return;
    const std::string error = ApplyCriterion(*pList, m_nPromptColumn, *ParseCriterion(m_prompt, true));
    if (!error.empty())
        m_message = text::FromUtf8(error);
}

void TerminalView::SaveCopy()
{
    if (m_prompt.empty())
        return;
    const std::wstring* copied = m_session.CopyResults();
    if (copied == nullptr)
    {
        m_message = L"Nothing to save: " + m_session.SelectedQuery() + L" has no results to copy";
        return;
    }
    const std::string path = text::ToUtf8(m_prompt);
    const std::string bytes = text::ToUtf8(*copied);
    errno = 0;
    std::FILE* pFile = std::fopen(path.c_str(), "wb");
    bool bWritten = pFile != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    const int error = errno;
    if (pFile != nullptr)
        bWritten = std::fclose(pFile) == 0 && bWritten;
    if (!bWritten)
    {
        m_message = L"Cannot write " + m_prompt + L": " + text::FromUtf8(std::strerror(error ? error : EIO));
        return;
    }
    m_copied = bytes;
    const auto lines = std::count(copied->begin(), copied->end(), L'\n');
    m_message = L"Saved " + std::to_wstring(lines) + L" lines to " + m_prompt;
}

void TerminalView::PressButton(int id)
{
    if (id == ctl::kCopyResults)
    {
        if (const std::wstring* copied = m_session.CopyResults())
        {
            const auto lines = std::count(copied->begin(), copied->end(), L'\n');
            m_message = L"Copied " + std::to_wstring(lines) + L" lines to the clipboard";
            m_copied = text::ToUtf8(*copied);
        }
        return;
    }
    if (!m_session.Click(id))
        return;
    if (id == ctl::kRun)
        m_message = L"Ran the query over " + std::to_wstring(m_session.LoggedItems()) + L" logged items";
    else if (id == ctl::kClear)
        m_message = L"Cleared every statistic";
}

int TerminalView::SelectedIndex(BaseFilteredListControl* pList)
{
    std::vector<CSmartPtr<NyLcRow>> selection;
    pList->GetSelectedRows(selection);
    if (selection.empty())
        return -1;
    const void* pData = selection.front()->GetData();
    int& hint = m_selectionHint[pList->GetDlgCtrlID()];
    if (const CSmartPtr<NyLcRow> row = pList->GetRow(hint, 0); row && row->GetData() == pData)
        return hint;
    const int count = pList->RowCount();
    for (int index = 0; index < count; ++index)
    {
        if (pList->GetRow(index, 0)->GetData() == pData)
            return hint = index;
    }
    return -1;
}

} // namespace app
