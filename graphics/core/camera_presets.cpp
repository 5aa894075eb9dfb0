#include "graphics/core/camera_presets.h"

#include "geometry/view_camera.h"
#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iroad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The distance at which an extent fills the 45-degree field of view.
double FillDistance(double extent) { return extent / std::tan(std::numbers::pi / 8) * 0.5; }

// Beyond a wall the view keeps this much room, per side.
constexpr double kRoomBeyondWall = 17.0;

struct Strip {
  double width = 0;
  double gap = 0;
};

// A sidewalk or wall strip of one side; empty when the strips are absent (flag 0x2), the side has none, or a
// wall is switched off.
template <typename Side>
Strip ReadStrip(IArea* area, const IID& partIid, const IID& sideIid, bool needsOn)
{
  ModelRef<Side> part(area, partIid);
  if (!part || (*part->GetFlags() & kSideAbsent) != 0)
    return {};
  ModelRef<ILineOfRoad> strip(part.get(), sideIid);
  if (!strip || (needsOn && *strip->GetState() == 0))
    return {};
  return {*strip->GetWidth(), *strip->GetGap()};
}

void FitStraightRoad(double position[3], IArea* area, DWORD viewBit, double h, double sectionOriginX)
{
  // 1. The longest span of the groups and the first group's pole step.
  double span = 0;
  double firstStep = 0;
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  if (first)
    firstStep = *first->GetStep();
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext())
    span = std::max(span, *group->GetStep() + std::fabs(*group->GetOffset()) / 2);
  const double reach = 5 * span;

  // 2. The cross-section.
  double mainWidth = 0, oppositeWidth = 0, dividerWidth = 0;
  if (ModelRef<IRoad> road(area, IID_IRoad); road) {
    road->UpdateAreaWidth();
    const int mainLanes = 0, divider = 1, oppositeLanes = 2;
    mainWidth = road->GetLaneCount(&mainLanes) * road->GetLaneWidth(&mainLanes);
    if (road->IsTwoWay())
      oppositeWidth = road->GetLaneCount(&oppositeLanes) * road->GetLaneWidth(&oppositeLanes);
    if (road->HasDivider())
      dividerWidth = road->GetLaneWidth(&divider);
  }
  const Strip rightWalk = ReadStrip<IPavement>(area, IID_IPavement, IID_RightPavement, false);
  const Strip leftWalk = ReadStrip<IPavement>(area, IID_IPavement, IID_LeftPavement, false);
  const Strip rightWall = ReadStrip<IWall>(area, IID_IWall, IID_RightWall, true);
  const Strip leftWall = ReadStrip<IWall>(area, IID_IWall, IID_LeftWall, true);

  // 3. Halves and reaches across the road.
  const double left = dividerWidth / 2 + leftWalk.gap + leftWalk.width + oppositeWidth;
  const double right = dividerWidth / 2 + rightWalk.gap + rightWalk.width + mainWidth;
  const double total = left + right;
  const double leftReach = left + leftWall.gap + kRoomBeyondWall;
  const double rightReach = right + rightWall.gap + kRoomBeyondWall;
  const double largerWall = std::max(leftWall.width, rightWall.width);

  // 4. Plan and wall views centre on the first field of the calculation section.
  double size = 0;
  switch (viewBit) {
  case CViewCamera::kPlan:
    position[0] = -sectionOriginX - firstStep / 2;
    position[1] = (rightReach - leftReach) / 2;
    size = std::max(total, firstStep);
    break;
  case CViewCamera::kLeftWall:
    position[0] = -sectionOriginX - firstStep / 2;
    position[1] = -std::max(leftWall.width, h) / 2;
    size = std::max({h, leftWall.width, firstStep});
    break;
  case CViewCamera::kRightWall:
    position[0] = sectionOriginX + firstStep / 2;
    position[1] = -std::max(rightWall.width, h) / 2;
    size = std::max({h, firstStep, rightWall.width});
    break;
  default:
    // 5. The other views take in the road's whole length of five spans.
    size = std::max({std::sqrt(reach * reach + total * total), h, leftWall.width, rightWall.width});
    if (viewBit == CViewCamera::kLeft || viewBit == CViewCamera::kRight) {
      position[0] = 0;
      position[1] = -largerWall / 2;
    } else if (viewBit == CViewCamera::kFront || viewBit == CViewCamera::kOwnRecord) {
      position[0] = (leftReach - rightReach) / 2;
      position[1] = h < largerWall / 2 ? -largerWall / 2 : -h;
    } else {
      position[0] = position[1] = 0;
    }
    break;
  }
  position[2] = -FillDistance(size);
}

}  // namespace

double GetHighestGroupHeight(IArea* area)
{
  double highest = 0;
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> first(groups.get(), IID_IGroupOfDev);
  for (IGroupOfDev* group = first.get(); group; group = group->GetNext()) {
    ModelRef<IPole> pole(group, IID_IPole);
    if (pole)
      highest = std::max(highest, pole->GetHeight(*group->GetMountingKind()));
  }
  return highest;
}

void FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad, CViewCamera* camera,
                     double sectionOriginX)
{
  position[0] = position[1] = position[2] = 0;
  *straightRoad = 0;
  if (!area)
    return;
  const double h = GetHighestGroupHeight(area) + std::fabs(*area->GetBaseHeight());
  if (ModelRef<IModelUnknown> road(area, IID_IStraightRoad); road) {
    *straightRoad = 1;
    FitStraightRoad(position, area, viewBit, h, sectionOriginX);
    return;
  }
  const double length = *area->GetLength();
  const double width = *area->GetWidth();
  const double extent = std::sqrt(h * h + length * length + width * width);
  if (camera)
    camera->m_far = 2 * extent;
  position[2] = -(FillDistance(extent) + 10);
  if (viewBit == CViewCamera::kFront || viewBit == CViewCamera::kLeft || viewBit == CViewCamera::kRight)
    position[1] = -h / 2;
}

void CCameraPresets::FitCameraToArea(double position[3], IArea* area, DWORD viewBit, int* straightRoad,
                                     void* object, CGraphicCore* core)
{
  const double originX = core && m_sectionOriginX ? *m_sectionOriginX : 0.0;
  ::FitCameraToArea(position, area, viewBit, straightRoad, static_cast<CViewCamera*>(object), originX);
}
