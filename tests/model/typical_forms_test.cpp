#include "open_territory_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

using namespace ObjectModel;

constexpr double kDeg = std::numbers::pi / 180;

// A site of one typical form, its carriageway alone unless sidewalks are asked for.
struct FormSite : SiteHolder {
  FormSite(IQorRoadDoc* doc, int form, bool sidewalks = false) : SiteHolder(doc)
  {
    site->SetTypicalForm(&form);
    if (!sidewalks) {
      const int excluded = 5 | 0x2;
      site->SetSidewalkState(&excluded);
    }
  }
  std::vector<int> Memberships() const
  {
    std::vector<int> out;
    for (IPrimitive* p : PrimitivesOf(site))
      out.push_back(*p->GetMembership());
    return out;
  }
};

// Whether (x, y) lies inside a triangle or rectangle primitive.
bool Covers(IPrimitive* p, double x, double y)
{
  _PRIMITIVE_INFO_1 info{};
  p->GetInfo(&info);
  const double* a = info.points[0];
  const double* b = info.points[1];
  const double* c = info.points[2];
  auto cross = [](const double* o, const double* q, double px, double py) {
    return (q[0] - o[0]) * (py - o[1]) - (q[1] - o[1]) * (px - o[0]);
  };
  if (*p->GetShape() == kShapeTriangle) {
    const double d1 = cross(a, b, x, y), d2 = cross(b, c, x, y), d3 = cross(c, a, x, y);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
  }
  // A rectangle from three corners: along a -> b, across b -> c.
  const double ux = b[0] - a[0], uy = b[1] - a[1], vx = c[0] - b[0], vy = c[1] - b[1];
  const double s = ((x - a[0]) * ux + (y - a[1]) * uy) / (ux * ux + uy * uy);
  const double t = ((x - b[0]) * vx + (y - b[1]) * vy) / (vx * vx + vy * vy);
  return s >= 0 && s <= 1 && t >= 0 && t <= 1;
}

// Every point of a grid over the area that lies clearly inside or clearly outside the expected region is
// covered by the site's primitives exactly when it is inside.
void ExpectCoverage(CCustomizeRoad* site, const std::function<double(double, double)>& insideBy)
{
  const double L = *site->GetLength();
  const double W = *site->GetWidth();
  int checked = 0;
  for (double x = -L / 2 + 0.1; x < L / 2; x += 0.37) {
    for (double y = -W / 2 + 0.1; y < W / 2; y += 0.37) {
      // insideBy: positive inside, negative outside, in metres from the region's boundary.
      const double margin = insideBy(x, y);
      if (std::fabs(margin) < 0.05)
        continue;
      bool covered = false;
      for (IPrimitive* p : PrimitivesOf(site))
        covered = covered || Covers(p, x, y);
      ASSERT_EQ(covered, margin > 0) << x << ", " << y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000);
}

double Band(double distance, double halfWidth) { return halfWidth - std::fabs(distance); }

// Signed distance of (x, y) from the line through the origin at angle a (left positive).
double Across(double a, double x, double y) { return -std::sin(a * kDeg) * x + std::cos(a * kDeg) * y; }

// ---- Parameters ----

TEST(TypicalForms, DefaultsByCarriagewayCount)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  const int four = 4;
  site->SetBranchCount(&four);
  const double w = 3;
  site->SetBranchWidth3(&w);
  site->SetInnerRadius(&w);
  EXPECT_EQ(site->SetFormDefaults(), 0);
  EXPECT_EQ(*site->GetBranchWidth3(), 11.25);
  EXPECT_EQ(*site->GetJunctionAngle2(), 90.0);
  EXPECT_EQ(*site->GetJunctionAngle4(), -90.0);
  EXPECT_EQ(*site->GetInnerRadius(), 10.0);
  const int six = 6;
  site->SetBranchCount(&six);
  site->SetBranchWidth3(&w);
  const double angle = 77;
  site->SetJunctionAngle2(&angle);
  EXPECT_EQ(site->SetFormDefaults(), 1);
  EXPECT_EQ(*site->GetBranchWidth3(), 11.25);
  EXPECT_EQ(*site->GetJunctionAngle2(), 77.0);
}

TEST(TypicalForms, FormChangedAgainstTheDefaultsOfACount)
{
  FakeDocument doc;
  SiteHolder site(&doc);
  const int two = 2;
  site->SetBranchCount(&two);
  site->SetFormDefaults();
  for (UINT count : {1u, 2u, 6u})
    EXPECT_EQ(site->IsFormChanged(&count), 0) << count;
  UINT three = 3;
  EXPECT_EQ(site->IsFormChanged(&three), 1);
  const double radius = 11;
  site->SetInnerRadius(&radius);
  for (UINT count : {1u, 2u, 3u, 6u})
    EXPECT_EQ(site->IsFormChanged(&count), 1) << count;
}

TEST(TypicalForms, MinimumTurnRadiusOnlyForTurns)
{
  FakeDocument doc;
  FormSite fork(&doc, 2, true);
  const double r = 3;
  fork->SetTurnRadius(&r);
  BOOL clamp = TRUE;
  EXPECT_EQ(fork->GetMinTurnRadius(&clamp), 0.0);
  EXPECT_EQ(*fork->GetTurnRadius(), 3);
  FormSite turn(&doc, 1, true);
  const double zero = 0;
  turn->SetTurnRadius(&zero);
  EXPECT_EQ(turn->GetMinTurnRadius(&clamp), 10.5);  // (15 + 2 (2 + 1)) / 2
  EXPECT_EQ(*turn->GetTurnRadius(), 0);
  turn->SetTurnRadius(&r);
  BOOL keep = FALSE;
  turn->GetMinTurnRadius(&keep);
  EXPECT_EQ(*turn->GetTurnRadius(), 3);
  turn->GetMinTurnRadius(&clamp);
  EXPECT_EQ(*turn->GetTurnRadius(), 10.5);
}

// ---- Generation ----

TEST(TypicalForms, FreeSitesAndInterchangesAreNotGenerated)
{
  FakeDocument doc;
  for (int form : {0, 8, 6}) {
    FormSite site(&doc, form);
    EXPECT_EQ(site->BuildTypicalForm(), 1);
    EXPECT_EQ(site->GetPrimitiveCount(), 1);
  }
}

TEST(TypicalForms, LayersAndNumberingForARightAngledTurn)
{
  FakeDocument doc;
  FormSite site(&doc, 1, true);
  const double right = 90;
  site->SetFormAngle1(&right);
  EXPECT_EQ(site->BuildTypicalForm(), 0);
  EXPECT_EQ(site.Memberships(), (std::vector<int>{2, 2, 0, 0, 1, 1}));
  const auto primitives = PrimitivesOf(site.site);
  const char* names[] = {"Примитив - 3", "Примитив - 4", "Примитив - 5", "Примитив - 6", "Примитив - 1", "Примитив - 2"};
  for (size_t i = 0; i < primitives.size(); ++i)
    EXPECT_STREQ(static_cast<const char*>(*primitives[i]->GetName()), names[i]);
  // The carriageway: two rectangles of (15 + 50) / 2, one along x, one turned up.
  IPrimitive* along = primitives[4];
  IPrimitive* up = primitives[5];
  EXPECT_EQ(*along->GetSize2(), 32.5);
  EXPECT_EQ(*along->GetSize1(), 15);
  double c[3];
  along->GetCentre(c);
  EXPECT_EQ(c[0], -8.75);
  EXPECT_EQ(up->GetRotation(), 90);
  up->GetCentre(c);
  EXPECT_EQ(c[1], 8.75);
}

TEST(TypicalForms, LayerCountsFollowTheSidewalkSettings)
{
  FakeDocument doc;
  {
    FormSite site(&doc, 1, true);
    const double straight = 0;
    site->SetFormAngle1(&straight);
    site->BuildTypicalForm();
    EXPECT_EQ(site.Memberships(), (std::vector<int>{2, 0, 1}));
  }
  {
    FormSite site(&doc, 1, true);
    const double noGap = 0;
    site->SetSidewalkGap(&noGap);
    const double straight = 0;
    site->SetFormAngle1(&straight);
    site->BuildTypicalForm();
    EXPECT_EQ(site.Memberships(), (std::vector<int>{2, 1}));
  }
  {
    FormSite site(&doc, 3, false);
    site->BuildTypicalForm();
    for (int m : site.Memberships())
      EXPECT_EQ(m, kMemberCarriageway);
  }
}

TEST(TypicalForms, RoundaboutWithFourCarriagewaysAtRightAngles)
{
  FakeDocument doc;
  FormSite site(&doc, 7, true);
  const int four = 4;
  site->SetBranchCount(&four);
  site->SetFormDefaults();
  EXPECT_EQ(site->BuildTypicalForm(), 0);
  EXPECT_EQ(site.Memberships(), (std::vector<int>{2, 2, 2, 2, 2, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1}));
  const auto primitives = PrimitivesOf(site.site);
  IPrimitive* ring = primitives[10];
  EXPECT_EQ(*ring->GetShape(), kShapeRingSector);
  EXPECT_EQ(*ring->GetSize1(), 40);
  EXPECT_EQ(*ring->GetInnerRadius(), 10);
  EXPECT_EQ(*ring->GetArcDetail(), 12);
  // The carriageway to the right starts where it enters the outer circle.
  const double h = std::sqrt(20.0 * 20.0 - 5.625 * 5.625);
  const double L = *site->GetLength();
  IPrimitive* east = primitives[13];
  EXPECT_NEAR(*east->GetSize2(), L / 2 - h, 1e-9);
  double c[3];
  east->GetCentre(c);
  EXPECT_NEAR(c[0], (L / 2 + h) / 2, 1e-9);
}

TEST(TypicalForms, TurnAt45CoversLegAndStripUpToTheMitre)
{
  FakeDocument doc;
  FormSite site(&doc, 1);
  site->BuildTypicalForm();  // angle 45, no radius
  const double w = 15;
  const double t = std::tan(22.5 * kDeg);
  ExpectCoverage(site.site, [=](double x, double y) {
    // The mitre line through (t w / 2, -w / 2) and (-t w / 2, w / 2): leg 1 lies on its far side from +x.
    const double side = (x * w + y * t * w) / std::hypot(w, t * w);
    return side < 0 ? std::min(Band(y, w / 2), -side) : std::min(Band(Across(45, x, y), w / 2), side);
  });
}

TEST(TypicalForms, CrossingAndJunctionAtObliqueAngles)
{
  FakeDocument doc;
  for (double angle : {45.0, -30.0, 120.0}) {
    SCOPED_TRACE(angle);
    FormSite crossing(&doc, 3);
    crossing->SetFormAngle1(&angle);
    crossing->BuildTypicalForm();
    ExpectCoverage(crossing.site, [=](double x, double y) {
      return std::max(Band(y, 7.5), Band(Across(angle, x, y), 5.625));
    });
  }
  for (double angle : {60.0, -45.0, 135.0}) {
    SCOPED_TRACE(angle);
    FormSite junction(&doc, 4);
    junction->SetFormAngle1(&angle);
    junction->BuildTypicalForm();
    const double sign = angle > 0 ? 1 : -1;
    ExpectCoverage(junction.site, [=](double x, double y) {
      const double branch = std::min(Band(Across(angle, x, y), 5.625), sign * y - 7.5);
      return std::max(Band(y, 7.5), branch);
    });
  }
}

TEST(TypicalForms, CrossingAndJunctionAtRightAnglesAreRectangles)
{
  FakeDocument doc;
  const double right = 90;
  FormSite crossing(&doc, 3);
  crossing->SetFormAngle1(&right);
  crossing->BuildTypicalForm();
  ASSERT_EQ(crossing->GetPrimitiveCount(), 2);
  IPrimitive* road2 = PrimitivesOf(crossing.site)[1];
  EXPECT_EQ(*road2->GetSize2(), 11.25);
  EXPECT_EQ(*road2->GetSize1(), *crossing->GetWidth());
  FormSite junction(&doc, 4);
  const double down = -90;
  junction->SetFormAngle1(&down);
  junction->BuildTypicalForm();
  ASSERT_EQ(junction->GetPrimitiveCount(), 2);
  IPrimitive* branch = PrimitivesOf(junction.site)[1];
  EXPECT_EQ(*branch->GetSize2(), (50 - 15) / 2.0);
  double c[3];
  branch->GetCentre(c);
  EXPECT_EQ(c[1], -(15 + 50) / 4.0);
}

TEST(TypicalForms, WideningOnBothSidesOrOne)
{
  FakeDocument doc;
  for (int type : {0, 1, 2}) {
    SCOPED_TRACE(type);
    FormSite site(&doc, 5);
    const double w2 = 20;
    site->SetBranchWidth2(&w2);
    site->SetWideningType(&type);
    site->BuildTypicalForm();
    ExpectCoverage(site.site, [=](double x, double y) {
      // From 15 wide left of x = -12.5 to 20 wide right of x = 12.5.
      const double grown = std::clamp((x + 12.5) / 25, 0.0, 1.0) * 5;
      double low = -7.5, high = 7.5;
      if (type == 0) {
        low -= grown / 2;
        high += grown / 2;
      } else if (type == 1) {
        low -= grown;
      } else {
        high += grown;
      }
      return std::min(y - low, high - y);
    });
  }
}

// ---- Fitting the area ----

TEST(TypicalForms, AreaGrowsToWholeMetresAndNeverShrinks)
{
  FakeDocument doc;
  struct Case {
    double fitted, width;
  };
  for (const Case& c : {Case{20.45, 20}, Case{20.55, 21}, Case{2500, 2000}}) {
    FormSite site(&doc, 1);
    const double straight = 0;
    site->SetFormAngle1(&straight);
    const double narrow = 10;
    site->SetWidth(&narrow);
    const double w1 = c.fitted / 1.1;
    site->SetBranchWidth1(&w1);
    site->BuildTypicalForm();
    EXPECT_EQ(*site->GetWidth(), c.width) << c.fitted;
  }
  FormSite wide(&doc, 1);
  const double hundred = 100;
  wide->SetWidth(&hundred);
  wide->BuildTypicalForm();
  EXPECT_EQ(*wide->GetWidth(), 100);
}

TEST(TypicalForms, ForkRebuiltAgainKeepsItsArea)
{
  FakeDocument doc;
  FormSite site(&doc, 2, true);
  site->BuildTypicalForm();
  const double width = *site->GetWidth();
  const double length = *site->GetLength();
  for (int again = 0; again < 3; ++again)
    site->BuildTypicalForm();
  EXPECT_EQ(*site->GetWidth(), width);
  EXPECT_EQ(*site->GetLength(), length);
}

TEST(TypicalForms, ForkBranchesAlongTheAxesStayFinite)
{
  FakeDocument doc;
  for (const auto& [a1, a2] : {std::pair{90.0, -45.0}, {45.0, 0.0}, {90.0, -90.0}, {0.0, -45.0}, {30.0, 30.0}}) {
    FormSite site(&doc, 2, true);
    site->SetFormAngle1(&a1);
    site->SetFormAngle2(&a2);
    site->BuildTypicalForm();
    EXPECT_LE(*site->GetWidth(), 2000);
    for (IPrimitive* p : PrimitivesOf(site.site)) {
      _PRIMITIVE_INFO_1 info{};
      p->GetInfo(&info);
      for (const auto& q : info.points)
        EXPECT_TRUE(std::isfinite(q[0]) && std::isfinite(q[1])) << a1 << " / " << a2;
    }
  }
}

TEST(TypicalForms, RoundaboutFitAnswersWhetherTheRingTakesTheCarriageways)
{
  FakeDocument doc;
  FormSite site(&doc, 7, true);
  double width = 10, length = 10;
  EXPECT_EQ(site->FitAreaForRoundabout(&width, &length, TRUE), 1);
  EXPECT_NEAR(width, 2.2 * 23, 1e-9);
  EXPECT_NEAR(length, 2.2 * 23, 1e-9);
  const double inner = 22;
  site->SetInnerRadius(&inner);
  EXPECT_EQ(site->FitAreaForRoundabout(&width, &length, FALSE), 0);
  FormSite turn(&doc, 1);
  EXPECT_EQ(turn->FitAreaForRoundabout(&width, &length, TRUE), 1);
}

}  // namespace
