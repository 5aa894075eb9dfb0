// The walls beside a straight road as simple building models: a plinth, facade blocks with recessed sections
// between them, balconies in the recesses, and a roof with parapets and roof structures. A building rebuilds all
// its parts whenever its size changes, so its owner only places and resizes it. Boxes are six textured planes.
#pragma once

#include "geometry/object3d.h"

#include <vector>

// A flat untextured rectangle at its position's height; its rotation is not applied.
class CPlane3D : public CObject3D {
public:
  void Draw() override;
};

class CTexturedPlane3D : public CObject3D {
public:
  // The corners of a plane of the new size, in the plane's own frame.
  void OnSizeChanged() override;
  // Textured faces show the texture unlit (replace mode); a face without a texture takes the current colour.
  void Draw() override;

  UINT m_texture = 0;
  int m_repeatU = 1;
  int m_repeatV = 1;
  double m_corners[4][2] = {};
};

class CTexturedBox3D : public CObject3D {
public:
  // Faces 0, 1 the ends (x = -/+ sx/2), 2, 3 the long sides (y = -/+ sy/2), 4 the top, 5 the bottom.
  CTexturedBox3D();
  void OnSizeChanged() override;
  void Draw() override;

  // Resource ids of faces 0, 1, 2, 3 and the bottom; the top is never textured; id 0 is no texture.
  void SetTextures(int a, int b, int c, int d, int e);
  CTexturedPlane3D& Face(int index) { return m_faces[index]; }
  const CTexturedPlane3D& Face(int index) const { return m_faces[index]; }

private:
  CTexturedPlane3D m_faces[6];
};

// An untextured box of extents (dx, dy, dz) centred on (x, y, z), six polygons without normals.
void DrawPlainBox(double x, double y, double z, double dx, double dy, double dz);

class CBuilding3D : public CObject3D {
public:
  ~CBuilding3D() override;
  // Rebuilds the parts; a building longer than one block is shortened to whole sections.
  void OnSizeChanged() override;
  // The plinth in the current colour and material, then every part; the building's rotation is never applied.
  void Draw() override;

  const std::vector<CObject3D*>& GetParts() const { return m_parts; }
  int GetFloors() const { return m_floors; }
  int GetSections() const { return m_sections; }
  double GetParapetHeight() const { return m_roof[2]; }

  double m_plinth[3] = {0, 0, 1.0};
  double m_roof[3] = {0, 0, 0};
  double m_blockWidth = 18.0;
  double m_sectionWidth = 12.0;
  double m_sectionPeriod = 30.0;
  int m_floors = 0;
  int m_longFaceRepeat = 3;
  int m_endFaceRepeat = 2;
  int m_sectionFaceRepeat = 2;
  int m_sections = 0;

private:
  void DeleteParts();
  void BuildRoof();
  void BuildBalconies();
  void DrawPlinth() const;

  std::vector<CObject3D*> m_parts;
};
