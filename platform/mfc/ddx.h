// Dialog data exchange: DoDataExchange moves values between a dialog's members and its controls, one DDX_ call
// per control, each optionally followed by DDV_ checks of the value just read. Loading (UpdateData(FALSE))
// shows the members; saving (UpdateData(TRUE)) reads and checks them. The first text that is not a number, or
// value out of its range, tells the user why (the framework's message, Russian texts below), puts the focus
// on that control with its text selected, and ends the exchange as failed.
//
// Numbers are written and read in the C locale: 1.5 is "1.5". Doubles show 15 significant digits, floats 6.
//
// The messages are strings of the resource handle's table when it has them, else these:
//   AFX_IDP_PARSE_INT          "Введите целое число."
//   AFX_IDP_PARSE_UINT         "Введите целое неотрицательное число."
//   AFX_IDP_PARSE_REAL         "Введите число."
//   AFX_IDP_PARSE_INT_RANGE    "Введите целое число от %1 до %2."
//   AFX_IDP_PARSE_REAL_RANGE   "Введите число от %1 до %2."
//   AFX_IDP_PARSE_STRING_SIZE  "Введите не более %1 символов."
#pragma once

#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc/wnd.h"

class CDataExchange {
public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls to members, with the checks
  CWnd* m_pDlgWnd;          // the dialog (or any parent of the controls)

  // The control `nIDC` of the dialog, remembered as the one a following check is about. A missing control
  // is the program's mistake: CNotSupportedException.
  HWND PrepareCtrl(int nIDC);
  // The same for a control whose text is the value: a failure selects that text.
  HWND PrepareEditCtrl(int nIDC);
  // Ends the exchange as failed: when saving, the last prepared control takes the focus (its text
  // selected); then a CUserException, which UpdateData catches.
  [[noreturn]] void Fail();

  int m_idLastControl = 0;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
};

// Texts
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);  // DWORD as well: the same type here
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

// Buttons: a check box's state (0, 1 or 2); the index of the checked radio button among the radio buttons of
// the group that starts at nIDC (the control with WS_GROUP) and runs to the next WS_GROUP control, -1 none.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

// Lists: the selected index (-1 none) or the selected item's text. Loading a text selects the first item
// that starts with it (the Exact forms: that equals it, ignoring case); a combo box with an edit shows a
// text no item has, a list box then has no selection.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);

// Binds a control object to its control once (the first exchange subclasses the window).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Checks of the value just exchanged; they act only when saving, bounds inclusive.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
// At most nChars characters; when loading it limits the edit control to that many.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
