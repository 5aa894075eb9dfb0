#include "fixtures.h"

#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "geometry/colour_mapping.h"
#include "geometry/isolines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A grid of rows x columns nodes one metre apart with the value f(i, j).
ResultsFixture Field(int rows, int columns, const std::function<float(int, int)>& f, float step = 1)
{
  ResultsFixture r;
  r.xs = Axis(rows, step);
  r.yRoad = Axis(columns, step);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) r.eRoad.push_back(f(i, j));
  r.nodeState.assign(r.eRoad.size(), 0);
  r.Bind();
  return r;
}

void FillArea(CCalcArea& area, ResultsFixture& r, DWORD kind)
{
  area.m_kind = kind;
  const double sx = (r.xs.back() - r.xs.front());
  const double sy = (r.yRoad.back() - r.yRoad.front());
  area.ResizeTo(sx, sy, 0);
  const double position[3] = {0, 0, 0};
  area.m_grid.Fill(area.m_size, r.block, kind, position);
}

// The levels live as long as the test: the areas read them while tracing.
const CLevelArray& Levels(std::initializer_list<float> values)
{
  static CLevelArray levels;
  levels.RemoveAll();
  for (float v : values) levels.Add(v);
  return levels;
}

TEST(Isolines, PlanarFieldGivesStraightLinesAtTheirOffsets)
{
  ResultsFixture r = Field(5, 4, [](int i, int) { return 10.0f * i; });
  CCalcArea area(nullptr, 0);
  FillArea(area, r, AreaKind::kMainIlluminance);  // size 4 x 3: offsets 2 and 1.5
  area.BuildIsolines(Levels({0, 5, 15, 25}));
  const auto& isolines = area.m_isolines.GetIsolines();
  ASSERT_EQ(isolines.size(), 3u);
  const double expectedX[3] = {-1.5, -0.5, 0.5};
  for (std::size_t k = 0; k < 3; ++k) {
    double minY = 1e9, maxY = -1e9;
    for (const _ISO_SEGMENT& s : isolines[k]->m_segments) {
      EXPECT_NEAR(s.first[0], expectedX[k], 1e-12);
      EXPECT_NEAR(s.second[0], expectedX[k], 1e-12);
      EXPECT_EQ(s.first[2], 0.005);
      minY = std::min({minY, s.first[1], s.second[1]});
      maxY = std::max({maxY, s.first[1], s.second[1]});
    }
    EXPECT_NEAR(minY, -1.5, 1e-12) << "the line crosses the whole area";
    EXPECT_NEAR(maxY, 1.5, 1e-12);
  }
  EXPECT_EQ(isolines[0]->m_level, 5);
  EXPECT_EQ(area.m_isolinesDone, 1);
}

TEST(Isolines, SaddleMeetsAtTheCellCentre)
{
  // Diagonal corners high and low: the centre's mean equals the level, so all four crossings join there.
  ResultsFixture r = Field(2, 2, [](int i, int j) { return (i + j) % 2 == 0 ? 1.0f : 0.0f; });
  CCalcArea area(nullptr, 0);
  FillArea(area, r, AreaKind::kMainIlluminance);  // offsets 0.5
  area.BuildIsolines(Levels({0, 0.5f, 1}));
  const auto& isolines = area.m_isolines.GetIsolines();
  ASSERT_EQ(isolines.size(), 1u) << "level 1 only touches the high corners: no segment";
  const auto& segments = isolines[0]->m_segments;
  ASSERT_EQ(segments.size(), 4u);
  // Label placement may turn a segment round; one end is the centre (0.5, 0.5) less the offsets, the other
  // an edge's midpoint.
  for (const _ISO_SEGMENT& s : segments) {
    const double first = std::hypot(s.first[0], s.first[1]);
    const double second = std::hypot(s.second[0], s.second[1]);
    EXPECT_NEAR(std::min(first, second), 0, 1e-12);
    EXPECT_NEAR(std::max(first, second), 0.5, 1e-12);
  }
}

TEST(Isolines, CellsWithoutValuesAndFieldsBelowTheLevels)
{
  ResultsFixture r = Field(3, 3, [](int i, int) { return 10.0f * i; });
  r.nodeState.assign(9, -1);
  r.Bind();
  FakeHost host;
  CCalcAreaManager manager(&host);
  CCalcArea area(&manager, 0);
  FillArea(area, r, AreaKind::kMain);
  area.BuildIsolines(Levels({0, 5}));
  EXPECT_TRUE(area.m_isolines.GetIsolines().empty()) << "no corner has a value";

  r.nodeState.assign(9, 0);
  r.Bind();
  FillArea(area, r, AreaKind::kMain);
  host.acceptAllSegments = false;  // every primitive switched off
  area.BuildIsolines(Levels({0, 5}));
  EXPECT_TRUE(area.m_isolines.GetIsolines().empty());
  host.acceptAllSegments = true;
  area.BuildIsolines(Levels({0, 5}));
  EXPECT_EQ(area.m_isolines.GetIsolines().size(), 1u);

  area.BuildIsolines(Levels({0, 25, 30}));
  EXPECT_TRUE(area.m_isolines.GetIsolines().empty()) << "every value below the first level above 0";
}

TEST(Isolines, LevelThroughANodeCrossesAtTheNode)
{
  ResultsFixture r = Field(3, 2, [](int i, int) { return 5.0f * i; });
  CCalcArea area(nullptr, 0);
  FillArea(area, r, AreaKind::kMainIlluminance);  // size 2 x 1
  area.BuildIsolines(Levels({0, 5}));
  ASSERT_EQ(area.m_isolines.GetIsolines().size(), 1u);
  for (const _ISO_SEGMENT& s : area.m_isolines.GetIsolines()[0]->m_segments) {
    EXPECT_NEAR(s.first[0], 0, 1e-12) << "row 1 sits at x 0";
    EXPECT_NEAR(s.second[0], 0, 1e-12);
  }
}

TEST(Isolines, JoinedSegmentsCarryOneLabelAlongTheChord)
{
  // A level along the rows: every cell gives two half-cell segments from its centre.
  ResultsFixture r = Field(21, 3, [](int, int j) { return 10.0f * j; });
  CCalcArea area(nullptr, 0);
  FillArea(area, r, AreaKind::kMainIlluminance);  // size 20 x 2: offsets 10 and 1
  IsolineLabelHeight() = 0.3;
  area.BuildIsolines(Levels({0, 5}));
  ASSERT_EQ(area.m_isolines.GetIsolines().size(), 1u);
  const CIsoLine& line = *area.m_isolines.GetIsolines()[0];
  ASSERT_EQ(line.m_labels.size(), 1u);
  const CVectorString3D& label = *line.m_labels[0];
  EXPECT_EQ(label.GetText(), u"5.0");
  EXPECT_NEAR(label.GetWidthOfText(), 0.5, 1e-12);
  // The first segment (0.5 long) is too short for 1.1 x 0.5; the next one joins it to a chord from x -9.5.
  int hidden = 0;
  for (const _ISO_SEGMENT& s : line.m_segments) hidden += s.shown == 0 ? 1 : 0;
  EXPECT_EQ(hidden, 2);
  EXPECT_NEAR(label.m_position[0], -9.5 + 0.5 - 0.25, 1e-12);
  EXPECT_NEAR(label.m_position[1], -0.5 - 0.15, 1e-12);
  EXPECT_EQ(label.m_position[2], 0.01);
  EXPECT_NEAR(label.m_rotation[2], 0, 1e-12);

  ResultsFixture tiny = Field(2, 2, [](int, int j) { return 10.0f * j; }, 0.1f);
  FillArea(area, tiny, AreaKind::kMainIlluminance);
  area.BuildIsolines(Levels({0, 5}));
  ASSERT_EQ(area.m_isolines.GetIsolines().size(), 1u);
  const CIsoLine& shortLine = *area.m_isolines.GetIsolines()[0];
  EXPECT_TRUE(shortLine.m_labels.empty()) << "too short for its label";
  for (const _ISO_SEGMENT& s : shortLine.m_segments) EXPECT_EQ(s.shown, 1);
}

TEST(Isolines, DiagonalLabelReadsLeftToRight)
{
  CIsoLine line;
  line.m_level = 12.34;
  _ISO_SEGMENT s;
  s.first[0] = 3, s.first[1] = 3, s.first[2] = 0;  // drawn right to left
  s.second[0] = 0, s.second[1] = 0, s.second[2] = 0;
  line.m_segments.push_back(s);
  IsolineLabelHeight() = 0.3;
  line.PlaceLabel();
  ASSERT_EQ(line.m_labels.size(), 1u);
  EXPECT_EQ(line.m_labels[0]->GetText(), u"12");
  EXPECT_NEAR(line.m_labels[0]->m_rotation[2], 45, 1e-9);

  CIsoLine lower;
  lower.m_level = 9.87;
  lower.m_segments.push_back(s);
  lower.PlaceLabel();
  ASSERT_EQ(lower.m_labels.size(), 1u);
  EXPECT_EQ(lower.m_labels[0]->GetText(), u"9.9");
}

// A container with one isoline of one segment and no label, as its bytes stand.
Bytes OneSegmentContainer()
{
  Bytes b;
  b.object3d().i32(1).i32(4);
  b.i32(4).f64(5).f64(0.3).f64(0).i32(1).i32(0);
  b.f64s({-1, 0, 0.005, 1, 0, 0.005}).i32(0).i32(1).i32(1);
  return b;
}

TEST(Isolines, SavedForm)
{
  LoadingArchive load(OneSegmentContainer().data());
  CIsoLinesContainer container;
  container.Serialize(*load, 0x06002A00);
  EXPECT_TRUE(load.AtEnd());
  ASSERT_EQ(container.GetIsolines().size(), 1u);
  EXPECT_EQ(container.GetIsolines()[0]->m_level, 5);
  EXPECT_EQ(container.GetIsolines()[0]->m_segments.size(), 1u);
  EXPECT_EQ(container.GetIsolines()[0]->m_flags, 4u);

  StoringArchive store;
  container.Serialize(*store, 0x06002A00);
  EXPECT_EQ(store.bytes(), OneSegmentContainer().data());
}

}  // namespace
