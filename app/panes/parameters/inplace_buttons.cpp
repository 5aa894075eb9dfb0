// The in-place buttons of the pane: the luminaire of a group of poles, the norms class of an area and the
// underlay of an area. Each runs its dialog, writes the choice into the model and takes its own undo snapshot;
// the grid is always told the press was not handled.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "graphics/raster/dxf_file_selector_dlg.h"
#include "graphics/raster/raster_manager_dlg.h"
#include "model/group_of_dev.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/shell/shell_services.h"
#include "model/shell/window_messages.h"
#include "model/standards.h"
#include "outside/servers/iprice_database.h"
#include "platform/mfc/commdlg.h"

namespace VisualCtrl {

namespace {

constexpr int kDxfUnderlay = 0x1000;
constexpr UINT kFitView = 32834;

bool HasSubGroups(int scheme) { return scheme == 3 || scheme == 4; }

}  // namespace

bool IsAreaClass(const CGuid& cls)
{
  return cls.IsEqual(&CLSID_CArea) || cls.IsEqual(&CLSID_CStraightRoad) || cls.IsEqual(&CLSID_CCustomizeRoad) ||
         cls.IsEqual(&CLSID_CCustomizeRoad3D);
}

LRESULT CPropObjects::OnInplaceButton(CTKPropertyGridItem* item)
{
  const auto id = static_cast<UINT>(item->GetItemData());
  if (m_shownClassId.IsEqual(&CLSID_CGroupOfDev) && id == kItemGroupLuminaire) {
    if (!ChooseLuminaire())
      return 0;
  } else if (m_shownClassId.IsEqual(&CLSID_CGroupOfDev) && (id == kItemPoleRecord || id == kItemBracketRecord)) {
    if (!ChoosePole())
      return 0;
  } else if (IsAreaClass(m_shownClassId) && id == kItemAreaNormsClass) {
    ChooseNormsClass(item);
  } else if (IsAreaClass(m_shownClassId) && id == kItemAreaUnderlay) {
    BindUnderlay();
  }
  ActivateShownArea();
  return 0;
}

bool CPropObjects::ChooseLuminaire()
{
  ModelRef<IGroupOfDev> group = Query<IGroupOfDev>(m_shownObject, IID_IGroupOfDev);
  if (!group || !m_document)
    return false;
  Shell::RegisterAnalyticsScreen("Диалог выбора светильника", 1);
  m_document->PushUndoState();
  if (group->RefreshLightDevice() != 0) {
    m_document->DropUndoState();
    return false;
  }
  m_document->InvalidateResultsAfterEdit(m_shownObject, nullptr);
  CLightDevice* device = group->GetLightDevice();
  Shell::RegisterAnalyticsEvent("Диалог выбора светильника", device->luminaireMaker, device->GetDisplayName(), 1, 1);
  if (device->luminairePrice == 0)
    ObjectModel::AskLuminairePrices(m_document, device, ObjectModel::PriceFailure::NotAnswered);
  m_document->Redraw(1, 0, 1);
  m_document->SetModifiedFlag(TRUE);
  PostRebuild();

  const int scheme = *group->GetPlacementScheme();
  if (!HasSubGroups(scheme)) {
    group->UpdatePolePositions(0);
    return true;
  }
  bool any = false;
  for (ModelRef<IGroupOfDev> q = Query<IGroupOfDev>(group.Get(), IID_FirstSubGroup); q;) {
    q->GetLightDevice()->Assign(*device);
    any = true;
    IGroupOfDev* next = q->GetNext();
    q = Query<IGroupOfDev>(next, IID_IGroupOfDev);
  }
  if (any)
    m_document->Redraw(1, 0, 1);
  return true;
}

bool CPropObjects::ChoosePole()
{
  ModelRef<IGroupOfDev> group = Query<IGroupOfDev>(m_shownObject, IID_IGroupOfDev);
  ModelRef<IPole> first = Query<IPole>(group.Get(), IID_IPole);
  if (!group || !first || !m_document)
    return false;
  IPole* p = first.Get();
  Shell::RegisterAnalyticsScreen("Диалог выбора опоры и кронштейна", 1);
  m_document->PushUndoState();
  if (p->UpdateFromCatalogue() != 0) {
    m_document->DropUndoState();
    return false;
  }
  const int kind = *group->GetMountingKind();
  const double h = p->GetHeight(kind);
  const double a = p->GetOutreach(kind);
  const double d = p->GetTilt(kind);
  const int user = 0;
  const int typical = 1;
  auto takeGeometry = [&](IPole* pole) {
    pole->SetTypical(&user);
    pole->SetHeight(&h);
    pole->SetOutreach(&a);
    pole->SetTilt(&d);
  };
  takeGeometry(p);
  p->SetTypical(&typical);
  for (IPole* follower = p->GetNext(); follower; follower = follower->GetNext())
    takeGeometry(follower);
  m_document->InvalidateResultsAfterEdit(m_shownObject, nullptr);
  m_document->Redraw(1, 0, 1);
  m_document->SetModifiedFlag(TRUE);
  PostRebuild();
  TakePolePrices(p, true);

  const int scheme = *group->GetPlacementScheme();
  if (!HasSubGroups(scheme)) {
    group->UpdatePolePositions(0);
    return true;
  }
  bool any = false;
  for (ModelRef<IGroupOfDev> q = Query<IGroupOfDev>(group.Get(), IID_FirstSubGroup); q;) {
    if (ModelRef<IPole> pq = Query<IPole>(q.Get(), IID_IPole)) {
      takeGeometry(pq.Get());
      const double pole = p->GetPolePrice();
      const double poleMount = p->GetPoleMountPrice();
      const double bracket = p->GetBracketPrice();
      const double bracketMount = p->GetBracketMountPrice();
      pq->SetPolePrice(&pole);
      pq->SetPoleMountPrice(&poleMount);
      pq->SetBracketPrice(&bracket);
      pq->SetBracketMountPrice(&bracketMount);
    }
    any = true;
    IGroupOfDev* next = q->GetNext();
    q = Query<IGroupOfDev>(next, IID_IGroupOfDev);
  }
  if (any)
    m_document->Redraw(1, 0, 1);
  return true;
}

void CPropObjects::TakePolePrices(IPole* pole, bool countChoice)
{
  if (!m_document)
    return;
  void* out = nullptr;
  if (FAILED(m_document->QueryInterface(IID_IPriceDatabase, &out)) || !out)
    return;
  ModelRef<IPriceDatabase> prices(static_cast<IPriceDatabase*>(out));
  IPriceDatabase* db = prices.Get();
  double defaults[4] = {};
  db->GetDefaultPolePrice(&defaults[0]);
  db->GetDefaultPoleMountPrice(&defaults[1]);
  db->GetDefaultBracketPrice(&defaults[2]);
  db->GetDefaultBracketMountPrice(&defaults[3]);
  if (!*pole->GetTypical()) {
    pole->SetPolePrice(&defaults[0]);
    pole->SetPoleMountPrice(&defaults[1]);
    pole->SetBracketPrice(&defaults[2]);
    pole->SetBracketMountPrice(&defaults[3]);
    return;
  }
  const CLampPost* post = pole->GetLampPost();
  const CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
  const CString poleName = post ? post->model : CString();
  const CString bracketName = bracket ? bracket->model : CString();
  // An unanswered price is 0, not the default: the catalogue pole has no price of its own.
  auto price = [](HRESULT hr, LONG hundredths) { return hr == S_OK ? static_cast<double>(hundredths) / 100.0 : 0.0; };
  LONG v = 0;
  double value = price(db->GetPolePrice(poleName, &v), v);
  pole->SetPolePrice(&value);
  v = 0;
  value = price(db->GetPoleMountPrice(poleName, &v), v);
  pole->SetPoleMountPrice(&value);
  v = 0;
  value = price(db->GetBracketPrice(bracketName, &v), v);
  pole->SetBracketPrice(&value);
  v = 0;
  value = price(db->GetBracketMountPrice(bracketName, &v), v);
  pole->SetBracketMountPrice(&value);
  if (countChoice && !poleName.IsEmpty() && !bracketName.IsEmpty())
    Shell::RegisterAnalyticsEvent("Диалог выбора опоры и кронштейна", "Опора " + poleName,
                                  "Кронштейн " + bracketName, 1, 1);
}

void CPropObjects::ChooseNormsClass(CTKPropertyGridItem* item)
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area)
    return;
  CStandardsOfRoad* norms = area->GetStandards();
  if (!CStandardsOfRoad::RunWizard(norms))
    return;
  const _STANDARDS_OF_ROAD* record = norms->GetRecord();
  item->SetValue(CString(record->objectClass, static_cast<int>(strnlen(record->objectClass, sizeof record->objectClass))));
  if (m_document) {
    m_document->ResetResults(area.Get());
    m_document->SetModifiedFlag(TRUE);
  }
  PostRebuild();
}

void CPropObjects::BindUnderlay()
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area || !m_document)
    return;
  CWnd* mainWnd = AfxGetMainWnd();
  m_document->PushUndoState();
  const int id0 = *area->GetUnderlayId();
  int id = id0;
  double length = *area->GetLength();
  double width = *area->GetWidth();
  int choice = 0;

  if (id0 & kDxfUnderlay) {
    CString bound;
    m_document->GetUnderlayPath(&bound, id0);
    CDXFFileSelectorDgl selector(mainWnd, bound);
    if (selector.DoModal() == IDOK)
      choice = selector.m_result;
    if (choice == CDXFFileSelectorDgl::kRemove)
      id = 0;
  } else if (id0 != 0) {
    CRasterManagerDlg raster(mainWnd, m_document, id0, CString());
    if (raster.DoModal() == IDOK) {
      id = raster.m_rasterId;
      if (id != 0) {
        length = raster.m_planLength;
        width = raster.m_planWidth;
      }
    }
  }

  if (choice != CDXFFileSelectorDgl::kRemove && ((id0 == 0 && id == 0) || choice == CDXFFileSelectorDgl::kReplace)) {
    CFileDialog files(TRUE, nullptr, "", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                      "Все файлы изображений (*.bmp; *.dxf)|*.bmp;*.dxf||", mainWnd);
    if (files.DoModal() == IDOK) {
      const CString path = files.GetPathName();
      CString extension = files.GetFileExt();
      extension.MakeLower();
      if (extension == "dxf") {
        int opened = 0;
        m_document->OpenDxfFile(path, &opened);
        // A file the drawing library cannot read leaves the binding as it was.
        if (opened != 0) {
          id = opened;
          double size[3] = {};
          m_document->GetLibraryProjectSize(size);
          length = std::min(size[0], CRasterManagerDlg::kMaxPlanSide);
          width = std::min(size[1], CRasterManagerDlg::kMaxPlanSide);
          Shell::RegisterAnalyticsEvent("Проект", "Геоподоснова.Импорт", "Формат DXF", 1, 1);
          Shell::SendAnalyticsInfo(1);
        }
      } else {
        CRasterManagerDlg raster(mainWnd, m_document, id, path);
        if (raster.DoModal() == IDOK) {
          id = raster.m_rasterId;
          if (id != 0) {
            length = raster.m_planLength;
            width = raster.m_planWidth;
          }
          Shell::RegisterAnalyticsEvent("Проект", "Геоподоснова.Импорт", "Формат BMP", 1, 1);
          Shell::SendAnalyticsInfo(1);
        }
      }
    }
  }

  if (id == id0 && (id == 0 || (id & kDxfUnderlay))) {
    m_document->DropUndoState();
    return;
  }
  area->SetUnderlayId(&id);
  area->SetLength(&length);
  area->SetWidth(&width);
  PostRebuild();
  m_document->Redraw(1, 1, 1);
  if (mainWnd && mainWnd->GetSafeHwnd())
    mainWnd->PostMessage(WM_COMMAND, kFitView, 0);
}

}  // namespace VisualCtrl
