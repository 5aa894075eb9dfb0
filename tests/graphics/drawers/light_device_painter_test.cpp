// The luminaires of the report pictures: plan symbols by their sizes and at the arms' ends, the straight sample's
// placement picture (side views over the cross-section, marks once per group) and the dimension marks drawn on a
// plain bitmap.
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/light_device_painter_2d.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"
#include "model/igroups.h"
#include "platform/mfc/gdiobj.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// A white 32-bit top-down bitmap selected into a memory DC.
class Canvas {
public:
  Canvas(int width, int height) : m_width(width), m_height(height)
  {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    m_dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    std::fill(m_bits, m_bits + width * height, kWhite);
    SetBkMode(m_dc, TRANSPARENT);
  }
  ~Canvas()
  {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  HDC Dc() const { return m_dc; }
  std::uint32_t At(int x, int y) const { return m_bits[y * m_width + x] & 0xFFFFFF; }
  // Width and height of what was painted.
  SIZE Painted() const
  {
    int left = m_width, right = -1, top = m_height, bottom = -1;
    for (int y = 0; y < m_height; ++y)
      for (int x = 0; x < m_width; ++x)
        if (At(x, y) != kWhite) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    return {right - left + 1, bottom - top + 1};
  }

private:
  int m_width, m_height;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  std::uint32_t* m_bits = nullptr;
};

TEST(LightDeviceSymbols, SizesAndTurnsOfTheRectangles)
{
  const struct {
    double length, width, angle;
    int across, down;
  } cases[] = {
      {14, 6, 0, 6, 14},    // a fixture: its long side along the pixel y axis
      {10, 10, 0, 10, 10},  // a projector
      {14, 6, 90, 14, 6},   // turned a quarter: the long side across
      {6, 14, 0, 14, 6},    // the side view's symbol
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " x " << c.width << " at " << c.angle);
    Canvas canvas(64, 64);
    DrawSymbolRect(canvas.Dc(), RGB(0, 0, 0), RGB(255, 0, 0), 32, 32, 0, c.length, c.width, c.angle);
    const SIZE painted = canvas.Painted();
    EXPECT_NEAR(painted.cx, c.across, 1);
    EXPECT_NEAR(painted.cy, c.down, 1);
    EXPECT_EQ(canvas.At(32, 32), 0xFF0000u) << "filled in the fill colour";
  }
}

class PlacementPicture : public CoreTest {
protected:
  void SetUp() override
  {
    CoreTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(800, 600);
    ASSERT_TRUE(document->OnOpenDocument(SampleCopy(kSamples[0]).c_str()));
    Core().Render(FALSE, TRUE);
    ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
    group = head.get();
    ASSERT_NE(group, nullptr);
  }
  HBITMAP Render(CRoadPictureRenderer& renderer, DWORD flags, IGroupOfDev* which)
  {
    EXPECT_TRUE(renderer.Render(flags, &bitmap, kWidth, kHeight, which));
    return static_cast<HBITMAP>(bitmap.GetSafeHandle());
  }
  std::uint32_t Pixel(HBITMAP picture, int x, int y)
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
  }
  // The street devices of the group's scene object, through their dimension decorators.
  std::vector<CStreetFixtureDevice*> Poles()
  {
    std::vector<CStreetFixtureDevice*> poles;
    CString name;
    name.Format("%d_%s", *group->GetNumber(), group->GetName()->GetString());
    for (CObject3D* object : Core().GetScene()->GetOwned()->GetObjects()) {
      auto* lights = dynamic_cast<CGroupLightDevice3D*>(object);
      if (!lights || lights->GetName() != name)
        continue;
      for (CObject3D* member : lights->GetObjects()) {
        if (auto* decorator = dynamic_cast<CLightStreetDeviceDecorator*>(member))
          poles.push_back(decorator->GetDevice());
        else if (auto* device = dynamic_cast<CStreetFixtureDevice*>(member))
          poles.push_back(device);
      }
    }
    return poles;
  }
  CStreetFixtureDevice* FirstPole()
  {
    const auto poles = Poles();
    return poles.empty() ? nullptr : poles.front();
  }

  static constexpr int kWidth = 600;
  static constexpr int kHeight = 700;
  IGroupOfDev* group = nullptr;
  CBitmap bitmap;
};

TEST_F(PlacementPicture, SideViewStandsOnTheCrossSection)
{
  CRoadPictureRenderer renderer(&Core());
  HBITMAP picture = Render(renderer, kPicturePlacement, group);
  ASSERT_NE(picture, nullptr);
  CLightDevicePainter2D& painter = *renderer.GetPainter();
  EXPECT_EQ(painter.m_dimensionsPending, 0) << "the group's marks were drawn";
  EXPECT_DOUBLE_EQ(painter.GroundRow(), kHeight - 4);

  // The profile and the side view share their centring: the carriageway's upper edge is the profile's left edge.
  const CSceneBuilder& b = *Core().GetSceneBuilder();
  const double scale = renderer.GetDrawer()->GetScale();
  if (!b.m_oneWay) {
    const double t = (b.m_mainWidth + b.m_oppositeWidth + b.m_dividerWidth) * scale / 2;
    EXPECT_NEAR(painter.SideViewX(b.m_dividerWidth / 2 + b.m_oppositeWidth), kWidth / 2.0 - t, 1e-9);
  }

  CStreetFixtureDevice* pole = FirstPole();
  ASSERT_NE(pole, nullptr);
  ASSERT_NE(pole->GetSupport(), nullptr);
  const int x = static_cast<int>(painter.SideViewX(pole->m_position[1]));
  const int ground = static_cast<int>(painter.GroundRow());
  const int top = static_cast<int>(ground - pole->GetSupport()->m_size[2] * scale);
  ASSERT_GT(ground - top, 20);
  // The support is a black column from the ground row to its height, and nothing stands above its bracket.
  for (const int y : {ground - 2, (ground + top) / 2, top + 2})
    EXPECT_EQ(Pixel(picture, x, y), 0u) << y;
  EXPECT_EQ(Pixel(picture, x, top - 60), kWhite);

  // The group's side views stop after its first pole on the right side (y below 0): a pole after it, on the
  // other side, stands in no column of the picture.
  bool stopped = false;
  int skipped = 0;
  for (CStreetFixtureDevice* p : Poles()) {
    if (!p->GetSupport())
      continue;
    const int column = static_cast<int>(painter.SideViewX(p->m_position[1]));
    const int middle = static_cast<int>(ground - p->GetSupport()->m_size[2] * scale / 2);
    if (!stopped) {
      EXPECT_EQ(Pixel(picture, column, middle), 0u) << "drawn at " << p->m_position[1];
    } else if (p->m_position[1] >= 0 && std::abs(column - x) > 20) {
      EXPECT_EQ(Pixel(picture, column, middle), kWhite) << "not drawn at " << p->m_position[1];
      ++skipped;
    }
    stopped = stopped || p->m_position[1] < 0;
  }
  EXPECT_GT(skipped, 0) << "the sample's group has poles on both sides";

  // Without a group nothing stands over the profile.
  HBITMAP empty = Render(renderer, kPicturePlacement, nullptr);
  EXPECT_EQ(Pixel(empty, x, (ground + top) / 2), kWhite);
  // A plan picture draws no side view and no marks.
  Render(renderer, kPictureMainIlluminance | kPictureLuminairePlan, group);
  EXPECT_EQ(renderer.GetPainter()->m_dimensionsPending, 1);
}

TEST_F(PlacementPicture, PlanSymbolsStandAtTheArmsEnds)
{
  CRoadPictureRenderer renderer(&Core());
  HBITMAP picture = Render(renderer, kPictureMainIlluminance | kPictureLuminairePlan, group);
  ASSERT_NE(picture, nullptr);
  const CLightDevicePainter2D& painter = *renderer.GetPainter();
  const RECT& frame = renderer.GetDrawer()->GetFrame();
  constexpr double kDegree = 3.14159265358979323846 / 180;
  int checked = 0;
  for (CStreetFixtureDevice* pole : Poles()) {
    if (!pole->GetBracket() || pole->GetBracket()->GetArms().empty())
      continue;
    const POINT support = painter.WorldToPixel(pole->m_position[0], pole->m_position[1]);
    if (support.x < frame.left || support.x > frame.right)
      continue;  // outside the spacing window
    const CBaseArm& arm = *pole->GetBracket()->GetArms().front();
    const double k = (180 - (arm.m_rotation[2] + pole->m_rotation[2])) * kDegree;
    const double reach = arm.m_size[2] * std::cos(arm.m_rotation[0] * kDegree);
    const POINT end = painter.WorldToPixel(pole->m_position[0] + std::sin(k) * reach,
                                           pole->m_position[1] + std::cos(k) * reach);
    EXPECT_GT(std::abs(end.x - support.x) + std::abs(end.y - support.y), 8) << "the arm reaches out of the symbol";
    const CObject3D* owner = pole->GetOwner() ? pole->GetOwner() : pole;
    const COLORREF c = CScenePalette::GetInstance()->GetColorRef(owner->GetColor());
    const std::uint32_t colour = static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    EXPECT_EQ(Pixel(picture, end.x, end.y), colour);
    EXPECT_EQ(Pixel(picture, support.x, support.y), colour);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST_F(PlacementPicture, DimensionMarksByDirectionTiltAndOutreach)
{
  CRoadPictureRenderer renderer(&Core());
  Render(renderer, kPicturePlacement, group);
  CLightDevicePainter2D& painter = *renderer.GetPainter();
  const double setback = Core().GetSceneBuilder()->GetRecord().setback;
  const POINT foot{100, 196};
  const double supportHeight = 120, scale = 10;
  const struct {
    const char* what;
    int direction;
    POINT luminaire;
    double armTilt, luminaireTilt;
    bool reference, outreach;
  } cases[] = {
      {"above the support, level", 1, {100, 50}, 0, 0, false, false},
      {"outreach, tilted arm, toward +x", 1, {150, 50}, 15, 0, true, true},
      {"outreach, tilted luminaire, toward -x", -1, {60, 50}, 0, 10, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Canvas canvas(300, 220);
    painter.DrawPlacementDimensions(c.direction, c.luminaire, c.armTilt, c.luminaireTilt, supportHeight, scale,
                                    foot, canvas.Dc());
    const POINT& l = c.luminaire;
    // h: the vertical line from below the ground row up to the luminaire.
    EXPECT_EQ(canvas.At(l.x, (l.y + foot.y) / 2), 0u);
    EXPECT_EQ(canvas.At(l.x, foot.y + 8), 0u);
    // The tilt's horizontal reference line runs 30 pixels toward the arm's direction, never back.
    EXPECT_EQ(canvas.At(l.x + c.direction * 20, l.y) == 0u, c.reference);
    EXPECT_EQ(canvas.At(l.x - c.direction * 20, l.y), kWhite);
    // a: at half the support height from the support to the luminaire.
    const int half = static_cast<int>(foot.y - supportHeight / 2);
    EXPECT_EQ(canvas.At(foot.x + c.direction * 25, half) == 0u, c.outreach);
    // b: the group's setback at a third of the support height, toward the arm's direction.
    const int third = static_cast<int>(foot.y - supportHeight / 3);
    const int reach = static_cast<int>(setback * scale);
    if (reach >= 2)
      EXPECT_EQ(canvas.At(foot.x + c.direction * reach / 2, third), 0u);
    else
      EXPECT_EQ(canvas.At(foot.x + c.direction * 2, third), kWhite);
  }
}

}  // namespace
