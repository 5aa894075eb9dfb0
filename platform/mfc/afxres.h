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
inline constexpr UINT ID_HELP = 0xE146;
// Showing and hiding the standard bars.
inline constexpr UINT ID_VIEW_TOOLBAR = 0xE800;
inline constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;
inline constexpr UINT ID_VIEW_REBAR = 0xE804;
// Status-bar indicators; a separator pane has id 0.
inline constexpr UINT ID_SEPARATOR = 0;
inline constexpr UINT ID_INDICATOR_EXT = 0xE700;
inline constexpr UINT ID_INDICATOR_CAPS = 0xE701;
inline constexpr UINT ID_INDICATOR_NUM = 0xE702;
inline constexpr UINT ID_INDICATOR_SCRL = 0xE703;
inline constexpr UINT ID_INDICATOR_OVR = 0xE704;
inline constexpr UINT ID_INDICATOR_REC = 0xE705;


// Window ids.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDW_PANE_LAST = 0xE9FF;
// Control bars take the ids below the panes; RecalcLayout lays out every child from the first to the last.
inline constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
inline constexpr UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr UINT AFX_IDW_RESIZE_BAR = 0xE803;
inline constexpr UINT AFX_IDW_REBAR = 0xE804;
inline constexpr UINT AFX_IDW_DIALOGBAR = 0xE805;
inline constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
inline constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
inline constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
inline constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
inline constexpr UINT AFX_IDW_DOCKBAR_FLOAT = 0xE81F;
inline constexpr UINT AFX_IDW_PANE_SAVE = 0xEA21;  // the view a print preview stands in for, hidden meanwhile

// Print preview: the toolbar dialog's template and its buttons.
inline constexpr UINT AFX_IDD_PREVIEW_TOOLBAR = 0x7801;
inline constexpr UINT AFX_IDW_PREVIEW_BAR = 0xE802;
inline constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300;
inline constexpr UINT AFX_ID_PREVIEW_NUMPAGE = 0xE301;
inline constexpr UINT AFX_ID_PREVIEW_NEXT = 0xE302;
inline constexpr UINT AFX_ID_PREVIEW_PREV = 0xE303;
inline constexpr UINT AFX_ID_PREVIEW_PRINT = 0xE304;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMIN = 0xE305;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMOUT = 0xE306;

// Framework messages.
inline constexpr UINT WM_SIZEPARENT = 0x0361;       // lParam: AFX_SIZEPARENTPARAMS*; a bar takes its slice
inline constexpr UINT WM_SETMESSAGESTRING = 0x0362; // wParam: string id, or lParam: the text; to the status bar
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;  // wParam: disable commands without a handler
inline constexpr UINT WM_INITIALUPDATE = 0x0364;    // sent to the views of a new frame
inline constexpr UINT WM_COMMANDHELP = 0x0365;
inline constexpr UINT WM_HELPHITTEST = 0x0366;
inline constexpr UINT WM_EXITHELPMODE = 0x0367;
inline constexpr UINT WM_RECALCPARENT = 0x0368;     // a child asks its frame to lay itself out again
inline constexpr UINT WM_SIZECHILD = 0x0369;
inline constexpr UINT WM_KICKIDLE = 0x036A;         // to a modal loop's window while it idles
inline constexpr UINT WM_QUERYCENTERWND = 0x036B;
inline constexpr UINT WM_DISABLEMODAL = 0x036C;
inline constexpr UINT WM_FLOATSTATUS = 0x036D;      // wParam: FS_ flags
inline constexpr UINT WM_ACTIVATETOPLEVEL = 0x036E;
inline constexpr UINT WM_POPMESSAGESTRING = 0x0375; // as WM_SETMESSAGESTRING, unless a message is being tracked

// WM_FLOATSTATUS flags.
inline constexpr WPARAM FS_SHOW = 0x01;
inline constexpr WPARAM FS_HIDE = 0x02;
inline constexpr WPARAM FS_ACTIVATE = 0x04;
inline constexpr WPARAM FS_DEACTIVATE = 0x08;
inline constexpr WPARAM FS_ENABLE = 0x10;
inline constexpr WPARAM FS_DISABLE = 0x20;
inline constexpr WPARAM FS_SYNCACTIVE = 0x40;
// A notification reflected to the control's own object is numbered WM_REFLECT_BASE + the message.
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Command notification codes (the nCode of OnCmdMsg).
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;

// Strings the framework loads.
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001;
inline constexpr UINT AFX_IDS_HELPMODEMESSAGE = 0xE002;
inline constexpr UINT AFX_IDS_SCFIRST = 0xEF00;  // prompts of the system commands SC_SIZE and on
inline constexpr UINT AFX_IDS_HIDE = 0xF011;     // "Hide": the Close item of a floating frame's system menu
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
