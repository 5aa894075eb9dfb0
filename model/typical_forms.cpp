// The typical road forms of an open territory: the parameters of the area become rectangles, triangles and ring
// sectors in three nested layers (sidewalk, gap, carriageway), later ones on top, and the area grows to fit.
#include "model/customize_road.h"
#include "model/model_strings.h"
#include "model/primitive.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <numbers>

namespace ObjectModel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The area is never made larger than this by a typical form, metres.
constexpr double kMaxAreaSize = 2000.0;
// A sine or cosine below this is taken as 0: the lines it would intersect are parallel for any drawing.
constexpr double kParallel = 1e-12;
// A fitted point counts as outside the area only this far beyond its edge: the branch ends of a fork lie on
// the edge by construction and must not grow the area on every rebuild.
constexpr double kOnEdge = 1e-9;

struct Pt {
  double x;
  double y;
};

// Where a strip of width w whose centre line leaves the origin at angle gamma (degrees, 0 < |gamma| < 180,
// not 90) meets the boundary of an area L long and W wide: e1 on its edge on the side of the x axis, e2 on
// the other edge, and the area corner between them when the strip ends across it.
struct StripEnds {
  Pt e1;
  Pt e2;
  bool corner = false;
  Pt k;
};

StripEnds ComputeStripEnds(double w, double gamma, double L, double W)
{
  const double a = std::fabs(gamma);
  const bool backwards = a > 90;
  const double g = (backwards ? 180 - a : a) * kDegree;
  const double c = std::cos(g);
  const double s = std::sin(g);
  const double y1 = (L * s - w) / (2 * c);
  const double x1 = (W * c + w) / (2 * s);
  const double y2 = (L * s + w) / (2 * c);
  const double x2 = (W * c - w) / (2 * s);
  StripEnds ends;
  const bool e1Right = std::fabs(y1) < W / 2;
  ends.e1 = e1Right ? Pt{L / 2, y1} : Pt{x1, W / 2};
  const bool e2Right = e1Right && std::fabs(y2) <= W / 2;
  ends.e2 = e2Right ? Pt{L / 2, y2} : Pt{x2, W / 2};
  ends.corner = e1Right && !e2Right;
  ends.k = {L / 2, W / 2};
  for (Pt* p : {&ends.e1, &ends.e2, &ends.k}) {
    if (gamma < 0)
      p->y = -p->y;
    if (backwards)
      p->x = -p->x;
  }
  return ends;
}

int ArcDetailFor(double radius) { return radius < 50 ? 12 : radius < 100 ? 18 : radius < 300 ? 24 : 30; }

}  // namespace

struct CCustomizeRoad::ForkOutline {
  Pt p[11];
  bool corner2 = false;  // branch 2 ends across the upper right corner
  bool corner3 = false;  // branch 3 ends across the lower right corner
};

double CCustomizeRoad::SidewalkBand() const
{
  return (m_sidewalkState & 0x2) ? 0.0 : 2 * (m_sidewalkWidth + m_sidewalkGap);
}

int CCustomizeRoad::SetFormDefaults()
{
  m_widths[0] = 15.0;
  for (int i = 1; i < 5; ++i)
    m_widths[i] = 11.25;
  m_innerRadius = 10.0;
  m_outerRadius = 20.0;
  static constexpr double kAngles[6][5] = {{},
                                           {180.0, 0, 0, 0, 0},
                                           {180.0, 0, 0, 0, 0},
                                           {180.0, 60.0, -60.0, 0, 0},
                                           {180.0, 90.0, 0, -90.0, 0},
                                           {180.0, 108.0, 36.0, -36.0, -108.0}};
  if (m_branchCount < 1 || m_branchCount > 5)
    return 1;
  std::copy(std::begin(kAngles[m_branchCount]), std::end(kAngles[m_branchCount]), m_junctionAngles);
  return 0;
}

int CCustomizeRoad::IsFormChanged(UINT* count)
{
  if (m_innerRadius != 10.0 || m_outerRadius != 20.0)
    return 1;
  static constexpr double kAngles[6][5] = {{},
                                           {180.0, 0, 0, 0, 0},
                                           {180.0, 0, 0, 0, 0},
                                           {180.0, 60.0, -60.0, 0, 0},
                                           {180.0, 90.0, 0, -90.0, 0},
                                           {180.0, 108.0, 36.0, -36.0, -108.0}};
  const UINT n = *count;
  if (n < 1 || n > 5)
    return 0;
  for (UINT k = 0; k < n; ++k) {
    const double width = k == 0 ? 15.0 : 11.25;
    if (m_junctionAngles[k] != kAngles[n][k] || m_widths[k] != width)
      return 1;
  }
  return 0;
}

double CCustomizeRoad::GetMinTurnRadius(BOOL* clamp)
{
  if (*GetTypicalForm() != 1)
    return 0.0;
  const double m = (m_widths[0] + SidewalkBand()) / 2;
  if (clamp && *clamp && m_turnRadius != 0 && m_turnRadius < m)
    m_turnRadius = m;
  return m;
}

CCustomizeRoad::ForkOutline CCustomizeRoad::ComputeFork(double t1, double t2, double t3, double W, double L) const
{
  ForkOutline f;
  const double a1 = m_angle1 * kDegree;
  const double a2 = m_angle2 * kDegree;
  // Where a sine below is 0 the two edges are parallel and the pieces meet across the origin.
  auto over = [](double num, double den) { return std::fabs(den) < kParallel ? 0.0 : num / den; };
  f.p[0] = {-L / 2, t1 / 2};
  f.p[1] = {-L / 2, -t1 / 2};
  f.p[2] = {over(t3 - t1 * std::cos(a2), 2 * std::sin(a2)), -t1 / 2};
  f.p[3] = {-over(t2 - t1 * std::cos(a1), 2 * std::sin(a1)), t1 / 2};
  const double crotch = 2 * std::sin(a1 - a2);
  f.p[10] = {over(std::cos(a2) * t2 + std::cos(a1) * t3, crotch), over(std::sin(a2) * t2 + std::sin(a1) * t3, crotch)};
  f.p[6] = {L / 2, W / 2};
  f.p[7] = {L / 2, -W / 2};
  // Branch 2 ends at the top or right edge; along 90 degrees straight at the top.
  const double a = std::fabs(a1);
  const double ca = std::fabs(std::cos(a));
  const double sa = std::sin(a);
  const double I = over(W * ca - t2, 2 * sa);
  if (ca >= kParallel && std::fabs((L * sa - t2) / (2 * ca)) < W / 2) {
    const double G = (L * sa - t2) / (2 * ca);
    const double H = (L * sa + t2) / (2 * ca);
    f.p[4] = {L / 2, G};
    if (std::fabs(H) > W / 2) {
      f.p[5] = {I, W / 2};
      f.corner2 = true;
    } else {
      f.p[5] = {L / 2, H};
    }
  } else {
    f.p[4] = {over(t2 + W * ca, 2 * sa), W / 2};
    f.p[5] = {I, W / 2};
  }
  const double b = std::fabs(a2);
  const double cb = std::cos(b);
  const double sb = std::sin(b);
  const double S = over(W * cb - t3, 2 * sb);
  if (std::fabs(cb) >= kParallel && -W / 2 < -(L * sb - t3) / (2 * cb)) {
    const double Q = -(L * sb - t3) / (2 * cb);
    const double M = -(L * sb + t3) / (2 * cb);
    f.p[8] = {L / 2, Q};
    if (-W / 2 > M) {
      f.p[9] = {S, -W / 2};
      f.corner3 = true;
    } else {
      f.p[9] = {L / 2, M};
    }
  } else {
    f.p[8] = {over(t3 + W * cb, 2 * sb), -W / 2};
    f.p[9] = {S, -W / 2};
  }
  return f;
}

int CCustomizeRoad::FitAreaForFork(double* width, double* length, BOOL enlarge)
{
  const double band = SidewalkBand();
  const ForkOutline f = ComputeFork(m_widths[0] + band, m_widths[1] + band, m_widths[2] + band, *width, *length);
  if (enlarge) {
    for (int i : {2, 3, 4, 5, 9, 10}) {
      if (std::fabs(f.p[i].x) > *length / 2 + kOnEdge)
        *length = 2.2 * std::fabs(f.p[i].x);
      if (std::fabs(f.p[i].y) > *width / 2 + kOnEdge)
        *width = 2.2 * std::fabs(f.p[i].y);
    }
  }
  return 1;
}

int CCustomizeRoad::FitAreaForWidening(double* width, double* length, BOOL enlarge)
{
  if (*GetTypicalForm() != 5)
    return 1;
  const double band = SidewalkBand();
  const double d = m_widths[0] + band;
  const double f = m_widths[1] + band;
  bool grew = false;
  auto grow = [&](double& field, double value) {
    grew = true;
    if (enlarge)
      field = value;
  };
  if (*length <= m_wideningLength)
    grow(*length, 1.1 * m_wideningLength);
  if ((m_wideningType & 0x3) == 0) {
    if (d > f) {
      if (d >= *width)
        grow(*width, 1.1 * d);
    } else if (f >= *width) {
      grow(*width, 1.1 * f);
    }
  } else if (d > f) {
    if (d >= *width)
      grow(*width, 1.1 * d);
  } else if (*width / 2 <= f - d / 2) {
    grow(*width, 1.1 * (2 * f - d));
  }
  return grew ? 0 : 1;
}

int CCustomizeRoad::FitAreaForRoundabout(double* width, double* length, BOOL enlarge)
{
  if (*GetTypicalForm() != 7)
    return 1;
  const double band = SidewalkBand();
  double c = m_widths[0] + band;
  if (m_branchCount >= 2 && m_branchCount <= 5) {
    for (int k = 1; k < m_branchCount; ++k)
      c = std::max(c, m_widths[k] + band);
  }
  const double A = m_outerRadius + band / 2;
  if (enlarge) {
    if (A >= *width / 2)
      *width = 2.2 * A;
    if (A >= *length / 2)
      *length = 2.2 * A;
  }
  if (A * A - (c / 2) * (c / 2) < m_innerRadius * m_innerRadius || A <= c / 2 || m_outerRadius <= m_innerRadius)
    return 0;
  return 1;
}

void CCustomizeRoad::FitArea(double& W, double& L)
{
  const double band = SidewalkBand();
  const double T1 = m_widths[0] + band;
  const double T2 = m_widths[1] + band;
  const double area1W = *GetWidth();
  const double area1L = *GetLength();
  W = T1 < area1W ? area1W : 1.1 * T1;
  L = area1L;
  const double a1 = m_angle1 * kDegree;
  switch (*GetTypicalForm()) {
  case 1: {
    L = T1 < area1L ? area1L : 1.1 * T1;
    const double R = m_turnRadius;
    if (R > 0) {
      const double reach = R * std::tan(std::fabs(a1) / 2);
      if (L / 2 <= reach)
        L = 2.2 * reach;
      const double sigma = m_angle1 > 0 ? R : -R;
      const double q = R - T1 / 2;
      const double e = m_angle1 >= 0 ? std::fabs(sigma - std::cos(a1) * q) : std::fabs(std::cos(a1) * q + sigma);
      if (e >= W / 2)
        W = 2.2 * e;
    }
    break;
  }
  case 2: FitAreaForFork(&W, &L, TRUE); break;
  case 3: {
    const double c = std::cos(a1) * T1 / 2;
    const double h = T2 / 2;
    const double q = std::sin(a1);
    if (std::fabs(q) >= kParallel) {
      for (double reach : {std::fabs((c - h) / q), std::fabs((c + h) / q)}) {
        if (L / 2 <= reach)
          L = 2.2 * reach;
      }
    }
    break;
  }
  case 4: {
    const double a = std::fabs(m_angle1);
    const double c = std::cos((a > 90 ? 180 - a : m_angle1) * kDegree) * T1 + T2;
    const double s = std::sin(a * kDegree);
    if (std::fabs(s) >= kParallel && L / 2 <= std::fabs(c / s) / 2)
      L = 1.1 * std::fabs(c / s);
    break;
  }
  case 5: FitAreaForWidening(&W, &L, TRUE); break;
  case 7: FitAreaForRoundabout(&W, &L, TRUE); break;
  default: break;
  }
}

IPrimitive* CCustomizeRoad::NextShape(int shape, int membership)
{
  IPrimitive* p = m_reusable;
  if (p) {
    m_reusable = nullptr;
    // The kept primitive may have been a polygon: its outline and pieces are no part of the new shape.
    p->ClearMesh();
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    p->ClearContour();
    p->SetMembership(&membership);
    p->SetShape(&shape);
    return p;
  }
  p = CreatePrimitive(shape, membership, TRUE);
  AppendPrimitive(p);
  return p;
}

void CCustomizeRoad::AddRectangle(int membership, double length, double width, double rotation, double cx, double cy)
{
  IPrimitive* p = NextShape(kShapeRectangle, membership);
  p->SetSize2(length);
  p->SetSize1(width);
  p->SetRotation(rotation);
  const double centre[3] = {cx, cy, 0};
  p->SetCentre(centre);
}

void CCustomizeRoad::AddTriangle(int membership, const double a[2], const double b[2], const double c[2])
{
  // A piece without area covers nothing.
  if (std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])) < kParallel)
    return;
  IPrimitive* p = NextShape(kShapeTriangle, membership);
  SetTriangleFromPoints(p, a, b, c);
}

void CCustomizeRoad::AddQuad(int membership, const double a[2], const double b[2], const double c[2],
                             const double d[2])
{
  AddTriangle(membership, a, b, c);
  AddTriangle(membership, a, c, d);
}

// A strip of width w leaving the feet foot1 (on its edge on the side of the x axis) and foot2 along gamma and
// running to the area boundary, the corner triangle first when it ends across a corner.
void CCustomizeRoad::AddStripToBoundary(int membership, double w, double gamma, const double foot1[2],
                                        const double foot2[2])
{
  const StripEnds ends = ComputeStripEnds(w, gamma, *GetLength(), *GetWidth());
  const double e1[2] = {ends.e1.x, ends.e1.y};
  const double e2[2] = {ends.e2.x, ends.e2.y};
  if (ends.corner) {
    const double k[2] = {ends.k.x, ends.k.y};
    AddTriangle(membership, k, e1, e2);
  }
  AddQuad(membership, foot1, e1, e2, foot2);
}

void CCustomizeRoad::BuildTurn(int membership, double w)
{
  const double L = *GetLength();
  const double alpha = m_angle1;
  const double R = m_turnRadius;
  if (R <= 0 && alpha == 0) {
    AddRectangle(membership, L, w, 0, 0, 0);
    return;
  }
  if (R <= 0 && std::fabs(alpha) == 90) {
    const double sign = alpha > 0 ? 1.0 : -1.0;
    AddRectangle(membership, (w + L) / 2, w, 0, -(L - w) / 4, 0);
    AddRectangle(membership, (w + L) / 2, w, alpha, 0, sign * (L - w) / 4);
    return;
  }
  // A turn straight back has no mitre; the first leg alone stands.
  if (std::fabs(alpha) >= 180) {
    AddRectangle(membership, L / 2, w, 0, -L / 4, 0);
    return;
  }
  if (R <= 0) {
    const double t = std::tan(alpha * kDegree / 2);
    const double ma[2] = {t * w / 2, -w / 2};
    const double mb[2] = {-t * w / 2, w / 2};
    const double leftTop[2] = {-L / 2, w / 2};
    const double leftBottom[2] = {-L / 2, -w / 2};
    AddTriangle(membership, ma, leftTop, leftBottom);
    AddTriangle(membership, mb, leftTop, ma);
    // Turning right mirrors the strip: its edge on the side of the x axis then starts at the upper mitre point.
    if (alpha > 0)
      AddStripToBoundary(membership, w, alpha, ma, mb);
    else
      AddStripToBoundary(membership, w, alpha, mb, ma);
    return;
  }
  const double a = std::fabs(alpha);
  const double sigma = alpha >= 0 ? 1.0 : -1.0;
  const double X = -R * std::tan(a * kDegree / 2);
  const double p1[2] = {-L / 2, -w / 2};
  const double p2[2] = {X, -w / 2};
  const double p3[2] = {X, w / 2};
  const double p4[2] = {-L / 2, w / 2};
  AddQuad(membership, p1, p2, p3, p4);
  IPrimitive* ring = NextShape(kShapeRingSector, membership);
  ring->SetSize2(2 * (R + w / 2));
  const double inner = R - w / 2;
  ring->SetInnerRadius(&inner);
  ring->SetSectorAngle(&a);
  ring->SetRotation(alpha >= 0 ? 180.0 : alpha);
  const int detail = ArcDetailFor(R);
  ring->SetArcDetail(&detail);
  const double centre[3] = {X, sigma * R, 0};
  ring->SetCentre(centre);
  auto arcEnd = [&](double rho, double out[2]) {
    out[0] = X + rho * std::sin(a * kDegree);
    out[1] = sigma * R - sigma * rho * std::cos(alpha * kDegree);
  };
  double outer[2];
  double innerEnd[2];
  arcEnd(R + w / 2, outer);
  arcEnd(R - w / 2, innerEnd);
  AddStripToBoundary(membership, w, alpha, outer, innerEnd);
}

void CCustomizeRoad::BuildFork(int membership, const double widths[5])
{
  const ForkOutline f = ComputeFork(widths[0], widths[1], widths[2], *GetWidth(), *GetLength());
  const double o[2] = {0, 0};
  auto P = [&f](int i) { return std::array<double, 2>{f.p[i].x, f.p[i].y}; };
  auto tri = [&](int a, const double* mid, int c) {
    const auto pa = P(a);
    const auto pc = P(c);
    AddTriangle(membership, pa.data(), mid, pc.data());
  };
  if (f.corner2) {
    const auto p6 = P(6);
    tri(5, p6.data(), 4);  // (P6, P5, P4)
  }
  tri(4, o, 10);
  tri(5, o, 4);
  tri(3, o, 5);
  if (f.corner3) {
    const auto p7 = P(7);
    tri(9, p7.data(), 8);
  }
  tri(9, o, 2);
  tri(8, o, 9);
  tri(10, o, 8);
  tri(0, o, 3);
  tri(1, o, 0);
  tri(2, o, 1);
}

void CCustomizeRoad::BuildCrossing(int membership, const double widths[5])
{
  const double L = *GetLength();
  const double W = *GetWidth();
  AddRectangle(membership, L, widths[0], 0, 0, 0);
  const double a = std::fabs(m_angle1);
  if (a == 0 || a >= 180)
    return;
  if (a == 90) {
    AddRectangle(membership, widths[1], W, 0, 0, 0);
    return;
  }
  const StripEnds ends = ComputeStripEnds(widths[1], m_angle1, L, W);
  const double e1[2] = {ends.e1.x, ends.e1.y};
  const double e2[2] = {ends.e2.x, ends.e2.y};
  const double m1[2] = {-e1[0], -e1[1]};
  const double m2[2] = {-e2[0], -e2[1]};
  if (ends.corner) {
    const double k[2] = {ends.k.x, ends.k.y};
    const double mk[2] = {-k[0], -k[1]};
    AddTriangle(membership, k, e2, e1);
    AddTriangle(membership, m2, m1, mk);
  }
  AddQuad(membership, e1, e2, m1, m2);
}

void CCustomizeRoad::BuildJunction(int membership, const double widths[5])
{
  const double L = *GetLength();
  const double W = *GetWidth();
  const double w1 = widths[0];
  const double w2 = widths[1];
  AddRectangle(membership, L, w1, 0, 0, 0);
  const double a = std::fabs(m_angle1);
  if (a == 0 || a >= 180 || a > 170)
    return;
  const double sign = m_angle1 > 0 ? 1.0 : -1.0;
  if (a == 90) {
    AddRectangle(membership, (W - w1) / 2, w2, m_angle1, 0, sign * (w1 + W) / 4);
    return;
  }
  const double gamma = a <= 90 ? a : 180 - a;
  const double flip = a <= 90 ? 1.0 : -1.0;
  const double s = std::sin(a * kDegree);
  const double c = std::cos(gamma * kDegree);
  const double near[2] = {flip * (c * w1 + w2) / (2 * s), sign * w1 / 2};
  const double far[2] = {flip * (c * w1 - w2) / (2 * s), sign * w1 / 2};
  AddStripToBoundary(membership, w2, m_angle1, near, far);
}

void CCustomizeRoad::BuildWidening(int membership, const double widths[5], double o)
{
  const double L = *GetLength();
  const double l = m_wideningLength;
  const double T1 = widths[0];
  const double T2 = widths[1];
  if (T1 == T2) {
    AddRectangle(membership, L, T1, 0, 0, 0);
    return;
  }
  const double Tn = std::min(T1, T2);
  const double Tw = std::max(T1, T2);
  const bool below = (m_wideningType & 0x1) != 0;
  const bool above = !below && (m_wideningType & 0x2) != 0;
  const bool both = !below && !above;
  const bool wideRight = T2 > T1;
  const double a = wideRight ? -l / 2 - o : l / 2 - o;
  const double f = wideRight ? l / 2 - o : -l / 2 - o;
  double e = Tn / 2;
  double lv = Tw / 2;
  if (!both) {
    e = wideRight ? T1 / 2 : T2 - T1 / 2;
    lv = wideRight ? T2 - T1 / 2 : T1 / 2;
  }
  // The narrow carriageway over the whole length, at its place.
  double narrowLow = -Tn / 2;
  if (below)
    narrowLow = T1 / 2 - Tn;
  else if (above)
    narrowLow = -T1 / 2;
  AddRectangle(membership, L, Tn, 0, 0, narrowLow + Tn / 2);
  const double stripLength = wideRight ? (L - l) / 2 + o : (L - l) / 2 - o;
  const double stripX = wideRight ? L / 2 - stripLength / 2 : -L / 2 + stripLength / 2;
  if (both) {
    const double band = (Tw - Tn) / 2;
    AddRectangle(membership, stripLength, band, 0, stripX, (Tn + Tw) / 4);
    AddRectangle(membership, stripLength, band, 0, stripX, -(Tn + Tw) / 4);
  } else {
    const double low = below ? T1 / 2 - Tw : narrowLow + Tn;
    AddRectangle(membership, stripLength, Tw - Tn, 0, stripX, low + (Tw - Tn) / 2);
  }
  if (both || below) {
    const double p0[2] = {a, -e};
    const double p1[2] = {f, -lv};
    const double p2[2] = {f, -e};
    AddTriangle(membership, p0, p1, p2);
  }
  if (both || above) {
    const double p3[2] = {a, e};
    const double p4[2] = {f, e};
    const double p5[2] = {f, lv};
    AddTriangle(membership, p3, p4, p5);
  }
}

void CCustomizeRoad::BuildRoundabout(int membership, const double widths[5], double rIn, double rOut)
{
  const double L = *GetLength();
  const double W = *GetWidth();
  IPrimitive* ring = NextShape(kShapeRingSector, membership);
  ring->SetSize2(2 * rOut);
  ring->SetInnerRadius(&rIn);
  const double full = 360.0;
  ring->SetSectorAngle(&full);
  ring->SetRotation(0);
  const int detail = ArcDetailFor(rOut);
  ring->SetArcDetail(&detail);
  const double origin[3] = {0, 0, 0};
  ring->SetCentre(origin);
  // How far along its axis a carriageway of width w enters the outer circle (0 when wider than the ring).
  auto entry = [rOut](double w) { return std::sqrt(std::max(0.0, rOut * rOut - (w / 2) * (w / 2))); };
  const double h1 = entry(widths[0]);
  AddRectangle(membership, L / 2 - h1, widths[0], 0, -(L / 2 + h1) / 2, 0);
  if (m_branchCount <= 1)
    return;
  for (int k = 1; k < std::min(m_branchCount, 5); ++k) {
    const double beta = m_junctionAngles[k];
    const double w = widths[k];
    const double h = entry(w);
    if (beta == 0) {
      AddRectangle(membership, L / 2 - h, w, 0, (L / 2 + h) / 2, 0);
    } else if (std::fabs(beta) == 180) {
      AddRectangle(membership, L / 2 - h, w, 0, -(L / 2 + h) / 2, 0);
    } else if (std::fabs(beta) == 90) {
      AddRectangle(membership, W / 2 - h, w, beta, 0, (beta > 0 ? 1 : -1) * (W / 2 + h) / 2);
    } else if (std::fabs(beta) < 180) {
      const double half = std::asin(std::min(1.0, w / (2 * rOut))) / kDegree;
      const double right[2] = {rOut * std::cos((beta - half) * kDegree), rOut * std::sin((beta - half) * kDegree)};
      const double left[2] = {rOut * std::cos((beta + half) * kDegree), rOut * std::sin((beta + half) * kDegree)};
      const bool mirrored = (beta < 0) != (std::fabs(beta) > 90);
      if (mirrored)
        AddStripToBoundary(membership, w, beta, left, right);
      else
        AddStripToBoundary(membership, w, beta, right, left);
    }
  }
}

void CCustomizeRoad::BuildLayer(int membership, const double widths[5], double rIn, double rOut, double offset)
{
  switch (*GetTypicalForm()) {
  case 1: BuildTurn(membership, widths[0]); break;
  case 2: BuildFork(membership, widths); break;
  case 3: BuildCrossing(membership, widths); break;
  case 4: BuildJunction(membership, widths); break;
  case 5: BuildWidening(membership, widths, offset); break;
  case 7: BuildRoundabout(membership, widths, rIn, rOut); break;
  default: break;
  }
}

void CCustomizeRoad::RenumberPrimitives()
{
  long number = 0;
  auto rename = [&](auto accept) {
    for (IPrimitive* p = m_firstPrimitive; p; p = p->GetNext()) {
      if (!accept(*p->GetMembership()))
        continue;
      CString name;
      name.Format("%s - %ld", static_cast<const char*>(LoadModelString(IDS_OBJ_PRIMITIVE)), ++number);
      p->SetName(&name);
    }
  };
  rename([](int m) { return m == kMemberCarriageway; });
  rename([](int m) { return m == kMemberSidewalk; });
  rename([](int m) { return m == kMemberBackground || m == kMemberUnnamed; });
}

int CCustomizeRoad::BuildTypicalForm()
{
  const int form = *GetTypicalForm();
  if (form != 1 && form != 2 && form != 3 && form != 4 && form != 5 && form != 7)
    return 1;
  if (m_firstPrimitive) {
    for (IPrimitive* p = LastPrimitive(); p != m_firstPrimitive;) {
      IPrimitive* before = p->GetPrev();
      UnlinkPrimitive(p);
      p->Release();
      p = before;
    }
  }
  m_reusable = m_firstPrimitive;

  double fittedW = 0;
  double fittedL = 0;
  FitArea(fittedW, fittedL);
  auto grow = [](double fitted, double current) {
    return fitted > current ? std::min(std::trunc(fitted + 0.5), kMaxAreaSize) : current;
  };
  const double W = grow(fittedW, *GetWidth());
  const double L = grow(fittedL, *GetLength());
  SetWidth(&W);
  SetLength(&L);

  const bool sidewalks = !(m_sidewalkState & 0x2) && m_sidewalkWidth != 0;
  const double s = m_sidewalkWidth;
  const double g = m_sidewalkGap;
  double k = 0;
  if (form == 5) {
    const double band = SidewalkBand();
    const double delta = (m_widths[1] + band) - (m_widths[0] + band);
    if (m_wideningLength != 0 || delta != 0)
      k = delta / (std::sqrt(delta * delta + m_wideningLength * m_wideningLength) + m_wideningLength);
  }
  double widths[5];
  if (sidewalks) {
    for (int i = 0; i < 5; ++i)
      widths[i] = m_widths[i] + 2 * g + 2 * s;
    BuildLayer(kMemberSidewalk, widths, m_innerRadius + g + s, m_outerRadius + g + s, (g + s) * k);
    if (g != 0) {
      for (int i = 0; i < 5; ++i)
        widths[i] = m_widths[i] + 2 * g;
      BuildLayer(kMemberBackground, widths, m_innerRadius + g, m_outerRadius + g, g * k);
    }
  }
  BuildLayer(kMemberCarriageway, m_widths, m_innerRadius, m_outerRadius, 0);
  // Should no shape have taken the kept primitive, it goes too.
  if (m_reusable) {
    IPrimitive* unused = m_reusable;
    m_reusable = nullptr;
    UnlinkPrimitive(unused);
    unused->Release();
  }
  RenumberPrimitives();
  return 0;
}

}  // namespace ObjectModel
