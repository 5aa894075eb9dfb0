// The rich edit control as framework objects: CRichEditCtrl wraps the control's messages; CCtrlView makes a
// control window a view; CRichEditView is the view that is a rich edit control, with its word wrap, margins and
// paper, and printing of its text page by page through EM_FORMATRANGE.
#pragma once

#include "platform/mfc/view.h"
#include "platform/mfc/wnd.h"
#include "platform/richedit/richedit.h"

#include <vector>

// Makes the control's classes known ("RichEdit20A" and the rest) and loads its library, as the framework's call
// of that name does; TRUE when the library is there.
BOOL AfxInitRichEdit2();
BOOL AfxInitRichEdit();

class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)
public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  long StreamIn(int nFormat, EDITSTREAM& es);
  long StreamOut(int nFormat, EDITSTREAM& es);

  BOOL SetZoom(int nNumerator, int nDenominator);
  BOOL GetZoom(int& nNumerator, int& nDenominator) const;
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  DWORD SetEventMask(DWORD dwEventMask);
  DWORD GetEventMask() const;
  BOOL SetTargetDevice(HDC hDC, long lLineWidth);
  void SetOptions(WORD wOp, DWORD dwFlags);
  DWORD GetOptions() const;
  void LimitText(long nChars = 0);
  long GetLimitText() const;
  BOOL SetDefaultCharFormat(CHARFORMAT& cf);
  void RequestResize();

  void GetSel(CHARRANGE& cr) const;
  void GetSel(long& nStartChar, long& nEndChar) const;
  void SetSel(CHARRANGE& cr);
  void SetSel(long nStartChar, long nEndChar);
  void HideSelection(BOOL bHide, BOOL bPerm);
  CString GetSelText() const;
  WORD GetSelectionType() const;

  long GetTextLength() const;
  long GetTextLengthEx(DWORD dwFlags, UINT uCodePage = 0) const;
  int GetLineCount() const;
  int GetFirstVisibleLine() const;
  int LineIndex(int nLine = -1) const;
  long LineFromChar(long nIndex) const;
  BOOL LineScroll(int nLines, int nChars = 0);

  // Lays out and, with bDisplay, draws one page; answers the first character that did not fit. Null frees the
  // control's page layout.
  long FormatRange(FORMATRANGE* pfr, BOOL bDisplay = TRUE);

  BOOL CanPaste(UINT nFormat = 0) const;
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE);
};

// A view that is a control of another class: it is created with that class, and the control paints itself.
class CCtrlView : public CView {
  DECLARE_DYNAMIC(CCtrlView)
public:
  CCtrlView(LPCSTR lpszClass, DWORD dwStyle);

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnDraw(CDC* pDC) override;
  void OnPaint();

protected:
  CString m_strClass;
  DWORD m_dwDefaultStyle;

  DECLARE_MESSAGE_MAP()
};

class CRichEditView : public CCtrlView {
  DECLARE_DYNCREATE(CRichEditView)
public:
  CRichEditView();
  ~CRichEditView() override;

  enum WordWrapType { WrapNone = 0, WrapToWindow = 1, WrapToTargetDevice = 2 };

  // The control behind the view (the same window).
  CRichEditCtrl& GetRichEditCtrl() const;

  // Applies m_nWordWrap: no wrapping, wrapping to the window, or to the printed line (paper less margins).
  virtual void WrapChanged();
  void SetMargins(const CRect& rectMargin) { m_rectMargin = rectMargin; }
  CRect GetMargins() const { return m_rectMargin; }
  void SetPaperSize(CSize sizePaper) { m_sizePaper = sizePaper; }
  CSize GetPaperSize() const { return m_sizePaper; }
  // Twips: the whole page, and the page less the margins.
  CRect GetPageRect() const;
  CRect GetPrintRect() const;
  long GetTextLength() const { return GetRichEditCtrl().GetTextLength(); }

  // Lays out and draws the text from nIndexStart on one page of pDC; answers where the next page starts.
  long PrintPage(CDC* pDC, long nIndexStart, long nIndexStop);
  // Finds the starts of the pages before pInfo's current page; FALSE when the text ends earlier.
  BOOL PaginateTo(CDC* pDC, CPrintInfo* pInfo);

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void OnInitialUpdate() override;
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
  void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();

  int m_nWordWrap = WrapToWindow;
  // Where each printed page starts, found while printing.
  std::vector<long> m_aPageStart;

protected:
  CRect m_rectMargin{1800, 1440, 1800, 1440};
  CSize m_sizePaper{11906, 16838};

  DECLARE_MESSAGE_MAP()

private:
  // Speaks to the view's own window; never bound to it, so the window keeps the view as its object.
  mutable CRichEditCtrl m_ctrl;
};

// An OLE object inside rich text, made by its document's client-item factory (CDocument::CreateClientItem).
// Embedded objects are not shown; the class is there for the programs that derive their item class from it.
struct REOBJECT;
class CRichEditCntrItem : public CObject {
  DECLARE_DYNCREATE(CRichEditCntrItem)
public:
  explicit CRichEditCntrItem(REOBJECT* preo = nullptr, CDocument* pContainer = nullptr);

  // The document that holds the item.
  CDocument* GetDocument() const { return m_pDocument; }

private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;
};
