#include "graphics/scene/scene_builder.h"

#include "geometry/view_camera.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iresults.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"
#include "model/lamp_post.h"
#include "model/light_device.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The luminaire sits this far from the mounting node of a floor lamp.
constexpr double kFloorLampNode = 0.4;
// The light centre lies this far along the arm beyond a catalogue arm's end.
constexpr double kArmEndToLightCentre = 0.3;
// Between the carriageway's edge and the gap strip beside it.
constexpr double kKerb = 0.1;

constexpr int kStateOn = 0x1;
constexpr int kStateNotBuilt = 0x2;
constexpr int kPlacementIndividual = 0;
constexpr int kPlacementLine = 1;
constexpr int kPlacementCircle = 2;
constexpr int kMountingPole = 0;
constexpr int kMountingMast = 1;
constexpr int kMountingFloorLamp = 2;
constexpr int kRoadLeft = 1;
constexpr int kRoadTwoSided = 2;
constexpr int kRoadStaggered = 3;
constexpr int kRoadCentral = 4;
constexpr int kRoadSuspended = 5;

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }
// No group draws more poles than this before or after the field's pole, whatever its figures (the file's
// reader keeps them in range; this keeps the count an int).
constexpr double kMostPositions = 1000;
int Positions(double v) { return std::isfinite(v) ? Trunc(std::clamp(v, -kMostPositions, kMostPositions)) : 0; }
double ThroughFloat(double v) { return static_cast<double>(static_cast<float>(v)); }

}  // namespace

bool CSceneBuilder::IsSelected(IModelUnknown* object)
{
  ModelRef<IClassObjModel> model(object, IID_IClassObjModel);
  return model && model->IsSelected() != 0;
}

PolePositions CSceneBuilder::CountPositions(double step, double offset, double height, bool halfStep)
{
  PolePositions p;
  if (step <= 0)
    return p;  // a group without a step stands at the field's pole alone
  if (halfStep) {
    p.before = Positions((5 * height - offset + step / 2) / step);
    p.after = Positions((12 * height + offset + step / 2) / step);
  } else {
    p.before = Positions((5 * height - offset) / step);
    p.after = Positions((step + offset + 12 * height) / step);
  }
  p.total = p.before + p.after + 1;
  return p;
}

void CSceneBuilder::Build(IArea* area, IVisualOpt* options, const _CALC_RESULTS* results)
{
  m_options = options;
  m_viewMode = m_document ? static_cast<int>(m_document->GetViewMode()) : 0;
  m_resultsFlag = results ? results->valid : 0;
  m_observerLane = results ? results->shownObserver : 0;
  if (area == nullptr)
    return;
  if (m_straight)
    BuildStraightRoad(area);
  else
    BuildFreeForm(area);
}

void CSceneBuilder::BuildStraightRoad(IArea* area)
{
  ReadRoad(area);
  ReadSidewalks(area);
  ReadWalls(area);
  ComputeSection(area);
  ComputeFieldRects();
  BuildStraightGroups(area);
}

void CSceneBuilder::ReadRoad(IArea* area)
{
  ModelRef<IRoad> road(area, IID_IRoad);
  if (!road)
    return;
  road->UpdateAreaWidth();
  m_oneWay = road->IsTwoWay() ? 0 : 1;
  m_mainLaneCount = road->GetLaneCount(&kLaneMain);
  m_mainLaneWidth = road->GetLaneWidth(&kLaneMain);
  m_oppositeLaneCount = m_oneWay ? 0 : road->GetLaneCount(&kLaneOpposite);
  m_oppositeLaneWidth = m_oneWay ? 0 : road->GetLaneWidth(&kLaneOpposite);
  m_dividerWidth = m_oneWay ? 0 : road->GetLaneWidth(&kLaneDivider);
  m_parapetWidth = m_parapetHeight = 0;
  if (road->HasParapet()) {
    m_parapetWidth = road->GetParapetWidth();
    m_parapetHeight = road->GetParapetHeight();
  }
  m_roadState = *road->GetState();
  m_mainWidth = m_mainLaneCount * m_mainLaneWidth;
  m_oppositeWidth = m_oppositeLaneCount * m_oppositeLaneWidth;
  m_roadOn = (m_roadState & kStateOn) != 0;
  m_mainOn = m_roadOn && road->GetOppositeState() == 0;
}

void CSceneBuilder::ReadSidewalks(IArea* area)
{
  m_sidewalkHeight = 0.1;
  m_rightSidewalkWidth = m_leftSidewalkWidth = m_rightSidewalkGap = m_leftSidewalkGap = 0;
  m_rightSidewalkState = m_leftSidewalkState = 0;
  ModelRef<IPavement> sidewalks(area, IID_IPavement);
  if (!sidewalks || (*sidewalks->GetFlags() & kSideAbsent) != 0)
    return;
  if (ModelRef<ILineOfRoad> right(sidewalks.get(), IID_RightPavement); right) {
    m_rightSidewalkWidth = ThroughFloat(*right->GetWidth());
    m_rightSidewalkGap = ThroughFloat(*right->GetGap());
    m_rightSidewalkState = *right->GetState();
  }
  if (ModelRef<ILineOfRoad> left(sidewalks.get(), IID_LeftPavement); left) {
    m_leftSidewalkWidth = ThroughFloat(*left->GetWidth());
    m_leftSidewalkGap = ThroughFloat(*left->GetGap());
    m_leftSidewalkState = *left->GetState();
  }
}

void CSceneBuilder::ReadWalls(IArea* area)
{
  m_leftWallHeight = m_rightWallHeight = m_leftWallGap = m_rightWallGap = 0;
  m_leftWallState = m_rightWallState = 0;
  ModelRef<IWall> walls(area, IID_IWall);
  m_wallsSelected = IsSelected(walls.get()) ? 1 : 0;
  if (walls && (*walls->GetFlags() & kSideAbsent) == 0) {
    if (ModelRef<ILineOfRoad> right(walls.get(), IID_RightWall); right) {
      m_rightWallHeight = ThroughFloat(*right->GetWidth());
      m_rightWallGap = ThroughFloat(*right->GetGap());
      m_rightWallState = *right->GetState();
    }
    if (ModelRef<ILineOfRoad> left(walls.get(), IID_LeftWall); left) {
      m_leftWallHeight = ThroughFloat(*left->GetWidth());
      m_leftWallGap = ThroughFloat(*left->GetGap());
      m_leftWallState = *left->GetState();
    }
  }
  m_rightWallShown = (m_viewMode & CViewCamera::kLeftWall) == 0;
  m_leftWallShown = (m_viewMode & CViewCamera::kRightWall) == 0;
}

void CSceneBuilder::ComputeSection(IArea* area)
{
  m_extent[0] = m_extent[1] = m_extent[2] = 0;
  m_firstStep = 0;
  double largestBefore = 0, largestAfter = 0, largestOffset = 0;
  PolePositions first;
  bool haveFirst = false;
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = head.get(); group; group = group->GetNext()) {
    ReadGroup(nullptr, group, m_record, false);
    const CGroupBuildRecord& r = m_record;
    const PolePositions plain = CountPositions(r.step, r.offset, r.lightCentreHeight, false);
    double before = r.step * plain.before, after = r.step * plain.after;
    if (r.roadScheme == kRoadStaggered) {
      const PolePositions half = CountPositions(r.step, r.offset, r.lightCentreHeight, true);
      before = std::max(before, r.step * half.before - r.step / 2);
      after = std::max(after, r.step * half.after + r.step / 2);
    }
    largestBefore = std::max(largestBefore, before + r.offset / 2);
    largestAfter = std::max(largestAfter, after + r.offset / 2);
    largestOffset = std::max(largestOffset, r.offset);
    if (!haveFirst) {
      haveFirst = true;
      m_firstStep = r.step;
      first = plain;
    }
  }
  m_extent[1] = *area->GetWidth();
  m_extent[0] = std::max(m_extent[0], largestBefore + largestAfter);
  m_extent[2] = 0;
  m_sectionStart = m_extent[0] / 2 - first.after * m_firstStep - largestOffset;
  m_sectionOrigin[0] = m_sectionStart;
  m_sectionOrigin[1] = -(m_dividerWidth / 2 + m_mainWidth);
  m_sectionOrigin[2] = 0;
}

void CSceneBuilder::ComputeFieldRects()
{
  const double x0 = m_sectionStart, x1 = m_sectionStart + m_firstStep;
  for (auto& rect : m_field) {
    rect[0] = x0;
    rect[1] = x1;
  }
  double upper, lower;  // the carriageway's edges on the left (+y) and right sides
  if (m_oneWay) {
    m_field[kMainCarriageway][2] = -m_mainWidth / 2;
    m_field[kMainCarriageway][3] = m_mainWidth / 2;
    m_field[kOppositeCarriageway][2] = 0;
    m_field[kOppositeCarriageway][3] = m_mainWidth / 2;
    upper = m_mainWidth / 2;
    lower = -m_mainWidth / 2;
  } else {
    m_field[kMainCarriageway][2] = -(m_dividerWidth / 2 + m_mainWidth);
    m_field[kMainCarriageway][3] = -m_dividerWidth / 2;
    m_field[kOppositeCarriageway][2] = m_dividerWidth / 2;
    m_field[kOppositeCarriageway][3] = m_dividerWidth / 2 + m_oppositeWidth;
    upper = m_dividerWidth / 2 + m_oppositeWidth;
    lower = -(m_dividerWidth / 2 + m_mainWidth);
  }
  m_field[kLeftGap][2] = upper + kKerb;
  m_field[kLeftGap][3] = upper + kKerb + m_leftSidewalkGap;
  m_field[kLeftSidewalk][2] = m_field[kLeftGap][3];
  m_field[kLeftSidewalk][3] = m_field[kLeftGap][3] + m_leftSidewalkWidth;
  m_leftWallLine = m_field[kLeftSidewalk][3] + m_leftWallGap;
  m_field[kRightGap][2] = lower - kKerb;
  m_field[kRightGap][3] = lower - kKerb - m_rightSidewalkGap;
  m_field[kRightSidewalk][2] = m_field[kRightGap][3];
  m_field[kRightSidewalk][3] = m_field[kRightGap][3] - m_rightSidewalkWidth;
  m_rightWallLine = m_field[kRightSidewalk][3] - m_rightWallGap;
  m_field[kLeftWall][2] = m_field[kRightWall][2] = 1.0;
  m_field[kLeftWall][3] = m_leftWallHeight;
  m_field[kRightWall][3] = m_rightWallHeight;
  m_sidewalkCalcHeight = 0.12;
  m_carriagewayCalcHeight = 0.02;
}

void CSceneBuilder::ReadGroup(IGroupOfDev* parent, IGroupOfDev* group, CGroupBuildRecord& record, bool subGroup)
{
  const CString name = record.name;
  record = CGroupBuildRecord{};
  IGroupOfDev* owner = parent ? parent : group;
  record.step = *owner->GetStep();
  record.fiveSteps = 5 * record.step;
  record.offset = *owner->GetOffset();
  record.mountingKind = *owner->GetMountingKind();
  record.placementScheme = *owner->GetPlacementScheme();
  record.roadScheme = *owner->GetRoadScheme();
  record.state = *group->GetState();
  record.on = (record.state & kStateOn) != 0;
  record.selected = IsSelected(group);
  if (!record.selected && !subGroup && (record.placementScheme == 3 || record.placementScheme == 4)) {
    ModelRef<IGroupOfDev> selectedSub(group, IID_SelectedSubGroup);
    record.selected = selectedSub ? 1 : 0;
  }
  std::copy(group->GetBasePoint(), group->GetBasePoint() + 3, record.basePoint);
  record.subGroup = group->IsSubGroup() != 0;
  if (subGroup) {
    record.name = name;
    record.number = 0;
  } else {
    record.number = *group->GetNumber();
    record.name.Format("%d_%s", record.number, group->GetName()->GetString());
  }
  CLightDevice* luminaire = owner->GetLightDevice();
  if (luminaire && m_options && m_options->GetShowPhotometricSolid() && *m_options->GetShowPhotometricSolid()) {
    record.photometricTable = luminaire->table.get();
    record.photometricKind = static_cast<int>(luminaire->symmetryWord);
  }

  ModelRef<IPole> pole(group, IID_IPole);
  if (!pole)
    return;  // a group without poles places nothing
  const int kind = record.mountingKind;
  record.setback = *pole->GetSetback();
  record.lightCentreHeight = pole->GetHeight(kind);
  record.bracketRotation = *pole->GetRotation();
  record.mountBelow = pole->GetMountSide() == 0;
  record.typical = *pole->GetTypical();

  const CLampPost* post = pole->GetLampPost();
  const CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
  const int arms = bracket ? static_cast<int>(bracket->arms.GetSize()) : 0;
  record.arms.assign(std::max(arms, 1), _ARM_PLACEMENT{});
  if (record.typical && arms > 0) {
    for (int k = 0; k < arms; ++k) {
      const LAMP_CONSOLE_INFO& arm = bracket->arms[k];
      _ARM_PLACEMENT& p = record.arms[static_cast<size_t>(k)];
      p.endHeight = arm.rise + kArmEndToLightCentre * std::sin(arm.tilt * kDegree);
      p.armLength = arm.outreach;
      p.tilt = arm.tilt;
      p.azimuth = arm.turn;
      p.poleHeight = post->height;
    }
    return;
  }
  const double tilt = pole->GetTilt(kind);
  const double outreach = pole->GetOutreach(kind);
  for (_ARM_PLACEMENT& p : record.arms) {
    p.tilt = tilt;
    p.armLength = outreach / std::cos(tilt * kDegree);
    p.endHeight = std::sin(tilt * kDegree) * p.armLength;
    p.poleHeight = record.lightCentreHeight - p.endHeight;
    p.azimuth = 0;
    if (kind == kMountingFloorLamp) {
      if (record.mountBelow) {
        p.turn[1] = 180;
        p.offset[2] = kFloorLampNode;
        p.poleHeight -= kFloorLampNode;
      } else {
        p.offset[2] = -kFloorLampNode;
        p.poleHeight += kFloorLampNode;
      }
      if (luminaire && luminaire->textH == "00009") {
        p.stemDown = 1;
        p.turn[1] += 180;
      }
    } else if (kind == kMountingMast) {
      const int scheme = record.placementScheme;
      const double aimTilt = m_straight ? pole->GetAimTilt() : pole->ComputeAimTilt(&scheme);
      const double aimTurn = m_straight ? pole->GetAimTurn() : pole->ComputeAimTurn(&scheme);
      p.turn[0] = aimTilt - 90;
      p.turn[1] = *pole->GetLuminaireTurn();
      p.turn[2] = m_straight ? -aimTurn : aimTurn;
      pole->GetAimPoint(p.aim);
    }
  }
}

CStreetFixtureDevice* CSceneBuilder::MakeDevice() const
{
  switch (m_record.mountingKind) {
  case kMountingPole:
    return new CStreetColumnIllumination;
  case kMountingMast:
    return new CStreetMastIllumination;
  case kMountingFloorLamp:
    return new CStreetFloorLampIllumination;
  default:
    return nullptr;
  }
}

void CSceneBuilder::ApplyGroupLook(CObject3D* group) const
{
  const bool plan = (m_viewMode & CViewCamera::kPlan) != 0;
  const bool wallView = (m_viewMode & (CViewCamera::kLeftWall | CViewCamera::kRightWall)) != 0;
  const bool outlineView = m_straight ? (plan || wallView) : plan;
  if (m_record.selected) {
    group->SetState(CSelectableObject::kSelected);
    group->SetColor(kColorSelected);
  } else if (m_record.on) {
    if (m_straight) {
      group->SetState(CSelectableObject::kLampLook);
      if (outlineView && m_resultsFlag)
        group->SetState(CSelectableObject::kOutlineLook);
    } else {
      group->SetState(plan && m_resultsFlag ? CSelectableObject::kOutlineLook : CSelectableObject::kLampLook);
    }
    group->SetColor(plan ? kColorPoleGroupPlanActive : kColorPoleGroupActive);
  } else {
    group->SetState(CSelectableObject::kSwitchedOff);
    if (outlineView && m_resultsFlag)
      group->SetState(CSelectableObject::kOutlineLook);
    group->SetColor(kColorPoleGroupInactive);
  }
}

void CSceneBuilder::BuildStraightGroups(IArea* area)
{
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
  int index = 0;
  for (IGroupOfDev* group = head.get(); group; group = group->GetNext(), ++index) {
    ReadGroup(nullptr, group, m_record, false);
    if ((m_record.state & kStateNotBuilt) != 0)
      continue;  // its index still counts for the later groups' pick ids
    BuildStraightGroup(index);
  }
}

void CSceneBuilder::BuildStraightGroup(int index)
{
  CGroupBuildRecord& r = m_record;
  const double w = m_mainWidth, wd = m_dividerWidth, wo = m_oppositeWidth, b = r.setback, s = r.step;
  const double yRight = m_oneWay ? -(w / 2 + b) : -(wd / 2 + w + b);
  const double yLeft = m_oneWay ? w / 2 + b : wd / 2 + wo + b;
  auto* group = new CGroupLightDevice3D;
  group->m_pickId = kFirstPickId + index;
  group->SetName(r.name);
  if (!r.on)
    r.photometricTable = nullptr;  // an off group shows no solid

  // The device's own word with the group's selection added and the lit look taken away when it is off.
  auto applyState = [&r](CObject3D* device) {
    DWORD state = device->GetState();
    if (r.selected)
      state |= CSelectableObject::kSelected;
    if (!r.on)
      state &= ~CSelectableObject::kLampLook;
    device->SetState(state);
  };
  auto addDevice = [&](double x, double y, double turn, bool decorate, double reference) {
    CStreetFixtureDevice* device = MakeDevice();
    if (device == nullptr)
      return;
    applyState(device);
    device->MoveTo(r.offset + x, y, 0);
    device->TurnTo(0, 0, turn);
    device->BuildArms(r.arms);
    if (auto* bracket = device->GetBracket())
      bracket->m_supportMarkers = r.typical;
    group->Add(decorate ? new CLightStreetDeviceDecorator(device, reference) : device);
  };

  const PolePositions plain = CountPositions(s, r.offset, r.lightCentreHeight, false);
  const double x0 = m_sectionStart - plain.before * s;
  const double leftTurn = -r.bracketRotation, rightTurn = 180 - r.bracketRotation;
  if (r.roadScheme == kRoadStaggered) {
    const PolePositions half = CountPositions(s, r.offset, r.lightCentreHeight, true);
    const double xLeft = m_sectionStart - half.before * s + s / 2;
    for (int k = 0; k < half.total; ++k)
      addDevice(xLeft + k * s, yLeft, leftTurn, false, 0);
    for (int k = 0; k < plain.total; ++k)
      addDevice(x0 + k * s, yRight, rightTurn, false, 0);
  } else if (r.roadScheme == kRoadSuspended) {
    const double y = m_oneWay ? -(w / 2 - b) : -(wd / 2 + w - b);
    for (int k = 0; k < plain.total; ++k) {
      CBaseLightDevice* luminaire = nullptr;
      if (r.mountingKind == kMountingPole)
        luminaire = new CFixtureLightDevice;
      else if (r.mountingKind == kMountingMast)
        luminaire = new CProjectorLightDevice;
      else if (r.mountingKind == kMountingFloorLamp)
        luminaire = new CFloorLampLightDevice(r.arms.front().stemDown);
      if (luminaire == nullptr)
        break;
      applyState(luminaire);
      luminaire->MoveTo(r.offset + x0 + k * s, y, r.lightCentreHeight);
      if (r.mountingKind == kMountingFloorLamp && r.mountBelow)
        luminaire->TurnTo(0, 180, 0);
      else
        luminaire->TurnTo(0, 0, rightTurn);
      group->Add(luminaire);
    }
  } else {
    const bool central = r.roadScheme == kRoadCentral;
    const bool right = r.roadScheme != kRoadLeft;
    // A catalogue pole in the middle carries its arms both ways itself.
    const bool left = r.roadScheme == kRoadLeft || r.roadScheme == kRoadTwoSided ||
                      (central && !(r.mountingKind == kMountingPole && r.typical));
    for (int k = 0; k < plain.total; ++k) {
      const double x = x0 + k * s;
      if (right)
        addDevice(x, central ? 0 : yRight, rightTurn, k == 0, -b);
      if (left)
        addDevice(x, central ? 0 : yLeft, leftTurn, k == 0 && r.roadScheme == kRoadLeft, b);
    }
  }
  ApplyGroupLook(group);
  group->UpdatePhotometry(r.photometricTable, r.photometricKind);
  m_scene->GetOwned()->Add(group);
}

void CSceneBuilder::BuildFreeForm(IArea* area)
{
  const double length = *area->GetLength(), width = *area->GetWidth();
  m_freeForm[0] = -length / 2;
  m_freeForm[1] = length / 2;
  m_freeForm[2] = width / 2;
  m_freeForm[3] = -width / 2;
  m_sectionOrigin[0] = m_sectionOrigin[1] = m_sectionOrigin[2] = 0;
  m_extent[0] = length;
  m_extent[1] = width;
  m_extent[2] = 0;
  BuildFreeFormGroups(area);
}

void CSceneBuilder::ReadPole(IPole* pole, double position[3], double* rotation) const
{
  std::copy(pole->GetPosition(), pole->GetPosition() + 3, position);
  double r = 0;
  switch (m_record.placementScheme) {
  case kPlacementIndividual:
    r = *pole->GetRotation();
    break;
  case kPlacementLine:
    r = pole->GetAbsoluteRotation();
    break;
  case kPlacementCircle:
    r = pole->GetCircleRotation();
    break;
  default:
    break;
  }
  *rotation = -(r + 90);
}

void CSceneBuilder::AddPoleDevices(IGroupOfDev* group, CGroupLightDevice3D* object)
{
  ModelRef<IPole> first(group, IID_IPole);
  for (IPole* pole = first.get(); pole; pole = pole->GetNext()) {
    double position[3], rotation = 0;
    ReadPole(pole, position, &rotation);
    CStreetFixtureDevice* device = MakeDevice();
    if (device == nullptr)
      continue;
    if (!m_record.on)
      device->SetState(CSelectableObject::kSwitchedOff);
    device->MoveTo(position[0], position[1], position[2]);
    device->TurnTo(0, 0, -rotation);
    device->BuildArms(m_record.arms);
    if (auto* bracket = device->GetBracket())
      bracket->m_supportMarkers = m_record.typical;
    object->Add(device);
  }
}

void CSceneBuilder::BuildFreeFormGroups(IArea* area)
{
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
  int pickId = kFirstPickId;
  for (IGroupOfDev* group = head.get(); group; group = group->GetNext(), ++pickId) {
    ReadGroup(nullptr, group, m_record, false);
    CGroupLightDevice3D* object = nullptr;
    switch (m_record.placementScheme) {
    case kPlacementIndividual:
      object = new CGroup3DIndividuality;
      object->m_groupKind = CGroupLightDevice3D::kIndividual;
      break;
    case kPlacementLine: {
      object = new CGroup3DLine;
      object->m_groupKind = CGroupLightDevice3D::kInLine;
      ModelRef<IPole> pole(group, IID_IPole);
      if (pole && pole->GetNext())
        object->TurnTo(0, 0, pole->GetNext()->GetAngleToPrev());
      break;
    }
    case kPlacementCircle:
      object = new CGroup3DCircle;
      object->m_groupKind = CGroupLightDevice3D::kInCircle;
      break;
    default: {
      object = new CGroup3DPolyline;
      object->m_groupKind = CGroupLightDevice3D::kAlongContour;
      ModelRef<IGroupOfDev> firstSub(group, IID_FirstSubGroup);
      for (IGroupOfDev* sub = firstSub.get(); sub; sub = sub->GetNext()) {
        ReadGroup(group, sub, m_record, true);
        auto* child = new CGroup3DIndividuality;
        child->m_groupKind = CGroupLightDevice3D::kIndividual;
        AddPoleDevices(sub, child);
        ApplyGroupLook(child);
        object->Add(child);
      }
      ReadGroup(nullptr, group, m_record, false);
      break;
    }
    }
    object->SetName(m_record.name);
    object->m_number = m_record.number;
    std::copy(m_record.basePoint, m_record.basePoint + 3, object->m_centre);
    object->m_pickId = pickId;
    object->ResizeTo(0, 0, m_record.lightCentreHeight);
    if (m_record.placementScheme <= kPlacementCircle)
      AddPoleDevices(group, object);

    ReadGroup(nullptr, group, m_record, false);
    ApplyGroupLook(object);
    if (m_record.number != 0) {
      CString label;
      label.Format("%d", m_record.number);
      object->SetLabel(label);
    }
    object->UpdatePhotometry(m_record.photometricTable, m_record.photometricKind);
    m_scene->GetOwned()->Add(object);
  }
}
