#include "graphics/core/scene_palette.h"

#include "geometry/gl_context.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"

#include <GL/gl.h>

namespace {

struct BuiltInColor {
  int id;
  COLORREF colour;
};

// As Windows colour values 0x00BBGGRR.
constexpr BuiltInColor kBuiltInColors[] = {
    {kColorGreen64, 0x00FF00},  {kColorRed74, 0x0000FF},   {kColorRed, 0x0000FF},
    {kColorGreen, 0x00FF00},    {kColorDarkGreen, 0x006400}, {kColorBlue, 0xFF0000},
    {kColorWhite, 0xFFFFFF},    {kColorBlack, 0x000000},   {kColorYellow, 0x00FFFF},
    {kColorGrey, 0x646464},     {kColorLightGreen, 0x1EFF1E},
};

}  // namespace

CScenePalette* CScenePalette::GetInstance()
{
  static CScenePalette palette;
  return &palette;
}

void CScenePalette::Reset()
{
  m_colors.clear();
  m_materials.clear();

  for (const BuiltInColor& c : kBuiltInColors)
    SetColorRef(c.id, c.colour);
  SetColor(kColorTranslucentWhite, 1.0f, 1.0f, 1.0f, 0.5f);

  IVisualOpt* options = nullptr;
  if (m_document &&
      SUCCEEDED(m_document->QueryInterface(IID_IVisualOpt, reinterpret_cast<void**>(&options))) && options) {
    const int printMode = m_pictureFlag;
    options->SetPrintMode(&printMode);
    for (int id = 0; id < kVisualOptionColorCount; ++id) {
      _PREF_OF_COLOR colour{};
      options->GetColour(id, &colour);
      SetColor(id, colour.r, colour.g, colour.b, 1.0f);
    }
    options->Release();
  }

  const Color diffuser = m_colors.count(kColorDiffuser) ? m_colors[kColorDiffuser] : Color{0, 0, 0, 1};
  const Color parapet = m_colors.count(kColorParapet) ? m_colors[kColorParapet] : Color{0, 0, 0, 1};
  m_materials[kMaterialDefault] = {{0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, {0.1f, 0.1f, 0.1f, 1.0f}, 50};
  m_materials[kMaterialTranslucent] = {{0, 0, 0, 0}, {0.5f, 0.5f, 0.5f, 0.2f}, {0, 0, 0, 0}, 0};
  m_materials[kMaterialMatt] = {{0.1f, 0.1f, 0.1f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, {0, 0, 0, 1.0f}, 50};
  m_materials[kMaterialGlowingDiffuser] = {
      {0.8f, 0.8f, 0.8f, 1.0f},
      {0.2f, 0.2f, 0.2f, 1.0f},
      {diffuser.red * 0.3f, diffuser.green * 0.3f, diffuser.blue * 0.3f, 1.0f},
      50};
  m_materials[kMaterialParapet] = {{0.8f, 0.8f, 0.8f, 1.0f},
                                   {0.4f, 0.4f, 0.4f, 1.0f},
                                   {parapet.red * 0.4f, parapet.green * 0.4f, parapet.blue * 0.4f, 1.0f},
                                   10};
}

void CScenePalette::SetColorRef(int id, COLORREF colour)
{
  SetColor(id, static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
           static_cast<float>((colour >> 16) & 0xFF) / 255.0f, 1.0f);
}

void CScenePalette::SetColor(int id, float red, float green, float blue, float alpha)
{
  m_colors[id] = {red, green, blue, alpha};
}

const CScenePalette::Color* CScenePalette::FindColor(int id) const
{
  const auto it = m_colors.find(id);
  return it == m_colors.end() ? nullptr : &it->second;
}

const CScenePalette::Material* CScenePalette::FindMaterial(int id) const
{
  const auto it = m_materials.find(id);
  return it == m_materials.end() ? nullptr : &it->second;
}

// An id the palette lacks is the caller's error; it reads as black rather than growing the map.
void CScenePalette::GetColor(int id, float* red, float* green, float* blue) const
{
  const Color* c = FindColor(id);
  *red = c ? c->red : 0.0f;
  *green = c ? c->green : 0.0f;
  *blue = c ? c->blue : 0.0f;
}

COLORREF CScenePalette::GetColorRef(int id) const
{
  float red, green, blue;
  GetColor(id, &red, &green, &blue);
  // Truncated, not rounded: the colour values of pictures and files depend on it.
  return RGB(static_cast<BYTE>(red * 255), static_cast<BYTE>(green * 255), static_cast<BYTE>(blue * 255));
}

void CScenePalette::SetGLColor(int id) const
{
  if (!HasCurrentGlContext())
    return;
  float red, green, blue;
  GetColor(id, &red, &green, &blue);
  glColor3f(red, green, blue);
}

void CScenePalette::ApplyMaterial(int colourId, int materialId) const
{
  if (!HasCurrentGlContext())
    return;
  const Material* material = FindMaterial(materialId);
  const Color* colour = FindColor(colourId);
  if (!material)
    return;
  const float ambient[4] = {colour ? colour->red : 0.0f, colour ? colour->green : 0.0f,
                            colour ? colour->blue : 0.0f, colour ? colour->alpha : 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material->specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material->diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, material->emission);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
}

void CScenePalette::ApplyMaterialColor(float red, float green, float blue, double alpha) const
{
  if (!HasCurrentGlContext())
    return;
  const Material* material = FindMaterial(kMaterialDefault);
  if (!material)
    return;
  const float ambient[4] = {red, green, blue, static_cast<float>(alpha)};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material->specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material->diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, material->emission);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material->shininess);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
}
