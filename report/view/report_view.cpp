#include "report/view/report_view.h"

#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/shell/shell_services.h"
#include "platform/base/fileops.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc/printing.h"
#include "platform/user/global_memory.h"
#include "report/protocol/protocol_frame.h"
#include "report/protocol/protocol_sections.h"
#include "report/protocol/results_summary.h"
#include "report/view/report_help.h"
#include "report/view/rich_edit_stream.h"
#include "res/program_ids.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace VisualCtrl {

namespace {

constexpr UINT ID_EDIT_COPY_COMMAND = res::program::ID_EDIT_COPY;
constexpr UINT kResultsHelpKeyword = 629;  // "Светотехнические результаты"
constexpr int kMarginTwips = 720;
constexpr int kWheelDeltaControl = 0x0008;  // MK_CONTROL

// Print margins of the protocol (twips): room for binding on the left, the header at the top.
const CRect kPrintMargins(1700, 1250, 500, 0);

// What ExportRtf inserts after the colour table: the header and footer of the printed pages, the protocol number
// left for the reader to fill in.
constexpr const char* kExportHeaderFooter =
    "{\\header \\pard \\qr \\f0 \\fs22 \\tab\\tab\\tab\\tab\\tab\\        Tesmira Road v.6\\f0\\fs1\\b0 \\line\\fs24"
    "\\ul\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab \\ulnone\\par}{\\footer \\pard \\qr \\f0 "
    "\\fs24 \\ul\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab\\tab \\ulnone\\line\\ql \\f0 \\fs20 "
    "Протокол № _____ \\par}";

template <class I>
ModelRef<I> DocumentPart(IQorRoadDoc* document, const IID& iid)
{
  void* part = nullptr;
  if (document == nullptr || FAILED(document->QueryInterface(iid, &part))) {
    part = nullptr;
  }
  return ModelRef<I>::Adopt(static_cast<I*>(part));
}

DWORD CollectStreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* written)
{
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                  static_cast<std::size_t>(count));
  *written = count;
  return 0;
}

// The document with the header and footer group after the first "}" that follows "colortbl"; unchanged when
// there is no colour table.
std::string WithHeaderAndFooter(const std::string& rtf)
{
  const std::size_t table = rtf.find("colortbl");
  if (table == std::string::npos) {
    return rtf;
  }
  const std::size_t end = rtf.find('}', table);
  if (end == std::string::npos) {
    return rtf;
  }
  return rtf.substr(0, end + 1) + kExportHeaderFooter + rtf.substr(end + 1);
}

}  // namespace

IMPLEMENT_DYNAMIC(CReportView, CRichEditView)

BEGIN_MESSAGE_MAP(CReportView, CRichEditView)
  ON_WM_SIZE()
  ON_WM_MOUSEWHEEL()
  ON_MESSAGE(UM_SHOWOBJECT, &CReportView::OnShowResults)
  ON_WM_SETFOCUS()
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_RBUTTONUP()
  ON_COMMAND(ID_HELP, &CReportView::OnHelp)
END_MESSAGE_MAP()

CReportView::CReportView(IQorRoadDoc* document) : m_document(document)
{
  // The sections keep nothing between builds, so every view shares one of each.
  static CStraightRoadSections straightRoad;
  static COpenSiteSections openSite;
  m_straightSections = &straightRoad;
  m_openSections = &openSite;
}

CReportView::~CReportView() { m_writer.CloseIfOpen(); }

void CReportView::SetProtocolSections(CProtocolSections* straightRoad, CProtocolSections* openSite)
{
  m_straightSections = straightRoad;
  m_openSections = openSite;
}

BOOL CReportView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nID == ID_EDIT_COPY_COMMAND && nCode == 0 && pHandlerInfo == nullptr) {
    SendMessage(WM_COPY, 0, 0);
  }
  return CRichEditView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CReportView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.style &= ~WS_BORDER;
  cs.dwExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
  return CRichEditView::PreCreateWindow(cs);
}

int CReportView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CRichEditView::OnCreate(lpcs) == -1) {
    return -1;
  }
  // The view shows the document without being one of its views.
  m_pDocument = dynamic_cast<CDocument*>(m_document);
  m_menuBitmap.LoadBitmap(res::program::IDB_REPORT_COPY_MARK);
  return 0;
}

void CReportView::OnDestroy()
{
  m_pDocument = nullptr;
  m_menuBitmap.DeleteObject();
  CRichEditView::OnDestroy();
}

void CReportView::OnHelp() { ShowProgramHelp(this, kResultsHelpKeyword); }

void CReportView::OnSetFocus(CWnd* pOldWnd) { CWnd::OnSetFocus(pOldWnd); }

void CReportView::OnRButtonUp(UINT nFlags, CPoint point)
{
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  ::HideCaret(m_hWnd);
  CMenu menu;
  if (menu.LoadMenu(res::program::IDR_REPORT_CONTEXT)) {
    CMenu* popup = menu.GetSubMenu(0);
    long start = 0;
    long end = 0;
    GetRichEditCtrl().GetSel(start, end);
    if (popup != nullptr) {
      popup->SetMenuItemBitmaps(ID_EDIT_COPY_COMMAND, MF_BYCOMMAND, &m_menuBitmap, &m_menuBitmap);
      popup->EnableMenuItem(ID_EDIT_COPY_COMMAND, MF_BYCOMMAND | (start == end ? MF_GRAYED : MF_ENABLED));
      CPoint screen = point;
      ClientToScreen(&screen);
      popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
    }
    menu.DestroyMenu();
  }
  CRichEditView::OnRButtonUp(nFlags, point);
}

void CReportView::OnInitialUpdate()
{
  if (m_font.m_hObject == nullptr) {
    m_font.CreateFont(15, 10, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  }
  CRichEditView::OnInitialUpdate();
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), FALSE);
  SetMargins(CRect(kMarginTwips, kMarginTwips, kMarginTwips, kMarginTwips));
  m_nWordWrap = WrapNone;
  WrapChanged();
  GetRichEditCtrl().SetReadOnly(TRUE);
  m_zoom = m_zoomFromProfile != 0 ? static_cast<int>(Shell::GetProfileInt("Report", "Zoom", 100)) : 100;
  ApplyRichEditZoom(this, m_zoom);
}

BOOL CReportView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
  if (m_zoomFromProfile == 0) {
    if (nFlags == kWheelDeltaControl) {
      return TRUE;
    }
    return CRichEditView::OnMouseWheel(nFlags, zDelta, pt);
  }
  CRichEditView::OnMouseWheel(nFlags, zDelta, pt);
  m_zoom = KeepWheelZoom(this, "Zoom");
  return TRUE;
}

void CReportView::OnSize(UINT nType, int cx, int cy)
{
  CRichEditView::OnSize(nType, cx, cy);
  if (m_zoomFromProfile != 0) {
    ApplyRichEditZoom(this, m_zoom);
  }
}

LRESULT CReportView::OnShowResults(WPARAM wParam, LPARAM lParam)
{
  CRichEditCtrl& control = GetRichEditCtrl();
  control.SetReadOnly(FALSE);
  control.Clear();
  m_writer.CloseIfOpen();

  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  ModelRef<IArea> area(project.get(), IID_ActiveArea);
  ModelRef<IClassObjModel> object(area.get(), IID_IClassObjModel);
  if (wParam != 0) {
    CWaitCursor wait;
    IStatisticsSession* statistics = m_document != nullptr ? m_document->GetStatisticsObject() : nullptr;
    if (IsOfClass(object.get(), CLSID_CStraightRoad)) {
      BuildFullReport(statistics, static_cast<int>(lParam));
    } else if (IsOfClass(object.get(), CLSID_CCustomizeRoad) || IsOfClass(object.get(), CLSID_CCustomizeRoad3D)) {
      BuildFullReport30(statistics, static_cast<int>(lParam));
    }
  } else {
    BuildResultsSummary();
  }
  StreamRtfIntoRichEdit(m_writer.GetFile(), this);
  control.SetReadOnly(TRUE);
  InvalidateRect(nullptr, TRUE);
  return 1;
}

int CReportView::BuildFullReport(IStatisticsSession* statistics, int print)
{
  return ::BuildFullReport(m_document, m_writer, m_neverBuilt, statistics, print, m_straightSections);
}

int CReportView::BuildFullReport30(IStatisticsSession* statistics, int print)
{
  return ::BuildFullReport30(m_document, m_writer, m_neverBuilt, statistics, print, m_openSections);
}

int CReportView::BuildResultsSummary() { return ::BuildResultsSummary(m_document, m_writer, m_neverBuilt); }

CWnd* CReportView::GetActiveView() { return GetActiveReportView(); }

int CReportView::CountPrintedPages()
{
  CClientDC dc(this);
  CRichEditCtrl& control = GetRichEditCtrl();
  // Counted with the margins the pages are printed with, so that the dialog offers the pages that come out.
  const CRect savedMargins = GetMargins();
  SetMargins(kPrintMargins);
  const long length = control.GetTextLengthEx(GTL_PRECISE | GTL_NUMCHARS);
  FORMATRANGE range{};
  range.hdc = range.hdcTarget = dc.m_hDC;
  range.rcPage = GetPageRect();
  int pages = 0;
  long start = 0;
  do {
    range.rc = GetPrintRect();
    range.chrg = CHARRANGE{static_cast<LONG>(start), -1};
    const long next = control.FormatRange(&range, FALSE);
    ++pages;
    if (next <= start) {
      break;
    }
    start = next;
  } while (start < length);
  control.FormatRange(nullptr, FALSE);
  SetMargins(savedMargins);
  return pages;
}

BOOL CReportView::OnPreparePrinting(CPrintInfo* pInfo)
{
  pInfo->SetMaxPage(static_cast<UINT>(CountPrintedPages()));
  m_aPageStart.clear();

  PRINTDLG defaults{};
  if (afx_print::GetPrinterDeviceDefaults(&defaults) && afx_print::AppDevMode() != nullptr) {
    if (auto* mode = static_cast<DEVMODE*>(GlobalLock(afx_print::AppDevMode()))) {
      mode->dmOrientation = DMORIENT_PORTRAIT;
      mode->dmPaperSize = DMPAPER_A4SMALL;
      mode->dmColor = DMCOLOR_MONOCHROME;
      mode->dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COLOR;
      GlobalUnlock(afx_print::AppDevMode());
    }
  }
  pInfo->m_pPD->m_pd.Flags |= PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE;
  pInfo->m_pPD->m_pd.Flags &= ~PD_SHOWHELP;
  return DoPreparePrinting(pInfo);
}

void CReportView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
  CRichEditCtrl& control = GetRichEditCtrl();
  control.SetBackgroundColor(FALSE, RGB(255, 255, 255));
  SetMargins(kPrintMargins);
  control.SetOptions(ECOOP_SET, ECO_AUTOVSCROLL | ECO_AUTOHSCROLL | ECO_WANTRETURN);
  m_nWordWrap = WrapNone;
  WrapChanged();
  CRichEditView::OnBeginPrinting(pDC, pInfo);
}

void CReportView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
  if (pInfo != nullptr) {
    pInfo->SetMaxPage(pInfo->GetToPage());
  }
  CRichEditView::OnPrepareDC(pDC, pInfo);
}

void CReportView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) { CRichEditView::OnEndPrinting(pDC, pInfo); }

void CReportView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
  const int width = MulDiv(pDC->GetDeviceCaps(PHYSICALWIDTH), 1440, pDC->GetDeviceCaps(LOGPIXELSX));
  const int height = MulDiv(pDC->GetDeviceCaps(PHYSICALHEIGHT), 1440, pDC->GetDeviceCaps(LOGPIXELSY));
  const double scaleX = pInfo->m_bPreview ? 0.97 : 0.96;
  const double scaleY = pInfo->m_bPreview ? 0.86 : 0.96;
  pDC->SetMapMode(MM_ANISOTROPIC);
  pDC->SetViewportOrg(0, 0);
  pDC->SetViewportExt(width, height);
  pDC->SetWindowOrg(0, 0);
  pDC->SetWindowExt(static_cast<int>(width / scaleX), static_cast<int>(height / scaleY));
  CRichEditView::OnPrint(pDC, pInfo);

  if (m_document == nullptr) {
    return;
  }
  ModelRef<IVisualOpt> options = DocumentPart<IVisualOpt>(m_document, IID_IVisualOpt);
  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  ModelRef<IArea> area(project.get(), IID_ActiveArea);
  ModelRef<IResultsOfCalc> results(area.get(), IID_IResultsOfCalc);
  const _CALC_RESULTS* block = results ? results->GetData() : nullptr;
  if (block == nullptr || block->valid == 0 || !options || !project) {
    return;
  }

  pDC->SetMapMode(MM_ANISOTROPIC);
  pDC->SetViewportExt(pDC->GetDeviceCaps(PHYSICALWIDTH) - 2 * pDC->GetDeviceCaps(PHYSICALOFFSETX),
                      pDC->GetDeviceCaps(PHYSICALHEIGHT) - 2 * pDC->GetDeviceCaps(PHYSICALOFFSETY));
  pDC->SetWindowExt(width, height);
  pDC->SetViewportOrg(0, 0);
  pDC->SetWindowOrg(0, 0);

  CFont header;
  header.CreateFont(height / 70, height / 165, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                    VARIABLE_PITCH, "MS Sans Serif");
  CFont footer;
  footer.CreateFont(height / 85, height / 200, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                    VARIABLE_PITCH, "MS Sans Serif");
  CPen pen(PS_SOLID, 10, RGB(0, 0, 0));
  CPen* oldPen = pDC->SelectObject(&pen);
  CFont* oldFont = pDC->SelectObject(&header);
  pDC->SetTextColor(RGB(0, 0, 0));

  tag_ITEM_PREF_OF_REPORT titlePage{};
  options->GetReportPreferences()->GetItem(kItemTitlePage, &titlePage);
  const CRect margins = GetMargins();
  const int left = margins.left - 200;
  const int right = width - margins.right - 500;
  if (titlePage.state == 0 || pInfo->m_nCurPage != 1) {
    pDC->SetTextAlign(TA_RIGHT);
    const CString product("Tesmira Road v.6");
    pDC->TextOut(right, height * 12 / 400, product);
    pDC->MoveTo(left, height * 5 / 100);
    pDC->LineTo(right, height * 5 / 100);

    const int ruleY = height - 5 * height / 90;
    pDC->MoveTo(left, ruleY);
    pDC->LineTo(right, ruleY);
    const int textY = ruleY + height / 200;
    pDC->SelectObject(&footer);
    CString page;
    page.Format("стр. %d", static_cast<int>(pInfo->m_nCurPage));
    pDC->TextOut(right, textY, page);
    pDC->SetTextAlign(TA_LEFT);
    pDC->TextOut(left, textY, "Протокол № " + *project->GetProtocolNumber());
  }
  pDC->SelectObject(oldPen);
  pDC->SelectObject(oldFont);
  pDC->SetTextAlign(TA_LEFT);
}

BOOL CReportView::ExportRtf(LPCTSTR path, CString* reason)
{
  CWaitCursor wait;
  std::string rtf;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, &CollectStreamOut};
  GetRichEditCtrl().StreamOut(SF_RTF, stream);
  if (stream.dwError != 0) {
    if (reason != nullptr) {
      *reason = "текст отчёта не получен";
    }
    return FALSE;
  }
  // The exported file is replaced only by a complete one, on the disk; until then it stays as it was.
  const int error = platform::WriteFileWhole(path, WithHeaderAndFooter(rtf));
  if (error != 0 && reason != nullptr) {
    *reason = platform::WriteFailureReason(error).c_str();
  }
  return error == 0;
}

}  // namespace VisualCtrl
