#include "platform/mfc/msgbox.h"

#include "platform/mfc/afxres.h"
#include "platform/mfc/winapp.h"

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
  if (CWinApp* app = AfxGetApp()) {
    return app->DoMessageBox(lpszText, nType, nIDHelp);
  }
  return ::MessageBox(nullptr, lpszText, "", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
  CString text;
  // The framework's own message, for a program whose table does not carry it.
  if ((!text.LoadString(nIDPrompt) || text.IsEmpty()) && nIDPrompt == AFX_IDP_COMMAND_FAILURE) {
    text = "Не удалось выполнить команду.";
  }
  if (nIDHelp == static_cast<UINT>(-1)) {
    nIDHelp = nIDPrompt;
  }
  return AfxMessageBox(text, nType, nIDHelp);
}

void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz, int nString)
{
  CString result;
  for (LPCSTR p = lpszFormat; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
      int index = p[1] - '1';
      if (index < nString && rglpsz[index] != nullptr) {
        result += rglpsz[index];
      }
      ++p;
    } else {
      result += *p;
    }
  }
  rString = result;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1)
{
  CString format;
  format.LoadString(nIDS);
  AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2)
{
  CString format;
  format.LoadString(nIDS);
  LPCSTR strings[2] = {lpsz1, lpsz2};
  AfxFormatStrings(rString, format, strings, 2);
}
