#include "graphics/drawers/road_drawers.h"

#include "graphics/drawers/straight_road_drawer.h"

CRoadDrawers::CRoadDrawers(CSceneBuilder* builder) : m_straight(new CStraightRoadDrawer3D(builder)) {}

CRoadDrawers::~CRoadDrawers() { delete m_straight; }
