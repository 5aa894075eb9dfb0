// The photometric solid of a luminaire: a wire frame of its luminous intensity distribution, one line per C- or
// B-plane, each ray as long as its intensity against the table's largest (3 m for the largest), drawn at the light
// centre in the luminaire's own frame.
#pragma once

#include "geometry/object3d.h"

#include <vector>

struct _LINKED_TABLE;

struct _INTENSITY_PLANE_POINT {
  double x, y, z;
};

struct _INTENSITY_PLANE_CURVE {
  std::vector<_INTENSITY_PLANE_POINT*> points;
  float colour[3] = {1.0f, 0.905f, 0.094f};
  double axisLength = 5.0;
  double* vertices = nullptr;     // x, y, z per point once finalised
  unsigned int* indices = nullptr;
  int count = 0;
};

// The points go into the vertex and index arrays, so a frame draws the curve with one call; they stay listed.
void FinalizePlaneCurve(_INTENSITY_PLANE_CURVE* curve);
// The curve in its colour, then the 5 m optical axis in green.
void DrawPlaneCurve(const _INTENSITY_PLANE_CURVE* curve);
void ClearPlaneCurve(_INTENSITY_PLANE_CURVE* curve);

// The largest intensity of the table, never below 0; 0 for a table without intensities.
double GetMaxIntensity(const _LINKED_TABLE* table);

class CLuminousIntensityCurve : public CObject3D {
public:
  static constexpr double kDefaultScale = 3.0;

  ~CLuminousIntensityCurve() override;
  void Draw() override;
  void DrawMarkers() override {}

  // A table whose intensities are all 0 gives no planes: there is no length to scale the rays by.
  void BuildCGammaPlanes(const _LINKED_TABLE* table, int flags);
  void BuildBPlanes(const _LINKED_TABLE* table);
  void Clear();

  const std::vector<_INTENSITY_PLANE_CURVE*>& GetPlaneCurves() const { return m_curves; }

  double m_scale = kDefaultScale;
  int m_flags = 0;

private:
  std::vector<_INTENSITY_PLANE_CURVE*> m_curves;
};

// Plan markers of a selected group; the caller has set the colour and switched lighting off.
void DrawMarkerDisc(double x, double y, double z, double r);
void DrawDashedCircle(double x, double y, double z, double r);
