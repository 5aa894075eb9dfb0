// The scene builder on the sample projects: the straight road's poles repeated along the section by the count
// rule, each arrangement's rows and dimension decorators, the look of a group in plan view with results; the open
// sites' groups with one street device per pole; and a click on a drawn pole naming that pole's group.
#include "geometry/vector_string3d.h"
#include "graphics/core/model_ref.h"
#include "graphics/core/scene_palette.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/photometric_solid.h"
#include "graphics/scene/scene_builder.h"
#include "graphics/scene/street_devices.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/lamp_post.h"
#include "platform/gdi/surface.h"
#include "tests/graphics/core_fixture.h"
#include "tests/graphics/gl/sample_projects.h"
#include "tests/graphics/scene/pick_names.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

TEST(ScenePolePositions, CountsBeforeAndAfterTheField)
{
  const struct {
    double height, step, offset;
    bool halfStep;
    int before, after, total;
  } cases[] = {
      {10, 30, 0, false, 1, 5, 7},
      {10, 30, 5, false, 1, 5, 7},
      {10, 30, 20, false, 1, 5, 7},   // (50 - 20) / 30 = 1, (30 + 20 + 120) / 30 = 5.67
      {10, 30, 0, true, 2, 4, 7},     // the staggered row: (50 + 15) / 30, (120 + 15) / 30
      {8, 40, 50, false, 0, 4, 5},    // an offset beyond 5h counts towards zero, never below
      {10, 0, 0, false, 0, 0, 1},     // no step: the field's pole alone
      // Figures no file of the program holds: the count stays an int, at most a thousand on each side.
      {10, 1e-300, 0, false, 1000, 1000, 2001},
      {1e300, 30, 0, true, 1000, 1000, 2001},
      {10, std::nan(""), 0, false, 0, 0, 1},
  };
  for (const auto& c : cases) {
    const PolePositions p = CSceneBuilder::CountPositions(c.step, c.offset, c.height, c.halfStep);
    EXPECT_EQ(p.before, c.before) << c.height << " " << c.step << " " << c.offset;
    EXPECT_EQ(p.after, c.after) << c.height << " " << c.step << " " << c.offset;
    EXPECT_EQ(p.total, c.total) << c.height << " " << c.step << " " << c.offset;
  }
}

// The street device a member stands for.
CStreetFixtureDevice* DeviceOf(CObject3D* member)
{
  if (auto* decorator = dynamic_cast<CLightStreetDeviceDecorator*>(member))
    return decorator->GetDevice();
  return dynamic_cast<CStreetFixtureDevice*>(member);
}

class SceneBuilderSamples : public CoreTest {
protected:
  void Open(const Sample& sample)
  {
    ASSERT_NO_FATAL_FAILURE(MakeDocument());
    MakeView(800, 600);
    ASSERT_TRUE(document->OnOpenDocument(SampleCopy(sample).c_str()));
    Core().Render(FALSE, TRUE);
    ModelRef<IGroupsOfDev> groups(ActiveArea(), IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> head(groups.get(), IID_IGroupOfDev);
    firstGroup = head.get();  // the project keeps it
    ASSERT_NE(firstGroup, nullptr);
  }
  const std::vector<CObject3D*>& Scene() { return Core().GetScene()->GetOwned()->GetObjects(); }
  CGroupLightDevice3D* Group(int pickId)
  {
    for (CObject3D* object : Scene())
      if (object->m_pickId == pickId)
        return dynamic_cast<CGroupLightDevice3D*>(object);
    return nullptr;
  }
  void Rebuild() { Core().Render(FALSE, TRUE); }

  IGroupOfDev* firstGroup = nullptr;
};

TEST_F(SceneBuilderSamples, StraightRoadRepeatsItsPolesOverTheSection)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  const CSceneBuilder& builder = *Core().GetSceneBuilder();
  int groupCount = 0;
  for (IGroupOfDev* g = firstGroup; g; g = g->GetNext()) ++groupCount;
  ASSERT_EQ(Scene().size(), static_cast<size_t>(groupCount));

  // The first group: its poles from the model, its rows by the count rule, the first right pole dimensioned.
  ModelRef<IPole> pole(firstGroup, IID_IPole);
  ASSERT_TRUE(pole);
  const double s = *firstGroup->GetStep(), o = *firstGroup->GetOffset();
  const double h = pole->GetHeight(*firstGroup->GetMountingKind()), b = *pole->GetSetback();
  ASSERT_EQ(*firstGroup->GetRoadScheme(), 2) << "the sample's poles stand on both sides";
  const PolePositions p = CSceneBuilder::CountPositions(s, o, h, false);
  CGroupLightDevice3D* group = Group(CSceneBuilder::kFirstPickId);
  ASSERT_NE(group, nullptr);
  CString name;
  name.Format("%d_%s", *firstGroup->GetNumber(), firstGroup->GetName()->GetString());
  EXPECT_EQ(group->GetName(), name);
  EXPECT_EQ(group->m_groupKind, 0);
  const std::vector<CObject3D*>& members = group->GetObjects();
  ASSERT_EQ(static_cast<int>(members.size()), 2 * p.total) << "h " << h << ", s " << s << ", o " << o;
  auto* decorator = dynamic_cast<CLightStreetDeviceDecorator*>(members.front());
  ASSERT_NE(decorator, nullptr);
  EXPECT_DOUBLE_EQ(decorator->GetReferenceDistance(), -b);
  const double yRight = builder.m_oneWay ? -(builder.m_mainWidth / 2 + b)
                                         : -(builder.m_dividerWidth / 2 + builder.m_mainWidth + b);
  const double yLeft = builder.m_oneWay ? builder.m_mainWidth / 2 + b
                                        : builder.m_dividerWidth / 2 + builder.m_oppositeWidth + b;
  // Each position: the right pole, then the left one across the road.
  for (int k = 0; k < p.total; ++k) {
    for (int side = 0; side < 2; ++side) {
      CObject3D* member = members[static_cast<size_t>(2 * k + side)];
      CStreetFixtureDevice* device = DeviceOf(member);
      ASSERT_NE(device, nullptr) << k;
      EXPECT_EQ(k == 0 && side == 0, device != member) << "only the first right pole is decorated";
      EXPECT_NEAR(device->m_position[0], builder.m_sectionStart + o + (k - p.before) * s, 1e-9) << k;
      EXPECT_DOUBLE_EQ(device->m_position[1], side == 0 ? yRight : yLeft);
      EXPECT_DOUBLE_EQ(device->m_rotation[2], (side == 0 ? 180 : 0) - *pole->GetRotation());
      ASSERT_FALSE(device->GetBracket()->GetArms().empty());
    }
  }
  // The field's first pole stands at the section start; the section is as long as the longest group's reach.
  EXPECT_NEAR(DeviceOf(members[static_cast<size_t>(2 * p.before)])->m_position[0], builder.m_sectionStart + o, 1e-9);
  EXPECT_GE(builder.m_extent[0], (p.before + p.after) * s);
  EXPECT_DOUBLE_EQ(Core().GetSectionOrigin()[0], builder.m_sectionStart);
}

TEST_F(SceneBuilderSamples, StraightRoadArrangements)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  ModelRef<IPole> pole(firstGroup, IID_IPole);
  const double s = *firstGroup->GetStep(), o = *firstGroup->GetOffset(), b = *pole->GetSetback();
  const double h = pole->GetHeight(*firstGroup->GetMountingKind());
  const PolePositions plain = CSceneBuilder::CountPositions(s, o, h, false);
  const PolePositions half = CSceneBuilder::CountPositions(s, o, h, true);
  auto count = [](const std::vector<CObject3D*>& members, auto&& test) {
    int n = 0;
    for (CObject3D* m : members) n += test(m) ? 1 : 0;
    return n;
  };
  auto decorated = [](CObject3D* m) { return dynamic_cast<CLightStreetDeviceDecorator*>(m) != nullptr; };
  auto leftSide = [](CObject3D* m) { return DeviceOf(m) && DeviceOf(m)->m_position[1] > 0; };

  const int scheme = *firstGroup->GetRoadScheme();
  const int typical = *pole->GetTypical();
  const struct {
    const char* what;
    int scheme;
    int typical;
    int members, decorators, left;
  } cases[] = {
      {"one-sided left", 1, 0, plain.total, 1, plain.total},
      {"two-sided", 2, 0, 2 * plain.total, 1, plain.total},
      {"staggered", 3, 0, plain.total + half.total, 0, half.total},
      {"central, user values", 4, 0, 2 * plain.total, 1, 0},
      {"central, catalogue pole", 4, 1, plain.total, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    firstGroup->SetRoadScheme(&c.scheme);
    pole->SetTypical(&c.typical);
    Rebuild();
    CGroupLightDevice3D* group = Group(CSceneBuilder::kFirstPickId);
    ASSERT_NE(group, nullptr);
    const std::vector<CObject3D*>& members = group->GetObjects();
    EXPECT_EQ(static_cast<int>(members.size()), c.members);
    EXPECT_EQ(count(members, decorated), c.decorators);
    EXPECT_EQ(count(members, leftSide), c.left);
    if (c.scheme == 1) {
      EXPECT_DOUBLE_EQ(static_cast<CLightStreetDeviceDecorator*>(members.front())->GetReferenceDistance(), b);
    }
    if (c.scheme == 3) {
      // The left row runs half a step ahead of the right one.
      EXPECT_NEAR(std::fmod(DeviceOf(members[0])->m_position[0] - DeviceOf(members.back())->m_position[0] +
                                100 * s, s),
                  s / 2, 1e-9);
    }
    if (c.scheme == 4) {
      for (CObject3D* m : members) EXPECT_DOUBLE_EQ(DeviceOf(m)->m_position[1], 0.0);
    }
  }
  firstGroup->SetRoadScheme(&scheme);
  pole->SetTypical(&typical);

  // A group whose word has bit 0x2 is not built.
  const int state = *firstGroup->GetState();
  const int hidden = state | 0x2;
  firstGroup->SetState(&hidden);
  Rebuild();
  EXPECT_EQ(Group(CSceneBuilder::kFirstPickId), nullptr);
  firstGroup->SetState(&state);
}

TEST_F(SceneBuilderSamples, PoleDataAndDeviceKindsFollowTheModel)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  ModelRef<IPole> pole(firstGroup, IID_IPole);
  const CGroupBuildRecord& record = Core().GetSceneBuilder()->GetRecord();
  constexpr double kDegree = 3.141592653589793 / 180;

  // User values: every arm the same, its end at the light-centre height.
  const int user = 0;
  pole->SetTypical(&user);
  Rebuild();
  const int kind = *firstGroup->GetMountingKind();
  const double tilt = pole->GetTilt(kind), outreach = pole->GetOutreach(kind), h = pole->GetHeight(kind);
  ASSERT_EQ(record.arms.size(), 1u);
  const _ARM_PLACEMENT& arm = record.arms.front();
  EXPECT_DOUBLE_EQ(arm.armLength, outreach / std::cos(tilt * kDegree));
  EXPECT_DOUBLE_EQ(arm.endHeight, std::sin(tilt * kDegree) * arm.armLength);
  EXPECT_DOUBLE_EQ(arm.poleHeight + arm.endHeight, h);

  // A catalogue pole: one placement per arm of its current bracket, the pole as tall as the catalogue's.
  const CLampPost* post = pole->GetLampPost();
  const CLampConsole* bracket = post ? post->GetCurrentBracket() : nullptr;
  if (bracket && bracket->arms.GetSize() > 0) {
    const int typical = 1;
    pole->SetTypical(&typical);
    Rebuild();
    ASSERT_EQ(record.arms.size(), static_cast<size_t>(bracket->arms.GetSize()));
    const LAMP_CONSOLE_INFO& first = bracket->arms[0];
    EXPECT_DOUBLE_EQ(record.arms[0].endHeight, first.rise + 0.3 * std::sin(first.tilt * kDegree));
    EXPECT_DOUBLE_EQ(record.arms[0].armLength, first.outreach);
    EXPECT_DOUBLE_EQ(record.arms[0].poleHeight, post->height);
    pole->SetTypical(&user);
  }

  // Masts and floor lamps: their own devices; a floor lamp's luminaire sits 0.4 m from its mounting node.
  const struct {
    int kind;
    bool (*is)(CObject3D*);
  } kinds[] = {
      {1, [](CObject3D* m) { return dynamic_cast<CStreetMastIllumination*>(DeviceOf(m)) != nullptr; }},
      {2, [](CObject3D* m) { return dynamic_cast<CStreetFloorLampIllumination*>(DeviceOf(m)) != nullptr; }},
      {0, [](CObject3D* m) { return dynamic_cast<CStreetColumnIllumination*>(DeviceOf(m)) != nullptr; }},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    firstGroup->SetMountingKind(&k.kind);
    Rebuild();
    CGroupLightDevice3D* group = Group(CSceneBuilder::kFirstPickId);
    ASSERT_NE(group, nullptr);
    for (CObject3D* m : group->GetObjects()) EXPECT_TRUE(k.is(m));
    if (k.kind == 2) {
      const _ARM_PLACEMENT& lamp = record.arms.front();
      EXPECT_DOUBLE_EQ(std::fabs(lamp.offset[2]), 0.4);
      // The node below lowers the pole by as much as the luminaire rises above it, and the other way round.
      EXPECT_NEAR(lamp.poleHeight + lamp.endHeight + lamp.offset[2], pole->GetHeight(2), 1e-12);
      EXPECT_EQ(lamp.offset[2] > 0, record.mountBelow != 0);
    }
  }
  firstGroup->SetMountingKind(&kind);
}

TEST_F(SceneBuilderSamples, GroupsInPlanViewWithResultsAreOutlined)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  ASSERT_NE(Core().GetActiveResults(), nullptr);
  // As the view's commands do: the camera's type and the document's word.
  Core().GetCamera()->SetViewType(CViewCamera::kPlan);
  document->SetViewMode(0x202);
  Rebuild();
  CGroupLightDevice3D* group = Group(CSceneBuilder::kFirstPickId);
  ASSERT_NE(group, nullptr);
  ASSERT_NE(*firstGroup->GetState() & 1, 0) << "switched on";
  ASSERT_TRUE(Core().GetActiveResults()->valid);
  EXPECT_NE(group->GetState() & CSelectableObject::kOutlineLook, 0u);
  EXPECT_EQ(group->GetColor(), kColorPoleGroupPlanActive);
  Core().GetCamera()->SetViewType(CViewCamera::kPerspective);
  document->SetViewMode(CViewCamera::kPerspective);
  Rebuild();
  group = Group(CSceneBuilder::kFirstPickId);
  EXPECT_EQ(group->GetState() & CSelectableObject::kOutlineLook, 0u);
  EXPECT_EQ(group->GetColor(), kColorPoleGroupActive);
}

TEST_F(SceneBuilderSamples, OpenSitesGetOneDevicePerPole)
{
  for (const Sample& sample : {kSamples[1], kSamples[2]}) {
    SCOPED_TRACE(sample.name);
    ASSERT_NO_FATAL_FAILURE(Open(sample));
    int pickId = CSceneBuilder::kFirstPickId;
    for (IGroupOfDev* g = firstGroup; g; g = g->GetNext(), ++pickId) {
      CGroupLightDevice3D* group = Group(pickId);
      ASSERT_NE(group, nullptr) << pickId;
      const int scheme = *g->GetPlacementScheme();
      const int kinds[] = {1, 2, 4, 8, 8};
      ASSERT_GE(scheme, 0);
      ASSERT_LT(scheme, 5);
      EXPECT_EQ(group->m_groupKind, kinds[scheme]);
      EXPECT_EQ(group->m_number, *g->GetNumber());
      if (scheme > 2)
        continue;
      ModelRef<IPole> first(g, IID_IPole);
      size_t k = 0;
      for (IPole* pole = first.get(); pole; pole = pole->GetNext(), ++k) {
        ASSERT_LT(k, group->GetObjects().size());
        const CStreetFixtureDevice* device = DeviceOf(group->GetObjects()[k]);
        ASSERT_NE(device, nullptr);
        EXPECT_DOUBLE_EQ(device->m_position[0], pole->GetPosition()[0]);
        EXPECT_DOUBLE_EQ(device->m_position[1], pole->GetPosition()[1]);
      }
      EXPECT_EQ(group->GetObjects().size(), k);
      // Numbered by the group: "n-1" on the first pole.
      const CVectorString3D* label = group->GetObjects().front()->GetLabel();
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->GetText().substr(label->GetText().size() - 2), u"-1");
    }
  }
}

TEST_F(SceneBuilderSamples, CatalogueLuminaireShowsItsPhotometricSolid)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[0]));
  IVisualOpt* options = Core().GetVisualOptions();
  ASSERT_NE(options, nullptr);
  const int on = 1;
  options->SetShowPhotometricSolid(&on);
  Rebuild();
  CGroupLightDevice3D* group = Group(CSceneBuilder::kFirstPickId);
  ASSERT_NE(group, nullptr);
  const auto& planes = group->GetSolid()->GetPlaneCurves();
  ASSERT_FALSE(planes.empty());
  // The ray of the largest intensity is the solid's scale; every other is shorter in proportion.
  const double maximum = GetMaxIntensity(group->GetTable());
  ASSERT_GT(maximum, 0);
  double longest = 0;
  for (const _INTENSITY_PLANE_CURVE* plane : planes)
    for (const _INTENSITY_PLANE_POINT* p : plane->points)
      longest = std::max(longest, std::sqrt(p->x * p->x + p->y * p->y + p->z * p->z));
  EXPECT_NEAR(longest, 3.0, 1e-12);
  for (CObject3D* member : group->GetObjects())
    for (CBaseArm* arm : DeviceOf(member)->GetBracket()->GetArms())
      EXPECT_EQ(arm->GetLuminaire()->GetPhotometricGroup(), group);

  // As a person sees them: the solids under the luminaires of the first field.
  document->SetViewMode(CViewCamera::kPerspective);
  CViewCamera& camera = *Core().GetCamera();
  camera.SetViewType(CViewCamera::kPerspective);
  camera.ResetCurrentView();
  camera.GetEye()->angle1 = 35;
  for (int step = 0; step < 9; ++step)
    camera.PanZoomStep(0, 0, -1);
  Core().Render(FALSE, FALSE);
  EXPECT_FALSE(view->SavePicture("view-3d-straight-solids.png").empty());
}

TEST_F(SceneBuilderSamples, SelectedLineGroupShowsItsMarkersAndNumbersInPlan)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[1]));
  IGroupOfDev* line = nullptr;
  int pickId = CSceneBuilder::kFirstPickId, linePickId = 0;
  for (IGroupOfDev* g = firstGroup; g; g = g->GetNext(), ++pickId)
    if (*g->GetPlacementScheme() == 1 && g->GetPoleCount() >= 2 && !line) {
      line = g;
      linePickId = pickId;
    }
  ASSERT_NE(line, nullptr) << "the open site has a group in line";
  ModelRef<IClassObjModel> model(line, IID_IClassObjModel);
  ASSERT_TRUE(model);
  model->SetSelected(1);
  document->SetViewMode(0x202);
  CViewCamera& camera = *Core().GetCamera();
  camera.SetViewType(CViewCamera::kPlan);
  camera.ResetCurrentView();
  Core().Render(FALSE, TRUE);
  CGroupLightDevice3D* group = Group(linePickId);
  ASSERT_NE(group, nullptr);
  EXPECT_NE(group->GetState() & CSelectableObject::kSelected, 0u);
  EXPECT_EQ(group->GetColor(), kColorSelected);
  // The view's group-number command shows every label.
  Core().GetScene()->SetStateAll(CSelectableObject::kRequestShowLabel);
  Core().Render(FALSE, FALSE);
  EXPECT_FALSE(view->SavePicture("view-plan-open-territory-line-group.png").empty());

  float r = 0, g = 0, b = 0;
  CScenePalette::GetInstance()->GetColor(kColorActiveGroupMarker, &r, &g, &b);
  auto byte = [](float c) { return static_cast<std::uint32_t>(c * 255 + 0.5f); };
  const std::uint32_t marker = byte(r) << 16 | byte(g) << 8 | byte(b);
  const gdi::Surface& s = *view->Pixels();
  int markers = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) markers += (s.Pixel(x, y) & 0xFFFFFF) == marker ? 1 : 0;
  EXPECT_GT(markers, 50) << "discs and lines in the active-group colour";
  const CVectorString3D* label = group->GetObjects().front()->GetLabel();
  ASSERT_NE(label, nullptr);
  EXPECT_NE(group->GetObjects().front()->GetState() & CSelectableObject::kLabelShown, 0u);
}

// The names hit under a 5 x 5 pixel window at the window point (x, y) of the frame just drawn.
std::vector<GLuint> PickAt(CObjectContainer3D& scene, double x, double y)
{
  return scenetest::PickNames(scene, x, y, 5);
}

TEST_F(SceneBuilderSamples, ClickOnAPoleNamesItsGroup)
{
  ASSERT_NO_FATAL_FAILURE(Open(kSamples[1]));
  CViewCamera& camera = *Core().GetCamera();
  camera.SetViewType(CViewCamera::kPlan);
  camera.ResetCurrentView();
  Core().Render(FALSE, TRUE);
  // The last group's first pole, half way up, as the drawn frame shows it.
  CGroupLightDevice3D* group = nullptr;
  for (CObject3D* object : Scene())
    if (auto* g = dynamic_cast<CGroupLightDevice3D*>(object); g && !g->GetObjects().empty() &&
                                                              DeviceOf(g->GetObjects().front()))
      group = g;
  ASSERT_NE(group, nullptr);
  const CStreetFixtureDevice* device = DeviceOf(group->GetObjects().front());
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double x = 0, y = 0, z = 0;
  ASSERT_TRUE(gluProject(device->m_position[0], device->m_position[1], 1.0, model, projection, viewport, &x, &y, &z));
  const std::vector<GLuint> names = PickAt(*Core().GetScene()->GetOwned(), x, y);
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), static_cast<GLuint>(group->m_pickId));
  // Off every pole: nothing.
  EXPECT_TRUE(PickAt(*Core().GetScene()->GetOwned(), 2, 2).empty());
}

}  // namespace
