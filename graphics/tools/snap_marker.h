// The one snap marker of the program: a yellow square with its diagonals at the point a snap found, drawn by
// every frame while shown. The tools move and show it; every tool's destructor hides it.
#pragma once

#include "platform/base/wintypes.h"

class CViewCamera;

class CSnapMarker {
public:
  // Made on first use and kept for the whole run.
  static CSnapMarker& Instance();

  // Nothing when hidden. The size follows the camera distance; with the lift flag the point is drawn in the
  // plane z = 0 lifted towards the eye, so the drawing under it cannot hide it.
  void Draw(const CViewCamera* camera);
  void Show(const double point[3], int lift);
  void Hide() { m_state = 0; }
  BOOL IsShown() const { return m_state != 0; }
  void SetColour(float r, float g, float b);

  double m_size = 0;
  int m_state = 0;
  int m_lift = 0;
  double m_point[3] = {0, 0, 0};
  float m_colour[3] = {1.0f, 1.0f, 0.0f};

private:
  CSnapMarker() = default;
};
