#include "model/straight_road.h"

#include "model/graphics_services.h"
#include "model/groups_of_dev.h"
#include "model/identifiers.h"
#include "model/model_strings.h"
#include "model/pavement.h"
#include "model/results.h"
#include "model/road.h"
#include "model/version.h"

namespace ObjectModel {

namespace {

template <class I>
void Keep(IClassObjModel* object, const IID& iid, I*& slot)
{
  object->QueryInterface(&iid, reinterpret_cast<void**>(&slot));
}

// Older files have no cameras: the views get the preset of their view bit, or a fitted position with these
// angles.
struct FittedView {
  DWORD bit;
  double angle2;
};
constexpr DWORD kPresetViews[] = {1, 2, 4};
constexpr FittedView kFittedViews[] = {{8, 0.0}, {16, 180.0}, {32, 0.0}, {64, 0.0}, {128, 180.0}};

}  // namespace

CStraightRoad::CStraightRoad(IQorRoadDoc* context, CClassObjModel* parent, int number)
    : CArea(parent, context, number)
{
  InitIdentity(CLSID_CStraightRoad, IDS_OBJ_STRAIGHT_ROAD);
  SetCaption(&m_name);
  // The children reach their area through the parent link; the count is held up meanwhile.
  CClassObjModel::AddRef();
  Keep(new CRoad(this), IID_IRoad, m_road);
  Keep(new CPavement(this), IID_IPavement, m_pavement);
  Keep(new CWall(this), IID_IWall, m_wall);
  Keep(new CGroupsOfDev(this, context), IID_IGroupsOfDev, m_groups);
  Keep(new CResultsOfCalc(), IID_IResultsOfCalc, m_results);
  CStraightRoad::SetDefaults();
  ReleaseNoDelete();
}

CStraightRoad::~CStraightRoad()
{
  ReleaseAndClear(m_road);
  ReleaseAndClear(m_pavement);
  ReleaseAndClear(m_wall);
  ReleaseAndClear(m_groups);
  ReleaseAndClear(m_results);
}

HRESULT CStraightRoad::QueryInterface(const IID* iid, void** out)
{
  *out = nullptr;
  if (*iid == IID_IStraightRoad)
    return AnswerInterface(static_cast<IStraightRoad*>(this), out);
  if (*iid == IID_IRoad)
    return AnswerInterface(m_road, out);
  if (*iid == IID_IPavement)
    return AnswerInterface(m_pavement, out);
  if (*iid == IID_IWall)
    return AnswerInterface(m_wall, out);
  if (*iid == IID_IGroupsOfDev)
    return AnswerInterface(m_groups, out);
  if (*iid == IID_IResultsOfCalc)
    return AnswerInterface(m_results, out);
  return CArea::QueryInterface(iid, out);
}

IClassObjModel* CStraightRoad::Child(IModelUnknown* part)
{
  void* object = nullptr;
  if (!part || FAILED(part->QueryInterface(&IID_IClassObjModel, &object)))
    return nullptr;
  auto* child = static_cast<IClassObjModel*>(object);
  child->Release();  // the road holds its own reference
  return child;
}

int CStraightRoad::SetDefaults()
{
  CArea::SetDefaults();
  for (IModelUnknown* part : {static_cast<IModelUnknown*>(m_road), static_cast<IModelUnknown*>(m_pavement),
                              static_cast<IModelUnknown*>(m_wall), static_cast<IModelUnknown*>(m_groups),
                              static_cast<IModelUnknown*>(m_results)}) {
    if (IClassObjModel* child = Child(part))
      child->SetDefaults();
  }
  return 0;
}

int CStraightRoad::ClearSelection()
{
  m_selected = 0;
  m_road->ClearSelection();
  m_pavement->ClearSelection();
  m_wall->ClearSelection();
  m_groups->ClearSelection();
  return 0;
}

// The area block, then carriageway, sidewalks, walls, pole groups and results, each in its own form.
int CStraightRoad::Serialize(CArchive* ar, DWORD fileVersion)
{
  CArea::Serialize(ar, fileVersion);
  for (IModelUnknown* part : {static_cast<IModelUnknown*>(m_road), static_cast<IModelUnknown*>(m_pavement),
                              static_cast<IModelUnknown*>(m_wall), static_cast<IModelUnknown*>(m_groups),
                              static_cast<IModelUnknown*>(m_results)}) {
    Child(part)->Serialize(ar, fileVersion);
  }
  if (ar->IsLoading() && !IsVersionAtLeast(fileVersion, MakeFormatVersion(4, 0, 18, 0))) {
    for (DWORD bit : kPresetViews) {
      _DEVCPOSITION* camera = nullptr;
      if (GetViewCamera(&bit, &camera) == 0)
        Graphics::MakeCameraPreset(nullptr, nullptr, camera, bit, this);
    }
    for (const FittedView& view : kFittedViews) {
      _DEVCPOSITION* camera = nullptr;
      if (GetViewCamera(&view.bit, &camera) != 0)
        continue;
      double position[3] = {};
      int straightRoad = 0;
      Graphics::GetModelGraphics().FitCameraToArea(position, this, view.bit, &straightRoad, nullptr, nullptr);
      *camera = _DEVCPOSITION{position[0], position[1], position[2], 0.0, view.angle2, 0.0};
    }
  }
  return 0;
}

int CStraightRoad::CopyTo(IClassObjModel* dst, DWORD flags)
{
  if (CArea::CopyTo(dst, flags) != 0)
    return 1;
  IStraightRoad* marker = nullptr;
  if (FAILED(dst->QueryInterface(&IID_IStraightRoad, reinterpret_cast<void**>(&marker))))
    return 1;
  auto* to = dynamic_cast<CStraightRoad*>(marker);
  marker->Release();
  if (!to || to == this)
    return to ? 0 : 1;
  m_copyFlags = to->m_copyFlags = flags;
  CArea::CopyTo(dst, flags);
  Child(m_road)->CopyTo(to->Child(to->m_road), flags);
  Child(m_pavement)->CopyTo(to->Child(to->m_pavement), flags);
  Child(m_wall)->CopyTo(to->Child(to->m_wall), flags);
  Child(m_groups)->CopyTo(to->Child(to->m_groups), flags);
  Child(m_results)->CopyTo(to->Child(to->m_results), flags);
  m_copyFlags = to->m_copyFlags = 0;
  return 0;
}

}  // namespace ObjectModel
