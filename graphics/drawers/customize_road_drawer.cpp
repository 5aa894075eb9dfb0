#include "graphics/drawers/customize_road_drawer.h"

#include "geometry/calc_area_manager.h"
#include "geometry/mesh/calc_surface.h"
#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/raster/raster_store.h"
#include "graphics/scene/scene_builder.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/ipole.h"
#include "model/iprimitive.h"
#include "model/iresults.h"
#include "model/primitive.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace ObjectModel;

constexpr int kLibraryDrawingBit = 0x1000;
constexpr int kTypicalFreeSite = 0;
constexpr int kTypicalMultiLevel = 8;
// Lifts between flat primitives: a step of the camera distance, small enough never to show as a gap.
constexpr double kLiftPerDistance = 1.0 / 8000;
constexpr int kStencilHole = 1;
constexpr int kStencilResults = 2;
constexpr int kStencilShading = 3;
constexpr int kDefaultArcDetail = 6;
constexpr int kOutlineColour = kColorActiveGroupMarker;
constexpr GLint kStippleFactor = 3;
constexpr GLushort kStipplePattern = 0xAAAA;
constexpr double kHandlePerDistance = 0.0035;
constexpr int kStateClosed = 0x8;
constexpr int kStateTwoPointOutline = 0x10;
constexpr int kStateVertexEditing = 0x20;
constexpr int kVertexSelected = 0x2;

struct Point2 {
  double x, y;
};

double CameraDistance()
{
  const CViewCamera* camera = CurrentViewCamera();
  return camera && camera->GetEye() ? std::fabs(camera->GetEye()->z) : 0;
}

bool CameraIn3D()
{
  const CViewCamera* camera = CurrentViewCamera();
  return camera && (camera->m_viewType & CViewCamera::kPerspective) != 0;
}

int ArcDetail(IPrimitive* primitive)
{
  const int* detail = primitive->GetArcDetail();
  return detail && *detail > 0 ? *detail : kDefaultArcDetail;
}

// The outline of a flat shape in its own frame, centred on the primitive's centre.
std::vector<Point2> ShapeOutline(IPrimitive* primitive, int shape)
{
  const double a = *primitive->GetSize2() / 2, b = *primitive->GetSize1() / 2;
  std::vector<Point2> points;
  if (shape == kShapeTriangle) {
    const double apex = *primitive->GetVertexOffset() * a;
    points = {{-a, -b}, {a, -b}, {apex, b}};
  } else if (shape == kShapeRectangle) {
    points = {{-a, b}, {-a, -b}, {a, -b}, {a, b}};
  } else if (shape == kShapeEllipse) {
    const int k = ArcDetail(primitive);
    const double step = std::numbers::pi / (2 * k);
    for (int i = 0; i < 4 * k; ++i)
      points.push_back({a * std::cos(i * step), -b * std::sin(i * step)});
  }
  return points;
}

void Polygon(const std::vector<Point2>& points, double z)
{
  glBegin(GL_POLYGON);
  glNormal3d(0, 0, 1);
  for (const Point2& p : points)
    glVertex3d(p.x, p.y, z);
  glEnd();
}

// A shading object: the top at 0, the walls down to minus its height, the bottom facing down.
void Prism(const std::vector<Point2>& points, double height)
{
  Polygon(points, 0);
  glBegin(GL_QUADS);
  for (size_t i = 0; i < points.size(); ++i) {
    const Point2& p = points[i];
    const Point2& q = points[(i + 1) % points.size()];
    glNormal3d(q.y - p.y, p.x - q.x, 0);
    glVertex3d(p.x, p.y, 0), glVertex3d(p.x, p.y, -height), glVertex3d(q.x, q.y, -height), glVertex3d(q.x, q.y, 0);
  }
  glEnd();
  glBegin(GL_POLYGON);
  glNormal3d(0, 0, -1);
  for (auto it = points.rbegin(); it != points.rend(); ++it)
    glVertex3d(it->x, it->y, -height);
  glEnd();
}

// Radians, never beyond a full turn: a damaged file's angle must not make the drawer walk round for ever.
double SectorAngle(IPrimitive* primitive)
{
  const double degrees = *primitive->GetSectorAngle();
  return std::clamp(std::isfinite(degrees) ? degrees : 0.0, 0.0, 360.0) * std::numbers::pi / 180;
}

// Whole steps over an angle, the last one clipped to it; a rounding error never adds a sliver.
int StepsOver(double angle, double step)
{
  return angle > 0 && step > 0 ? static_cast<int>(std::ceil(angle / step - 1e-9)) : 0;
}

void Wall(Point2 p, Point2 q, double height)
{
  glNormal3d(q.y - p.y, p.x - q.x, 0);
  glVertex3d(p.x, p.y, 0), glVertex3d(p.x, p.y, -height), glVertex3d(q.x, q.y, -height), glVertex3d(q.x, q.y, 0);
}

// Turned a further quarter, the sector runs from the primitive's y axis; as a prism (height above 0) its top at
// 0, its bottom at minus the height, walls on the arcs and, short of a full turn, on the radial edges.
void RingSector(IPrimitive* primitive, double height)
{
  const double outer = std::max(*primitive->GetSize1(), *primitive->GetSize2()) / 2;
  const double inner = std::max(0.0, *primitive->GetInnerRadius());
  const double sector = SectorAngle(primitive);
  const double step = 2 * std::numbers::pi / (17 * ArcDetail(primitive));
  auto at = [](double r, double t) { return Point2{r * std::cos(t), r * std::sin(t)}; };
  glRotated(90, 0, 0, 1);
  const int steps = StepsOver(sector, step);
  for (const double z : height > 0 ? std::vector<double>{0, -height} : std::vector<double>{0}) {
    for (int i = 0; i < steps; ++i) {
      const double a0 = i * step, a1 = std::min(a0 + step, sector);
      glBegin(GL_POLYGON);
      glNormal3d(0, 0, z < 0 ? -1 : 1);
      if (inner > 0)
        glVertex3d(at(inner, a0).x, at(inner, a0).y, z);
      glVertex3d(at(outer, a0).x, at(outer, a0).y, z);
      glVertex3d(at(outer, a1).x, at(outer, a1).y, z);
      if (inner > 0)
        glVertex3d(at(inner, a1).x, at(inner, a1).y, z);
      glEnd();
    }
  }
  if (height <= 0)
    return;
  glBegin(GL_QUADS);
  for (int i = 0; i < steps; ++i) {
    const double a0 = i * step, a1 = std::min(a0 + step, sector);
    Wall(at(outer, a0), at(outer, a1), height);
    if (inner > 0)
      Wall(at(inner, a1), at(inner, a0), height);
  }
  if (sector < 2 * std::numbers::pi) {
    Wall(at(inner, 0), at(outer, 0), height);
    Wall(at(outer, sector), at(inner, sector), height);
  }
  glEnd();
}

void LineStipple(bool on)
{
  if (on) {
    glLineStipple(kStippleFactor, kStipplePattern);
    glEnable(GL_LINE_STIPPLE);
  } else {
    glDisable(GL_LINE_STIPPLE);
  }
}

// Where the stencil holds results, lines show only outside the holes and shading footprints.
void StencilForLines()
{
  if (glIsEnabled(GL_STENCIL_TEST)) {
    glStencilFunc(GL_EQUAL, kStencilResults, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  }
}

void Disk(double x, double y, double radius)
{
  GLUquadric* quadric = gluNewQuadric();
  if (!quadric)
    return;
  glPushMatrix();
  glTranslated(x, y, 0);
  gluDisk(quadric, 0, radius, 15, 1);
  glPopMatrix();
  gluDeleteQuadric(quadric);
}

}  // namespace

ICustomizeRoadDrawer::ICustomizeRoadDrawer(CGraphicCoreFull* core)
    : m_document(core->GetContext()), m_palette(CScenePalette::GetInstance()),
      m_context(core, core->GetContext(), CScenePalette::GetInstance())
{
}

void CCustomizeRoadDrawer3D::Draw()
{
  void* found = nullptr;
  if (!m_document || FAILED(m_document->QueryInterface(IID_ActiveArea, &found)) || !found)
    return;
  auto* area = static_cast<IArea*>(found);
  int resultsValid = 0;
  {
    ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
    if (results && results->GetData())
      resultsValid = results->GetData()->valid;
  }
  DrawBackground(area);
  DrawPrimitives3D(area, m_context, resultsValid);
  area->Release();
}

void CCustomizeRoadDrawer3D::DrawBackground(IArea* area)
{
  glPushMatrix();
  if (CameraIn3D())
    glTranslated(0, 0, *area->GetBaseHeight());
  const int id = *area->GetUnderlayId();
  const CDibFromFile* raster =
      id != 0 && (id & kLibraryDrawingBit) == 0 && m_rasterSwitch ? CRasterStore::GetInstance()->Find(id) : nullptr;
  if (raster) {
    raster->Draw();
  } else {
    const double length = *area->GetLength(), width = *area->GetWidth();
    glDisable(GL_LIGHTING);
    m_palette->SetGLColor(kColorGap);
    glBegin(GL_QUADS);
    glVertex3d(length / 2, width / 2, 0);
    glVertex3d(length / 2, -width / 2, 0);
    glVertex3d(-length / 2, -width / 2, 0);
    glVertex3d(-length / 2, width / 2, 0);
    glEnd();
    glEnable(GL_LIGHTING);
  }
  glPopMatrix();
}

void FillPrimitiveGeometry(double geometry[11][3], IPrimitive* primitive)
{
  double centre[3] = {0, 0, 0};
  primitive->GetCentre(centre);
  double a = *primitive->GetSize2() / 2, b = *primitive->GetSize1() / 2;
  if (*primitive->GetShape() == kShapeRingSector)
    a = b = std::max(a, b);
  const double apex = (primitive->GetVertexOffset() ? *primitive->GetVertexOffset() : 0) * a;
  const double local[11][2] = {{0, 0}, {-a, b}, {-a, 0}, {-a, -b}, {0, -b}, {a, -b}, {a, 0}, {a, b},
                               {apex, b}, {0, b}, {0, 0}};
  const double turn = primitive->GetRotation() * std::numbers::pi / 180;
  const double c = std::cos(turn), s = std::sin(turn);
  std::copy(centre, centre + 3, geometry[0]);
  for (int i = 1; i < 11; ++i) {
    geometry[i][0] = local[i][0] * c - local[i][1] * s;
    geometry[i][1] = local[i][0] * s + local[i][1] * c;
    geometry[i][2] = 0;
  }
}

int FindSelectedVertex(const CArray<_CSPOINT3D>& outline)
{
  for (INT_PTR i = 0; i < outline.GetSize(); ++i)
    if (outline[i].flags & kVertexSelected)
      return static_cast<int>(i);
  return -1;
}

void DrawPointSegments(const CArray<_CSPOINT3D>& points, int first, int last, bool closing, double z)
{
  const int count = static_cast<int>(points.GetSize());
  if (count == 0 || first < 0 || last >= count)
    return;
  glBegin(GL_LINES);
  if (closing) {
    glVertex3d(points[last].x, points[last].y, z);
    glVertex3d(points[first].x, points[first].y, z);
  } else {
    for (int i = first; i < last; ++i) {
      glVertex3d(points[i].x, points[i].y, z);
      glVertex3d(points[i + 1].x, points[i + 1].y, z);
    }
  }
  glEnd();
}

void DrawSquare(double z, double half, const double centre[2])
{
  glBegin(GL_QUADS);
  glVertex3d(centre[0] - half, centre[1] - half, z);
  glVertex3d(centre[0] + half, centre[1] - half, z);
  glVertex3d(centre[0] + half, centre[1] + half, z);
  glVertex3d(centre[0] - half, centre[1] + half, z);
  glEnd();
}

void DrawVertexHandles(const CArray<_CSPOINT3D>& points, int count, const float colour[3], double half, double z)
{
  count = std::min(count, static_cast<int>(points.GetSize()));
  for (int i = 0; i < count; ++i) {
    const double centre[2] = {points[i].x, points[i].y};
    if (points[i].flags & kVertexSelected) {
      glColor3f(1, 1, 0);
      glBegin(GL_LINE_LOOP);
      glVertex3d(centre[0] - half, centre[1] - half, z);
      glVertex3d(centre[0] + half, centre[1] - half, z);
      glVertex3d(centre[0] + half, centre[1] + half, z);
      glVertex3d(centre[0] - half, centre[1] + half, z);
      glEnd();
    } else {
      glColor3fv(colour);
      DrawSquare(z, half, centre);
    }
  }
}

void DrawDashedContour(IPrimitive* primitive, bool closing)
{
  CArray<_CSPOINT3D>* contour = nullptr;
  const double* offset = primitive->GetContourOffset();
  if (primitive->GetContour(&contour) != 0 || !contour || contour->GetSize() <= 2 || !offset || *offset <= 0)
    return;
  const int last = static_cast<int>(contour->GetSize()) - 1;
  DrawPointSegments(*contour, 0, last, false, 0);
  if (closing)
    DrawPointSegments(*contour, 0, last, true, 0);
}

void DrawVertexPrimitive(CPrimitiveDrawContext& context, IPrimitive* primitive, bool outlineOnly, bool selected,
                         bool contour, int resultsValid, bool shading)
{
  double centre[3] = {0, 0, 0};
  primitive->GetCentre(centre);
  if (!outlineOnly) {
    if (auto* surface = dynamic_cast<::CPrimitiveCalcSurface*>(primitive->GetMeshHelper())) {
      surface->Draw(true);
    } else {
      // The mesh's triangles stand in area coordinates; the caller has moved to the primitive's centre.
      for (IPrimitive* piece = primitive->GetFirstChild(); piece; piece = piece->GetNext()) {
        _PRIMITIVE_INFO_1 info{};
        piece->GetInfo(&info);
        std::vector<Point2> corners;
        for (int k = 0; k < 3; ++k)
          corners.push_back({info.points[k][0] - centre[0], info.points[k][1] - centre[1]});
        if (shading)
          Prism(corners, centre[2]);
        else
          Polygon(corners, 0);
      }
    }
  }

  CArray<_CSPOINT3D>* outline = nullptr;
  if (primitive->GetOutline(&outline) != 0 || !outline)
    return;
  const int count = static_cast<int>(outline->GetSize());
  const int state = *primitive->GetState();
  if (count == 0 || (count <= 2 && !(state & kStateTwoPointOutline)) || !(selected || contour))
    return;
  const bool in3D = CameraIn3D();
  const bool closed = (state & kStateClosed) != 0;
  glPushMatrix();
  if (!outlineOnly)
    glTranslated(-centre[0], -centre[1], 0);  // the outline stands in area coordinates
  glDisable(GL_LIGHTING);
  context.m_palette->SetGLColor(kOutlineColour);
  // The fill left the stencil refusing every fragment: an outline edited over results would not show.
  if (resultsValid)
    StencilForLines();
  if (state & kStateVertexEditing) {
    const int chosen = FindSelectedVertex(*outline);
    DrawPointSegments(*outline, 0, chosen >= 0 ? chosen : count - 1, false, 0);
    if (chosen >= 0 && chosen + 1 < count)
      DrawPointSegments(*outline, chosen + 1, count - 1, false, 0);
    if (closed)
      DrawPointSegments(*outline, 0, count - 1, true, 0);
    _PREF_OF_COLOR own{};
    primitive->GetDrawColour(&own);
    const float colour[3] = {static_cast<float>(own.r), static_cast<float>(own.g), static_cast<float>(own.b)};
    const double half = context.m_document ? context.m_document->GetMarkerSize() : 0;
    DrawVertexHandles(*outline, count, colour, half, 0);
  } else if (!in3D) {
    LineStipple(true);
    DrawPointSegments(*outline, 0, count - 1, false, 0);
    if (closed)
      DrawPointSegments(*outline, 0, count - 1, true, 0);
    DrawDashedContour(primitive, closed);
    LineStipple(false);
    if (!resultsValid) {
      glDisable(GL_DEPTH_TEST);
      context.m_palette->SetGLColor(kOutlineColour);
      float colour[3] = {0, 0, 0};
      context.m_palette->GetColor(kOutlineColour, &colour[0], &colour[1], &colour[2]);
      const double half = context.m_document ? context.m_document->GetMarkerSize() : 0;
      DrawVertexHandles(*outline, count, colour, half, 0);
      glEnable(GL_DEPTH_TEST);
    }
  }
  glPopMatrix();
}

void DrawPrimitiveHandles(CPrimitiveDrawContext& context, IPrimitive* primitive, bool selected)
{
  StencilForLines();
  context.m_palette->SetGLColor(kOutlineColour);
  const double q = std::fabs(CameraDistance() * kHandlePerDistance);
  LineStipple(true);
  _PRIMITIVE_INFO_1 info{};
  primitive->GetCalcInfo(&info);
  double centre[3] = {0, 0, 0};
  primitive->GetCentre(centre);
  if (selected) {
    for (int i = 0; i < 8; ++i)
      DrawSquare(0, q, info.points[i]);
    glBegin(GL_LINES);
    glVertex3d(info.points[4][0], info.points[4][1], 0);
    glVertex3d(info.points[8][0], info.points[8][1], 0);
    glEnd();
    Disk(centre[0], centre[1], 1.5 * q);
    Disk(info.points[8][0], info.points[8][1], 1.5 * q);
  }
  double g[11][3];
  FillPrimitiveGeometry(g, primitive);
  auto square = [&](const double* relative) {
    const double at[2] = {centre[0] + relative[0], centre[1] + relative[1]};
    DrawSquare(0, q, at);
  };
  const int shape = *primitive->GetShape();
  if (shape == kShapeTriangle) {
    square(g[3]), square(g[5]), square(g[8]);
  } else if (shape == kShapeRectangle) {
    for (const int i : {1, 3, 5, 7, 2, 4, 6, 9})
      square(g[i]);
  } else if (shape == kShapeEllipse) {
    for (const int i : {2, 4, 6, 9})
      square(g[i]);
  } else if (shape == kShapeRingSector) {
    const double outer = std::max(*primitive->GetSize1(), *primitive->GetSize2()) / 2;
    const double sector = *primitive->GetSectorAngle();
    const double start = (primitive->GetRotation() + 90) * std::numbers::pi / 180;
    for (int k = 0; k < 4; ++k) {
      if (k > 0 && sector < 90.0 * k)
        break;
      const double t = start + k * std::numbers::pi / 2;
      const double at[2] = {outer * std::cos(t), outer * std::sin(t)};
      square(at);
    }
  }
  Disk(centre[0], centre[1], 1.5 * q);
  LineStipple(false);
}

void DrawPrimitiveOutline(CPrimitiveDrawContext& context, bool selected, bool contour, double z,
                          IPrimitive* primitive)
{
  glDisable(GL_LIGHTING);
  StencilForLines();
  context.m_palette->SetGLColor(kOutlineColour);
  glPushMatrix();
  glTranslated(0, 0, z);
  const int shape = *primitive->GetShape();
  if (IsPolygonShape(shape)) {
    DrawVertexPrimitive(context, primitive, true, selected, contour, glIsEnabled(GL_STENCIL_TEST), false);
  } else {
    if (selected || contour)
      DrawPrimitiveHandles(context, primitive, selected);
    context.m_palette->SetGLColor(kOutlineColour);
    LineStipple(true);
    double centre[3] = {0, 0, 0};
    primitive->GetCentre(centre);
    glTranslated(centre[0], centre[1], 0);
    glRotated(primitive->GetRotation(), 0, 0, 1);
    const double a = *primitive->GetSize2() / 2, b = *primitive->GetSize1() / 2;
    const int k = ArcDetail(primitive);
    if (shape == kShapeTriangle || shape == kShapeRectangle || shape == kShapeEllipse) {
      glBegin(GL_LINE_LOOP);
      for (const Point2& p : ShapeOutline(primitive, shape))
        glVertex3d(p.x, p.y, 0);
      glEnd();
      if (shape == kShapeRectangle) {
        glRotated(-primitive->GetRotation(), 0, 0, 1);
        glTranslated(-centre[0], -centre[1], 0);
        DrawDashedContour(primitive, true);
      }
    } else if (shape == kShapeRingSector) {
      const double outer = std::max(a, b);
      const double inner = std::max(0.0, *primitive->GetInnerRadius());
      const double sector = SectorAngle(primitive);
      const double step = 2 * std::numbers::pi / (8 * k);
      glRotated(90, 0, 0, 1);
      const int steps = StepsOver(sector, step);
      auto arc = [&](double r) {
        glBegin(GL_LINE_STRIP);
        for (int i = 0; i <= steps; ++i) {
          const double u = std::min(i * step, sector);
          glVertex3d(r * std::cos(u), r * std::sin(u), 0);
        }
        glEnd();
      };
      arc(outer);
      if (inner > 0)
        arc(inner);
      if (sector < 2 * std::numbers::pi) {
        glBegin(GL_LINES);
        glVertex3d(inner, 0, 0), glVertex3d(outer, 0, 0);
        glVertex3d(inner * std::cos(sector), inner * std::sin(sector), 0);
        glVertex3d(outer * std::cos(sector), outer * std::sin(sector), 0);
        glEnd();
      }
    }
  }
  glPopMatrix();
  LineStipple(false);
  glEnable(GL_LIGHTING);
}

void DrawPrimitives3D(IArea* area, CPrimitiveDrawContext& context, int resultsValid)
{
  const int typical = area->GetTypicalForm() ? *area->GetTypicalForm() : -1;
  const bool interchange = typical == kTypicalMultiLevel;
  const bool in3D = CameraIn3D();
  const bool stencil = resultsValid && !interchange;
  if (stencil)
    glEnable(GL_STENCIL_TEST);
  const double camera = CameraDistance();
  const double liftStep = camera * kLiftPerDistance;
  context.m_lift = liftStep;
  const bool blend = context.m_transparent && !in3D && !resultsValid;
  if (blend) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  const bool contour = context.m_document && context.m_document->IsContourOfPrim() &&
                       (typical == kTypicalFreeSite || typical == kTypicalMultiLevel);
  int previousMembership = -1;
  ModelRef<IPrimitive> first(area, IID_IPrimitive);
  for (IPrimitive* primitive = first.get(); primitive; primitive = primitive->GetNext()) {
    const int state = *primitive->GetState();
    if ((state & kStateShown) == 0)
      continue;
    const int membership = *primitive->GetMembership();
    const int shape = *primitive->GetShape();
    const bool shading = membership == kMemberShading;
    const bool selected = CSceneBuilder::IsSelected(primitive);
    double centre[3] = {0, 0, 0};
    primitive->GetCentre(centre);
    const double height = centre[2] + (selected ? context.m_selectedRaise : 0);

    _PREF_OF_COLOR colour{};
    primitive->GetDrawColour(&colour);
    const bool lit = shading && !selected && in3D;
    if (lit) {
      glEnable(GL_LIGHTING);
      context.m_palette->ApplyMaterialColor(colour.r, colour.g, colour.b, context.m_alpha);
    } else {
      glDisable(GL_LIGHTING);
      glColor4d(colour.r, colour.g, colour.b, context.m_alpha);
    }
    if (stencil) {
      glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
      if (shading) {
        glStencilFunc(GL_ALWAYS, kStencilShading, 0xFF);
      } else {
        // Carriageways, sidewalks and markings only mark where results may show; the background cuts holes.
        glStencilFunc(GL_NEVER, membership == kMemberBackground ? kStencilHole : kStencilResults, 0xFF);
      }
    } else if (membership == kMemberBackground || membership != previousMembership) {
      context.m_lift += liftStep;
    }
    previousMembership = membership;

    glPushMatrix();
    glTranslated(centre[0], centre[1], height + context.m_lift);
    if (shading)
      glTranslated(0, 0, primitive->GetBaseHeight());
    if (IsPolygonShape(shape)) {
      DrawVertexPrimitive(context, primitive, false, selected, contour, resultsValid, shading && in3D);
    } else {
      glRotated(primitive->GetRotation(), 0, 0, 1);
      if (shape == kShapeRingSector) {
        RingSector(primitive, shading && in3D ? centre[2] : 0);
      } else {
        const std::vector<Point2> outline = ShapeOutline(primitive, shape);
        if (shading && in3D)
          Prism(outline, centre[2]);
        else
          Polygon(outline, 0);
      }
    }
    glPopMatrix();
    if (!in3D && (contour || selected))
      DrawPrimitiveOutline(context, selected, contour, camera, primitive);
  }
  if (blend) {
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
  }
  glEnable(GL_LIGHTING);
  if (stencil) {
    glStencilFunc(GL_EQUAL, kStencilResults, kStencilResults);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    if (context.m_manager) {
      glPushMatrix();
      glTranslated(0, 0, context.m_lift);
      glDisable(GL_LIGHTING);
      context.m_manager->Draw();
      glDisable(GL_STENCIL_TEST);
      if (context.m_manager->GetDisplayMode() == 2)
        context.m_manager->DrawNodeValues();
      glPopMatrix();
    }
    glDisable(GL_STENCIL_TEST);
  }
}
