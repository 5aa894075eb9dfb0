// The shell's small dialogs: the About box, the update dialog and the depth-buffer warning, and the update
// check's windows made of them. They paint themselves and their controls white.
#pragma once

#include "app/shell/frame_workers.h"
#include "platform/mfc/afxwin.h"
#include "toolkit/controls/hyperlink.h"

#include <atomic>

namespace shell {

inline constexpr UINT IDD_ABOUTBOX = 100;
inline constexpr UINT IDD_UPDATE_PROGRAM = 309;
inline constexpr UINT IDD_ZBUFFER_BITS = 726;

// "Код продукта: " and the installation id without its braces.
CString ProductCodeText(const CString& installationId);

// Settings\Transparence below 255 makes the dialog a layered window with that alpha.
void ApplyDialogTransparency(CWnd* dialog);

// A dialog whose worker may be asked to stop: it then closes itself with IDCANCEL.
class CShellDialog : public CDialog {
public:
  CShellDialog(UINT nIDTemplate, CWnd* pParent, const std::atomic<bool>* stop = nullptr);

protected:
  BOOL OnInitDialog() override;
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  BOOL OnEraseBkgnd(HDC hDC);
  void OnTimer(UINT_PTR nIDEvent);
  // "Tahoma" 28 bold, Cyrillic, on the product title 1032.
  void SetTitleFont();
  DECLARE_MESSAGE_MAP()

  CFont m_fontTitle;
  const std::atomic<bool>* m_stop = nullptr;
};

class CAboutDlg : public CShellDialog {
public:
  explicit CAboutDlg(CWnd* pParent = nullptr);
  ~CAboutDlg() override;
  CTKHyperLink m_link;

protected:
  BOOL OnInitDialog() override;
};

class CUpdateTheProgram : public CShellDialog {
public:
  CUpdateTheProgram(CWnd* pParent, const std::atomic<bool>* stop = nullptr);
  CTKHyperLink m_link;
  int m_nMode = 0;  // 0 a new version, 1 no updates
  DWORD m_nVersion = 0;
  CString m_strRelease;
  int m_nCheck = 0;
  int m_bShowBox = 0;
  CString m_strVersionText;

  // Milliseconds between a click on the link and the dialog's close.
  static inline UINT s_closeAfterLink = 1000;

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()
};

class CDlgZBufferBits : public CShellDialog {
public:
  CDlgZBufferBits(CWnd* pParent, const std::atomic<bool>* stop = nullptr);
  int m_nCheck = 0;

protected:
  void OnOK() override;
  void OnCancel() override;
};

// The update check's windows: message boxes and the update dialog over the main window.
class DialogUpdateUi : public UpdateUi {
public:
  void Report(HWND owner, UINT stringId, UINT iconFlags) override;
  bool OfferUpdate(HWND owner, const Offer& offer, const std::atomic<bool>& stop) override;
};

// The depth-buffer warning as the depth check shows it.
bool ShowDepthWarning(HWND owner, const std::atomic<bool>& stop);

}  // namespace shell
