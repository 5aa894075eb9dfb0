// The program's help as the report's views open it: a keyword lookup that shows the index when the keyword is
// not found.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

class CWnd;

// The program's help file: its own path with the extension ".chm".
CString GetProgramHelpFile();
// The help at the keyword of string `keywordId`; FALSE when the help could not be shown.
BOOL ShowProgramHelp(CWnd* caller, UINT keywordId);
