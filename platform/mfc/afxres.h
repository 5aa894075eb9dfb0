// The framework's own ids: standard commands, window ids, messages and string-table entries. The program's
// resources use the same numbers for the same things.
#pragma once

#include "platform/base/wintypes.h"

// Standard commands.
inline constexpr UINT ID_FILE_NEW = 0xE100;
inline constexpr UINT ID_FILE_OPEN = 0xE101;
inline constexpr UINT ID_FILE_CLOSE = 0xE102;
inline constexpr UINT ID_FILE_SAVE = 0xE103;
inline constexpr UINT ID_FILE_SAVE_AS = 0xE104;
inline constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
inline constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;
inline constexpr UINT ID_FILE_PRINT = 0xE107;
inline constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
inline constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;
inline constexpr UINT ID_FILE_MRU_FIRST = 0xE110;
inline constexpr UINT ID_FILE_MRU_FILE1 = 0xE110;
inline constexpr UINT ID_FILE_MRU_FILE2 = 0xE111;
inline constexpr UINT ID_FILE_MRU_FILE3 = 0xE112;
inline constexpr UINT ID_FILE_MRU_FILE4 = 0xE113;
inline constexpr UINT ID_FILE_MRU_FILE16 = 0xE11F;
inline constexpr UINT ID_FILE_MRU_LAST = 0xE11F;
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_APP_EXIT = 0xE141;

// Window ids.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
inline constexpr UINT AFX_IDW_PANE_SAVE = 0xEA21;  // the view a print preview stands in for, hidden meanwhile

// Print preview: the toolbar dialog's template and its buttons.
inline constexpr UINT AFX_IDD_PREVIEW_TOOLBAR = 0x7801;
inline constexpr UINT AFX_IDW_PREVIEW_BAR = 0xE805;
inline constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300;
inline constexpr UINT AFX_ID_PREVIEW_NUMPAGE = 0xE301;
inline constexpr UINT AFX_ID_PREVIEW_NEXT = 0xE302;
inline constexpr UINT AFX_ID_PREVIEW_PREV = 0xE303;
inline constexpr UINT AFX_ID_PREVIEW_PRINT = 0xE304;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMIN = 0xE305;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMOUT = 0xE306;

// Framework messages.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;  // wParam: disable commands without a handler
inline constexpr UINT WM_INITIALUPDATE = 0x0364;    // sent to the views of a new frame
// A notification reflected to the control's own object is numbered WM_REFLECT_BASE + the message.
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Command notification codes (the nCode of OnCmdMsg).
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;

// Strings the framework loads.
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;
inline constexpr UINT AFX_IDS_OPENFILE = 0xF000;
inline constexpr UINT AFX_IDS_SAVEFILE = 0xF001;
inline constexpr UINT AFX_IDS_ALLFILTER = 0xF002;
inline constexpr UINT AFX_IDS_UNTITLED = 0xF003;
inline constexpr UINT AFX_IDS_SAVEFILECOPY = 0xF004;
inline constexpr UINT AFX_IDP_INVALID_FILENAME = 0xF100;
inline constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;
inline constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102;
inline constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF103;
inline constexpr UINT AFX_IDP_FAILED_TO_CREATE_DOC = 0xF104;
inline constexpr UINT AFX_IDP_FAILED_TO_START_PRINT = 0xF106;
inline constexpr UINT AFX_IDP_COMMAND_FAILURE = 0xF109;
inline constexpr UINT AFX_IDP_PARSE_INT = 0xF110;
inline constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;
inline constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;   // %1 and %2: the bounds
inline constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;  // %1 and %2: the bounds
inline constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114; // %1: the most characters
inline constexpr UINT AFX_IDP_PARSE_UINT = 0xF117;
inline constexpr UINT AFX_IDP_FAILED_INVALID_FORMAT = 0xF120;
inline constexpr UINT AFX_IDP_FAILED_INVALID_PATH = 0xF121;
inline constexpr UINT AFX_IDP_FAILED_DISK_FULL = 0xF122;
inline constexpr UINT AFX_IDP_FAILED_ACCESS_READ = 0xF123;
inline constexpr UINT AFX_IDP_FAILED_ACCESS_WRITE = 0xF124;
inline constexpr UINT AFX_IDP_FAILED_IO_ERROR_READ = 0xF125;
inline constexpr UINT AFX_IDP_FAILED_IO_ERROR_WRITE = 0xF126;
