#include "resources/TallyResources.h"

#include "host/ui/Messages.h"
#include "resources/resource.h"

namespace
{

constexpr const wchar_t* kFont = L"Segoe UI";
constexpr WORD kPointSize = 9;
constexpr WORD kWeight = 400;

constexpr DWORD kStatic = WS_CHILD | SS_LEFT;
constexpr DWORD kButton = WS_CHILD | BS_PUSHBUTTON;
constexpr DWORD kCheckBox = WS_CHILD | BS_AUTOCHECKBOX;

DialogTemplate StatisticsDialog()
{
    return {
        IDD_TALLY_DIALOG,
        WS_CHILD | WS_SYSMENU | DS_SETFONT,
        WS_EX_CONTROLPARENT,
        460,
        335,
        L"",
        kFont,
        kPointSize,
        kWeight,
        {
            {IDC_QUERY_COMBO, WC_STATIC, L"Class=Combo", 4, 5, 148, 13,
             kStatic | WS_VISIBLE | WS_GROUP | WS_TABSTOP},
            {IDC_RUN, WC_BUTTON, L"Run", 158, 4, 35, 14, kButton | WS_VISIBLE | WS_TABSTOP},
            {IDC_CLEAR, WC_BUTTON, L"Clear", 196, 4, 42, 14, kButton | WS_VISIBLE | WS_TABSTOP},
            {IDC_COPY_RESULTS, WC_BUTTON, L"Copy Results", 241, 4, 61, 14, kButton | WS_VISIBLE | WS_TABSTOP},
            {IDC_UPDATE_AUTOMATICALLY, WC_BUTTON, L"Update automatically", 327, 4, 108, 10,
             kCheckBox | WS_VISIBLE | WS_TABSTOP},
            {IDC_KEEP_STATISTICS, WC_BUTTON, L"Keep statistics across sessions", 327, 16, 107, 10,
             kCheckBox | WS_VISIBLE | WS_TABSTOP},
            {IDC_RESULTS_GROUP, WC_BUTTON, L"Results", 3, 27, 440, 9, WS_CHILD | BS_GROUPBOX | WS_VISIBLE},
            {IDC_RESULTS_PLACEHOLDER, WC_STATIC, L"Static", 0, 38, 460, 297,
             kStatic | WS_VISIBLE | WS_BORDER | WS_GROUP},
            {IDC_OUT_OF_SYNC, WC_STATIC,
             L"Project data and game data are unsynchonized.  Regerenerate your banks.", 4, 19, 251, 9,
             kStatic | WS_GROUP},
        }};
}

// The empty result window of "None"; the list window's template differs only in clipping children.
DialogTemplate EmptyResultDialog(UINT id, DWORD extraStyle)
{
    return {id,
            WS_CHILD | extraStyle | WS_SYSMENU | DS_CONTROL | DS_SETFONT,
            WS_EX_CONTROLPARENT,
            186,
            95,
            L"",
            kFont,
            kPointSize,
            kWeight,
            {}};
}

DialogTemplate DialogueEventDialog()
{
    return {IDD_DIALOGUE_EVENT_QUERY,
            WS_CHILD | WS_SYSMENU | DS_CONTROL | DS_SETFONT,
            WS_EX_CONTROLPARENT,
            395,
            236,
            L"",
            kFont,
            kPointSize,
            kWeight,
            {
                {IDC_SELECTED_EVENT_LABEL, WC_STATIC, L"Selected Event", 195, 2, 80, 8,
                 kStatic | WS_VISIBLE | WS_GROUP},
                {IDC_SELECTED_EVENT_CAPTION, WC_STATIC, L"Class=Edit", 195, 14, 171, 14,
                 kStatic | WS_VISIBLE | WS_GROUP},
            }};
}

constexpr const char* kManifest = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>
    </windowsSettings>
  </application>
</assembly>
)";

ResourceModule MakeResources()
{
    ResourceModule resources(L"tally");
    resources.AddDialog(StatisticsDialog());
    resources.AddDialog(EmptyResultDialog(IDD_NONE_QUERY, 0));
    resources.AddDialog(DialogueEventDialog());
    resources.AddDialog(EmptyResultDialog(IDD_RESULT_LIST, WS_CLIPCHILDREN));
    resources.AddManifest(IDR_MANIFEST, kManifest);
    return resources;
}

} // namespace

ResourceModule& TallyResources()
{
    static ResourceModule resources = MakeResources();
    return resources;
}
