// The start page: five items drawn by hand over a background picture, highlighted under the mouse. The first four
// close the page and leave their number for the main frame to run; the fifth opens the help. A check box decides
// whether the page greets the next start.
#pragma once

#include "platform/mfc/afxwin.h"

#include <functional>

namespace shell {

inline constexpr UINT IDD_START_PAGE = 753;

class CDlgStartPage : public CDialog {
public:
  CDlgStartPage();
  ~CDlgStartPage() override;

  // What the caller reads after DoModal: 1 to 4 an item chosen, 0 none.
  int m_nCurrent = 0;
  int m_nPrevious = 0;
  int m_bClosing = 0;
  CRect m_rcItems[5];

  // The fifth item; the frame gives the program's help.
  std::function<void()> m_onHelp;

  static constexpr COLORREF kHighlight = 0xFFE5C2;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnPaint();
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnMouseLeave();
  void OnLButtonUp(UINT nFlags, CPoint point);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

private:
  void SetArrow();
  void StoreShowAgain();
  int ItemAt(CPoint point) const;

  HCURSOR m_hArrow = nullptr;
  HCURSOR m_hHand = nullptr;
  CFont m_font;
  CBitmap m_background;
  CBitmap m_pictures[5][2];  // normal, highlighted
  CString m_texts[8];
};

}  // namespace shell
