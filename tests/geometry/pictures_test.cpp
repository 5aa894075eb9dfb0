// Pictures a person can look at: the sample straight road, calculated end to end through our engine, its
// luminance for the first observer drawn off-screen as the view would draw it; and an open site's node values
// over a made-up field, as the camera culls them.
#include "fixtures.h"
#include "plan_view.h"
#include "sample_road.h"

#include "geometry/calc_area_manager.h"
#include "geometry/colour_mapping.h"
#include "geometry/view_camera.h"
#include "platform/gdi/surface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

constexpr double kSiteLength = 35;

// A made-up luminance of a dry road under three luminaires 10 m high, staggered, seen along +x: brighter beyond
// each luminaire than before it.
float Luminance(double x, double y)
{
  struct Luminaire {
    double x, y;
  };
  const Luminaire luminaires[] = {{0, 4.5}, {kSiteLength, 4.5}, {kSiteLength / 2, -4.5}};
  constexpr double height = 10;
  double sum = 0.15;  // what the rest of the installation adds
  for (const Luminaire& l : luminaires) {
    const double d2 = (x - l.x) * (x - l.x) + (y - l.y) * (y - l.y);
    const double c = height / std::sqrt(height * height + d2);
    sum += 2.2 * c * c * c * c * (1 + 0.6 * std::tanh((x - l.x) / 5));
  }
  return static_cast<float>(sum);
}

// A metre of ground round the road.
PlanView ViewOf(const CRoadLayout& road)
{
  return PlanView(road.mainCarriageway.xFrom - 1, road.mainCarriageway.xTo + 1, road.mainCarriageway.yLower - 1,
                  (road.oppositeShown ? road.oppositeCarriageway : road.mainCarriageway).yUpper + 1);
}

// Pixels of a colour that stands out: its channel (16 red, 8 green, 0 blue) bright, the others dark.
int CountPixelsOf(const gdi::Surface& s, int channelShift)
{
  int count = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const std::uint32_t p = s.Pixel(x, y);
      bool match = true;
      for (int shift : {16, 8, 0}) {
        const int value = (p >> shift) & 0xFF;
        match = match && (shift == channelShift ? value > 200 : value < 60);
      }
      count += match ? 1 : 0;
    }
  }
  return count;
}

bool IsGrey(std::uint32_t pixel)
{
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r == g && g == b;
}

void Render(FakeHost& host, int displayMode, CCalcAreaManager& manager)
{
  host.options.SetResultDisplay(displayMode);
  manager.SetDisplayMode(displayMode);
  manager.Rebuild();
  manager.ApplyLabelHeights();
  manager.ApplyLabelColors();
  manager.Draw();
}

// The render core over the area's own results block.
class CalculatedHost : public FakeHost {
public:
  _CALC_RESULTS* GetActiveResults() override { return block; }
  _CALC_RESULTS* block = nullptr;
};

class SampleRoadPictures : public CalculatedSampleRoad {
protected:
  void SetUp() override
  {
    CalculatedSampleRoad::SetUp();
    host.straightRoad = TRUE;
    host.options.SetQuantity(0);
    host.layout = Layout();
    host.block = &Results();
  }

  // Sample points along the middle of each carriageway: how many are grey, and how many shades they show.
  struct Samples {
    int grey = 0;
    int total = 0;
    std::set<std::uint32_t> shades;
  };
  Samples SampleCarriageways(const PlanView& view) const
  {
    Samples s;
    for (const CRoadLayout::Rect* rect : {&host.layout.mainCarriageway, &host.layout.oppositeCarriageway}) {
      const double y = (rect->yUpper + rect->yLower) / 2;
      for (double x = rect->xFrom + 0.25; x < rect->xTo; x += 0.5) {
        const std::uint32_t pixel = view.At(x, y);
        s.grey += IsGrey(pixel) ? 1 : 0;
        s.shades.insert(pixel);
        ++s.total;
      }
    }
    return s;
  }

  CalculatedHost host;
};

TEST_F(SampleRoadPictures, GreyWithIsolines)
{
  // Every point of both carriageways is lit for the first observer.
  const _CALC_RESULTS& r = Results();
  ASSERT_GT(r.nX * r.nRoad, 0u);
  ASSERT_GT(r.nX * r.nOpp, 0u);
  for (std::uint32_t k = 0; k < r.nX * r.nRoad; ++k)
    EXPECT_TRUE(std::isfinite(r.lumObserver[k]) && r.lumObserver[k] > 0) << "main point " << k;
  for (std::uint32_t k = 0; k < r.nX * r.nOpp; ++k)
    EXPECT_TRUE(std::isfinite(r.lumObserverOpp[k]) && r.lumObserverOpp[k] > 0) << "opposite point " << k;

  PlanView view = ViewOf(host.layout);
  CCalcAreaManager manager(&host);
  Render(host, 0, manager);
  ASSERT_EQ(manager.GetAreas().size(), 2u);
  EXPECT_GT(manager.GetLevels().GetSize(), 2);
  for (const auto& area : manager.GetAreas()) EXPECT_FALSE(area->m_isolines.GetIsolines().empty());
  const gdi::Surface& picture = view.Save("result-grey-isolines.png");
  const Samples s = SampleCarriageways(view);
  EXPECT_GT(s.grey, s.total * 3 / 4) << "grey under the isolines";
  EXPECT_GT(s.shades.size(), 5u) << "the luminance varies along the road";
  EXPECT_GT(CountPixelsOf(picture, 8), 100) << "green isolines over the grey";
}

TEST_F(SampleRoadPictures, FalseColour)
{
  PlanView view = ViewOf(host.layout);
  CCalcAreaManager manager(&host);
  Render(host, 3, manager);
  view.Save("result-colour.png");
  const Samples s = SampleCarriageways(view);
  EXPECT_LT(s.grey, s.total / 10);
  EXPECT_GT(s.shades.size(), 5u);
}

TEST_F(SampleRoadPictures, NodeValues)
{
  PlanView view = ViewOf(host.layout);
  CCalcAreaManager manager(&host);
  Render(host, 2, manager);
  for (const auto& area : manager.GetAreas()) EXPECT_FALSE(area->m_nodeValues.GetLabels().empty());
  const gdi::Surface& picture = view.Save("result-nodes.png");
  EXPECT_GT(CountPixelsOf(picture, 0), 100) << "blue node values";
  EXPECT_GT(CountPixelsOf(picture, 16), 10) << "red node markers";
}

// An open site's node values are culled to the view and left out altogether in a steep view.
TEST(ResultPictures, OpenSiteNodeValuesFollowTheCamera)
{
  FakeHost host;  // not a straight road: one main area
  host.length = kSiteLength;
  host.width = 7;
  host.results.xs = Axis(36, 1, -kSiteLength / 2);  // an open site's points are centred on it
  host.results.yRoad = Axis(11, 0.7f, -3.5f);
  for (float x : host.results.xs)
    for (float y : host.results.yRoad) host.results.eRoad.push_back(Luminance(x + kSiteLength / 2, y) * 10);
  host.results.nodeState.assign(host.results.eRoad.size(), 0);
  host.results.Bind();
  host.options.SetResultDisplay(2);

  CViewCamera camera;
  CurrentViewCamera() = &camera;
  int bluePixels[2] = {0, 0};
  for (int steep = 0; steep < 2; ++steep) {
    PlanView view(-1, kSiteLength + 1, -4.5, 4.5);
    glTranslated(kSiteLength / 2, 0, 0);  // the view shows the site from 0; it is centred on its origin
    camera.m_tilt = steep != 0 ? 85 : 30;
    CCalcAreaManager manager(&host);
    manager.SetCamera(&camera);
    manager.SetDisplayMode(2);
    manager.Rebuild();
    manager.ApplyLabelHeights();
    manager.ApplyLabelColors();
    manager.DrawNodeValues();
    bluePixels[steep] = CountPixelsOf(view.Save(steep != 0 ? "result-nodes-steep.png" : "result-nodes-site.png"), 0);
  }
  CurrentViewCamera() = nullptr;
  EXPECT_GT(bluePixels[0], 100);
  EXPECT_EQ(bluePixels[1], 0);
}

}  // namespace
