// The luminaires of the report pictures: in plan, for a straight road those of one group of poles and for a
// freely shaped area those of every group; in the placement picture, a straight road's group in side view over
// the road's cross-section with the dimension marks h, tilt, outreach a and setback b. Drawn from the scene's
// group objects with the picture drawer's layout.
#pragma once

#include "platform/gdi/wingdi.h"

class CGraphicCoreFull;
class CObject3D;
class CStreetFixtureDevice;
class IroadDrawer2D;
struct IGroupOfDev;

class CLightDevicePainter2D {
public:
  // The first x shift is the calculation field's start.
  explicit CLightDevicePainter2D(CGraphicCoreFull* core);

  void SetDrawer(IroadDrawer2D* drawer) { m_drawer = drawer; }
  // Plan symbols or side views of the groups the flag word asks for.
  void DrawGroups(HDC dc, IGroupOfDev* group, DWORD flags);
  void DrawStreetDevicePlan(HDC dc, CStreetFixtureDevice* device);
  void DrawLightDevicePlan(HDC dc, CObject3D* device);
  // The device across the road: world y runs right to left, centred on the carriageway's middle as the
  // cross-section is; heights rise from the ground row.
  void DrawDeviceSideView(HDC dc, CObject3D* device, IGroupOfDev* group);
  // direction: +1 when the arm points toward increasing pixel x, else -1.
  void DrawPlacementDimensions(int direction, POINT luminaire, double armTilt, double luminaireTilt,
                               double supportHeight, double scale, POINT supportFoot, HDC dc);
  POINT WorldToPixel(double x, double y) const;
  // Pixel column of a world y in the placement picture, and its ground row.
  double SideViewX(double y) const;
  double GroundRow() const;

  double m_shift;
  int m_dimensionsPending = 1;

private:
  CGraphicCoreFull* m_core;
  IroadDrawer2D* m_drawer = nullptr;
};

// A rectangle of length by width pixels centred on (x, y), its length turned `angle` degrees from the pixel y
// axis, filled and framed 1 by 1.
void DrawSymbolRect(HDC dc, COLORREF frame, COLORREF fill, int x, int y, int z, double length, double width,
                    double angle);
