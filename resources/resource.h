// Resource and control ids of the plug-in.
#pragma once

// Dialog templates.
inline constexpr unsigned IDD_TALLY_DIALOG = 1000;
inline constexpr unsigned IDD_NONE_QUERY = 1002;
inline constexpr unsigned IDD_DIALOGUE_EVENT_QUERY = 1004;
inline constexpr unsigned IDD_RESULT_LIST = 1005;

// Manifest.
inline constexpr int IDR_MANIFEST = 2;

// Controls of the statistics dialog.
inline constexpr unsigned IDC_RESULTS_GROUP = 1002;
inline constexpr unsigned IDC_RESULTS_PLACEHOLDER = 1003;
inline constexpr unsigned IDC_QUERY_COMBO = 1004;
inline constexpr unsigned IDC_RUN = 1001;
inline constexpr unsigned IDC_OUT_OF_SYNC = 1014;
inline constexpr unsigned IDC_COPY_RESULTS = 1015;
inline constexpr unsigned IDC_CLEAR = 1018;
inline constexpr unsigned IDC_UPDATE_AUTOMATICALLY = 1019;
inline constexpr unsigned IDC_KEEP_STATISTICS = 1020;

// Controls of the dialogue event window.
inline constexpr unsigned IDC_SELECTED_EVENT_CAPTION = 1010;
inline constexpr unsigned IDC_SELECTED_EVENT_LABEL = 1013;

// List controls created at initialisation.
inline constexpr unsigned IDC_RESULT_LIST = 9999;
inline constexpr unsigned IDC_VALUE_LIST = 9998;
