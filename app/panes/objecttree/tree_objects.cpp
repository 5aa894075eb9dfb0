#include "app/panes/objecttree/tree_objects.h"

#include "app/messages.h"
#include "app/panes/objecttree/model_ref.h"
#include "model/class_of.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/frame.h"
#include "platform/user/resources.h"

#include <vector>

namespace VisualCtrl {

namespace {

// Item icons, as the image list holds them.
enum TreeImage : int {
  kImageProject = 0,
  kImageStraightRoad = 1,
  kImageCarriageway = 2,
  kImageSidewalk = 4,
  kImageWalls = 6,
  kImageGroups = 8,
  kImageGroupOn = 9,
  kImageGroupOff = 10,
  kImageOpenSite = 11,
  kImageTriangle = 12,
  kImageRectangle = 14,
  kImageEllipse = 16,
  kImageBackground = 18,
  kImageRingSector = 19,
  kImageTurn = 21,
  kImageCrossing = 22,
  kImageJunction = 23,
  kImageFork = 24,
  kImageWidening = 25,
  kImageRoundabout = 26,
  kImagePolygon = 27,
  kImagePolygonOff = 28,
  kImagePolygonFew = 29,
  kImagePolygonFewOff = 30,
  kImageShading = 31,
  kImageInterchange = 32,
  kImagePolygonHidden = 33,
  kImagePrimitiveGroup = 34,
  kImagePrimitiveGroupOpen = 35,
};

constexpr UINT kIcons[] = {132, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 161, 162, 163, 164, 165, 166, 167,
                           168, 170, 169, 319, 320, 321, 322, 323, 324, 338, 339, 341, 340, 750, 751, 752, 757, 758};

constexpr COLORREF kInactiveGrey = RGB(125, 125, 125);
constexpr COLORREF kSwitchedOn = RGB(0, 0, 0);
constexpr COLORREF kSwitchedOff = RGB(255, 0, 0);

constexpr UINT kDragCursor = 758;

// The calculate command the frame runs on F5, and the exact key message of a first press of F5.
constexpr UINT kCalculateCommand = 32772;
constexpr LPARAM kFirstF5Press = 0x003F0001;

// Category nodes of an open site: the key that hands the node out, its state word, its icons and the
// membership code of its primitives.
struct CategoryNode {
  const IID* key;
  int* (ICustomizeRoad::*state)();
  int imageOn;
  int imageOff;
  int membership;
};
constexpr CategoryNode kNodes[] = {
    {&IID_RoadNode, &ICustomizeRoad::GetRoadState, kImageCarriageway, kImageCarriageway + 1, 1},
    {&IID_PavementNode, &ICustomizeRoad::GetSidewalkState, kImageSidewalk, kImageSidewalk + 1, 2},
    {&IID_BackgroundNode, nullptr, kImageBackground, kImageBackground, 0},
    {&IID_ShadingNode, nullptr, kImageShading, kImageShading, 4},
};

// Classes whose names are not edited in the tree.
const CLSID* const kFixedNames[] = {&CLSID_CClassObjModel, &CLSID_CRoad,        &CLSID_CPavement,
                                    &CLSID_CWall,          &CLSID_RoadNode,     &CLSID_PavementNode,
                                    &CLSID_BackgroundNode, &CLSID_ShadingNode,  &CLSID_CGroupsOfDev,
                                    &CLSID_CGroupOfDev};

CGuid ClassOf(IClassObjModel* object)
{
  CGuid id;
  object->GetClassId(&id);
  return id;
}

CGuid IdOf(IClassObjModel* object)
{
  CGuid id;
  object->GetObjectId(&id);
  return id;
}

int ExpandedFlag(IClassObjModel* object) { return object ? *object->GetExpanded() : 1; }

int AreaImage(int typicalForm)
{
  switch (typicalForm) {
  case 1: return kImageTurn;
  case 2: return kImageFork;
  case 3: return kImageCrossing;
  case 4: return kImageJunction;
  case 5: return kImageWidening;
  case 7: return kImageRoundabout;
  case 8: return kImageInterchange;
  default: return kImageOpenSite;
  }
}

int PrimitiveImage(IPrimitive* primitive)
{
  const int state = *primitive->GetState();
  const bool on = (state & 1) != 0;
  switch (*primitive->GetShape()) {
  case 0: return on ? kImageTriangle : kImageTriangle + 1;
  case 1: return on ? kImageRectangle : kImageRectangle + 1;
  case 2: return on ? kImageEllipse : kImageEllipse + 1;
  case 3: return on ? kImageRingSector : kImageRingSector + 1;
  default: {
    CArray<_CSPOINT3D>* outline = nullptr;
    primitive->GetOutline(&outline);
    if (!outline || outline->GetSize() < 3)
      return on ? kImagePolygonFew : kImagePolygonFewOff;
    if (!on)
      return kImagePolygonOff;
    return (state & 4) != 0 ? kImagePolygon : kImagePolygonHidden;
  }
  }
}

}  // namespace

IMPLEMENT_DYNAMIC(CTreeObjects, CTKTreeCtrl)

BEGIN_MESSAGE_MAP(CTreeObjects, CTKTreeCtrl)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_MESSAGE(UM_SHOWOBJECT, &CTreeObjects::OnRebuild)
  ON_MESSAGE(UM_CLEARPANES, &CTreeObjects::OnClear)
  ON_NOTIFY_REFLECT(TVN_SELCHANGED, &CTreeObjects::OnSelChangedNotify)
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_NOTIFY_REFLECT_EX(TVN_BEGINLABELEDIT, &CTreeObjects::OnBeginLabelEdit)
  ON_NOTIFY_REFLECT_EX(TVN_ENDLABELEDIT, &CTreeObjects::OnEndLabelEdit)
  ON_NOTIFY_REFLECT(TVN_ITEMEXPANDED, &CTreeObjects::OnItemExpanded)
  ON_NOTIFY_REFLECT(TVN_BEGINDRAG, &CTreeObjects::OnBeginDrag)
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_MESSAGE(WM_MOUSELEAVE, &CTreeObjects::OnMouseLeave)
END_MESSAGE_MAP()

CTreeObjects::CTreeObjects(IQorRoadDoc* document) : m_pDocument(document)
{
  m_hArrowCursor = ::LoadCursor(nullptr, IDC_ARROW);
  m_hDragCursor = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kDragCursor));
}

CTreeObjects::~CTreeObjects() = default;

IClassObjModel* CTreeObjects::GetItemObject(HTREEITEM hItem) const
{
  return hItem ? reinterpret_cast<IClassObjModel*>(GetItemData(hItem)) : nullptr;
}

int CTreeObjects::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
  if (CTKTreeCtrl::OnCreate(lpCreateStruct) == -1)
    return -1;
  ::SetCursor(m_hArrowCursor);
  ::SetClassLongPtr(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hArrowCursor));
  m_images.Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 4);
  for (UINT icon : kIcons)
    m_images.Add(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(icon)));
  SetImageList(&m_images, TVSIL_NORMAL);
  for (std::size_t i = 0; i < m_menuBitmaps.size(); ++i)
    m_menuBitmaps[i].LoadBitmap(kMenuBitmapIds[i]);
  return 0;
}

void CTreeObjects::OnDestroy()
{
  EndDrag();
  DeleteObjectItems();
  m_images.DeleteImageList();
  for (CBitmap& bitmap : m_menuBitmaps)
    bitmap.DeleteObject();
  CTKTreeCtrl::OnDestroy();
}

// Items keep their objects alive until they are deleted, so that a delete followed by a click, a paint or a
// second command before the posted rebuild never reaches a freed object.
void CTreeObjects::DeleteObjectItems()
{
  std::vector<HTREEITEM> items;
  for (HTREEITEM item = GetRootItem(); item; item = GetNextItemInOrder(item))
    items.push_back(item);
  for (HTREEITEM item : items) {
    if (IClassObjModel* object = GetItemObject(item)) {
      SetItemData(item, 0);
      object->Release();
    }
  }
  DeleteAllItems();
}

HTREEITEM CTreeObjects::InsertObject(IClassObjModel* object, const CString& text, int image, int selectedImage,
                                     HTREEITEM parent, HTREEITEM* found)
{
  HTREEITEM item = InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, text, image, selectedImage,
                              0, 0, reinterpret_cast<LPARAM>(object), parent, TVI_LAST);
  if (!item || !object)
    return item;
  object->AddRef();
  object->SetTreeItem(&item);
  if (found && IdOf(object).IsEqual(&m_rememberedId.Value()))
    *found = item;
  return item;
}

LRESULT CTreeObjects::OnRebuild(WPARAM, LPARAM)
{
  ModelRef<IProject> project = ProjectOf(m_pDocument);
  DeleteObjectItems();
  if (!project)
    return 0;
  ModelRef<IClassObjModel> projectObject = ObjectOf(project.get());
  HTREEITEM found = nullptr;
  HTREEITEM projectItem =
      InsertObject(projectObject.get(), *project->GetName(), kImageProject, kImageProject, TVI_ROOT, nullptr);
  const int projectExpanded = ExpandedFlag(projectObject.get());

  ModelRef<IArea> first(project.get(), IID_IArea);
  for (IArea* area = first.get(); area; area = area->GetNext())
    InsertArea(area, projectItem, &found);

  if (projectExpanded)
    Expand(projectItem, TVE_EXPAND);
  SelectItem(found ? found : projectItem);

  if (HWND main = Shell::GetMainWindow()) {
    IClassObjModel* selected = GetItemObject(GetSelectedItem());
    if (selected)
      m_rememberedId = IdOf(selected);
    ::PostMessage(main, UM_SHOWOBJECT, 1, reinterpret_cast<LPARAM>(selected));
  } else {
    m_rememberedId = CGuid();
  }
  return 0;
}

void CTreeObjects::InsertArea(IArea* area, HTREEITEM projectItem, HTREEITEM* found)
{
  ModelRef<IClassObjModel> object = ObjectOf(area);
  const bool active = area->IsActive() != 0;
  HTREEITEM areaItem = InsertObject(object.get(), *area->GetCaption(), kImageStraightRoad, kImageStraightRoad,
                                    projectItem, found);
  if (active)
    SetItemBold(areaItem, TRUE);
  else
    SetItemColor(areaItem, kInactiveGrey);

  const CGuid kind = ClassOf(object.get());
  if (kind.IsEqual(&CLSID_CStraightRoad)) {
    InsertStraightRoadParts(area, areaItem, active, found);
  } else if (kind.IsEqual(&CLSID_CCustomizeRoad) || kind.IsEqual(&CLSID_CCustomizeRoad3D)) {
    const int image = AreaImage(*area->GetTypicalForm());
    SetItemImage(areaItem, image, image);
    InsertOpenSiteParts(area, areaItem, active, found);
  }
  InsertGroupsOfPoles(area, areaItem, active, found);
  if (ExpandedFlag(object.get()))
    Expand(areaItem, TVE_EXPAND);
}

void CTreeObjects::InsertStraightRoadParts(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found)
{
  auto colourOf = [active](int state) {
    return !active ? kInactiveGrey : (state & 1) != 0 ? kSwitchedOn : kSwitchedOff;
  };
  if (ModelRef<IRoad> road(area, IID_IRoad); road) {
    const int state = *road->GetState();
    const int image = (state & 1) != 0 ? kImageCarriageway : kImageCarriageway + 1;
    HTREEITEM item = InsertObject(ObjectOf(road.get()).get(), *road->GetName(), image, image, areaItem, found);
    SetItemColor(item, colourOf(state));
  }
  if (ModelRef<IPavement> pavement(area, IID_IPavement); pavement && (*pavement->GetFlags() & 2) == 0) {
    const int flags = *pavement->GetFlags();
    const int image = (flags & 1) != 0 ? kImageSidewalk : kImageSidewalk + 1;
    HTREEITEM item =
        InsertObject(ObjectOf(pavement.get()).get(), *pavement->GetName(), image, image, areaItem, found);
    SetItemColor(item, colourOf(flags));
  }
  if (ModelRef<IWall> walls(area, IID_IWall); walls && (*walls->GetFlags() & 2) == 0) {
    const int flags = *walls->GetFlags();
    const int image = (flags & 1) != 0 ? kImageWalls : kImageWalls + 1;
    HTREEITEM item = InsertObject(ObjectOf(walls.get()).get(), *walls->GetName(), image, image, areaItem, found);
    SetItemColor(item, colourOf(flags));
  }
}

void CTreeObjects::InsertOpenSiteParts(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found)
{
  ModelRef<ICustomizeRoad> site(area, IID_ICustomizeRoad);
  if (!site)
    return;
  const int form = *area->GetTypicalForm();
  const bool freeForm = form == 0 || form == 8;
  const bool multiLevel = IsOfClass(area, CLSID_CCustomizeRoad3D);
  for (int i = 0; i < 4; ++i) {
    const CategoryNode& node = kNodes[i];
    bool shown = false;
    if (freeForm)
      shown = i == 0 || i == 1 || i == 3 || (i == 2 && multiLevel);
    else
      shown = i == 0 || (i == 1 && (*site->GetSidewalkState() & 2) == 0);
    if (!shown)
      continue;
    ModelRef<IClassObjModel> nodeObject(area, *node.key);
    if (!nodeObject)
      continue;
    const bool nodeOn = !node.state || (*(site.get()->*node.state)() & 1) != 0;
    const int image = nodeOn ? node.imageOn : node.imageOff;
    HTREEITEM nodeItem = InsertObject(nodeObject.get(), *nodeObject->GetName(), image, image, areaItem, found);
    SetItemColor(nodeItem, !active ? kInactiveGrey : nodeOn ? kSwitchedOn : kSwitchedOff);
    if (!freeForm) {
      if (ExpandedFlag(nodeObject.get()))
        Expand(nodeItem, TVE_EXPAND);
      continue;
    }

    struct GroupItem {
      CGuid kind;
      HTREEITEM item;
      int expanded;
    };
    std::vector<GroupItem> groups;
    ModelRef<IGroupOfPrimitive> firstGroup(area, IID_IGroupOfPrimitive);
    for (IGroupOfPrimitive* group = firstGroup.get(); group; group = group->GetNext()) {
      if (*group->GetNumber() != node.membership)
        continue;
      ModelRef<IClassObjModel> groupObject = ObjectOf(group);
      HTREEITEM groupItem = InsertObject(groupObject.get(), *group->GetName(), kImagePrimitiveGroup,
                                         kImagePrimitiveGroupOpen, nodeItem, found);
      SetItemColor(groupItem, !active ? kInactiveGrey : nodeOn ? kSwitchedOn : kSwitchedOff);
      GroupItem record{{}, groupItem, ExpandedFlag(groupObject.get())};
      group->GetKind(&record.kind);
      groups.push_back(record);
      if (record.expanded)
        Expand(groupItem, TVE_EXPAND);
    }

    ModelRef<IPrimitive> firstPrimitive(area, IID_IPrimitive);
    for (IPrimitive* primitive = firstPrimitive.get(); primitive; primitive = primitive->GetNext()) {
      if (*primitive->GetMembership() != node.membership)
        continue;
      const int primitiveImage = PrimitiveImage(primitive);
      CGuid groupKind;
      primitive->GetGroupKind(&groupKind);
      const GroupItem* parent = nullptr;
      for (const GroupItem& group : groups) {
        if (group.kind.IsEqual(&groupKind.Value())) {
          parent = &group;
          break;
        }
      }
      HTREEITEM item = InsertObject(ObjectOf(primitive).get(), *primitive->GetName(), primitiveImage,
                                    primitiveImage, parent ? parent->item : nodeItem, found);
      if (parent && parent->expanded)
        Expand(parent->item, TVE_EXPAND);
      const bool primitiveOn = (*primitive->GetState() & 1) != 0;
      SetItemColor(item, !active ? kInactiveGrey : nodeOn && primitiveOn ? kSwitchedOn : kSwitchedOff);
    }
    if (ExpandedFlag(nodeObject.get()))
      Expand(nodeItem, TVE_EXPAND);
  }
}

void CTreeObjects::InsertGroupsOfPoles(IArea* area, HTREEITEM areaItem, bool active, HTREEITEM* found)
{
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  if (!groups)
    return;
  ModelRef<IClassObjModel> groupsObject = ObjectOf(groups.get());
  HTREEITEM groupsItem =
      InsertObject(groupsObject.get(), *groups->GetName(), kImageGroups, kImageGroups, areaItem, found);
  SetItemColor(groupsItem, active ? kSwitchedOn : kInactiveGrey);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext()) {
    CString text;
    text.Format(*group->GetMountingKind() == 1 ? "М%ld:%s" : "%ld:%s", static_cast<long>(*group->GetNumber()),
                static_cast<LPCSTR>(*group->GetName()));
    const bool on = (*group->GetState() & 1) != 0;
    const int image = on ? kImageGroupOn : kImageGroupOff;
    HTREEITEM item = InsertObject(ObjectOf(group).get(), text, image, image, groupsItem, found);
    SetItemColor(item, !active ? kInactiveGrey : on ? kSwitchedOn : kSwitchedOff);
    group->ShareTreeItem();
  }
  if (ExpandedFlag(groupsObject.get()))
    Expand(groupsItem, TVE_EXPAND);
}

LRESULT CTreeObjects::OnClear(WPARAM, LPARAM)
{
  DeleteObjectItems();
  m_rememberedId = CGuid();
  return 0;
}

void CTreeObjects::OnSelChangedNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
  OnSelChanged(reinterpret_cast<const NMTREEVIEW*>(pNMHDR)->itemNew.hItem);
  *pResult = 0;
}

void CTreeObjects::OnSelChanged(HTREEITEM hItem)
{
  IClassObjModel* object = GetItemObject(hItem);
  if (!object)
    return;
  m_rememberedId = IdOf(object);
  ModelRef<IClassObjModel> selectedSubGroup;
  if (ClassOf(object).IsEqual(&CLSID_CGroupOfDev)) {
    ModelRef<IGroupOfDev> firstSub(object, IID_FirstSubGroup);
    for (IGroupOfDev* sub = firstSub.get(); sub; sub = sub->GetNext()) {
      ModelRef<IClassObjModel> subObject = ObjectOf(sub);
      if (subObject && subObject->IsSelected()) {
        selectedSubGroup = std::move(subObject);
        break;
      }
    }
  }
  if (ModelRef<IProject> project = ProjectOf(m_pDocument); project)
    project->ClearSelection();
  HWND main = Shell::GetMainWindow();
  if (!main)
    return;
  // The sender keeps the object alive while the frame shows it.
  object->AddRef();
  ::SendMessage(main, UM_SHOWOBJECT, 1, reinterpret_cast<LPARAM>(object));
  (selectedSubGroup ? selectedSubGroup.get() : object)->SetSelected(1);
  object->Release();
  m_pDocument->Redraw(0, 1, 1);
}

void CTreeObjects::OnLButtonDown(UINT, CPoint point)
{
  HTREEITEM before = GetSelectedItem();
  Default();
  if (!GetSafeHwnd())
    return;
  HTREEITEM hit = HitTest(point);
  if (!hit)
    return;
  SetFocus();
  if (hit == before && hit == GetSelectedItem())
    OnSelChanged(hit);
}

int CTreeObjects::CalculationState(bool* hasMainWindow) const
{
  HWND main = Shell::GetMainWindow();
  *hasMainWindow = main != nullptr;
  int state = 0;
  if (main)
    ::SendMessage(main, UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  return state;
}

void CTreeObjects::OnRButtonDown(UINT, CPoint point)
{
  bool hasMainWindow = false;
  const int state = CalculationState(&hasMainWindow);
  if (!hasMainWindow)
    return;
  if (state != 0) {
    Default();
    return;
  }
  HTREEITEM hit = HitTest(point);
  if (!hit)
    return;
  SetFocus();
  if (hit == GetSelectedItem())
    OnSelChanged(hit);
  else
    SelectItem(hit);
}

BOOL CTreeObjects::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
  const auto* info = reinterpret_cast<const NMTVDISPINFO*>(pNMHDR);
  *pResult = 1;
  IClassObjModel* object = GetItemObject(info->item.hItem);
  if (object) {
    const CGuid kind = ClassOf(object);
    for (const CLSID* fixed : kFixedNames) {
      if (kind.IsEqual(fixed))
        return TRUE;
    }
  }
  if (!GetEditControl() || GetItemText(info->item.hItem).IsEmpty())
    return TRUE;
  HandleBeginLabelEdit(pNMHDR);
  *pResult = 0;
  return TRUE;
}

BOOL CTreeObjects::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
  HandleEndLabelEdit();
  *pResult = 0;
  CEdit* edit = GetEditControl();
  IClassObjModel* object = GetItemObject(reinterpret_cast<const NMTVDISPINFO*>(pNMHDR)->item.hItem);
  if (!edit || !object)
    return TRUE;
  CString text;
  edit->GetWindowText(text);

  const CGuid kind = ClassOf(object);
  bool renamed = false;
  auto rename = [&](CString* old, auto&& set) {
    if (!old || *old == text)
      return;
    m_pDocument->PushUndoState();
    set();
    renamed = true;
  };
  if (kind.IsEqual(&CLSID_CProject)) {
    ModelRef<IProject> project(object, IID_IProject);
    if (project)
      rename(project->GetName(), [&] { project->SetName(&text); });
  } else if (kind.IsEqual(&CLSID_CStraightRoad) || kind.IsEqual(&CLSID_CCustomizeRoad) ||
             kind.IsEqual(&CLSID_CCustomizeRoad3D)) {
    ModelRef<IArea> area(object, IID_IArea);
    if (area)
      rename(area->GetCaption(), [&] { area->SetCaption(&text); });
  } else if (kind.IsEqual(&CLSID_CPrimitive)) {
    ModelRef<IPrimitive> primitive(object, IID_IPrimitive);
    if (primitive)
      rename(primitive->GetName(), [&] { primitive->SetName(&text); });
  } else if (kind.IsEqual(&CLSID_CGroupOfPrimitive)) {
    ModelRef<IGroupOfPrimitive> group(object, IID_IGroupOfPrimitive);
    if (group)
      rename(group->GetName(), [&] { group->SetName(&text); });
  }
  if (!renamed)
    return TRUE;
  *pResult = 1;
  if (HWND main = Shell::GetMainWindow())
    ::PostMessage(main, UM_SHOWOBJECT, 1, reinterpret_cast<LPARAM>(object));
  m_pDocument->SetModifiedFlag(1);
  return TRUE;
}

void CTreeObjects::OnItemExpanded(NMHDR* pNMHDR, LRESULT* pResult)
{
  const auto* nm = reinterpret_cast<const NMTREEVIEW*>(pNMHDR);
  if (IClassObjModel* object = GetItemObject(nm->itemNew.hItem)) {
    const int expanded = (CTreeCtrl::GetItemState(nm->itemNew.hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0 ? 1 : 0;
    object->SetExpanded(&expanded);
  }
  *pResult = 0;
}

// F5 starts a calculation; a key held down repeats with another lParam and is left alone.
BOOL CTreeObjects::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_KEYDOWN && wParam == VK_F5 && lParam == kFirstF5Press) {
    HWND main = Shell::GetMainWindow();
    CWnd* frame = main ? CWnd::FromHandle(main) : nullptr;
    if (frame && frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      ::PostMessage(main, WM_COMMAND, kCalculateCommand, 0);
    if (pResult)
      *pResult = 0;
    return TRUE;
  }
  return CTKTreeCtrl::OnWndMsg(message, wParam, lParam, pResult);
}

}  // namespace VisualCtrl
