// Edits of a primitive. Every accepted edit recomputes the dashed contour that poles are placed along.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/msgbox.h"

namespace VisualCtrl {

using namespace ObjectModel;

namespace {

constexpr int kVertexMarked = 0x1;
constexpr int kVertexSelected = 0x2;

INT_PTR FirstSelectedVertex(const CArray<_CSPOINT3D>* outline)
{
  for (INT_PTR i = 0; outline && i < outline->GetSize(); ++i)
    if (outline->GetAt(i).flags & kVertexSelected)
      return i;
  return -1;
}

float ColourPart(COLORREF colour, int shift) { return static_cast<float>((colour >> shift) & 0xFF) / 255.0f; }

}  // namespace

LRESULT CPropObjects::CommitPrimitive(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IPrimitive> primitive = Query<IPrimitive>(m_shownObject, IID_IPrimitive);
  if (!primitive)
    return 0;
  IPrimitive* p = primitive.Get();
  if (!CommitPrimitiveItem(p, item, id, mainWnd))
    return 0;
  p->RebuildContour();
  return 1;
}

bool CPropObjects::CommitPrimitiveItem(IPrimitive* p, CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  auto measure = [&](double old, double* v, const Range* range, UINT message) {
    return AcceptMeasure(item, old, v, range, message);
  };
  double v = 0;
  switch (id) {
  case kItemPrimitiveName: {
    const CString text = item->GetValue();
    if (text.IsEmpty()) {
      item->SetValue(*p->GetName());
      return false;
    }
    p->SetName(&text);
    SendTreeText(mainWnd);
    return true;
  }
  case kItemPrimitiveState: {
    static constexpr int kStates[] = {kStateOn | kStateShown, kStateOn, kStateShown};
    const int chosen = ChosenIndex(item);
    if (chosen < 0 || chosen > 2)
      return false;
    const int state = (*p->GetState() & ~(kStateOn | kStateShown)) | kStates[chosen];
    p->SetState(&state);
    m_document->SetModifiedFlag(TRUE);
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    return true;
  }
  case kItemPrimitiveShape: return CommitPrimitiveShape(p, item, mainWnd);
  case kItemPrimitiveMembership: return CommitPrimitiveMembership(p, item, mainWnd);
  case kItemPrimitiveColour: {
    auto* colourItem = DYNAMIC_DOWNCAST(CTKPropertyGridItemColor, item);
    if (!colourItem)
      return false;
    const COLORREF colour = colourItem->GetColor();
    const _PREF_OF_COLOR parts{ColourPart(colour, 0), ColourPart(colour, 8), ColourPart(colour, 16)};
    p->SetColour(&parts);
    m_document->SetModifiedFlag(TRUE);
    m_document->Redraw(0, 0, 1);
    return true;
  }
  case kItemPrimitiveCentreX:
  case kItemPrimitiveCentreY: {
    double centre[3] = {};
    p->GetCentre(centre);
    const int axis = id == kItemPrimitiveCentreX ? 0 : 1;
    if (!measure(centre[axis], &v, nullptr, 0))
      return false;
    centre[axis] = v;
    p->SetCentre(centre);
    return true;
  }
  case kItemPrimitiveRotation: {
    const Range range{-180, 180};
    if (!measure(p->GetRotation(), &v, &range, 352))
      return false;
    p->SetRotation(v);
    return true;
  }
  case kItemPrimitiveSize2:
  case kItemPrimitiveSize1: {
    const Range range{0, 2000, true};
    const bool length = id == kItemPrimitiveSize2;
    if (!measure(length ? *p->GetSize2() : *p->GetSize1(), &v, &range, length ? 357 : 358))
      return false;
    length ? p->SetSize2(v) : p->SetSize1(v);
    return true;
  }
  case kItemPrimitiveOuterRadius: {
    const bool ring = *p->GetShape() == kShapeRingSector;
    const Range range{ring ? *p->GetInnerRadius() : 0.0, 1000, true};
    if (!measure(*p->GetSize2() / 2, &v, &range, 359))
      return false;
    // On a ring both setters write both sizes: the diameter goes last so the outer radius is what was typed.
    p->SetSize1(v);
    p->SetSize2(2 * v);
    return true;
  }
  case kItemPrimitiveInnerRadius: {
    const bool ring = *p->GetShape() == kShapeRingSector;
    const Range range{0, ring ? *p->GetSize2() / 2 : 1000.0, false, true};
    if (!measure(*p->GetInnerRadius(), &v, &range, 479))
      return false;
    p->SetInnerRadius(&v);
    return true;
  }
  case kItemPrimitiveSectorAngle: {
    const Range range{0, 360, true};
    if (!measure(*p->GetSectorAngle(), &v, &range, 483))
      return false;
    p->SetSectorAngle(&v);
    return true;
  }
  case kItemPrimitiveVertexOffset: {
    const Range range{-1, 1};
    if (!measure(*p->GetVertexOffset(), &v, &range, 522))
      return false;
    p->SetVertexOffset(&v);
    return true;
  }
  case kItemPrimitiveContourOffset: {
    const Range range{0, 50};
    if (!measure(*p->GetContourOffset(), &v, &range, 254))
      return false;
    p->SetContourOffset(v);
    return true;
  }
  case kItemPrimitiveHeight: {
    const Range range{0, 100, true};
    if (!measure(p->GetHeight(), &v, &range, 757))
      return false;
    p->ClearMesh();
    p->SetHeight(v);
    if (*p->GetMembership() == kMemberShading)
      SetOutlineHeight(p, v);
    p->Rebuild();
    return true;
  }
  case kItemPrimitiveBaseHeight: {
    const Range range{-3000, 3000, true};
    if (!measure(p->GetBaseHeight(), &v, &range, 799))
      return false;
    p->SetBaseHeight(v);
    return true;
  }
  case kItemVertexX:
  case kItemVertexY: return CommitVertexMove(p, item, id == kItemVertexX ? 0 : 1);
  case kItemVertexZ: {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    const INT_PTR i = FirstSelectedVertex(outline);
    if (i < 0 || !measure(outline->GetAt(i).z, &v, nullptr, 0))
      return false;
    p->ClearMesh();
    outline->ElementAt(i).z = v;
    p->Rebuild();
    return true;
  }
  default: return false;
  }
}

bool CPropObjects::CommitPrimitiveShape(IPrimitive* p, CTKPropertyGridItem* item, CWnd* mainWnd)
{
  const int shape = ChosenIndex(item);
  if (shape < 0)
    return false;
  p->SetShape(&shape);
  // The frame's refresh rebuilds every pane; the pane then shows the primitive again and the tree selects it.
  IClassObjModel* object = m_shownObject;
  if (mainWnd) {
    mainWnd->SendMessage(UM_SHOWOBJECT, 0, 0);
    HoldObject(object);
    object->GetClassId(&m_shownClassId);
    HTREEITEM* treeItem = object->GetTreeItem();
    mainWnd->SendMessage(UM_SELECTTREEITEM, 0, reinterpret_cast<LPARAM>(treeItem ? *treeItem : nullptr));
    mainWnd->PostMessage(UM_REFRESHPARAMETERS, 0, reinterpret_cast<LPARAM>(object));
  }
  m_document->SetModifiedFlag(TRUE);
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);
  if (IsPolygonShape(shape) && (!outline || outline->GetSize() < 3) && mainWnd)
    mainWnd->SendMessage(UM_BEGINCONTOUR, 0, reinterpret_cast<LPARAM>(object));
  return true;
}

bool CPropObjects::CommitPrimitiveMembership(IPrimitive* p, CTKPropertyGridItem* item, CWnd* mainWnd)
{
  const int chosen = ChosenIndex(item);
  if (chosen < 0)
    return false;
  int m = chosen + (IsInterchange(m_shownObject->GetParent()) ? 1 : 0);
  if (m >= kMemberUnnamed)
    m += 1;
  // The list chooses a category only: the primitive leaves its user group.
  ChangeMembership(p, m, CGuid(), 0);
  m_document->SetModifiedFlag(TRUE);
  if (mainWnd)
    mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
  return true;
}

bool CPropObjects::CommitVertexMove(IPrimitive* p, CTKPropertyGridItem* item, int axis)
{
  auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item);
  if (!number)
    return false;
  const double v = RoundTo(2, number->GetDouble()) + 0.0;
  number->SetDouble(v);
  CArray<_CSPOINT3D>* outline = nullptr;
  p->GetOutline(&outline);
  const INT_PTR i = FirstSelectedVertex(outline);
  if (i < 0)
    return false;
  _CSPOINT3D moved = outline->GetAt(i);
  const double old = RoundTo(2, axis == 0 ? moved.x : moved.y) + 0.0;
  if (v == old)
    return false;
  (axis == 0 ? moved.x : moved.y) = v;

  auto refuse = [&] {
    number->SetDouble(old);
    ShowPlainMessage(775);
    return false;
  };
  for (INT_PTR k = 0; k < outline->GetSize(); ++k)
    if (k != i && outline->GetAt(k).x == moved.x && outline->GetAt(k).y == moved.y)
      return refuse();

  outline->ElementAt(i).flags |= kVertexMarked;
  p->ClearMesh();
  const double point[3] = {moved.x, moved.y, moved.z};
  const int valid = p->MoveCurrentVertex(point, 1);
  // The outline may have been replaced by the move; look the vertex up again.
  p->GetOutline(&outline);
  if (outline && i < outline->GetSize())
    outline->ElementAt(i).flags &= ~kVertexMarked;
  p->Rebuild();
  if (!valid)
    return refuse();
  return true;
}

}  // namespace VisualCtrl
