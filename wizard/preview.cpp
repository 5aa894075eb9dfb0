#include "wizard/preview.h"

#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iprimitive.h"
#include "model/iroad.h"
#include "model/number_text.h"
#include "platform/gdiplus/gdiplus.h"
#include "platform/gdiplus/gdiplus_holder.h"
#include "wizard/page.h"

#include <algorithm>
#include <cmath>

namespace Wizard {

namespace {

// Bezier handle length of a quarter ellipse.
constexpr double kBezierQuarter = 0.55228475;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

RECT ClientRectOf(CWnd* page, int id)
{
  RECT r{};
  if (CWnd* control = page->GetDlgItem(id)) {
    control->GetWindowRect(&r);
    page->ScreenToClient(&r);
  }
  return r;
}

RECT PictureRect(CWnd* page, const RECT& reference)
{
  RECT client{};
  page->GetClientRect(&client);
  const RECT line = ClientRectOf(page, kHeaderLine);
  return RECT{reference.right, line.top, client.right, client.bottom};
}

void FillBand(CDC& dc, int left, int top, int right, int bottom, COLORREF colour)
{
  if (top > bottom)
    std::swap(top, bottom);
  dc.FillSolidRect(left, top, right - left, bottom - top, colour);
}

void Line(CDC& dc, int x1, int y1, int x2, int y2)
{
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
}

// The carriageway band, the lane lines and the sidewalks of one span; the edges of the whole cross-section.
struct SpanEdges {
  PicturePlan plan;
  int roadTop = 0;
  int roadBottom = 0;
  int upper = 0;
  int lower = 0;
};

SpanEdges PaintSpan(CDC& dc, const PictureBox& box, const RoadSpan& span)
{
  SpanEdges edges;
  const double D = CarriagewayWidth(span);
  const double T = CrossSectionWidth(span);
  edges.plan = PlaceInBox(box, span.spacing, T);
  const PicturePlan& p = edges.plan;
  const double k = p.metresPerPixel;
  if (k <= 0)
    return edges;
  const int halfRoad = static_cast<int>(D / (2 * k));
  edges.roadTop = p.cy - halfRoad;
  edges.roadBottom = p.cy + halfRoad;
  FillBand(dc, p.left, edges.roadTop, p.right, edges.roadBottom, kPictureGrey);

  CPen solid(PS_SOLID, 1, kPictureWhite);
  CPen dashed(PS_DASH, 1, kPictureWhite);
  CPen* oldPen = dc.SelectObject(&solid);
  Line(dc, p.left, edges.roadBottom, p.right, edges.roadBottom);
  if (span.twoWay) {
    int s = 0;
    if (span.divider) {
      s = static_cast<int>(span.dividerWidth / (2 * k));
      Line(dc, p.left, p.cy + s, p.right, p.cy + s);
      Line(dc, p.left, p.cy - s, p.right, p.cy - s);
    } else {
      Line(dc, p.left, p.cy, p.right, p.cy);
    }
    dc.SelectObject(&dashed);
    for (int i = 1; i < span.lanes; ++i) {
      const int offset = static_cast<int>(i * span.laneWidth / k);
      Line(dc, p.left, p.cy + offset + s, p.right, p.cy + offset + s);
      Line(dc, p.left, p.cy - offset - s, p.right, p.cy - offset - s);
    }
  } else {
    dc.SelectObject(&dashed);
    for (int i = 1; i < span.lanes; ++i) {
      const int y = edges.roadBottom - static_cast<int>(i * span.laneWidth / k);
      Line(dc, p.left, y, p.right, y);
    }
  }
  dc.SelectObject(oldPen);

  edges.upper = edges.roadTop;
  edges.lower = edges.roadBottom;
  if (span.sidewalk) {
    const int inner = static_cast<int>((D / 2 + span.gap) / k);
    const int outer = static_cast<int>((D / 2 + span.gap + span.sidewalkWidth) / k);
    FillBand(dc, p.left, p.cy + inner + 1, p.right, p.cy + outer + 1, kPictureGrey);
    FillBand(dc, p.left, p.cy - outer - 1, p.right, p.cy - inner - 1, kPictureGrey);
    if (span.gap != 0) {
      FillBand(dc, p.left, edges.roadBottom, p.right, p.cy + inner + 1, kPictureGreen);
      FillBand(dc, p.left, p.cy - inner - 1, p.right, edges.roadTop, kPictureGreen);
    }
    edges.lower = p.cy + outer + 1;
    edges.upper = p.cy - outer - 1;
  }
  return edges;
}

}  // namespace

PicturePlan PlaceInBox(const PictureBox& box, double x, double y)
{
  PicturePlan plan;
  const double e = std::max(x, y);
  if (e <= 0 || box.width <= 0 || box.height <= 0)
    return plan;
  const int hx = static_cast<int>((x / 2) / (e / box.width));
  plan.cx = box.x0 + box.width / 2;
  plan.left = plan.cx - hx;
  plan.right = plan.cx + hx;
  const double k = e / box.height;
  plan.metresPerPixel = k;
  plan.cy = box.y0 + box.height / 2 - static_cast<int>(box.height / 2 - y / (2 * k));
  const int hy = static_cast<int>((y / 2) / k);
  plan.top = plan.cy - hy;
  plan.bottom = plan.cy + hy;
  return plan;
}

PictureBox BoxBesideGroup(CWnd* page, int referenceId, RECT* pictureRect)
{
  RECT client{};
  page->GetClientRect(&client);
  const RECT reference = ClientRectOf(page, referenceId);
  const RECT line = ClientRectOf(page, kHeaderLine);
  const int m = reference.top - line.top;
  PictureBox box;
  box.x0 = reference.right + 5 * m;
  box.width = client.right - reference.right - 6 * m;
  box.y0 = reference.top;
  box.height = client.bottom - 3 * m - box.y0;
  if (pictureRect)
    *pictureRect = PictureRect(page, reference);
  return box;
}

PictureBox BoxBesideCombo(CWnd* page, int referenceId, RECT* pictureRect)
{
  RECT client{};
  page->GetClientRect(&client);
  const RECT reference = ClientRectOf(page, referenceId);
  const RECT line = ClientRectOf(page, kHeaderLine);
  const int m = (reference.top - line.top) / 3 - 1;
  PictureBox box;
  box.x0 = reference.right + 9 * m + 7;
  box.width = client.right - m - box.x0;
  box.y0 = line.top + m;
  box.height = client.bottom - 3 * m - box.y0;
  if (pictureRect)
    *pictureRect = PictureRect(page, reference);
  return box;
}

void CreateLabelFont(CFont& font)
{
  font.CreateFont(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "MS Shell Dlg");
}

CString DimensionLabel(double value)
{
  CString text;
  text.Format("%.2lf", value);
  return NormalizeNumberText(text);
}

void DrawHorizontalDimension(CDC& dc, CFont& labelFont, int left, int right, int y, const CString& label)
{
  CPen pen(PS_SOLID, 1, kPictureBlack);
  CPen* oldPen = dc.SelectObject(&pen);
  Line(dc, left, y + 5, left, y + 20);
  Line(dc, right, y + 5, right, y + 20);
  Line(dc, left - 5, y + 15, right + 5, y + 15);
  Line(dc, left - 2, y + 13, left + 3, y + 18);
  Line(dc, right - 2, y + 13, right + 3, y + 18);
  CFont* oldFont = dc.SelectObject(&labelFont);
  const CSize extent = dc.GetTextExtent(label);
  dc.SetTextColor(kPictureBlack);
  dc.TextOut(left + (right - left) / 2 - extent.cx / 2, y + 1, label);
  dc.SelectObject(oldFont);
  dc.SelectObject(oldPen);
}

void DrawVerticalDimension(CDC& dc, CFont& labelFont, int left, int top, int bottom, const CString& label)
{
  CPen pen(PS_SOLID, 1, kPictureBlack);
  CPen* oldPen = dc.SelectObject(&pen);
  Line(dc, left - 20, top, left - 5, top);
  Line(dc, left - 20, bottom, left - 5, bottom);
  Line(dc, left - 15, top - 5, left - 15, bottom + 5);
  Line(dc, left - 17, top - 2, left - 12, top + 3);
  Line(dc, left - 17, bottom - 2, left - 12, bottom + 3);

  CFont* oldFont = dc.SelectObject(&labelFont);
  const CSize extent = dc.GetTextExtent(label);
  LOGFONTA logFont{};
  labelFont.GetLogFont(&logFont);
  logFont.lfEscapement = 900;
  logFont.lfOrientation = 900;
  logFont.lfWidth = 0;
  logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  CFont upright;
  upright.CreateFontIndirect(&logFont);
  dc.SelectObject(&upright);
  dc.SetTextColor(kPictureBlack);
  dc.TextOut(left - extent.cy - 14, top + (bottom - top) / 2 + extent.cx / 2, label);
  dc.SelectObject(oldFont);
  upright.DeleteObject();
  dc.SelectObject(oldPen);
}

void FillHeaderBand(CWnd* page, CDC& dc)
{
  RECT client{};
  page->GetClientRect(&client);
  const RECT line = ClientRectOf(page, kHeaderLine);
  dc.FillSolidRect(0, client.top, client.right, line.top - client.top, kPictureWhite);
}

void FillBezierEllipse(POINT centre, int semiAxisX, int semiAxisY, double rotationDegrees, CDC* dc)
{
  const double a = semiAxisX;
  const double b = semiAxisY;
  const double K = kBezierQuarter;
  const double outline[13][2] = {{a, 0},      {a, K * b},  {K * a, b},   {0, b},      {-K * a, b},
                                 {-a, K * b}, {-a, 0},     {-a, -K * b}, {-K * a, -b}, {0, -b},
                                 {K * a, -b}, {a, -K * b}, {a, 0}};
  const double c = std::cos(rotationDegrees * kDegree);
  const double s = std::sin(rotationDegrees * kDegree);
  POINT points[13];
  for (int i = 0; i < 13; ++i) {
    const double x = outline[i][0];
    const double y = outline[i][1];
    points[i].x = static_cast<LONG>(centre.x + x * c - y * s);
    points[i].y = static_cast<LONG>(centre.y + x * s + y * c);
  }
  dc->BeginPath();
  dc->PolyBezier(points, 13);
  dc->EndPath();
  dc->FillPath();
}

void FillRingSector(double cx, double cy, double outerX, double outerY, double innerRadius, double rotationDegrees,
                    double sectorDegrees, CDC* dc)
{
  GdiPlusClass gdiplus;
  const auto x = static_cast<REAL>((cx - outerX) * 1000);
  const auto y = static_cast<REAL>((cy - outerY) * 1000);
  const auto width = static_cast<REAL>(2 * outerX * 1000);
  const auto height = static_cast<REAL>(2 * outerY * 1000);
  const auto t = static_cast<REAL>((outerX - innerRadius) * 1000);
  const auto start = static_cast<REAL>(rotationDegrees + 90);
  const auto sweep = static_cast<REAL>(sectorDegrees);
  GpGraphics* graphics = nullptr;
  if (GdipCreateFromHDC(dc->GetSafeHdc(), &graphics) != Ok)
    return;
  GpPath* path = nullptr;
  GdipCreatePath(FillModeAlternate, &path);
  GdipAddPathArc(path, x, y, width, height, start, sweep);
  GdipAddPathArc(path, x + t, y + t, width - 2 * t, height - 2 * t, start + sweep, -sweep);
  GdipClosePathFigure(path);
  const COLORREF colour = ::GetDCBrushColor(dc->GetSafeHdc());
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(MakeARGB(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)), &brush);
  GdipFillPath(graphics, brush, path);
  GdipDeleteBrush(brush);
  GdipDeletePath(path);
  GdipDeleteGraphics(graphics);
}

void DrawPrimitives(IArea* area, CDC* dc, const RECT&)
{
  if (!IsOfClass(area, CLSID_CCustomizeRoad) && !IsOfClass(area, CLSID_CCustomizeRoad3D))
    return;
  ModelRef<IPrimitive> first(area, IID_IPrimitive);
  if (!first)
    return;
  CGdiObject* oldPen = dc->SelectStockObject(DC_PEN);
  CGdiObject* oldBrush = dc->SelectStockObject(DC_BRUSH);
  const struct {
    int membership;
    COLORREF colour;
  } passes[] = {{2, kPictureGrey}, {0, kPictureGreen}, {1, kPictureGrey}};
  for (const auto& pass : passes) {
    dc->SetDCPenColor(pass.colour);
    dc->SetDCBrushColor(pass.colour);
    for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
      if (*primitive->GetMembership() != pass.membership)
        continue;
      _PRIMITIVE_INFO_1 info{};
      InitPrimitiveInfo(&info);
      primitive->GetCalcInfo(&info);
      auto mm = [](double metres) { return static_cast<LONG>(metres * 1000); };
      switch (*primitive->GetShape()) {
      case 0: {
        const POINT corners[3] = {{mm(info.points[0][0]), mm(info.points[0][1])},
                                  {mm(info.points[1][0]), mm(info.points[1][1])},
                                  {mm(info.extraPoint[0]), mm(info.extraPoint[1])}};
        dc->Polygon(corners, 3);
        break;
      }
      case 1: {
        POINT corners[4];
        for (int i = 0; i < 4; ++i)
          corners[i] = {mm(info.points[i][0]), mm(info.points[i][1])};
        dc->Polygon(corners, 4);
        break;
      }
      case 2:
        FillBezierEllipse({mm(info.centre[0]), mm(info.centre[1])}, static_cast<int>(mm(*primitive->GetSize2() / 2)),
                          static_cast<int>(mm(*primitive->GetSize1() / 2)), primitive->GetRotation(), dc);
        break;
      case 3:
        FillRingSector(info.centre[0], info.centre[1], *primitive->GetSize2() / 2, *primitive->GetSize1() / 2,
                       *primitive->GetInnerRadius(), primitive->GetRotation(), *primitive->GetSectorAngle(), dc);
        break;
      default: break;  // vertex lists are not drawn
      }
    }
  }
  dc->SelectObject(oldBrush);
  dc->SelectObject(oldPen);
}

void DrawArmMark(CBrush& brush, int armLength, CDC* dc, bool up, POINT foot)
{
  const int x = foot.x;
  const int y = foot.y;
  const int o = armLength;
  if (up) {
    const RECT arm{x, y - o, x + 1, y};
    const RECT luminaire{x - 2, y - o - 8, x + 3, y - o};
    dc->FillRect(&arm, &brush);
    dc->FillRect(&luminaire, &brush);
  } else {
    const RECT arm{x, y, x + 1, y + o};
    const RECT luminaire{x - 2, y + o, x + 3, y + o + 8};
    dc->FillRect(&arm, &brush);
    dc->FillRect(&luminaire, &brush);
  }
}

void PaintAreaPicture(CWnd* page, CDC& dc, CFont& labelFont, double lengthM, double widthM, IArea* area,
                      RECT* pictureRect)
{
  dc.SetBkMode(TRANSPARENT);
  FillHeaderBand(page, dc);
  const PictureBox box = BoxBesideGroup(page, 1053, pictureRect);
  const PicturePlan p = PlaceInBox(box, lengthM, widthM);
  if (p.metresPerPixel <= 0)
    return;
  FillBand(dc, p.left, p.top, p.right, p.bottom, kPictureGreen);
  DrawHorizontalDimension(dc, labelFont, p.left, p.right, p.bottom, DimensionLabel(lengthM));
  DrawVerticalDimension(dc, labelFont, p.left, p.top, p.bottom, DimensionLabel(widthM));
  if (!area)
    return;

  const int savedState = dc.SaveDC();
  CRgn clip;
  clip.CreateRectRgn(p.left, p.top, p.right, p.bottom);
  dc.SelectClipRgn(&clip);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(static_cast<int>(lengthM * 1000), static_cast<int>(widthM * 1000));
  dc.SetViewportExt(p.right - p.left, p.top - p.bottom);
  dc.SetViewportOrg(p.cx, p.cy);
  const RECT picture{p.left, p.top, p.right, p.bottom};
  DrawPrimitives(area, &dc, picture);
  dc.RestoreDC(savedState);
  clip.DeleteObject();
}

void LoadRoadSpan(IArea* area, RoadSpan& span)
{
  ModelRef<IRoad> road(area, IID_IRoad);
  ModelRef<IPavement> pavement(area, IID_IPavement);
  if (!road || !pavement)
    return;
  road->UpdateAreaWidth();
  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
  if (group)
    span.spacing = *group->GetStep();
  span.roadState = *road->GetState();
  span.sidewalkFlags = *pavement->GetFlags();
  span.twoWay = road->IsTwoWay() ? 1 : 0;
  span.lanes = static_cast<int>(road->GetLaneCount(&kLaneMain));
  span.laneWidth = road->GetLaneWidth(&kLaneMain);
  if (span.twoWay) {
    span.divider = road->HasDivider() ? 1 : 0;
    span.dividerWidth = span.divider ? road->GetLaneWidth(&kLaneDivider) : 0;
  } else {
    span.divider = 0;
    span.dividerWidth = 0;
  }
  span.sidewalk = (span.sidewalkFlags & kSideAbsent) ? 0 : 1;
  span.sidewalkWidth = 0;
  span.gap = 0;
  if (span.sidewalk) {
    ModelRef<ILineOfRoad> right(pavement.get(), IID_RightPavement);
    if (right) {
      span.sidewalkWidth = *right->GetWidth();
      span.gap = *right->GetGap();
    }
  }
}

double CarriagewayWidth(const RoadSpan& span)
{
  return (span.twoWay ? 2 : 1) * span.lanes * span.laneWidth + (span.divider ? span.dividerWidth : 0);
}

double CrossSectionWidth(const RoadSpan& span)
{
  const double d = CarriagewayWidth(span);
  return span.sidewalk ? d + 2 * (span.sidewalkWidth + span.gap) : d;
}

void PaintRoadPicture(CWnd* page, CDC& dc, CFont& labelFont, const RoadSpan& span, RECT* pictureRect)
{
  dc.SetBkMode(TRANSPARENT);
  FillHeaderBand(page, dc);
  const PictureBox box = BoxBesideGroup(page, 1053, pictureRect);
  const SpanEdges edges = PaintSpan(dc, box, span);
  if (edges.plan.metresPerPixel <= 0)
    return;
  DrawVerticalDimension(dc, labelFont, edges.plan.left, edges.upper, edges.lower,
                        DimensionLabel(CrossSectionWidth(span)));
}

void PaintSchemePicture(CWnd* page, CDC& dc, CFont& labelFont, const RoadSpan& span, int arrangement, IArea* area,
                        RECT* pictureRect)
{
  dc.SetBkMode(TRANSPARENT);
  FillHeaderBand(page, dc);
  const PictureBox box = BoxBesideCombo(page, 1034, pictureRect);
  const SpanEdges edges = PaintSpan(dc, box, span);
  const PicturePlan& pl = edges.plan;
  const double k = pl.metresPerPixel;
  if (k <= 0)
    return;

  ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
  ModelRef<IPole> pole(group.get(), IID_IPole);
  if (group && pole) {
    const int p = static_cast<int>(*pole->GetSetback() / k);
    const int o = static_cast<int>(pole->GetOutreach(*group->GetMountingKind()) / k);
    CBrush yellow(kPictureYellow);
    const int left = pl.left;
    const int right = pl.right;
    const int top = edges.roadTop;
    const int bottom = edges.roadBottom;
    auto rightSide = [&] {
      DrawArmMark(yellow, o, &dc, true, {left, bottom + p});
      DrawArmMark(yellow, o, &dc, true, {right, bottom + p});
    };
    auto leftSide = [&] {
      DrawArmMark(yellow, o, &dc, false, {left, top - p});
      DrawArmMark(yellow, o, &dc, false, {right, top - p});
    };
    switch (arrangement) {
    case 0: rightSide(); break;
    case 1: leftSide(); break;
    case 2:
      rightSide();
      leftSide();
      break;
    case 3:
      DrawArmMark(yellow, o, &dc, false, {left + (right - left) / 2, top - p});
      rightSide();
      break;
    case 4: {
      const int ym = top + (bottom - top) / 2;
      DrawArmMark(yellow, o, &dc, true, {left, ym});
      DrawArmMark(yellow, o, &dc, true, {right, ym});
      DrawArmMark(yellow, o, &dc, false, {left, ym});
      DrawArmMark(yellow, o, &dc, false, {right, ym});
      break;
    }
    case 5: {
      const RECT columns[4] = {{left, top, left + 1, bottom},
                               {right - 1, top, right, bottom},
                               {left - 2, bottom - p - 8, left + 3, bottom - p},
                               {right - 3, bottom - p - 8, right + 2, bottom - p}};
      for (const RECT& r : columns)
        dc.FillRect(&r, &yellow);
      break;
    }
    default: break;
    }
    yellow.DeleteObject();
  }
  DrawHorizontalDimension(dc, labelFont, pl.left, pl.right, edges.lower, DimensionLabel(span.spacing));
  DrawVerticalDimension(dc, labelFont, pl.left, edges.upper, edges.lower, DimensionLabel(CrossSectionWidth(span)));
}

}  // namespace Wizard
