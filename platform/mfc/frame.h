// CFrameWnd: the main window that holds the view. It routes commands to the active view first (and through
// it to the document and its template), then handles them itself, then hands them to the application. Closing
// it asks the document whether it may close (the save prompt).
#pragma once

#include "platform/mfc-core/list.h"
#include "platform/mfc/menu.h"
#include "platform/mfc/wnd.h"

#include <vector>

class CView;
class CDocument;
class CDocTemplate;
class CControlBar;

// Frame styles (the window-class part of the style word).
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD FWS_PREFIXTITLE = 0x00004000;
inline constexpr DWORD FWS_SNAPTOBARS = 0x00002000;

// What a template hands to a new frame so that it can make its view.
struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
public:
  CFrameWnd();
  ~CFrameWnd() override;

  static const CRect rectDefault;

  // Every frame object alive, oldest first (floating frames of bars among them); the idle update walks them.
  static std::vector<CFrameWnd*> LiveFrames();

  BOOL IsFrameWnd() const override { return TRUE; }

  // Loads the title (the first piece of string nIDResource) and creates the frame with its view.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
              DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // Keys of the frame's accelerator table become commands before any window sees them.
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL LoadAccelTable(LPCSTR lpszResourceName);
  HACCEL m_hAccelTable = nullptr;

  // The view and its document.
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  // Makes the first pane the active view when none is, sends WM_INITIALUPDATE to the views and shows the frame.
  void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  virtual void ActivateFrame(int nCmdShow = -1);

  // The caption: "document - application" while FWS_ADDTOTITLE is set.
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  void UpdateFrameTitleForDocument(LPCSTR lpszDocName);
  CString GetTitle() const { return m_strTitle; }
  void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }
  // Lays out the control bars along the edges (RepositionBars) and gives the view what remains.
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  // Space kept free along the client area's edges (left, top, right, bottom widths) before bars are laid out.
  CRect m_rectBorder;

  // Control bars: every bar made as a child of this frame, in the order they were made.
  CPtrList m_listControlBars;
  void AddControlBar(CControlBar* pBar);
  void RemoveControlBar(CControlBar* pBar);
  // The bar with that window id, or null.
  CControlBar* GetControlBar(UINT nID);
  // Shows or hides a bar and lays the frame out again, now or at idle time (bDelay); a hidden bar's space goes
  // back to the view.
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  // The sides (CBRS_ALIGN_ bits) bars may be docked on.
  void EnableDocking(DWORD dwDockStyle);
  DWORD m_dwDockStyle = 0;
  // Moves a bar to the side named by a dock-bar id (AFX_IDW_DOCKBAR_TOP and the rest; 0: the first side both
  // the bar and the frame allow, top, bottom, left, right) and lays the frame out at idle time.
  void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
  // Each bar's visibility and docking side under "<name>-Bar<n>" in the application's profile; loading applies
  // what it finds for the bars that exist and passes over anything it cannot use.
  void SaveBarState(LPCSTR lpszProfileName) const;
  void LoadBarState(LPCSTR lpszProfileName);

  // The status line: pane 0 of the AFX_IDW_STATUS_BAR child shows prompts (the first line of a command's
  // string) and the idle message.
  virtual CWnd* GetMessageBar();
  void SetMessageText(LPCSTR lpszText);
  void SetMessageText(UINT nID);
  virtual void GetMessageString(UINT nID, CString& rMessage) const;
  UINT m_nIDTracking = 0;
  UINT m_nIDLastMessage = 0;

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // Idle work the frame has been asked for.
  enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
  void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }
  void DelayRecalcLayout(BOOL bNotify = TRUE) { m_nIdleFlags |= (idleLayout | (bNotify ? idleNotify : 0)); }
  UINT m_nIdleFlags = 0;

  // Brings the items of a popup about to open up to date through command routing.
  void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  // Items without a command handler are greyed in menus.
  BOOL m_bAutoMenuEnable = TRUE;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnClose();
  void OnDestroy();
  void OnSize(UINT nType, int cx, int cy);
  // Floating frames that follow this one (MFS_SYNCACTIVE) show active while it is, and taking the activation
  // from it leaves its caption active.
  BOOL OnNcActivate(BOOL bActive);
  void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  void OnSetFocus(CWnd* pOldWnd);
  void NotifyFloatingWindows(DWORD dwFlags);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
  LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
  // ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR: show or hide the bar of that id, and check its menu item while shown.
  BOOL OnBarCheck(UINT nID);
  void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  // The CAPS, NUM and SCRL indicators are enabled while their key is toggled on.
  void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

protected:
  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  void PostNcDestroy() override;

  CString m_strTitle;
  UINT m_nIDHelp = 0;
  CView* m_pViewActive = nullptr;
  BOOL m_bInRecalcLayout = FALSE;

  DECLARE_MESSAGE_MAP()
};

inline constexpr UINT WM_MDIGETACTIVE = 0x0229;

// A frame whose documents live in child frames inside its MDI client window. The program is single-document:
// this frame exists so that code can tell the two kinds apart and ask for the active child, which is null
// while there is no client window.
class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)
public:
  // The active child frame (WM_MDIGETACTIVE to the client); *pbMaximized tells whether it is maximised.
  CFrameWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
  HWND m_hWndMDIClient = nullptr;
};
