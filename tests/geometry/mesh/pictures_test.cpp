// A picture a person can look at: the refined mesh of an interchange deck coloured by the illuminance of two
// luminaires, with its isolines and their labels, drawn off-screen in plan as the 3D view draws the surface.
// The values are worked out here (the interchange engine does not run in this test).
#include "../fixtures.h"
#include "../plan_view.h"

#include "geometry/mesh/calc_surface.h"
#include "model/primitive.h"
#include "platform/gdi/surface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kLeft = -1, kRight = 23, kBottom = -1, kTop = 15;

// Illuminance of two luminaires 8 m high over the deck.
double Illuminance(double x, double y)
{
  const double luminaires[2][2] = {{5, 4}, {16, 10}};
  double sum = 0;
  for (const auto& l : luminaires) {
    const double h = 8;
    const double d2 = (x - l[0]) * (x - l[0]) + (y - l[1]) * (y - l[1]);
    sum += 2200 * h / std::pow(h * h + d2, 1.5);
  }
  return sum;
}

int Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

TEST(MeshPictures, RefinedDeckColouredWithIsolinesAndLabels)
{
  CGeometryPrimitiveServices services;
  ObjectModel::SetPrimitiveServices(&services);
  IPrimitive* deck = ObjectModel::CreatePrimitive(nullptr, nullptr, 1);
  ObjectModel::SetPrimitiveServices(nullptr);
  const int shape = ObjectModel::kShapePolygon;
  deck->SetShape(&shape);
  CArray<_CSPOINT3D>* outline = nullptr;
  deck->GetOutline(&outline);
  for (const auto& [x, y] : std::initializer_list<std::pair<double, double>>{
           {0, 0}, {12, 0}, {22, 6}, {22, 14}, {14, 14}, {9, 8}, {0, 8}}) {
    outline->Add(_CSPOINT3D{x, y, 0, 0, 0});
  }
  CPrimitiveCalcSurface& surface = *CalcSurfaceOf(deck);
  ASSERT_TRUE(surface.RebuildMesh());
  surface.RefineMesh(0.5);

  // What the result reader does: values, the mean, one scale for the area, isolines and colours.
  CQorTriPolygon& polygon = surface.GetPolygon();
  double lo = 1e300, hi = 0;
  for (size_t j = 0; j < polygon.points.size(); ++j) {
    CMeshPoint* p = polygon.Point(j);
    p->value = Illuminance(p->x, p->y);
    lo = std::min(lo, p->value);
    hi = std::max(hi, p->value);
  }
  surface.ComputeAverage();
  surface.SetValueRange(lo, hi);
  VisualOptions options;
  options.SetQuantity(1);
  options.SetAutoIsoLevels(0);
  options.SetIlluminanceLevels({20, 24, 28, 32, 36, 40});
  options.SetResultDisplay(0);
  const _PREF_OF_COLOR white{1, 1, 1};
  options->SetColour(7, &white);
  LOGFONTA font{};
  options->GetFont(1, &font);
  font.lfHeight = -45;
  options->SetFont(1, &font);
  surface.BuildIsolines(options.get());
  surface.ApplyVisualOptions(options.get(), 1);  // label height, isoline colour, isolines shown
  options.SetResultDisplay(3);
  surface.ApplyColorLevels(options.get());

  PlanView view(kLeft, kRight, kBottom, kTop);
  surface.Draw(true);
  const gdi::Surface& picture = view.Save("mesh-isolines.png");

  ASSERT_GE(surface.GetIsolines().levels.size(), 5u);
  size_t labels = 0;
  for (const auto& level : surface.GetIsolines().levels) {
    for (const auto& curve : level->curves) labels += curve->labels.size();
  }
  EXPECT_GT(labels, 4u);
  // Under a luminaire the palette's upper end (red), far from both its lower end (dark); outside the deck the
  // background.
  const std::uint32_t bright = view.At(5.3, 4.3);
  EXPECT_GT(Channel(bright, 16), 150);
  const std::uint32_t dark = view.At(21.5, 6.7);
  EXPECT_LT(Channel(dark, 16), 100);
  EXPECT_EQ(view.At(3, 12), view.At(-0.5, -0.5)) << "the notch of the outline stays empty";
  int white_pixels = 0;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const std::uint32_t p = picture.Pixel(x, y);
      white_pixels += Channel(p, 16) > 230 && Channel(p, 8) > 230 && Channel(p, 0) > 230 ? 1 : 0;
    }
  }
  EXPECT_GT(white_pixels, 500) << "isolines and labels in white";
  deck->Release();
}

}  // namespace
