// The scene's colours and surface finishes by id. Scene objects, drawers and the legend keep ids, never RGB
// values, so a change of the user's colours or a switch to the report's picture colours is a Reset and a
// redraw. One palette per process, made on first use.
#pragma once

#include "platform/base/wintypes.h"

#include <map>

struct IQorRoadDoc;

// Ids 0 to 22 are the colour elements of the visual options, named as in the settings dialog.
enum SceneColor : int {
  kColorBackground = 0,
  kColorCarriagewayActive = 1,
  kColorCarriagewayInactive = 2,
  kColorRoadMarking = 3,
  kColorPoleGroupActive = 4,
  kColorPoleGroupInactive = 5,
  kColorLabels = 6,
  kColorIsolines = 7,
  kColorNodes = 8,
  kColorNodeValues = 9,
  kColorActiveGroupMarker = 10,
  kColorSidewalkActive = 11,
  kColorSidewalkInactive = 12,
  kColorParapet = 13,
  kColorGap = 14,
  kColorWallActive = 15,
  kColorWallInactive = 16,
  kColorRoof = 17,
  kColorShadingObject = 18,
  kColorDiffuser = 19,
  kColorSelected = 20,
  kColorGrid = 21,
  kColorPoleGroupPlanActive = 22,
  kVisualOptionColorCount = 23,
  // Built in.
  kColorGreen64 = 64,
  kColorRed74 = 74,
  kColorTranslucentWhite = 128,
  kColorRed = 1000,
  kColorGreen = 1100,
  kColorDarkGreen = 1101,
  kColorBlue = 1200,
  kColorWhite = 1300,
  kColorBlack = 1400,
  kColorYellow = 1500,
  kColorGrey = 2000,
  kColorLightGreen = 2001,
};

enum SceneMaterial : int {
  kMaterialDefault = 1,
  kMaterialTranslucent = 2,
  kMaterialMatt = 3,
  kMaterialGlowingDiffuser = 4,
  kMaterialParapet = 5,
};

class CScenePalette {
public:
  struct Color {
    float red = 0, green = 0, blue = 0, alpha = 1;
  };
  struct Material {
    float specular[4];
    float diffuse[4];
    float emission[4];
    float shininess;
  };

  static CScenePalette* GetInstance();

  // The document whose visual options Reset reads; not owned, not counted.
  void SetDocument(IQorRoadDoc* document) { m_document = document; }
  IQorRoadDoc* GetDocument() const { return m_document; }
  // 0 screen colours, 1 the report's picture colours; takes effect at the next Reset.
  int GetPictureFlag() const { return m_pictureFlag; }
  void SetPictureFlag(int flag) { m_pictureFlag = flag; }

  // Built-in colours, then ids 0 to 22 from the visual options in the mode of the picture flag, then the
  // materials (4 and 5 glow with colours 19 and 13 as just read). Without a document the visual options'
  // colours stay unset.
  void Reset();

  void SetColorRef(int id, COLORREF colour);
  void SetColor(int id, float red, float green, float blue, float alpha);
  void GetColor(int id, float* red, float* green, float* blue) const;
  // Each component x 255, truncated: 0.5 gives 0x7F.
  COLORREF GetColorRef(int id) const;
  // The whole record; null for an id the palette does not hold.
  const Color* FindColor(int id) const;
  const Material* FindMaterial(int id) const;

  // OpenGL state; nothing without a current context.
  void SetGLColor(int id) const;
  // Front and back: the material's specular, diffuse, emission and shininess, ambient from the colour id.
  void ApplyMaterial(int colourId, int materialId) const;
  // Material 1 with the given colour as ambient.
  void ApplyMaterialColor(float red, float green, float blue, double alpha) const;

private:
  CScenePalette() = default;

  std::map<int, Material> m_materials;
  std::map<int, Color> m_colors;
  int m_pictureFlag = 0;
  IQorRoadDoc* m_document = nullptr;
};
