#include "platform/mfc/printing.h"

#include "platform/mfc/afxres.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/document.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"
#include "platform/user/global_memory.h"

#include <algorithm>
#include <utility>

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION | PD_HIDEPRINTTOFILE))
{
  SetMinPage(1);
  SetMaxPage(0xFFFF);
  m_pPD->m_pd.nFromPage = 1;
  m_pPD->m_pd.nToPage = 0xFFFF;
  m_strPageDesc = "Page %u\nPages %u-%u\n";
}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

namespace afx_print {

namespace {
HGLOBAL g_devMode = nullptr;
HGLOBAL g_devNames = nullptr;
CString g_lastError;
}  // namespace

HGLOBAL& AppDevMode() { return g_devMode; }
HGLOBAL& AppDevNames() { return g_devNames; }
const CString& LastPrintError() { return g_lastError; }

void ResetAppPrinter()
{
  if (g_devMode != nullptr) {
    ::GlobalFree(g_devMode);
  }
  if (g_devNames != nullptr) {
    ::GlobalFree(g_devNames);
  }
  g_devMode = nullptr;
  g_devNames = nullptr;
  g_lastError.Empty();
}

BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg)
{
  if (g_devMode == nullptr || g_devNames == nullptr) {
    PRINTDLG pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!::PrintDlg(&pd)) {
      return FALSE;
    }
    ResetAppPrinter();
    g_devMode = pd.hDevMode;
    g_devNames = pd.hDevNames;
  }
  pPrintDlg->hDevMode = g_devMode;
  pPrintDlg->hDevNames = g_devNames;
  return TRUE;
}

INT_PTR DoPrintDialog(CPrintDialog* pPD)
{
  PRINTDLG scratch;
  GetPrinterDeviceDefaults(&scratch);
  pPD->m_pd.hDevMode = g_devMode;
  pPD->m_pd.hDevNames = g_devNames;
  const INT_PTR answer = pPD->DoModal();
  // The dialog may have replaced the handles (a new printer's names).
  g_devMode = pPD->m_pd.hDevMode;
  g_devNames = pPD->m_pd.hDevNames;
  return answer;
}

void ReportFailure(const char* why)
{
  g_lastError = why;
  CString text;
  if (!text.LoadString(AFX_IDP_FAILED_TO_START_PRINT) || text.IsEmpty()) {
    text = "Не удалось выполнить печать.";
  }
  if (why != nullptr && *why != '\0') {
    text += "\n";
    text += why;
  }
  AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace afx_print

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg) { return afx_print::GetPrinterDeviceDefaults(pPrintDlg); }

void CWinApp::OnFilePrintSetup()
{
  CPrintDialog dlg(TRUE);
  afx_print::DoPrintDialog(&dlg);
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
  CPrintDialog* pDlg = pInfo->m_pPD;
  // The dialog offers the document's whole range.
  pDlg->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
  pDlg->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
  if (pInfo->m_bPreview || pInfo->m_bDirect) {
    if (pDlg->m_pd.hDC == nullptr) {
      if (!afx_print::GetPrinterDeviceDefaults(&pDlg->m_pd)) {
        afx_print::ReportFailure("Принтер не найден.");
        return FALSE;
      }
      if (pDlg->CreatePrinterDC() == nullptr) {
        afx_print::ReportFailure("Принтер не отвечает.");
        return FALSE;
      }
    }
  } else {
    if (afx_print::DoPrintDialog(pDlg) != IDOK) {
      return FALSE;
    }
    if (pDlg->m_pd.hDC == nullptr && pDlg->CreatePrinterDC() == nullptr) {
      afx_print::ReportFailure("Принтер не отвечает.");
      return FALSE;
    }
    if ((pDlg->m_pd.Flags & PD_PAGENUMS) == 0) {
      pDlg->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
      pDlg->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
    }
  }
  if (pInfo->m_nNumPreviewPages == 0) {
    CWinApp* app = AfxGetApp();
    pInfo->m_nNumPreviewPages = app != nullptr && app->m_nNumPreviewPages != 0 ? app->m_nNumPreviewPages : 1;
  }
  return TRUE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

namespace {

thread_local UINT t_printCommand = 0;

}  // namespace

UINT CView::NotePrintCommand(UINT nID) { return std::exchange(t_printCommand, nID); }

void CView::OnFilePrint()
{
  CPrintInfo printInfo;
  printInfo.m_bDirect = t_printCommand == ID_FILE_PRINT_DIRECT ? TRUE : FALSE;
  PrintWith(printInfo);
}

BOOL CView::PrintWith(CPrintInfo& printInfo)
{
  if (!OnPreparePrinting(&printInfo)) {
    return FALSE;
  }
  if (printInfo.m_pPD->m_pd.hDC == nullptr) {
    afx_print::ReportFailure("Принтер не выбран.");
    return FALSE;
  }
  CDC dcPrint;
  dcPrint.Attach(printInfo.m_pPD->m_pd.hDC);
  dcPrint.m_bPrinting = TRUE;
  OnBeginPrinting(&dcPrint, &printInfo);

  CString title = m_pDocument != nullptr ? m_pDocument->GetTitle() : CString();
  if (title.IsEmpty()) {
    title = "Document";
  }
  DOCINFOA docInfo;
  docInfo.lpszDocName = title;
  if (dcPrint.StartDoc(&docInfo) <= 0) {
    OnEndPrinting(&dcPrint, &printInfo);
    dcPrint.Detach();
    afx_print::ReportFailure("Задание печати не начато.");
    return FALSE;
  }

  // The range asked for, held inside the document's.
  UINT nStartPage = printInfo.GetFromPage();
  UINT nEndPage = printInfo.GetToPage();
  const UINT minPage = printInfo.GetMinPage();
  const UINT maxPage = printInfo.GetMaxPage();
  nStartPage = std::clamp(nStartPage, minPage, std::max(minPage, maxPage));
  nEndPage = std::clamp(nEndPage, minPage, std::max(minPage, maxPage));
  const int step = nEndPage >= nStartPage ? 1 : -1;
  const UINT stop = nEndPage == 0xFFFF ? 0xFFFF : nEndPage + static_cast<UINT>(step);

  bool failed = false;
  for (printInfo.m_nCurPage = nStartPage; printInfo.m_nCurPage != stop;
       printInfo.m_nCurPage += static_cast<UINT>(step)) {
    OnPrepareDC(&dcPrint, &printInfo);
    if (!printInfo.m_bContinuePrinting) {
      break;
    }
    printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
    dcPrint.DPtoLP(reinterpret_cast<LPPOINT>(&printInfo.m_rectDraw), 2);
    if (dcPrint.StartPage() <= 0) {
      failed = true;
      break;
    }
    OnPrint(&dcPrint, &printInfo);
    if (dcPrint.EndPage() <= 0) {
      failed = true;
      break;
    }
  }
  // The document is sent only whole: a failed page drops the job.
  if (failed) {
    dcPrint.AbortDoc();
  } else if (dcPrint.EndDoc() <= 0) {
    failed = true;
  }
  OnEndPrinting(&dcPrint, &printInfo);
  dcPrint.Detach();
  if (failed) {
    afx_print::ReportFailure("Печать прервана: страница не передана принтеру.");
    return FALSE;
  }
  return TRUE;
}
