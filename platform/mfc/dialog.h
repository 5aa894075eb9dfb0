// CDialog: a dialog window made from a template, bound to its object from WM_INITDIALOG on. Modal
// (DoModal, answered by the modal responder when there is no screen) or modeless (Create, CreateIndirect).
// The dialog manager does the keyboard: Tab and Shift+Tab, arrows within a group, Enter for the default
// button, Escape for Cancel.
//
// Its members reach the controls through DoDataExchange (ddx.h): OnInitDialog shows them (UpdateData(FALSE)),
// OnOK reads and checks them (UpdateData(TRUE)) and closes the dialog with IDOK only when that succeeds.
// While an exchange runs the dialog's controls are not heard: a text the exchange sets reports no change.
#pragma once

#include "platform/mfc/dc.h"
#include "platform/mfc/ddx.h"
#include "platform/mfc/wnd.h"
#include "platform/user/dialog.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
public:
  CDialog();
  // The template is a DIALOG resource of the resource handle's module, by id or by name.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Modeless: the window is made, initialised and shown when its template says WS_VISIBLE. A modeless
  // dialog's OnOK and OnCancel should destroy it (the default only hides it).
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  virtual BOOL CreateIndirect(const void* lpDialogTemplate, CWnd* pParentWnd = nullptr);

  // Modal: runs the dialog over its disabled owner (the parent, else the main window) and answers the value
  // given to EndDialog; -1 when the dialog could not be made. The template must outlive DoModal.
  BOOL InitModalIndirect(const void* lpDialogTemplate, CWnd* pParentWnd = nullptr);
  virtual INT_PTR DoModal();
  // Closes the dialog with nResult; a modal run ends, a modeless dialog is hidden.
  void EndDialog(int nResult);

  // The focus to the next or previous control in the tab order, or to pWndCtrl (an edit's text selected).
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  // The default push button, the one Enter presses. GetDefID: MAKELONG(id, DC_HASDEFID), 0 when none.
  void SetDefID(UINT nID);
  DWORD GetDefID() const;

  // FALSE when a check failed (the user has been told and the control has the focus).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // The dialog is made and its controls exist; TRUE gives the focus to the first control of the tab order.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  // Keys of the dialog go to the dialog manager. A modal dialog's loop, like the application's, offers every
  // message to this for the window it goes to and its parents first.
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // The default colours of a control (ON_WM_CTLCOLOR handlers start from it).
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  UINT m_nIDHelp = 0;

protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // WM_NOTIFY: the notification goes to the ON_NOTIFY entries of the map.
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  CWnd* m_pParentWnd = nullptr;
  LPCSTR m_lpszTemplateName = nullptr;  // MAKEINTRESOURCE(id), or m_strTemplateName's text
  CString m_strTemplateName;
  const void* m_lpDialogTemplate = nullptr;

  LRESULT OnSetDefId(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  using CWnd::Create;
  const void* FindTemplate() const;
  HWND OwnerWindow() const;
  BOOL CreateFromTemplate(const void* lpDialogTemplate, CWnd* pParentWnd);
  HWND DefaultButton() const;

  UINT m_nDefID = 0;  // set by SetDefID; 0: the template's BS_DEFPUSHBUTTON
};

// The dialog procedure of CDialog windows: binds the object on WM_INITDIALOG and calls OnInitDialog.
INT_PTR AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
