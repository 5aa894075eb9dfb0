#include "app/panes/parameters/prop_objects.h"

#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/shell/window_messages.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/winapp.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdint>

namespace VisualCtrl {

CString LoadItemText(UINT id)
{
  CString text;
  if (id)
    text.LoadString(id);
  return text;
}

int ChosenIndex(const CTKPropertyGridItem* item) { return item->GetConstraints()->GetCurrent(); }

void ShowIndex(CTKPropertyGridItem* item, int index)
{
  item->GetConstraints()->SetCurrent(index);
  item->SetValue(item->GetConstraints()->GetAt(index));
}

int ChosenModeIndex(int flags)
{
  int index = -1;
  if ((flags & kCartesianOffered) && (flags & kCartesianChosen))
    index = 0;
  if ((flags & kPolarOffered) && (flags & kPolarChosen)) {
    index += 1;
    if (flags & kCartesianOffered)
      index += 1;
  }
  return index;
}

void CircleOfPole(const double* centre, const double* pole, double* radius, double* angle)
{
  const double dx = pole[0] - centre[0];
  const double dy = pole[1] - centre[1];
  *radius = RoundTo(2, std::sqrt(dx * dx + dy * dy));
  *angle = 0;
  if (*radius == 0)
    return;
  const double c = std::clamp(dx / *radius, -1.0, 1.0);
  double a = RoundTo(2, std::acos(c) * 180.0 / std::numbers::pi);
  if (dy / *radius < 0)
    a = 360 - a;
  if (a > 180)
    a -= 360;
  *angle = a;
}

namespace {

template <class Item>
Item* Attach(Item* item, CTKPropertyGridItem* parent, UINT itemId, UINT descriptionId)
{
  item->SetDescription(LoadItemText(descriptionId));
  item->SetItemData(itemId);
  item->SetID(itemId);
  parent->AddChildItem(item);
  return item;
}

void SetListIndex(CTKPropertyGridItem* item, int index)
{
  item->SetFlags(tkpgItemHasComboButton);
  item->SetConstraintEdit(TRUE);
  ShowIndex(item, index);
}

}  // namespace

double RoundTo(unsigned n, double x)
{
  const auto scale = static_cast<std::int64_t>(std::pow(10.0, static_cast<double>(n)));
  const double p = static_cast<double>(scale);
  const double r = std::floor(std::fabs(x) * p + 0.5);
  return x > 0 ? r / p : -(r / p);
}

CTKPropertyGridItem* AddGridTextItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId, UINT descriptionId,
                                     const CString* value)
{
  return Attach(new CTKPropertyGridItem(LoadItemText(captionId), *value), parent, itemId, descriptionId);
}

CTKPropertyGridItemNumber* AddGridNumberItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                             UINT descriptionId, const int* value)
{
  return Attach(new CTKPropertyGridItemNumber(LoadItemText(captionId), *value), parent, itemId, descriptionId);
}

CTKPropertyGridItemDouble* AddGridDoubleItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                             UINT descriptionId, const double* value)
{
  return Attach(new CTKPropertyGridItemDouble(LoadItemText(captionId), *value), parent, itemId, descriptionId);
}

CTKPropertyGridItemDouble* AddGridRoundedDoubleItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                                    UINT descriptionId, const double* value)
{
  // RoundTo gives -0 for zero; the row shows it as 0.
  const double rounded = RoundTo(2, *value) + 0.0;
  return AddGridDoubleItem(captionId, parent, itemId, descriptionId, &rounded);
}

CTKPropertyGridItemDate* AddGridDateItem(CTKPropertyGridItem* parent, const COleDateTime* value)
{
  return Attach(new CTKPropertyGridItemDate(LoadItemText(112), *value), parent, kItemProjectDate, 113);
}

CTKPropertyGridItem* AddGridListItemTexts(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                          UINT descriptionId, std::initializer_list<CString> entries, int index)
{
  auto* item = new CTKPropertyGridItem(LoadItemText(captionId), "");
  item->SetDescription(LoadItemText(descriptionId));
  item->SetItemData(itemId);
  parent->AddChildItem(item);
  for (const CString& entry : entries)
    item->GetConstraints()->AddConstraint(entry, 0, -1);
  SetListIndex(item, index);
  return item;
}

CTKPropertyGridItem* AddGridListItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId, UINT descriptionId,
                                     std::initializer_list<UINT> entryIds, int index)
{
  auto* item = AddGridListItemTexts(captionId, parent, itemId, descriptionId, {}, -1);
  for (UINT id : entryIds)
    item->GetConstraints()->AddConstraint(LoadItemText(id), 0, -1);
  SetListIndex(item, index);
  return item;
}

CTKPropertyGridItem* AddGridButtonItem(UINT captionId, CTKPropertyGridItem* parent, UINT itemId,
                                       UINT descriptionId, const CString& value)
{
  auto* item = new CTKPropertyGridItem(LoadItemText(captionId), value);
  item->SetDescription(LoadItemText(descriptionId));
  item->SetItemData(itemId);
  parent->AddChildItem(item);
  item->SetFlags(tkpgItemHasExpandButton);
  item->SetConstraintEdit(TRUE);
  return item;
}

IMPLEMENT_DYNAMIC(CPropObjects, CTKPropertyGrid)

BEGIN_MESSAGE_MAP(CPropObjects, CTKPropertyGrid)
  ON_MESSAGE(UM_SHOWOBJECT, &CPropObjects::OnShowObject)
  ON_MESSAGE(UM_CLEARPANES, &CPropObjects::OnClearObject)
  ON_MESSAGE(TKWM_PROPERTYGRID_NOTIFY, &CPropObjects::OnGridNotify)
END_MESSAGE_MAP()

CPropObjects::CPropObjects(IQorRoadDoc* document) : m_document(document), m_shownClassId(&CLSID_CClassObjModel) {}

CPropObjects::~CPropObjects() { HoldObject(nullptr); }

void CPropObjects::HoldObject(IClassObjModel* object)
{
  if (object)
    object->AddRef();
  IClassObjModel* old = m_shownObject;
  m_shownObject = object;
  if (old)
    old->Release();
}

bool CPropObjects::IsShowing() const { return m_shownObject && !m_shownClassId.IsEqual(&CLSID_CClassObjModel); }

LRESULT CPropObjects::OnShowObject(WPARAM, LPARAM lParam)
{
  ResetContent();
  CRect below;
  GetClientRect(&below);
  below.top += GetSystemMetrics(SM_CYCAPTION);
  InvalidateRect(&below, FALSE);

  IClassObjModel* object = reinterpret_cast<IClassObjModel*>(lParam);
  if (!object) {
    if (!IsShowing()) {
      m_shownClassId.Assign(&CLSID_CClassObjModel);
      HoldObject(nullptr);
      return 0;
    }
    object = m_shownObject;
  }
  HoldObject(object);
  object->GetClassId(&m_shownClassId);

  const CGuid& id = m_shownClassId;
  if (id.IsEqual(&CLSID_CProject))
    FillProject();
  else if (id.IsEqual(&CLSID_CStraightRoad))
    FillStraightRoad();
  else if (id.IsEqual(&CLSID_CCustomizeRoad) || id.IsEqual(&CLSID_CCustomizeRoad3D))
    FillOpenSite();
  else if (id.IsEqual(&CLSID_CRoad))
    FillRoad();
  else if (id.IsEqual(&CLSID_CPavement))
    FillPavement();
  else if (id.IsEqual(&CLSID_CWall))
    FillWall();
  else if (id.IsEqual(&CLSID_CGroupsOfDev))
    FillGroupsOfDev();
  else if (id.IsEqual(&CLSID_CGroupOfDev))
    FillGroupOfDev();
  else if (id.IsEqual(&CLSID_CPrimitive))
    FillPrimitive();
  else if (id.IsEqual(&CLSID_CGroupOfPrimitive))
    FillPrimitiveGroup();
  else if (id.IsEqual(&CLSID_RoadNode))
    FillRoadNode();
  else if (id.IsEqual(&CLSID_PavementNode))
    FillPavementNode();
  else if (id.IsEqual(&CLSID_BackgroundNode))
    FillFixedNode(kItemBackgroundNodeName, 326, 328);
  else if (id.IsEqual(&CLSID_ShadingNode))
    FillFixedNode(kItemShadingNodeName, 751, 753);
  else if (id.IsEqual(&CLSID_MarkingNode))
    FillFixedNode(kItemMarkingNodeName, 816, 818);

  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return 0;
}

LRESULT CPropObjects::OnClearObject(WPARAM, LPARAM)
{
  ResetContent();
  m_shownClassId.Assign(&CLSID_CClassObjModel);
  HoldObject(nullptr);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return 0;
}

int CPropObjects::ActivateShownArea()
{
  CWnd* mainWnd = AfxGetMainWnd();
  if (!m_shownObject || !m_shownObject->GetParent())
    return 0;
  IClassObjModel* area = m_shownObject;
  while (area->GetParent()->GetParent())
    area = area->GetParent();
  IClassObjModel* project = area->GetParent();

  bool activated = false;
  if (ModelRef<IArea> asArea = Query<IArea>(area, IID_IArea); asArea && !asArea->IsActive()) {
    if (ModelRef<IProject> asProject = Query<IProject>(project, IID_IProject)) {
      asProject->SetActiveArea(asArea.Get());
      activated = true;
    }
  }
  if (activated && mainWnd)
    mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
  return 1;
}

void CPropObjects::PostRebuild()
{
  // The held object, not a raw pointer in the message: a clear may come first, and the object would then be
  // neither held nor alive.
  PostMessage(UM_SHOWOBJECT, 0, 0);
}

void CPropObjects::ShowRangeMessage(UINT stringId, double lower, double upper)
{
  CString text = LoadItemText(stringId);
  if (text.Find('%') >= 0)
    text.Format(stringId, lower, upper);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  SetFocus();
}

void CPropObjects::ShowRangeMessage(UINT stringId, int lower, int upper)
{
  CString text = LoadItemText(stringId);
  if (text.Find('%') >= 0)
    text.Format(stringId, lower, upper);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  SetFocus();
}

void CPropObjects::ShowPlainMessage(UINT stringId)
{
  AfxMessageBox(LoadItemText(stringId), MB_ICONEXCLAMATION);
  SetFocus();
}

bool CPropObjects::AcceptMeasure(CTKPropertyGridItem* item, double old, double* value, const Range* range,
                                 UINT messageId, bool round)
{
  auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item);
  if (!number)
    return false;
  *value = round ? RoundTo(2, number->GetDouble()) + 0.0 : number->GetDouble();
  number->SetDouble(*value);
  if (*value == old) {
    number->SetDouble(old);
    return false;
  }
  return !range || InRange(item, old, *value, *range, messageId);
}

bool CPropObjects::InRange(CTKPropertyGridItem* item, double old, double v, const Range& range, UINT messageId)
{
  const bool below = range.lowerOpen ? v <= range.lower : v < range.lower;
  const bool above = range.upperOpen ? v >= range.upper : v > range.upper;
  if (!below && !above)
    return true;
  ShowRangeMessage(messageId, range.lower, range.upper);
  if (auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, item))
    number->SetDouble(old);
  return false;
}

bool CPropObjects::AcceptCount(CTKPropertyGridItem* item, int old, int* value, int lower, int upper, UINT messageId)
{
  auto* number = DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, item);
  if (!number)
    return false;
  *value = number->GetNumber();
  if (*value == old) {
    number->SetNumber(old);
    return false;
  }
  if (*value < lower || *value > upper) {
    ShowRangeMessage(messageId, lower, upper);
    number->SetNumber(old);
    return false;
  }
  return true;
}

void CPropObjects::SendTreeText(CWnd* mainWnd)
{
  HTREEITEM* treeItem = m_shownObject->GetTreeItem();
  if (mainWnd && treeItem && *treeItem)
    mainWnd->SendMessage(UM_UPDATETREETEXT, 0, reinterpret_cast<LPARAM>(*treeItem));
}

LRESULT CPropObjects::OnGridNotify(WPARAM code, LPARAM lParam)
{
  if (code != TK_PGN_ITEMVALUE_CHANGED && code != TK_PGN_INPLACEBUTTONDOWN)
    return 0;
  auto* item = reinterpret_cast<CTKPropertyGridItem*>(lParam);
  if (!item || !IsShowing())
    return 0;
  if (code == TK_PGN_INPLACEBUTTONDOWN) {
    ModelRef<IClassObjModel> keep((m_shownObject->AddRef(), m_shownObject));
    return OnInplaceButton(item);
  }
  CWnd* mainWnd = AfxGetMainWnd();
  const auto id = static_cast<UINT>(item->GetItemData());

  // The object stays alive through the commit even when the commit's messages clear the pane.
  ModelRef<IClassObjModel> keep((m_shownObject->AddRef(), m_shownObject));
  const CGuid& cls = m_shownClassId;
  LRESULT answer = 0;
  if (cls.IsEqual(&CLSID_CProject))
    answer = CommitProject(item, id);
  else if (cls.IsEqual(&CLSID_CStraightRoad))
    answer = CommitStraightRoad(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_CRoad))
    answer = CommitRoad(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_CPavement))
    answer = CommitPavement(item, id);
  else if (cls.IsEqual(&CLSID_CWall))
    answer = CommitWall(item, id);
  else if (cls.IsEqual(&CLSID_CGroupsOfDev))
    answer = CommitGroupsOfDev(item, id);
  else if (cls.IsEqual(&CLSID_CGroupOfDev))
    answer = CommitGroupOfDev(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_CPrimitive))
    answer = CommitPrimitive(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_CCustomizeRoad) || cls.IsEqual(&CLSID_CCustomizeRoad3D))
    answer = CommitOpenSite(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_RoadNode))
    answer = CommitRoadNode(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_PavementNode))
    answer = CommitPavementNode(item, id, mainWnd);
  else if (cls.IsEqual(&CLSID_CGroupOfPrimitive))
    answer = CommitPrimitiveGroup(item, id, mainWnd);
  if (answer)
    ActivateShownArea();
  return answer;
}

}  // namespace VisualCtrl
