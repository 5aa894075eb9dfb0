// An edit field on a command bar: a control with an optional caption label and a child edit window, created when
// the bar first places the control. Also what the combo box shares with it: the edit window base with cut, copy
// and paste, the rich-edit library, and the watcher of the shell's auto-complete drop-down.
#pragma once

#include "toolkit/commandbars/control.h"
#include "toolkit/paint/hook_manager.h"

#include "platform/richedit/richedit.h"

// Notification codes of an edit control (with 10338).
inline constexpr UINT TKN_EDIT_SETFOCUS = 256;
inline constexpr UINT TKN_EDIT_KILLFOCUS = 512;
inline constexpr UINT TKN_EDIT_CHANGED = 768;
// Posted to the edit when the shell's drop-down shows.
inline constexpr UINT TKWM_AUTOCOMPLETE_SHOWN = 10354;

// What the paint manager reads from a field control (edit or combo box) when it measures and draws one, and the
// widths it writes back.
class CTKControlField {
public:
  virtual ~CTKControlField() = default;
  // Width of the box part, without the label.
  virtual int GetFieldWidth() const = 0;
  virtual int GetLabelWidth() const = 0;
  // A changed width makes the next positioning move the window.
  virtual void SetLabelWidth(int nWidth) = 0;
  virtual int GetButtonWidth() const { return 0; }
  virtual void SetButtonWidth(int /*nWidth*/) {}
  virtual BOOL IsFieldDroppedDown() const { return FALSE; }
};

// The rich-edit library loaded on first use: version 2 when present, else version 1, else none.
class CTKRichEditLibrary {
public:
  CTKRichEditLibrary();
  ~CTKRichEditLibrary();
  CTKRichEditLibrary(const CTKRichEditLibrary&) = delete;
  CTKRichEditLibrary& operator=(const CTKRichEditLibrary&) = delete;

  HMODULE m_hModule = nullptr;
  CString m_strClassName;
  BOOL m_bRichEdit2 = FALSE;
};
CTKRichEditLibrary* TKRichEditLibrary();

class CTKControl;

class CTKEdit : public CEdit {
  DECLARE_DYNCREATE(CTKEdit)
public:
  // Cut (57635) and copy (57634) need a selection, paste (57637) text on the clipboard; anything else is enabled.
  BOOL IsCommandEnabled(UINT nID);
  // Backspace and the keys from Page Up to Delete go to the edit as a dialog would give them.
  BOOL ProcessNavigationKey(UINT nChar, LPARAM lParam);

  virtual BOOL ShowContextMenu(CTKControl* pControl, CPoint point);
  virtual BOOL CreateEdit(DWORD dwStyle, CWnd* pParentWnd);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  BOOL m_bComposing = FALSE;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Watches for the shell's "Auto-Suggest Dropdown" while its edit has the focus, so that the bars leave it alone.
class CTKControlComboBoxAutoCompleteWnd : public CTKHookManagerHookAble {
public:
  ~CTKControlComboBoxAutoCompleteWnd() override;

  HRESULT SetupEditAutoComplete(HWND hWndEdit, DWORD dwFlags);
  void EnableHook(BOOL bEnable);
  void SetDropDownWindow(HWND hWnd);
  void HideDropDown();
  BOOL ForwardKey(UINT nChar, LPARAM lParam);
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
  BOOL IsDropDownShown() const { return m_hWndDropDown && ::IsWindowVisible(m_hWndDropDown); }
  HWND GetDropDown() const { return m_hWndDropDown; }

  HWND m_hWndDropDown = nullptr;
  HWND m_hWndEdit = nullptr;

private:
  static LRESULT CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
};

class CTKControlEdit;

// The edit window of an edit control.
class CTKControlEditCtrl : public CTKEdit {
public:
  CTKControlEdit* m_pControl = nullptr;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void PostNcDestroy() override {}
};

class CTKControlEdit : public CTKControl, public CTKControlField {
  DECLARE_SERIAL(CTKControlEdit)
public:
  CTKControlEdit();
  ~CTKControlEdit() override;

  CString GetEditText() const;
  void SetEditText(const CString& strText);
  CString GetEditHint() const { return m_strEditHint; }
  void SetEditHint(const CString& strHint);
  void SetReadOnly(BOOL bReadOnly);
  BOOL GetReadOnly() const { return m_bReadOnly; }
  void SetShellAutoComplete(DWORD dwFlags);
  // The text, or empty while it is the hint.
  CString GetEditTextWithoutHint() const;
  BOOL ShowLabel(BOOL bShow);
  BOOL IsLabelShown() const { return m_bLabel; }
  CTKControlEditCtrl* GetEditCtrl() const { return m_pEdit; }
  int GetWidth() const { return m_nWidth; }

  // ---- Field metrics the paint manager reads and writes
  int GetFieldWidth() const override { return m_nWidth; }
  int GetLabelWidth() const override { return m_nLabelWidth; }
  void SetLabelWidth(int nWidth) override;

  // ---- Control behaviour
  void SetEnabled(BOOL bEnabled) override;
  void SetFocused(BOOL bFocused) override;
  BOOL IsFocused() const override { return m_bFocused; }
  void SetRect(CRect rcControl) override;
  BOOL IsCaptionVisible() const override;
  BOOL Compare(CTKControl* pOther) override;
  void SetHideFlags(DWORD dwFlags) override;
  void OnCalcDynamicSize(DWORD dwMode) override;
  BOOL Execute() override
  {
    SetFocused(TRUE);
    return TRUE;
  }
  BOOL IsFocusable() const override { return m_pEdit && m_pEdit->GetSafeHwnd(); }
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void SetParent(CTKCommandBar* pParent) override;
  void Copy(CTKControl* pControl, BOOL bRecursive = FALSE) override;
  BOOL SetPopuped(BOOL /*bPopup*/) override { return FALSE; }
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnMouseHover() override;
  BOOL OnSetSelected(int bSelected) override;
  BOOL IsCustomizeResizeAllow() const override { return TRUE; }
  int GetCustomizeMinWidth() const override { return m_bLabel ? m_nLabelWidth + 10 : 10; }
  void SetWidth(int nWidth) override;
  CTKControl* Clone(BOOL bRecursive = FALSE) override;
  void DoPropExchange(CTKPropExchange* pPX) override;

  virtual CTKControlEditCtrl* CreateEditControl();
  virtual void OnEditSetFocus(HWND hWndPrevious);
  virtual void OnEditKillFocus();
  virtual void OnEditChanged();
  virtual void GetEditTextFormat(CHARFORMAT2A& cf);

  // The edit window's text changed (its EN_CHANGE came back to it).
  void OnEditTextChange();
  // Margins and the character format again, after a change of text or state.
  void UpdateEditFormat();
  BOOL IsHintShown() const { return m_bHintShown; }
  CTKControlComboBoxAutoCompleteWnd* GetAutoCompleteWnd() const { return m_pAutoCompleteWnd; }

protected:
  friend class CTKControlEditCtrl;
  void ShowHint();
  void ClearHint();
  void DestroyEditWindow();

  CTKControlEditCtrl* m_pEdit = nullptr;
  int m_nWidth = 100;
  BOOL m_bLabel = TRUE;
  BOOL m_bReadOnly = FALSE;
  int m_nLabelWidth = 0;
  BOOL m_bDelayReposition = FALSE;
  CString m_strEditHint;
  BOOL m_bFocused = FALSE;
  CString m_strLastText;
  mutable CString m_strEditText;
  mutable BOOL m_bEditChanged = TRUE;
  CTKControlComboBoxAutoCompleteWnd* m_pAutoCompleteWnd = nullptr;
  DWORD m_dwShellAutoCompleteFlags = 0;
  // Shown in the window while it holds no text of its own.
  BOOL m_bHintShown = FALSE;
  // Where the focus goes back to when editing ends.
  HWND m_hWndPrevFocus = nullptr;
};
