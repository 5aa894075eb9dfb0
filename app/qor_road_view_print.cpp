// The view prints and previews the calculation report through its hidden report child, renders the report's
// pictures while the child builds, and copies its picture to the clipboard.
#include "app/qor_road_view.h"

#include "app/main_frame.h"
#include "app/resource.h"
#include "document/graphic_core.h"
#include "graphics/core/clipboard_copy.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/view_services.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/preview.h"
#include "platform/mfc/printing.h"
#include "report/view/report_view.h"
#include "report/view/user_preview_view.h"

#include <memory>

namespace {

// The panes a print preview puts aside, in the order of the view's flags, with their toggle commands.
struct AsidePane {
  int id;
  UINT toggle;
};
constexpr AsidePane kAsidePanes[] = {{kPaneParameters, ids::ID_PANE_PARAMETERS},
                                     {kPaneObjects, ids::ID_PANE_OBJECTS},
                                     {kPaneLighting, ids::ID_PANE_LIGHTING},
                                     {kPaneEconomics, ids::ID_PANE_ECONOMICS}};

// While the report child builds, the report's pictures come from the view's picture renderer; whatever the
// program installed before answers the rest and comes back afterwards.
class ReportPictureServices : public CViewServices {
public:
  explicit ReportPictureServices(CQorRoadView* owner) : m_owner(owner), m_previous(GetViewServices())
  {
    SetViewServices(this);
  }
  ~ReportPictureServices() override { SetViewServices(&m_previous); }
  ReportPictureServices(const ReportPictureServices&) = delete;
  ReportPictureServices& operator=(const ReportPictureServices&) = delete;

  BOOL RenderViewToBitmap(CWnd* view, int width, int height, CBitmap* bitmap, IGroupOfDev* group) override
  {
    auto* target = dynamic_cast<CQorRoadView*>(view);
    return (target ? target : m_owner)->RenderReportPicture(width, height, bitmap, group);
  }
  void SetNavigatorCursor(int mode, HWND view) override { m_previous.SetNavigatorCursor(mode, view); }
  BOOL ShowsGroupNumbers() override { return m_previous.ShowsGroupNumbers(); }

private:
  CQorRoadView* m_owner;
  CViewServices& m_previous;
};

// The first word of the active area's results block is 1.
bool ActiveResultsValid(IQorRoadDoc* document)
{
  void* part = nullptr;
  if (!document || FAILED(document->QueryInterface(IID_IProject, &part)))
    part = nullptr;
  ModelRef<IProject> project = ModelRef<IProject>::Adopt(static_cast<IProject*>(part));
  ModelRef<IArea> area(project.get(), IID_ActiveArea);
  ModelRef<IResultsOfCalc> results(area.get(), IID_IResultsOfCalc);
  const _CALC_RESULTS* data = results ? results->GetData() : nullptr;
  return data && data->valid == 1;
}

}  // namespace

// ---- The framework's printing calls, answered by the report child

BOOL CQorRoadView::OnPreparePrinting(CPrintInfo* pInfo)
{
  return m_pReportChild ? m_pReportChild->OnPreparePrinting(pInfo) : FALSE;
}

void CQorRoadView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
  if (m_pReportChild)
    m_pReportChild->OnBeginPrinting(pDC, pInfo);
}

void CQorRoadView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
  if (m_pReportChild)
    m_pReportChild->OnPrint(pDC, pInfo);
}

void CQorRoadView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
  if (m_pReportChild && pInfo)
    m_pReportChild->OnPrepareDC(pDC, pInfo);
  else
    CScrollView::OnPrepareDC(pDC, pInfo);
}

void CQorRoadView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
  if (m_pReportChild)
    m_pReportChild->OnEndPrinting(pDC, pInfo);
  else
    CScrollView::OnEndPrinting(pDC, pInfo);
  if (m_pCore)
    m_pCore->Render(TRUE, TRUE);
}

// ---- Preparing the report

BOOL CQorRoadView::PrepareReport(int print)
{
  CWaitCursor wait;
  if (m_pReportChild && !ActiveResultsValid(m_pDocument))
    if (HWND mainWindow = Shell::GetMainWindow())
      ::SendMessage(mainWindow, WM_COMMAND, Shell::ID_QOR_NEED_RESULTS, 0);
  if (!m_pDocument || !m_pDocument->PrepareProtocol())
    return FALSE;
  if (!m_pReportChild)
    return TRUE;
  std::unique_ptr<CRoadPictureRenderer> renderer;
  if (CGraphicCoreFull* core = FullCore())
    renderer = std::make_unique<CRoadPictureRenderer>(core);
  m_pPictureRenderer = renderer.get();
  {
    ReportPictureServices pictures(this);
    m_pReportChild->SendMessage(UM_SHOWOBJECT, 1, print);
  }
  m_pPictureRenderer = nullptr;
  return TRUE;
}

DWORD CQorRoadView::ReportPictureFlags()
{
  const DWORD viewMode = m_pDocument ? m_pDocument->GetViewMode() : 0;
  auto* document = dynamic_cast<CQorRoadDoc*>(GetDocument());
  IVisualOpt* options = document ? document->GetCurrentOptions() : nullptr;
  const int quantity = options ? *options->GetQuantity() : 0;
  const int display = options ? *options->GetResultDisplay() : 0;
  CGraphicCoreFull* core = FullCore();
  if (core)
    core->RefreshProjectState();
  const BOOL straight = core && core->IsStraightRoad();
  return PictureFlagsFromViewMode(viewMode, quantity, display, straight);
}

BOOL CQorRoadView::RenderReportPicture(int width, int height, CBitmap* bitmap, IGroupOfDev* group)
{
  if (!m_pPictureRenderer)
    return FALSE;
  return m_pPictureRenderer->Render(ReportPictureFlags(), bitmap, width, height, group);
}

// ---- Print and print preview

void CQorRoadView::OnPrintReport()
{
  if (!PrepareReport(1))
    return;
  if (CGraphicCoreFull* core = FullCore(); core && core->IsStraightRoad())
    core->Render(TRUE, FALSE);
  // Within this command's routing: the framework tells the direct print from the one with the dialog.
  CView::OnFilePrint();
}

void CQorRoadView::OnPrintPreviewReport()
{
  if (!PrepareReport(0))
    return;
  PutPanesAside();
  m_printPreview = TRUE;
  auto* state = new CPrintPreviewState;
  if (!DoPrintPreview(ids::IDD_PROTOCOL_PREVIEW_BAR, m_pReportChild, RUNTIME_CLASS(CUserPreviewView), state)) {
    AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_OK | MB_ICONEXCLAMATION);
    delete state;
    // Nothing is previewed: the panes come back and the frame is no longer in preview.
    BringPanesBack();
  }
}

void CQorRoadView::PutPanesAside()
{
  auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
  for (std::size_t i = 0; i < std::size(kAsidePanes); ++i) {
    const AsidePane& pane = kAsidePanes[i];
    m_paneWasOpen[i] = frame && frame->IsPaneOpen(pane.id);
    if (!frame)
      continue;
    // The results pane ends closed either way; a closed one is shown once first.
    if (pane.id == kPaneLighting && !m_paneWasOpen[i])
      frame->SendMessage(WM_COMMAND, pane.toggle);
    if (m_paneWasOpen[i] || pane.id == kPaneLighting)
      frame->SendMessage(WM_COMMAND, pane.toggle);
  }
}

void CQorRoadView::BringPanesBack()
{
  if (!m_printPreview)
    return;
  auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
  for (std::size_t i = 0; i < std::size(kAsidePanes); ++i) {
    if (frame && m_paneWasOpen[i] && !frame->IsPaneOpen(kAsidePanes[i].id))
      frame->SendMessage(WM_COMMAND, kAsidePanes[i].toggle);
    m_paneWasOpen[i] = FALSE;
  }
  m_printPreview = FALSE;
}

void CQorRoadView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView)
{
  BringPanesBack();
  if (m_pCore)
    m_pCore->Render(TRUE, TRUE);
  CScrollView::OnEndPrintPreview(pDC, pInfo, point, pView);
}

// ---- The clipboard

void CQorRoadView::OnCopyViewColour()
{
  CWaitCursor wait;
  CopyViewToClipboard(m_pCore, m_hWnd, TRUE);
}

void CQorRoadView::OnCopyViewBlackWhite()
{
  CWaitCursor wait;
  CopyViewToClipboard(m_pCore, m_hWnd, FALSE);
}
