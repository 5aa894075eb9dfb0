// The items of an open site's category nodes, with the parameters of the typical form under the carriageway node,
// and of a user group of primitives.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"

namespace VisualCtrl {

namespace {

constexpr std::initializer_list<UINT> kOnOff = {153, 154};

struct WidthAngle {
  UINT widthCaption, widthDescription, angleCaption, angleDescription;
};
// Carriageways 1 to 5 of a roundabout.
constexpr WidthAngle kRingBranches[] = {{597, 598, 599, 600},
                                        {602, 603, 604, 605},
                                        {606, 607, 608, 609},
                                        {610, 611, 612, 613},
                                        {614, 615, 616, 617}};

double* BranchWidth(ICustomizeRoad* site, int branch)
{
  switch (branch) {
  case 1: return site->GetBranchWidth1();
  case 2: return site->GetBranchWidth2();
  case 3: return site->GetBranchWidth3();
  case 4: return site->GetBranchWidth4();
  default: return site->GetBranchWidth5();
  }
}

double* JunctionAngle(ICustomizeRoad* site, int branch)
{
  switch (branch) {
  case 1: return site->GetJunctionAngle1();
  case 2: return site->GetJunctionAngle2();
  case 3: return site->GetJunctionAngle3();
  case 4: return site->GetJunctionAngle4();
  default: return site->GetJunctionAngle5();
  }
}

int WideningIndex(int type)
{
  if (type & 1)
    return 1;
  return (type & 2) ? 2 : 0;
}

}  // namespace

bool HasFormParameters(int form) { return form != kFreeSiteForm && form != kInterchangeForm; }

void CPropObjects::FillFixedNode(UINT nameId, UINT captionId, UINT stateCaptionId)
{
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(captionId, general, nameId, captionId + 1, m_shownObject->GetName())->SetReadOnly(TRUE);
  AddGridListItem(stateCaptionId, general, nameId + 1, stateCaptionId + 1, kOnOff, 0)->SetReadOnly(TRUE);
}

void CPropObjects::FillPrimitiveGroup()
{
  ModelRef<IGroupOfPrimitive> group = Query<IGroupOfPrimitive>(m_shownObject, IID_IGroupOfPrimitive);
  if (!group)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(792, general, kItemPrimitiveGroupName, 793, group->GetName());
}

void CPropObjects::FillPavementNode()
{
  IClassObjModel* parent = m_shownObject->GetParent();
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(parent, IID_ICustomizeRoad);
  ModelRef<IArea> area = Query<IArea>(parent, IID_IArea);
  if (!site || !area)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(334, general, kItemPavementNodeName, 335, m_shownObject->GetName())->SetReadOnly(TRUE);
  AddGridListItem(336, general, kItemPavementNodeState, 337, kOnOff, (*site->GetSidewalkState() & 1) ? 0 : 1);
  if (!HasFormParameters(*area->GetTypicalForm()))
    return;
  general->Expand();
  CTKPropertyGridItem* sizes = GetGridView().AddCategory("Параметры тротуара");
  AddGridDoubleItem(197, sizes, kItemPavementNodeWidth, 530, site->GetSidewalkWidth());
  AddGridDoubleItem(203, sizes, kItemPavementNodeGap, 531, site->GetSidewalkGap());
}

void CPropObjects::FillRoadNode()
{
  IClassObjModel* parent = m_shownObject->GetParent();
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(parent, IID_ICustomizeRoad);
  ModelRef<IArea> area = Query<IArea>(parent, IID_IArea);
  if (!site || !area)
    return;
  ICustomizeRoad* s = site.Get();
  const int form = *area->GetTypicalForm();
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(330, general, kItemRoadNodeName, 331, m_shownObject->GetName())->SetReadOnly(TRUE);
  CTKPropertyGridItem* state =
      AddGridListItem(332, general, kItemRoadNodeState, 333, kOnOff, (*s->GetRoadState() & 1) ? 0 : 1);
  general->Expand();
  if (!HasFormParameters(form))
    return;
  state->SetReadOnly(TRUE);

  auto width = [&](CTKPropertyGridItem* c, UINT caption, UINT id, double* value) {
    AddGridDoubleItem(caption, c, id, caption + 1, value);
  };
  switch (form) {
  case 1: {
    CTKPropertyGridItem* c = GetGridView().AddCategory("Параметры ПЧ");
    width(c, 541, kItemBranchWidth1, s->GetBranchWidth1());
    width(c, 543, kItemFormAngle1, s->GetFormAngle1());
    width(c, 556, kItemTurnRadius, s->GetTurnRadius());
    c->Expand();
    break;
  }
  case 2: {
    CTKPropertyGridItem* c = GetGridView().AddCategory("Параметры ПЧ");
    width(c, 560, kItemBranchWidth1, s->GetBranchWidth1());
    width(c, 562, kItemBranchWidth2, s->GetBranchWidth2());
    width(c, 564, kItemBranchWidth3, s->GetBranchWidth3());
    width(c, 566, kItemFormAngle1, s->GetFormAngle1());
    width(c, 568, kItemFormAngle2, s->GetFormAngle2());
    c->Expand();
    break;
  }
  case 3:
  case 4: {
    CTKPropertyGridItem* c = GetGridView().AddCategory("Параметры ПЧ");
    width(c, 545, kItemBranchWidth1, s->GetBranchWidth1());
    width(c, 547, kItemBranchWidth2, s->GetBranchWidth2());
    width(c, form == 3 ? 549 : 554, kItemFormAngle1, s->GetFormAngle1());
    c->Expand();
    break;
  }
  case 5: {
    CTKPropertyGridItem* c = GetGridView().AddCategory("Параметры ПЧ");
    AddGridListItem(581, c, kItemWideningType, 582, {583, 584, 585}, WideningIndex(*s->GetWideningType()));
    width(c, 574, kItemBranchWidth1, s->GetBranchWidth1());
    width(c, 576, kItemBranchWidth2, s->GetBranchWidth2());
    width(c, 578, kItemWideningLength, s->GetWideningLength());
    c->Expand();
    break;
  }
  case 7: {
    width(general, 589, kItemRingOuterRadius, s->GetOuterRadius());
    width(general, 587, kItemRingInnerRadius, s->GetInnerRadius());
    const int count = *s->GetBranchCount();
    AddGridNumberItem(593, general, kItemRingBranchCount, 594, &count);
    for (int i = 1; i <= 5; ++i) {
      if (i > 1 && count < i)
        break;
      CString caption;
      caption.Format("Параметры ПЧ-%d", i);
      CTKPropertyGridItem* c = GetGridView().AddCategory(caption);
      const WidthAngle& ids = kRingBranches[i - 1];
      AddGridDoubleItem(ids.widthCaption, c, kItemRingBranchWidth1 + i - 1, ids.widthDescription,
                        BranchWidth(s, i));
      CTKPropertyGridItem* angle = AddGridDoubleItem(ids.angleCaption, c, kItemRingJunctionAngle1 + i - 1,
                                                     ids.angleDescription, JunctionAngle(s, i));
      if (i == 1)
        angle->SetReadOnly(TRUE);
      c->Expand();
    }
    break;
  }
  default: break;
  }
}

}  // namespace VisualCtrl
