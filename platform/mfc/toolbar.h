// CToolBar: a row of flat buttons drawn from one image strip. A click on an enabled button sends WM_COMMAND
// (the button's id, BN_CLICKED, the bar's window) to the bar's owner, the frame; at idle time the frame's
// update handlers enable, disable and check the buttons. With CBRS_FLYBY the status line shows the prompt of
// the button under the mouse, and with CBRS_TOOLTIPS a tip shows the second line of the button's string.
//
// LoadToolBar reads a TOOLBAR resource (WORD version 1, WORD button width, WORD button height, WORD count,
// then count WORD command ids, 0 for a separator) and the BITMAP of the same id: one image per button, side by
// side, drawn on the mask colour RGB(192, 192, 192).
#pragma once

#include "platform/mfc/ctrlbar.h"

#include <vector>

// Toolbar control styles (the window's low word).
inline constexpr DWORD TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr DWORD TBSTYLE_WRAPABLE = 0x0200;
inline constexpr DWORD TBSTYLE_ALTDRAG = 0x0400;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;
inline constexpr DWORD TBSTYLE_LIST = 0x1000;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

// Button styles: the kind in the low word, the state in the high word.
inline constexpr UINT TBBS_BUTTON = 0x0000;
inline constexpr UINT TBBS_SEPARATOR = 0x0001;
inline constexpr UINT TBBS_CHECKBOX = 0x0002;
inline constexpr UINT TBBS_GROUP = 0x0004;
inline constexpr UINT TBBS_CHECKGROUP = TBBS_GROUP | TBBS_CHECKBOX;
inline constexpr UINT TBBS_DROPDOWN = 0x0008;
inline constexpr UINT TBBS_AUTOSIZE = 0x0010;
inline constexpr UINT TBBS_NOPREFIX = 0x0020;
inline constexpr UINT TBBS_CHECKED = 0x00010000;
inline constexpr UINT TBBS_PRESSED = 0x00020000;
inline constexpr UINT TBBS_DISABLED = 0x00040000;
inline constexpr UINT TBBS_HIDDEN = 0x00080000;
inline constexpr UINT TBBS_INDETERMINATE = 0x00100000;
inline constexpr UINT TBBS_WRAPPED = 0x00200000;
inline constexpr UINT TBBS_ELLIPSES = 0x00400000;
inline constexpr UINT TBBS_MARKED = 0x00800000;

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
public:
  CToolBar();
  ~CToolBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  // dwCtrlStyle: TBSTYLE_ bits for the window; rcBorders: the bar's borders (SetBorders).
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                UINT nID = AFX_IDW_TOOLBAR);

  // Button size (image plus 7 pixels each way by default) and image size.
  void SetSizes(SIZE sizeButton, SIZE sizeImage);
  CSize GetButtonSize() const { return m_sizeButton; }
  CSize GetImageSize() const { return m_sizeImage; }
  // The buttons and their bitmap from TOOLBAR and BITMAP resources of the resource handle. FALSE (the bar as it
  // was) when either is missing or the toolbar resource is malformed.
  BOOL LoadToolBar(LPCSTR lpszResourceName);
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(static_cast<WORD>(nIDResource))); }
  BOOL LoadBitmap(LPCSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(static_cast<WORD>(nIDResource))); }
  // The image strip; the bar owns it from now on.
  BOOL SetBitmap(HBITMAP hbmImageWell);
  // One button per id, ID_SEPARATOR for a separator; images are numbered along the buttons. A null array makes
  // nIDCount separators to be filled in with SetButtonInfo.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  // The button's rectangle in the bar's client area; empty for a bad index or a hidden button.
  virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  // iImage is the image index of a button and the width in pixels of a separator.
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
  // The button under a client point, or -1.
  int HitTest(CPoint point) const;
  // The tooltip control of a bar with CBRS_TOOLTIPS (one tool per button with a tip, its id the button's index).
  HWND GetToolTipWindow() const { return m_hWndToolTip; }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  void DoPaint(CDC* pDC) override;

  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnMouseLeave();
  void OnCaptureChanged(CWnd* pWnd);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();

protected:
  // The tips follow the buttons: made anew whenever buttons come, go or move.
  void UpdateToolTips();
  void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
  HWND m_hWndToolTip = nullptr;
  int m_nTools = 0;

  struct Button {
    UINT nID = 0;
    UINT nStyle = TBBS_SEPARATOR;
    int iImage = 0;
  };
  void InvalidateButton(int nIndex);
  void DrawButton(HDC hDC, int nIndex, const RECT& rect) const;
  void DrawImage(HDC hDC, int iImage, int x, int y, bool disabled) const;
  // The status line shows this button's prompt (-1: the idle message again).
  void ShowPrompt(int nIndex);

  std::vector<Button> m_buttons;
  CSize m_sizeButton{23, 22};
  CSize m_sizeImage{16, 15};
  HBITMAP m_hbmImageWell = nullptr;
  int m_iHot = -1;      // under the mouse
  int m_iTracking = -1; // held down by the mouse
  bool m_bLeaveTracked = false;

  DECLARE_MESSAGE_MAP()
};
