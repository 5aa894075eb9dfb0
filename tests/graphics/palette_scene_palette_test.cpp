// The scene palette: the visual options' colours in screen or picture mode, the built-in colours, the
// materials that glow with colours just read, and the truncating conversion to colour values.
#include "graphics/core/scene_palette.h"
#include "model/identifiers.h"
#include "model/ivisualopt.h"
#include "tests/model/fake_document.h"

#include <gtest/gtest.h>

namespace {

// A document whose current state holds one set of visual options.
class OptionsDocument : public FakeDocument {
public:
  OptionsDocument() { CreateVisualOpt(&options); }
  ~OptionsDocument() { options->Release(); }
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == IID_IVisualOpt) {
      options->AddRef();
      *out = options;
      return S_OK;
    }
    return FakeDocument::QueryInterface(iid, out);
  }
  IVisualOpt* options = nullptr;
};

class ScenePalette : public ::testing::Test {
protected:
  void SetUp() override
  {
    palette->SetDocument(&document);
    palette->SetPictureFlag(0);
  }
  void TearDown() override
  {
    palette->SetPictureFlag(0);
    palette->SetDocument(nullptr);
    palette->Reset();
  }
  _PREF_OF_COLOR OptionColour(int element, int printMode)
  {
    document.options->SetPrintMode(&printMode);
    _PREF_OF_COLOR c{};
    document.options->GetColour(element, &c);
    return c;
  }
  static void ExpectColour(const CScenePalette::Color* actual, const _PREF_OF_COLOR& expected)
  {
    ASSERT_NE(actual, nullptr);
    EXPECT_FLOAT_EQ(actual->red, expected.r);
    EXPECT_FLOAT_EQ(actual->green, expected.g);
    EXPECT_FLOAT_EQ(actual->blue, expected.b);
    EXPECT_FLOAT_EQ(actual->alpha, 1.0f);
  }

  OptionsDocument document;
  CScenePalette* palette = CScenePalette::GetInstance();
};

TEST_F(ScenePalette, PictureFlagSwitchesTheOptionColoursAtTheNextReset)
{
  const _PREF_OF_COLOR screen = OptionColour(kColorBackground, 0);
  const _PREF_OF_COLOR picture = OptionColour(kColorBackground, 1);
  ASSERT_NE(screen.r + screen.g + screen.b, picture.r + picture.g + picture.b);

  palette->Reset();
  ExpectColour(palette->FindColor(kColorBackground), screen);
  for (int id = 0; id < kVisualOptionColorCount; ++id)
    EXPECT_NE(palette->FindColor(id), nullptr) << id;

  palette->SetPictureFlag(1);
  ExpectColour(palette->FindColor(kColorBackground), screen);
  palette->Reset();
  ExpectColour(palette->FindColor(kColorBackground), picture);
  EXPECT_EQ(*document.options->GetPrintMode(), 1);

  palette->SetPictureFlag(0);
  palette->Reset();
  ExpectColour(palette->FindColor(kColorBackground), screen);
  EXPECT_EQ(*document.options->GetPrintMode(), 0);
}

TEST_F(ScenePalette, ResetDropsColoursSetSinceAndRestoresTheBuiltInOnes)
{
  palette->Reset();
  palette->SetColorRef(kColorBlue, 0x123456);
  palette->SetColor(5555, 1, 1, 1, 1);
  palette->Reset();
  EXPECT_EQ(palette->FindColor(5555), nullptr);

  const struct {
    int id;
    COLORREF colour;
  } builtIn[] = {{64, 0x00FF00},   {74, 0x0000FF},   {1000, 0x0000FF}, {1100, 0x00FF00},
                 {1101, 0x006400}, {1200, 0xFF0000}, {1300, 0xFFFFFF}, {1400, 0x000000},
                 {1500, 0x00FFFF}, {2000, 0x646464}, {2001, 0x1EFF1E}, {128, 0xFFFFFF}};
  for (const auto& c : builtIn)
    EXPECT_EQ(palette->GetColorRef(c.id), c.colour) << c.id;
  // Blue is 0x00BBGGRR's high byte: the red component of 1200 is 0.
  const CScenePalette::Color* blue = palette->FindColor(kColorBlue);
  EXPECT_EQ(blue->red, 0.0f);
  EXPECT_EQ(blue->blue, 1.0f);
  EXPECT_EQ(palette->FindColor(kColorTranslucentWhite)->alpha, 0.5f);
  EXPECT_EQ(palette->FindColor(kColorGrey)->alpha, 1.0f);
}

TEST_F(ScenePalette, ColourValuesAreTruncatedNotRounded)
{
  const struct {
    float red, green, blue;
    COLORREF expected;
  } cases[] = {
      {0.5f, 0.5f, 0.5f, 0x7F7F7F},
      {1.0f, 0.0f, 0.0f, 0x0000FF},
      {0.999f, 0.0f, 0.0f, 0x0000FE},
      {0.0f, 0.0f, 0.2f, 0x330000},
      {0.0f, 0.01f, 0.0f, 0x000200},
  };
  for (const auto& c : cases) {
    palette->SetColor(42, c.red, c.green, c.blue, 0.3f);
    EXPECT_EQ(palette->GetColorRef(42), c.expected) << c.red << " " << c.green << " " << c.blue;
  }
  palette->SetColorRef(42, RGB(30, 255, 30));
  float r, g, b;
  palette->GetColor(42, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, 30 / 255.0f);
  EXPECT_FLOAT_EQ(g, 1.0f);
  EXPECT_EQ(palette->FindColor(42)->alpha, 1.0f);
}

TEST_F(ScenePalette, DiffuserAndParapetMaterialsGlowWithTheColoursOfTheirLastReset)
{
  const _PREF_OF_COLOR diffuser{1.0f, 0.5f, 0.0f};
  const _PREF_OF_COLOR parapet{0.5f, 1.0f, 0.25f};
  document.options->SetColour(kColorDiffuser, &diffuser);
  document.options->SetColour(kColorParapet, &parapet);
  palette->Reset();

  const CScenePalette::Material* glow = palette->FindMaterial(kMaterialGlowingDiffuser);
  ASSERT_NE(glow, nullptr);
  EXPECT_FLOAT_EQ(glow->emission[0], 0.3f);
  EXPECT_FLOAT_EQ(glow->emission[1], 0.15f);
  EXPECT_FLOAT_EQ(glow->emission[2], 0.0f);
  EXPECT_FLOAT_EQ(glow->emission[3], 1.0f);
  EXPECT_EQ(glow->shininess, 50.0f);
  const CScenePalette::Material* wall = palette->FindMaterial(kMaterialParapet);
  EXPECT_FLOAT_EQ(wall->emission[0], 0.2f);
  EXPECT_FLOAT_EQ(wall->emission[1], 0.4f);
  EXPECT_FLOAT_EQ(wall->emission[2], 0.1f);
  EXPECT_EQ(wall->shininess, 10.0f);

  // The settings change the diffuser; the glow follows only at the next reset.
  const _PREF_OF_COLOR blue{0, 0, 1};
  document.options->SetColour(kColorDiffuser, &blue);
  EXPECT_FLOAT_EQ(palette->FindMaterial(kMaterialGlowingDiffuser)->emission[0], 0.3f);
  palette->Reset();
  EXPECT_FLOAT_EQ(palette->FindMaterial(kMaterialGlowingDiffuser)->emission[0], 0.0f);
  EXPECT_FLOAT_EQ(palette->FindMaterial(kMaterialGlowingDiffuser)->emission[2], 0.3f);

  const CScenePalette::Material* translucent = palette->FindMaterial(kMaterialTranslucent);
  EXPECT_FLOAT_EQ(translucent->diffuse[3], 0.2f);
  EXPECT_EQ(translucent->specular[3], 0.0f);
  EXPECT_EQ(palette->FindMaterial(6), nullptr);
}

TEST_F(ScenePalette, WithoutADocumentOnlyTheBuiltInColoursAndMaterialsAreThere)
{
  palette->SetDocument(nullptr);
  palette->Reset();
  EXPECT_EQ(palette->FindColor(kColorBackground), nullptr);
  EXPECT_NE(palette->FindColor(kColorWhite), nullptr);
  EXPECT_NE(palette->FindMaterial(kMaterialGlowingDiffuser), nullptr);
  // No context: the GL forms do nothing rather than call into a missing context.
  palette->SetGLColor(kColorWhite);
  palette->ApplyMaterial(kColorWhite, kMaterialDefault);
  palette->ApplyMaterialColor(1, 0, 0, 0.5);
}

}  // namespace
