// The common dialogs as framework classes: CFileDialog, CColorDialog, CFontDialog and CPrintDialog. Each fills
// its record (m_ofn, m_cc, m_cf, m_pd) in its constructor; the program may change the record before DoModal,
// which runs the window system's dialog over the parent (else the main window) and answers IDOK or IDCANCEL.
#pragma once

#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/dialog.h"
#include "platform/user/commdlg.h"

class CDC;

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
public:
  explicit CCommonDialog(CWnd* pParentWnd);

protected:
  HWND OwnerHandle() const;
};

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
public:
  // The filter as the framework writes it: "Name|*.a;*.b|Name|*.c||".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);

  INT_PTR DoModal() override;

  // After IDOK: "/a/b/name.ext", "name.ext", "ext" (no dot), "name".
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  // The chosen files one by one; one path, as the dialog chooses one.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  OPENFILENAME m_ofn;

protected:
  BOOL m_bOpenFileDialog;
  CString m_strFilter;  // the pairs with zeros in place of '|'
  CString m_strDefExt;
  char m_szFileName[MAX_PATH * 2] = {};
  char m_szFileTitle[MAX_PATH] = {};
};

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)
public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
  // The sixteen custom colours every colour dialog of the program shares, white at start.
  static COLORREF* GetSavedCustomColors();

  CHOOSECOLOR m_cc;
};

class CFontDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFontDialog)
public:
  explicit CFontDialog(const LOGFONTA* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                       CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

  INT_PTR DoModal() override;
  void GetCurrentFont(LOGFONTA* lplf) const { *lplf = m_lf; }
  CString GetFaceName() const { return CString(m_lf.lfFaceName); }
  int GetSize() const { return m_cf.iPointSize; }  // tenths of a point
  COLORREF GetColor() const { return m_cf.rgbColors; }
  int GetWeight() const { return static_cast<int>(m_lf.lfWeight); }
  BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD ? TRUE : FALSE; }
  BOOL IsItalic() const { return m_lf.lfItalic != 0 ? TRUE : FALSE; }
  BOOL IsUnderline() const { return m_lf.lfUnderline != 0 ? TRUE : FALSE; }
  BOOL IsStrikeOut() const { return m_lf.lfStrikeOut != 0 ? TRUE : FALSE; }

  CHOOSEFONT m_cf;
  LOGFONTA m_lf;
};

class CPrintDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CPrintDialog)
public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  // The DC made for the print goes with the dialog; the settings' handles stay the program's.
  ~CPrintDialog() override;

  INT_PTR DoModal() override;
  // The default printer's settings into m_pd without asking anyone.
  BOOL GetDefaults();
  // A printer DC for the settings chosen; it stays in m_pd.hDC.
  HDC CreatePrinterDC();
  HDC GetPrinterDC() const { return m_pd.hDC; }

  // The settings' memory stays locked while the program holds the pointer, as the framework's callers expect.
  DEVMODEA* GetDevMode() const;
  CString GetDriverName() const;
  CString GetDeviceName() const;
  CString GetPortName() const;  // the PDF file
  int GetCopies() const;
  BOOL PrintCollate() const;
  BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
  BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
  BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
  int GetFromPage() const { return PrintRange() ? m_pd.nFromPage : -1; }
  int GetToPage() const { return PrintRange() ? m_pd.nToPage : -1; }

  PRINTDLG m_pd;

private:
  CString NameAt(int which) const;
};
