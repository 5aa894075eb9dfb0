// The luminaires of the report pictures in plan: for a straight road those of one group of poles, for a freely
// shaped area those of every group, drawn from the scene's group objects with the picture drawer's layout.
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
  // Plan symbols of the groups the flag word asks for. Side views of the placement picture are not drawn.
  void DrawGroups(HDC dc, IGroupOfDev* group, DWORD flags);
  void DrawStreetDevicePlan(HDC dc, CStreetFixtureDevice* device);
  void DrawLightDevicePlan(HDC dc, CObject3D* device);
  POINT WorldToPixel(double x, double y) const;

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
