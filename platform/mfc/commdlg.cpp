#include "platform/mfc/commdlg.h"

#include "platform/mfc/dc.h"
#include "platform/mfc/winapp.h"
#include "platform/user/global_memory.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CCommonDialog::CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }

HWND CCommonDialog::OwnerHandle() const
{
  if (m_pParentWnd != nullptr && ::IsWindow(m_pParentWnd->m_hWnd)) {
    return m_pParentWnd->m_hWnd;
  }
  CWnd* pMainWnd = AfxGetMainWnd();
  return pMainWnd != nullptr && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
}

// CFileDialog

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog)
{
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  if (lpszDefExt != nullptr) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName != nullptr) {
    std::strncpy(m_szFileName, lpszFileName, sizeof m_szFileName - 1);
  }
  if (lpszFilter != nullptr) {
    m_strFilter = lpszFilter;
    // The record wants the pairs separated by zeros; "a|b||" ends in the two zeros it needs.
    for (int i = 0; i < m_strFilter.GetLength(); ++i) {
      if (m_strFilter[i] == '|') {
        m_strFilter.SetAt(i, '\0');
      }
    }
    m_ofn.lpstrFilter = m_strFilter;
  }
}

INT_PTR CFileDialog::DoModal()
{
  m_ofn.hwndOwner = OwnerHandle();
  const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
  return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const { return CString(m_ofn.lpstrFile + m_ofn.nFileOffset); }

CString CFileDialog::GetFileExt() const
{
  const std::size_t length = std::strlen(m_ofn.lpstrFile);
  if (m_ofn.nFileExtension == 0 || m_ofn.nFileExtension >= length) {
    return CString();
  }
  return CString(m_ofn.lpstrFile + m_ofn.nFileExtension);
}

CString CFileDialog::GetFileTitle() const
{
  CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

POSITION CFileDialog::GetStartPosition() const
{
  return m_ofn.lpstrFile[0] != '\0' ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
  CString path = GetPathName();
  pos = nullptr;
  return path;
}

// CColorDialog

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
  m_cc.rgbResult = clrInit;
  m_cc.Flags = dwFlags | (clrInit != 0 ? CC_RGBINIT : 0);
  m_cc.lpCustColors = GetSavedCustomColors();
}

COLORREF* CColorDialog::GetSavedCustomColors()
{
  static COLORREF colors[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
  };
  return colors;
}

INT_PTR CColorDialog::DoModal()
{
  m_cc.hwndOwner = OwnerHandle();
  return ::ChooseColor(&m_cc) ? IDOK : IDCANCEL;
}

// CFontDialog

CFontDialog::CFontDialog(const LOGFONTA* lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
{
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = dwFlags;
  if (lplfInitial != nullptr) {
    m_lf = *lplfInitial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
  if (pdcPrinter != nullptr) {
    m_cf.hDC = pdcPrinter->GetSafeHdc();
    m_cf.Flags |= CF_PRINTERFONTS;
  }
}

INT_PTR CFontDialog::DoModal()
{
  m_cf.hwndOwner = OwnerHandle();
  m_cf.lpLogFont = &m_lf;
  return ::ChooseFont(&m_cf) ? IDOK : IDCANCEL;
}

// CPrintDialog

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
  m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : 0);
  m_pd.nFromPage = 1;
  m_pd.nToPage = 1;
  m_pd.nMinPage = 1;
  m_pd.nMaxPage = 0xFFFF;
  m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
  if (m_pd.hDC != nullptr) {
    ::DeleteDC(m_pd.hDC);
  }
}

INT_PTR CPrintDialog::DoModal()
{
  m_pd.hwndOwner = OwnerHandle();
  return ::PrintDlg(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
  m_pd.Flags |= PD_RETURNDEFAULT;
  const BOOL told = ::PrintDlg(&m_pd);
  m_pd.Flags &= ~PD_RETURNDEFAULT;
  return told;
}

HDC CPrintDialog::CreatePrinterDC()
{
  if (m_pd.hDevMode == nullptr && !GetDefaults()) {
    return nullptr;
  }
  if (m_pd.hDC != nullptr) {
    ::DeleteDC(m_pd.hDC);
  }
  const CString port = GetPortName();
  const auto* mode = static_cast<const DEVMODEA*>(::GlobalLock(m_pd.hDevMode));
  m_pd.hDC = user::commdlg::CreatePrinterDC(mode, port);
  ::GlobalUnlock(m_pd.hDevMode);
  return m_pd.hDC;
}

DEVMODEA* CPrintDialog::GetDevMode() const
{
  return m_pd.hDevMode != nullptr ? static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

CString CPrintDialog::NameAt(int which) const
{
  if (m_pd.hDevNames == nullptr) {
    return CString();
  }
  const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(m_pd.hDevNames));
  const WORD offset = which == 0 ? names->wDriverOffset : which == 1 ? names->wDeviceOffset : names->wOutputOffset;
  CString text(reinterpret_cast<const char*>(names) + offset);
  ::GlobalUnlock(m_pd.hDevNames);
  return text;
}

CString CPrintDialog::GetDriverName() const { return NameAt(0); }
CString CPrintDialog::GetDeviceName() const { return NameAt(1); }
CString CPrintDialog::GetPortName() const { return NameAt(2); }

int CPrintDialog::GetCopies() const
{
  if ((m_pd.Flags & PD_USEDEVMODECOPIES) != 0 && m_pd.hDevMode != nullptr) {
    const auto* mode = static_cast<const DEVMODEA*>(::GlobalLock(m_pd.hDevMode));
    const int copies = mode->dmCopies;
    ::GlobalUnlock(m_pd.hDevMode);
    return copies;
  }
  return m_pd.nCopies;
}

BOOL CPrintDialog::PrintCollate() const
{
  if ((m_pd.Flags & PD_USEDEVMODECOPIES) != 0 && m_pd.hDevMode != nullptr) {
    const auto* mode = static_cast<const DEVMODEA*>(::GlobalLock(m_pd.hDevMode));
    const bool collate = mode->dmCollate != 0;
    ::GlobalUnlock(m_pd.hDevMode);
    return collate ? TRUE : FALSE;
  }
  return (m_pd.Flags & PD_COLLATE) != 0 ? TRUE : FALSE;
}
