// Dragging a primitive in the tree onto a category node or a primitive group of its own area moves it there.
// The tree holds the mouse while dragging, so a release outside the window ends the drag too.
#include "app/panes/objecttree/model_ref.h"
#include "app/panes/objecttree/tree_objects.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/primitive.h"

namespace VisualCtrl {

namespace {

bool IsClass(IClassObjModel* object, const CLSID& cls)
{
  CGuid id;
  object->GetClassId(&id);
  return id.IsEqual(&cls) != 0;
}

bool SameObject(IClassObjModel* a, IClassObjModel* b)
{
  if (!a || !b)
    return false;
  CGuid idA;
  CGuid idB;
  a->GetObjectId(&idA);
  b->GetObjectId(&idB);
  return idA.IsEqual(&idB.Value()) != 0;
}

// The membership a drop on the target gives, with the group kind; false for an object that takes no primitive.
bool DropMembership(IClassObjModel* target, int* membership, CGuid* kind)
{
  struct Node {
    const CLSID* cls;
    int membership;
  };
  static const Node kNodes[] = {{&CLSID_RoadNode, 1},    {&CLSID_PavementNode, 2}, {&CLSID_BackgroundNode, 0},
                                {&CLSID_ShadingNode, 4}, {&CLSID_MarkingNode, 5}};
  for (const Node& node : kNodes) {
    if (IsClass(target, *node.cls)) {
      *membership = node.membership;
      *kind = CGuid();
      return true;
    }
  }
  if (!IsClass(target, CLSID_CGroupOfPrimitive))
    return false;
  ModelRef<IGroupOfPrimitive> group(target, IID_IGroupOfPrimitive);
  if (!group)
    return false;
  *membership = *group->GetNumber();
  group->GetKind(kind);
  return true;
}

}  // namespace

IClassObjModel* CTreeObjects::DraggedPrimitive() const
{
  return m_bDragging ? reinterpret_cast<IClassObjModel*>(::GetWindowLongPtr(m_hWnd, GWLP_USERDATA)) : nullptr;
}

IClassObjModel* CTreeObjects::DropTargetAt(CPoint point, HTREEITEM* item) const
{
  IClassObjModel* dragged = DraggedPrimitive();
  UINT flags = 0;
  HTREEITEM hit = HitTest(point, &flags);
  IClassObjModel* target = (flags & TVHT_ONITEM) ? GetItemObject(hit) : nullptr;
  int membership = 0;
  CGuid kind;
  if (!dragged || !target || !DropMembership(target, &membership, &kind))
    return nullptr;
  if (!SameObject(target->GetParent(), dragged->GetParent()))
    return nullptr;
  *item = hit;
  return target;
}

void CTreeObjects::SetDragCursor(bool drag)
{
  HCURSOR cursor = drag ? m_hDragCursor : m_hArrowCursor;
  ::SetCursor(cursor);
  ::SetClassLongPtr(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

void CTreeObjects::EndDrag()
{
  const bool wasDragging = m_bDragging != FALSE;
  IClassObjModel* dragged = DraggedPrimitive();
  m_bDragging = FALSE;
  ::SetWindowLongPtr(m_hWnd, GWLP_USERDATA, 0);
  if (dragged)
    dragged->Release();
  SetDragCursor(false);
  if (wasDragging && ::GetCapture() == m_hWnd)
    ::ReleaseCapture();
}

void CTreeObjects::OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult)
{
  *pResult = 0;
  EndDrag();
  auto* info = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
  IClassObjModel* object = GetItemObject(info->itemNew.hItem);
  if (!object || !IsClass(object, CLSID_CPrimitive))
    return;
  // Held for the drag: a rebuild in between deletes the items and their references.
  object->AddRef();
  ::SetWindowLongPtr(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  m_bDragging = TRUE;
  SetDragCursor(true);
  SetCapture();
}

void CTreeObjects::OnMouseMove(UINT nFlags, CPoint point)
{
  if (m_bDragging && !(nFlags & MK_LBUTTON)) {
    EndDrag();
    return;
  }
  if (m_bDragging) {
    HTREEITEM item = nullptr;
    const bool over = DropTargetAt(point, &item) != nullptr;
    if (over) {
      SelectItem(item);
      Expand(item, TVE_EXPAND);
    }
    SetDragCursor(over);
  } else if (nFlags & MK_LBUTTON) {
    SetDragCursor(false);
  }
  CTKTreeCtrl::OnMouseMove(nFlags, point);
}

void CTreeObjects::OnLButtonUp(UINT nFlags, CPoint point)
{
  HTREEITEM item = nullptr;
  if (IClassObjModel* target = DropTargetAt(point, &item))
    DropPrimitive(DraggedPrimitive(), target);
  EndDrag();
  CTKTreeCtrl::OnLButtonUp(nFlags, point);
}

LRESULT CTreeObjects::OnMouseLeave(WPARAM, LPARAM)
{
  // A drag holds the mouse, so leaving the window does not end it; the release does.
  if (::GetCapture() != m_hWnd)
    EndDrag();
  return 0;
}

void CTreeObjects::OnCaptureChanged(CWnd* pWnd)
{
  if (m_bDragging && (!pWnd || pWnd->GetSafeHwnd() != m_hWnd))
    EndDrag();
  CTKTreeCtrl::OnCaptureChanged(pWnd);
}

void CTreeObjects::DropPrimitive(IClassObjModel* dragged, IClassObjModel* target)
{
  ModelRef<IPrimitive> primitive(dragged, IID_IPrimitive);
  IClassObjModel* areaObject = dragged->GetParent();
  ModelRef<IArea> area(areaObject, IID_IArea);
  int membership = 0;
  CGuid kind;
  if (!primitive || !DropMembership(target, &membership, &kind))
    return;
  if (m_pDocument) {
    m_pDocument->PushUndoState();
    m_pDocument->ResetResults(area.get());
  }
  ObjectModel::ChangeMembership(primitive.get(), membership, kind, membership == ObjectModel::kMemberMarking ? 1 : 0);
  if (m_pDocument)
    m_pDocument->SetModifiedFlag(TRUE);
  OnRebuild(0, 0);
}

}  // namespace VisualCtrl
