// The open-site sample through the freely shaped drawer in plan view: with results, carriageway primitives show
// the results and no colour of their own, and the area's background shows where no result may lie; a selected
// primitive shows its outline and handles. The primitives' geometry record and selected vertex as tables.
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/customize_road_drawer.h"
#include "model/ipole.h"
#include "model/iprimitive.h"
#include "model/primitive.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

bool Near(std::uint32_t pixel, COLORREF c)
{
  const int want[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  const int got[3] = {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
  for (int i = 0; i < 3; ++i)
    if (std::abs(want[i] - got[i]) > 1)
      return false;
  return true;
}

TEST_F(CoreTest, OpenSiteResultsShowOnlyOverTheirPrimitives)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(800, 600);
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(kSamples[1]).c_str()));
  document->SetViewMode(0x202);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().GetCamera()->ResetCurrentView();
  Core().Render(FALSE, TRUE);
  Core().GetCamera()->Apply();
  double modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const gdi::Surface& pixels = *view->Pixels();
  auto colourAt = [&](const double point[3]) {
    double wx = 0, wy = 0, wz = 0;
    gluProject(point[0], point[1], point[2], modelView, projection, viewport, &wx, &wy, &wz);
    return pixels.Pixel(static_cast<int>(wx), pixels.Height() - 1 - static_cast<int>(wy)) & 0xFFFFFF;
  };
  EXPECT_FALSE(view->SavePicture("drawer-open-site-plan.png").empty());

  const COLORREF background = CScenePalette::GetInstance()->GetColorRef(kColorGap);
  // Without the stencil the results would cover the whole site; with it the background shows between.
  int uncovered = 0;
  const double length = *ActiveArea()->GetLength(), width = *ActiveArea()->GetWidth();
  for (double x = -length / 2 + 0.5; x < length / 2; x += 1)
    for (double y = -width / 2 + 0.5; y < width / 2; y += 1) {
      const double point[3] = {x, y, 0};
      uncovered += Near(colourAt(point), background) ? 1 : 0;
    }
  EXPECT_GT(uncovered, 10);
  int covered = 0;
  ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p; p = p->GetNext()) {
    if ((*p->GetState() & ObjectModel::kStateShown) == 0 || ObjectModel::IsPolygonShape(*p->GetShape()))
      continue;
    double centre[3];
    p->GetCentre(centre);
    const std::uint32_t pixel = colourAt(centre);
    _PREF_OF_COLOR own{};
    p->GetDrawColour(&own);
    const COLORREF ownColour = RGB(own.r * 255, own.g * 255, own.b * 255);
    if (*p->GetMembership() == ObjectModel::kMemberCarriageway) {
      EXPECT_FALSE(Near(pixel, background)) << std::hex << pixel;
      EXPECT_FALSE(Near(pixel, ownColour)) << std::hex << pixel;
      ++covered;
    }
  }
  EXPECT_GT(covered, 0);
}

TEST_F(CoreTest, SelectedPrimitiveShowsItsOutlineAndHandlesInPlan)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(800, 600);
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(kSamples[1]).c_str()));
  document->SetViewMode(0x202);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().GetCamera()->ResetCurrentView();
  IPrimitive* rectangle = nullptr;
  ModelRef<IPrimitive> first(ActiveArea(), IID_IPrimitive);
  for (IPrimitive* p = first.get(); p && !rectangle; p = p->GetNext())
    if (*p->GetShape() == ObjectModel::kShapeRectangle && (*p->GetState() & ObjectModel::kStateShown))
      rectangle = p;
  ASSERT_NE(rectangle, nullptr);
  ModelRef<IClassObjModel> model(rectangle, IID_IClassObjModel);
  ASSERT_TRUE(model);
  const COLORREF outline = CScenePalette::GetInstance()->GetColorRef(kColorActiveGroupMarker);

  // How many of the rectangle's eight frame handles show the outline colour within two pixels.
  auto handlesShown = [&] {
    Core().Render(FALSE, TRUE);
    Core().GetCamera()->Apply();
    double modelView[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const gdi::Surface& pixels = *view->Pixels();
    _PRIMITIVE_INFO_1 info{};
    rectangle->GetCalcInfo(&info);
    int shown = 0;
    for (int i = 0; i < 8; ++i) {
      double wx = 0, wy = 0, wz = 0;
      gluProject(info.points[i][0], info.points[i][1], 0, modelView, projection, viewport, &wx, &wy, &wz);
      bool found = false;
      for (int dx = -2; dx <= 2 && !found; ++dx)
        for (int dy = -2; dy <= 2 && !found; ++dy) {
          const int x = static_cast<int>(wx) + dx, y = pixels.Height() - 1 - static_cast<int>(wy) + dy;
          found = x >= 0 && y >= 0 && x < pixels.Width() && y < pixels.Height() &&
                  Near(pixels.Pixel(x, y) & 0xFFFFFF, outline);
        }
      shown += found ? 1 : 0;
    }
    return shown;
  };
  EXPECT_EQ(handlesShown(), 0);
  model->SetSelected(1);
  EXPECT_EQ(handlesShown(), 8);
  EXPECT_FALSE(view->SavePicture("drawer-open-site-selected.png").empty());
  model->SetSelected(0);
  EXPECT_EQ(handlesShown(), 0);
}

TEST_F(CoreTest, VertexEditingShowsTheOutlineAndTheChosenVertex)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(800, 600);
  ASSERT_TRUE(document->OnOpenDocument(SampleCopy(kSamples[1]).c_str()));
  document->SetViewMode(0x202);
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  Core().GetCamera()->ResetCurrentView();
  // A square vertex polygon of the site being edited, its third vertex chosen; made without geometry's
  // calculation surface, so that nothing but the drawer paints it.
  ModelRef<ICustomizeRoad> site(ActiveArea(), IID_ICustomizeRoad);
  ASSERT_TRUE(site);
  ObjectModel::SetPrimitiveServices(nullptr);
  IPrimitive* edited = site->CreatePrimitive(ObjectModel::kShapePolygon, ObjectModel::kMemberCarriageway, TRUE);
  ObjectModel::SetPrimitiveServices(&surfaces);
  ASSERT_NE(edited, nullptr);
  ASSERT_EQ(dynamic_cast<::CPrimitiveCalcSurface*>(edited->GetMeshHelper()), nullptr);
  ModelRef<IPrimitive> head(ActiveArea(), IID_IPrimitive);
  ASSERT_TRUE(head);
  IPrimitive* last = head.get();
  while (last->GetNext())
    last = last->GetNext();
  last->SetNext(edited);
  edited->SetPrev(last);
  const double corners[4][2] = {{-6, -4}, {6, -4}, {6, 4}, {-6, 4}};
  CArray<_CSPOINT3D>* outline = nullptr;
  edited->GetOutline(&outline);
  ASSERT_NE(outline, nullptr);
  outline->RemoveAll();
  for (int i = 0; i < 4; ++i)
    outline->Add(_CSPOINT3D{corners[i][0], corners[i][1], 0, i == 2 ? 2 : 0, 0});
  const int state = *edited->GetState() | 0x20 | 0x8;
  edited->SetState(&state);
  ModelRef<IClassObjModel>(edited, IID_IClassObjModel)->SetSelected(1);

  Core().Render(FALSE, TRUE);
  Core().GetCamera()->Apply();
  double modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const gdi::Surface& pixels = *view->Pixels();
  EXPECT_FALSE(view->SavePicture("drawer-open-site-vertex-editing.png").empty());
  auto nearby = [&](double x, double y, COLORREF colour, int reach) {
    double wx = 0, wy = 0, wz = 0;
    gluProject(x, y, 0, modelView, projection, viewport, &wx, &wy, &wz);
    for (int dx = -reach; dx <= reach; ++dx)
      for (int dy = -reach; dy <= reach; ++dy) {
        const int px = static_cast<int>(wx) + dx, py = pixels.Height() - 1 - static_cast<int>(wy) + dy;
        if (px >= 0 && py >= 0 && px < pixels.Width() && py < pixels.Height() &&
            Near(pixels.Pixel(px, py) & 0xFFFFFF, colour))
          return true;
      }
    return false;
  };
  const COLORREF line = CScenePalette::GetInstance()->GetColorRef(kColorActiveGroupMarker);
  const COLORREF yellow = RGB(255, 255, 0);
  // Solid segments over the results: the first edge, and the closing one of a closed outline.
  EXPECT_TRUE(nearby(0, -4, line, 1));
  EXPECT_TRUE(nearby(-6, 0, line, 1));
  // The chosen vertex framed in yellow, the others not.
  EXPECT_TRUE(nearby(6, 4, yellow, 6));
  EXPECT_FALSE(nearby(-6, -4, yellow, 6));
}

// Line segments a ring sector's outline sends through GL, counted in feedback mode.
int RingOutlineSegments(CGraphicCoreFull& core, IQorRoadDoc* document, IPrimitive* ring)
{
  std::vector<GLfloat> feedback(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_2D, feedback.data());
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  CPrimitiveDrawContext context(&core, document, CScenePalette::GetInstance());
  DrawPrimitiveOutline(context, false, false, 0, ring);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const int values = glRenderMode(GL_RENDER);
  int lines = 0;
  for (int i = 0; i < values;) {
    const int token = static_cast<int>(feedback[i]);
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      ++lines;
      i += 5;
    } else if (token == GL_POLYGON_TOKEN) {
      i += 2 + 2 * static_cast<int>(feedback[i + 1]);
    } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
               token == GL_COPY_PIXEL_TOKEN) {
      i += 3;
    } else {
      i += 2;  // a pass-through token and its value
    }
  }
  return lines;
}

TEST_F(CoreTest, RingSectorOutlineHasRadialEdgesOnlyShortOfAFullTurn)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  MakeView(200, 200);
  Core().Render(FALSE, TRUE);
  IPrimitive* ring = ObjectModel::CreatePrimitive(nullptr, document.get(), 1);
  ASSERT_NE(ring, nullptr);
  const int shape = ObjectModel::kShapeRingSector;
  ring->SetShape(&shape);
  ring->SetSize1(1);
  const int detail = 6;  // arcs of 8 x 6 steps a full turn
  ring->SetArcDetail(&detail);
  const struct {
    double sector, inner;
    int lines;
  } cases[] = {
      {360, 0, 48},           // the outer arc alone
      {270, 0, 36 + 2},       // three quarters of it and both radial edges
      {360, 0.2, 48 + 48},    // both arcs
      {90, 0.2, 12 + 12 + 2},
      {1e9, 0, 48},  // a damaged angle: one full turn at most
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sector << " degrees, inner radius " << c.inner);
    ring->SetSectorAngle(&c.sector);
    ring->SetInnerRadius(&c.inner);
    EXPECT_EQ(RingOutlineSegments(Core(), document.get(), ring), c.lines);
  }
  ring->Release();
}

TEST_F(CoreTest, PrimitiveGeometryRecordAndSelectedVertex)
{
  ASSERT_NO_FATAL_FAILURE(MakeDocument());
  IPrimitive* p = ObjectModel::CreatePrimitive(nullptr, document.get(), 1);
  ASSERT_NE(p, nullptr);
  const struct {
    int shape;
    double size1, size2, rotation, apex;
    int point;
    double x, y;
  } cases[] = {
      {ObjectModel::kShapeRectangle, 2, 4, 0, 0, 1, -2, 1},     // (-a, b)
      {ObjectModel::kShapeRectangle, 2, 4, 0, 0, 5, 2, -1},     // (a, -b)
      {ObjectModel::kShapeRectangle, 2, 4, 90, 0, 7, -1, 2},    // (a, b) turned a quarter
      {ObjectModel::kShapeTriangle, 2, 4, 0, 0.5, 8, 1, 1},     // the apex at offset x a
      {ObjectModel::kShapeRingSector, 6, 6, 0, 0, 2, -3, 0},    // (-a, 0)
      {ObjectModel::kShapeRingSector, 6, 6, 0, 0, 9, 0, 3},     // (0, b)
      {ObjectModel::kShapeEllipse, 2, 4, 0, 0, 10, 0, 0},
  };
  const double centre[3] = {5, -3, 1.5};
  p->SetCentre(centre);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "shape " << c.shape << " point " << c.point << " turned " << c.rotation);
    p->SetShape(&c.shape);
    p->SetSize1(c.size1);
    p->SetSize2(c.size2);
    p->SetRotation(c.rotation);
    p->SetVertexOffset(&c.apex);
    double g[11][3];
    FillPrimitiveGeometry(g, p);
    EXPECT_DOUBLE_EQ(g[0][0], 5);
    EXPECT_DOUBLE_EQ(g[0][1], -3);
    EXPECT_DOUBLE_EQ(g[0][2], 1.5);
    EXPECT_NEAR(g[c.point][0], c.x, 1e-12);
    EXPECT_NEAR(g[c.point][1], c.y, 1e-12);
  }
  p->Release();

  CArray<_CSPOINT3D> outline;
  EXPECT_EQ(FindSelectedVertex(outline), -1);
  for (const int flags : {0, 1, 2, 3})
    outline.Add(_CSPOINT3D{0, 0, 0, flags, 0});
  EXPECT_EQ(FindSelectedVertex(outline), 2) << "bit 0x2, not the current vertex's bit 0x1";
}

}  // namespace
