// The document's only view: an OpenGL surface drawn by the document's render core, which routes the mouse and
// keyboard to the current tool or the navigator, carries the view-type and navigation commands, and keeps a
// hidden report child for printing.
#pragma once

#include "document/qor_road_doc.h"
#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc/scrollview.h"

class CBitmap;
class CGraphicCore;
class CGraphicCoreFull;
class CPrimitiveDrawContext;
class CRoadPictureRenderer;
class CToolHolder;
struct IGroupOfDev;
namespace VisualCtrl {
class CReportView;
}

class CQorRoadView : public CScrollView, public IQorRoadView {
  DECLARE_DYNCREATE(CQorRoadView)
public:
  CQorRoadView();
  ~CQorRoadView() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnDraw(CDC* pDC) override;
  void OnInitialUpdate() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // IQorRoadView
  BOOL& ContourOfPrim() override { return m_contourOfPrim; }
  BOOL& ReloctblPrimitives() override { return m_movablePrimitives; }

  BOOL IsInPrintPreview() const { return m_printPreview; }
  int GetDepthBits() const { return m_depthBits; }
  BOOL ShowsGroupNumbers() const { return m_groupNumbers; }
  BOOL IsPrimTransparency() const { return m_primTransparency; }
  double GetTransparencyFactor() const { return m_transparencyFactor; }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();
  BOOL OnEraseBkgnd(HDC) { return TRUE; }

  LRESULT OnViewBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnAnswerOne(WPARAM wParam, LPARAM lParam);
  LRESULT OnDepthBits(WPARAM wParam, LPARAM lParam);
  LRESULT OnBeginContour(WPARAM wParam, LPARAM lParam);
  LRESULT OnEndContour(WPARAM wParam, LPARAM lParam);
  LRESULT OnDropHover(WPARAM wParam, LPARAM lParam);

  void OnViewPlan();
  void OnView3D();
  void OnNavigatorMode(UINT nID);
  void OnUpdateNavigatorMode(CCmdUI* pCmdUI);
  void OnUpdateViewPlan(CCmdUI* pCmdUI);
  void OnUpdateView3D(CCmdUI* pCmdUI);
  void OnSelectTool(UINT nID);
  void OnUpdateSelectTool(CCmdUI* pCmdUI);
  void OnRestoreSize();
  void OnUpdateRestoreSize(CCmdUI* pCmdUI);
  void OnLayers();
  void OnViewSide(UINT nID);
  void OnUpdateViewSide(CCmdUI* pCmdUI);
  void OnViewWall(UINT nID);
  void OnUpdateViewWall(CCmdUI* pCmdUI);
  void OnDisplayToggle(UINT nID);
  void OnUpdateDisplayToggle(CCmdUI* pCmdUI);
  LRESULT OnPrimTransparency(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  CGraphicCoreFull* FullCore() const;
  CToolHolder* ToolHolder() const;
  // The render core's holder of the primitives' transparency.
  CPrimitiveDrawContext* PrimitiveHolder() const;
  DWORD CurrentViewType() const;
  // Deletes the current tool: the navigator takes the input again.
  void EndTool();
  // The straight road's wall switches of the 3D drawing.
  void SetWallSwitches(bool left, bool right);
  // The document's and the camera's view type.
  void SetViewType(DWORD viewType);
  // The calculation areas' layer states, then the new view type.
  void ShowLayers(DWORD shownKinds, DWORD hiddenKinds, DWORD viewType);
  // The primitives' factor from the flag, the view type (0: the camera's) and the results; drawn at once.
  void ApplyPrimitiveTransparency(DWORD viewType);
  // A key the active area takes moves its selected objects in plan view; TRUE when it was taken.
  BOOL MoveSelectionByKey(WPARAM key, LPARAM lParam);
  // The selector loses its grab and any polygon input when the view loses the focus.
  void EndSelectorInputOnFocusLoss();

  CToolTipCtrl m_toolTip;
  int m_depthBits = -1;
  VisualCtrl::CReportView* m_pReportChild = nullptr;
  CGraphicCore* m_pCore = nullptr;
  IQorRoadDoc* m_pDocument = nullptr;
  BOOL m_printPreview = FALSE;
  BOOL m_paneWasOpen[4] = {FALSE, FALSE, FALSE, FALSE};
  BOOL m_contourOfPrim = TRUE;
  BOOL m_primTransparency = FALSE;
  BOOL m_groupNumbers = FALSE;
  BOOL m_movablePrimitives = TRUE;
  double m_transparencyFactor = 0.3;

  // Printing and previewing the report through the report child, report pictures, the clipboard copy
  // (qor_road_view_print.cpp).
public:
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
  void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
  void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView) override;

  // The layer flags of a report picture, from the document's view mode, the shown quantity and result display
  // and the active area's kind.
  DWORD ReportPictureFlags();
  // One report picture into `bitmap`; FALSE outside a report build (no picture renderer).
  BOOL RenderReportPicture(int width, int height, CBitmap* bitmap, IGroupOfDev* group);
  VisualCtrl::CReportView* GetReportChild() const { return m_pReportChild; }

protected:
  void OnPrintReport();
  void OnPrintPreviewReport();
  void OnCopyViewColour();
  void OnCopyViewBlackWhite();

private:
  // Brings the report up to date and builds it with its pictures; FALSE when the document refuses.
  BOOL PrepareReport(int print);
  // The panes the preview hides and shows again afterwards.
  void PutPanesAside();
  void BringPanesBack();

  CRoadPictureRenderer* m_pPictureRenderer = nullptr;
};
