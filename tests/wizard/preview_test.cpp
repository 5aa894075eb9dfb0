// The pages' pictures: the placing of a plan in its box, the ellipse and primitive passes on a surface of their
// own, and a picture of every page and typical form kept in build/artifacts for people to look at.
#include "graphics/core/model_ref.h"
#include "model/customize_road.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/form_pages.h"
#include "wizard/preview.h"
#include "wizard/road_pages.h"

namespace {

using Wizard::CDlgWizard;
using wizard_testing::WizardTest;

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// The smallest rectangle holding every pixel that is not white.
RECT PaintedExtent(const gdi::Surface& s)
{
  RECT r{s.Width(), s.Height(), -1, -1};
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if ((s.Pixel(x, y) & 0x00FFFFFF) != kWhite) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
    }
  }
  return r;
}

TEST(WizardPicture, TheLargerExtentFillsTheBoxInBothDirections)
{
  const Wizard::PictureBox box{100, 50, 400, 200};
  const struct {
    double x;
    double y;
    int width;
    int height;
  } cases[] = {
    {100, 100, 400, 200},  // a square fills the box both ways
    {2000, 50, 400, 4},    // a band as wide as the box and 50/2000 of its height
    {50, 2000, 10, 200},
  };
  for (const auto& c : cases) {
    const Wizard::PicturePlan p = Wizard::PlaceInBox(box, c.x, c.y);
    EXPECT_EQ(p.right - p.left, c.width) << c.x << " x " << c.y;
    EXPECT_EQ(p.bottom - p.top, c.height) << c.x << " x " << c.y;
    EXPECT_NEAR(p.top, box.y0, 1) << c.x << " x " << c.y;
  }
  EXPECT_EQ(Wizard::PlaceInBox(box, 0, 0).metresPerPixel, 0.0);
}

TEST(WizardPicture, TheCrossSectionCountsBothDirectionsTheDividerAndBothSidewalks)
{
  Wizard::RoadSpan oneWay;
  oneWay.lanes = 2;
  oneWay.laneWidth = 3.75;
  EXPECT_EQ(Wizard::DimensionLabel(Wizard::CrossSectionWidth(oneWay)), "7.5");
  Wizard::RoadSpan twoWay = oneWay;
  twoWay.twoWay = 1;
  twoWay.divider = 1;
  twoWay.dividerWidth = 2;
  twoWay.sidewalk = 1;
  twoWay.sidewalkWidth = 2.25;
  twoWay.gap = 0.5;
  EXPECT_EQ(Wizard::CarriagewayWidth(twoWay), 17.0);
  EXPECT_EQ(Wizard::DimensionLabel(Wizard::CrossSectionWidth(twoWay)), "22.5");
  twoWay.divider = 0;  // a width left behind by a strip that is off is not counted
  EXPECT_EQ(Wizard::CarriagewayWidth(twoWay), 15.0);
}

TEST(WizardPicture, AnEllipseTurnedByNinetyDegreesStandsUpright)
{
  gdi::Surface surface(200, 200);
  surface.Fill(kWhite);
  HDC hdc = gdi::CreateSurfaceDC(surface);
  CDC* dc = CDC::FromHandle(hdc);
  dc->SelectStockObject(DC_BRUSH);
  dc->SetDCBrushColor(RGB(0, 0, 0));
  Wizard::FillBezierEllipse({100, 100}, 40, 10, 90, dc);
  ::DeleteDC(hdc);
  const RECT r = PaintedExtent(surface);
  EXPECT_NEAR(r.bottom - r.top, 80, 2);
  EXPECT_NEAR(r.right - r.left, 20, 2);
}

// Draws the area's primitives into a 200-pixel square with the area's centre in the middle.
gdi::Surface DrawnPrimitives(IArea* area)
{
  gdi::Surface surface(200, 200);
  surface.Fill(kWhite);
  HDC hdc = gdi::CreateSurfaceDC(surface);
  CDC* dc = CDC::FromHandle(hdc);
  dc->SetMapMode(MM_ANISOTROPIC);
  dc->SetWindowExt(static_cast<int>(*area->GetLength() * 1000), static_cast<int>(*area->GetWidth() * 1000));
  dc->SetViewportExt(200, -200);
  dc->SetViewportOrg(100, 100);
  Wizard::DrawPrimitives(area, dc, RECT{0, 0, 200, 200});
  ::DeleteDC(hdc);
  return surface;
}

TEST(WizardPicture, OnlyTheFirstThreeMembershipsAreDrawn)
{
  auto* made = new ObjectModel::CCustomizeRoad(nullptr, nullptr, 1);
  ModelRef<IArea> area(static_cast<ICustomizeRoad*>(made), IID_IArea);
  const int roundabout = 7;
  area->SetTypicalForm(&roundabout);
  ASSERT_EQ(area->BuildTypicalForm(), 0);
  const RECT drawn = PaintedExtent(DrawnPrimitives(area.get()));
  EXPECT_GT(drawn.right - drawn.left, 100);

  ModelRef<IPrimitive> first(area.get(), IID_IPrimitive);
  const int hidden = 3;
  for (IPrimitive* p = first.get(); p; p = p->GetNext())
    p->SetMembership(&hidden);
  const RECT none = PaintedExtent(DrawnPrimitives(area.get()));
  EXPECT_LT(none.right, none.left);
}

TEST(WizardPicture, ATriangleRunsThroughItsTwoBaseCornersAndItsVertex)
{
  auto* made = new ObjectModel::CCustomizeRoad(nullptr, nullptr, 1);
  ModelRef<IArea> area(static_cast<ICustomizeRoad*>(made), IID_IArea);
  const int fork = 2;
  area->SetTypicalForm(&fork);
  ASSERT_EQ(area->BuildTypicalForm(), 0);
  // One triangle alone, its vertex moved over its right base corner: a right triangle.
  ModelRef<IPrimitive> first(area.get(), IID_IPrimitive);
  IPrimitive* triangle = nullptr;
  const int hidden = 3;
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if (!triangle && *p->GetShape() == 0)
      triangle = p;
    else
      p->SetMembership(&hidden);
  }
  ASSERT_NE(triangle, nullptr);
  const int shown = 0;
  triangle->SetMembership(&shown);
  const double overRightCorner = 1.0;
  triangle->SetVertexOffset(&overRightCorner);
  _PRIMITIVE_INFO_1 info{};
  triangle->GetCalcInfo(&info);

  // The triangle's box fills the middle of the surface.
  gdi::Surface drawn(200, 200);
  drawn.Fill(kWhite);
  const double span = std::max(*triangle->GetSize1(), *triangle->GetSize2()) * 1.5;
  HDC hdc = gdi::CreateSurfaceDC(drawn);
  CDC* dc = CDC::FromHandle(hdc);
  dc->SetMapMode(MM_ANISOTROPIC);
  dc->SetWindowExt(static_cast<int>(span * 1000), static_cast<int>(span * 1000));
  dc->SetWindowOrg(static_cast<int>(info.centre[0] * 1000), static_cast<int>(info.centre[1] * 1000));
  dc->SetViewportExt(200, -200);
  dc->SetViewportOrg(100, 100);
  Wizard::DrawPrimitives(area.get(), dc, RECT{0, 0, 200, 200});
  ::DeleteDC(hdc);
  auto pixelAt = [&](double u, double v) {
    // A point of the primitive's box: u across from its left base corner to its right, v up from base to top.
    const double x = info.points[0][0] + u * (info.points[1][0] - info.points[0][0]) +
                     v * (info.points[3][0] - info.points[0][0]);
    const double y = info.points[0][1] + u * (info.points[1][1] - info.points[0][1]) +
                     v * (info.points[3][1] - info.points[0][1]);
    const int px = static_cast<int>(100 + (x - info.centre[0]) * 200 / span);
    const int py = static_cast<int>(100 - (y - info.centre[1]) * 200 / span);
    EXPECT_TRUE(px >= 0 && px < 200 && py >= 0 && py < 200);
    return px >= 0 && px < 200 && py >= 0 && py < 200 ? drawn.Pixel(px, py) & 0xFFFFFF : kWhite;
  };
  EXPECT_NE(pixelAt(0.9, 0.75), kWhite);
  EXPECT_EQ(pixelAt(0.1, 0.75), kWhite);
}

class WizardPictures : public WizardTest {
protected:
  void Save(CDlgWizard& w, const std::string& name)
  {
    w.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    const gdi::Surface* pixels = user::WindowSurface(w.m_hWnd);
    ASSERT_NE(pixels, nullptr);
    EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/wizard-" + name + ".png"));
  }
  // The page's pixels of the wizard's surface at the page's client point.
  static std::uint32_t PixelOf(CDlgWizard& w, CWnd* page, POINT at)
  {
    page->ClientToScreen(&at);
    w.ScreenToClient(&at);
    const gdi::Surface* pixels = user::WindowSurface(w.m_hWnd);
    // The window's surface holds its frame: its client area starts where the client origin lies.
    POINT origin{0, 0};
    w.ClientToScreen(&origin);
    RECT window{};
    w.GetWindowRect(&window);
    return pixels->Pixel(at.x + origin.x - window.left, at.y + origin.y - window.top) & 0x00FFFFFF;
  }
};

TEST_F(WizardPictures, APictureOfEveryPageOfTheStraightRoad)
{
  Run([&](CDlgWizard& w) {
    Save(w, "welcome");
    Next(w);
    Type(w.m_current, 1036, "2");
    Save(w, "straight-road");
    // The header band is white and the carriageway grey beside the input group.
    auto& road = static_cast<Wizard::CPageOfPropOfStraightRoad&>(*w.m_current);
    EXPECT_EQ(PixelOf(w, &road, {road.m_pictureRect.right - 5, 2}), kWhite);
    Choose(w.m_current, 1034, 0);
    Toggle(w.m_current, 1020);
    Save(w, "straight-road-one-way");
    Next(w);
    for (int arrangement : {0, 2, 3, 4, 5}) {
      Choose(w.m_current, 1034, arrangement);
      Save(w, "scheme-" + std::to_string(arrangement));
    }
    Next(w);
    Save(w, "end-straight-road");
    return IDCANCEL;
  });
}

TEST_F(WizardPictures, APictureOfTheSectionPageAndOfEveryTypicalForm)
{
  const struct {
    int index;
    const char* name;
  } forms[] = {{1, "turn"},     {4, "fork"},     {2, "crossing"},
               {3, "junction"}, {5, "widening"}, {6, "roundabout"}};
  for (const auto& f : forms) {
    if (data_.area) {
      data_.area->Release();
      data_.area = nullptr;
    }
    data_.type = 0;
    Run([&](CDlgWizard& w) {
      ChooseKind(w, f.index);
      Next(w);
      if (f.index == 1) {
        Type(w.m_current, 1054, "120");
        Save(w, "section");
      }
      Next(w);
      if (f.index == 1)
        Toggle(w.m_current, 1068);
      auto& page = static_cast<Wizard::CFormPage&>(*w.m_current);
      EXPECT_TRUE(page.m_formBuilt) << f.name;
      Save(w, std::string("form-") + f.name);
      Next(w);
      if (f.index == 6)
        Save(w, "end-roundabout");
      return IDCANCEL;
    });
  }
}

}  // namespace
