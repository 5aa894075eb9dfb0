// The current view camera as the result display needs it: its view type, its record, its tilt, and a test
// whether a point lies inside its view frustum.
#pragma once

#include "platform/base/wintypes.h"

class CViewCamera {
public:
  static constexpr DWORD kNegateTilt = 0x1;

  // 1 when the point lies strictly inside all six planes of the frustum, else 0.
  static BOOL IsPointInFrustum(const CViewCamera* camera, double x, double y, double z);
  // Takes the frustum planes from the current projection and model-view matrices (model coordinates).
  void UpdateFrustumFromGl();
  // The tilt in degrees, negated when the flag says so.
  double GetTiltAngle() const { return (m_tiltFlags & kNegateTilt) != 0 ? -m_tilt : m_tilt; }

  DWORD m_viewType = 0;
  double m_record[6] = {0, 0, 0, 0, 0, 0};
  double m_tilt = 0;
  DWORD m_tiltFlags = 0;
  double m_planes[6][4] = {};
};

// The one process-wide current camera; null until the view makes one.
CViewCamera*& CurrentViewCamera();
