// The palette, textures and bitmap fonts in a current OpenGL context: materials as set, the ten textures at
// their sizes with stable names, and fonts whose failed creation leaves nothing to draw with.
#include "graphics/core/font_cache.h"
#include "graphics/core/scene_palette.h"
#include "graphics/core/texture_registry.h"
#include "res/modules.h"
#include "tests/graphics/gl/palette_gl_surface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>

namespace {

TEST(PaletteGl, ApplyMaterialTakesItsAmbientFromTheColourAndTheRestFromTheMaterial)
{
  GlSurface surface(8, 8);
  CScenePalette* palette = CScenePalette::GetInstance();
  palette->SetDocument(nullptr);
  palette->Reset();
  palette->SetColor(42, 0.25f, 0.5f, 0.75f, 0.5f);
  palette->ApplyMaterial(42, kMaterialMatt);

  float ambient[4], specular[4], shininess = 0;
  glGetMaterialfv(GL_BACK, GL_AMBIENT, ambient);
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  EXPECT_FLOAT_EQ(ambient[0], 0.25f);
  EXPECT_FLOAT_EQ(ambient[2], 0.75f);
  EXPECT_FLOAT_EQ(ambient[3], 0.5f);
  EXPECT_FLOAT_EQ(specular[0], 0.1f);
  EXPECT_FLOAT_EQ(shininess, 50.0f);

  palette->ApplyMaterialColor(1.0f, 0.0f, 0.0f, 0.25);
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  EXPECT_FLOAT_EQ(ambient[0], 1.0f);
  EXPECT_FLOAT_EQ(ambient[3], 0.25f);
  EXPECT_FLOAT_EQ(specular[0], 0.5f);

  palette->SetGLColor(kColorYellow);
  float current[4];
  glGetFloatv(GL_CURRENT_COLOR, current);
  EXPECT_FLOAT_EQ(current[0], 1.0f);
  EXPECT_FLOAT_EQ(current[1], 1.0f);
  EXPECT_FLOAT_EQ(current[2], 0.0f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(PaletteGl, TheTenTexturesLoadAtTheirSizesAndKeepTheirNames)
{
  res::RegisterModules();
  CTextureRegistry* textures = CTextureRegistry::GetInstance();
  textures->Clear();

  // No context: nothing is made, and no GL call is attempted.
  textures->LoadAll();
  for (int id : kSceneTextureIds)
    EXPECT_EQ(textures->Get(id), 0u) << id;

  GlSurface surface(8, 8);
  textures->LoadAll();
  const struct {
    int id, width, height;
  } sizes[] = {{326, 341, 256}, {717, 680, 340}, {718, 512, 128}, {719, 256, 128}, {720, 680, 340},
               {721, 680, 340}, {722, 680, 340}, {723, 256, 128}, {724, 680, 340}, {725, 680, 170}};
  std::set<UINT> names;
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.id);
    const UINT name = textures->Get(s.id);
    ASSERT_NE(name, 0u);
    names.insert(name);
    EXPECT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, height = 0, minFilter = 0, level1 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    // Mipmaps are built at powers of two: at least the picture's detail, and a smaller level below it.
    EXPECT_GE(width * 2, s.width);
    EXPECT_GE(height * 2, s.height);
    EXPECT_GT(level1, 0);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
  }
  EXPECT_EQ(names.size(), 10u);
  EXPECT_EQ(textures->Get(0), 0u);

  // Loading again keeps every name.
  const UINT asphalt = textures->Get(kTextureAsphalt);
  textures->LoadAll();
  EXPECT_EQ(textures->Get(kTextureAsphalt), asphalt);

  // An id without a bitmap keeps an empty texture under its name.
  textures->Load(9999);
  ASSERT_NE(textures->Get(9999), 0u);
  glBindTexture(GL_TEXTURE_2D, textures->Get(9999));
  GLint width = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 0);

  textures->Clear();
  EXPECT_FALSE(glIsTexture(asphalt));
  EXPECT_EQ(textures->Get(kTextureAsphalt), 0u);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(PaletteGl, ANewContextGetsTexturesOfItsOwn)
{
  res::RegisterModules();
  CTextureRegistry* textures = CTextureRegistry::GetInstance();
  textures->Clear();
  {
    GlSurface first(8, 8);
    textures->LoadAll();
    ASSERT_NE(textures->Get(kTextureGrass), 0u);
  }
  // The first context is gone without a Clear, as when a view closes.
  GlSurface second(8, 8);
  textures->LoadAll();
  for (int id : kSceneTextureIds) {
    ASSERT_NE(textures->Get(id), 0u) << id;
    EXPECT_TRUE(glIsTexture(textures->Get(id))) << id;
    glBindTexture(GL_TEXTURE_2D, textures->Get(id));
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_GT(width, 0) << id;
  }
  textures->Clear();
}

// Answers failure a given number of times, then builds as the platform does.
int g_failuresLeft = 0;
int g_builds = 0;
BOOL FailingBuilder(HDC dc, DWORD first, DWORD count, DWORD listBase)
{
  ++g_builds;
  if (g_failuresLeft > 0) {
    --g_failuresLeft;
    return FALSE;
  }
  return wglUseFontBitmapsA(dc, first, count, listBase);
}

class BitmapFontGl : public ::testing::Test {
protected:
  void SetUp() override
  {
    SetFontBitmapBuilder(&FailingBuilder);
    g_builds = 0;
  }
  void TearDown() override
  {
    SetFontBitmapBuilder(nullptr);
    CFontCache::DestroyInstance();
  }
};

TEST_F(BitmapFontGl, OneFailedBuildIsRetriedOnFreshLists)
{
  GlSurface surface(8, 8);
  g_failuresLeft = 1;
  EXPECT_EQ(CreateLegendFont(), 1);
  EXPECT_EQ(g_builds, 2);
  const CBitmapFont* font = CFontCache::GetInstance()->Find(kLegendFontKey);
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->GetListBase(), 0);
  EXPECT_TRUE(glIsList(static_cast<GLuint>(font->GetListBase() + 'A')));
  EXPECT_EQ(font->GetKey(), kLegendFontKey);
  EXPECT_STREQ(font->GetLogFont().lfFaceName, "Tahoma");
  EXPECT_EQ(font->GetLogFont().lfCharSet, 204);
  EXPECT_EQ(CFontCache::GetInstance()->GetFlags() & kLegendFontBuilt, kLegendFontBuilt);

  SIZE size{};
  font->MeasureText("12.5", &size);
  EXPECT_GT(size.cx, 10);
  EXPECT_EQ(size.cy, 8);  // trunc(12 x 0.72)

  const GLuint base = static_cast<GLuint>(font->GetListBase());
  CFontCache::GetInstance()->Clear();
  EXPECT_FALSE(glIsList(base + 'A'));
  EXPECT_EQ(CFontCache::GetInstance()->GetFlags(), 0u);
  EXPECT_EQ(CFontCache::GetInstance()->Find(kLegendFontKey), nullptr);
}

TEST_F(BitmapFontGl, TwoFailedBuildsAnswerZeroAndLeaveNothingToDrawWith)
{
  GlSurface surface(64, 32);
  EXPECT_EQ(CreateLegendFont(), 1);
  const GLuint built = static_cast<GLuint>(CFontCache::GetInstance()->Find(kLegendFontKey)->GetListBase());

  g_failuresLeft = 2;
  EXPECT_EQ(CreateLegendFont(), 0);
  const CBitmapFont* font = CFontCache::GetInstance()->Find(kLegendFontKey);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->GetListBase(), -1);
  EXPECT_EQ(font->GetKey(), 0);
  EXPECT_EQ(CFontCache::GetInstance()->GetFlags() & kLegendFontBuilt, 0u);
  // Neither the earlier lists nor the failed attempts' are left behind.
  for (GLuint list = 1; list < built + 3 * 256; ++list)
    ASSERT_FALSE(glIsList(list)) << list;

  surface.Clear(0, 0, 0);
  glColor3f(1, 1, 1);
  font->DrawText(2, 10, "888");
  surface.Show();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(surface.ColourAt(x, y), 0u) << x << "," << y;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BitmapFontGl, WithoutAContextNoFontIsBuilt)
{
  EXPECT_EQ(CreateLegendFont(), 0);
  EXPECT_EQ(g_builds, 0);
  EXPECT_EQ(CFontCache::GetInstance()->Find(kLegendFontKey)->GetListBase(), -1);
}

}  // namespace
