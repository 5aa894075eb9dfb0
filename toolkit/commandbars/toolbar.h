// The dockable bar of buttons: docked in a dock row, floating in a popup window of its own, or laid out by its
// parent as a strip at the top. It adds its docking state and drag context, its layout along a row (with the
// expand button that gathers what did not fit), the hide button of a floating bar, and loading from a toolbar
// resource. The menu bar derives from it.
#pragma once

#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/paint/paint_manager.h"

class CTKDockBar;
class CTKDockContext;

// Docking flags of a bar.
inline constexpr DWORD TK_DOCK_TOP = 0x01;
inline constexpr DWORD TK_DOCK_BOTTOM = 0x02;
inline constexpr DWORD TK_DOCK_LEFT = 0x04;
inline constexpr DWORD TK_DOCK_RIGHT = 0x08;
inline constexpr DWORD TK_DOCK_FLOAT = 0x10;
inline constexpr DWORD TK_DOCK_ANY = 0x1F;
inline constexpr DWORD TK_DOCK_HIDEWRAP = 0x20;
inline constexpr DWORD TK_DOCK_STRETCHED = 0x40;
inline constexpr DWORD TK_DOCK_STRETCHED_SHARED = 0x100000;
inline constexpr DWORD TK_DOCK_TOOLBAR_FLAGS = 0x3F;
inline constexpr DWORD TK_DOCK_MENUBAR_FLAGS = 0x5F;

// Texts of the expand popup (toolkit strings).
inline constexpr UINT TK_IDS_ADDORREMOVE = 9300;
inline constexpr UINT TK_IDS_CONFIRM_RESET = 9349;
inline constexpr UINT TK_IDS_RESET_TOOLBAR = 9395;

// Reserved ids of the controls a toolbar adds itself.
inline constexpr int TK_ID_TOOLBAR_EXPAND = 9400;
inline constexpr int TK_ID_TOOLBAR_HIDE = 9401;

// The room kept at the far end of a docked bar for its expand button.
inline constexpr int TK_EXPAND_BUTTON_ROOM = 11;

// A popup bar made by the site (10337); null when it makes none. The caller owns the reference.
CTKCommandBar* TKNewPopupBar(CWnd* pSite);

class CTKToolBar : public CTKCommandBar {
  DECLARE_SERIAL(CTKToolBar)
public:
  // Gathers the controls of the row that did not fit; remembers whether there are any.
  class CTKControlExpandButton : public CTKControlPopup {
  public:
    CTKControlExpandButton();
    void SetRect(CRect rcControl) override;
    void Draw(CDC* pDC) override;
    BOOL SetPopuped(BOOL bPopup) override;
    BOOL HasHiddenControls() const { return m_bHiddenControls; }

  private:
    BOOL m_bHiddenControls = FALSE;
  };

  // Hides its floating bar.
  class CTKControlButtonHide : public CTKControlButton {
  public:
    CTKControlButtonHide();
    void Draw(CDC* pDC) override;
    void OnExecute() override;
  };

  // One entry of an add-or-remove-buttons list: it shows or hides the control it holds.
  class CTKControlButtonCustomize : public CTKControlButton {
  public:
    ~CTKControlButtonCustomize() override;
    // Holds one reference on the control.
    void SetTarget(CTKControl* pTarget);
    CTKControl* GetTarget() const { return m_pTarget; }
    // The list's last entry resets a bar, borrowed as the list's popup entry borrows it.
    void SetTargetBar(CTKToolBar* pBar) { m_pTargetBar = pBar; }
    CTKToolBar* GetTargetBar() const { return m_pTargetBar; }
    void OnExecute() override;

  private:
    CTKControl* m_pTarget = nullptr;
    CTKToolBar* m_pTargetBar = nullptr;
  };

  // The entry of the expand popup for one bar of the row: its add-or-remove list is filled as it opens. The bar is
  // borrowed: it owns, through its expand button, the popup the entry stands in.
  class CTKControlAddOrRemove : public CTKControlPopup {
  public:
    explicit CTKControlAddOrRemove(CTKToolBar* pTarget);
    ~CTKControlAddOrRemove() override;
    CTKToolBar* GetTarget() const { return m_pTarget; }
    BOOL SetPopuped(BOOL bPopup) override;

  private:
    CTKToolBar* m_pTarget;
  };

  // The bar's layout record of the saved bar state (barstate.h).
  class CToolBarInfo;

  CTKToolBar();
  ~CTKToolBar() override;

  void GetBarInfo(CToolBarInfo* pInfo) const;
  // Places and shows the bar as the record says.
  void SetBarInfo(CToolBarInfo* pInfo);

  // The bar's buttons as entries of the popup, checked while shown; controls of the built set the user removed
  // come back first, hidden, at their old places.
  void FillAddOrRemovePopup(CTKCommandBar* pPopup);

  // ---- Docking
  void EnableDocking(DWORD dwFlags);
  CTKDockContext* GetDockContext() const { return m_pDockContext; }
  CTKDockBar* GetDockBar() const { return m_pDockBar; }
  void SetDockBar(CTKDockBar* pDockBar) { m_pDockBar = pDockBar; }
  // Only the command bars and the dock rows move a bar between positions.
  void SetBarPosition(int nPosition) { m_barPosition = nPosition; }
  BOOL IsFloating() const { return m_barPosition == tkBarFloating; }
  virtual BOOL IsDialogBar() const { return FALSE; }

  // ---- State
  BOOL IsBuiltIn() const { return m_bBuiltIn; }
  void SetBuiltIn(BOOL bBuiltIn) { m_bBuiltIn = bBuiltIn; }
  BOOL IsTearOff() const { return m_bTearOff; }
  void SetTearOff(BOOL bTearOff) { m_bTearOff = bTearOff; }
  void SetShowExpandButton(BOOL bShow) { m_bShowExpandButton = bShow; }
  BOOL IsExpandButtonAllowed() const { return m_bShowExpandButton; }

  // ---- Building from a toolbar resource: version, width, height, count, then one id per item (0: separator)
  BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE);
  BOOL SetButtons(const UINT* pButtons, int nCount);

  // ---- Overrides of the bar
  void SetVisible(BOOL bVisible) override;
  BOOL IsVisible() const override { return m_bVisible; }
  BOOL SetPosition(int nPosition) override;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
  void OnRecalcLayout() override;
  void Copy(CTKCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
  CTKCommandBar* Clone(BOOL bRecursive = FALSE) override;
  void DoPropExchange(CTKPropExchange* pPX) override;

  // ---- Added, in slot order
  // The bar's size laid out along a row of nLength; nWidth is the thickness it must at least take.
  virtual CSize CalcLayout(int nLength, DWORD dwMode, int nWidth = 0);
  // Asks, then puts back the bar's built set of controls (built-in, customisable bars with an id only).
  virtual void Reset();
  // Makes the window (a popup at first) and turns it into a floating popup or a docked child.
  virtual BOOL Create(CWnd* pParentWnd, BOOL bFloat);

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // Asks whether the bar's changes may be thrown away (string 9349 with the title).
  BOOL ConfirmReset();
  // Ends tracking and opens the command bars' toolbars menu at the point.
  void OnToolbarContextMenu(CPoint point);
  CSize LayoutPass(CDC* pDC, int nLength, DWORD dwMode, CRect rcBorders, int nWidth,
                   CTKControlExpandButton* pExpand);
  CTKControlExpandButton* FindExpandButton(BOOL bCreate);
  CTKControl* FindHideButton(BOOL bCreate);
  LRESULT OnSizeParent(AFX_SIZEPARENTPARAMS* lpLayout);
  UINT OnNcHitTest(CPoint point);
  // A floating bar hides and shows with its frame's activation.
  LRESULT OnFloatStatus(WPARAM wParam);

  CTKDockBar* m_pDockBar = nullptr;
  CTKDockContext* m_pDockContext = nullptr;
  BOOL m_bBuiltIn = TRUE;
  BOOL m_bTearOff = FALSE;
  BOOL m_bPreviewVisible = FALSE;
  BOOL m_bPreview = FALSE;
  BOOL m_bShowExpandButton = TRUE;
};
