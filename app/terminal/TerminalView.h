// The statistics view drawn into the terminal from the window layer's state, and the keys that work it.
// Window rectangles in pixels map to character cells of the dialog font's size; each control class
// draws itself, list controls as tables of their shown rows.
#pragma once

#include "app/session/HostSession.h"
#include "app/terminal/TerminalCanvas.h"
#include "app/terminal/TerminalKeys.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app
{

class TerminalView
{
public:
    // Pixels of one character cell: the base units of the dialog font, Segoe UI 9 pt.
    static constexpr int kCellWidth = 7;
    static constexpr int kCellHeight = 15;

    explicit TerminalView(HostSession& session);

    // The dialog over every row but the last, which is the status line.
    void Draw(Canvas& canvas);
    // False when the key asks to quit.
    bool HandleKey(const Key& key);

    // What the status line says about the capture.
    void SetCaptureState(std::wstring text) { m_captureState = std::move(text); }
    // A message shown until the next key.
    void ShowMessage(std::wstring text) { m_message = std::move(text); }
    // The text of the last Copy Results as UTF-8, once, for the terminal's clipboard.
    std::optional<std::string> TakeCopied() { return std::exchange(m_copied, std::nullopt); }

    static CellRect ToCells(const RECT& pixels);

    int FocusedId() const { return m_nFocusId; }

private:
    void DrawWindow(Canvas& canvas, CWnd* pWnd, const CellRect& parentClip);
    void DrawButton(Canvas& canvas, CWnd* pWnd, const CellRect& cells, const CellRect& parentClip,
                    bool bFocused);
    void DrawCombo(Canvas& canvas, UIComboBox* pCombo, const CellRect& cells, bool bFocused);
    void DrawDropDown(Canvas& canvas);
    void DrawList(Canvas& canvas, BaseFilteredListControl* pList, const CellRect& cells, bool bFocused);
    void DrawStatus(Canvas& canvas, int row);

    std::vector<int> FocusOrder() const;
    CWnd* FindControl(int id) const;
    void MoveFocus(int step);
    // Keeps the focus on a control that exists, is shown and can take it.
    void SettleFocus();

    void HandleComboKey(UIComboBox* pCombo, const Key& key);
    void HandleListKey(BaseFilteredListControl* pList, const Key& key);
    void HandlePromptKey(const Key& key);
    void ApplyFilter();
    void SaveCopy();
    void PressButton(int id);
    void ChooseQuery(int index);
    // The shown index of the list's first selected row, or -1.
    int SelectedIndex(BaseFilteredListControl* pList);

    HostSession& m_session;
    int m_nFocusId = ctl::kQueryCombo;
    int m_nFocusColumn = 0;
    bool m_bDropDown = false;
    int m_nDropIndex = 0;
    CellRect m_comboCells;
    enum class Prompt
    {
        None,
        Filter,   // a criterion for m_nPromptColumn of the focused list
        SavePath, // where the copy goes
    };
    Prompt m_promptKind = Prompt::None;
    int m_nPromptColumn = 0;
    std::wstring m_prompt;
    std::optional<std::string> m_copied;
    // Per list id: the first row shown and the last known index of the selection.
    std::map<int, int> m_firstRow;
    std::map<int, int> m_selectionHint;
    std::wstring m_shownQuery;
    std::wstring m_captureState;
    std::wstring m_message;
};

} // namespace app
