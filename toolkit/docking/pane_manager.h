// The docking pane manager of a frame: owns the layout and the paint manager, creates, finds, shows and closes
// panes, takes the frame's space for them in the frame's layout and reports each step to the frame through
// message 10925. The operations that reshape the tree live in operations.cpp.
#pragma once

#include "toolkit/docking/layout.h"

#include <cstdint>

class CTKImageManager;
class CTKImageManagerIcon;
class CTKToolTipContext;
class CTKDockingPaneContext;

// Sent to the site; wParam one of the codes below.
inline constexpr UINT TK_WM_DOCKINGPANENOTIFY = 10925;
inline constexpr WPARAM TK_DPN_SHOWWINDOW = 1;
inline constexpr WPARAM TK_DPN_RCLICK = 2;
inline constexpr WPARAM TK_DPN_CLOSEPANE = 3;
inline constexpr WPARAM TK_DPN_ACTION = 4;
inline constexpr WPARAM TK_DPN_CONTEXTMENU = 5;

// Actions of code 4.
enum TKDockingPaneAction {
  tkActionFloating = 0,
  tkActionFloated = 1,
  tkActionClosing = 2,
  tkActionClosed = 3,
  tkActionDocking = 4,
  tkActionDocked = 5,
  tkActionAttaching = 6,
  tkActionAttached = 7,
  tkActionPinning = 8,
  tkActionPinned = 9,
  tkActionCollapsing = 10,
  tkActionCollapsed = 11,
  tkActionExpanding = 12,
  tkActionExpanded = 13,
  tkActionActivated = 14,
  tkActionDeactivated = 15,
  tkActionDetaching = 16,
};

// Directions of docking.
inline constexpr int TK_DOCK_LEFT = 0;
inline constexpr int TK_DOCK_RIGHT = 1;
inline constexpr int TK_DOCK_TOP = 2;
inline constexpr int TK_DOCK_BOTTOM = 3;

struct TK_DOCKINGPANE_ACTION {
  int32_t action;
  int32_t cancel;
  CTKDockingPane* pPane;
  void* pArgument;
  INT_PTR nArgument;
};

// Code 5: the menu button's rectangle (x its left, y its bottom edge), or an empty rectangle and the cursor for a
// right click on a floating caption; screen coordinates.
struct TK_DOCKINGPANE_MENU {
  CTKDockingPane* pPane;
  POINT pt;
  RECT rc;
};

class CTKDockingPaneManager : public CWnd {
public:
  CTKDockingPaneManager();
  ~CTKDockingPaneManager() override;

  BOOL InstallDockingPanes(CWnd* pSite);
  void SetTheme(int nTheme);
  CTKDockingPanePaintManager* GetPaintManager() const { return m_pPaintManager; }
  int GetRTLDirection(int nDirection) const;
  // Pane icons: icon i of the 16-pixel strip in the bitmap resource goes to ids[i] (ids above 0). FALSE, and
  // nothing stored, unless the strip holds exactly nCount images.
  BOOL SetIcons(UINT nIDBitmap, const int* pIds, int nCount, COLORREF clrMask);
  CTKImageManagerIcon* GetIcon(UINT nID, int nWidth);
  CTKImageManager* GetImageManager() const { return m_pImageManager; }
  CTKToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }

  virtual CTKDockingPaneLayout* CreateLayout();
  virtual CTKDockingPaneBase* OnCreatePane(int nType, CTKDockingPaneLayout* pLayout);
  virtual void OnActivatePane(BOOL bActivate, CTKDockingPane* pPane);

  CTKDockingPane* CreatePane(int nID, CRect rc, int nDirection, CTKDockingPaneBase* pNeighbour = nullptr);
  CTKDockingPane* FindPane(int nID) const;
  // A copy of the manager's layout into pLayout.
  void GetLayout(CTKDockingPaneLayout* pLayout) const;
  // Nothing unless pLayout is complete; else the pane windows are let go and the manager's layout becomes a copy.
  void SetLayout(const CTKDockingPaneLayout* pLayout);
  BOOL IsPaneClosed(const CTKDockingPane* pPane) const;
  BOOL IsPaneHidden(const CTKDockingPane* pPane) const;
  void ShowPane(CTKDockingPane* pPane, BOOL bSetFocus = TRUE);
  void ClosePane(CTKDockingPane* pPane);
  int GetPaneDirection(const CTKDockingPaneBase* pNode) const;
  CTKDockingPane* GetActivePane() const { return m_pActivePane; }
  CTKDockingPaneLayout* GetCurrentLayout() const { return m_pLayout; }
  CWnd* GetSite() const { return m_pSite; }
  CTKDockingPaneBase* GetClientPane() const;
  CTKDockingPaneBase* GetTopPane() const;

  // Reshaping the tree.
  void DockNode(CTKDockingPaneBase* pNode, int nDirection, CTKDockingPaneBase* pNeighbour);
  void DockDraggedNode(CTKDockingPaneBase* pNode, int nDirection, CTKDockingPaneBase* pNeighbour);
  void MoveNodeToContainer(CTKDockingPaneBase* pNode, CTKDockingPaneBase* pTarget);
  void FloatNodeAt(CTKDockingPaneBase* pNode, CRect rc);
  // TRUE when the pane moved (miniframe.cpp).
  BOOL FloatOrDockPane(CTKDockingPane* pPane, CTKDockingPaneTabbedContainer* pHolder);
  void ToggleDocking(CTKDockingPaneBase* pNode);
  void AutoHideNode(CTKDockingPaneBase* pNode);
  CTKDockingPaneContext* GetDockingContext() const { return m_pDockingContext; }
  // A new group in the site holding the pane.
  CTKDockingPaneTabbedContainer* WrapPane(CTKDockingPane* pPane, CWnd* pSite);
  void RecordPaneHolders();
  CTKDockingPaneTabbedContainer* GetPaneHolder(CTKDockingPane* pPane, BOOL bFloating);
  CRect GetDockingRect(CRect& rcResult, CTKDockingPaneBase* pNode, int nDirection,
                       CTKDockingPaneBase* pNeighbour);

  int32_t NotifyAction(int nAction, CTKDockingPane* pPane, void* pArgument = nullptr, INT_PTR nArgument = 0);
  void RecalcFramesLayout();
  void UpdatePanesFocus();

  int m_nSplitterGap = 22;
  BOOL m_bCloseGroupOnButtonClick = FALSE;
  BOOL m_bHideGroupOnButtonClick = TRUE;
  CWnd* m_pSite = nullptr;
  CTKDockingPaneLayout* m_pLayout = nullptr;
  CTKDockingPanePaintManager* m_pPaintManager = nullptr;
  CTKDockingPane* m_pActivePane = nullptr;
  CTKImageManager* m_pImageManager = nullptr;
  BOOL m_bHideClient = FALSE;
  BOOL m_bUseSplitterTracker = TRUE;
  BOOL m_bShowMaximizeButton = FALSE;
  BOOL m_bLockSplitters = FALSE;
  BOOL m_bAlphaDockingContext = FALSE;
  BOOL m_bShowDockingContextStickers = FALSE;
  BOOL m_bThemedFloatingFrames = FALSE;
  BOOL m_bSyncActiveFloatingFrames = TRUE;
  int m_nDefaultPaneOptions = 0;
  int m_nCaptionDirection = 0;
  CString m_strFloatingFrameCaption;
  BOOL m_bStickerStyle = FALSE;
  CTKToolTipContext* m_pToolTipContext = nullptr;
  BOOL m_bAttachingPane = FALSE;
  BOOL m_bLayoutCreated = FALSE;
  BOOL m_bDockingIntoHolder = FALSE;  // while FloatOrDockPane moves a pane into its holder

protected:
  LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  LRESULT OnSysColorChangeMessage(WPARAM wParam, LPARAM lParam);
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  CTKDockingPaneContext* m_pDockingContext = nullptr;
};
