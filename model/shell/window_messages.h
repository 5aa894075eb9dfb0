// The main frame's private window messages (WM_APP + 500 = 0x81F4 up to 0x8224), by the names the application
// shell gives them. The shell handles them; the model, the document, the graphics and the report send them, and
// they all sit below the shell, so the one table lives here and app/messages.h hands it on.
#pragma once

#include "platform/base/wintypes.h"

inline constexpr UINT UM_SHOWOBJECT = 0x81F4;         // wParam 1 show lParam's object, 0 refresh; report: full protocol
inline constexpr UINT UM_CLEARPANES = 0x81F5;
inline constexpr UINT UM_UPDATETREETEXT = 0x81F6;     // lParam a tree item
inline constexpr UINT UM_GETDOCUMENT = 0x81F7;        // lParam IQorRoadDoc** out
inline constexpr UINT UM_RESULTSCHANGED = 0x81F8;
inline constexpr UINT UM_SELECTTREEITEM = 0x81F9;     // lParam a tree item; nothing for 0
inline constexpr UINT UM_SETVIEWMODE = 0x81FA;        // wParam the view-mode word
inline constexpr UINT UM_GETACTIVEVIEW = 0x81FB;      // lParam a view pointer out; 1 written, 0 none
inline constexpr UINT UM_VIEWNOTIFY = 0x81FC;
inline constexpr UINT UM_PROGRESS = 0x81FD;           // wParam percent; 0 or 100 and above hide the bar
inline constexpr UINT UM_VIEWFONTCHANGED = 0x81FE;
inline constexpr UINT UM_SHOWPARAMETERS = 0x81FF;
inline constexpr UINT UM_REFRESHPARAMETERS = 0x8200;  // the parameters pane refreshes its object
inline constexpr UINT UM_TREECOMMAND = 0x8201;
inline constexpr UINT UM_VIEWBACKGROUND = 0x8203;
inline constexpr UINT UM_CALCMODES = 0x8207;
inline constexpr UINT UM_SHOWECONOMICS = 0x8208;
inline constexpr UINT UM_SHOWLIGHTING = 0x8209;
inline constexpr UINT UM_DEPTHBITS = 0x820A;
inline constexpr UINT UM_BEGINCONTOUR = 0x820B;       // lParam the object whose outline is edited
inline constexpr UINT UM_ENDCONTOUR = 0x820C;         // wParam 1 an IGroupOfDev, 0 an IPrimitive, in lParam
inline constexpr UINT UM_DROPHOVER = 0x820D;
inline constexpr UINT UM_ENGINEPROGRESS = 0x820E;
inline constexpr UINT UM_CALCFINISHED = 0x820F;
inline constexpr UINT UM_SHOWNEWS = 0x8211;
inline constexpr UINT UM_PRIMTRANSPARENCY = 0x8212;
inline constexpr UINT UM_SETCALCSTATE = 0x8213;
inline constexpr UINT UM_GETCALCSTATE = 0x8214;       // lParam int* out: 0 idle, 1 running, 2 stopping
inline constexpr UINT UM_CALCSTATETEXT = 0x8215;      // wParam 2 "please wait", 0 "press F1 for help"
inline constexpr UINT UM_SETEXITPENDING = 0x8216;
inline constexpr UINT UM_GETEXITPENDING = 0x8217;

// wParam of UM_CALCSTATETEXT.
inline constexpr WPARAM kCalcStateTextIdle = 0;
inline constexpr WPARAM kCalcStateTextWait = 2;
