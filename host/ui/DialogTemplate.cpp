#include "host/ui/DialogTemplate.h"

#include "host/ui/UISubClassingMgr.h"

#include <cwctype>
#include <string_view>

namespace
{
bool SameFace(const wchar_t* face, std::wstring_view name)
{
    if (face == nullptr)
        return false;
    const std::wstring_view given(face);
    if (given.size() != name.size())
        return false;
    for (std::size_t i = 0; i < given.size(); ++i)
    {
        if (std::towlower(given[i]) != std::towlower(name[i]))
            return false;
    }
    return true;
}

// n * numerator / denominator, rounded to the nearest integer (halves away from zero).
int MulDiv(int n, int numerator, int denominator)
{
    const long long product = static_cast<long long>(n) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}
} // namespace

void ResourceModule::AddDialog(DialogTemplate dialogTemplate)
{
    const UINT id = dialogTemplate.id;
    m_dialogs.insert_or_assign(id, std::move(dialogTemplate));
}

void ResourceModule::AddManifest(int id, std::string text)
{
    m_manifests.insert_or_assign(id, std::move(text));
}

const DialogTemplate* ResourceModule::FindDialog(UINT id) const
{
    const auto it = m_dialogs.find(id);
    return it != m_dialogs.end() ? &it->second : nullptr;
}

const std::string* ResourceModule::FindManifest(int id) const
{
    const auto it = m_manifests.find(id);
    return it != m_manifests.end() ? &it->second : nullptr;
}

DialogBaseUnits GetDialogBaseUnits(const wchar_t* fontFace, int pointSize)
{
    // Measured base units at 96 dpi: Segoe UI 9 pt is 7 x 15, the classic MS Shell Dlg 8 pt 6 x 13.
    // Other sizes scale with the point size.
    int cx = 6, cy = 13, refPoints = 8;
    if (SameFace(fontFace, L"Segoe UI"))
    {
        cx = 7;
        cy = 15;
        refPoints = 9;
    }
    if (pointSize <= 0)
        pointSize = refPoints;
    return DialogBaseUnits{UISubClassingMgr::ScaleToDpi(MulDiv(cx, pointSize, refPoints)),
                           UISubClassingMgr::ScaleToDpi(MulDiv(cy, pointSize, refPoints))};
}

RECT MapDialogRect(const DialogTemplate& dialogTemplate, int x, int y, int cx, int cy)
{
    const DialogBaseUnits units = GetDialogBaseUnits(dialogTemplate.fontFace, dialogTemplate.pointSize);
    const int left = MulDiv(x, units.cx, 4);
    const int top = MulDiv(y, units.cy, 8);
    return RECT{left, top, left + MulDiv(cx, units.cx, 4), top + MulDiv(cy, units.cy, 8)};
}
