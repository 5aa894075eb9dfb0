#include "platform/mfc/richedit.h"

#include "platform/base/module.h"
#include "platform/mfc/dc.h"
#include "platform/mfc/printing.h"

#include <algorithm>

BOOL AfxInitRichEdit2()
{
  richedit::RegisterRichEditLibrary();
  // Loaded once for the program's life, as the framework keeps it.
  static HMODULE library = LoadLibrary("RICHED20.DLL");
  return library != nullptr ? TRUE : FALSE;
}

BOOL AfxInitRichEdit() { return AfxInitRichEdit2(); }

// ---------------------------------------------------------------------------------------------------------------
// CRichEditCtrl

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  if (!AfxInitRichEdit2()) {
    return FALSE;
  }
  return CWnd::Create(RICHEDIT_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

long CRichEditCtrl::StreamIn(int nFormat, EDITSTREAM& es)
{
  return static_cast<long>(SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
}

long CRichEditCtrl::StreamOut(int nFormat, EDITSTREAM& es)
{
  return static_cast<long>(SendMessage(EM_STREAMOUT, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
}

BOOL CRichEditCtrl::SetZoom(int nNumerator, int nDenominator)
{
  return static_cast<BOOL>(SendMessage(EM_SETZOOM, static_cast<WPARAM>(nNumerator), nDenominator));
}

BOOL CRichEditCtrl::GetZoom(int& nNumerator, int& nDenominator) const
{
  return static_cast<BOOL>(
      SendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&nNumerator), reinterpret_cast<LPARAM>(&nDenominator)));
}

COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr)
{
  return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, static_cast<WPARAM>(bSysColor), cr));
}

BOOL CRichEditCtrl::SetReadOnly(BOOL bReadOnly)
{
  return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly), 0));
}

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask)
{
  return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, dwEventMask));
}

DWORD CRichEditCtrl::GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK, 0, 0)); }

BOOL CRichEditCtrl::SetTargetDevice(HDC hDC, long lLineWidth)
{
  return static_cast<BOOL>(SendMessage(EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(hDC), lLineWidth));
}

void CRichEditCtrl::SetOptions(WORD wOp, DWORD dwFlags) { SendMessage(EM_SETOPTIONS, wOp, dwFlags); }

DWORD CRichEditCtrl::GetOptions() const { return static_cast<DWORD>(SendMessage(EM_GETOPTIONS, 0, 0)); }

void CRichEditCtrl::LimitText(long nChars) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }

long CRichEditCtrl::GetLimitText() const { return static_cast<long>(SendMessage(EM_GETLIMITTEXT, 0, 0)); }

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& cf)
{
  cf.cbSize = sizeof(CHARFORMAT);
  return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
}

void CRichEditCtrl::RequestResize() { SendMessage(EM_REQUESTRESIZE, 0, 0); }

void CRichEditCtrl::GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
  CHARRANGE cr{};
  GetSel(cr);
  nStartChar = cr.cpMin;
  nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
  CHARRANGE cr{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
  SetSel(cr);
}

void CRichEditCtrl::HideSelection(BOOL bHide, BOOL bPerm)
{
  SendMessage(EM_HIDESELECTION, static_cast<WPARAM>(bHide), bPerm);
}

CString CRichEditCtrl::GetSelText() const
{
  CHARRANGE cr{};
  GetSel(cr);
  std::vector<char> buffer(static_cast<size_t>(std::max(0L, static_cast<long>(cr.cpMax - cr.cpMin))) + 1, '\0');
  SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return CString(buffer.data());
}

WORD CRichEditCtrl::GetSelectionType() const { return static_cast<WORD>(SendMessage(EM_SELECTIONTYPE, 0, 0)); }

long CRichEditCtrl::GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH, 0, 0)); }

long CRichEditCtrl::GetTextLengthEx(DWORD dwFlags, UINT uCodePage) const
{
  GETTEXTLENGTHEX ex{dwFlags, uCodePage};
  return static_cast<long>(SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ex), 0));
}

int CRichEditCtrl::GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT, 0, 0)); }

int CRichEditCtrl::GetFirstVisibleLine() const
{
  return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0));
}

int CRichEditCtrl::LineIndex(int nLine) const
{
  return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(nLine), 0));
}

long CRichEditCtrl::LineFromChar(long nIndex) const
{
  return static_cast<long>(SendMessage(EM_EXLINEFROMCHAR, 0, nIndex));
}

BOOL CRichEditCtrl::LineScroll(int nLines, int nChars)
{
  return static_cast<BOOL>(SendMessage(EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines));
}

long CRichEditCtrl::FormatRange(FORMATRANGE* pfr, BOOL bDisplay)
{
  return static_cast<long>(SendMessage(EM_FORMATRANGE, static_cast<WPARAM>(bDisplay), reinterpret_cast<LPARAM>(pfr)));
}

BOOL CRichEditCtrl::CanPaste(UINT nFormat) const
{
  return static_cast<BOOL>(SendMessage(EM_CANPASTE, nFormat, 0));
}

void CRichEditCtrl::Copy() { SendMessage(WM_COPY, 0, 0); }
void CRichEditCtrl::Cut() { SendMessage(WM_CUT, 0, 0); }
void CRichEditCtrl::Paste() { SendMessage(WM_PASTE, 0, 0); }
void CRichEditCtrl::Clear() { SendMessage(WM_CLEAR, 0, 0); }

void CRichEditCtrl::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
  SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
}

// ---------------------------------------------------------------------------------------------------------------
// CCtrlView

IMPLEMENT_DYNAMIC(CCtrlView, CView)

BEGIN_MESSAGE_MAP(CCtrlView, CView)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CCtrlView::CCtrlView(LPCSTR lpszClass, DWORD dwStyle) : m_strClass(lpszClass), m_dwDefaultStyle(dwStyle) {}

BOOL CCtrlView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.lpszClass = m_strClass;
  cs.style |= static_cast<LONG>(m_dwDefaultStyle);
  return CView::PreCreateWindow(cs);
}

void CCtrlView::OnDraw(CDC*) {}

void CCtrlView::OnPaint() { Default(); }

// ---------------------------------------------------------------------------------------------------------------
// CRichEditView

IMPLEMENT_DYNCREATE(CRichEditView, CCtrlView)

BEGIN_MESSAGE_MAP(CRichEditView, CCtrlView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

// The control's own limit (32767 typed characters) would cut a long report.
constexpr long kViewTextLimit = 0xFFFFFFF;

}  // namespace

CRichEditView::CRichEditView()
    : CCtrlView(RICHEDIT_CLASSA, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL |
                                     ES_AUTOVSCROLL | ES_MULTILINE | ES_NOHIDESEL)
{
}

CRichEditView::~CRichEditView() { m_ctrl.m_hWnd = nullptr; }

CRichEditCtrl& CRichEditView::GetRichEditCtrl() const
{
  m_ctrl.m_hWnd = m_hWnd;
  return m_ctrl;
}

BOOL CRichEditView::PreCreateWindow(CREATESTRUCT& cs)
{
  AfxInitRichEdit2();
  return CCtrlView::PreCreateWindow(cs);
}

int CRichEditView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CCtrlView::OnCreate(lpcs) != 0) {
    return -1;
  }
  CRichEditCtrl& ctrl = GetRichEditCtrl();
  ctrl.LimitText(kViewTextLimit);
  ctrl.SetEventMask(ENM_SELCHANGE | ENM_CHANGE | ENM_SCROLL);
  WrapChanged();
  return 0;
}

void CRichEditView::OnDestroy()
{
  CView::OnDestroy();
}

void CRichEditView::OnSize(UINT nType, int cx, int cy)
{
  CCtrlView::OnSize(nType, cx, cy);
}

void CRichEditView::OnInitialUpdate() { CCtrlView::OnInitialUpdate(); }

void CRichEditView::WrapChanged()
{
  CRichEditCtrl& ctrl = GetRichEditCtrl();
  switch (m_nWordWrap) {
  case WrapNone:
    ctrl.SetTargetDevice(nullptr, 1);
    break;
  case WrapToTargetDevice:
    ctrl.SetTargetDevice(nullptr, std::max(2L, static_cast<long>(GetPrintRect().Width())));
    break;
  default:
    ctrl.SetTargetDevice(nullptr, 0);
    break;
  }
}

CRect CRichEditView::GetPageRect() const { return CRect(0, 0, m_sizePaper.cx, m_sizePaper.cy); }

CRect CRichEditView::GetPrintRect() const
{
  return CRect(m_rectMargin.left, m_rectMargin.top, m_sizePaper.cx - m_rectMargin.right,
               m_sizePaper.cy - m_rectMargin.bottom);
}

long CRichEditView::PrintPage(CDC* pDC, long nIndexStart, long nIndexStop)
{
  FORMATRANGE fr{};
  fr.hdc = pDC->m_hDC;
  fr.hdcTarget = pDC->m_hAttribDC != nullptr ? pDC->m_hAttribDC : pDC->m_hDC;
  fr.rcPage = GetPageRect();
  fr.rc = GetPrintRect();
  fr.chrg.cpMin = static_cast<LONG>(nIndexStart);
  fr.chrg.cpMax = static_cast<LONG>(nIndexStop);
  return GetRichEditCtrl().FormatRange(&fr, TRUE);
}

BOOL CRichEditView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

void CRichEditView::OnBeginPrinting(CDC*, CPrintInfo*)
{
  GetRichEditCtrl().FormatRange(nullptr, FALSE);
  m_aPageStart.clear();
  m_aPageStart.push_back(0);
}

void CRichEditView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
  if (pInfo == nullptr) {
    CCtrlView::OnPrepareDC(pDC, pInfo);
    return;
  }
  ::SetMapMode(pDC->m_hDC, MM_TEXT);
  if (m_aPageStart.empty()) {
    m_aPageStart.push_back(0);
  }
  pInfo->m_bContinuePrinting = TRUE;
  if (pInfo->m_nCurPage > m_aPageStart.size() && !PaginateTo(pDC, pInfo)) {
    // The text ends before this page.
    pInfo->m_bContinuePrinting = FALSE;
  }
}

BOOL CRichEditView::PaginateTo(CDC* pDC, CPrintInfo* pInfo)
{
  const CRect rectSave = pInfo->m_rectDraw;
  const UINT nPageSave = pInfo->m_nCurPage;
  const int saved = pDC->SaveDC();
  // Nothing of the pages passed over may show.
  ::IntersectClipRect(pDC->m_hDC, 0, 0, 0, 0);
  pInfo->m_nCurPage = static_cast<UINT>(m_aPageStart.size());
  while (pInfo->m_nCurPage < nPageSave) {
    OnPrepareDC(pDC, pInfo);
    pInfo->m_rectDraw = CRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    OnPrint(pDC, pInfo);
    if (pInfo->m_nCurPage == m_aPageStart.size()) {
      break;  // the text ended on this page
    }
    ++pInfo->m_nCurPage;
  }
  const BOOL reached = pInfo->m_nCurPage == nPageSave ? TRUE : FALSE;
  pDC->RestoreDC(saved);
  pInfo->m_nCurPage = nPageSave;
  pInfo->m_rectDraw = rectSave;
  return reached;
}

void CRichEditView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
  const UINT nPage = pInfo->m_nCurPage;
  if (nPage == 0 || nPage > m_aPageStart.size()) {
    return;
  }
  const long length = GetRichEditCtrl().GetTextLengthEx(GTL_PRECISE | GTL_NUMCHARS);
  const long next = PrintPage(pDC, m_aPageStart[nPage - 1], -1);
  if (next >= length) {
    pInfo->SetMaxPage(nPage);
  }
  if (nPage == m_aPageStart.size() && next < length) {
    m_aPageStart.push_back(next);
  }
}

void CRichEditView::OnEndPrinting(CDC*, CPrintInfo*)
{
  GetRichEditCtrl().FormatRange(nullptr, FALSE);
  m_aPageStart.clear();
}

// ---------------------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CRichEditCntrItem, CObject)

CRichEditCntrItem::CRichEditCntrItem(REOBJECT*, CDocument* pContainer) : m_pDocument(pContainer) {}
