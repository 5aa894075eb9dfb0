// The render core's pair of road drawers: the straight road's, refreshed after each rebuild of a straight road
// and drawn every frame before the calculation areas, and the freely shaped areas' drawer, drawn every frame of
// an area that is not a straight road.
#pragma once

class CCustomizeRoadDrawer3D;
class CGraphicCoreFull;
class CSceneBuilder;
class CStraightRoadDrawer3D;

class CRoadDrawers {
public:
  // The freely shaped areas' drawer needs the core; without one (figures alone) only the straight drawer is made.
  CRoadDrawers(CGraphicCoreFull* core, CSceneBuilder* builder);
  ~CRoadDrawers();
  CRoadDrawers(const CRoadDrawers&) = delete;
  CRoadDrawers& operator=(const CRoadDrawers&) = delete;

  CStraightRoadDrawer3D* GetStraightDrawer() const { return m_straight; }
  CCustomizeRoadDrawer3D* GetCustomizeDrawer() const { return m_customize; }

private:
  CCustomizeRoadDrawer3D* m_customize;
  CStraightRoadDrawer3D* m_straight;
};
