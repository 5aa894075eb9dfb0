// CView: the window that shows a document. It is a child of its frame, is listed by its document, and routes
// commands to the document after its own map.
#pragma once

#include "platform/mfc/wnd.h"

class CDocument;
class CDC;
class CPreviewView;
struct CPrintInfo;
struct CPrintPreviewState;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
public:
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // First update after the frame was made (WM_INITIALUPDATE): an update from nobody.
  virtual void OnInitialUpdate();
  // The frame made this view active or inactive.
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

  // Draws the document: on the screen for WM_PAINT, on a page for OnPrint. The default draws nothing.
  virtual void OnDraw(CDC* pDC);
  // Sets up the DC before OnDraw or OnPrint. For a page: with no last page known, only page 1 is printed.
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);

  // Printing, in the order the framework calls them (OnFilePrint and the print preview).
  // The default asks the print dialog (DoPreparePrinting).
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
  // One page; the default draws it with OnDraw.
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
  // The preview closed; the default puts the frame back as it was and ends the printing calls.
  virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView);

  // The print dialog, or the default printer when m_bDirect or in preview; a printer DC into pInfo->m_pPD.
  // FALSE when the user cancels or there is no printer.
  BOOL DoPreparePrinting(CPrintInfo* pInfo);
  // Replaces this view in its frame by a preview of pPrintView's pages, with the toolbar dialog nIDResource.
  BOOL DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass,
                      CPrintPreviewState* pState);

  // ID_FILE_PRINT and ID_FILE_PRINT_DIRECT (the default printer, no dialog); a view maps them to these.
  void OnFilePrint();
  // ID_FILE_PRINT_PREVIEW: the standard preview in the frame.
  void OnFilePrintPreview();
  // The printing calls for one job from OnPreparePrinting to OnEndPrinting; FALSE when nothing was printed
  // (cancelled, or failed and told).
  BOOL PrintWith(CPrintInfo& printInfo);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  // A click in a view makes it its frame's active view and gives it the keyboard (the wheel follows the keyboard).
  int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

protected:
  CView();
  // The document changed; the default repaints the whole view.
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  void PostNcDestroy() override;

  CDocument* m_pDocument = nullptr;
  // While a preview shows in its place: what to restore.
  CPrintPreviewState* m_pPreviewState = nullptr;

  friend class CDocument;
  friend class CPreviewView;

  DECLARE_MESSAGE_MAP()

private:
  // The command being routed, so OnFilePrint tells ID_FILE_PRINT_DIRECT from ID_FILE_PRINT; answers the one
  // noted before, to be put back when the routing ends.
  static UINT NotePrintCommand(UINT nID);
};
