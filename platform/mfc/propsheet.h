// CPropertySheet and CPropertyPage over the window system's property sheets (platform/user/prsht.h).
//
// A page is a CDialog made when its tab is first chosen. The sheet tells it what happens through virtual
// functions: OnSetActive when it becomes the current page, OnKillActive when it is left or before Apply/OK
// (FALSE keeps it: its values are wrong), OnApply for every page made so far on Apply and OK (FALSE keeps the
// sheet open on that page; the default calls OnOK), OnReset for every page made on Cancel (the default calls
// OnCancel), OnQueryCancel before that (FALSE keeps the sheet open). SetModified enables Apply.
//
// DoModal answers IDOK when some Apply or OK saved the pages' values, IDCANCEL otherwise (as the system's
// sheet answers 1 and 0). Without a screen the modal responder is asked with the sheet made and its first
// page shown; a responder may switch pages and press buttons on it before it answers.
#pragma once

#include "platform/mfc/dialog.h"
#include "platform/mfc/wnd.h"
#include "platform/user/prsht.h"

#include <vector>

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
public:
  CPropertyPage();
  // The tab shows the caption string when given, else the template's caption.
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  explicit CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption = 0);
  ~CPropertyPage() override;
  void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
  void Construct(LPCSTR lpszTemplateName, UINT nIDCaption = 0);

  // What the sheet is given. A caller may point it at a template in memory (PSP_DLGINDIRECT, pResource)
  // before the sheet is made.
  PROPSHEETPAGE m_psp;

  void SetModified(BOOL bChanged = TRUE);
  void CancelToClose();
  LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel();
  // A page's OK and Cancel do not close anything: the sheet does.
  void OnOK() override;
  void OnCancel() override;

  // Keys go to the sheet, whose dialog manager covers its pages.
  BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  CString m_strCaption;
  BOOL m_bFirstSetActive = TRUE;

private:
  friend class CPropertySheet;
  void CommonConstruct(LPCSTR lpszTemplateName, UINT nIDCaption);
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;
  void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  void Construct(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

  // Flags (PSH_NOAPPLYNOW, PSH_HASHELP, ...) a caller may set before the sheet is made.
  PROPSHEETHEADER m_psh;

  virtual INT_PTR DoModal();
  // Modeless: the sheet's window, shown; OK and Cancel leave it for its owner to destroy (GetActivePage()
  // answers null then).
  virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
  // The sheet's window has its tabs, buttons and first page.
  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;

  int GetPageCount() const;
  CPropertyPage* GetPage(int nPage) const;
  int GetPageIndex(CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  CWnd* GetTabControl() const;
  void SetTitle(LPCSTR lpszText, UINT nStyle = 0);
  BOOL PressButton(int nButton);
  // Closes the sheet as its OK button (IDOK) or Cancel button (anything else) would.
  void EndDialog(int nEndID);

protected:
  CWnd* m_pParentWnd = nullptr;
  CString m_strCaption;
  std::vector<CPropertyPage*> m_pages;

private:
  HWND OwnerWindow() const;
  void BuildHeader(std::vector<PROPSHEETPAGE>& descriptions);
  static int SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
};
