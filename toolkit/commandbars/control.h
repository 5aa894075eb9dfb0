// A control: one item of a command bar (menu item, toolbar button, popup, combo box...). It has no window of
// its own; its parent bar lays it out, draws it through the paint manager and passes it the bar's mouse and
// keyboard. It carries the command id, texts, icon ids, the states the bar draws and what executing it does.
#pragma once

#include "toolkit/commandbars/accessible.h"
#include "toolkit/commandbars/defs.h"

#include <map>

class CTKCommandBar;
class CTKCommandBars;
class CTKControls;
class CTKImageManager;
class CTKImageManagerIcon;
class CTKPaintManager;
class CTKPropExchange;

class CTKControl : public CCmdTarget, public CTKAccessible {
  DECLARE_SERIAL(CTKControl)
public:
  using CDocTemplateMap = std::map<UINT, BOOL>;

  CTKControl();
  ~CTKControl() override;
  CTKControl(const CTKControl&) = delete;
  CTKControl& operator=(const CTKControl&) = delete;

  // ---- Texts. The visible caption is the custom caption when set.
  CString GetCaption() const { return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption; }
  // A tab splits off the shortcut text.
  void SetCaption(const CString& strCaption);
  void SetCustomCaption(const CString& strCaption) { m_strCustomCaption = strCaption; }
  // "description\ntooltip", or one text for both.
  void SetPrompt(const CString& strPrompt);
  void SetTooltip(const CString& str) { m_strTooltipText = str; }
  void SetDescription(const CString& str) { m_strDescriptionText = str; }
  CString GetShortcutText() const { return m_strShortcutText.IsEmpty() ? m_strShortcutTextAuto : m_strShortcutText; }
  void SetShortcutText(const CString& str) { m_strShortcutText = str; }
  const CString& GetAutoShortcutText() const { return m_strShortcutTextAuto; }
  void SetAutoShortcutText(const CString& str) { m_strShortcutTextAuto = str; }
  CString GetParameter() const { return m_strParameter; }
  void SetParameter(const CString& str) { m_strParameter = str; }

  // ---- Identity and state
  int GetID() const { return m_nId; }
  // Loads the id's string (through the toolkit's resource lookup) as the prompt.
  void SetID(int nId);
  int GetType() const { return m_controlType; }
  int GetIndex() const { return m_nIndex; }
  int GetIconId() const { return m_nCustomIconId != 0 ? m_nCustomIconId : m_nIconId > 0 ? m_nIconId : m_nId; }
  void SetIconId(int nId) { m_nIconId = nId; }
  void SetCustomIcon(int nId) { m_nCustomIconId = nId; }
  int GetStyle() const { return m_nCustomStyle != 0 ? m_nCustomStyle : m_nStyle; }
  int GetCustomStyle() const { return m_nCustomStyle; }
  void SetCustomStyle(int nStyle) { m_nCustomStyle = nStyle; }
  int GetCustomIconId() const { return m_nCustomIconId; }
  const CString& GetCustomCaption() const { return m_strCustomCaption; }
  void SetStyle(int nStyle) { m_nStyle = nStyle; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
  DWORD GetHideFlags() const { return m_dwHideFlags; }
  // Returns whether the hide flags changed.
  BOOL SetHideFlag(DWORD dwFlag, BOOL bSet);
  BOOL IsVisible() const { return m_dwHideFlags == 0; }
  BOOL GetEnabled() const { return m_bEnabled; }
  BOOL GetChecked() const { return m_bChecked; }
  void SetChecked(BOOL bChecked);
  int GetPressed() const { return m_bPressed; }
  void SetPressed(int nPressed) { m_bPressed = nPressed; }
  BOOL GetBeginGroup() const { return m_bBeginGroup; }
  BOOL GetWrap() const { return m_bWrap; }
  BOOL IsTemporary() const { return m_bTemporary; }
  void SetTemporary(BOOL bTemporary) { m_bTemporary = bTemporary; }
  BOOL IsItemDefault() const { return m_bDefaultItem; }
  void SetItemDefault(BOOL bDefault);
  BOOL IsHiddenByUsage() const { return m_bHiddenByUsage; }
  void SetHiddenByUsage(BOOL bHidden);
  void SetCloseSubMenuOnClick(BOOL bClose) { m_bCloseSubMenuOnClick = bClose; }
  const CRect& GetRect() const { return m_rcControl; }
  const CRect& GetRowRect() const { return m_rcRow; }
  CTKCommandBar* GetParent() const { return m_pParent; }
  CTKControls* GetControls() const { return m_pControls; }

  // ---- Services through the parent chain
  CTKPaintManager* GetPaintManager() const;
  CTKImageManager* GetImageManager() const;
  BOOL IsCustomizeMode() const;
  void DelayLayoutParent();
  void RedrawParent();
  void InvalidateParent();
  // Sends 10338 with the code to the root bar's notification window; its answer.
  LRESULT NotifySite(UINT nCode);
  // The press loop of a button: true when it ended as a click (and the control executed).
  BOOL TrackButtonPress(CRect rcButton = CRect(0, 0, 0, 0));
  BOOL IsCursorOver() const;
  // The control a bar's command-UI record stands for; null for another record or an index out of range.
  static CTKControl* FromCmdUI(CCmdUI* pCmdUI);

  // ---- Overridable behaviour, in slot order
  virtual CString GetDescription() const { return m_strDescriptionText; }
  virtual CString GetTooltip(LPPOINT pPoint = nullptr, LPRECT lpRectTip = nullptr, int* nHit = nullptr) const;
  virtual void SetBeginGroup(BOOL bBeginGroup);
  virtual void SetEnabled(BOOL bEnabled);
  virtual int GetSelected() const { return m_nSelected; }
  virtual void SetFocused(BOOL /*bFocused*/) {}
  virtual BOOL IsFocused() const { return FALSE; }
  virtual void SetRect(CRect rcControl) { m_rcControl = rcControl; }
  virtual BOOL IsCaptionVisible() const;
  virtual BOOL Compare(CTKControl* pOther);
  virtual CTKCommandBar* GetCommandBar() const { return nullptr; }
  virtual BOOL IsCustomizeMovable() const { return FALSE; }
  virtual void SetHideFlags(DWORD dwFlags) { m_dwHideFlags = dwFlags; }
  virtual void OnExecute();
  virtual CSize GetSize(CDC* pDC);
  virtual void Draw(CDC* pDC);
  virtual void OnCalcDynamicSize(DWORD /*dwMode*/) {}
  virtual CTKImageManagerIcon* GetImage(int nWidth = 16) const;
  virtual BOOL Execute()
  {
    OnExecute();
    return TRUE;
  }
  virtual BOOL IsFocusable() const { return FALSE; }
  virtual int OnHookKeyDown(UINT /*nChar*/, LPARAM /*lParam*/) { return 0; }
  virtual void SetParent(CTKCommandBar* pParent) { m_pParent = pParent; }
  virtual void Copy(CTKControl* pControl, BOOL bRecursive = FALSE);
  virtual BOOL SetPopuped(BOOL /*bPopup*/) { return FALSE; }
  virtual void OnClick(BOOL /*bKeyboard*/ = FALSE, CPoint /*pt*/ = CPoint(0, 0)) {}
  virtual void OnLButtonUp(CPoint /*point*/) {}
  virtual void OnRButtonUp(CPoint /*point*/) {}
  virtual BOOL OnLButtonDblClk(CPoint point);
  virtual void OnMouseMove(CPoint /*point*/) {}
  virtual void OnMouseHover();
  virtual BOOL OnSetSelected(int bSelected);
  // A control dragged in customise mode is over this one: the parent closes its popup and selects nothing.
  virtual void OnCustomizeDragOver(CTKControl* pDataObject, CPoint point);
  // Drags this control in customise mode; dropped off every bar or moved, it leaves its bar. Answers the drop result.
  int CustomizeStartDrag();
  virtual BOOL IsCustomizeDragOverAvail(CTKControl* /*pDataObject*/, CPoint /*point*/) { return TRUE; }
  // Customise mode: a press on the current drag control's left or right edge drags that edge (the width); TRUE
  // when the press was taken.
  virtual BOOL CustomizeStartResize(CPoint point);
  // Customise mode: the press on a control, as a resize of its edge, else as a drag of the control.
  void OnCustomizeMouseDown(CPoint point);
  // Over the edge zones of a resizable control the sizing cursor; FALSE elsewhere.
  BOOL OnCustomizeSetCursor(CPoint point);
  virtual BOOL IsCustomizeResizeAllow() const { return FALSE; }
  virtual int GetCustomizeMinWidth() const { return 0; }
  virtual void SetWidth(int /*nWidth*/) {}
  virtual CTKControl* Clone(BOOL bRecursive = FALSE);
  virtual void DoPropExchange(CTKPropExchange* pPX);

  // ---- What assistive tools see; every operation but the parent's takes only the control itself (child 0).
  HRESULT AccParent(IDispatch** ppdispParent) override;
  HRESULT AccChildCount(long* pcountChildren) override;
  HRESULT AccChild(VARIANT varChild, IDispatch** ppdispChild) override;
  HRESULT AccName(VARIANT varChild, BSTR* pszName) override;
  HRESULT AccDescription(VARIANT varChild, BSTR* pszDescription) override;
  HRESULT AccRole(VARIANT varChild, VARIANT* pvarRole) override;
  HRESULT AccState(VARIANT varChild, VARIANT* pvarState) override;
  HRESULT AccDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
  HRESULT AccDoDefaultAction(VARIANT varChild) override;
  HRESULT AccSelect(long flagsSelect, VARIANT varChild) override;
  HRESULT AccLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild) override;
  HRESULT AccHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
  CCmdTarget* AccOwner() override { return this; }
  // The caption without mnemonics, then a tab and the shortcut text when there is one.
  CString GetAccessibleName() const;

  DWORD m_nTag = 0;
  CDocTemplateMap m_mapDocTemplatesAssigned;
  CDocTemplateMap m_mapDocTemplatesExcluded;

protected:
  friend class CTKControls;

  int m_nIndex = 0;
  int m_nId = 0;
  int m_nIconId = 0;
  int m_nCustomIconId = 0;
  BOOL m_bWrap = FALSE;
  BOOL m_bBeginGroup = FALSE;
  BOOL m_bEnabled = TRUE;
  BOOL m_bChecked = FALSE;
  int m_nSelected = 0;
  int m_bPressed = 0;
  BOOL m_bTemporary = FALSE;
  CRect m_rcRow;
  CRect m_rcControl;
  DWORD m_dwHideFlags = 0;
  DWORD m_dwFlags = 0;
  CString m_strCaption;
  CString m_strCustomCaption;
  CString m_strShortcutText;
  CString m_strShortcutTextAuto;
  CString m_strTooltipText;
  CString m_strDescriptionText;
  CString m_strParameter;
  CTKControls* m_pControls = nullptr;
  int m_controlType = tkControlError;
  CTKCommandBar* m_pParent = nullptr;
  BOOL m_bHiddenByUsage = FALSE;
  CString m_strCategory;
  BOOL m_bDefaultItem = FALSE;
  int m_nStyle = 0;
  int m_nCustomStyle = 0;
  BOOL m_bCloseSubMenuOnClick = TRUE;
};

// A caption-only item that is never selected.
class CTKControlLabel : public CTKControl {
  DECLARE_SERIAL(CTKControlLabel)
public:
  CTKControlLabel();
  int GetSelected() const override { return 0; }
  BOOL IsCustomizeMovable() const override { return TRUE; }
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
};
