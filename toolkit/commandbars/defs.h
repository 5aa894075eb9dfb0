// Numbers the bars, controls and their site share: notification messages, control and bar types, positions,
// reserved ids, and the records that travel with the notifications.
#pragma once

#include "platform/mfc/afxwin.h"

class CTKCommandBar;
class CTKControl;

// Sent to the site (numbers as the frame's message map knows them).
inline constexpr UINT TKWM_TOOLBARVISIBLECHANGED = 10325;
inline constexpr UINT TKWM_CONTROLSELECTED = 10326;
inline constexpr UINT TKWM_DRAGCONTROLCHANGED = 10327;
inline constexpr UINT TKWM_INITCOMMANDSPOPUP = 10328;
inline constexpr UINT TKWM_CONTROLRBUTTONUP = 10329;
inline constexpr UINT TKWM_TRACKINGKEY = 10330;
inline constexpr UINT TKWM_POPUPBARINIT = 10331;
inline constexpr UINT TKWM_TOOLBARCONTEXTMENU = 10332;
inline constexpr UINT TKWM_POPUPBARCLOSED = 10333;
inline constexpr UINT TKWM_CREATECONTROL = 10334;
inline constexpr UINT TKWM_AFTERCREATECONTROL = 10335;
inline constexpr UINT TKWM_MDIICON = 10336;
inline constexpr UINT TKWM_CREATECOMMANDBAR = 10337;
inline constexpr UINT TKWM_CONTROLNOTIFY = 10338;

// The notification code of an executed control.
inline constexpr UINT TKN_EXECUTE = 100;

enum TKControlType {
  tkControlError = 0,
  tkControlButton = 1,
  tkControlPopup = 2,
  tkControlButtonPopup = 3,
  tkControlSplitButtonPopup = 4,
  tkControlComboBox = 5,
  tkControlEdit = 6,
  tkControlCustom = 7,
  tkControlLabel = 8,
};

enum TKBarType {
  tkBarTypeMenuBar = 0,
  tkBarTypeNormal = 1,
  tkBarTypePopup = 2,
};

// Hide flags of a control: it shows only when all are clear.
inline constexpr DWORD TK_HIDEGENERIC = 0x01;
inline constexpr DWORD TK_HIDEWRAP = 0x02;
inline constexpr DWORD TK_HIDEDOCKINGPOSITION = 0x04;
inline constexpr DWORD TK_HIDEPOPUPLAYOUT = 0x08;
inline constexpr DWORD TK_HIDECUSTOMIZE = 0x10;
inline constexpr DWORD TK_HIDEUSAGE = 0x20;
inline constexpr DWORD TK_HIDEDOCTEMPLATE = 0x40;

// Flags of a control.
inline constexpr DWORD TK_FLAG_RIGHTALIGN = 0x01;
inline constexpr DWORD TK_FLAG_SKIPFOCUS = 0x02;
inline constexpr DWORD TK_FLAG_MANUALUPDATE = 0x08;
inline constexpr DWORD TK_FLAG_NOMOVABLE = 0x10;
inline constexpr DWORD TK_FLAG_STRETCHED = 0x20;

// Layout modes of the toolkit beside MFC's LM_ bits.
inline constexpr DWORD TK_LM_HIDEWRAP = 0x80;
inline constexpr DWORD TK_LM_POPUP = 0x100;

// The effect of a customise drop that only moved a control onto itself (a group start changed).
inline constexpr DWORD DROPEFFECT_CANCEL_MARK = 5;

// Timers of a bar.
inline constexpr UINT_PTR TK_TIMER_POPUPDELAY = 112223;
inline constexpr UINT_PTR TK_TIMER_FULLMENUS = 112224;
inline constexpr UINT TK_POPUPDELAY_MS = 300;
inline constexpr UINT TK_FULLMENUS_MS = 5000;

// Command ids with a fixed meaning.
inline constexpr int TK_ID_WINDOWLIST = 35000;
inline constexpr int TK_ID_CUSTOMIZE = 35001;
inline constexpr int TK_ID_WORKSPACE_ACTIONS = 35002;
inline constexpr int TK_ID_FILE_MRU = 35003;
inline constexpr int TK_ID_TOOLBARLIST = 59392;

// With 10338.
struct TK_NMCONTROL {
  NMHDR hdr;
  CTKControl* pControl;
};

// With 10334 and 10335.
struct TK_CREATECONTROLSTRUCT {
  int nId = 0;
  CTKControl* pControl = nullptr;
  BOOL bToolBar = FALSE;
  int nIndex = 0;
  CMenu* pMenu = nullptr;
  CTKCommandBar* pCommandBar = nullptr;
  CString strCaption;
  int controlType = 0;
  int buttonStyle = 0;
};

// With 10337.
struct TK_CREATEBARSTRUCT {
  CTKCommandBar* pCommandBar = nullptr;
  BOOL bPopup = FALSE;
  BOOL bExpandBar = FALSE;
  BOOL bCustomBar = FALSE;
  BOOL bTearOffBar = FALSE;
  LPCSTR lpcstrCaption = nullptr;
  UINT nID = 0;
};

// With 10330.
struct TK_KEYRECORD {
  UINT nVirtKey;
  LPARAM lKeyData;
};

// The class schema of the bars and controls a saved bar state may name; the stored schema is handed to them.
inline constexpr UINT TK_BAR_CLASS_SCHEMA = VERSIONABLE_SCHEMA | 16;
