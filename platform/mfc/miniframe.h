// CMiniFrameWnd: a small frame window (floating bars and panes) with the small caption of a tool window. With
// MFS_SYNCACTIVE its caption shows active while its owner's does, as if both were one window.
#pragma once

#include "platform/mfc/frame.h"

// Mini-frame styles: the low word of the window style.
inline constexpr DWORD MFS_SNAPTOSIZE = 0x0001;
inline constexpr DWORD MFS_4THICKFRAME = 0x0002;
inline constexpr DWORD MFS_THICKFRAME = 0x0004;
inline constexpr DWORD MFS_MOVEFRAME = 0x0008;
inline constexpr DWORD MFS_BLOCKSYSMENU = 0x0010;
inline constexpr DWORD MFS_SYNCACTIVE = 0x0100;

class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)
public:
  CMiniFrameWnd();
  ~CMiniFrameWnd() override;

  BOOL Create(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd = nullptr,
              UINT nID = 0);
  BOOL CreateEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // Whether the caption is drawn active.
  BOOL m_bActive = FALSE;

protected:
  void ShowActive(BOOL bActive);

public:

  BOOL OnNcActivate(BOOL bActive);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
  void OnSysCommand(UINT nID, LPARAM lParam);

protected:
  DECLARE_MESSAGE_MAP()
};
