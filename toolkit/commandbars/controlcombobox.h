// A combo box on a command bar. Its popup bar is a list: a popup bar whose window is a list box, so the list
// opens, tracks and closes like any popup while list-box messages fill and query it. In drop-down-list style the
// control draws the chosen text itself; the drop-down style types into an edit window of its own.
#pragma once

#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/controledit.h"

class CTKControlComboBox;
class CTKControlComboBoxEditCtrl;
class CTKControlComboBoxAutoCompleteWnd;

// Notification codes the combo box sends with 10338 (those of the Windows combo box).
inline constexpr UINT TKN_CBN_SELCHANGE = 1;
inline constexpr UINT TKN_CBN_SETFOCUS = 3;
inline constexpr UINT TKN_CBN_KILLFOCUS = 4;
inline constexpr UINT TKN_CBN_EDITCHANGE = 5;
inline constexpr UINT TKN_CBN_DROPDOWN = 7;
inline constexpr UINT TKN_CBN_CLOSEUP = 8;
inline constexpr UINT TKN_CBN_SELENDOK = 9;
inline constexpr UINT TKN_CBN_SELENDCANCEL = 10;

inline constexpr int tkBarComboBoxList = 6;

class CTKControlComboBoxList : public CTKPopupBar {
  DECLARE_SERIAL(CTKControlComboBoxList)
public:
  CTKControlComboBoxList();
  BOOL CreateListWindow();
  BOOL Popup(CTKControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  // The list box lays its items out itself: its size is set only as it opens.
  void DelayLayout() override {}
  void Copy(CTKCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
  // The popup bar's values, then the list's strings in the section "Items".
  void DoPropExchange(CTKPropExchange* pPX) override;
  // The keys a closed or open list takes for its combo box: 1 handled, 0 not.
  int ProcessListKey(CTKControlComboBox* pComboBox, UINT nChar);
  CTKControlComboBox* GetOwnerCombo() const { return m_pComboBox; }
  void SetListWidth(int nWidth) { m_nListWidth = nWidth; }

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  CTKControlComboBox* m_pComboBox = nullptr;
  int m_nListWidth = 0;
};

// The edit window of a combo box in drop-down style, a child of the combo's bar.
class CTKControlComboBoxEditCtrl : public CTKEdit {
public:
  CTKControlComboBox* m_pControl = nullptr;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void PostNcDestroy() override {}
};

class CTKControlComboBox : public CTKControlPopup, public CTKControlField {
  DECLARE_SERIAL(CTKControlComboBox)
public:
  CTKControlComboBox();
  ~CTKControlComboBox() override;

  int GetCurSel() const;
  void SetCurSel(int nIndex);
  BOOL IsDroppedDown() const;
  BOOL HasListWindow() const;
  CTKControlComboBoxList* GetListBar() const { return dynamic_cast<CTKControlComboBoxList*>(m_pCommandBar); }
  int GetDropDownItemCount() const { return m_nDropDownItemCount; }
  void SetDropDownItemCount(int nCount) { m_nDropDownItemCount = nCount; }
  int GetComboStyle() const { return m_comboStyle; }
  void SetComboStyle(int nStyle) { m_comboStyle = nStyle; }
  int GetWidth() const { return m_nWidth; }
  BOOL GetDropDownStyle() const { return m_bDropDown; }
  // On: the combo types into an edit window of its own (made when the bar first places it); off: none.
  void SetDropDownStyle(BOOL bDropDown);
  CTKControlComboBoxEditCtrl* GetEditCtrl() const { return m_pEdit; }
  // The shell's completion of the typed text (SHAutoComplete flags; 0: none), set up once the edit window exists.
  void SetShellAutoComplete(DWORD dwFlags);
  DWORD GetShellAutoComplete() const { return m_dwShellAutoCompleteFlags; }
  CTKControlComboBoxAutoCompleteWnd* GetAutoCompleteWatcher() const { return m_pAutoCompleteWnd; }
  void SetAutoComplete(BOOL bAutoComplete) { m_bAutoComplete = bAutoComplete; }
  CString GetEditText() const;
  void SetEditText(const CString& strText);
  CString GetEditHint() const { return m_strEditHint; }
  void SetEditHint(const CString& strHint);
  CString GetEditTextWithoutHint() const;
  int GetFieldWidth() const override { return m_nWidth; }
  int GetLabelWidth() const override { return m_nLabelWidth; }
  // A changed width makes the next positioning move the window.
  void SetLabelWidth(int nWidth) override;
  int GetButtonWidth() const override { return m_nButtonWidth; }
  void SetButtonWidth(int nWidth) override;
  BOOL IsFieldDroppedDown() const override { return IsDroppedDown(); }
  int GetEditIconId() const { return m_nEditIconId; }
  void SetEditIconId(int nId) { m_nEditIconId = nId; }

  void SetEnabled(BOOL bEnabled) override;
  void SetRect(CRect rcControl) override;
  void SetFocused(BOOL bFocused) override;
  BOOL IsFocused() const override { return m_bFocused; }
  BOOL IsCaptionVisible() const override;
  BOOL Compare(CTKControl* pOther) override;
  void SetHideFlags(DWORD dwFlags) override;
  void OnExecute() override;
  void OnCalcDynamicSize(DWORD dwMode) override;
  BOOL Execute() override;
  BOOL IsFocusable() const override { return TRUE; }
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void SetParent(CTKCommandBar* pParent) override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  BOOL SetPopuped(BOOL bPopup) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnMouseHover() override;
  BOOL OnSetSelected(int bSelected) override;
  BOOL IsCustomizeResizeAllow() const override { return TRUE; }
  int GetCustomizeMinWidth() const override { return m_nLabelWidth + m_nButtonWidth + 5; }
  void SetWidth(int nWidth) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  void DoPropExchange(CTKPropExchange* pPX) override;

  virtual CString GetListBoxText() const;
  // The paint manager draws the frame, label and button; the box's text comes after.
  void Draw(CDC* pDC) override;
  virtual void DrawEditText(CDC* pDC, CRect rcText);
  virtual CString GetDisplayText() const { return GetListBoxText(); }
  virtual void OnSelChanged();
  virtual void OnEditChanged();
  virtual CTKControlComboBoxEditCtrl* CreateEditControl() { return new CTKControlComboBoxEditCtrl; }
  virtual void OnEditSetFocus(HWND hWndPrevious);
  virtual void OnEditKillFocus();
  // The edit window's left edge moves right past the edit icon.
  virtual void AdjustEditRect(CRect& rcEdit);

protected:
  friend class CTKControlComboBoxEditCtrl;
  void OnEditTextChange();
  void DestroyEditWindow();
  void ApplyShellAutoComplete();

  CTKControlComboBoxEditCtrl* m_pEdit = nullptr;
  BOOL m_bDropDown = FALSE;
  int m_comboStyle = 0;
  int m_nWidth = 100;
  int m_nLastSel = -1;
  CString m_strLastText;
  BOOL m_bDelayReposition = FALSE;
  int m_nLabelWidth = 0;
  int m_nButtonWidth = 15;
  CString m_strEditHint;
  BOOL m_bAutoComplete = FALSE;
  BOOL m_bIgnoreAutoComplete = FALSE;
  DWORD m_dwShellAutoCompleteFlags = 0;
  BOOL m_bFocused = FALSE;
  int m_nEditIconId = 0;
  BOOL m_bSelEndOk = FALSE;
  int m_nDropDownItemCount = 12;
  CString m_strEditText;
  BOOL m_bEditChanged = TRUE;
  CTKControlComboBoxAutoCompleteWnd* m_pAutoCompleteWnd = nullptr;
  int m_nCurSel = -1;
  // Where the focus goes back to when editing ends.
  HWND m_hWndPrevFocus = nullptr;
};
