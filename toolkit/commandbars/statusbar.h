// The strip along the bottom of the frame: a message pane and indicator panes over the system's status-bar
// control. Each pane keeps its own text, width, style, colours, font, icon, alignment, tooltip and an optional
// child window; the bar tells the control where the panes end and paints everything through the paint manager.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/ctrlbar.h"
#include "platform/mfc/statusbar.h"

#include <vector>

class CTKCommandBars;
class CTKImageManager;
class CTKImageManagerIcon;
class CTKPaintManager;
class CTKStatusBar;
class CTKToolTipContext;

// The text changed but has not reached the control yet.
inline constexpr DWORD TK_PANE_UPDATE_PENDING = 0x1;

class CTKStatusBarPane : public CCmdTarget {
  DECLARE_DYNAMIC(CTKStatusBarPane)
public:
  CTKStatusBarPane();
  ~CTKStatusBarPane() override;
  CTKStatusBarPane(const CTKStatusBarPane&) = delete;
  CTKStatusBarPane& operator=(const CTKStatusBarPane&) = delete;

  // The text's extent in the pane's font, + 2 when there is text, + the icon's width.
  void UpdateWidth();
  UINT GetID() const { return m_nID; }
  const CString& GetText() const { return m_strText; }
  const CString& GetTooltip() const { return m_strToolTip; }
  void SetTooltip(const CString& str) { m_strToolTip = str; }
  int GetTextAlignment() const { return m_nTextAlignment; }
  void SetTextAlignment(int nAlign) { m_nTextAlignment = nAlign; }
  BOOL IsVisible() const { return m_bVisible; }
  // A hidden pane leaves the parts of the control; the bar lays out again.
  void SetVisible(BOOL bVisible);
  int GetWidth() const { return m_cxText; }
  UINT GetStyle() const { return m_nStyle; }
  COLORREF GetTextColor() const { return m_clrText; }
  void SetTextColor(COLORREF clr) { m_clrText = clr; }
  COLORREF GetBackgroundColor() const { return m_clrBackground; }
  void SetBackgroundColor(COLORREF clr) { m_clrBackground = clr; }
  int GetIconId() const { return m_nIconId; }
  void SetIconId(int nId) { m_nIconId = nId; }
  // A control placed over the pane; with bAutoDelete the pane deletes its window object when it goes.
  void SetChild(CWnd* pWnd, BOOL bAutoDelete = FALSE);
  HWND GetChild() const { return m_hWndPane; }
  CFont* GetOwnFont() { return &m_fntText; }
  int GetIndex() const { return m_nIndex; }
  int GetVisibleIndex() const { return m_nVisibleIndex; }
  CTKStatusBar* GetStatusBar() const { return m_pStatusBar; }

  virtual CFont* GetTextFont();
  virtual CTKImageManagerIcon* GetImage();
  virtual void Draw(CDC* pDC, CRect rcItem);

protected:
  friend class CTKStatusBar;

  UINT m_nID = 0;
  int m_cxText = 0;
  UINT m_nStyle = 0;
  DWORD m_dwUpdatePending = 0;
  CString m_strText;
  BOOL m_bVisible = TRUE;
  COLORREF m_clrText = static_cast<COLORREF>(-1);
  COLORREF m_clrBackground = static_cast<COLORREF>(-1);
  CString m_strToolTip;
  HWND m_hWndPane = nullptr;
  CWnd* m_pOwnedWnd = nullptr;
  int m_nTextAlignment = DT_LEFT;
  CTKStatusBar* m_pStatusBar = nullptr;
  int m_nIndex = -1;
  int m_nVisibleIndex = -1;
  CFont m_fntText;
  int m_nIconId = -1;
};

class CTKStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CTKStatusBar)
public:
  // The update of one pane through the command routing.
  class CStatusCmdUI : public CCmdUI {
  public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCSTR lpszText) override;
    CTKStatusBar* m_pStatusBar = nullptr;
  };

  CTKStatusBar();
  ~CTKStatusBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);

  // One pane per id; id 0 is the message pane. FALSE when an id's string is missing (the panes so far stay).
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
  // FALSE for a bad index and for a hidden pane (whose text is stored all the same).
  BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
  CString GetPaneText(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  UINT GetPaneStyle(int nIndex) const;
  CTKStatusBarPane* GetPane(int nIndex) const;
  int GetPaneCount() const { return static_cast<int>(m_arrPanes.size()); }
  int CommandToIndex(UINT nIDFind) const;
  int GetVisiblePaneCount() const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  // The visible pane whose rectangle holds the point (and that rectangle), else null.
  CTKStatusBarPane* HitTest(CPoint pt, CRect* pRect = nullptr) const;
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
  void RemoveAll();

  CTKPaintManager* GetPaintManager() const;
  CTKImageManager* GetImageManager() const;
  void SetCommandBars(CTKCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  void EnableCommandBarsTheme(BOOL bThemed) { m_bCommandBarsTheme = bThemed; }
  BOOL IsShowDisabledText() const { return m_bShowDisabledText; }
  void SetShowDisabledText(BOOL bShow) { m_bShowDisabledText = bShow; }
  CFont* GetFont() { return &m_fontStatus; }
  int GetMinHeight() const { return m_nMinHeight; }
  CTKToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }

  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  void CalcInsideRect(CRect& rect, BOOL bHorz) const override;
  void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
  // The whole bar through the paint manager: fill, pane borders and contents, size grip.
  void DoPaint(CDC* pDC) override;
  virtual void DrawPaneEntry(CDC* pDC, int nIndex, CRect rcItem);
  virtual void DrawSizeGripper(CDC* pDC, CRect rcGripper);

protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnPaintBar();
  // The grip shows only with the control's size grip, a resizable parent that is not maximised.
  BOOL IsSizeGripShown(BOOL bForDrawing) const;
  LRESULT OnGetText(WPARAM wParam, LPARAM lParam) const;

  std::vector<CTKStatusBarPane*> m_arrPanes;
  int m_nMinHeight = 0;
  CFont m_fontStatus;
  BOOL m_bShowDisabledText = TRUE;
  CTKCommandBars* m_pCommandBars = nullptr;
  BOOL m_bCommandBarsTheme = TRUE;
  CTKToolTipContext* m_pToolTipContext = nullptr;
};
