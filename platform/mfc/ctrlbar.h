// CControlBar: a strip along one edge of a frame (toolbar, status bar, dialog bar) that takes its slice of the
// frame's client area when the frame lays itself out, and brings its items up to date at idle time.
//
// Layout: CFrameWnd::RecalcLayout calls RepositionBars, which sends WM_SIZEPARENT to every child in the bar id
// range, in z-order, with one AFX_SIZEPARENTPARAMS. Each visible bar cuts its height (or width) off the edge of
// the remaining rectangle named by its CBRS_ALIGN_ style and moves itself there in the deferred-position batch;
// the view (the left-over child) gets what remains.
#pragma once

#include "platform/mfc/frame.h"
#include "platform/mfc/wnd.h"

class CDC;
class CDockBar;
class CDockContext;

// Bar styles: the low word and CBRS_GRIPPER live in the bar (m_dwStyle), never in the window's style.
inline constexpr DWORD CBRS_NOALIGN = 0x00000000;
inline constexpr DWORD CBRS_FLOATING = 0x00000001;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x00000002;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x00000004;
inline constexpr DWORD CBRS_HIDE_INPLACE = 0x00000008;
inline constexpr DWORD CBRS_TOOLTIPS = 0x00000010;
inline constexpr DWORD CBRS_FLYBY = 0x00000020;
inline constexpr DWORD CBRS_FLOAT_MULTI = 0x00000040;
inline constexpr DWORD CBRS_BORDER_3D = 0x00000080;
inline constexpr DWORD CBRS_BORDER_LEFT = 0x00000100;
inline constexpr DWORD CBRS_BORDER_TOP = 0x00000200;
inline constexpr DWORD CBRS_BORDER_RIGHT = 0x00000400;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x00000800;
inline constexpr DWORD CBRS_BORDER_ANY = 0x00000F00;
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x00001000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x00002000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x00004000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x00008000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0x0000F000;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD CBRS_ALL = 0x0040FFFF;
inline constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
inline constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
inline constexpr DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
inline constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// CalcDynamicLayout modes.
inline constexpr DWORD LM_STRETCH = 0x01;   // as long as the frame allows
inline constexpr DWORD LM_HORZ = 0x02;      // laid out horizontally
inline constexpr DWORD LM_MRUWIDTH = 0x04;  // the most recently used width
inline constexpr DWORD LM_HORZDOCK = 0x08;  // docked along a horizontal edge
inline constexpr DWORD LM_VERTDOCK = 0x10;  // docked along a vertical edge
inline constexpr DWORD LM_LENGTHY = 0x20;   // nLength is the height, not the width
inline constexpr DWORD LM_COMMIT = 0x40;    // remember the answer as the bar's size

// What WM_SIZEPARENT carries: the batch the bars move in (null: only asking), the rectangle still free, the
// size the bars took so far, and whether bars may stretch along their edge.
struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP = nullptr;
  RECT rect{};
  SIZE sizeTotal{};
  BOOL bStretch = TRUE;
};

// Moves hWnd to lpRect (its parent's client coordinates) in the layout's batch; nothing without a batch or when
// the window already stands there.
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
public:
  CControlBar();
  ~CControlBar() override;

  // Items (buttons, panes).
  int GetCount() const { return m_nCount; }

  // Space kept free inside the bar around its items.
  void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
  void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

  DWORD GetBarStyle() const { return m_dwStyle; }
  // Changes the bar style (CBRS_ bits only); OnBarStyleChange hears of it.
  void SetBarStyle(DWORD dwStyle);
  // The sides (CBRS_ALIGN_ bits) the bar may be docked on; kept for the frame's docking and bar state.
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }
  DWORD GetDockStyle() const { return m_dwDockStyle; }
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
  // Shown, counting a show or hide still waiting for the next layout.
  BOOL IsVisible() const;
  virtual BOOL IsDockBar() const { return FALSE; }
  // The frame whose layout this bar takes part in.
  CFrameWnd* GetDockingFrame() const;
  // Shows or hides the bar at the next layout (or idle update).
  void DelayShow(BOOL bShow);

  // The window that hears the bar's commands and whose routing updates its items: the parent unless set.
  void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd != nullptr ? pOwnerWnd->m_hWnd : nullptr; }
  CWnd* GetOwner() const;

  // The bar's size: along its edge as long as the frame (bStretch) or as its items need.
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  // The bar's size for a length along its edge (-1: its own); nMode takes the LM_ flags.
  virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
  // Brings the bar's items up to date through pTarget's command routing.
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
  // The part of a bar rectangle left to its items once borders and gripper are taken off.
  virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
  virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
  // Paints the bar's background, borders and gripper; bars paint their items after it.
  virtual void DoPaint(CDC* pDC);
  void DrawBorders(CDC* pDC, CRect& rect);
  void DrawGripper(CDC* pDC, const CRect& rect);

  // Deleted with its window (bars made with new and never deleted otherwise).
  BOOL m_bAutoDelete = FALSE;
  int m_cxLeftBorder = 6;
  int m_cxRightBorder = 6;
  int m_cyTopBorder = 2;
  int m_cyBottomBorder = 2;
  int m_cxDefaultGap = 2;
  UINT m_nMRUWidth = 32767;
  DWORD m_dwStyle = 0;
  DWORD m_dwDockStyle = 0;
  CFrameWnd* m_pDockSite = nullptr;
  CDockBar* m_pDockBar = nullptr;
  CDockContext* m_pDockContext = nullptr;
  int m_nCount = 0;
  enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };
  UINT m_nStateFlags = 0;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  BOOL OnEraseBkgnd(HDC hDC);
  LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;
  // Notifications of the bar's own children go on to the owner when the bar does not handle them.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Carries out a waiting show or hide when the layout moves windows; answers the window style as it will be.
  DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);

  HWND m_hWndOwner = nullptr;

  DECLARE_MESSAGE_MAP()
};

// A bar that holds other bars. The frame docks bars by their alignment alone and makes none of these; the
// class is here for code that asks a bar for its dock bar.
class CDockBar : public CControlBar {
  DECLARE_DYNAMIC(CDockBar)
public:
  BOOL IsDockBar() const override { return TRUE; }
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};
