// The scene builder: the active area of the project becomes scene objects and the figures the road drawers read.
// A straight road gets one luminaire group per group of poles, its poles repeated along the road so the section
// reaches five light-centre heights before and twelve after the calculation field; every other area gets one
// group per group of poles with one street device per pole where the model places it.
#pragma once

#include "graphics/scene/street_devices.h"
#include "model/intensity_table.h"
#include "platform/mfc-core/mfcstring.h"

#include <vector>

class CObject3D;
class CGroupLightDevice3D;
class CSceneObjects;
struct IArea;
struct IModelUnknown;
struct IGroupOfDev;
struct IPole;
struct IQorRoadDoc;
struct IVisualOpt;
struct _CALC_RESULTS;

// One group of poles as the builder reads it, reused for each group.
struct CGroupBuildRecord {
  double setback = 0;
  double fiveSteps = 0;
  double step = 0;
  double lightCentreHeight = 0;
  int mountingKind = 0;  // 0 pole, 1 mast, 2 floor lamp
  int placementScheme = 0;
  int roadScheme = 0;  // 0 right, 1 left, 2 two-sided, 3 staggered, 4 central, 5 suspended
  int selected = 0;
  int on = 0;
  double bracketRotation = 0;  // psi
  double offset = 0;
  int state = 0;
  int mountBelow = 0;
  double basePoint[3] = {0, 0, 0};
  const _LINKED_TABLE* photometricTable = nullptr;  // null unless solids are shown
  int photometricKind = 0;
  int typical = 0;
  CString name;
  int number = 0;
  int subGroup = 0;
  std::vector<_ARM_PLACEMENT> arms;
};

// How many pole positions of a group fall before and after the field's first pole along a straight road.
struct PolePositions {
  int before = 0;
  int after = 0;
  int total = 1;
};

class CSceneBuilder {
public:
  static constexpr int kFirstPickId = 500;

  CSceneBuilder(IQorRoadDoc* document, CSceneObjects* scene) : m_document(document), m_scene(scene) {}

  // One rebuild pass: the scene's owning list must be empty. Options and results may be null.
  void Build(IArea* area, IVisualOpt* options, const _CALC_RESULTS* results);
  void BuildStraightRoad(IArea* area);
  void BuildFreeForm(IArea* area);

  // trunc((5h - o) / s) before, trunc((s + o + 12h) / s) after; the staggered row moves both by half a step.
  static PolePositions CountPositions(double step, double offset, double height, bool halfStep);

  // Set by the render core before each build.
  int m_straight = 0;

  // Road figures.
  double m_oppositeLaneCount = 0;
  double m_mainLaneCount = 0;
  double m_oppositeLaneWidth = 0;
  double m_mainLaneWidth = 0;
  double m_dividerWidth = 0;
  int m_roadFlag = 0;
  double m_parapetWidth = 0;
  double m_parapetHeight = 0;
  int m_oneWay = 1;
  int m_roadState = 0;
  double m_mainWidth = 0;
  double m_oppositeWidth = 0;
  int m_mainOn = 0;
  int m_roadOn = 0;
  // Sidewalk figures.
  double m_rightSidewalkWidth = 0;
  double m_leftSidewalkWidth = 0;
  double m_rightSidewalkGap = 0;
  double m_leftSidewalkGap = 0;
  double m_sidewalkHeight = 0.1;
  int m_leftSidewalkState = 0;
  int m_rightSidewalkState = 0;
  // View figures.
  int m_viewMode = 0;
  double m_extent[3] = {0, 0, 0};
  double m_firstStep = 0;
  int m_observerLane = 0;
  int m_resultsFlag = 0;
  // Wall figures.
  double m_leftWallHeight = 0;
  double m_rightWallHeight = 0;
  double m_leftWallGap = 0;
  double m_rightWallGap = 0;
  double m_leftWallLine = 0;
  double m_rightWallLine = 0;
  int m_leftWallState = 0;
  int m_rightWallState = 0;
  int m_leftWallShown = 0;
  int m_rightWallShown = 0;
  int m_wallsSelected = 0;
  // The calculation field: x0, x1, y1, y2 of the strips in this order.
  enum FieldStrip {
    kLeftWall,
    kLeftSidewalk,
    kLeftGap,
    kOppositeCarriageway,
    kMainCarriageway,
    kRightGap,
    kRightSidewalk,
    kRightWall,
    kFieldStripCount
  };
  double m_field[kFieldStripCount][4] = {};
  double m_sidewalkCalcHeight = 0.12;
  double m_carriagewayCalcHeight = 0.02;
  // Free-form rectangle: x min, x max, y max, y min.
  double m_freeForm[4] = {0, 0, 0, 0};
  double m_sectionOrigin[3] = {0, 0, 0};
  double m_sectionStart = 0;

  const CGroupBuildRecord& GetRecord() const { return m_record; }
  IQorRoadDoc* GetDocument() const { return m_document; }
  // Whether the model object's part that carries the selection says it is selected; false without that part.
  static bool IsSelected(IModelUnknown* object);

private:
  void ReadRoad(IArea* area);
  void ReadSidewalks(IArea* area);
  void ReadWalls(IArea* area);
  void ComputeSection(IArea* area);
  void ComputeFieldRects();
  void BuildStraightGroups(IArea* area);
  void BuildStraightGroup(int index);
  void BuildFreeFormGroups(IArea* area);
  void ReadGroup(IGroupOfDev* parent, IGroupOfDev* group, CGroupBuildRecord& record, bool subGroup);
  void ReadPole(IPole* pole, double position[3], double* rotation) const;
  void AddPoleDevices(IGroupOfDev* group, CGroupLightDevice3D* object);
  void ApplyGroupLook(CObject3D* group) const;
  CStreetFixtureDevice* MakeDevice() const;

  IQorRoadDoc* m_document;
  CSceneObjects* m_scene;
  IVisualOpt* m_options = nullptr;
  CGroupBuildRecord m_record;
};
