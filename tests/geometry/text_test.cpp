#include "fixtures.h"

#include "geometry/stroke_font.h"
#include "geometry/vector_string3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;

Points AllPoints(const CSimbol2D& glyph)
{
  Points points;
  for (const auto& contour : glyph.m_contours)
    for (const _POINT3D& p : contour->m_points) points.emplace_back(p.x, p.y);
  return points;
}

void ExpectPoints(const Points& got, const Points& expected)
{
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_NEAR(got[k].first, expected[k].first, 1e-12) << k;
    EXPECT_NEAR(got[k].second, expected[k].second, 1e-12) << k;
  }
}

TEST(StrokeFont, TableHoldsTheGlyphSetAndASquareForTheRest)
{
  const CGlyphTable* table = GetGlyphTable();
  EXPECT_EQ(table->GetCount(), 47u);
  auto x = table->CreateGlyph(u'x');
  EXPECT_EQ(x->m_code, 0);
  EXPECT_EQ(x->m_width, 4);
  ExpectPoints(AllPoints(*x), {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}});
  auto cyrillic = table->CreateGlyph(u'Ж');
  EXPECT_EQ(cyrillic->m_code, 0);

  auto comma = table->CreateGlyph(u',');
  EXPECT_EQ(AllPoints(*comma).front(), (std::pair<double, double>{-1, -1}));
  auto space = table->CreateGlyph(u' ');
  EXPECT_TRUE(space->m_contours.empty());
  EXPECT_EQ(space->m_width, 3);
  auto psi = table->CreateGlyph(u'ψ');
  EXPECT_EQ(psi->m_contours.size(), 2u);
}

TEST(StrokeFont, ScalingAppliesToTheCurrentGeometry)
{
  auto one = GetGlyphTable()->CreateGlyph(u'1');  // a copy: scales about (0, 0)
  one->SetScale(2);
  one->SetScale(3);
  EXPECT_EQ(one->m_scale, 3);
  EXPECT_EQ(one->m_width, 12);
  ExpectPoints(AllPoints(*one), {{0, 0}, {12, 0}, {6, 0}, {6, 36}, {0, 30}});

  auto small = GetGlyphTable()->CreateGlyph(u'1');
  small->SetScale(0.05);
  ExpectPoints(AllPoints(*small), {{0, 0}, {0.1, 0}, {0.05, 0}, {0.05, 0.3}, {0, 0.25}});

  CSimbol2D madeByClass(u'1');  // its own centre (2, 3)
  madeByClass.SetScale(2);
  ExpectPoints(AllPoints(madeByClass), {{-2, -3}, {2, -3}, {0, -3}, {0, 9}, {-2, 7}});
}

TEST(Text3D, TwelveAtHeightPointThree)
{
  CVectorString3D text(u"12");
  text.SetHeight(0.3);
  EXPECT_NEAR(text.GetWidthOfText(), 0.35, 1e-12);
  EXPECT_NEAR(text.GetHeightOfText(), 0.3, 1e-12);
  ASSERT_EQ(text.GetGlyphs().size(), 2u);
  EXPECT_NEAR(text.GetGlyphs()[1]->m_position[0], 0.15, 1e-12);
  double left = 1e9;
  for (const auto& point : AllPoints(*text.GetGlyphs()[1])) left = std::min(left, point.first);
  EXPECT_NEAR(left, 0.15, 1e-12);

  const CSimbol2D* first = text.GetGlyphs()[0].get();
  text.SetHeight(0.3);
  EXPECT_EQ(text.GetGlyphs()[0].get(), first) << "the same height does not rebuild";

  CVectorString3D empty(u"");
  empty.BuildGlyphs();
  EXPECT_EQ(empty.GetWidthOfText(), 0);
  EXPECT_EQ(empty.GetHeightOfText(), 0);
}

TEST(Text3D, FormattedValues)
{
  EXPECT_EQ(CVectorString3D("%.0f", 12.34).GetText(), u"12");
  EXPECT_EQ(CVectorString3D("%.1f", 9.87).GetText(), u"9.9");
  CVectorString3D value("%.1f", 9.87);
  EXPECT_NEAR(value.GetWidthOfText(), 4 + 1 + 4 + 2, 1e-12);  // widths 4, 1, 4 and two gaps, at scale 1
}

TEST(Text3D, MovingTheTextMovesItsGlyphs)
{
  CVectorString3D text(u"1");
  text.BuildGlyphs();
  CMatrix3D identity(4, 4);
  for (int k = 0; k < 4; ++k) identity.At(k, k) = 1;
  const Points before = AllPoints(*text.GetGlyphs()[0]);
  text.Transform(identity);
  ExpectPoints(AllPoints(*text.GetGlyphs()[0]), before);

  text.Rotate({0, 0, 0}, 90);
  ExpectPoints(AllPoints(*text.GetGlyphs()[0]), {{0, 0}, {0, 2}, {0, 1}, {-6, 1}, {-5, 0}});
  text.Translate(1, 2, 3);
  EXPECT_NEAR(AllPoints(*text.GetGlyphs()[0]).front().first, 1, 1e-12);
  EXPECT_NEAR(AllPoints(*text.GetGlyphs()[0]).front().second, 2, 1e-12);
  EXPECT_EQ(text.m_scaleX, 1);
  EXPECT_EQ(text.m_scaleY, 1);
}

// A label made of psi and 5, as its bytes stand: the text goes out in code page 1251, where psi is "?".
Bytes PsiFiveLabel()
{
  Bytes b;
  b.object3d(0, 0, 0, 9, 6).str("?5").f64s({1, 1, 6}).i32(0);
  b.u16(0x3C8).f64s({4, 6, 0, 0, 0, 0, 0, 0, 1}).i32(2);
  b.i32(6).f64s({4, 6, 0, 4, 3, 0, 3, 2, 0, 1, 2, 0, 0, 3, 0, 0, 6, 0});
  b.i32(2).f64s({2, 0, 0, 2, 5, 0});
  b.u16(0x35).f64s({4, 6, 5, 0, 0, 0, 0, 0, 1}).i32(1);
  b.i32(9).f64s({5, 1, 0, 6, 0, 0, 8, 0, 0, 9, 1, 0, 9, 3, 0, 8, 4, 0, 5, 4, 0, 5, 6, 0, 9, 6, 0});
  return b;
}

TEST(Text3D, SavedFormKeepsTheGlyphStrokes)
{
  CVectorString3D made(u"ψ5");
  made.BuildGlyphs();
  StoringArchive store;
  made.Serialize(*store, 0x06002A00);
  const std::vector<std::uint8_t> stored = store.bytes();
  const std::vector<std::uint8_t> fixture = PsiFiveLabel().data();
  ASSERT_EQ(stored.size(), fixture.size());
  for (std::size_t k = 0; k < stored.size(); ++k) ASSERT_EQ(stored[k], fixture[k]) << "byte " << k;

  LoadingArchive load(PsiFiveLabel().data());
  CVectorString3D loaded;
  loaded.Serialize(*load, 0x06002A00);
  EXPECT_TRUE(load.AtEnd());
  EXPECT_EQ(loaded.GetText(), u"?5");
  ASSERT_EQ(loaded.GetGlyphs().size(), 2u);
  EXPECT_EQ(loaded.GetGlyphs()[0]->m_code, 0x3C8);
  EXPECT_EQ(loaded.GetGlyphs()[0]->m_contours.size(), 2u) << "psi's strokes come from the file, not the square";
  EXPECT_NEAR(loaded.GetWidthOfText(), 9, 1e-12);
  EXPECT_NEAR(loaded.GetHeightOfText(), 6, 1e-12);
}

TEST(Text3D, TruncatedLabelIsAnArchiveError)
{
  std::vector<std::uint8_t> bytes = PsiFiveLabel().data();
  bytes.resize(bytes.size() - 20);
  LoadingArchive load(bytes);
  CVectorString3D loaded;
  bool thrown = false;
  try {
    loaded.Serialize(*load, 0x06002A00);
  } catch (CArchiveException* e) {
    thrown = e->m_cause == CArchiveException::endOfFile;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

TEST(VectorHelpers, NormalTriangleNormalAndProduct)
{
  double zero[3] = {0, 0, 0};
  NormalizeVector(zero);
  EXPECT_EQ(zero[0] + zero[1] + zero[2], 0);
  double v[3] = {3, 0, 4};
  NormalizeVector(v);
  EXPECT_NEAR(v[0], 0.6, 1e-15);
  EXPECT_NEAR(v[2], 0.8, 1e-15);

  const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 2, 0};
  double n[3];
  TriangleNormal(n, a, b, c);
  EXPECT_EQ(n[0], 0);
  EXPECT_EQ(n[1], 0);
  EXPECT_EQ(n[2], 2);

  CMatrix3D m(2, 3), p(3, 1);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) m.At(i, j) = i * 3 + j;  // 0 1 2 / 3 4 5
  for (int i = 0; i < 3; ++i) p.At(i, 0) = 1;
  const CMatrix3D product(m, p);
  EXPECT_EQ(product.GetRows(), 2);
  EXPECT_EQ(product.At(0, 0), 3);
  EXPECT_EQ(product.At(1, 0), 12);
}

}  // namespace
