// The command bars of one frame: its menu bar and toolbars, the user options, the shortcut manager, and the
// frame site that routes the frame's keys and messages to them first. Bars reach the frame only through the
// notifications 10325-10338 sent to the site.
#pragma once

#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/shortcut_manager.h"

#include <set>
#include <vector>

class CTKCommandBars;
class CTKCustomizeDropSource;
class CTKPopupBar;
class CTKDockBar;
class CTKMenuBar;
class CTKPropExchange;
class CTKToolBar;
class CTKCommandBarList;
class CTKBarLayoutState;
class TK_BARSTATE_CONTEXT;

class CTKCommandBarsOptions : public CCmdTarget {
public:
  explicit CTKCommandBarsOptions(CTKCommandBars* pCommandBars) : m_pCommandBars(pCommandBars) {}
  // 0 cues always shown, 1 never, 2 as the system says.
  void SetKeyboardCuesShow(int nMode);
  int GetKeyboardCuesShow() const { return m_nKeyboardCuesShow; }
  void DoPropExchange(CTKPropExchange* pPX);

  BOOL bAlwaysShowFullMenus = TRUE;
  BOOL bShowFullAfterDelay = TRUE;
  BOOL bToolBarScreenTips = TRUE;
  BOOL bToolBarAccelTips = FALSE;
  BOOL bLargeIcons = FALSE;
  BOOL bSyncFloatingBars = TRUE;
  BOOL bShowExpandButtonAlways = TRUE;
  BOOL bDblClickFloat = FALSE;
  BOOL bShowTextBelowIcons = FALSE;
  BOOL bAltDragCustomization = TRUE;
  BOOL bAutoHideUnusedPopups = TRUE;
  BOOL bShowPopupBarToolTips = FALSE;
  int animationType = 0;
  BOOL bAutoUpdateShortcuts = TRUE;
  int keyboardCuesUse = 1;
  BOOL bShowControlDescriptions = TRUE;
  CSize szIcons = CSize(0, 0);
  CSize szLargeIcons = CSize(0, 0);
  CSize szPopupIcons = CSize(16, 16);
  std::set<UINT> m_mapHiddenCommands;
  std::set<UINT> m_mapUsedCommands;
  // The bars changed (customise mode entered, a toolbar dragged or toggled) since their state was last saved or
  // loaded; not stored.
  BOOL bDirty = FALSE;

private:
  CTKCommandBars* m_pCommandBars;
  int m_nKeyboardCuesShow = 0;
};

class CTKCommandBars : public CCmdTarget {
  DECLARE_DYNCREATE(CTKCommandBars)
public:
  CTKCommandBars();
  ~CTKCommandBars() override;
  CTKCommandBars(const CTKCommandBars&) = delete;
  CTKCommandBars& operator=(const CTKCommandBars&) = delete;

  // ---- Site and bars
  void SetSite(CWnd* pFrame);
  CWnd* GetSite() const { return m_pFrame; }
  // Appends a bar made elsewhere, taking over the maker's reference; the first bar of type 0 becomes the menu bar.
  void AddBar(CTKCommandBar* pBar);
  void Remove(CTKCommandBar* pBar);
  int GetCount() const { return static_cast<int>(m_arrBars.size()); }
  CTKCommandBar* GetAt(int nIndex) const;
  CTKCommandBar* GetToolBar(UINT nBarID) const;
  int FindIndex(CTKCommandBar* pBar) const;
  int GetNextVisibleBar(int nIndex, int nDirection) const;
  CTKCommandBar* GetMenuBar() const { return m_pMenuBar; }
  BOOL IsLayoutRTL() const;

  // ---- Toolbars, the menu bar and the dock rows
  // Makes the four dock rows along the site's edges (top, bottom, left, right); FALSE when one cannot be made.
  BOOL EnableDocking();
  UINT GetMenuID() const { return m_nMenuID; }
  // The dock row of a position 0-3; null for any other index.
  CTKDockBar* GetDockBar(int nIndex) const;
  // The menu bar built from the menu resource, docked at the top; null when it cannot be made.
  CTKMenuBar* SetMenu(const CString& strName, UINT nMenuID);
  // A toolbar of the class (CTKToolBar when none) at the position; null when its window cannot be made.
  CTKToolBar* Add(const CString& strName, int nPosition, CRuntimeClass* pToolBarClass = nullptr);
  // A toolbar of the user's own (torn off a popup: floating); the site hears of it first (10337).
  virtual CTKToolBar* AddCustomBar(const CString& strName, UINT nID, BOOL bTearOffBar = FALSE);
  // Docks the bar into the row at a screen rectangle (null: a new last row); FALSE without its window.
  BOOL DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect, CTKDockBar* pDockBar);
  BOOL DockCommandBar(CTKToolBar* pBar, LPCRECT lpRect, int nDockIndex);
  BOOL FloatCommandBar(CTKToolBar* pBar);
  // The dock row whose window, grown by 20 pixels, holds the point; the hint first, then top, bottom, left, right.
  CTKDockBar* CanDock(CPoint pt, CTKDockBar* pHint = nullptr) const;
  // The controls of the bar's row that did not fit, copied into the popup.
  virtual void GetHiddenControls(CTKToolBar* pBar, CTKCommandBar* pPopup);
  // One entry per bar of the row listing its buttons to show or hide, then the customise command.
  virtual void GetAddOrRemovePopup(CTKToolBar* pBar, CTKCommandBar* pPopup);

  // ---- Services
  CTKPaintManager* GetPaintManager() const;
  void SetPaintManager(CTKPaintManager* pPaintManager);
  CTKImageManager* GetImageManager() const;
  CTKMouseManager* GetMouseManager() const;
  CTKShortcutManager* GetShortcutManager() const { return m_pShortcutManager; }
  CTKCommandBarsOptions* GetCommandBarsOptions() const { return m_pOptions; }
  CTKToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }

  // ---- Modes
  BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
  // The customise mode of one Alt-drag of a control, without the sheet.
  void SetQuickCustomizeMode(BOOL bMode);
  BOOL IsQuickCustomizeMode() const { return m_bQuickCustomizeMode; }
  void SetCustomizeMode(BOOL bMode)
  {
    m_bCustomizeMode = bMode;
    if (bMode)
      m_pOptions->bDirty = TRUE;
  }
  BOOL IsCustomizeAvail() const { return m_bCustomizeAvail; }
  CTKControl* GetDragControl() const { return m_pDragControl; }
  void SetDragControl(CTKControl* pControl);
  // The drag of controls in customise mode; every bar added here is one of its targets.
  CTKCustomizeDropSource* GetDropSource() const { return m_pDropSource; }

  // ---- Popups and tracking
  void ClosePopups() const;
  // Opens the popup at the point and runs its loop until it closes: 1, the chosen command with TPM_RETURNCMD
  // (0 when none), or 0 when it could not open.
  int TrackPopupMenu(CTKPopupBar* pPopup, UINT nFlags, int x, int y, CWnd* pWnd, const RECT* prcExclude = nullptr,
                     CWnd* pWndOwner = nullptr);
  // The toolbars menu of a bar at a screen point.
  virtual void ContextMenu(CTKCommandBar* pBar, CPoint point);
  // A new popup listing the toolbars; the caller releases it.
  virtual CTKPopupBar* GetToolbarsPopup();
  virtual void OnTrackingModeChanged(CTKCommandBar* pBar, int bMode);
  BOOL ActivateBar(CTKCommandBar* pBar, int nDirection);

  // ---- Personalised menus
  virtual BOOL IsHiddenCommand(UINT nId) const;
  // Its command is hidden; or, with "AutoHideUnusedPopups", a popup whose bar is missing, empty or all hidden.
  virtual BOOL IsControlHidden(CTKControl* pControl) const;
  void HideCommands(const UINT* pCommands, int nCount);
  void SetCommandUsed(UINT nId);
  void ResetUsageData() { m_pOptions->m_mapUsedCommands.clear(); }
  // The resource id of the active document template: 0 outside multi-document frames.
  virtual UINT GetActiveDocTemplate() const { return 0; }
  void ToggleVisible(int nIndex);

  // ---- Keyboard
  BOOL PreTranslateFrameMessage(MSG* pMsg);
  BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL OnFrameAccel(UINT chAccel);
  CTKControl* FindAccel(CTKCommandBar* pBar, UINT chAccel, BOOL& bSelectOnly) const;
  void ShowKeyboardCues(BOOL bShow);
  BOOL IsKeyboardCuesVisible() const { return m_bKeyboardCuesVisible; }
  BOOL IsKeyboardCuesDynamic() const { return m_bDynamicCues; }
  void SetKeyboardCuesState(BOOL bVisible, BOOL bDynamic)
  {
    m_bKeyboardCuesVisible = bVisible;
    m_bDynamicCues = bDynamic;
  }

  // ---- Options persistence: the key "<section>-Options" below the application's key
  void SaveOptions(LPCSTR lpszProfileName);
  void LoadOptions(LPCSTR lpszProfileName);

  // ---- The bar state under "<section>-..." below the application's key
  // FALSE when the save did not reach the profile; the state saved before is then kept whole.
  BOOL SaveBarState(LPCSTR lpszProfileName, BOOL bOnlyCustomized = TRUE);
  void LoadBarState(LPCSTR lpszProfileName, BOOL bSilent = FALSE);
  CTKBarLayoutState* GetBarLayoutState() const;
  void SetBarLayoutState(CTKBarLayoutState* pLayoutState);
  void SaveDockBarsState(LPCSTR lpszProfileName) const;
  void LoadDockBarsState(LPCSTR lpszProfileName);
  BOOL LoadControlsFromFile(CFile* pFile, TK_BARSTATE_CONTEXT* pContext);
  void GetControlsFileName(CString& strFileName, LPCSTR lpszProfileName) const;
  // The name in the application's own folder under the user's data folder; empty when there is none.
  void GetAppDataFileName(CString& strFileName, LPCSTR lpszName) const;
  void SetControlsFileName(const CString& strFileName) { m_strControlsFileName = strFileName; }
  // Where the customised bars' stream goes to a file instead of the profile.
  static constexpr UINT kMaxProfileControlsBytes = 16000;
  virtual BOOL SaveCommandBarList(CTKPropExchange* pPX, CTKCommandBarList* pCommandBarList);
  virtual BOOL LoadCommandBarList(CTKPropExchange* pPX, CTKCommandBarList* pCommandBarList);
  virtual void GenerateCommandBarList(CTKCommandBarList* pCommandBarList, TK_BARSTATE_CONTEXT* pContext);
  virtual void RestoreCommandBarList(CTKCommandBarList* pCommandBarList, BOOL bSilent);

  // ---- Frame layout
  void RecalcFrameLayout(BOOL bDelay = FALSE);
  // Every visible bar lays itself out again, then the frame once.
  void RedrawCommandBars();
  // Runs a frame layout that was delayed to idle time now.
  void RecalcPendingFrameLayout();
  void OnSetPreviewMode(BOOL bPreview);

private:
  CTKControl* GetNextAccelControl(CTKControls*& pControls, int nIndex) const;
  BOOL IsControlHiddenDepth(CTKControl* pControl, int nDepth) const;

  BOOL m_bCustomizeMode = FALSE;
  BOOL m_bQuickCustomizeMode = FALSE;
  BOOL m_bCustomizeAvail = FALSE;
  CTKPaintManager* m_pPaintManager = nullptr;
  CTKImageManager* m_pImageManager = nullptr;
  CTKControl* m_pDragControl = nullptr;
  CTKCommandBarsOptions* m_pOptions;
  std::vector<CTKCommandBar*> m_arrBars;
  CWnd* m_pFrame = nullptr;
  CTKCommandBar* m_pMenuBar = nullptr;
  mutable CTKMouseManager* m_pMouseManager = nullptr;
  BOOL m_bKeyboardCuesVisible = TRUE;
  CTKShortcutManager* m_pShortcutManager;
  CTKToolTipContext* m_pToolTipContext;
  BOOL m_bLayoutLock = FALSE;
  BOOL m_bDynamicCues = FALSE;
  std::vector<BOOL> m_arrPreviewVisible;
  CTKDockBar* m_pDocks[4] = {};
  UINT m_nMenuID = 0;
  CString m_strControlsFileName;
  CTKCustomizeDropSource* m_pDropSource;
};

// A frame that hosts command bars: they see its keys and messages first and it saves and loads their state.
class CTKFrameWnd : public CFrameWnd {
public:
  CTKFrameWnd() = default;
  ~CTKFrameWnd() override;

  // Makes the command bars (a paint manager of theme 0 first when there is none).
  BOOL InitCommandBars();
  CTKCommandBars* GetCommandBars() const { return m_pCommandBars; }
  void SaveCommandBars(LPCSTR lpszProfileName);
  void LoadCommandBars(LPCSTR lpszProfileName);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  CTKCommandBars* m_pCommandBars = nullptr;
};
