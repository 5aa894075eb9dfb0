#include "report/view/report_help.h"

#include "platform/base/module.h"
#include "platform/mfc/wnd.h"
#include "platform/shell/htmlhelp.h"

#include <algorithm>

CString GetProgramHelpFile()
{
  char path[4096] = {};
  const DWORD length = GetModuleFileName(nullptr, path, sizeof path);
  CString file(length > 0 && length < sizeof path ? path : "");
  const int slash = std::max(file.ReverseFind('/'), file.ReverseFind('\\'));
  const int dot = file.ReverseFind('.');
  if (dot > slash) {
    file = file.Left(dot);
  }
  return file + ".chm";
}

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
