// The read-only rich-text view of the lighting results: the results pane and the OpenGL view's print child.
// On a rebuild message it has the summary or the protocol written into its own writer and streams it in; it
// prints with a header and footer, previews, and exports the shown text as RTF.
#pragma once

#include "platform/mfc/gdiobj.h"
#include "platform/mfc/richedit.h"
#include "report/rtf/rtf_writer.h"

class CProtocolSections;
struct IQorRoadDoc;
struct IStatisticsSession;

namespace VisualCtrl {

class CReportView : public CRichEditView {
  DECLARE_DYNAMIC(CReportView)
public:
  explicit CReportView(IQorRoadDoc* document);
  ~CReportView() override;

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
  void OnInitialUpdate() override;
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
  void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

  // 0x81F4: wParam 0 the results summary, else the protocol of the active area; lParam the print flag.
  LRESULT OnShowResults(WPARAM wParam, LPARAM lParam);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnSize(UINT nType, int cx, int cy);
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnSetFocus(CWnd* pOldWnd);
  // The context menu: one copy item, greyed without a selection, with the menu bitmap beside it.
  void OnRButtonUp(UINT nFlags, CPoint point);
  // Help (ID_HELP): the program's help at the keyword "Светотехнические результаты".
  void OnHelp();

  int BuildFullReport(IStatisticsSession* statistics, int print);
  int BuildFullReport30(IStatisticsSession* statistics, int print);
  int BuildResultsSummary();
  // The OpenGL view that renders the report pictures.
  static CWnd* GetActiveView();
  // The shown text with the print header and footer, written to a temporary file that then replaces `path`.
  // FALSE when any step fails; `path` is then left as it was.
  // Says why in `reason` when the file could not be written.
  BOOL ExportRtf(LPCTSTR path, CString* reason = nullptr);

  // The sections of the two protocols (the program's own unless set); the frame alone with null.
  void SetProtocolSections(CProtocolSections* straightRoad, CProtocolSections* openSite);
  // The pages the text takes when printed, counted as OnPreparePrinting counts them.
  int CountPrintedPages();

  IQorRoadDoc* m_document;
  int m_neverBuilt = 1;
  CFont m_font;
  int m_zoom = 100;
  int m_zoomFromProfile = 1;
  CRTFWriter m_writer;
  // Loaded with the window, shown beside the context menu's copy item.
  CBitmap m_menuBitmap;

protected:
  DECLARE_MESSAGE_MAP()

private:
  CProtocolSections* m_straightSections = nullptr;
  CProtocolSections* m_openSections = nullptr;
};

}  // namespace VisualCtrl
