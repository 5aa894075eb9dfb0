// The render core's pair of road drawers: the straight road's, refreshed after each rebuild of a straight road
// and drawn every frame before the calculation areas; the freely shaped areas' joins it here.
#pragma once

class CSceneBuilder;
class CStraightRoadDrawer3D;

class CRoadDrawers {
public:
  explicit CRoadDrawers(CSceneBuilder* builder);
  ~CRoadDrawers();
  CRoadDrawers(const CRoadDrawers&) = delete;
  CRoadDrawers& operator=(const CRoadDrawers&) = delete;

  CStraightRoadDrawer3D* GetStraightDrawer() const { return m_straight; }

private:
  CStraightRoadDrawer3D* m_straight;
};
