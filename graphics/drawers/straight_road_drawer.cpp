#include "graphics/drawers/straight_road_drawer.h"

#include "geometry/view_camera.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/scene_builder.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/ivisualopt.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStateOn = 0x1;
constexpr int kStateNotBuilt = 0x2;
constexpr double kKerbWidth = 0.1;
constexpr double kKerbBlock = 1.0;
// The buildings stand this deep behind their wall line; their centre is half that plus a hair off the line.
constexpr double kBuildingDepth = 12.0;
constexpr double kBuildingCentre = 6.05;
// Ground and scene reach this far behind the buildings.
constexpr double kBehindBuildings = 5.0;
constexpr double kStoreyStep = 6.0;

enum Quantity { kLuminance = 0, kIlluminance = 1, kSemiCylindrical = 2 };

int DisplayedQuantity(IQorRoadDoc* document)
{
  void* options = nullptr;
  if (!document || FAILED(document->QueryInterface(IID_IVisualOpt, &options)) || !options)
    return kIlluminance;
  auto* visual = static_cast<IVisualOpt*>(options);
  const int* quantity = visual->GetQuantity();
  const int value = quantity ? *quantity : kIlluminance;
  visual->Release();
  return value;
}

void DrawKerbFaces(double x, double edge, double outward, double height)
{
  glBegin(GL_QUADS);
  glVertex3d(x, edge, 0);
  glVertex3d(x + kKerbBlock, edge, 0);
  glVertex3d(x + kKerbBlock, edge, height);
  glVertex3d(x, edge, height);
  glVertex3d(x, edge, height);
  glVertex3d(x + kKerbBlock, edge, height);
  glVertex3d(x + kKerbBlock, edge + outward * kKerbWidth, height);
  glVertex3d(x, edge + outward * kKerbWidth, height);
  glEnd();
}

}  // namespace

IArea* QueryActiveArea(IQorRoadDoc* document)
{
  void* area = nullptr;
  if (!document || FAILED(document->QueryInterface(IID_ActiveArea, &area)))
    return nullptr;
  return static_cast<IArea*>(area);
}

// ---- shared pieces --------------------------------------------------------------------------------------------

void DrawQuadXY(double x, double y, double z, double dx, double dy)
{
  glBegin(GL_POLYGON);
  glVertex3d(x - dx / 2, y + dy / 2, z);
  glVertex3d(x - dx / 2, y - dy / 2, z);
  glVertex3d(x + dx / 2, y - dy / 2, z);
  glVertex3d(x + dx / 2, y + dy / 2, z);
  glEnd();
}

void DrawBox(double sx, double sy, double sz)
{
  const double x = sx / 2, y = sy / 2, z = sz / 2;
  glBegin(GL_QUADS);
  glNormal3d(-1, 0, 0);
  glVertex3d(-x, -y, -z), glVertex3d(-x, -y, z), glVertex3d(-x, y, z), glVertex3d(-x, y, -z);
  glNormal3d(1, 0, 0);
  glVertex3d(x, -y, -z), glVertex3d(x, y, -z), glVertex3d(x, y, z), glVertex3d(x, -y, z);
  glNormal3d(0, -1, 0);
  glVertex3d(-x, -y, -z), glVertex3d(x, -y, -z), glVertex3d(x, -y, z), glVertex3d(-x, -y, z);
  glNormal3d(0, 1, 0);
  glVertex3d(-x, y, -z), glVertex3d(-x, y, z), glVertex3d(x, y, z), glVertex3d(x, y, -z);
  glNormal3d(0, 0, 1);
  glVertex3d(-x, -y, z), glVertex3d(x, -y, z), glVertex3d(x, y, z), glVertex3d(-x, y, z);
  glEnd();
}

void DrawArrow3D(double x, double y, double z, double length, double width)
{
  const double head = x - length / 2, tail = x - length;
  glBegin(GL_POLYGON);
  glVertex3d(x, y, z);
  glVertex3d(head, y + width / 2, z);
  glVertex3d(head, y + width / 4, z);
  glVertex3d(tail, y + width / 4, z);
  glVertex3d(tail, y - width / 4, z);
  glVertex3d(head, y - width / 4, z);
  glVertex3d(head, y - width / 2, z);
  glEnd();
}

// ---- walls ----------------------------------------------------------------------------------------------------

double CStraightRoadWalls3D::BuildingLength(double roadLength, double spacing)
{
  const double spare = roadLength - (spacing < 6 ? 0.5 : 20);
  const double length = std::trunc(spare / kStoreyStep) * kStoreyStep;
  return std::max(length, 2 * kStoreyStep);
}

void CStraightRoadWalls3D::Refresh()
{
  const CSceneBuilder& b = *m_builder;
  m_height[kLeft] = b.m_leftWallHeight;
  m_height[kRight] = b.m_rightWallHeight;
  m_gap[kLeft] = b.m_leftWallGap;
  m_gap[kRight] = b.m_rightWallGap;
  m_line[kLeft] = b.m_leftWallLine;
  m_line[kRight] = b.m_rightWallLine;
  m_state[kLeft] = b.m_leftWallState;
  m_state[kRight] = b.m_rightWallState;
  m_shown[kLeft] = b.m_leftWallShown;
  m_shown[kRight] = b.m_rightWallShown;
  m_selected = b.m_wallsSelected;

  const double roadLength = b.m_extent[0];
  m_buildings[kLeft].SetPosition(0, m_line[kLeft] + kBuildingCentre, 0);
  m_buildings[kRight].SetPosition(0, m_line[kRight] - kBuildingCentre, 0);
  const double length = BuildingLength(roadLength, b.m_firstStep);
  m_buildings[kLeft].ResizeTo(length, kBuildingDepth, m_height[kLeft]);
  m_buildings[kRight].ResizeTo(length, kBuildingDepth, m_height[kRight]);

  // Each plane covers the ground from the sidewalk's outer edge to behind its building.
  const double leftWidth = kBuildingDepth + m_gap[kLeft] + kBehindBuildings;
  m_grounds[kLeft].ResizeTo(roadLength, leftWidth, 0);
  m_grounds[kLeft].SetPosition(0, m_line[kLeft] - m_gap[kLeft] + leftWidth / 2 - 0.05, 0.1);
  const double rightWidth = m_gap[kRight] + kBuildingDepth + kBehindBuildings;
  m_grounds[kRight].ResizeTo(roadLength, rightWidth, 0);
  m_grounds[kRight].SetPosition(0, m_line[kRight] + m_gap[kRight] - rightWidth / 2 + 0.05, 0.1);

  const double leftOuter = m_buildings[kLeft].m_position[1] + kBuildingDepth / 2;
  const double rightOuter = m_buildings[kRight].m_position[1] - kBuildingDepth / 2;
  m_builder->m_extent[0] = roadLength;
  m_builder->m_extent[1] = (leftOuter + kBehindBuildings) - (rightOuter - kBehindBuildings);
}

void CStraightRoadWalls3D::Draw()
{
  CScenePalette* palette = CScenePalette::GetInstance();
  for (int side : {kLeft, kRight}) {
    if (!m_shown[side] || !m_switch[side])
      continue;
    glDisable(GL_LIGHTING);
    palette->SetGLColor(kColorGap);
    m_grounds[side].Draw();
    const int colour = m_selected ? kColorSelected : m_state[side] ? kColorRoof : kColorWallInactive;
    palette->ApplyMaterial(colour, kMaterialDefault);
    glEnable(GL_LIGHTING);
    m_buildings[side].Draw();
  }
}

// ---- the drawers' shared part -----------------------------------------------------------------------------------

IStraightRoadDrawer::IStraightRoadDrawer(CSceneBuilder* builder)
    : m_document(builder->GetDocument()), m_palette(CScenePalette::GetInstance()),
      m_walls(new CStraightRoadWalls3D(builder)), m_builder(builder)
{
}

IStraightRoadDrawer::~IStraightRoadDrawer() { delete m_walls; }

void IStraightRoadDrawer::Refresh()
{
  const CSceneBuilder& b = *m_builder;
  StraightRoadFigures& f = m_figures;
  f.oppositeLaneCount = b.m_oppositeLaneCount;
  f.mainLaneCount = b.m_mainLaneCount;
  f.oppositeLaneWidth = b.m_oppositeLaneWidth;
  f.mainLaneWidth = b.m_mainLaneWidth;
  f.dividerWidth = b.m_dividerWidth;
  f.parapetWidth = b.m_parapetWidth;
  f.parapetHeight = b.m_parapetHeight;
  f.oneWay = b.m_oneWay;
  f.roadState = b.m_roadState;
  f.mainWidth = b.m_mainWidth;
  f.oppositeWidth = b.m_oppositeWidth;
  f.mainOn = b.m_mainOn;
  f.roadOn = b.m_roadOn;
  f.viewMode = b.m_viewMode;
  f.length = b.m_extent[0];
  f.areaWidth = b.m_extent[1];
  f.spacing = b.m_firstStep;
  f.observerLane = b.m_observerLane;
  f.resultsValid = b.m_resultsFlag;
  f.rightSidewalkWidth = b.m_rightSidewalkWidth;
  f.leftSidewalkWidth = b.m_leftSidewalkWidth;
  f.rightGap = b.m_rightSidewalkGap;
  f.leftGap = b.m_leftSidewalkGap;
  f.sidewalkHeight = b.m_sidewalkHeight;
  f.leftSidewalkState = b.m_leftSidewalkState;
  f.rightSidewalkState = b.m_rightSidewalkState;
  std::copy(&b.m_field[0][0], &b.m_field[0][0] + 32, &f.field[0][0]);
  f.sidewalkCalcHeight = b.m_sidewalkCalcHeight;
  f.carriagewayCalcHeight = b.m_carriagewayCalcHeight;
  m_walls->Refresh();
}

double IStraightRoadDrawer::ObserverLaneY() const
{
  const StraightRoadFigures& f = m_figures;
  const double rightEdge = f.oneWay ? f.mainWidth / 2 : f.mainWidth + f.dividerWidth / 2;
  return f.mainLaneWidth / 2 - rightEdge + f.mainLaneWidth * f.observerLane;
}

double IStraightRoadDrawer::LeftSidewalkMarkY() const
{
  const StraightRoadFigures& f = m_figures;
  const double edge = f.oneWay ? f.mainWidth / 2 : f.dividerWidth / 2 + f.oppositeWidth;
  return edge + (f.leftSidewalkWidth / 2 + f.leftGap + kKerbWidth);
}

double IStraightRoadDrawer::RightSidewalkMarkY() const
{
  const StraightRoadFigures& f = m_figures;
  const double edge = f.oneWay ? -f.mainWidth / 2 : -f.mainWidth - f.dividerWidth / 2;
  return edge - (f.rightSidewalkWidth / 2 + f.rightGap + kKerbWidth);
}

std::vector<double> IStraightRoadDrawer::MainSeparatorsY() const
{
  const StraightRoadFigures& f = m_figures;
  std::vector<double> ys;
  const double start = -f.dividerWidth / 2 + (f.oneWay ? f.mainWidth / 2 : 0);
  for (int i = 1; i < f.mainLaneCount; ++i)
    ys.push_back(start - i * f.mainLaneWidth);
  return ys;
}

std::vector<double> IStraightRoadDrawer::OppositeSeparatorsY() const
{
  const StraightRoadFigures& f = m_figures;
  std::vector<double> ys;
  for (int i = 1; i < f.oppositeLaneCount; ++i)
    ys.push_back(f.dividerWidth / 2 + i * f.oppositeLaneWidth);
  return ys;
}

// ---- 3D -------------------------------------------------------------------------------------------------------

std::vector<double> CStraightRoadDrawer3D::KerbBlockStarts(double roadLength)
{
  std::vector<double> starts;
  const double end = std::trunc(roadLength / 2);
  for (double x = -roadLength / 2; x < end; x += 2 * kKerbBlock) {
    starts.push_back(x);
    starts.push_back(x + kKerbBlock);
  }
  return starts;
}

void CStraightRoadDrawer3D::Draw()
{
  glDisable(GL_LIGHTING);
  m_rightEdge = m_leftEdge = 0;
  IArea* area = QueryActiveArea(m_document);
  const int quantity = DisplayedQuantity(m_document);
  DrawRoad(area);
  if (m_figures.resultsValid && quantity == kLuminance) {
    DrawRowMark3D();
  } else if (m_figures.resultsValid && quantity == kSemiCylindrical) {
    if (m_figures.leftSidewalkState)
      DrawLeftSidewalkMark();
    if (m_figures.rightSidewalkState)
      DrawRightSidewalkMark();
  }
  DrawKerbs();
  DrawPavements(area);
  m_walls->Draw();
  if (area)
    area->Release();
  glEnable(GL_LIGHTING);
}

void CStraightRoadDrawer3D::DrawRoad(IArea* area)
{
  const StraightRoadFigures& f = m_figures;
  ModelRef<IRoad> road(area, IID_IRoad);
  // An area that does not answer as a road draws no carriageway; the markings still follow the figures.
  if (road && (f.roadState & kStateNotBuilt) == 0) {
    const bool selected = CSceneBuilder::IsSelected(road.get());
    const int mainColour =
        selected ? kColorSelected : (f.roadState & kStateOn) ? kColorCarriagewayActive : kColorCarriagewayInactive;
    m_palette->SetGLColor(mainColour);
    if (!f.oneWay) {
      const double d = f.dividerWidth / 2 + f.mainWidth;
      DrawQuadXY(0, -d / 2, 0, f.length, d);
      m_rightEdge = -d;
      const int oppositeColour = selected ? kColorSelected : f.mainOn ? kColorCarriagewayActive : kColorCarriagewayInactive;
      m_palette->ApplyMaterial(oppositeColour, kMaterialDefault);
      m_palette->SetGLColor(oppositeColour);
      const double e = f.dividerWidth / 2 + f.oppositeWidth;
      DrawQuadXY(0, e / 2, 0, f.length, e);
      m_leftEdge = e;
    } else {
      DrawQuadXY(0, 0, 0, f.length, f.mainWidth);
      m_rightEdge = -f.mainWidth / 2;
      m_leftEdge = f.mainWidth / 2;
    }
  }
  DrawMarkings();
  const CViewCamera* camera = CurrentViewCamera();
  const DWORD wallViews = CViewCamera::kLeftWall | CViewCamera::kRightWall;
  if (f.parapetWidth > 0 && f.parapetHeight > 0 && !(camera && (camera->m_viewType & wallViews) != 0))
    DrawParapet();
}

void CStraightRoadDrawer3D::DrawParapet()
{
  const StraightRoadFigures& f = m_figures;
  glEnable(GL_LIGHTING);
  m_palette->ApplyMaterial(kColorParapet, kMaterialParapet);
  glPushMatrix();
  glTranslated(0, 0, f.parapetHeight / 2 + 0.005);
  DrawBox(f.length, f.parapetWidth, f.parapetHeight - 0.01);
  glPopMatrix();
  glDisable(GL_LIGHTING);
}

void CStraightRoadDrawer3D::DrawMarkings()
{
  const StraightRoadFigures& f = m_figures;
  glLineWidth(2);
  m_palette->SetGLColor(kColorRoadMarking);
  glDisable(GL_DEPTH_TEST);
  glDepthFunc(GL_ALWAYS);
  const double x0 = -f.length / 2, x1 = f.length / 2;
  auto line = [&](double y) {
    glBegin(GL_LINES);
    glVertex3d(x0, y, 0);
    glVertex3d(x1, y, 0);
    glEnd();
  };
  if (!f.oneWay) {
    line(f.dividerWidth / 2);
    line(-f.dividerWidth / 2);
  }
  glLineStipple(1, 0x00FF);
  glEnable(GL_LINE_STIPPLE);
  for (double y : MainSeparatorsY())
    line(y);
  for (double y : OppositeSeparatorsY())
    line(y);
  glDisable(GL_LINE_STIPPLE);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
}

void CStraightRoadDrawer3D::DrawKerbs()
{
  const double height = m_figures.sidewalkHeight;
  bool marking = true;
  for (double x : KerbBlockStarts(m_figures.length)) {
    if (marking)
      m_palette->SetGLColor(kColorRoadMarking);
    else
      m_palette->SetGLColor(kColorBlack);
    DrawKerbFaces(x, m_rightEdge, -1, height);
    DrawKerbFaces(x, m_leftEdge, 1, height);
    marking = !marking;
  }
  m_rightEdge -= kKerbWidth;
  m_leftEdge += kKerbWidth;
}

void CStraightRoadDrawer3D::DrawPavements(IArea* area)
{
  const StraightRoadFigures& f = m_figures;
  ModelRef<IPavement> sidewalks(area, IID_IPavement);
  if (!sidewalks || (*sidewalks->GetFlags() & kSideAbsent) != 0)
    return;
  const bool selected = CSceneBuilder::IsSelected(sidewalks.get());
  const double z = f.sidewalkHeight;
  auto strip = [&](double& edge, double outward, double gap, double width, int state) {
    if (gap != 0) {
      m_palette->SetGLColor(kColorGap);
      DrawQuadXY(0, edge + outward * gap / 2, z, f.length, gap);
      edge += outward * gap;
    }
    m_palette->SetGLColor(selected ? kColorSelected : state ? kColorSidewalkActive : kColorSidewalkInactive);
    DrawQuadXY(0, edge + outward * width / 2, z, f.length, width);
    edge += outward * width;
  };
  if (ModelRef<IModelUnknown> right(sidewalks.get(), IID_RightPavement); right)
    strip(m_rightEdge, -1, f.rightGap, f.rightSidewalkWidth, f.rightSidewalkState);
  if (ModelRef<IModelUnknown> left(sidewalks.get(), IID_LeftPavement); left)
    strip(m_leftEdge, 1, f.leftGap, f.leftSidewalkWidth, f.leftSidewalkState);
}

void CStraightRoadDrawer3D::DrawRowMark3D()
{
  m_palette->ApplyMaterial(kColorRoadMarking, kMaterialDefault);
  m_palette->SetGLColor(kColorRoadMarking);
  DrawArrow3D(-m_figures.length / 2 - 1, ObserverLaneY(), 0, 2, 2);
}

void CStraightRoadDrawer3D::DrawLeftSidewalkMark()
{
  m_palette->ApplyMaterial(kColorRoadMarking, kMaterialDefault);
  m_palette->SetGLColor(kColorRoadMarking);
  DrawArrow3D(-m_figures.length / 2 - 1, LeftSidewalkMarkY(), 0, 2, 2);
}

void CStraightRoadDrawer3D::DrawRightSidewalkMark()
{
  m_palette->ApplyMaterial(kColorRoadMarking, kMaterialDefault);
  m_palette->SetGLColor(kColorRoadMarking);
  DrawArrow3D(-m_figures.length / 2 - 1, RightSidewalkMarkY(), 0, 2, 2);
}
