// The object tree's context menus and the commands on the project, areas and groups of poles.
#include "app/messages.h"
#include "app/panes/objecttree/model_ref.h"
#include "app/panes/objecttree/tree_objects.h"
#include "model/class_of.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/menu.h"
#include "res/program_ids.h"

#include <algorithm>
#include <iterator>

namespace VisualCtrl {

namespace ids = res::program;

namespace {

constexpr UINT kSwitchOffText = 821;  // "Выключить"
constexpr int kAreaLimit = 10;        // from this many areas on no area is added or copied
constexpr DWORD kPlanView = 2;

// Which items show which bitmap, in the order of kMenuBitmapIds.
constexpr UINT kBitmapCommands[][4] = {
    {ids::ID_AREA_ADD_STRAIGHT_ROAD},
    {ids::ID_AREA_ADD_TURN},
    {ids::ID_AREA_ADD_CROSSING},
    {ids::ID_AREA_ADD_JUNCTION},
    {ids::ID_AREA_ADD_FORK},
    {ids::ID_AREA_ADD_WIDENING},
    {ids::ID_AREA_ADD_ROUNDABOUT},
    {ids::ID_AREA_ADD_OPEN_SITE},
    {ids::ID_AREA_ADD_INTERCHANGE},
    {ids::ID_GROUP_COPY, ids::ID_AREA_COPY, ids::ID_PRIMITIVE_COPY},
    {ids::ID_GROUP_DELETE, ids::ID_AREA_DELETE, ids::ID_PRIMITIVE_DELETE, ids::ID_PRIMITIVE_GROUP_DELETE},
    {ids::ID_PRIMITIVE_TO_FRONT},
    {ids::ID_PRIMITIVE_TO_BACK},
    {ids::ID_OBJECT_PARAMETERS},
    {ids::ID_GROUP_SWITCH},
};

// The area kinds the tree adds besides the straight road: class, caption string and typical form.
struct AreaKind {
  UINT command;
  const CLSID* kind;
  UINT caption;
  int form;
};
constexpr AreaKind kAreaKinds[] = {
    {ids::ID_AREA_ADD_OPEN_SITE, &CLSID_CCustomizeRoad, 296, 0},
    {ids::ID_AREA_ADD_TURN, &CLSID_CCustomizeRoad, 527, 1},
    {ids::ID_AREA_ADD_FORK, &CLSID_CCustomizeRoad, 559, 2},
    {ids::ID_AREA_ADD_CROSSING, &CLSID_CCustomizeRoad, 540, 3},
    {ids::ID_AREA_ADD_JUNCTION, &CLSID_CCustomizeRoad, 552, 4},
    {ids::ID_AREA_ADD_WIDENING, &CLSID_CCustomizeRoad, 573, 5},
    {ids::ID_AREA_ADD_ROUNDABOUT, &CLSID_CCustomizeRoad, 586, 7},
    {ids::ID_AREA_ADD_INTERCHANGE, &CLSID_CCustomizeRoad3D, 774, 8},
};

// The view's forms of the group commands.
constexpr UINT kSubGroupCopy = 33044;
constexpr UINT kSubGroupDelete = 33042;
constexpr UINT kSubGroupSwitch = 33108;
constexpr UINT kSubGroupDeletePole = 33045;

CGuid ClassOf(IClassObjModel* object)
{
  CGuid id;
  object->GetClassId(&id);
  return id;
}

bool IsArea(const CGuid& kind)
{
  return kind.IsEqual(&CLSID_CStraightRoad) || kind.IsEqual(&CLSID_CCustomizeRoad) ||
         kind.IsEqual(&CLSID_CCustomizeRoad3D);
}

// A primitive, a category node of an open site or a primitive group: what "Добавить примитив" acts on.
bool TakesNewPrimitive(const CGuid& kind)
{
  for (const CLSID* cls : {&CLSID_CPrimitive, &CLSID_RoadNode, &CLSID_PavementNode, &CLSID_BackgroundNode,
                           &CLSID_ShadingNode, &CLSID_MarkingNode, &CLSID_CGroupOfPrimitive}) {
    if (kind.IsEqual(cls))
      return true;
  }
  return false;
}

int CountAreas(IProject* project)
{
  ModelRef<IArea> first(project, IID_IArea);
  int count = 0;
  for (IArea* area = first.get(); area; area = area->GetNext())
    ++count;
  return count;
}

// The container that holds a group of poles: the group's parent.
ModelRef<IGroupsOfDev> ContainerOf(IClassObjModel* group)
{
  return {group->GetParent(), IID_IGroupsOfDev};
}

// Links `added` into its container's list directly after `after`.
void LinkAfter(IGroupOfDev* after, IGroupOfDev* added)
{
  IGroupOfDev* following = after->GetNext();
  after->SetNext(added);
  added->SetPrev(after);
  added->SetNext(following);
  if (following)
    following->SetPrev(added);
}

void Unlink(IGroupOfDev* group)
{
  IGroupOfDev* prev = group->GetPrev();
  IGroupOfDev* next = group->GetNext();
  if (prev)
    prev->SetNext(next);
  if (next)
    next->SetPrev(prev);
  group->SetNext(nullptr);
  group->SetPrev(nullptr);
}

CString LoadText(UINT id)
{
  CString text;
  text.LoadString(id);
  return text;
}

}  // namespace

const UINT CTreeObjects::kMenuBitmapIds[kMenuBitmapCount] = {311, 312, 313, 314, 310, 315, 322, 316,
                                                             765, 317, 318, 319, 320, 321, 768};

// What the common refresh does besides rebuilding, marking and redrawing.
BOOL CTreeObjects::TrackContextMenu(CMenu* pPopup, UINT nFlags, CPoint screenPoint)
{
  return pPopup->TrackPopupMenu(nFlags, screenPoint.x, screenPoint.y, this);
}

UINT CTreeObjects::ContextMenuFor(IClassObjModel* object, CMenu& menu)
{
  const CGuid kind = ClassOf(object);
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  UINT menuId = ids::IDR_TREE_OTHER;
  int trimFrom = -1;
  int trimCount = 0;
  bool switchedOn = false;
  UINT grey[2] = {};

  if (kind.IsEqual(&CLSID_CGroupOfDev)) {
    ModelRef<IGroupOfDev> group(object, IID_IGroupOfDev);
    ModelRef<IGroupsOfDev> container = ContainerOf(object);
    ModelRef<IClassObjModel> containerObject = ObjectOf(container.get());
    const bool straightRoad =
        containerObject && IsOfClass(containerObject->GetParent(), CLSID_CStraightRoad);
    const bool first = group->GetPrev() == nullptr;
    const bool only = first && group->GetNext() == nullptr;
    menuId = (straightRoad ? first : only) ? ids::IDR_TREE_FIRST_GROUP : ids::IDR_MENU_GROUP;
    switchedOn = (*group->GetState() & 1) != 0;
  } else if (kind.IsEqual(&CLSID_CGroupsOfDev)) {
    menuId = ids::IDR_TREE_GROUPS;
  } else if (kind.IsEqual(&CLSID_CProject)) {
    menuId = ids::IDR_TREE_PROJECT;
    if (project && CountAreas(project.get()) >= kAreaLimit) {
      trimFrom = 0;
      trimCount = 2;
    }
  } else if (IsArea(kind)) {
    ModelRef<IArea> area(object, IID_IArea);
    const bool active = area && area->IsActive();
    menuId = active ? ids::IDR_TREE_ACTIVE_AREA : ids::IDR_TREE_AREA;
    if (project && CountAreas(project.get()) >= kAreaLimit) {
      trimFrom = active ? 0 : 1;
      trimCount = 3;
    }
  } else if (kind.IsEqual(&CLSID_CPrimitive)) {
    ModelRef<IPrimitive> primitive(object, IID_IPrimitive);
    const int shape = *primitive->GetShape();
    const bool polygon = shape == 4 || shape == 5;
    const bool only = !primitive->GetPrev() && !primitive->GetNext();
    menuId = polygon ? (only ? ids::IDR_TREE_ONLY_POLYGON : ids::IDR_TREE_POLYGON)
                     : (only ? ids::IDR_MENU_ONLY_PRIMITIVE : ids::IDR_MENU_PRIMITIVE);
    if (!primitive->GetPrev())
      grey[0] = ids::ID_PRIMITIVE_TO_BACK;
    if (!primitive->GetNext())
      grey[1] = ids::ID_PRIMITIVE_TO_FRONT;
  } else if (kind.IsEqual(&CLSID_RoadNode)) {
    menuId = ids::IDR_TREE_ROAD_NODE;
  } else if (kind.IsEqual(&CLSID_PavementNode)) {
    menuId = ids::IDR_TREE_PAVEMENT_NODE;
  } else if (kind.IsEqual(&CLSID_BackgroundNode)) {
    menuId = ids::IDR_TREE_BACKGROUND_NODE;
  } else if (kind.IsEqual(&CLSID_ShadingNode)) {
    menuId = ids::IDR_TREE_SHADING_NODE;
  } else if (kind.IsEqual(&CLSID_MarkingNode)) {
    menuId = ids::IDR_TREE_MARKING_NODE;
  } else if (kind.IsEqual(&CLSID_CGroupOfPrimitive)) {
    menuId = ids::IDR_TREE_PRIMITIVE_GROUP;
    ModelRef<IGroupOfPrimitive> group(object, IID_IGroupOfPrimitive);
    ModelRef<ICustomizeRoad> site(object->GetParent(), IID_ICustomizeRoad);
    if (group && site) {
      CGuid groupKind;
      group->GetKind(&groupKind);
      if (site->GetPrimitiveCount() == site->CountPrimitivesInGroup(&groupKind, group->GetNumber()))
        grey[0] = ids::ID_PRIMITIVE_GROUP_DELETE;
    }
  }

  if (!menu.LoadMenu(menuId))
    return 0;
  CMenu* popup = menu.GetSubMenu(0);
  if (!popup)
    return 0;
  for (int i = 0; i < trimCount; ++i)
    popup->DeleteMenu(static_cast<UINT>(trimFrom), MF_BYPOSITION);
  if (switchedOn)
    popup->ModifyMenu(ids::ID_GROUP_SWITCH, MF_BYCOMMAND | MF_STRING, ids::ID_GROUP_SWITCH,
                      LoadText(kSwitchOffText));
  for (UINT command : grey) {
    if (command)
      popup->EnableMenuItem(command, MF_BYCOMMAND | MF_GRAYED);
  }
  return menuId;
}

void CTreeObjects::SetMenuBitmaps(CMenu* pPopup)
{
  for (std::size_t i = 0; i < m_menuBitmaps.size(); ++i) {
    if (!m_menuBitmaps[i].GetSafeHandle())
      continue;
    for (UINT command : kBitmapCommands[i]) {
      if (command)
        pPopup->SetMenuItemBitmaps(command, MF_BYCOMMAND, &m_menuBitmaps[i], &m_menuBitmaps[i]);
    }
  }
}

void CTreeObjects::OnRButtonUp(UINT, CPoint point)
{
  if (m_bDragging)
    EndDrag();
  bool hasMainWindow = false;
  if (CalculationState(&hasMainWindow) != 0) {
    Default();
    return;
  }
  HTREEITEM hit = HitTest(point);
  IClassObjModel* object = hit && hit == GetSelectedItem() ? GetItemObject(hit) : nullptr;
  if (object) {
    CMenu menu;
    if (ContextMenuFor(object, menu)) {
      CMenu* popup = menu.GetSubMenu(0);
      SetMenuBitmaps(popup);
      CPoint screen = point;
      ClientToScreen(&screen);
      TrackContextMenu(popup, TPM_RIGHTBUTTON, screen);
      menu.DestroyMenu();
    }
  }
  Default();
}

BOOL CTreeObjects::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  IClassObjModel* object = GetSafeHwnd() ? GetItemObject(GetSelectedItem()) : nullptr;
  if (nCode != CN_COMMAND || pHandlerInfo || !object)
    return CTKTreeCtrl::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);

  // The selected object stays alive through the command even when the command deletes it.
  object->AddRef();
  const CGuid kind = ClassOf(object);
  const bool group = kind.IsEqual(&CLSID_CGroupOfDev);
  const bool areaOrProject = IsArea(kind) || kind.IsEqual(&CLSID_CProject);
  Refresh refresh;
  bool refreshes = true;
  if (nID == ids::ID_OBJECT_PARAMETERS) {
    refreshes = DoParameters(object, refresh);
  } else if (nID == ids::ID_GROUPS_ADD && kind.IsEqual(&CLSID_CGroupsOfDev)) {
    refreshes = DoAddGroup(object, false, refresh);
  } else if (nID == ids::ID_GROUP_ADD && group) {
    refreshes = DoAddGroup(object, true, refresh);
  } else if ((nID == ids::ID_GROUP_COPY || nID == kSubGroupCopy) && group) {
    refreshes = DoCopyGroup(object, refresh);
  } else if ((nID == ids::ID_GROUP_DELETE || nID == kSubGroupDelete) && group) {
    refreshes = DoDeleteGroup(object, refresh);
  } else if ((nID == ids::ID_GROUP_SWITCH || nID == kSubGroupSwitch) && group) {
    refreshes = DoSwitchGroup(object, refresh);
  } else if (nID == kSubGroupDeletePole && group) {
    refreshes = DoDeleteSubGroup(object, refresh);
  } else if (areaOrProject && (nID == ids::ID_AREA_ADD_STRAIGHT_ROAD ||
                               std::any_of(std::begin(kAreaKinds), std::end(kAreaKinds),
                                           [nID](const AreaKind& k) { return k.command == nID; }))) {
    refreshes = DoAddArea(nID, object, refresh);
  } else if (nID == ids::ID_AREA_DELETE && IsArea(kind)) {
    refreshes = DoDeleteArea(object, refresh);
  } else if (nID == ids::ID_AREA_COPY && IsArea(kind)) {
    refreshes = DoCopyArea(object, refresh);
  } else if (nID == ids::ID_AREA_ACTIVATE && IsArea(kind)) {
    refreshes = DoActivateArea(object, refresh);
  } else if (nID == kPrimitiveAdd && TakesNewPrimitive(kind)) {
    refreshes = DoAddPrimitive(object, refresh);
  } else if (nID == kPrimitiveCopy && kind.IsEqual(&CLSID_CPrimitive)) {
    refreshes = DoCopyPrimitive(object, refresh);
  } else if ((nID == kPrimitiveDelete || nID == kPrimitiveToFront || nID == kPrimitiveToBack) &&
             kind.IsEqual(&CLSID_CPrimitive)) {
    refreshes = DoPrimitiveOrder(nID, object, refresh);
  } else if ((nID == kOutlineEdit || nID == kOutlineRedraw || nID == kVertexDelete) &&
             kind.IsEqual(&CLSID_CPrimitive)) {
    refreshes = DoPrimitiveOutline(nID, object, refresh);
  } else if ((nID == kGroupAdd && (kind.IsEqual(&CLSID_RoadNode) || kind.IsEqual(&CLSID_PavementNode))) ||
             (nID == kGroupDelete && kind.IsEqual(&CLSID_CGroupOfPrimitive))) {
    refreshes = DoPrimitiveGroup(nID, object, refresh);
  }
  if (refreshes)
    CommonRefresh(object, refresh);
  object->Release();
  return CTKTreeCtrl::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CTreeObjects::Remember(IClassObjModel* object) { object->GetObjectId(&m_rememberedId); }

void CTreeObjects::CommonRefresh(IClassObjModel* object, const Refresh& refresh)
{
  if (refresh.activation && ActivateAreaOf(object))
    m_pDocument->ReapplyViewType();
  PostMessage(UM_SHOWOBJECT, 1, reinterpret_cast<LPARAM>(object));
  m_pDocument->SetModifiedFlag(1);
  if (refresh.invalidates)
    m_pDocument->InvalidateResultsAfterEdit(refresh.changed, nullptr);
  if (HWND main = Shell::GetMainWindow())
    ::PostMessage(main, UM_CALCMODES, 0, 0);
  if (refresh.drawingOff)
    m_pDocument->EnableRendering(1, refresh.recalc);
  else
    m_pDocument->Redraw(refresh.recalc, 0, 1);
  if (refresh.cameras)
    m_pDocument->ResetViewCameras();
}

int CTreeObjects::ActivateAreaOf(IClassObjModel* object)
{
  IClassObjModel* area = object;
  while (area) {
    IClassObjModel* parent = area->GetParent();
    if (!parent)
      return 0;
    if (IsOfClass(parent, CLSID_CProject))
      break;
    area = parent;
  }
  ModelRef<IArea> areaPart(area, IID_IArea);
  ModelRef<IProject> project(area->GetParent(), IID_IProject);
  if (!areaPart || !project || areaPart->IsActive())
    return 0;
  project->SetActiveArea(areaPart.get());
  return 1;
}

bool CTreeObjects::DoParameters(IClassObjModel*, Refresh& refresh)
{
  refresh.activation = true;
  if (HWND main = Shell::GetMainWindow())
    ::PostMessage(main, UM_SHOWPARAMETERS, 0, 0);
  return true;
}

bool CTreeObjects::DoAddGroup(IClassObjModel* object, bool afterSelected, Refresh& refresh)
{
  ModelRef<IGroupsOfDev> container =
      afterSelected ? ContainerOf(object) : ModelRef<IGroupsOfDev>(object, IID_IGroupsOfDev);
  ModelRef<IClassObjModel> containerObject = ObjectOf(container.get());
  ModelRef<IGroupOfDev> first(container.get(), IID_IGroupOfDev);
  IGroupOfDev* after = nullptr;
  if (afterSelected) {
    ModelRef<IGroupOfDev> selected(object, IID_IGroupOfDev);
    after = selected.get();
  } else {
    for (after = first.get(); after && after->GetNext();)
      after = after->GetNext();
  }
  if (!container || !after)
    return true;
  m_pDocument->PushUndoState();
  // The container's list owns the reference the new group comes with.
  IGroupOfDev* added = container->CreateGroup();
  LinkAfter(after, added);

  IClassObjModel* areaObject = containerObject->GetParent();
  ModelRef<IArea> area(areaObject, IID_IArea);
  double point[3] = {};
  m_pDocument->GetPlacementPoint(point, area.get());
  const bool openSite = IsOfClass(areaObject, CLSID_CCustomizeRoad) || IsOfClass(areaObject, CLSID_CCustomizeRoad3D);
  if (openSite && *added->GetPlacementScheme() == 0) {
    if (ModelRef<IPole> pole(added, IID_IPole); pole)
      pole->SetPosition(point);
  }
  added->SetBasePoint(point);

  ModelRef<IClassObjModel> addedObject = ObjectOf(added);
  Remember(addedObject.get());
  refresh.activation = refresh.invalidates = true;
  // The container's list keeps the group alive after this part's reference goes.
  refresh.changed = addedObject.get();
  return true;
}

bool CTreeObjects::DoCopyGroup(IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IGroupOfDev> selected(object, IID_IGroupOfDev);
  ModelRef<IGroupsOfDev> container = ContainerOf(object);
  if (!selected || !container)
    return true;
  m_pDocument->PushUndoState();
  IGroupOfDev* added = container->CreateGroup();
  LinkAfter(selected.get(), added);
  const CString name = *added->GetName();
  const int number = *added->GetNumber();
  ModelRef<IClassObjModel> addedObject = ObjectOf(added);
  object->CopyTo(addedObject.get(), ObjectModel::kCopyKeepIdentity);
  added->SetName(&name);
  added->SetNumber(&number);
  Remember(addedObject.get());
  refresh.activation = refresh.invalidates = true;
  refresh.changed = addedObject.get();
  return true;
}

bool CTreeObjects::DoDeleteGroup(IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IGroupOfDev> selected(object, IID_IGroupOfDev);
  if (!selected)
    return true;
  m_pDocument->PushUndoState();
  IGroupOfDev* prev = selected->GetPrev();
  IGroupOfDev* next = selected->GetNext();
  if (!prev && !next) {
    m_pDocument->DropUndoState();
    return false;
  }
  if (!prev) {
    // The container's first object stays in place and takes over the second group's identity and content.
    ObjectOf(next)->CopyTo(object, 0);
    Unlink(next);
    next->Release();  // the reference the container's list held
    Remember(object);
    refresh.changed = object;
  } else {
    Unlink(selected.get());
    selected->Release();  // the reference the container's list held
    // The list keeps the previous group alive after this part's reference goes.
    IClassObjModel* prevObject = ObjectOf(prev).get();
    Remember(prevObject);
    refresh.changed = prevObject;
  }
  refresh.invalidates = true;
  return true;
}

bool CTreeObjects::DoSwitchGroup(IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IGroupOfDev> group(object, IID_IGroupOfDev);
  if (!group)
    return true;
  m_pDocument->PushUndoState();
  const int state = *group->GetState() ^ 1;
  group->SetState(&state);
  ModelRef<IGroupOfDev> firstSub(object, IID_FirstSubGroup);
  for (IGroupOfDev* sub = firstSub.get(); sub; sub = sub->GetNext())
    sub->SetState(&state);
  refresh.invalidates = true;
  refresh.changed = object;
  return true;
}

bool CTreeObjects::DoDeleteSubGroup(IClassObjModel* object, Refresh& refresh)
{
  m_pDocument->PushUndoState();
  ModelRef<IGroupOfDev> sub(object, IID_SelectedSubGroup);
  IGroupOfDev* prev = sub ? sub->GetPrev() : nullptr;
  if (!prev) {
    m_pDocument->DropUndoState();
    return false;
  }
  Unlink(sub.get());
  sub->Release();  // the reference the group's list held
  if (ModelRef<IClassObjModel> prevObject = ObjectOf(prev); prevObject)
    prevObject->SetSelected(1);
  Remember(object);
  refresh.invalidates = true;
  refresh.changed = object;
  return true;
}

bool CTreeObjects::DoAddArea(UINT nID, IClassObjModel* object, Refresh& refresh)
{
  const bool fromProject = ClassOf(object).IsEqual(&CLSID_CProject);
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  ModelRef<IArea> reference;
  if (!fromProject)
    reference = ModelRef<IArea>(object, IID_IArea);
  const AreaKind* kind = nullptr;
  for (const AreaKind& k : kAreaKinds) {
    if (k.command == nID)
      kind = &k;
  }
  m_pDocument->EnableRendering(0, 1);
  m_pDocument->PushUndoState();
  auto added = ModelRef<IArea>::Adopt(
      project->InsertAreaAfter(kind ? *kind->kind : CLSID_CStraightRoad, reference.get()));
  if (added && kind) {
    const CString caption = LoadText(kind->caption);
    added->SetTypicalForm(&kind->form);
    added->BuildTypicalForm();
    ObjectOf(added.get())->SetName(&caption);
    added->SetCaption(&caption);
    added->FormatCaption();
  }
  if (added) {
    project->SetActiveArea(added.get());
    Remember(ObjectOf(added.get()).get());
  }
  m_pDocument->ResetViewCameras();
  if (kind || fromProject)
    m_pDocument->ResetCurrentViewCamera();
  else
    m_pDocument->ReapplyViewType();
  m_pDocument->SetViewType(kPlanView);
  refresh.cameras = refresh.drawingOff = true;
  return true;
}

bool CTreeObjects::DoDeleteArea(IClassObjModel* object, Refresh&)
{
  ModelRef<IArea> area(object, IID_IArea);
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  m_pDocument->PushUndoState();
  // The model keeps the active and the only area; such a refusal is no edit.
  if (!area || !project || project->RemoveArea(area.get()) != 0) {
    m_pDocument->DropUndoState();
    return false;
  }
  return true;
}

bool CTreeObjects::DoCopyArea(IClassObjModel* object, Refresh&)
{
  ModelRef<IArea> area(object, IID_IArea);
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  if (!area || !project)
    return true;
  m_pDocument->PushUndoState();
  CGuid kind = ClassOf(object);
  auto copy = ModelRef<IArea>::Adopt(project->InsertAreaAfter(kind.Value(), area.get()));
  if (!copy)
    return true;
  ModelRef<IClassObjModel> copyObject = ObjectOf(copy.get());
  object->CopyTo(copyObject.get(), ObjectModel::kCopyKeepIdentity);
  project->SetActiveArea(copy.get());
  int underlay = *copy->GetUnderlayId();
  m_pDocument->CloneUnderlay(&underlay);
  copy->SetUnderlayId(&underlay);
  const int noCalcArea = 0;
  copy->SetCalcAreaId(&noCalcArea);
  Remember(copyObject.get());
  m_pDocument->ReapplyViewType();
  return true;
}

bool CTreeObjects::DoActivateArea(IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IArea> area(object, IID_IArea);
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  m_pDocument->EnableRendering(0, 1);
  m_pDocument->PushUndoState();
  if (area && project)
    project->SetActiveArea(area.get());
  Remember(object);
  m_pDocument->ReapplyViewType();
  refresh.activation = refresh.drawingOff = true;
  refresh.recalc = FALSE;
  return true;
}

}  // namespace VisualCtrl
