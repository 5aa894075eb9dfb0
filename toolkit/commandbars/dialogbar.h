// A resizable toolbar that hosts one child window (a dialog or any control) below a caption strip with a title,
// which may open a popup of its own, and a hide button. Its docked and floating sizes are its own and change
// when its edges are dragged. It is not customisable.
#pragma once

#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/toolbar.h"

inline constexpr int TK_ID_DIALOGBAR_TITLE = 9399;

class CTKDialogBar : public CTKToolBar {
  DECLARE_DYNCREATE(CTKDialogBar)
public:
  class CTKControlCaptionPopup : public CTKControlPopup {
  public:
    CTKControlCaptionPopup();
    BOOL HasPopup() const;
    void Draw(CDC* pDC) override;
    BOOL SetPopuped(BOOL bPopup) override;
  };
  // The toolbar's hide button, kept out of keyboard navigation and placed by hand.
  class CTKControlButtonHide : public CTKToolBar::CTKControlButtonHide {
  public:
    CTKControlButtonHide();
  };
  // Opens under the title, right-aligned with it.
  class CTKCaptionPopupBar : public CTKPopupBar {
  public:
    void UpdateExpandingDirection() override;
  };

  CTKDialogBar();
  ~CTKDialogBar() override;

  // The borders with the caption strip added to the top.
  CRect GetBorders() const;
  // The outer size for an inner size, laid out with the caption and its controls.
  CSize CalcSize(int nLength, DWORD dwMode, CSize szInner);
  // While an edge is dragged: sizes below the minimum are refused.
  void Resize(CRect rcNew, UINT nHitTest);

  void SetChild(CWnd* pChild) { m_hwndChild = pChild ? pChild->GetSafeHwnd() : nullptr; }
  HWND GetChild() const { return m_hwndChild; }
  void SetCaption(const CString& strCaption) { m_strCaption = strCaption; }
  void SetSize(CSize sz) { m_szDockingClient = m_szFloatingClient = sz; }
  void SetResizable(BOOL bResizable) { m_bResizable = bResizable; }
  void SetMinimumSize(CSize sz) { m_szMin = sz; }
  void ShowCaption(BOOL bShow) { m_bCaptionVisible = bShow; }
  void EnableCaptionPopup(BOOL bEnable) { m_bCaptionPopup = bEnable; }
  CTKCommandBar* GetCaptionPopup() const { return m_pPopupBar; }
  CTKControl* GetTitleControl() const { return m_pTitle; }
  CTKControl* GetHideButton() const { return m_pHide; }
  CSize GetDockingClientSize() const { return m_szDockingClient; }
  CSize GetFloatingClientSize() const { return m_szFloatingClient; }
  // Sizes a stored layout gives back; a side that is not positive keeps the bar's own.
  void SetClientSizes(CSize szDocking, CSize szFloating);
  int GetCaptionBottom() const { return m_nCaptionBottom; }
  // The caption strip's height in the current theme.
  int GetCaptionHeight();

  BOOL IsDialogBar() const override { return TRUE; }
  CSize CalcLayout(int nLength, DWORD dwMode, int nWidth = 0) override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  BOOL PointInBar(POINT ptScreen) override;
  CTKCommandBar* Clone(BOOL bRecursive = FALSE) override;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  UINT HitTestEdges(CPoint point);
  void PlaceChild();

  CRect m_rcBorders{3, 3, 3, 3};
  BOOL m_bResizable = TRUE;
  CSize m_szMin{50, 50};
  BOOL m_bCaptionVisible = TRUE;
  BOOL m_bCaptionPopup = TRUE;
  int m_nCaptionBottom = 0;
  CSize m_szDockingClient{200, 200};
  CSize m_szFloatingClient{200, 200};
  HWND m_hwndChild = nullptr;
  CString m_strCaption;
  CTKCaptionPopupBar* m_pPopupBar = nullptr;
  // Temporary controls the bar's collection owns.
  CTKControlCaptionPopup* m_pTitle = nullptr;
  CTKControlButtonHide* m_pHide = nullptr;
};
