// The window under every bar (menu bar, toolbar, popup): it owns the bar's controls and implements what all
// bars share: tracking by mouse and keyboard (idle, keyboard tracking, menu mode), selection and delayed
// popups, keyboard navigation and accelerator letters, command-state updates, and drawing through the paint
// manager. Derived bars lay themselves out and place themselves.
#pragma once

#include "toolkit/commandbars/accessible.h"
#include "toolkit/commandbars/controls.h"
#include "toolkit/commandbars/mouse_manager.h"
#include "platform/mfc/ctrlbar.h"
#include "platform/user/ole_dragdrop.h"
#include "toolkit/paint/hook_manager.h"

class CTKCommandBars;
class CTKControlPopup;
class CTKToolTipContext;
class CTKPropExchange;
class CTKCommandBarList;
class TK_BARSTATE_CONTEXT;

class CTKCommandBar : public CWnd, public CTKHookManagerHookAble, public CTKTrackedBar, public CTKAccessible {
  DECLARE_SERIAL(CTKCommandBar)
public:
  // The command-UI record of one control.
  class CTKCommandBarCmdUI : public CCmdUI {
  public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCSTR lpszText) override;
    CTKControl* m_pControl = nullptr;
  };

  CTKCommandBar();
  ~CTKCommandBar() override;

  // ---- Lookups
  CTKControls* GetControls() const { return m_pControls; }
  CTKControl* GetControl(int nIndex) const { return m_pControls->GetAt(nIndex); }
  int GetControlCount() const { return m_pControls->GetCount(); }
  CTKCommandBars* GetCommandBars() const;
  void SetCommandBars(CTKCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  CTKCommandBar* GetRootBar() const;
  BOOL IsCustomizeMode() const;
  CWnd* GetSite() const;
  CWnd* GetNotifySite() const;
  void SetNotifyWindow(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
  void SetOwnerWindow(CWnd* pWnd) { m_pOwner = pWnd; }
  int GetType() const { return m_barType; }
  void SetType(int nType) { m_barType = nType; }
  int GetPosition() const { return m_barPosition; }
  UINT GetBarID() const { return m_nBarID; }
  void SetBarID(UINT nId) { m_nBarID = nId; }
  CString GetTitle() const { return m_strTitle; }
  void SetTitle(const CString& strTitle);
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
  int GetSelected() const { return m_nSelected; }
  int GetPopuped() const { return m_nPopuped; }
  int GetTrackingMode() const { return m_bTracking; }
  BOOL IsTrackingMode() const { return m_bTracking != 0; }
  BOOL IsKeyboardSelected() const { return m_bKeyboardSelect; }
  // Whether tracking started with the mouse (only the first popup of such a chain animates).
  BOOL IsMouseStarted() const { return m_bMouseStarted; }
  void SetMouseStarted(BOOL bStarted) { m_bMouseStarted = bStarted; }
  static BOOL IsVerticalPosition(int nPosition) { return nPosition == 2 || nPosition == 3 || nPosition == 5; }
  BOOL IsLayoutRTL() const;

  // ---- Managers
  CTKPaintManager* GetPaintManager() const;
  void SetPaintManager(CTKPaintManager* pPaintManager);
  CTKImageManager* GetImageManager() const;
  void SetImageManager(CTKImageManager* pImageManager);

  // ---- Sizes
  CSize GetIconSize() const;
  void SetIconSize(CSize size) { m_szIcons = size; }
  CSize GetButtonSize() const;
  void SetButtonSize(CSize size) { m_szButtons = size; }
  BOOL GetShowTextBelowIcons() const;

  // ---- Building
  BOOL LoadMenu(CMenu* pMenu, BOOL bRemoveControls = TRUE);
  void InvalidateParents();
  void LockRedraw() { ++m_nLockRedraw; }
  // Drops a pending redraw and invalidates the window now, unless redraw is locked.
  void RedrawNow();
  void UnlockRedraw();

  // ---- Overridable, in slot order
  virtual void DelayRedraw() { m_nDelayFlags |= 2; }
  virtual BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard);
  virtual BOOL SetSelected(int nSelected, BOOL bKeyboard);
  virtual BOOL Popup(CTKControlPopup* /*pControlPopup*/, BOOL /*bSelectFirst*/ = FALSE) { return FALSE; }
  virtual void SetVisible(BOOL /*bVisible*/) {}
  virtual BOOL IsVisible() const { return FALSE; }
  virtual BOOL SetPosition(int /*nPosition*/) { return FALSE; }
  virtual BOOL IsCustomizable() const { return m_bCustomizable; }
  // Customise drag target: the insertion mark follows the dragged control; a drop inserts a copy.
  virtual void OnCustomizeDragEnter(CTKControl* pDataObject, CPoint point);
  virtual void OnCustomizeDragLeave();
  virtual void OnCustomizeDragOver(CTKControl* pDataObject, CPoint point, DROPEFFECT& dropEffect);
  virtual void OnCustomizeDrop(CTKControl* pDataObject, DROPEFFECT& dropEffect, CPoint ptDrop, CPoint ptDrag);
  virtual void OnRecalcLayout() {}
  virtual void OnControlSelected(BOOL bSelected, CTKControl* pControl);
  virtual CTKCommandBar* GetParentBar() const { return nullptr; }
  virtual BOOL IsKeyboardCuesVisible() const;
  virtual int OnHookKeyDown(UINT nChar, LPARAM lParam);
  virtual CSize CalcDynamicLayout(int /*nLength*/, DWORD /*dwMode*/) { return CSize(0, 0); }
  virtual BOOL ProcessSpecialKey(int key);
  virtual void DrawCommandBar(CDC* pDC, CRect rcClipBox);
  virtual void DelayLayout();
  virtual void Copy(CTKCommandBar* pCommandBar, BOOL bRecursive = FALSE);
  BOOL PointInBar(POINT ptScreen) override;
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
  virtual CTKCommandBar* Clone(BOOL bRecursive = FALSE);
  // The bar's values in the saved bar state; loading takes the context's command bars as the owner.
  virtual void DoPropExchange(CTKPropExchange* pPX);
  // Lists this bar (once) and the popup bars its controls open; bars without an id of their own get one.
  virtual void GenerateCommandBarList(DWORD& nID, CTKCommandBarList* pCommandBarList, TK_BARSTATE_CONTEXT* pContext);
  // Attaches the listed popup bars to the controls that named them.
  virtual void RestoreCommandBarList(CTKCommandBarList* pCommandBarList);

  BOOL SetPopuped(int nPopuped, BOOL bKeyboard = FALSE);
  // The control's tip under the point: its id, or -1 for none.
  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
  // The control a drop at the point goes beside (-1 for none), whether after it, and the mark to draw.
  int CalcInsertMark(CTKControl* pControl, CPoint point, BOOL& bAfter, CRect& rcMark) const;
  const CRect& GetDropMark() const { return m_rcMarker; }
  void SetCustomizable(BOOL bCustomizable) { m_bCustomizable = bCustomizable; }
  BOOL IsCloseable() const { return m_bCloseable; }
  void SetCloseable(BOOL bCloseable) { m_bCloseable = bCloseable; }
  // This bar's control for an accelerator key, -1 for none; ambiguous when another control shares the letter.
  int FindAccelIndex(UINT nChar, BOOL& bAmbiguous) const;
  BOOL IsHorizontalForKeys() const;

  // ---- What the mouse and keyboard managers see
  HWND GetTrackedBarWindow() const override { return m_hWnd; }
  void SetTrackingMode(BOOL bMode) override { SetTrackingMode(bMode ? 1 : 0, TRUE, FALSE); }
  void SetSelected(int nItem) override { SetSelected(nItem, FALSE); }
  void OnTrackedMouseMove(POINT ptClient) override;
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

  // ---- What assistive tools see: the bar, and its controls as children 1..n
  HRESULT AccParent(IDispatch** ppdispParent) override;
  HRESULT AccChildCount(long* pcountChildren) override;
  HRESULT AccChild(VARIANT varChild, IDispatch** ppdispChild) override;
  HRESULT AccName(VARIANT varChild, BSTR* pszName) override;
  HRESULT AccRole(VARIANT varChild, VARIANT* pvarRole) override;
  HRESULT AccState(VARIANT varChild, VARIANT* pvarState) override;
  HRESULT AccLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild) override;
  HRESULT AccHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
  CCmdTarget* AccOwner() override { return this; }
  // WM_GETOBJECT: the bar's object for the client and menu ids; FALSE leaves other ids to the default.
  BOOL OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Popup flags of the track call.
  BOOL m_bRightButton = FALSE;
  BOOL m_bNoNotify = FALSE;
  BOOL m_bRecursePopup = FALSE;
  int* m_pReturnCmd = nullptr;
  int m_nMRUWidth = 32767;
  int m_nLastPressed = -1;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void PostNcDestroy() override {}
  void OnPaintBar();
  void DrawDropMark(CDC* pDC);
  void OnMouseMoveBar(CPoint point);
  void OnLButtonDownBar(CPoint point);
  void OnLButtonUpBar(CPoint point);
  void OnLButtonDblClkBar(CPoint point);
  // In customise mode a right click selects the control under it and opens the customise sheet's menu.
  void OnRButtonDownBar(CPoint point);
  void OnRButtonUpBar(CPoint point);
  void OnTimerBar(UINT_PTR nIDEvent);
  BOOL IsInputBlocked() const;
  void UpdateControls(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
  void UpdateDocTemplateControls();

  BOOL m_bHideCaret = TRUE;
  int m_nSelected = -1;
  int m_nPopuped = -1;
  HWND m_hwndCaret = nullptr;
  UINT m_nBarID = 0;
  BOOL m_bVisible = TRUE;
  int m_bTracking = 0;
  CWnd* m_pOwner = nullptr;
  int m_nDelayFlags = 0;
  DWORD m_dwFlags = 0;
  DWORD m_dwStyle = 0;
  CString m_strTitle;
  int m_barType = tkBarTypeNormal;
  CTKControls* m_pControls;
  int m_barPosition = 7;
  CTKCommandBars* m_pCommandBars = nullptr;
  CWnd* m_pNotifyWnd = nullptr;
  CSize m_szIcons = CSize(0, 0);
  CSize m_szButtons = CSize(0, 0);
  int m_bTextBelow = 2;
  BOOL m_bKeyboardSelect = FALSE;
  BOOL m_bCloseable = TRUE;
  BOOL m_bCustomizable = TRUE;
  BOOL m_bMouseStarted = FALSE;
  CRect m_rcMarker;
  BOOL m_bVerticalMarker = FALSE;
  int m_nLockRedraw = 0;
  CTKPaintManager* m_pPaintManager = nullptr;
  CTKImageManager* m_pImageManager = nullptr;
};
