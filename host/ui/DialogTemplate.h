// Dialog templates and the resource modules that hold them, in place of compiled resource scripts.
#pragma once

#include "host/base/WinTypes.h"

#include <map>
#include <string>
#include <vector>

// Predefined control classes of dialog templates.
inline constexpr const wchar_t* WC_BUTTON = L"Button";
inline constexpr const wchar_t* WC_STATIC = L"Static";
inline constexpr const wchar_t* WC_EDIT = L"Edit";
inline constexpr const wchar_t* WC_COMBOBOX = L"ComboBox";
inline constexpr const wchar_t* WC_DIALOG = L"#32770";

struct DialogControlTemplate
{
    UINT id;
    const wchar_t* className;
    const wchar_t* text;
    // x, y, width, height in dialog units.
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle = 0;
};

// An extended dialog template.
struct DialogTemplate
{
    UINT id;
    DWORD style;
    DWORD exStyle;
    short cx, cy; // dialog units
    const wchar_t* caption;
    const wchar_t* fontFace;
    WORD pointSize;
    WORD weight;
    std::vector<DialogControlTemplate> controls;
};

// The resources of one module: dialog templates by id, and texts such as the manifest.
class ResourceModule
{
public:
    explicit ResourceModule(std::wstring name) : m_name(std::move(name)) {}

    void AddDialog(DialogTemplate dialogTemplate);
    void AddManifest(int id, std::string text);

    const DialogTemplate* FindDialog(UINT id) const;
    const std::string* FindManifest(int id) const;
    const std::wstring& Name() const { return m_name; }

private:
    std::wstring m_name;
    std::map<UINT, DialogTemplate> m_dialogs;
    std::map<int, std::string> m_manifests;
};

// Base units of a dialog font in pixels at 100 % scaling: a dialog unit is a quarter of the average
// character width horizontally and an eighth of the character height vertically.
struct DialogBaseUnits
{
    int cx;
    int cy;
};
DialogBaseUnits GetDialogBaseUnits(const wchar_t* fontFace, int pointSize);
// A rectangle in dialog units converted to pixels with the template's font.
RECT MapDialogRect(const DialogTemplate& dialogTemplate, int x, int y, int cx, int cy);
