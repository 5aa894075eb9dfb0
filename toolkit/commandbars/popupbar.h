// The popup menu of the bars: a top-level window that opens beside the control that opened it (or at a point),
// lays its controls out in one column, hides rarely used commands until it is expanded, scrolls when it is
// taller than the screen, can be torn off into a floating toolbar, and animates as it opens. The popup toolbar
// is the same window laid out as a toolbar grid.
#pragma once

#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/control_button.h"

class CTKToolBar;

// Timers of a popup bar.
inline constexpr UINT_PTR TK_TIMER_SCROLLDOWN = 5001;
inline constexpr UINT_PTR TK_TIMER_SCROLLUP = 5002;
inline constexpr UINT_PTR TK_TIMER_TEAROFF = 5003;
inline constexpr UINT_PTR TK_TIMER_EXPAND = 5004;
inline constexpr UINT TK_SCROLL_MS = 80;
inline constexpr UINT TK_TEAROFF_MS = 80;
inline constexpr UINT TK_EXPAND_MS = 900;
inline constexpr int TK_ID_POPUPEXPAND = 9402;

// Direction flags of a popup: it opens leftwards (its origin is its right edge); it opens downwards.
inline constexpr int TK_POPUP_LEFT = 1;
inline constexpr int TK_POPUP_DOWN = 2;

class CTKPopupBar : public CTKCommandBar {
  DECLARE_SERIAL(CTKPopupBar)
public:
  // The chevron at the bottom of a shortened menu: executing it shows every command.
  class CTKControlExpandButton : public CTKControlButton {
  public:
    CTKControlExpandButton();
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnExecute() override;
  };

  CTKPopupBar();
  ~CTKPopupBar() override;
  static CTKPopupBar* CreatePopupBar(CTKCommandBars* pCommandBars);

  BOOL Popup(CTKControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
  // Opens at a screen point, keeping clear of the rectangle when one is given.
  BOOL PopupAt(int x, int y, LPCRECT lprcExclude = nullptr);
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override;
  BOOL SetSelected(int nSelected, BOOL bKeyboard) override;
  BOOL IsVisible() const override { return GetSafeHwnd() && (GetStyle() & WS_VISIBLE); }
  CTKCommandBar* GetParentBar() const override;
  void OnRecalcLayout() override { DelayLayout(); }
  void DelayLayout() override;
  void DelayRedraw() override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;
  void Copy(CTKCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;

  void ExpandFullMenu();
  // The first visible control marked as default item: its index (or its id); -1 when none.
  int GetDefaultItem(BOOL bByPosition = TRUE) const;
  BOOL HasHiddenCommands() const { return m_bCollapsed; }
  BOOL IsExpanded() const { return m_bExpanded; }
  BOOL IsScrolling() const { return m_bScrolling; }
  int GetFirstShown() const { return m_nScrollFirst; }
  int GetEndShown() const { return m_nScrollEnd; }
  const CRect& GetScrollUpRect() const { return m_rcScrollUp; }
  const CRect& GetScrollDownRect() const { return m_rcScrollDown; }
  const CRect& GetGripperRect() const { return m_rcTearOffGripper; }
  int GetDirectionFlags() const { return m_popupFlags; }
  void SetDirectionFlags(int nFlags) { m_popupFlags = nFlags; }
  CTKControlPopup* GetControlPopup() const { return m_pControlPopup; }
  void SetTearOffPopup(const CString& strCaption, UINT nID, int nWidth = 400);
  BOOL IsTearOffPopup() const { return m_bTearOffPopup; }
  void SetShowShadow(BOOL bShow) { m_bShowShadow = bShow; }
  BOOL GetShowShadow() const { return m_bShowShadow; }
  void SetBorders(CRect rcBorders) { m_rcBorders = rcBorders; }
  void DoPropExchange(CTKPropExchange* pPX) override;
  void SetDoubleGripper(BOOL bDouble) { m_bDoubleGripper = bDouble; }
  BOOL IsDoubleGripper() const { return m_bDoubleGripper; }
  CTKToolBar* GetTornOffBar() const { return m_pTearOffBar; }
  BOOL IsTearing() const { return m_bTearOffTracking; }

  virtual void UpdateShortcuts();
  virtual void UpdateExpandingDirection();

  // The popup's rectangle for a size, from its origin, exclusion rectangle and direction (which it may change).
  CRect CalcPopupRect(CSize size);
  void LayoutScrolled(CSize* pSize, BOOL bBackwards, BOOL bRedraw);

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL CreatePopupWindow();
  void DestroyPopupWindow();
  void UpdateHiddenCommands();
  CSize CalcMenuLayout(CDC* pDC);
  CSize CalcToolBarLayout(CDC* pDC);
  void PlaceWindow(BOOL bShow);
  int GetAnimationType() const;
  void AnimateOpening(int nType);
  void OnMouseMovePopup(CPoint point);
  void OnTimerPopup(UINT_PTR nIDEvent);
  void TrackTearOff();
  // The floating toolbar a tear-off shows; null when none could be made.
  // Shows (or moves) the floating toolbar of a tear-off under the cursor; FALSE when none could be made.
  virtual BOOL ShowTornOffBar(CPoint ptScreen);
  virtual void HideTornOffBar();
  void ScrollIntoView(int nIndex);

  CTKControlPopup* m_pControlPopup = nullptr;
  CPoint m_ptPopup = CPoint(0, 0);
  CRect m_rcExclude;
  int m_popupFlags = 0;
  BOOL m_bDynamicLayout = FALSE;
  BOOL m_bCollapsed = FALSE;
  BOOL m_bExpanded = FALSE;
  BOOL m_bExpanding = FALSE;
  BOOL m_bTearOffPopup = FALSE;
  CRect m_rcTearOffGripper;
  BOOL m_bTearOffSelected = FALSE;
  UINT_PTR m_nTearOffTimer = 0;
  BOOL m_bTearOffTracking = FALSE;
  CTKToolBar* m_pTearOffBar = nullptr;
  CSize m_szTearOffBar = CSize(0, 0);
  CString m_strTearOffCaption;
  UINT m_nTearOffID = 0;
  int m_nTearOffWidth = 0;
  BOOL m_bShowShadow = TRUE;
  CRect m_rcBorders = CRect(2, 4, 2, 4);
  BOOL m_bDoubleGripper = FALSE;
  BOOL m_bScrolling = FALSE;
  int m_nScrollFirst = 0;
  int m_nScrollEnd = 0;
  CRect m_rcScrollDown;
  UINT_PTR m_nScrollDownTimer = 0;
  CRect m_rcScrollUp;
  UINT_PTR m_nScrollUpTimer = 0;
  UINT_PTR m_nExpandTimer = 0;
  // What the last layout used: borders (gripper and chevron included), separator and chevron heights.
  CRect m_rcLayoutBorders;
  int m_nSeparatorHeight = 0;
  int m_nExpandHeight = 0;
};

// The same window laid out as a toolbar grid.
class CTKPopupToolBar : public CTKPopupBar {
  DECLARE_SERIAL(CTKPopupToolBar)
public:
  CTKPopupToolBar();
  static CTKPopupToolBar* CreatePopupToolBar(CTKCommandBars* pCommandBars);
};
