#include "report/view/report_help.h"

#include "platform/mfc/wnd.h"
#include "platform/shell/htmlhelp.h"

CString GetProgramHelpFile() { return CString(shell::ProgramHelpFile().c_str()); }

BOOL ShowProgramHelp(CWnd* caller, UINT keywordId)
{
  CString keyword;
  keyword.LoadString(keywordId);
  HH_AKLINK link;
  link.cbStruct = sizeof(HH_AKLINK);
  link.fReserved = FALSE;
  link.pszKeywords = keyword;
  link.fIndexOnFail = TRUE;
  const CString file = GetProgramHelpFile();
  return ::HtmlHelp(caller != nullptr ? caller->GetSafeHwnd() : nullptr, file, HH_KEYWORD_LOOKUP,
                    reinterpret_cast<DWORD_PTR>(&link)) != nullptr;
}
