// The docking layout: a tree of nodes owned by one CTKDockingPaneLayout. Every node carries a CTKDockingPaneBase
// part (type, docking size, parent, site, rectangle, caption buttons); the panes are its leaves and stand for one
// application window each. The containers that hold them live in their own files.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/list.h"
#include "platform/mfc-core/map.h"

class CTKDockingPaneManager;
class CTKDockingPanePaintManager;
class CTKImageManagerIcon;
class CTKDockingPaneLayout;
class CTKDockingPaneBase;
class CTKDockingPane;
class CTKDockingPaneTabbedContainer;
class CTKDockingPaneSplitterContainer;
class CTKPropExchange;
struct CTKDockingPaneLoadState;
struct AFX_SIZEPARENTPARAMS;

// Node types, the factory's numbers.
inline constexpr int TK_DOCKINGPANE_PANE = 0;
inline constexpr int TK_DOCKINGPANE_TABBED = 1;
inline constexpr int TK_DOCKINGPANE_SPLITTER = 2;
inline constexpr int TK_DOCKINGPANE_MINIWND = 3;
inline constexpr int TK_DOCKINGPANE_CLIENT = 4;
inline constexpr int TK_DOCKINGPANE_AUTOHIDE = 5;

// Pane option bits (a pane's own ORed with the manager's defaults).
inline constexpr int TK_PANE_NOCLOSEABLE = 0x01;
inline constexpr int TK_PANE_NOHIDEABLE = 0x02;
inline constexpr int TK_PANE_NOFLOATABLE = 0x04;
inline constexpr int TK_PANE_NOCAPTION = 0x08;
inline constexpr int TK_PANE_HASMENUBUTTON = 0x10;

// Caption button ids; also the toolkit string ids of their tooltips.
inline constexpr int TK_IDS_DOCKINGPANE_AUTOHIDE = 9900;
inline constexpr int TK_IDS_DOCKINGPANE_CLOSE = 9901;
inline constexpr int TK_IDS_DOCKINGPANE_MAXIMIZE = 9907;
inline constexpr int TK_IDS_DOCKINGPANE_RESTORE = 9908;
inline constexpr int TK_IDS_DOCKINGPANE_MENU = 9909;

// Answered by a pane's window for its tab colour (0: automatic).
inline constexpr UINT TK_WM_GETTABCOLOR = 10425;

using CTKDockingPaneNodeList = CList<CTKDockingPaneBase*, CTKDockingPaneBase*>;
using CTKDockingPaneNodeMap = CMap<CTKDockingPaneBase*, CTKDockingPaneBase*, CTKDockingPaneBase*, CTKDockingPaneBase*>;

// The panes of a node in tree order (a pane stands for itself), those of empty containers left out.
void TKListDockingPanes(CTKDockingPaneBase* pNode, CTKDockingPaneNodeList* pList);

class CTKDockingPaneCaptionButton {
public:
  CTKDockingPaneCaptionButton(int nID, CTKDockingPaneBase* pOwner) : m_nID(nID), m_pOwner(pOwner) {}
  virtual BOOL IsVisible();
  virtual ~CTKDockingPaneCaptionButton() = default;

  int GetID() const { return m_nID; }
  CRect GetRect() const { return m_rcButton; }
  // Stores the rectangle; the owner redraws when it moved.
  void SetRect(CRect rc);
  void Redraw();
  // Hot while the point lies in the button; answers whether it became hot.
  BOOL CheckHot(CPoint point);
  // Tracks a press until release; TRUE when released over the button. bClient: points in client coordinates.
  BOOL Click(CWnd* pWnd, CPoint point, BOOL bClient = TRUE);

  CRect m_rcButton;
  int m_nID;
  CTKDockingPaneBase* m_pOwner;
  BOOL m_bPressed = FALSE;
  BOOL m_bHot = FALSE;
  DWORD m_dwState = 0;  // 0x2: the pin lies on its side
};
using CTKDockingPaneCaptionButtons = CArray<CTKDockingPaneCaptionButton*, CTKDockingPaneCaptionButton*>;

class CTKDockingPaneBase {
public:
  CTKDockingPaneBase(int nType, CTKDockingPaneLayout* pLayout);
  virtual ~CTKDockingPaneBase();
  CTKDockingPaneBase(const CTKDockingPaneBase&) = delete;
  CTKDockingPaneBase& operator=(const CTKDockingPaneBase&) = delete;

  virtual void RedrawPane();
  // Non-zero when the node is this one or lies below it.
  virtual POSITION ContainPane(CTKDockingPaneBase* pPane) const;
  virtual void FindPane(int nType, CTKDockingPaneNodeList* pList);
  virtual void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const;
  virtual void OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams);
  virtual void OnFocusChanged() {}
  virtual void SetDockingSite(CWnd* pSite) { m_pDockingSite = pSite; }
  virtual void SetParentContainer(CTKDockingPaneBase* pContainer) { m_pParentContainer = pContainer; }
  virtual void OnChildContainerChanged(CTKDockingPaneBase* /*pContainer*/) {}
  virtual void InvalidatePane(BOOL bSelectionChanged);
  virtual void OnParentContainerChanged(CTKDockingPaneBase* /*pContainer*/) {}
  // Map: old node to new, recorded when given.
  virtual CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                                    DWORD dwIgnoredOptions);
  virtual void RemovePane(CTKDockingPaneBase* /*pPane*/) {}
  virtual BOOL IsEmpty() const;
  virtual BOOL IsCaptionButtonVisible(CTKDockingPaneCaptionButton* /*pButton*/) { return TRUE; }
  virtual HWND GetPaneHwnd() const { return nullptr; }
  virtual BOOL IsHidden() const { return FALSE; }
  // Loading answers FALSE when the node is unusable.
  virtual BOOL DoPropExchange(CTKPropExchange* pPX);

  int GetType() const { return m_nType; }
  CTKDockingPaneBase* GetContainer() const { return m_pParentContainer; }
  CWnd* GetDockingSite() const { return m_pDockingSite; }
  CRect GetWindowRect() const { return m_rcWindow; }
  CTKDockingPaneLayout* GetLayout() const { return m_pLayout; }
  CTKDockingPaneManager* GetDockingPaneManager() const;
  CTKDockingPanePaintManager* GetPaintManager() const;
  CRect GetScreenRect() const;
  CTKDockingPaneCaptionButtons* GetCaptionButtons() { return &m_arrCaptionButtons; }
  // Along a splitter's axis: the docking width of a row, the docking height of a column.
  int GetExtent(BOOL bHoriz) const { return bHoriz ? m_szDocking.cx : m_szDocking.cy; }
  void SetExtent(BOOL bHoriz, int nExtent) { (bHoriz ? m_szDocking.cx : m_szDocking.cy) = nExtent; }

  CSize m_szDocking{0, 0};
  CTKDockingPaneLayout* m_pLayout;
  CTKDockingPaneBase* m_pParentContainer = nullptr;
  CWnd* m_pDockingSite = nullptr;
  int m_nType;
  CRect m_rcWindow{0, 0, 0, 0};
  CTKDockingPaneCaptionButtons m_arrCaptionButtons;
  int m_nLength = 0;
  int m_nIndex = 0;
};

// A pane: one application window in a tabbed container. Reference counted through its CCmdTarget part: the
// layout holds one reference, and the manager another while the pane is active.
class CTKDockingPane : public CCmdTarget, public CTKDockingPaneBase {
public:
  explicit CTKDockingPane(CTKDockingPaneLayout* pLayout);

  virtual void SetFocus();
  virtual CString GetTitle() const;
  virtual CString GetTabCaption() const;
  virtual COLORREF GetTabColor() const;
  virtual void Copy(const CTKDockingPane* pPane);
  // The manager's icon of the icon id (the pane id when that is -1) at this width; null without one.
  CTKImageManagerIcon* GetIcon(int nWidth = 16) const;

  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override;
  void OnSizeParent(CWnd* pSite, CRect rect, AFX_SIZEPARENTPARAMS* pParams) override;
  void OnFocusChanged() override;
  void SetParentContainer(CTKDockingPaneBase* pContainer) override;
  CTKDockingPaneBase* Clone(CTKDockingPaneLayout* pLayout, CTKDockingPaneNodeMap* pMap,
                            DWORD dwIgnoredOptions) override;
  BOOL IsHidden() const override;
  BOOL DoPropExchange(CTKPropExchange* pPX) override;

  void Attach(HWND hWnd);
  void Detach();
  BOOL IsValid() const { return m_hwndChild != nullptr; }
  void ShowWindowNotify(BOOL bShow);

  void SetID(int nID);
  int GetID() const { return m_nID; }
  void SetTitle(const CString& strTitle);
  void SetRect(CRect rc);
  int GetOptions() const;
  void SetOptions(int nOptions) { m_nOptions = nOptions; }
  void Close();
  void Hide();
  BOOL IsClosed() const { return m_pParentContainer == nullptr; }
  BOOL IsSelected() const;
  BOOL IsFocused() const;
  CWnd* GetContainerSite() const;
  HWND GetHwnd() const { return m_hwndChild; }
  CTKDockingPaneTabbedContainer* GetParentTabbed() const;

  HWND m_hwndChild = nullptr;
  int m_nID = 0;
  int m_nIconID = -1;
  CString m_strTitle;
  int m_nOptions = 0;
  int m_nTag = 0;
  CPoint m_ptMinTrackSize{0, 0};
  CPoint m_ptMaxTrackSize{32000, 32000};
  COLORREF m_clrTab = static_cast<COLORREF>(-1);
  int m_nHelpID = 0;
};

// Where a pane lived last: its floating holder, its docking holder and its last holder, all tabbed containers.
struct TK_DOCKINGPANE_INFO {
  CTKDockingPane* pPane = nullptr;
  CTKDockingPaneTabbedContainer* pFloatingHolder = nullptr;
  CTKDockingPaneTabbedContainer* pDockingHolder = nullptr;
  CTKDockingPaneTabbedContainer* pLastHolder = nullptr;
};

class CTKDockingPaneLayout : public CCmdTarget {
public:
  explicit CTKDockingPaneLayout(CTKDockingPaneManager* pManager);
  ~CTKDockingPaneLayout() override;

  // Frees every node: panes are released (one held elsewhere lives on), the others deleted.
  void Clear();
  BOOL IsComplete() const;
  TK_DOCKINGPANE_INFO* FindPaneInfo(CTKDockingPane* pPane);
  // Into the auto-hide panel of the node's side, made when missing (autohide.cpp).
  void AutoHide(CTKDockingPaneBase* pNode);
  void JoinGroup(CTKDockingPaneBase* pPanel, CTKDockingPaneBase* pNode);

  // Loading answers whether the layout is usable; a failed load leaves it partly built, for the caller to discard.
  BOOL DoPropExchange(CTKPropExchange* pPX);
  BOOL LoadFromRegistry(LPCTSTR lpszName);
  // TRUE when the layout reached the profile whole; on failure the layout saved before stays.
  BOOL SaveToRegistry(LPCTSTR lpszName);
  void Serialize(CArchive& ar) override;
  void Copy(const CTKDockingPaneLayout* pSource);
  void CleanUp();
  // While loading: the node of a saved index (1 to n), null for none.
  CTKDockingPaneBase* GetLoadingNode(int nIndex) const;
  // While loading: takes the node as a child of pParent; FALSE when it is already taken or above pParent.
  BOOL ClaimLoadingNode(CTKDockingPaneBase* pNode, const CTKDockingPaneBase* pParent);
  int GetPaneDirection(const CTKDockingPaneBase* pNode) const;

  CTKDockingPaneSplitterContainer* GetTopContainer() const;
  CTKDockingPaneBase* GetClient() const { return m_pClient; }
  CTKDockingPaneManager* GetManager() const { return m_pManager; }
  BOOL IsUserLayout() const { return m_bUserLayout; }

  CTKDockingPaneBase* m_pTopContainer = nullptr;
  CTKDockingPaneBase* m_pClient = nullptr;
  CList<TK_DOCKINGPANE_INFO, const TK_DOCKINGPANE_INFO&> m_lstPanes;
  CTKDockingPaneNodeList m_lstNodes;
  CTKDockingPaneBase* m_wndPanels[4] = {nullptr, nullptr, nullptr, nullptr};
  BOOL m_bUserLayout = TRUE;  // detached: containers make no windows
  CTKDockingPaneManager* m_pManager;
  CTKDockingPaneLoadState* m_pLoading = nullptr;
};
