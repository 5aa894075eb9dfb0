// The straight road section painted with GDI into a report picture: carriageway, parapet, gap strips and
// sidewalks as rectangles across the picture, the result layers over them, then markings, the observer arrow
// and the rulers; or the road's cross-section for the placement picture. No kerbs and no selection colours.
#pragma once

#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/straight_road_drawer.h"

class CStraightRoadDrawer2D : public IroadDrawer2D, public IStraightRoadDrawer {
public:
  // Lays the picture out and copies the builder's figures; the group may be null.
  CStraightRoadDrawer2D(IGroupOfDev* group, CSceneBuilder* builder, CRoadPictureRenderer* renderer);
  ~CStraightRoadDrawer2D() override = default;

  void Draw() override;
  void DrawRoad(IArea* area) override;
  void DrawParapet() override;
  void DrawMarkings() override;
  void DrawPavements(IArea* area) override;
  void DrawRowMark() override;
  void DrawCrossSectionProfile();

  // A rectangle dx by dy metres centred across the bitmap and on world y, its bottom edge one pixel lower.
  void FillWorldRect(double y, double dx, double dy, int colourId);
  // Pixel row of a world y.
  int PixelY(double y) const;

private:
  CRoadPictureRenderer* m_owner;
  CSceneBuilder* m_builder2D;
  HDC m_dc = nullptr;
};

// An arrow along +x of `length` by `width` pixels with its middle at `point`, filled and framed in the colour.
void DrawArrow2D(HDC dc, POINT point, int length, int width, COLORREF colour);
