// A text static control of a dialog turned into a link: underlined, in a link colour, a hover colour under the
// cursor and a visited colour after a click, with a hand cursor and a tooltip naming the target; a click opens the
// target with the shell's "open" verb and explains a failure in a message box.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"

class CTKHyperLink : public CStatic {
  DECLARE_DYNAMIC(CTKHyperLink)
public:
  CTKHyperLink();
  ~CTKHyperLink() override;

  // Binds the dialog's static control and makes it a link.
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

  virtual void SetURL(LPCSTR lpszURL);
  virtual CString GetURL() const { return m_strURL; }
  virtual void SetColors(COLORREF crLink, COLORREF crVisited, COLORREF crHover);
  virtual COLORREF GetLinkColor() const { return m_crLink; }
  virtual COLORREF GetVisitedColor() const { return m_crVisited; }
  virtual COLORREF GetHoverColor() const { return m_crHover; }
  virtual void SetVisited(BOOL bVisited);
  virtual BOOL GetVisited() const { return m_bVisited; }
  virtual void SetLinkCursor(HCURSOR hCursor) { m_hCursor = hCursor; }
  virtual HCURSOR GetLinkCursor() const { return m_hCursor; }
  virtual void SetUnderline(BOOL bUnderline);
  virtual BOOL GetUnderline() const { return m_bUnderline; }
  // -1: the colour manager's 3D face colour.
  virtual void SetBackColor(COLORREF crBack);
  virtual COLORREF GetBackColor() const;
  // The stored target when lpszURL is null; TRUE when the shell opened it, else the failure is reported.
  virtual BOOL GotoURL(LPCSTR lpszURL, int nShowCmd, LPCSTR lpszParams = nullptr, LPCSTR lpszDir = nullptr);
  virtual BOOL IsTextControl() const;
  virtual BOOL IsMouseOverText() const;
  virtual void ReportError(int nError);

  BOOL m_bOpenOnClick = TRUE;
  BOOL m_bInitOnSubclass = TRUE;
  BOOL m_bTooltipEnabled = TRUE;
  BOOL IsHovering() const { return m_bHover; }
  CString GetTooltipText() const { return m_strTooltip; }

protected:
  virtual void Initialise();
  virtual void ApplyFont();
  virtual void MakeLinkFont(CFont& font, BOOL bUnderline);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  BOOL OnClicked();
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnTimer(UINT_PTR nIDEvent);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  BOOL OnEraseBkgnd(HDC hDC);
  int OnCreate(LPCREATESTRUCT lpCreateStruct);
  DECLARE_MESSAGE_MAP()

private:
  void Redraw();

  BOOL m_bUnderline = TRUE;
  BOOL m_bHover = FALSE;
  BOOL m_bVisited = FALSE;
  CFont m_font;
  CString m_strURL;
  CString m_strTooltip;
  HCURSOR m_hCursor = nullptr;
  COLORREF m_crLink = RGB(0, 0, 255);
  COLORREF m_crHover = RGB(255, 0, 0);
  COLORREF m_crVisited = RGB(128, 0, 128);
  COLORREF m_crBack = static_cast<COLORREF>(-1);
  CToolTipCtrl m_tooltip;
};
