// A freely shaped area painted with GDI into a report picture: the area's background rectangle, its primitives
// as regions filled in the colours of their memberships, the result layers clipped to every carriageway and
// sidewalk primitive, and the rulers unless a graphics-library drawing lies under the area.
#pragma once

#include "graphics/drawers/customize_road_drawer.h"
#include "graphics/drawers/road_drawer_2d.h"

class CCustomizeRoadDrawer2D : public IroadDrawer2D, public ICustomizeRoadDrawer {
public:
  CCustomizeRoadDrawer2D(CGraphicCoreFull* core, CRoadPictureRenderer* renderer);

  void Draw() override;
  void DrawBackground(IArea* area) override;
  void DrawPrimitives2D(IArea* area);
  // The primitive's region in pixels (shapes 0 to 3); the caller deletes it. Null for other shapes.
  HRGN CreatePrimitiveRegion(IPrimitive* primitive);

  POINT ToPixel(double x, double y) const;

private:
  RECT AreaRect(IArea* area) const;
  void FillRegion(HRGN region, HRGN areaRegion, HBRUSH brush, bool results);

  CRoadPictureRenderer* m_owner;
  HDC m_dc = nullptr;
  int m_libraryUnderlay = 0;
};
