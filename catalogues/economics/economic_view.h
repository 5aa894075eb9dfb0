// The economic results pane: a container window hosting a read-only rich-edit view that shows the costs of every
// area whose economic output is on, one column per area, rebuilt on the main frame's refresh message.
#pragma once

#include "platform/mfc/gdiobj.h"
#include "platform/mfc/richedit.h"
#include "report/rtf/rtf_writer.h"

struct IArea;
struct IQorRoadDoc;

namespace VisualCtrl {

// The area's caption without its bracketed kind tag ("Объект - 1 [Поворот]" gives "Объект - 1 "): the column
// heading of the cost table and the category of the price dialog.
CString EconomicAreaName(IArea* area);
// An area column's width in twips: room for the name, at least 1500.
int EconomicColumnWidth(const CString& name);

class CEconomicView : public CRichEditView {
  DECLARE_DYNAMIC(CEconomicView)
public:
  explicit CEconomicView(IQorRoadDoc* document);
  ~CEconomicView() override;

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnInitialUpdate() override;

  // 0x81F4: the table built again and streamed in.
  LRESULT OnRecalculate(WPARAM wParam, LPARAM lParam);
  // 1 when a table or a message was written; 0 when the writer was open already or could not be opened.
  int BuildCostTable();
  // Command 32994: the economic parameters dialog inside an undo snapshot; Cancel goes back to it.
  void OnEconomicParameters();
  void OnHelp();

  IQorRoadDoc* m_document;
  int m_neverCalculated = 1;
  CFont m_font;
  CRTFWriter m_writer;
  int m_zoom = 100;
  int m_zoomKept = 1;
  // The context menu's marks beside copy and the parameters, kept while the window lives.
  CBitmap m_copyBitmap;
  CBitmap m_parametersBitmap;

protected:
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  void OnSize(UINT nType, int cx, int cy);
  void OnRButtonUp(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

class CEcnmContainerWnd : public CWnd {
public:
  explicit CEcnmContainerWnd(IQorRoadDoc* document);
  ~CEcnmContainerWnd() override;

  CEconomicView* GetView() const { return m_pView; }

protected:
  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  LRESULT OnRefresh(WPARAM wParam, LPARAM lParam);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  DECLARE_MESSAGE_MAP()

private:
  IQorRoadDoc* m_document;
  CEconomicView* m_pView;  // ours until its window is made; then it deletes itself with its window
  HWND m_viewWindow = nullptr;
};

}  // namespace VisualCtrl
