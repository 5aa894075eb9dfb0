// The report's pictures of the straight sample painted by the picture renderer: the layout of a 600 x 700
// picture of one pole spacing, what each flag word puts in the picture, and the pictures left for a person.
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/light_device_painter_2d.h"
#include "graphics/drawers/result_layer_painter_2d.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/customize_road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "graphics/drawers/straight_road_drawer_2d.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/scene_builder.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "platform/gdi/png.h"
#include "platform/mfc/gdiobj.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 700;

// 0xRRGGBB of every pixel of a 24-bit picture, top row first.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap, int width, int height)
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS), height);
  DeleteDC(dc);
  for (auto& p : pixels)
    p &= 0xFFFFFF;
  return pixels;
}

bool Shows(std::uint32_t pixel, int id)
{
  const COLORREF c = CScenePalette::GetInstance()->GetColorRef(id);
  return pixel == ((static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c));
}

class RoadPictures : public CoreTest {
protected:
  void Open(const Sample& sample)
  {
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(800, 600);
    ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
    Core().Render(FALSE, TRUE);
    ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
    group = head.get();  // the project keeps it
  }
  std::vector<std::uint32_t> Picture(CRoadPictureRenderer& renderer, DWORD flags, const char* name)
  {
    CBitmap bitmap;
    EXPECT_TRUE(renderer.Render(flags, &bitmap, kWidth, kHeight, group));
    HBITMAP handle = static_cast<HBITMAP>(bitmap.GetSafeHandle());
    EXPECT_NE(handle, nullptr);
    if (!handle)
      return {};
    if (name) {
      EXPECT_TRUE(gdi::SavePng(handle, std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name));
    }
    return PixelsOf(handle, kWidth, kHeight);
  }

  IGroupOfDev* group = nullptr;
};

TEST_F(RoadPictures, StraightRoadLayoutOfOnePoleSpacing)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  ASSERT_NE(group, nullptr);
  CRoadPictureRenderer renderer(&Core());
  Picture(renderer, kPictureMainIlluminance | kPictureOppositeIlluminance, nullptr);
  auto* drawer = dynamic_cast<CStraightRoadDrawer2D*>(renderer.GetDrawer());
  ASSERT_NE(drawer, nullptr);

  const CSceneBuilder& b = *Core().GetSceneBuilder();
  const double spacing = *group->GetStep();
  const double top = b.m_field[CSceneBuilder::kLeftSidewalk][2];
  const double bottom = b.m_field[CSceneBuilder::kRightSidewalk][3];
  const double roadWidth = top - bottom;
  // Margins 60 and 50: the smaller of 540 and 650 over the longer of the window and the road's width.
  EXPECT_DOUBLE_EQ(drawer->GetScale(), std::min(540.0, 650.0) / std::max(spacing, roadWidth));
  EXPECT_EQ(drawer->GetTopMargin(), 50);
  EXPECT_EQ(drawer->GetRulerStepX(), std::max(spacing, roadWidth) <= 50 ? 2 : 4);
  EXPECT_DOUBLE_EQ(drawer->GetRulerStepY(), drawer->GetRulerStepX());
  EXPECT_DOUBLE_EQ(drawer->GetGroupOffset(), *group->GetOffset());
  // The frame holds one spacing, centred across the bitmap, and the extents centred vertically.
  const RECT& frame = drawer->GetFrame();
  EXPECT_NEAR(frame.right - frame.left, spacing * drawer->GetScale(), 1);
  EXPECT_NEAR((frame.left + frame.right) / 2.0, kWidth / 2.0, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2.0, kHeight / 2.0 - 25 - 1, 2);
  // The sidewalks' layers meet the gap strips over the kerb.
  const LayerRect* main = drawer->FindLayerRect(kPictureMainIlluminance);
  const LayerRect* luminance = drawer->FindLayerRect(kPictureMainLuminance);
  ASSERT_TRUE(main && luminance);
  EXPECT_DOUBLE_EQ(main->yTop, luminance->yTop);
  EXPECT_EQ(drawer->FindLayerRect(kPictureFreeForm), nullptr);
}

TEST_F(RoadPictures, FlagWordsChooseWhatThePictureHolds)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  CRoadPictureRenderer renderer(&Core());
  {
    SCOPED_TRACE("luminance: the observer arrow at column 10, the luminance areas only");
    const auto pixels = Picture(renderer, kPictureMainLuminance | kPictureOppositeLuminance | kPictureLegend,
                                "picture-road-straight-luminance.png");
    auto* drawer = dynamic_cast<CStraightRoadDrawer2D*>(renderer.GetDrawer());
    ASSERT_NE(drawer, nullptr);
    const int row = drawer->PixelY(drawer->ObserverLaneY());
    EXPECT_TRUE(Shows(pixels[static_cast<size_t>(row) * kWidth + 12], kColorRoadMarking));
    for (const auto& [kind, picture] : drawer->GetPainter()->GetPictures())
      EXPECT_NE(kind & (kPictureMainLuminance | kPictureOppositeLuminance), 0) << kind;
  }
  {
    SCOPED_TRACE("illuminance: no arrow");
    const auto pixels = Picture(renderer, kPictureMainIlluminance | kPictureOppositeIlluminance, nullptr);
    auto* drawer = dynamic_cast<CStraightRoadDrawer2D*>(renderer.GetDrawer());
    const int row = drawer->PixelY(drawer->ObserverLaneY());
    EXPECT_FALSE(Shows(pixels[static_cast<size_t>(row) * kWidth + 12], kColorRoadMarking));
  }
}

TEST_F(RoadPictures, LegendUnitFollowsThePicturesQuantity)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  CRoadPictureRenderer renderer(&Core());
  const DWORD luminance = kPictureMainLuminance | kPictureOppositeLuminance;
  const DWORD illuminance = kPictureMainIlluminance | kPictureOppositeIlluminance;
  const auto luminanceLegend = Picture(renderer, luminance | kPictureLegend, nullptr);
  const auto luminancePlain = Picture(renderer, luminance, nullptr);
  const auto illuminanceLegend = Picture(renderer, illuminance | kPictureLegend, nullptr);
  ASSERT_FALSE(luminanceLegend.empty() || luminancePlain.empty() || illuminanceLegend.empty());
  // The legend's rows are those the flag adds; there the two quantities differ only by their unit.
  int legendPixels = 0, unitPixels = 0;
  for (size_t i = 0; i < luminanceLegend.size(); ++i) {
    if (luminanceLegend[i] == luminancePlain[i])
      continue;
    ++legendPixels;
    unitPixels += luminanceLegend[i] != illuminanceLegend[i] ? 1 : 0;
  }
  EXPECT_GT(legendPixels, 100);
  EXPECT_GT(unitPixels, 0);
  EXPECT_LT(unitPixels, legendPixels / 4);
}

TEST_F(RoadPictures, StraightSamplePicturesWithAndWithoutLegend)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  CRoadPictureRenderer renderer(&Core());
  const DWORD road = kPictureMainIlluminance | kPictureOppositeIlluminance | kPictureLeftSidewalk |
                     kPictureRightSidewalk;
  const struct {
    DWORD flags;
    const char* name;
  } pictures[] = {
      {road, "picture-road-straight.png"},
      {road | kPictureLegend, "picture-road-straight-legend.png"},
      {road | kPictureLuminairePlan, "picture-luminaire-plan-straight.png"},
      {road | kPictureLuminairePlan | kPictureLegend, "picture-luminaire-plan-straight-legend.png"},
      {kPicturePlacement, "picture-placement-straight.png"},
      {kPicturePlacement | kPictureLegend, "picture-placement-straight-legend.png"},
  };
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.name);
    const auto pixels = Picture(renderer, p.flags, p.name);
    ASSERT_FALSE(pixels.empty());
    // Framed in black.
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[static_cast<size_t>(kHeight - 2) * kWidth + kWidth - 2], 0u);
  }
}

TEST_F(RoadPictures, LuminairePlansCentreTheGroupsSpacingWindow)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  ASSERT_NE(group, nullptr);
  CRoadPictureRenderer renderer(&Core());
  const double start = renderer.GetPainter()->m_shift;
  EXPECT_DOUBLE_EQ(start, Core().GetSceneBuilder()->m_field[CSceneBuilder::kMainCarriageway][0]);
  const double spacing = *group->GetStep();
  const auto pixels = Picture(renderer, kPictureMainIlluminance | kPictureLuminairePlan, nullptr);
  EXPECT_DOUBLE_EQ(renderer.GetPainter()->m_shift, start + spacing / 2);
  // A picture of no plan leaves the shift alone, and lacks the luminaire symbols.
  const auto road = Picture(renderer, kPictureMainIlluminance, nullptr);
  EXPECT_DOUBLE_EQ(renderer.GetPainter()->m_shift, start + spacing / 2);
  EXPECT_NE(pixels, road);

  // A further group of the build moves the window by the difference of its spacing from the main group's, so
  // the shift stands half its own spacing beyond the start.
  ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
  ASSERT_TRUE(groups);
  IGroupOfDev* further = groups->CreateGroup();
  ASSERT_NE(further, nullptr);
  const double wider = spacing + 7;
  further->SetStep(&wider);
  further->SetPrev(group);
  CBitmap bitmap;
  EXPECT_TRUE(renderer.Render(kPictureMainIlluminance | kPictureLuminairePlan, &bitmap, kWidth, kHeight, further));
  EXPECT_DOUBLE_EQ(renderer.GetPainter()->m_shift, start + wider / 2);
  further->SetPrev(nullptr);
  further->Release();
}

TEST_F(RoadPictures, FreelyShapedSamplesWithAndWithoutLegend)
{
  const struct {
    DWORD flags;
    const char* kind;
  } kinds[] = {
      {0, "road"},
      {kPictureLuminairePlan, "luminaire-plan"},
      {kPicturePlacement, "placement"},
  };
  for (const Sample& sample : {kSamples[1], kSamples[2]}) {
    SCOPED_TRACE(sample.name);
    ASSERT_NO_FATAL_FAILURE(Open(sample));
    ASSERT_NE(group, nullptr);
    CRoadPictureRenderer renderer(&Core());
    for (const auto& kind : kinds) {
      for (const bool legend : {false, true}) {
        const std::string name =
            std::string("picture-") + kind.kind + "-" + sample.name + (legend ? "-legend" : "") + ".png";
        SCOPED_TRACE(name);
        const DWORD flags = kPictureFreeForm | kPictureAllGroups | kind.flags | (legend ? kPictureLegend : 0u);
        const auto pixels = Picture(renderer, flags, name.c_str());
        ASSERT_FALSE(pixels.empty());
        auto* drawer = dynamic_cast<IroadDrawer2D*>(renderer.GetDrawer());
        ASSERT_NE(drawer, nullptr);
        EXPECT_EQ(drawer->GetHorizontalOrigin(), (kWidth - 60) / 2 + 30);
        // Something of the site is painted in the middle of the picture.
        EXPECT_NE(pixels[static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2], 0xFFFFFFu);
        if (kind.flags == kPicturePlacement) {
          // No cross-section to stand on: no side view and no dimension marks.
          EXPECT_EQ(renderer.GetPainter()->m_dimensionsPending, 1);
          continue;  // laid out at a larger scale, without layers
        }
        // The area's rectangle is the only layer, centred across the bitmap by the horizontal origin.
        const LayerRect* area = drawer->FindLayerRect(kPictureFreeForm);
        ASSERT_NE(area, nullptr);
        EXPECT_NEAR((area->x0 + area->x1) / 2, drawer->GetHorizontalOrigin(), 1);
        // Every group's poles stand where the drawer lays the site: the support's dot in its owner's colour.
        int poles = 0;
        for (CObject3D* object : Core().GetScene()->GetOwned()->GetObjects()) {
          auto* lights = dynamic_cast<CGroupLightDevice3D*>(object);
          for (CObject3D* member : lights ? lights->GetObjects() : std::vector<CObject3D*>{}) {
            const POINT p = renderer.GetPainter()->WorldToPixel(member->m_position[0], member->m_position[1]);
            ASSERT_TRUE(p.x > 0 && p.x < kWidth && p.y > 0 && p.y < kHeight) << p.x << ", " << p.y;
            const CObject3D* owner = member->GetOwner() ? member->GetOwner() : member;
            EXPECT_TRUE(Shows(pixels[static_cast<size_t>(p.y) * kWidth + p.x], owner->GetColor()));
            ++poles;
          }
        }
        EXPECT_GT(poles, 0);
      }
    }
    document.reset();  // as the fixture ends: the core first, while the view's window stands
    view.reset();
  }
}

TEST_F(RoadPictures, PrimitiveRegionsTurnAsInTheView)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[1]));
  CRoadPictureRenderer renderer(&Core());
  Picture(renderer, kPictureFreeForm, nullptr);
  auto* drawer = dynamic_cast<CCustomizeRoadDrawer2D*>(renderer.GetDrawer());
  ASSERT_NE(drawer, nullptr);
  IPrimitive* p = ObjectModel::CreatePrimitive(nullptr, document.get(), 1);
  ASSERT_NE(p, nullptr);
  const double centre[3] = {0, 0, 0};
  p->SetCentre(centre);
  const double scale = drawer->GetScale();
  const POINT middle = drawer->ToPixel(0, 0);
  // An ellipse 8 m along x and 4 m across, then turned a quarter: its box swaps its sides.
  const struct {
    double rotation;
    double across, down;
  } ellipses[] = {{0, 8, 4}, {90, 4, 8}};
  const int ellipse = ObjectModel::kShapeEllipse;
  p->SetShape(&ellipse);
  p->SetSize2(8);
  p->SetSize1(4);
  for (const auto& e : ellipses) {
    SCOPED_TRACE(e.rotation);
    p->SetRotation(e.rotation);
    HRGN region = drawer->CreatePrimitiveRegion(p);
    ASSERT_NE(region, nullptr);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_NEAR(box.right - box.left, e.across * scale, 2);
    EXPECT_NEAR(box.bottom - box.top, e.down * scale, 2);
    DeleteObject(region);
  }
  // A quarter ring sector starts on the primitive's y axis and turns counter-clockwise, as in the view: unturned
  // it covers the upper left quarter of the picture around its centre, turned a quarter the lower left.
  const int ring = ObjectModel::kShapeRingSector;
  p->SetShape(&ring);
  p->SetSize1(10);
  const double sector = 90, inner = 0;
  p->SetSectorAngle(&sector);
  p->SetInnerRadius(&inner);
  const int r = static_cast<int>(2.5 * scale);
  const struct {
    double rotation;
    POINT inside, outside;
  } sectors[] = {
      {0, {middle.x - r, middle.y - r}, {middle.x + r, middle.y - r}},
      {90, {middle.x - r, middle.y + r}, {middle.x - r, middle.y - r}},
  };
  for (const auto& c : sectors) {
    SCOPED_TRACE(c.rotation);
    p->SetRotation(c.rotation);
    HRGN region = drawer->CreatePrimitiveRegion(p);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, c.inside.x, c.inside.y));
    EXPECT_FALSE(PtInRegion(region, c.outside.x, c.outside.y));
    DeleteObject(region);
  }
  p->Release();
}

TEST_F(RoadPictures, OpenSiteOwnersSwitchedOffAndLibraryUnderlay)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[1]));
  CRoadPictureRenderer renderer(&Core());
  const DWORD flags = kPictureFreeForm | kPictureAllGroups;
  const COLORREF ruler = RGB(110, 110, 110);
  // Pixels in the ruler's grey left of the frame: the vertical ruler's ticks and labels.
  auto rulerPixels = [&](const std::vector<std::uint32_t>& pixels) {
    const RECT& frame = renderer.GetDrawer()->GetFrame();
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < frame.left - 1; ++x)
        n += pixels[static_cast<size_t>(y) * kWidth + x] ==
                     (static_cast<std::uint32_t>(GetRValue(ruler)) << 16 | GetGValue(ruler) << 8 | GetBValue(ruler))
                 ? 1
                 : 0;
    return n;
  };
  IPrimitive* carriageway = nullptr;
  ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p && !carriageway; p = p->GetNext())
    if (*p->GetMembership() == ObjectModel::kMemberCarriageway && !ObjectModel::IsPolygonShape(*p->GetShape()) &&
        (*p->GetState() & ObjectModel::kStateOn))
      carriageway = p;
  ASSERT_NE(carriageway, nullptr);
  double centre[3];
  carriageway->GetCentre(centre);
  auto centrePixel = [&](const std::vector<std::uint32_t>& pixels) {
    auto* drawer = dynamic_cast<CCustomizeRoadDrawer2D*>(renderer.GetDrawer());
    const POINT p = drawer->ToPixel(centre[0], centre[1]);
    return pixels[static_cast<size_t>(p.y) * kWidth + p.x];
  };

  const auto shown = Picture(renderer, flags, nullptr);
  EXPECT_GT(rulerPixels(shown), 50);
  EXPECT_FALSE(Shows(centrePixel(shown), kColorGap));

  // The site's carriageways switched off: their primitives are not filled, and no result shows over them.
  ModelRef<ICustomizeRoad> site(ActiveArea(), IID_ICustomizeRoad);
  ASSERT_TRUE(site);
  const int roadState = *site->GetRoadState();
  const int off = roadState & ~ObjectModel::kStateOn;
  site->SetRoadState(&off);
  EXPECT_TRUE(Shows(centrePixel(Picture(renderer, flags, nullptr)), kColorGap));
  site->SetRoadState(&roadState);

  // A drawing of the graphics library under the area: the picture has no rulers.
  const int underlay = *ActiveArea()->GetUnderlayId();
  const int library = 0x1001;
  ActiveArea()->SetUnderlayId(&library);
  const auto under = Picture(renderer, flags, nullptr);
  EXPECT_EQ(rulerPixels(under), 0);
  ActiveArea()->SetUnderlayId(&underlay);
}

}  // namespace
