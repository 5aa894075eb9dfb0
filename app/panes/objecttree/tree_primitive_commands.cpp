// The commands on primitives, category nodes and primitive groups. The area holds the head of its primitive
// list, so a move that would change the head moves contents between the objects instead; each object's identity
// goes with its contents, so the moved primitive keeps its object id.
#include "app/panes/objecttree/model_ref.h"
#include "app/panes/objecttree/tree_objects.h"
#include "model/class_of.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "model/shell/shell_services.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/msgbox.h"

namespace VisualCtrl {

namespace {

IClassObjModel* AsObject(IPrimitive* p)
{
  // The list owns the primitive; the object part lives as long as it does.
  ModelRef<IClassObjModel> object(p, IID_IClassObjModel);
  return object.get();
}

void Unlink(IPrimitive* p)
{
  IPrimitive* prev = p->GetPrev();
  IPrimitive* next = p->GetNext();
  if (prev)
    prev->SetNext(next);
  if (next)
    next->SetPrev(prev);
  p->SetPrev(nullptr);
  p->SetNext(nullptr);
}

void LinkAfter(IPrimitive* anchor, IPrimitive* p)
{
  IPrimitive* next = anchor->GetNext();
  p->SetPrev(anchor);
  p->SetNext(next);
  if (next)
    next->SetPrev(p);
  anchor->SetNext(p);
}

IPrimitive* LastOf(IPrimitive* p)
{
  while (p->GetNext())
    p = p->GetNext();
  return p;
}

using ObjectModel::kMemberMarking;
using ObjectModel::kMemberShading;

constexpr UINT kAddPrimitiveQuestion = 533;
constexpr double kShadingHeight = 1.0;

// What a primitive added on a category node or primitive group becomes.
struct NewPrimitive {
  int membership = 0;
  CGuid groupKind;                // null below a category node
  bool typicalFormAsks = false;   // a typical form shows only its carriageway and sidewalk
  bool atPlacementPoint = false;  // else at the view centre
};

bool NewPrimitiveFor(IClassObjModel* object, NewPrimitive* made)
{
  if (IsOfClass(object, CLSID_RoadNode) || IsOfClass(object, CLSID_PavementNode)) {
    const bool road = IsOfClass(object, CLSID_RoadNode);
    made->membership = road ? ObjectModel::kMemberCarriageway : ObjectModel::kMemberSidewalk;
    made->typicalFormAsks = made->atPlacementPoint = true;
  } else if (IsOfClass(object, CLSID_CGroupOfPrimitive)) {
    ModelRef<IGroupOfPrimitive> group(object, IID_IGroupOfPrimitive);
    if (!group)
      return false;
    made->membership = *group->GetNumber();
    group->GetKind(&made->groupKind);
    made->typicalFormAsks = made->atPlacementPoint = true;
  } else if (IsOfClass(object, CLSID_BackgroundNode)) {
    made->membership = 0;
  } else if (IsOfClass(object, CLSID_ShadingNode)) {
    made->membership = kMemberShading;
    made->atPlacementPoint = true;
  } else if (IsOfClass(object, CLSID_MarkingNode)) {
    made->membership = kMemberMarking;
  } else {
    return false;
  }
  return true;
}

}  // namespace

IPrimitive* CTreeObjects::NewPrimitiveAfter(ICustomizeRoad* site, IPrimitive* selected)
{
  // The list takes over the reference the new primitive comes with.
  IPrimitive* added = site->CreatePrimitive(*selected->GetShape(), *selected->GetMembership(), TRUE);
  double centre[3] = {};
  m_pDocument->GetViewCentre(centre);
  added->SetCentre(centre);
  LinkAfter(selected, added);
  return added;
}

bool CTreeObjects::DoAddPrimitive(IClassObjModel* object, Refresh& refresh)
{
  IClassObjModel* areaObject = object->GetParent();
  ModelRef<ICustomizeRoad> site(areaObject, IID_ICustomizeRoad);
  ModelRef<IArea> area(areaObject, IID_IArea);
  ModelRef<IPrimitive> selected(object, IID_IPrimitive);
  NewPrimitive made;
  if (!site || !area || (!selected && !NewPrimitiveFor(object, &made)))
    return true;
  m_pDocument->PushUndoState();

  IPrimitive* added = nullptr;
  if (selected) {
    // Below the category node even when the selected primitive is in a group: its group kind stays null.
    added = NewPrimitiveAfter(site.get(), selected.get());
    if (*added->GetMembership() == kMemberShading)
      added->SetHeight(kShadingHeight);
  } else {
    ModelRef<IPrimitive> last(areaObject, IID_LastPrimitive);
    if (!last) {
      m_pDocument->DropUndoState();
      return false;
    }
    const int form = *area->GetTypicalForm();
    if (made.typicalFormAsks && form != 0 && form != 8) {
      // No leaves the area as it was; the undo state and the refresh stay.
      if (AfxMessageBox(kAddPrimitiveQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return true;
      const int free = 0;
      area->SetTypicalForm(&free);
    }
    added = made.membership == kMemberMarking
                ? site->CreatePrimitive(ObjectModel::kShapeRectangle, kMemberMarking, TRUE)
                : site->CreateVertexPrimitive2(made.membership);
    double point[3] = {};
    if (made.atPlacementPoint)
      m_pDocument->GetPlacementPoint(point, area.get());
    else
      m_pDocument->GetViewCentre(point);
    added->SetCentre(point);
    added->MoveVertices(point);
    LinkAfter(last.get(), added);
    added->SetGroupKind(&made.groupKind);
    if (made.membership == kMemberShading) {
      added->SetHeight(kShadingHeight);
      added->SetBaseHeight(point[2]);
      ObjectModel::SetOutlineHeight(added, added->GetHeight());
    }
  }
  IClassObjModel* addedObject = AsObject(added);
  Remember(addedObject);
  refresh.activation = refresh.invalidates = true;
  refresh.changed = addedObject;
  return true;
}

bool CTreeObjects::DoCopyPrimitive(IClassObjModel* object, Refresh& refresh)
{
  ModelRef<ICustomizeRoad> site(object->GetParent(), IID_ICustomizeRoad);
  ModelRef<IPrimitive> selected(object, IID_IPrimitive);
  if (!site || !selected)
    return true;
  m_pDocument->PushUndoState();
  IPrimitive* copy = NewPrimitiveAfter(site.get(), selected.get());
  // The copy keeps its own identity and name and takes everything else, its place and group included.
  const CString name = *copy->GetName();
  IClassObjModel* copyObject = AsObject(copy);
  object->CopyTo(copyObject, ObjectModel::kCopyKeepIdentity);
  copy->SetName(&name);
  Remember(copyObject);
  refresh.activation = refresh.invalidates = true;
  refresh.changed = copyObject;
  return true;
}

bool CTreeObjects::DoPrimitiveOrder(UINT nID, IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IPrimitive> selected(object, IID_IPrimitive);
  IClassObjModel* areaObject = object->GetParent();
  ModelRef<ICustomizeRoad> site(areaObject, IID_ICustomizeRoad);
  if (!selected || !site)
    return false;
  IPrimitive* s = selected.get();
  m_pDocument->PushUndoState();
  // The only primitive cannot be deleted or moved; so is a move that would leave it where it is.
  const bool alone = !s->GetPrev() && !s->GetNext();
  const bool stays = (nID == kPrimitiveToFront && !s->GetNext()) || (nID == kPrimitiveToBack && !s->GetPrev());
  if (alone || stays) {
    m_pDocument->DropUndoState();
    return false;
  }
  refresh.invalidates = true;
  refresh.changed = object;

  if (nID == kPrimitiveDelete) {
    IPrimitive* gone = s;
    if (IPrimitive* prev = s->GetPrev()) {
      Remember(AsObject(prev));
    } else {
      gone = s->GetNext();
      AsObject(gone)->CopyTo(object, 0);
      Remember(object);
    }
    Unlink(gone);
    gone->Release();
    return true;
  }

  if (nID == kPrimitiveToFront && !s->GetPrev()) {
    IPrimitive* scratch = site->CreatePrimitive(0, 0, FALSE);
    object->CopyTo(AsObject(scratch), 0);
    Remember(AsObject(scratch));
    IPrimitive* second = s->GetNext();
    AsObject(second)->CopyTo(object, 0);
    LinkAfter(LastOf(s), scratch);
    Unlink(second);
    second->Release();
    s->Rebuild();
    scratch->Rebuild();
    return true;
  }
  if (nID == kPrimitiveToFront) {
    Unlink(s);
    ModelRef<IPrimitive> first(areaObject, IID_IPrimitive);
    LinkAfter(LastOf(first.get()), s);
    Remember(object);
    return true;
  }

  // To the back: the first object takes the selected primitive's contents, the scratch one the first's.
  ModelRef<IPrimitive> firstRef(areaObject, IID_IPrimitive);
  IPrimitive* first = firstRef.get();
  IPrimitive* scratch = site->CreatePrimitive(0, 0, FALSE);
  Unlink(s);
  AsObject(first)->CopyTo(AsObject(scratch), 0);
  object->CopyTo(AsObject(first), 0);
  Remember(AsObject(first));
  first->Rebuild();
  scratch->Rebuild();
  LinkAfter(first, scratch);
  s->Release();
  return true;
}

bool CTreeObjects::DoPrimitiveOutline(UINT nID, IClassObjModel* object, Refresh& refresh)
{
  ModelRef<IPrimitive> primitive(object, IID_IPrimitive);
  if (!primitive)
    return false;
  IPrimitive* p = primitive.get();
  m_pDocument->PushUndoState();
  const int shape = *p->GetShape();
  const bool polygon = shape == 4 || shape == 5;
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);

  if (nID == kVertexDelete) {
    if (!polygon || !outline || outline->GetSize() <= 3)
      return true;
    for (INT_PTR i = 0; i < outline->GetSize(); ++i) {
      if (!(outline->GetAt(i).flags & 0x2))
        continue;
      if (p->GetFirstChild())
        p->ClearMesh();
      outline->RemoveAt(i);
      refresh.invalidates = true;
      refresh.changed = object;
      break;
    }
    return true;
  }

  refresh.invalidates = true;
  refresh.changed = object;
  HWND main = Shell::GetMainWindow();
  if (!main || (nID == kOutlineRedraw && !polygon))
    return true;
  if (nID == kOutlineRedraw) {
    if (outline)
      outline->RemoveAll();
    p->ClearMesh();
    if (ObjectModel::CPrimitiveCalcSurface* surface = p->GetMeshHelper())
      surface->Reset();
  } else {
    p->ClearMesh();
  }
  m_pDocument->Redraw(1, 0, 1);
  const int state = *p->GetState() & ~0x8;
  p->SetState(&state);
  // Sent, not posted: the view's outline input has begun before the command returns.
  ::SendMessage(main, UM_BEGINCONTOUR, 0, reinterpret_cast<LPARAM>(object));
  return true;
}

bool CTreeObjects::DoPrimitiveGroup(UINT nID, IClassObjModel* object, Refresh& refresh)
{
  IClassObjModel* areaObject = object->GetParent();
  ModelRef<ICustomizeRoad> site(areaObject, IID_ICustomizeRoad);
  ModelRef<IArea> area(areaObject, IID_IArea);
  if (!site || !area)
    return false;
  m_pDocument->PushUndoState();

  if (nID == kGroupAdd) {
    const int form = *area->GetTypicalForm();
    if (form != 0 && form != 8) {
      // No leaves the area as it was; the undo state and the refresh stay.
      if (AfxMessageBox(791, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return true;
      const int free = 0;
      area->SetTypicalForm(&free);
    }
    ModelRef<IGroupOfPrimitive> last(site.get(), IID_LastPrimitiveGroup);
    IGroupOfPrimitive* group = site->CreatePrimitiveGroup3(IsOfClass(object, CLSID_RoadNode) ? 1 : 2);
    if (last && last.get() != group) {
      last->SetNext(group);
      group->SetPrev(last.get());
    }
    ModelRef<IClassObjModel> groupObject(group, IID_IClassObjModel);
    Remember(groupObject.get());
    refresh.activation = true;
    refresh.invalidates = true;
    refresh.changed = object;
    return true;
  }

  ModelRef<IGroupOfPrimitive> group(object, IID_IGroupOfPrimitive);
  if (!group)
    return true;
  CGuid kind;
  group->GetKind(&kind);
  int membership = *group->GetNumber();
  const int total = site->GetPrimitiveCount();
  const int inGroup = site->CountPrimitivesInGroup(&kind, &membership);
  // A group that holds every primitive of the area stays: the area keeps at least one primitive.
  if (inGroup > 0 && inGroup >= total) {
    m_pDocument->DropUndoState();
    return false;
  }
  if (inGroup > 0)
    site->RemovePrimitive(&kind, &membership);
  site->RemovePrimitiveGroup(&kind, &membership);
  const IID* node = membership == 1 ? &IID_RoadNode : membership == 2 ? &IID_PavementNode : nullptr;
  ModelRef<IClassObjModel> remembered(node ? static_cast<IModelUnknown*>(areaObject) : nullptr,
                                      node ? *node : IID_IClassObjModel);
  Remember(remembered ? remembered.get() : areaObject);
  refresh.invalidates = true;
  refresh.changed = areaObject;
  return true;
}

}  // namespace VisualCtrl
