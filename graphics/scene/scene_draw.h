// Small drawing steps the scene objects share: the outline look, the palette's material, the marker size that
// follows the camera, and the arcs of the dimension lines.
#pragma once

#include "platform/base/wintypes.h"

struct GLUquadric;

namespace scene {

// Lighting off, both faces as lines, the colour id's colour; EndOutline restores fill and lighting.
void BeginOutline(int colourId);
void EndOutline();
// The palette's material n for the colour id.
void ApplyMaterial(int colourId, int materialId);
// The palette's red, green and blue of a colour id (black for an id it does not hold).
void GetPaletteColor(int colourId, float* red, float* green, float* blue);

// |0.0035 x the current camera's eye z|: plan markers keep their size on screen; 0 without a camera.
double MarkerSize();

// Ten GL_LINES segments of radius r around (cx, cy) at height z, from the smaller angle to the larger (degrees,
// measured from +y towards +x).
void DrawArc(double a0, double a1, double r, double z, double cx, double cy);

// A GLU quadric that is deleted with its holder.
class Quadric {
public:
  Quadric();
  ~Quadric();
  Quadric(const Quadric&) = delete;
  Quadric& operator=(const Quadric&) = delete;
  GLUquadric* get() const { return m_quadric; }

private:
  GLUquadric* m_quadric;
};

}  // namespace scene
