// CView: the window that shows a document. It is a child of its frame, is listed by its document, and routes
// commands to the document after its own map.
#pragma once

#include "platform/mfc/wnd.h"

class CDocument;

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

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

protected:
  CView();
  // The document changed; the default repaints the whole view.
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  void PostNcDestroy() override;

  CDocument* m_pDocument = nullptr;

  friend class CDocument;

  DECLARE_MESSAGE_MAP()
};
