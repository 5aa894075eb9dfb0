// CStatusBar: the strip along the bottom of the frame, a control bar over the window system's status-bar control
// ("msctls_statusbar32"). Its panes are the indicators given to SetIndicators: a pane of id ID_SEPARATOR is the
// message pane (the first one stretches over the free width and has no border), any other id shows the first
// line of its string resource and is as wide as that text. The frame writes prompts and the idle message into
// the pane of id 0 through the bar's window text (WM_SETTEXT).
#pragma once

#include "platform/mfc/ctrlbar.h"

#include <vector>

// Pane styles: how the control draws the pane, and two of the bar's own.
inline constexpr UINT SBPS_NORMAL = 0x0000;
inline constexpr UINT SBPS_NOBORDERS = 0x0100;
inline constexpr UINT SBPS_POPOUT = 0x0200;
inline constexpr UINT SBPS_OWNERDRAW = 0x1000;
inline constexpr UINT SBPS_DISABLED = 0x04000000;  // shown without its text
inline constexpr UINT SBPS_STRETCH = 0x08000000;   // takes the width the others leave

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
public:
  CStatusBar();
  ~CStatusBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
  // dwCtrlStyle: status-bar control styles (SBARS_SIZEGRIP is added when the parent can be resized).
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);

  // FALSE when a pane's string is missing; the panes made up to it stay.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  CString GetPaneText(int nIndex) const;
  void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
  // FALSE for a bad index. Without bUpdate the text waits for the next paint or layout.
  BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
  // Hands the pane widths (and, with bUpdateText, waiting texts) to the control.
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

  void OnPaint();
  BOOL OnEraseBkgnd(HDC hDC);
  void OnSize(UINT nType, int cx, int cy);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);

protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  struct Pane {
    UINT nID = ID_SEPARATOR;
    UINT nStyle = SBPS_NORMAL;
    int cxText = 0;
    CString strText;
    bool pending = false;  // the text has not reached the control yet
  };
  int TextWidth(const CString& text) const;
  std::vector<Pane> m_panes;
  HFONT m_hFont = nullptr;

  DECLARE_MESSAGE_MAP()
};
