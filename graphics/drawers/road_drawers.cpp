#include "graphics/drawers/road_drawers.h"

#include "graphics/drawers/customize_road_drawer.h"
#include "graphics/drawers/straight_road_drawer.h"

CRoadDrawers::CRoadDrawers(CGraphicCoreFull* core, CSceneBuilder* builder)
    : m_customize(core ? new CCustomizeRoadDrawer3D(core) : nullptr), m_straight(new CStraightRoadDrawer3D(builder))
{
}

CRoadDrawers::~CRoadDrawers()
{
  delete m_straight;
  delete m_customize;
}
