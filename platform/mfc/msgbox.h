// The application's message boxes. They go to the window system's MessageBox, so a test answers them with
// user::ScriptedResponder.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/user/msgbox.h"

// Owner the main window, caption the application's name, and an icon chosen by the buttons when the type
// names none.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same with string nIDPrompt of the resources (empty when the table lacks it).
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// String nIDS with "%1" (and "%2") replaced; a missing string gives an empty text.
void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);
// The same on a format text already at hand.
void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz, int nString);
