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
#include "model/iprimitive.h"
#include "model/iresults.h"
#include "model/primitive.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace ObjectModel;

constexpr int kLibraryDrawingBit = 0x1000;
constexpr int kTypicalMultiLevel = 8;
// Lifts between flat primitives: a step of the camera distance, small enough never to show as a gap.
constexpr double kLiftPerDistance = 1.0 / 8000;
constexpr int kStencilHole = 1;
constexpr int kStencilResults = 2;
constexpr int kStencilShading = 3;
constexpr int kDefaultArcDetail = 6;

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
    const int* detail = primitive->GetArcDetail();
    const int k = detail && *detail > 0 ? *detail : kDefaultArcDetail;
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

void RingSector(IPrimitive* primitive)
{
  const double outer = std::max(*primitive->GetSize1(), *primitive->GetSize2()) / 2;
  const double inner = std::max(0.0, *primitive->GetInnerRadius());
  const double sector = *primitive->GetSectorAngle() * std::numbers::pi / 180;
  const int* detail = primitive->GetArcDetail();
  const int k = detail && *detail > 0 ? *detail : kDefaultArcDetail;
  const double step = 2 * std::numbers::pi / (17 * k);
  glRotated(90, 0, 0, 1);
  for (double a0 = 0; a0 < sector; a0 += step) {
    const double a1 = std::min(a0 + step, sector);
    glBegin(GL_POLYGON);
    glNormal3d(0, 0, 1);
    if (inner > 0)
      glVertex3d(inner * std::cos(a0), inner * std::sin(a0), 0);
    glVertex3d(outer * std::cos(a0), outer * std::sin(a0), 0);
    glVertex3d(outer * std::cos(a1), outer * std::sin(a1), 0);
    if (inner > 0)
      glVertex3d(inner * std::cos(a1), inner * std::sin(a1), 0);
    glEnd();
  }
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

void DrawVertexPrimitive(CPrimitiveDrawContext&, IPrimitive* primitive, bool shading, double height)
{
  if (auto* surface = dynamic_cast<::CPrimitiveCalcSurface*>(primitive->GetMeshHelper())) {
    surface->Draw(true);
    return;
  }
  // The mesh's triangles stand in area coordinates; the caller has moved to the primitive's centre.
  double centre[3] = {0, 0, 0};
  primitive->GetCentre(centre);
  for (IPrimitive* piece = primitive->GetFirstChild(); piece; piece = piece->GetNext()) {
    _PRIMITIVE_INFO_1 info{};
    piece->GetInfo(&info);
    std::vector<Point2> corners;
    for (int k = 0; k < 3; ++k)
      corners.push_back({info.points[k][0] - centre[0], info.points[k][1] - centre[1]});
    if (shading)
      Prism(corners, height);
    else
      Polygon(corners, 0);
  }
}

void DrawPrimitives3D(IArea* area, CPrimitiveDrawContext& context, int resultsValid)
{
  const int typical = area->GetTypicalForm() ? *area->GetTypicalForm() : -1;
  const bool interchange = typical == kTypicalMultiLevel;
  const bool in3D = CameraIn3D();
  const bool stencil = resultsValid && !interchange;
  if (stencil)
    glEnable(GL_STENCIL_TEST);
  const double liftStep = CameraDistance() * kLiftPerDistance;
  context.m_lift = liftStep;
  const bool blend = context.m_transparent && !in3D && !resultsValid;
  if (blend) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
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
      DrawVertexPrimitive(context, primitive, shading && in3D, centre[2]);
    } else {
      glRotated(primitive->GetRotation(), 0, 0, 1);
      if (shape == kShapeRingSector) {
        RingSector(primitive);
      } else {
        const std::vector<Point2> outline = ShapeOutline(primitive, shape);
        if (shading && in3D)
          Prism(outline, centre[2]);
        else
          Polygon(outline, 0);
      }
    }
    glPopMatrix();
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
