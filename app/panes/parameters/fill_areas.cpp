// The items of the project, the areas and the road elements of a straight road.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/iproject.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/standards.h"

namespace VisualCtrl {

namespace {

constexpr std::initializer_list<UINT> kYesNo = {139, 140};
constexpr std::initializer_list<UINT> kOnOff = {153, 154};
constexpr std::initializer_list<UINT> kNormDocuments = {283, 284, 285, 830, 831, 853, 852};

// An underlay whose extent does not fix the area's size.
constexpr int kUnderlayLeavesSize = 0x1000;

UINT TypicalFormName(int form)
{
  switch (form) {
  case 1: return 527;
  case 2: return 559;
  case 3: return 540;
  case 4: return 552;
  case 5: return 573;
  case 7: return 586;
  case 8: return 774;
  default: return 0;
  }
}

// Items 203 and 204: the norm document and the class of the lit object under it.
void AddNormsItems(CTKPropertyGridItem* category, IArea* area)
{
  const _STANDARDS_OF_ROAD* norms = area->GetStandards()->GetRecord();
  CTKPropertyGridItem* document =
      AddGridListItem(281, category, kItemAreaNorms, 282, kNormDocuments, norms->normDocumentId);
  category->Expand();
  // The text may come from outside without its terminator.
  const auto classLength = static_cast<int>(strnlen(norms->objectClass, sizeof norms->objectClass));
  const CString objectClass(norms->objectClass, classLength);
  CTKPropertyGridItem* cls = AddGridButtonItem(286, document, kItemAreaNormsClass, 287, objectClass);
  if (norms->normDocumentId == 0)
    cls->SetReadOnly(TRUE);
  document->Expand();
}

}  // namespace

void CPropObjects::FillProject()
{
  ModelRef<IProject> project = Query<IProject>(m_shownObject, IID_IProject);
  if (!project)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(106, general, kItemProjectName, 107, project->GetName());
  AddGridTextItem(108, general, kItemProjectObject, 109, project->GetObjectName());
  AddGridTextItem(110, general, kItemProjectProtocol, 111, project->GetProtocolNumber());
  AddGridDateItem(general, project->GetDate());
  AddGridTextItem(114, general, kItemProjectExecutor, 115, project->GetExecutor());
  AddGridTextItem(116, general, kItemProjectOrganization, 117, project->GetOrganization());
  AddGridTextItem(118, general, kItemProjectCustomer, 119, project->GetCustomer());
  general->Expand();
}

void CPropObjects::FillOutputCategory(IArea* area)
{
  CTKPropertyGridItem* output = GetGridView().AddCategory("Вывод результатов");
  const bool alone = !area->GetPrev() && !area->GetNext();
  if (alone) {
    const int on = 1;
    area->SetLightingOutput(&on);
  }
  CTKPropertyGridItem* lighting =
      AddGridListItem(637, output, kItemAreaLightingOutput, 638, kYesNo, *area->GetLightingOutput() ? 0 : 1);
  if (alone)
    lighting->SetReadOnly(TRUE);
  AddGridListItem(639, output, kItemAreaEconomicOutput, 640, kYesNo, *area->GetEconomicOutput() ? 0 : 1);
  output->Expand();
}

void CPropObjects::FillStraightRoad()
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(125, general, kItemAreaName, 126, area->GetCaption());
  const CString kind = LoadItemText(122);
  AddGridTextItem(528, general, kItemAreaKind, 529, &kind)->SetReadOnly(TRUE);
  AddNormsItems(general, area.Get());

  CTKPropertyGridItem* elements = GetGridView().AddCategory("Элементы дороги");
  ModelRef<IPavement> pavement = Query<IPavement>(area.Get(), IID_IPavement);
  ModelRef<IWall> wall = Query<IWall>(area.Get(), IID_IWall);
  if (pavement)
    AddGridListItem(137, elements, kItemSidewalks, 138, kYesNo, (*pavement->GetFlags() & kSideAbsent) ? 1 : 0);
  if (wall)
    AddGridListItem(141, elements, kItemWalls, 142, kYesNo, (*wall->GetFlags() & kSideAbsent) ? 1 : 0);
  elements->Expand();

  FillOutputCategory(area.Get());
}

void CPropObjects::FillOpenSite()
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area)
    return;
  ModelRef<ICustomizeRoad> site = Query<ICustomizeRoad>(area.Get(), IID_ICustomizeRoad);
  const int form = *area->GetTypicalForm();
  const bool freeOrInterchange = form == kFreeSiteForm || form == kInterchangeForm;

  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(125, general, kItemAreaName, 126, area->GetCaption());
  const UINT formName = TypicalFormName(form);
  const CString freeSite = LoadItemText(296);
  CTKPropertyGridItem* kind = AddGridListItemTexts(528, general, kItemAreaKind, 529,
                                                   {freeSite, formName ? LoadItemText(formName) : freeSite},
                                                   formName ? 1 : 0);
  if (freeOrInterchange)
    kind->SetReadOnly(TRUE);

  const int underlay = *area->GetUnderlayId();
  if (freeOrInterchange) {
    CString path = "Не определена";
    if (underlay != 0 && m_document)
      m_document->GetUnderlayPath(&path, underlay);
    CTKPropertyGridItem* drawing = AddGridButtonItem(730, general, kItemAreaUnderlay, 731, path);
    AddGridRoundedDoubleItem(822, drawing, kItemAreaReportOriginX, 823, area->GetReportOriginX());
    AddGridRoundedDoubleItem(824, drawing, kItemAreaReportOriginY, 825, area->GetReportOriginY());
    drawing->Expand();
  }
  const bool sizeFixed = underlay != 0 && !(underlay & kUnderlayLeavesSize) && freeOrInterchange;
  CTKPropertyGridItem* length = AddGridRoundedDoubleItem(127, general, kItemAreaLength, 129, area->GetLength());
  CTKPropertyGridItem* width = AddGridRoundedDoubleItem(297, general, kItemAreaWidth, 298, area->GetWidth());
  if (sizeFixed) {
    length->SetReadOnly(TRUE);
    width->SetReadOnly(TRUE);
  }
  if (form == kInterchangeForm)
    AddGridRoundedDoubleItem(794, general, kItemAreaBaseHeight, 795, area->GetBaseHeight());
  AddNormsItems(general, area.Get());

  if (!freeOrInterchange && site) {
    CTKPropertyGridItem* elements = GetGridView().AddCategory("Элементы дороги");
    AddGridListItem(538, elements, kItemSiteSidewalk, 539, kYesNo, (*site->GetSidewalkState() & kSideAbsent) ? 1 : 0);
    elements->Expand();
  }
  FillOutputCategory(area.Get());
}

void CPropObjects::FillRoad()
{
  ModelRef<IRoad> road = Query<IRoad>(m_shownObject, IID_IRoad);
  if (!road)
    return;
  const int main = kLaneMain;
  const int divider = kLaneDivider;
  const int opposite = kLaneOpposite;
  const bool twoWay = road->IsTwoWay() != 0;

  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(132, general, kItemRoadName, 143, road->GetName())->SetReadOnly(TRUE);
  AddGridListItem(144, general, kItemRoadState, 145, kOnOff, (*road->GetState() & 1) ? 0 : 1);
  AddGridListItem(155, general, kItemRoadTraffic, 156, {157, 158}, twoWay ? 1 : 0);
  AddGridListItem(159, general, kItemRoadSurface, 160, {161, 162}, road->GetSurface() ? 1 : 0);
  general->Expand();

  CTKPropertyGridItem* lanes =
      GetGridView().AddCategory(twoWay ? "Параметры ПЧ (основное направление)" : "Параметры ПЧ");
  const int mainCount = static_cast<int>(road->GetLaneCount(&main));
  AddGridNumberItem(163, lanes, kItemRoadMainLanes, 164, &mainCount);
  const double mainWidth = road->GetLaneWidth(&main);
  AddGridRoundedDoubleItem(169, lanes, kItemRoadMainLaneWidth, 170, &mainWidth);
  lanes->Expand();
  if (!twoWay)
    return;

  CTKPropertyGridItem* back = GetGridView().AddCategory("Параметры ПЧ (встречное направление)");
  AddGridListItem(275, back, kItemRoadOppositeState, 276, kOnOff, road->GetOppositeState() ? 1 : 0);
  const int oppositeCount = static_cast<int>(road->GetLaneCount(&opposite));
  AddGridNumberItem(165, back, kItemRoadOppositeLanes, 166, &oppositeCount);
  const double oppositeWidth = road->GetLaneWidth(&opposite);
  AddGridRoundedDoubleItem(171, back, kItemRoadOppositeLaneWidth, 172, &oppositeWidth);
  const bool hasDivider = road->HasDivider() != 0;
  CTKPropertyGridItem* strip = AddGridListItem(175, back, kItemRoadDivider, 176, kYesNo, hasDivider ? 0 : 1);
  back->Expand();
  if (!hasDivider)
    return;
  const double dividerWidth = road->GetLaneWidth(&divider);
  AddGridRoundedDoubleItem(177, strip, kItemRoadDividerWidth, 178, &dividerWidth);
  const bool hasParapet = road->HasParapet() != 0;
  CTKPropertyGridItem* parapet = AddGridListItem(179, strip, kItemRoadParapet, 180, kYesNo, hasParapet ? 0 : 1);
  strip->Expand();
  if (!hasParapet)
    return;
  const double parapetHeight = road->GetParapetHeight();
  const double parapetWidth = road->GetParapetWidth();
  AddGridRoundedDoubleItem(181, parapet, kItemRoadParapetHeight, 182, &parapetHeight);
  AddGridRoundedDoubleItem(183, parapet, kItemRoadParapetWidth, 184, &parapetWidth);
  parapet->Expand();
}

namespace {

// One side of the sidewalks or the walls: its yes/no item, and when the strip exists its state, width and gap.
struct SideItems {
  UINT caption, description, id;
  UINT stateCaption, stateDescription, stateId;
  UINT widthCaption, widthDescription, widthId;
  UINT gapCaption, gapDescription, gapId;
};

CTKPropertyGridItem* AddSide(CTKPropertyGridItem* general, const SideItems& s, ILineOfRoad* strip)
{
  CTKPropertyGridItem* side = AddGridListItem(s.caption, general, s.id, s.description, kYesNo, strip ? 0 : 1);
  if (strip) {
    const bool on = *strip->GetState() != 0;
    AddGridListItem(s.stateCaption, side, s.stateId, s.stateDescription, kOnOff, on ? 0 : 1);
    CTKPropertyGridItem* width =
        AddGridDoubleItem(s.widthCaption, side, s.widthId, s.widthDescription, strip->GetWidth());
    CTKPropertyGridItem* gap = AddGridDoubleItem(s.gapCaption, side, s.gapId, s.gapDescription, strip->GetGap());
    if (!on) {
      width->SetReadOnly(TRUE);
      gap->SetReadOnly(TRUE);
    }
  }
  side->Expand();
  return side;
}

// The last strip of a pair cannot go: the side that still stands is fixed once both halves are built.
void AddSides(CTKPropertyGridItem* general, IModelUnknown* owner, const IID& rightKey, const IID& leftKey,
              const SideItems& right, const SideItems& left)
{
  ModelRef<ILineOfRoad> rightStrip = Query<ILineOfRoad>(owner, rightKey);
  ModelRef<ILineOfRoad> leftStrip = Query<ILineOfRoad>(owner, leftKey);
  CTKPropertyGridItem* rightItem = AddSide(general, right, rightStrip.Get());
  CTKPropertyGridItem* leftItem = AddSide(general, left, leftStrip.Get());
  if (!leftStrip)
    rightItem->SetReadOnly(TRUE);
  if (!rightStrip)
    leftItem->SetReadOnly(TRUE);
}

}  // namespace

void CPropObjects::FillPavement()
{
  ModelRef<IPavement> pavement = Query<IPavement>(m_shownObject, IID_IPavement);
  if (!pavement)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(133, general, kItemPavementName, 146, pavement->GetName())->SetReadOnly(TRUE);
  AddSides(general, pavement.Get(), IID_RightPavement, IID_LeftPavement,
           {190, 191, kItemPavementRight, 192, 193, kItemPavementRightState, 194, 195, kItemPavementRightWidth, 200,
            201, kItemPavementRightGap},
           {188, 189, kItemPavementLeft, 147, 148, kItemPavementLeftState, 197, 198, kItemPavementLeftWidth, 203, 204,
            kItemPavementLeftGap});
  general->Expand();
}

void CPropObjects::FillWall()
{
  ModelRef<IWall> wall = Query<IWall>(m_shownObject, IID_IWall);
  if (!wall)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(135, general, kItemWallName, 149, wall->GetName())->SetReadOnly(TRUE);
  AddSides(general, wall.Get(), IID_RightWall, IID_LeftWall,
           {227, 207, kItemWallRight, 211, 212, kItemWallRightState, 213, 214, kItemWallRightHeight, 208, 209,
            kItemWallRightOffset},
           {217, 218, kItemWallLeft, 222, 223, kItemWallLeftState, 224, 225, kItemWallLeftHeight, 219, 220,
            kItemWallLeftOffset});
  general->Expand();
}

void CPropObjects::FillGroupsOfDev()
{
  ModelRef<IGroupsOfDev> groups = Query<IGroupsOfDev>(m_shownObject, IID_IGroupsOfDev);
  if (!groups)
    return;
  CTKPropertyGridItem* general = GetGridView().AddCategory("Общие");
  AddGridTextItem(151, general, kItemGroupsName, 216, groups->GetName())->SetReadOnly(TRUE);
  AddGridDoubleItem(228, general, kItemGroupsMaintenance, 229, groups->GetMaintenanceFactor());
  general->Expand();
}

}  // namespace VisualCtrl
