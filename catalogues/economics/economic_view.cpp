#include "catalogues/economics/economic_view.h"

#include "catalogues/economics/cost_estimate.h"
#include "catalogues/economics/economic_price_dialog.h"
#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/shell/shell_services.h"
#include "platform/com/comerror.h"
#include "platform/mfc/afxwin.h"
#include "report/protocol/report_strings.h"
#include "report/view/report_help.h"
#include "report/view/rich_edit_stream.h"
#include "res/program_ids.h"

#include <algorithm>
#include <cmath>

namespace VisualCtrl {

namespace {

constexpr UINT ID_EDIT_COPY_COMMAND = res::program::ID_EDIT_COPY;
constexpr UINT ID_ECONOMIC_PARAMETERS = res::program::ID_ECONOMIC_PARAMETERS;
constexpr UINT ID_HELP_COMMAND = 57670;
constexpr UINT kHelpKeyword = 636;  // "Экономические результаты"
constexpr UINT ID_CALCULATE = 32772;
constexpr UINT kPaneId = 32777;
constexpr int kMarginTwips = 720;
// The rich edit keeps its selection while hidden; the platform names it only as an option.
constexpr DWORD ES_SAVESEL = 0x00008000;
constexpr int kWheelControlOnly = 0x0008;  // MK_CONTROL
// F5 pressed once: repeat count 1, scan code 0x3F, not held before.
constexpr UINT kFreshF5KeyData = 0x3F0001;

constexpr int kFirstColumnTwips = 2470;
constexpr int kMinColumnTwips = 1500;
constexpr const char* kNotAvailable = "{н/д}";

const char* const kRowCaptions[] = {
    "{\\b Затраты, руб.\\b0}", "{Капитальные}",         "{    ОП и ИС}",  "{    Опоры и кронштейны}",
    "{Эксплуатационные}",      "{    Электроэнергия}", "{    Замена ИС}", "{    Чистка ОП}",
    "{    Амортизация}",       "{\\b Полные годовые:\\b0}",
};
constexpr int kRows = 10;

template <class I>
ModelRef<I> DocumentPart(IQorRoadDoc* document, const IID& iid)
{
  void* part = nullptr;
  if (document == nullptr || FAILED(document->QueryInterface(iid, &part)))
    part = nullptr;
  return ModelRef<I>::Adopt(static_cast<I*>(part));
}

bool AreaHasResults(IArea* area)
{
  ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
  return results && results->GetData()->valid != 0;
}

CString Bold(const CString& text) { return "{\\b " + text + "\\b0}"; }

CString FigureText(double figure)
{
  return std::isfinite(figure) ? FormatGroupedNumber(figure) : CString(kNotAvailable);
}

}  // namespace

CString EconomicAreaName(IArea* area)
{
  CString kind;
  if (IsOfClass(area, CLSID_CStraightRoad)) {
    kind = LoadReportString(IDS_REPORT_STRAIGHT_ROAD);
  } else if (IsOfClass(area, CLSID_CCustomizeRoad) || IsOfClass(area, CLSID_CCustomizeRoad3D)) {
    if (const UINT id = TypicalFormStringId(*area->GetTypicalForm()))
      kind = LoadReportString(id);
  }
  const CString tag = "[" + kind + "]";
  CString name = *area->GetCaption();
  const int at = name.Find(tag);
  if (at > 0 && name.GetLength() > tag.GetLength())
    name.Delete(at, tag.GetLength());
  return name;
}

int EconomicColumnWidth(const CString& name) { return std::max(kMinColumnTwips, 120 * name.GetLength() + 300); }

IMPLEMENT_DYNAMIC(CEconomicView, CRichEditView)

BEGIN_MESSAGE_MAP(CEconomicView, CRichEditView)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_KEYDOWN()
  ON_WM_MOUSEWHEEL()
  ON_WM_SIZE()
  ON_WM_RBUTTONUP()
  ON_MESSAGE(UM_SHOWOBJECT, &CEconomicView::OnRecalculate)
  ON_COMMAND(ID_ECONOMIC_PARAMETERS, &CEconomicView::OnEconomicParameters)
  ON_COMMAND(ID_HELP_COMMAND, &CEconomicView::OnHelp)
END_MESSAGE_MAP()

CEconomicView::CEconomicView(IQorRoadDoc* document) : m_document(document) {}

void CEconomicView::OnHelp() { ShowProgramHelp(this, kHelpKeyword); }

CEconomicView::~CEconomicView() { m_writer.CloseIfOpen(); }

BOOL CEconomicView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nID == ID_EDIT_COPY_COMMAND && nCode == 0 && pHandlerInfo == nullptr)
    SendMessage(WM_COPY, 0, 0);
  return CRichEditView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CEconomicView::PreCreateWindow(CREATESTRUCT& cs)
{
  cs.style &= ~WS_BORDER;
  cs.dwExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
  return CRichEditView::PreCreateWindow(cs);
}

int CEconomicView::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CRichEditView::OnCreate(lpcs) == -1)
    return -1;
  // The view shows the document without being one of its views.
  m_pDocument = dynamic_cast<CDocument*>(m_document);
  m_copyBitmap.LoadBitmap(res::program::IDB_REPORT_COPY_MARK);
  m_parametersBitmap.LoadBitmap(res::program::IDB_ECONOMIC_PARAMETERS_MARK);
  return 0;
}

void CEconomicView::OnDestroy()
{
  m_pDocument = nullptr;
  m_copyBitmap.DeleteObject();
  m_parametersBitmap.DeleteObject();
  m_writer.CloseIfOpen();
  CRichEditView::OnDestroy();
}

void CEconomicView::OnInitialUpdate()
{
  if (m_font.m_hObject == nullptr)
    m_font.CreateFont(15, 10, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CRichEditView::OnInitialUpdate();
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.m_hObject), FALSE);
  SetMargins(CRect(kMarginTwips, kMarginTwips, kMarginTwips, kMarginTwips));
  m_nWordWrap = WrapNone;
  WrapChanged();
  GetRichEditCtrl().SetReadOnly(TRUE);
  m_zoom = m_zoomKept != 0 ? static_cast<int>(Shell::GetProfileInt("Report", "EcZoom", 100)) : 100;
  if (m_zoom > 100 || m_zoom < 0)
    m_zoom = 100;
  ApplyRichEditZoom(this, m_zoom);
}

BOOL CEconomicView::PreTranslateMessage(MSG* pMsg)
{
  // The rich edit would take F5 itself; here it starts the calculation, once per press.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F5) {
    OnKeyDown(VK_F5, LOWORD(pMsg->lParam), HIWORD(pMsg->lParam));
    return TRUE;
  }
  return CRichEditView::PreTranslateMessage(pMsg);
}

void CEconomicView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
  if (nChar == VK_F5) {
    const UINT keyData = (static_cast<UINT>(nFlags) << 16) | (nRepCnt & 0xFFFF);
    if (keyData == kFreshF5KeyData) {
      CWnd* main = CWnd::FromHandlePermanent(Shell::GetMainWindow());
      if (main != nullptr && main->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        main->PostMessage(WM_COMMAND, ID_CALCULATE, 0);
    }
    return;
  }
  CRichEditView::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CEconomicView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
  if (m_zoomKept == 0) {
    if (nFlags == kWheelControlOnly)
      return TRUE;
    return CRichEditView::OnMouseWheel(nFlags, zDelta, pt);
  }
  CRichEditView::OnMouseWheel(nFlags, zDelta, pt);
  m_zoom = KeepWheelZoom(this, "EcZoom");
  return TRUE;
}

void CEconomicView::OnSize(UINT nType, int cx, int cy)
{
  CRichEditView::OnSize(nType, cx, cy);
  ApplyRichEditZoom(this, m_zoom);
}

void CEconomicView::OnRButtonUp(UINT nFlags, CPoint point)
{
  CPoint screen = point;
  ClientToScreen(&screen);
  CMenu menu;
  if (menu.LoadMenu(res::program::IDR_ECONOMICS_CONTEXT)) {
    if (CMenu* popup = menu.GetSubMenu(0)) {
      popup->SetMenuItemBitmaps(ID_EDIT_COPY_COMMAND, MF_BYCOMMAND, &m_copyBitmap, &m_copyBitmap);
      popup->SetMenuItemBitmaps(ID_ECONOMIC_PARAMETERS, MF_BYCOMMAND, &m_parametersBitmap, &m_parametersBitmap);
      long start = 0;
      long end = 0;
      GetRichEditCtrl().GetSel(start, end);
      if (start == end)
        popup->EnableMenuItem(ID_EDIT_COPY_COMMAND, MF_BYCOMMAND | MF_GRAYED);
      ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
      ::HideCaret(m_hWnd);
      popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
    }
    menu.DestroyMenu();
  }
  CRichEditView::OnRButtonUp(nFlags, point);
}

LRESULT CEconomicView::OnRecalculate(WPARAM, LPARAM)
{
  CRichEditCtrl& control = GetRichEditCtrl();
  control.SetReadOnly(FALSE);
  control.Clear();
  m_writer.CloseIfOpen();
  BuildCostTable();
  StreamRtfIntoRichEdit(m_writer.GetFile(), this);
  control.SetReadOnly(TRUE);
  Invalidate(TRUE);
  return 0;
}

int CEconomicView::BuildCostTable()
{
  if (m_writer.IsOpen() || m_writer.Open() == 0)
    return 0;
  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  if (!project)
    return 1;

  struct Column {
    IArea* area;
    CString name;
    bool hasResults;
  };
  std::vector<Column> columns;
  CRTFColumn columnList;
  columnList.AddColumn(kFirstColumnTwips, 0);
  bool anyResults = false;
  ModelRef<IArea> first(project.get(), IID_IArea);
  for (IArea* area = first.get(); area; area = area->GetNext()) {
    if (*area->GetEconomicOutput() == 0)
      continue;
    const bool hasResults = AreaHasResults(area);
    if (hasResults) {
      m_neverCalculated = 0;
      anyResults = true;
    }
    const CString name = EconomicAreaName(area);
    columns.push_back({area, name, hasResults});
    columnList.AddColumn(EconomicColumnWidth(name), 2);
  }

  m_writer.SetFont(2, 20, 0);
  if (!anyResults) {
    m_writer.WriteLineBreaks(1);
    m_writer.SetFont(2, 20, 0);
    m_writer.WriteText(LoadReportString(m_neverCalculated != 0 ? IDS_REPORT_NOT_CALCULATED : IDS_REPORT_DATA_CHANGED));
    return 1;
  }

  CRTFRowList rows;
  for (int r = 0; r < kRows; ++r)
    rows.AddRow();
  CRTFCellGrid grid(rows, columnList);
  m_writer.SetFont(2, 20, 0);
  for (int r = 0; r < kRows; ++r)
    grid.SetCell(kRowCaptions[r], 0, r);
  int column = 1;
  for (const Column& c : columns) {
    // The name is the user's: escaped, so that a brace in it cannot break the document.
    grid.SetCell(Bold(EscapeRtfText(c.name)), column, 0);
    if (!c.hasResults) {
      for (int r = 1; r < kRows; ++r)
        grid.SetCell(kNotAvailable, column, r);
    } else {
      const Economics::tag_AREA_COSTS costs = Economics::ComputeAreaCosts(project.get(), c.area);
      for (int r = 1; r < kRows; ++r) {
        const CString text = FigureText(Economics::CostFigure(costs, r - 1));
        grid.SetCell(r == kRows - 1 && text != kNotAvailable ? Bold(text) : text, column, r);
      }
    }
    ++column;
  }
  m_writer.WriteTable(grid);
  return 1;
}

void CEconomicView::OnEconomicParameters()
{
  if (m_document == nullptr)
    return;
  m_document->PushUndoState();
  INT_PTR answer = IDCANCEL;
  try {
    CDlgEconomPrice dialog(this, m_document);
    answer = dialog.DoModal();
  } catch (const _com_error&) {
    // The price database failed: the dialog's changes are dropped as if it had been cancelled.
    answer = IDCANCEL;
  }
  if (answer == IDOK)
    PostMessage(UM_SHOWOBJECT, 0, 0);
  else
    m_document->Undo();
}

BEGIN_MESSAGE_MAP(CEcnmContainerWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_MESSAGE(UM_SHOWOBJECT, &CEcnmContainerWnd::OnRefresh)
END_MESSAGE_MAP()

CEcnmContainerWnd::CEcnmContainerWnd(IQorRoadDoc* document)
    : m_document(document), m_pView(new CEconomicView(document))
{
}

CEcnmContainerWnd::~CEcnmContainerWnd()
{
  if (m_viewWindow == nullptr) {
    delete m_pView;
  } else if (::IsWindow(m_viewWindow)) {
    m_pView->DestroyWindow();  // the view deletes itself
  }
}

int CEcnmContainerWnd::OnCreate(LPCREATESTRUCT lpcs)
{
  if (CWnd::OnCreate(lpcs) == -1)
    return -1;
  if (m_viewWindow == nullptr) {
    const DWORD style = WS_CHILD | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_NOHIDESEL | ES_SAVESEL;
    if (!m_pView->Create(nullptr, "", style, CRect(0, 0, 0, 0), this, kPaneId))
      return -1;
    m_viewWindow = m_pView->m_hWnd;
    m_pView->SendMessage(UM_SHOWOBJECT, 0, 0);
  }
  return 0;
}

void CEcnmContainerWnd::OnSize(UINT nType, int cx, int cy)
{
  CWnd::OnSize(nType, cx, cy);
  if (m_viewWindow != nullptr && ::IsWindow(m_viewWindow)) {
    m_pView->MoveWindow(0, 0, cx, cy, TRUE);
    m_pView->ShowWindow(SW_SHOW);
  }
}

LRESULT CEcnmContainerWnd::OnRefresh(WPARAM wParam, LPARAM lParam)
{
  if (m_viewWindow != nullptr && ::IsWindow(m_viewWindow))
    m_pView->SendMessage(UM_SHOWOBJECT, wParam, lParam);
  return 1;
}

BOOL CEcnmContainerWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
  const UINT id = LOWORD(wParam);
  if ((id == ID_HELP_COMMAND || id == ID_ECONOMIC_PARAMETERS) && lParam == 0 && m_viewWindow != nullptr &&
      ::IsWindow(m_viewWindow)) {
    m_pView->SendMessage(WM_COMMAND, id, 0);
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

}  // namespace VisualCtrl
