// Printing as the framework does it: CPrintInfo carries one print job's settings and state between the view's
// printing calls; the loop itself is CView::OnFilePrint (view.cpp), with its helpers here.
#pragma once

#include "platform/mfc/commdlg.h"
#include "platform/mfc/types.h"

class CDC;
class CView;
class CFrameWnd;

struct CPrintInfo {
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  // The page range the document has; the dialog offers it and the loop keeps to it.
  void SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
  void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
  UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
  UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
  // The range chosen in the dialog (the whole document unless pages were asked for).
  UINT GetFromPage() const { return m_pPD->m_pd.nFromPage; }
  UINT GetToPage() const { return m_pPD->m_pd.nToPage; }
  UINT GetOffsetPage() const { return m_nOffsetPage; }

  CPrintDialog* m_pPD;             // owned; its m_pd.hDC is the printer DC once prepared
  BOOL m_bDocObject = FALSE;
  DWORD m_dwFlags = 0;
  UINT m_nOffsetPage = 0;
  UINT m_nJobNumber = 0;
  BOOL m_bPreview = FALSE;         // drawing for the preview, not the printer
  BOOL m_bDirect = FALSE;          // print without asking: the default printer
  BOOL m_bContinuePrinting = TRUE;  // OnPrepareDC clears it to end the job before the current page
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 0;     // 0: as the application was last, else 1 or 2
  CString m_strPageDesc;           // "Page %u\nPages %u-%u\n"
  LPVOID m_lpUserData = nullptr;
  CRect m_rectDraw;                // the printable area of the page, logical units, set before each OnPrint
};

// What the frame looked like before a print preview took its place; the preview puts it back on close.
struct CPrintPreviewState {
  UINT nIDMainPane = AFX_IDW_PANE_FIRST;
  HMENU hMenu = nullptr;
  DWORD dwStates = 0;              // which control bars were visible (bit per bar, in frame order)
  CView* pViewActiveOld = nullptr;
  BOOL (*lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;
  HACCEL hAccelTable = nullptr;
};

// The application's printer, shared by every print: set by the print dialog and by OnFilePrintSetup, default
// the system's default printer. Held as the print dialog's DEVMODE/DEVNAMES handles.
namespace afx_print {
HGLOBAL& AppDevMode();
HGLOBAL& AppDevNames();
// Fills the app's handles with the default printer's when they are still empty; FALSE when there is none.
BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);
// Shows the print dialog with the app's printer; the chosen one becomes the app's.
INT_PTR DoPrintDialog(CPrintDialog* pPD);
// Frees the handles (end of the program, or a test that starts afresh).
void ResetAppPrinter();
// The message shown when a print fails; tests read it instead of a message box.
const CString& LastPrintError();
}  // namespace afx_print
