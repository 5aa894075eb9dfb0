// The pages of the customise sheet: commands by category, the toolbars with the new-toolbar dialog, keyboard
// shortcuts, and the options.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/propsheet.h"
#include "toolkit/commandbars/shortcut_manager.h"

#include <vector>

class CTKCommandBars;
class CTKCommandBar;
class CTKControl;
class CTKControls;
class CTKCustomizeSheet;

struct TK_COMMANDBARS_CATEGORYINFO {
  TK_COMMANDBARS_CATEGORYINFO(const CString& strName, CTKCommandBars* pCommandBars);
  ~TK_COMMANDBARS_CATEGORYINFO();
  TK_COMMANDBARS_CATEGORYINFO(const TK_COMMANDBARS_CATEGORYINFO&) = delete;
  TK_COMMANDBARS_CATEGORYINFO& operator=(const TK_COMMANDBARS_CATEGORYINFO&) = delete;
  CString strCategory;
  CTKControls* pControls;
};

// Categories of commands built from menus; the commands and keyboard pages each keep their own.
class CTKCustomizeCategories {
public:
  explicit CTKCustomizeCategories(CTKCommandBars* pCommandBars) : m_pCommandBars(pCommandBars) {}
  ~CTKCustomizeCategories();
  CTKCustomizeCategories(const CTKCustomizeCategories&) = delete;
  CTKCustomizeCategories& operator=(const CTKCustomizeCategories&) = delete;

  // One category per top-level popup of the menu; FALSE when the menu cannot be loaded.
  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems);
  // bPopupCaptions: copies of a popup's commands are named "popup | command" (the keyboard page's way).
  BOOL AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems, BOOL bPopupCaptions = FALSE);
  CTKControls* GetControls(const CString& strCategory, int nIndex = -1);
  TK_COMMANDBARS_CATEGORYINFO* FindCategory(const CString& strCategory) const;
  TK_COMMANDBARS_CATEGORYINFO* GetCategoryInfo(int nIndex) const;
  int GetCount() const { return static_cast<int>(m_arrCategories.size()); }
  TK_COMMANDBARS_CATEGORYINFO* Insert(const CString& strCategory, int nIndex);

private:
  CTKCommandBars* m_pCommandBars;
  std::vector<TK_COMMANDBARS_CATEGORYINFO*> m_arrCategories;
};

class CTKCustomizeCommandsPage : public CPropertyPage {
  DECLARE_DYNAMIC(CTKCustomizeCommandsPage)
public:
  class CCommandsListBox : public CListBox {
  public:
    void DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct);
    // Selects the entry under the point and starts its drag; FALSE when no entry is there.
    BOOL StartDrag(CPoint point);
    CTKCustomizeCommandsPage* m_pPage = nullptr;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  };

  explicit CTKCustomizeCommandsPage(CTKCustomizeSheet* pSheet);
  ~CTKCustomizeCommandsPage() override;

  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
  BOOL AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems = FALSE);
  void InsertAllCommandsCategory(UINT nIDString, int nIndex = -1);
  BOOL InsertBuiltInMenus(UINT nIDResource, UINT nIDString, int nIndex = -1);
  void InsertNewMenuCategory(UINT nIDString, int nIndex = -1);
  CTKControls* GetControls(const CString& strCategory, int nIndex = -1);
  TK_COMMANDBARS_CATEGORYINFO* FindCategory(const CString& strCategory) const;
  TK_COMMANDBARS_CATEGORYINFO* GetCategoryInfo(int nIndex) const;
  int GetCategoryCount() const { return m_categories.GetCount(); }

  BOOL OnInitDialog() override;
  void OnCategorySelChange();
  CTKCommandBars* GetCommandBars() const;

  CCommandsListBox m_lstCommands;
  CListBox m_lstCategories;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
  CTKCustomizeSheet* m_pSheet;
  CTKCustomizeCategories m_categories;
};

class CTKNewToolbarDlg : public CDialog {
public:
  CTKNewToolbarDlg(CWnd* pParent, CTKCommandBars* pCommandBars, CTKCommandBar* pBar = nullptr);
  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  // The first "Toolbar n" no bar has, from n = 1.
  CString MakeDefaultName() const;
  // The checks of OK without the dialog: TRUE when it would close with IDOK; *pnEnd gets IDCANCEL when the ids ran out.
  BOOL Validate(int* pnEnd);

  int m_nNewID = 0;
  CString m_strToolbar;

private:
  CTKCommandBar* m_pBar;
  CTKCommandBars* m_pCommandBars;
};

class CTKCustomizeToolbarsPage : public CPropertyPage {
  DECLARE_DYNAMIC(CTKCustomizeToolbarsPage)
public:
  explicit CTKCustomizeToolbarsPage(CTKCustomizeSheet* pSheet);

  BOOL OnInitDialog() override;
  void RefreshToolbarsList();
  void OnToolbarsSelChange();
  void OnToolbarsCheckChange();
  void OnNewToolbar();
  void OnRenameToolbar();
  void OnDeleteToolbar();
  void OnResetToolbar();

  CCheckListBox m_lstToolbars;
  CButton m_btnReset;
  CButton m_btnRename;
  CButton m_btnDelete;
  CButton m_btnNew;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  CTKCommandBar* SelectedBar() const;
  CTKCustomizeSheet* m_pSheet;
};

class CTKCustomizeKeyboardPage : public CPropertyPage {
  DECLARE_DYNAMIC(CTKCustomizeKeyboardPage)
public:
  explicit CTKCustomizeKeyboardPage(CTKCustomizeSheet* pSheet);

  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
  BOOL AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems = FALSE);
  CTKControls* GetControls(const CString& strCategory, int nIndex = -1);
  TK_COMMANDBARS_CATEGORYINFO* FindCategory(const CString& strCategory) const;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void OnCategorySelChange();
  void RefreshCommandsList();
  void OnCommandsSelChange();
  void RefreshKeysList();
  void EnableControls();
  void OnAssign();
  void OnRemove();
  void OnResetAll();

  CListBox m_lstKeys;
  CListBox m_lstCommands;
  CComboBox m_cmbCategories;
  CTKShortcutManager::CKeyAssign m_editShortcut;
  CString m_strDesc;
  int m_nCategory = 0;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  CTKControl* SelectedCommand() const;
  CTKShortcutManager* ShortcutManager() const;
  CTKCustomizeSheet* m_pSheet;
  CTKCustomizeCategories m_categories;
};

class CTKCustomizeOptionsPageGroupLine : public CStatic {
protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CTKCustomizeOptionsPage : public CPropertyPage {
  DECLARE_DYNAMIC(CTKCustomizeOptionsPage)
public:
  explicit CTKCustomizeOptionsPage(CTKCustomizeSheet* pSheet);

  BOOL OnInitDialog() override;
  void OnAlwaysShowFullMenus();
  void OnShowFullAfterDelay();
  void OnLargeIcons();
  void OnScreenTips();
  void OnShortcutsInTips();
  void OnResetUsageData();
  void OnAnimationChanged();

  BOOL m_bAlwaysShowFullMenus;
  BOOL m_bShowFullAfterDelay;
  BOOL m_bLargeIcons;
  BOOL m_bToolBarScreenTips;
  BOOL m_bToolBarAccelTips;
  CComboBox m_cmbAnimation;
  CTKCustomizeOptionsPageGroupLine m_wndGroupMenus;
  CTKCustomizeOptionsPageGroupLine m_wndGroupOther;
  int m_nAnimationType;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  void ApplyEnabling();
  CTKCustomizeSheet* m_pSheet;
};
