#include "geometry/mesh/mesh_labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kHeight = 1.0;

// A curve along the x axis (normal +z) through the given x positions; special segments by index.
struct Curve {
  CMeshIsoLevel level;
  CMeshIsoCurve curve;

  Curve(double value, const std::vector<double>& xs, const std::vector<int>& special = {}, double dir = 1)
  {
    level.value = value;
    curve.level = &level;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      CMeshIsoSegment s;
      s.a.x = dir * xs[i];
      s.b.x = dir * xs[i + 1];
      s.a.normal.z = s.b.normal.z = 1;
      s.index = static_cast<int>(i);
      s.length = std::fabs(xs[i + 1] - xs[i]);
      s.flags = MeshIso::kSegmentVisible;
      if (std::count(special.begin(), special.end(), static_cast<int>(i))) {
        s.flags |= MeshIso::kSegmentSpecial;
        s.a.normal.z = s.b.normal.z = 0;
      }
      curve.segments.push_back(s);
    }
  }
  std::vector<bool> Visible() const
  {
    std::vector<bool> v;
    for (const auto& s : curve.segments) v.push_back((s.flags & MeshIso::kSegmentVisible) != 0);
    return v;
  }
};

double TextWidth(double value)
{
  CVectorString3D text(LabelFormat(value), value);
  text.SetHeight(kHeight);
  return text.GetWidthOfText();
}

// The x extent of a label's strokes.
std::pair<double, double> InkX(const CVectorString3D& label)
{
  double lo = 1e300, hi = -1e300;
  for (const auto& glyph : label.GetGlyphs()) {
    for (const auto& contour : glyph->m_contours) {
      for (const _POINT3D& p : contour->m_points) {
        lo = std::min(lo, p.x);
        hi = std::max(hi, p.x);
      }
    }
  }
  return {lo, hi};
}

TEST(MeshLabels, TextOfTheLevelValue)
{
  const std::vector<std::pair<double, std::u16string>> cases = {
      {0.5, u"0.5"}, {1.0, u"1.0"}, {12.3, u"12"}, {0.04, u"0.0"}, {150.0, u"150"}};
  for (const auto& [value, text] : cases) {
    EXPECT_TRUE(CVectorString3D(LabelFormat(value), value).GetText() == text) << value;
  }
}

TEST(MeshLabels, RunsSkipSpecialSegmentsAndAWholeCurveIsClosed)
{
  CMeshLabelBuilder builder(kHeight, 0, 0, 0);
  Curve open(5, {0, 1, 2, 4, 5, 6, 7}, {0, 3, 4});
  builder.BuildRuns(open.curve);
  ASSERT_EQ(builder.Runs().size(), 2u);
  EXPECT_EQ(builder.Runs()[0].first, 1);
  EXPECT_EQ(builder.Runs()[0].last, 2);
  EXPECT_DOUBLE_EQ(builder.Runs()[0].length, 3.0);
  EXPECT_EQ(builder.Runs()[0].normal, &open.curve.segments[1].a.normal);
  EXPECT_EQ(builder.Runs()[1].first, 5);
  EXPECT_EQ(builder.Runs()[1].last, 5);
  EXPECT_EQ(builder.Runs()[1].closed, 0);

  Curve whole(5, {0, 1, 2, 3});
  builder.BuildRuns(whole.curve);
  ASSERT_EQ(builder.Runs().size(), 1u);
  EXPECT_EQ(builder.Runs()[0].closed, 1);

  Curve allSpecial(5, {0, 1, 2}, {0, 1});
  builder.BuildRuns(allSpecial.curve);
  EXPECT_TRUE(builder.Runs().empty());
}

TEST(MeshLabels, CountAndPlaceOfLabelsOnARun)
{
  const double w = TextWidth(12);
  ASSERT_GT(w, 0.3);
  CMeshLabelBuilder builder(kHeight, 0.2f, 0.4f, 0.6f);

  // No longer than one and a half text widths: no label. (Special ends keep the run open.)
  Curve shortRun(12, {-1, 0, 1.5 * w, 1.5 * w + 1}, {0, 2});
  builder.BuildRuns(shortRun.curve);
  builder.PlaceCurveLabels(shortRun.curve);
  EXPECT_TRUE(shortRun.curve.labels.empty());

  // Eleven segments of 1.2 w: count = trunc(13.2 w / (5 ln 13.2w + w)) is below 2, so one label at the middle
  // (6.6 w), on the run's sixth segment; a segment shorter than 2 w also hides its neighbours as far as the
  // text reaches, w beyond each end of the middle, i.e. 0.4 w into each neighbour.
  std::vector<double> xs = {-1};
  for (int i = 0; i <= 11; ++i) xs.push_back(1.2 * w * i);
  xs.push_back(13.2 * w + 1);
  Curve middle(12, xs, {0, 12});
  builder.BuildRuns(middle.curve);
  ASSERT_LT(13.2 * w / (5 * std::log(13.2 * w) + w), 2.0);
  builder.PlaceCurveLabels(middle.curve);
  ASSERT_EQ(middle.curve.labels.size(), 1u);
  std::vector<bool> expected(13, true);
  expected[5] = expected[6] = expected[7] = false;  // the run starts at segment 1
  EXPECT_EQ(middle.Visible(), expected);
  const CVectorString3D& label = *middle.curve.labels[0];
  EXPECT_EQ(label.m_r, 0.2f);
  EXPECT_EQ(label.m_b, 0.6f);
  // Centred on the middle of the hidden segments (4.8 w to 8.4 w).
  const auto [lo, hi] = InkX(label);
  EXPECT_NEAR((lo + hi) / 2, 6.6 * w, 0.15 * w);
  EXPECT_LE(hi - lo, w + 1e-9);

  // A long run gets count labels at even distances; a segment longer than twice the text hides only itself.
  Curve longRun(12, {-1, 0, 30 * w, 60 * w, 90 * w, 120 * w, 120 * w + 1}, {0, 5});
  builder.BuildRuns(longRun.curve);
  builder.PlaceCurveLabels(longRun.curve);
  const double L = 120 * w;
  const long count = static_cast<long>(L / (5 * std::log(L) + w));
  ASSERT_GE(count, 2);
  EXPECT_EQ(static_cast<long>(longRun.curve.labels.size()), count);
  // Each label sits in the middle of its own segment, which alone is hidden.
  std::vector<bool> carries(6, false);
  for (const auto& each : longRun.curve.labels) {
    const auto [from, to] = InkX(*each);
    const int segment = 1 + static_cast<int>((from + to) / 2 / (30 * w));
    ASSERT_TRUE(segment >= 1 && segment <= 4);
    EXPECT_NEAR((from + to) / 2, (segment - 0.5) * 30 * w, 0.15 * w);
    carries[static_cast<size_t>(segment)] = true;
  }
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(longRun.Visible()[i], !carries[i]) << i;
}

TEST(MeshLabels, ClosedLoopNeedsEightTextWidths)
{
  const double w = TextWidth(0.5);
  CMeshLabelBuilder builder(kHeight, 0, 0, 0);
  Curve small(0.5, {0, 2 * w, 4 * w, 6 * w, 7.9 * w});
  builder.BuildRuns(small.curve);
  ASSERT_EQ(builder.Runs()[0].closed, 1);
  builder.PlaceCurveLabels(small.curve);
  EXPECT_TRUE(small.curve.labels.empty());
}

TEST(MeshLabels, GapWrapsToTheOtherEndAndTextReadsLeftToRight)
{
  const double w = TextWidth(12);
  CMeshLabelBuilder builder(kHeight, 0, 0, 0);
  // Three segments of 0.6 w, drawn towards -x: one label on the middle one; its gap of 2 w needs 0.9 w beyond
  // each end of the middle segment, so it takes the last segment before (wrapping) and the first after.
  Curve reversed(12, {0, 0.6 * w, 1.2 * w, 1.8 * w}, {}, -1);
  reversed.curve.closed = 0;
  builder.BuildRuns(reversed.curve);
  ASSERT_EQ(builder.Runs().size(), 1u);
  const CMeshLabelRun run = builder.Runs()[0];
  builder.PlaceLabel(run, 1);
  EXPECT_EQ(reversed.Visible(), std::vector<bool>({false, false, false}));
  ASSERT_EQ(reversed.curve.labels.size(), 1u);
  // The first glyph lies left of the last although the line runs to -x.
  const auto& glyphs = reversed.curve.labels[0]->GetGlyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  double first = glyphs.front()->m_contours.front()->m_points.front().x;
  double last = glyphs.back()->m_contours.front()->m_points.front().x;
  EXPECT_LT(first, last);
}

}  // namespace
