// The straight road section drawn straight from the figures the scene builder derives from the active area:
// carriageway, dividing-strip parapet, markings, kerbs, sidewalks, gap strips and the walls beside the road.
// x runs along the road (the section spans -L/2 to L/2), positive y is the left (opposite-direction) side, z up.
#pragma once

#include "graphics/scene/buildings.h"

#include <vector>

class CSceneBuilder;
class CScenePalette;
struct IArea;
struct IQorRoadDoc;

// The buildings and the ground planes beside a straight road, placed from the builder's wall figures.
class CStraightRoadWalls3D {
public:
  explicit CStraightRoadWalls3D(CSceneBuilder* builder) : m_builder(builder) {}

  // Copies the wall figures, places and sizes both buildings and planes, and widens the builder's scene
  // extents to 5 m beyond the buildings' outer faces.
  void Refresh();
  void Draw();

  // Whole 6 m steps of what the road leaves beside one pole spacing, never under 12 m.
  static double BuildingLength(double roadLength, double spacing);

  // The view's display switches: a wall is drawn only while its switch is on (its own wall view turns the
  // other one off).
  void SetSwitches(bool left, bool right)
  {
    m_switch[kLeft] = left;
    m_switch[kRight] = right;
  }
  bool GetSwitch(int side) const { return m_switch[side]; }

  const CBuilding3D& GetBuilding(int side) const { return m_buildings[side]; }
  const CPlane3D& GetGround(int side) const { return m_grounds[side]; }

  enum Side { kLeft = 0, kRight = 1 };

private:
  CSceneBuilder* m_builder;
  double m_height[2] = {0, 0};
  double m_gap[2] = {0, 0};
  double m_line[2] = {0, 0};
  int m_state[2] = {0, 0};
  int m_shown[2] = {0, 0};
  int m_selected = 0;
  bool m_switch[2] = {true, true};
  CBuilding3D m_buildings[2];
  CPlane3D m_grounds[2];
};

// The figures both drawers read, copied from the builder by Refresh; Draw reads nothing else.
struct StraightRoadFigures {
  double oppositeLaneCount = 0;
  double mainLaneCount = 0;
  double oppositeLaneWidth = 0;
  double mainLaneWidth = 0;
  double dividerWidth = 0;
  double parapetWidth = 0;
  double parapetHeight = 0;
  int oneWay = 0;
  int roadState = 0;
  double mainWidth = 0;
  double oppositeWidth = 0;
  int mainOn = 0;
  int roadOn = 0;
  // View.
  int viewMode = 0;
  double length = 0;
  double areaWidth = 0;
  double spacing = 0;
  int observerLane = 0;
  int resultsValid = 0;
  // Sidewalks.
  double rightSidewalkWidth = 0;
  double leftSidewalkWidth = 0;
  double rightGap = 0;
  double leftGap = 0;
  double sidewalkHeight = 0;
  int leftSidewalkState = 0;
  int rightSidewalkState = 0;
  double field[8][4] = {};
  double sidewalkCalcHeight = 0;
  double carriagewayCalcHeight = 0;
};

class IStraightRoadDrawer {
public:
  explicit IStraightRoadDrawer(CSceneBuilder* builder);
  IStraightRoadDrawer(const IStraightRoadDrawer&) = delete;
  IStraightRoadDrawer& operator=(const IStraightRoadDrawer&) = delete;

  virtual void Draw() {}
  virtual void DrawRoad(IArea*) {}
  virtual void DrawParapet() {}
  virtual void DrawMarkings() {}
  virtual void DrawKerbs() {}
  virtual void DrawPavements(IArea*) {}
  virtual void DrawRowMark() {}

  void Refresh();

  const StraightRoadFigures& GetFigures() const { return m_figures; }
  CStraightRoadWalls3D* GetWalls() const { return m_walls; }
  double GetRightEdge() const { return m_rightEdge; }
  double GetLeftEdge() const { return m_leftEdge; }

  // y of the observer lane's centre, of the left and of the right sidewalk's observer mark.
  double ObserverLaneY() const;
  double LeftSidewalkMarkY() const;
  double RightSidewalkMarkY() const;
  // Where the separators between lanes of one direction lie across the road.
  std::vector<double> MainSeparatorsY() const;
  std::vector<double> OppositeSeparatorsY() const;

protected:
  // No virtual destructor: owners delete the concrete drawer, whose destructor deletes the walls.
  ~IStraightRoadDrawer();

  IQorRoadDoc* m_document;
  CScenePalette* m_palette;
  CStraightRoadWalls3D* m_walls;
  CSceneBuilder* m_builder;
  StraightRoadFigures m_figures;
  double m_rightEdge = 0;
  double m_leftEdge = 0;
};

class CStraightRoadDrawer3D final : public IStraightRoadDrawer {
public:
  explicit CStraightRoadDrawer3D(CSceneBuilder* builder) : IStraightRoadDrawer(builder), m_builder3D(builder) {}
  ~CStraightRoadDrawer3D() = default;

  void Draw() override;
  void DrawRoad(IArea* area) override;
  void DrawParapet() override;
  void DrawMarkings() override;
  void DrawKerbs() override;
  void DrawPavements(IArea* area) override;
  virtual void DrawRowMark3D();
  void DrawRightSidewalkMark();
  void DrawLeftSidewalkMark();

  // Starts of the 1 m kerb blocks along a road of this length: two per step while the step starts below L/2
  // truncated, so the last block may pass the road's end.
  static std::vector<double> KerbBlockStarts(double roadLength);

private:
  CSceneBuilder* m_builder3D;
};

// The document's active area as a counted reference, or null.
IArea* QueryActiveArea(IQorRoadDoc* document);

// Immediate-mode pieces the drawers build from.
void DrawQuadXY(double x, double y, double z, double dx, double dy);
void DrawBox(double sx, double sy, double sz);
void DrawArrow3D(double x, double y, double z, double length, double width);
