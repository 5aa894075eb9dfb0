// Edits of the project, a straight-road area, its carriageway, sidewalks, walls and luminaire groups container.
#include "app/panes/parameters/model_ref.h"
#include "app/panes/parameters/pane_helpers.h"
#include "app/panes/parameters/prop_objects.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iproject.h"
#include "model/iroad.h"
#include "model/shell/window_messages.h"
#include "model/standards.h"
#include "platform/mfc/msgbox.h"

namespace VisualCtrl {

namespace {

constexpr int kYes = 0;
constexpr int kOn = 0;

}  // namespace

LRESULT CPropObjects::CommitProject(CTKPropertyGridItem* item, UINT id)
{
  ModelRef<IProject> project = Query<IProject>(m_shownObject, IID_IProject);
  if (!project)
    return 0;
  const CString text = item->GetValue();
  switch (id) {
  case kItemProjectName:
    if (text.IsEmpty()) {
      item->SetValue(*project->GetName());
      return 0;
    }
    project->SetName(&text);
    SendTreeText(AfxGetMainWnd());
    return 1;
  case kItemProjectObject: project->SetObjectName(&text); return 1;
  case kItemProjectProtocol: project->SetProtocolNumber(&text); return 1;
  case kItemProjectExecutor: project->SetExecutor(&text); return 1;
  case kItemProjectOrganization: project->SetOrganization(&text); return 1;
  case kItemProjectCustomer: project->SetCustomer(&text); return 1;
  case kItemProjectDate:
    if (auto* date = DYNAMIC_DOWNCAST(CTKPropertyGridItemDate, item)) {
      const COleDateTime value = date->GetDateTime();
      project->SetDate(&value);
      return 1;
    }
    return 0;
  default: return 0;
  }
}

LRESULT CPropObjects::CommitNorms(IArea* area, CTKPropertyGridItem* item)
{
  CStandardsOfRoad* norms = area->GetStandards();
  int chosen = ChosenIndex(item);
  bool runWizard = true;
  if (chosen == 1) {
    // The old road norms were replaced; the user may move to their successor.
    switch (AfxMessageBox(763, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      norms->Clear();
      chosen = 2;
      ShowIndex(item, chosen);
      break;
    case IDNO: norms->Clear(); break;
    default:
      ShowIndex(item, norms->GetRecord()->normDocumentId);
      runWizard = false;
      break;
    }
  } else {
    norms->Clear();
    runWizard = chosen != 0;
  }
  if (runWizard) {
    norms->SetNormDocument(&chosen);
    if (!CStandardsOfRoad::RunWizard(norms)) {
      norms->Clear();
      ShowIndex(item, 0);
    }
  }
  if (m_document)
    m_document->SetModifiedFlag(TRUE);
  PostRebuild();
  return 1;
}

LRESULT CPropObjects::CommitStraightRoad(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IArea> area = Query<IArea>(m_shownObject, IID_IArea);
  if (!area)
    return 0;
  switch (id) {
  case kItemAreaName: {
    const CString text = item->GetValue();
    if (text.IsEmpty()) {
      item->SetValue(*area->GetCaption());
      return 0;
    }
    area->SetCaption(&text);
    SendTreeText(mainWnd);
    return 1;
  }
  case kItemAreaLength: {
    double v = 0;
    const Range range{5, 2000};
    if (!AcceptMeasure(item, *area->GetLength(), &v, &range, 130))
      return 0;
    area->SetLength(&v);
    return 1;
  }
  case kItemAreaNorms: return CommitNorms(area.Get(), item);
  case kItemSidewalks:
  case kItemWalls: {
    const bool present = ChosenIndex(item) == kYes;
    if (id == kItemSidewalks) {
      ModelRef<IPavement> pavement = Query<IPavement>(area.Get(), IID_IPavement);
      if (!pavement)
        return 0;
      const int flags = present ? (*pavement->GetFlags() & ~kSideAbsent) : (*pavement->GetFlags() | kSideAbsent);
      pavement->SetFlags(&flags);
    } else {
      ModelRef<IWall> wall = Query<IWall>(area.Get(), IID_IWall);
      if (!wall)
        return 0;
      const int flags = present ? (*wall->GetFlags() & ~kSideAbsent) : (*wall->GetFlags() | kSideAbsent);
      wall->SetFlags(&flags);
    }
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    return 1;
  }
  case kItemAreaLightingOutput:
  case kItemAreaEconomicOutput: {
    const int on = ChosenIndex(item) == kYes ? 1 : 0;
    if (id == kItemAreaLightingOutput)
      area->SetLightingOutput(&on);
    else
      area->SetEconomicOutput(&on);
    if (on && mainWnd)
      mainWnd->PostMessage(id == kItemAreaLightingOutput ? UM_SHOWLIGHTING : UM_SHOWECONOMICS, 0, 0);
    return 1;
  }
  default: return 0;
  }
}

LRESULT CPropObjects::CommitRoad(CTKPropertyGridItem* item, UINT id, CWnd* mainWnd)
{
  ModelRef<IRoad> road = Query<IRoad>(m_shownObject, IID_IRoad);
  if (!road)
    return 0;
  const int main = kLaneMain;
  const int divider = kLaneDivider;
  const int opposite = kLaneOpposite;
  auto modified = [this] {
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
  };
  auto choice = [&](int (IRoad::*setter)(const int*), int value, bool rebuild) {
    (road.Get()->*setter)(&value);
    modified();
    if (rebuild)
      PostRebuild();
    return 1;
  };
  double v = 0;
  switch (id) {
  case kItemRoadState: {
    const int state = ChosenIndex(item) == kOn ? (*road->GetState() | 1) : (*road->GetState() & ~1);
    road->SetState(&state);
    modified();
    if (mainWnd)
      mainWnd->PostMessage(UM_SHOWOBJECT, 0, 0);
    return 1;
  }
  case kItemRoadTraffic: return choice(&IRoad::SetTwoWay, ChosenIndex(item) == 1 ? 1 : 0, true);
  case kItemRoadSurface: return choice(&IRoad::SetSurface, ChosenIndex(item) == 1 ? 1 : 0, false);
  case kItemRoadOppositeState: return choice(&IRoad::SetOppositeState, ChosenIndex(item), true);
  case kItemRoadDivider: return choice(&IRoad::SetDividerOn, ChosenIndex(item) == kYes ? 1 : 0, true);
  case kItemRoadParapet: return choice(&IRoad::SetParapetOn, ChosenIndex(item) == kYes ? 1 : 0, true);
  case kItemRoadMainLanes:
  case kItemRoadOppositeLanes: {
    const int* type = id == kItemRoadMainLanes ? &main : &opposite;
    int n = 0;
    if (!AcceptCount(item, static_cast<int>(road->GetLaneCount(type)), &n, 1, 6, id == kItemRoadMainLanes ? 167 : 168))
      return 0;
    const UINT count = static_cast<UINT>(n);
    road->SetLaneCount(type, &count);
    return 1;
  }
  case kItemRoadMainLaneWidth:
  case kItemRoadOppositeLaneWidth: {
    const bool isMain = id == kItemRoadMainLaneWidth;
    const int* type = isMain ? &main : &opposite;
    const Range range{0.01, 100};
    // The opposite direction's width is taken as typed.
    if (!AcceptMeasure(item, road->GetLaneWidth(type), &v, &range, isMain ? 173 : 174, isMain))
      return 0;
    road->SetLaneWidth(type, &v);
    return 1;
  }
  case kItemRoadDividerWidth: {
    const Range range{0.01, 100};
    if (!AcceptMeasure(item, road->GetLaneWidth(&divider), &v, &range, 185))
      return 0;
    road->SetLaneWidth(&divider, &v);
    if (road->GetParapetWidth() > v) {
      road->SetParapetWidth(&v);
      PostRebuild();
    }
    return 1;
  }
  case kItemRoadParapetWidth: {
    const Range range{0.01, 100};
    if (!AcceptMeasure(item, road->GetParapetWidth(), &v, &range, 186))
      return 0;
    road->SetParapetWidth(&v);
    if (road->GetLaneWidth(&divider) < v) {
      road->SetLaneWidth(&divider, &v);
      PostRebuild();
    }
    return 1;
  }
  case kItemRoadParapetHeight: {
    const Range range{0.01, 100};
    if (!AcceptMeasure(item, road->GetParapetHeight(), &v, &range, 187))
      return 0;
    road->SetParapetHeight(&v);
    return 1;
  }
  default: return 0;
  }
}

// Sidewalks and walls have the same four items per side; only the interface and the ranges differ.
template <class Element>
LRESULT CPropObjects::CommitSides(Element* element, CTKPropertyGridItem* item, UINT id, const IID& rightKey,
                                  const IID& leftKey, const SideCommit& right, const SideCommit& left)
{
  const bool isRight = id == right.present || id == right.state || id == right.width || id == right.gap;
  const SideCommit& side = isRight ? right : left;
  ModelRef<ILineOfRoad> strip = Query<ILineOfRoad>(element, isRight ? rightKey : leftKey);
  auto modifiedAndRebuild = [this] {
    if (m_document)
      m_document->SetModifiedFlag(TRUE);
    PostRebuild();
    return 1;
  };
  if (id == side.present) {
    const bool wanted = ChosenIndex(item) == kYes;
    if (strip && !wanted) {
      strip.Reset();
      isRight ? element->RemoveRight() : element->RemoveLeft();
    } else if (!strip && wanted) {
      isRight ? element->CreateRight() : element->CreateLeft();
    }
    return modifiedAndRebuild();
  }
  if (id == side.state) {
    if (strip) {
      const int on = ChosenIndex(item) == kOn ? 1 : 0;
      strip->SetState(&on);
    }
    return modifiedAndRebuild();
  }
  if (!strip)
    return 0;
  double v = 0;
  if (id == side.width) {
    const Range range{side.widthLower, side.widthUpper};
    if (!AcceptMeasure(item, *strip->GetWidth(), &v, &range, side.widthMessage))
      return 0;
    strip->SetWidth(&v);
    return 1;
  }
  if (id == side.gap) {
    const Range range{0, 100};
    if (!AcceptMeasure(item, *strip->GetGap(), &v, &range, side.gapMessage))
      return 0;
    strip->SetGap(&v);
    return 1;
  }
  return 0;
}

LRESULT CPropObjects::CommitPavement(CTKPropertyGridItem* item, UINT id)
{
  ModelRef<IPavement> pavement = Query<IPavement>(m_shownObject, IID_IPavement);
  if (!pavement || id == kItemPavementName)
    return 0;
  return CommitSides(
      pavement.Get(), item, id, IID_RightPavement, IID_LeftPavement,
      {kItemPavementRight, kItemPavementRightState, kItemPavementRightWidth, kItemPavementRightGap, 0.01, 100, 196,
       202},
      {kItemPavementLeft, kItemPavementLeftState, kItemPavementLeftWidth, kItemPavementLeftGap, 0.01, 100, 199, 205});
}

LRESULT CPropObjects::CommitWall(CTKPropertyGridItem* item, UINT id)
{
  ModelRef<IWall> wall = Query<IWall>(m_shownObject, IID_IWall);
  if (!wall || id == kItemWallName)
    return 0;
  return CommitSides(wall.Get(), item, id, IID_RightWall, IID_LeftWall,
                     {kItemWallRight, kItemWallRightState, kItemWallRightHeight, kItemWallRightOffset, 2, 50, 215, 210},
                     {kItemWallLeft, kItemWallLeftState, kItemWallLeftHeight, kItemWallLeftOffset, 2, 50, 226, 221});
}

LRESULT CPropObjects::CommitGroupsOfDev(CTKPropertyGridItem* item, UINT id)
{
  ModelRef<IGroupsOfDev> groups = Query<IGroupsOfDev>(m_shownObject, IID_IGroupsOfDev);
  if (!groups || id != kItemGroupsMaintenance)
    return 0;
  double v = 0;
  const Range range{0, 100, true};
  if (!AcceptMeasure(item, *groups->GetMaintenanceFactor(), &v, &range, 230))
    return 0;
  groups->SetMaintenanceFactor(&v);
  return 1;
}

}  // namespace VisualCtrl
