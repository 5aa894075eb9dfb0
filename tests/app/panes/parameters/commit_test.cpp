// Edits committed through the pane: each bound accepted, one step outside refused with its message and the old
// value shown again, an unchanged value answered 0 without a message; then the edits whose follow-up reaches
// further into the model.
#include "tests/app/panes/parameters/pane_env.h"

#include "model/iprimitive.h"
#include "model/light_device.h"
#include "model/standards.h"
#include "outside/norms/norms.h"

#include <algorithm>
#include <functional>

namespace {

using namespace VisualCtrl;

struct Attempt {
  double typed;
  bool accepted;
  const char* message;  // null: none
  double stored;        // what the model holds afterwards when accepted
};

struct ItemCase {
  const char* what;
  UINT id;
  bool count;
  std::function<IModelUnknown*()> object;
  std::function<double()> stored;
  std::vector<Attempt> attempts;
};

class CommitTest : public ParametersPaneTest {
protected:
  IRoad* RoadPart() { return Part<IRoad>(Road(), IID_IRoad); }
  ILineOfRoad* RightWall() { return Part<ILineOfRoad>(Part<IWall>(Road(), IID_IWall), IID_RightWall); }
  IPole* FirstPole() { return Part<IPole>(RoadGroup(), IID_IPole); }
  static double Lane(IRoad* road, int type) { return road->GetLaneWidth(&type); }

  void Run(const ItemCase& c)
  {
    for (const Attempt& a : c.attempts) {
      SCOPED_TRACE(testing::Message() << c.what << " typed " << a.typed);
      Show(c.object());
      // The area length has no row on a straight road; the commit still knows it.
      if (!Item(c.id)) {
        auto* extra = new CTKPropertyGridItemDouble("", 0);
        extra->SetItemData(c.id);
        pane->GetGridView().AddCategory("")->AddChildItem(extra);
      }
      const double old = c.stored();
      const std::size_t asked = answers.Asked().size();
      const std::size_t steps = frame.steps.size();
      const LRESULT answer = c.count ? CommitNumber(c.id, static_cast<int>(a.typed)) : CommitDouble(c.id, a.typed);
      EXPECT_EQ(answer, a.accepted ? 1 : 0);
      EXPECT_DOUBLE_EQ(c.stored(), a.accepted ? a.stored : old);
      const double shown = c.count ? DYNAMIC_DOWNCAST(CTKPropertyGridItemNumber, Item(c.id))->GetNumber()
                                   : DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(c.id))->GetDouble();
      EXPECT_DOUBLE_EQ(shown, a.accepted ? a.stored : old);
      const std::vector<std::string> texts = AskedTexts();
      if (a.message) {
        ASSERT_EQ(texts.size(), asked + 1);
        EXPECT_EQ(texts.back(), a.message);
      } else {
        EXPECT_EQ(texts.size(), asked);
      }
      ASSERT_EQ(frame.steps.size(), steps + 2);
      EXPECT_EQ(frame.steps.back(), a.accepted ? "accepted, redrawn" : "refused, undo state dropped");
    }
  }
};

TEST_F(CommitTest, BoundsOfTheProjectRoadAndElementEdits)
{
  auto area = [this] { return static_cast<IModelUnknown*>(Road()); };
  auto road = [this] { return static_cast<IModelUnknown*>(RoadPart()); };
  const std::vector<ItemCase> cases = {
      {"area length", kItemAreaLength, false, area, [this] { return *Road()->GetLength(); },
       {{5, true, nullptr, 5},
        {2000, true, nullptr, 2000},
        {2000, false, nullptr, 0},
        {4.99, false, "Длина участка должна быть в диапазоне от 5 до 2000м.", 0},
        {2000.01, false, "Длина участка должна быть в диапазоне от 5 до 2000м.", 0}}},
      {"main lanes", kItemRoadMainLanes, true, road,
       [this] {
         int t = kLaneMain;
         return double(RoadPart()->GetLaneCount(&t));
       },
       {{6, true, nullptr, 6}, {1, true, nullptr, 1}, {7, false, "Число полос должно быть в диапазоне от 1 до 6.", 0},
        {0, false, "Число полос должно быть в диапазоне от 1 до 6.", 0}, {1, false, nullptr, 0}}},
      {"main lane width", kItemRoadMainLaneWidth, false, road, [this] { return Lane(RoadPart(), kLaneMain); },
       {{3.456, true, nullptr, 3.46},
        {3.464, false, nullptr, 0},  // rounds to the stored 3.46
        {0.01, true, nullptr, 0.01},
        {100, true, nullptr, 100},
        {0.004, false, "Ширина полосы движения должна быть в диапазоне от 0 до 100м.", 0},
        {100.01, false, "Ширина полосы движения должна быть в диапазоне от 0 до 100м.", 0}}},
      {"opposite lane width, taken as typed", kItemRoadOppositeLaneWidth, false, road,
       [this] { return Lane(RoadPart(), kLaneOpposite); }, {{3.754, true, nullptr, 3.754}}},
      {"right wall height", kItemWallRightHeight, false,
       [this] { return static_cast<IModelUnknown*>(Part<IWall>(Road(), IID_IWall)); },
       [this] { return *RightWall()->GetWidth(); },
       {{2, true, nullptr, 2}, {50, true, nullptr, 50},
        {1.99, false, "Высота стены здания должна быть в диапазоне от 2 до 50м.", 0}}},
      {"maintenance factor", kItemGroupsMaintenance, false,
       [this] { return static_cast<IModelUnknown*>(Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev)); },
       [this] { return *Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev)->GetMaintenanceFactor(); },
       {{0, false, "Значение коэффициента запаса должно быть в диапазоне от  0 до 100.", 0},
        {0.01, true, nullptr, 0.01},
        {100, true, nullptr, 100}}},
  };
  for (const ItemCase& c : cases)
    Run(c);
}

TEST_F(CommitTest, BoundsOfTheGroupAndPoleEdits)
{
  auto group = [this] { return static_cast<IModelUnknown*>(RoadGroup()); };
  const int user = 0;
  FirstPole()->SetTypical(&user);
  const std::vector<ItemCase> cases = {
      {"step", kItemGroupStep, false, group, [this] { return *RoadGroup()->GetStep(); },
       {{1, false, "Расстояние между соседними ОП должно быть в диапазоне от  1 до 250.", 0},
        {250.01, false, "Расстояние между соседними ОП должно быть в диапазоне от  1 до 250.", 0},
        {250, true, nullptr, 250},
        {1.01, true, nullptr, 1.01}}},
      {"lamp flux", kItemGroupLampFlux, false, group, [this] { return RoadGroup()->GetLightDevice()->lampFlux; },
       {{100000, true, nullptr, 100000},
        {100000.01, false, "Значение светового потока источника света должно быть в диапазоне от  0 до 100000.", 0},
        {0, true, nullptr, 0}}},
      {"height", kItemPoleHeight, false, group, [this] { return FirstPole()->GetHeight(0); },
       {{0, false, "Значение высоты светового центра должно быть в диапазоне от  0.0 до 100.", 0},
        {100, true, nullptr, 100},
        {100.01, false, "Значение высоты светового центра должно быть в диапазоне от  0.0 до 100.", 0}}},
      {"setback", kItemPoleSetback, false, group, [this] { return *FirstPole()->GetSetback(); },
       {{50, true, nullptr, 50}, {0, true, nullptr, 0},
        {50.01, false, "Значение отступа должно быть в диапазоне от  0 до 50.", 0}}},
      {"rotation", kItemPoleRotation, false, group, [this] { return *FirstPole()->GetRotation(); },
       {{-180, true, nullptr, -180}, {180, true, nullptr, 180},
        {180.01, false, "Значение угла разворота кронштейна должно быть в диапазоне от  -180 до 180.", 0},
        {180, false, nullptr, 0}}},
  };
  for (const ItemCase& c : cases)
    Run(c);

  // With the bracket at 90 degrees no outreach is accepted; at 15 degrees and 10 m the largest is h / tan 15.
  Show(RoadGroup());
  const double steep = 90;
  FirstPole()->SetTilt(&steep);
  EXPECT_EQ(CommitDouble(kItemPoleOutreach, 1), 0);
  EXPECT_EQ(AskedTexts().back(), "Угол наклона равен 90 градусов. Для изменения значения  вылета требуется изменить "
                                 "угол наклона на значение из диапазона от 0 до 80 градусов.");
  const double fifteen = 15;
  const double ten = 10;
  FirstPole()->SetTilt(&fifteen);
  FirstPole()->SetHeight(&ten);
  EXPECT_EQ(CommitDouble(kItemPoleOutreach, 37.33), 0);
  EXPECT_EQ(AskedTexts().back(), "Значение вылета должно быть в диапазоне от  0 до 37.");
  EXPECT_EQ(CommitDouble(kItemPoleOutreach, 37.32), 1);
}

TEST_F(CommitTest, BoundsOfThePrimitiveAndOpenSiteEdits)
{
  IArea* site = AddOpenSite();
  IArea* interchange = Project()->InsertAreaAfter(CLSID_CCustomizeRoad3D, site);
  interchange->Release();
  std::vector<IPrimitive*> made;
  auto make = [&](IArea* area, int shape, int membership) {
    made.push_back(Part<ICustomizeRoad>(area, IID_ICustomizeRoad)->CreatePrimitive(shape, membership, TRUE));
    return made.back();
  };
  IPrimitive* rectangle = make(site, 1, 4);
  IPrimitive* ring = make(site, 3, 1);
  const double four = 4;
  ring->SetInnerRadius(&four);
  IPrimitive* narrowRing = make(site, 3, 1);
  narrowRing->SetSize2(10);
  IPrimitive* triangle = make(site, 0, 1);
  IPrimitive* solid = make(interchange, 1, 4);
  auto of = [](IPrimitive* p) { return [p] { return static_cast<IModelUnknown*>(p); }; };
  const char* length = "Длина примитива должна быть в диапазоне от  0 до 2000 м.";
  const char* height = "Высота примитива должна быть в диапазоне от  0 до 100 м.";
  const std::vector<ItemCase> cases = {
      {"rectangle length", kItemPrimitiveSize2, false, of(rectangle), [=] { return *rectangle->GetSize2(); },
       {{0, false, length, 0}, {2000, true, nullptr, 2000}, {2000.01, false, length, 0}, {0.01, true, nullptr, 0.01}}},
      {"rectangle width", kItemPrimitiveSize1, false, of(rectangle), [=] { return *rectangle->GetSize1(); },
       {{0, false, "Ширина примитива должна быть в диапазоне от  0 до 2000 м.", 0}, {2000, true, nullptr, 2000}}},
      {"rotation", kItemPrimitiveRotation, false, of(rectangle), [=] { return rectangle->GetRotation(); },
       {{-180, true, nullptr, -180},
        {180.01, false, "Значение угола поворота примитива должно быть в диапазоне от  -180 до 180.", 0}}},
      {"height", kItemPrimitiveHeight, false, of(rectangle), [=] { return rectangle->GetHeight(); },
       {{100, true, nullptr, 100}, {0, false, height, 0}, {100.01, false, height, 0}, {0.01, true, nullptr, 0.01}}},
      {"outer radius above the inner one", kItemPrimitiveOuterRadius, false, of(ring),
       [=] { return *ring->GetSize2() / 2; },
       {{4, false, "Значение радиуса должно быть в диапазоне от  4 до 1000 м.", 0},
        {4.01, true, nullptr, 4.01},
        {1000, true, nullptr, 1000},
        {1000.01, false, "Значение радиуса должно быть в диапазоне от  4 до 1000 м.", 0}}},
      {"inner radius below half of size 2", kItemPrimitiveInnerRadius, false, of(narrowRing),
       [=] { return *narrowRing->GetInnerRadius(); },
       {{5, false, "Значение радиуса должно быть в диапазоне от  0 до 5 м.", 0}, {4.99, true, nullptr, 4.99},
        {0, true, nullptr, 0}}},
      {"sector angle", kItemPrimitiveSectorAngle, false, of(ring), [=] { return *ring->GetSectorAngle(); },
       {{0, false, "Значение секторного угла должно быть в диапазоне от  0 до 360 град.", 0},
        {90, true, nullptr, 90}, {360, true, nullptr, 360}}},
      {"vertex offset", kItemPrimitiveVertexOffset, false, of(triangle), [=] { return *triangle->GetVertexOffset(); },
       {{-1, true, nullptr, -1},
        {1.01, false, "Значение относительного смещения вершины должно быть в диапазоне от  -1 до 1.", 0}}},
      {"contour offset", kItemPrimitiveContourOffset, false, of(rectangle),
       [=] { return *rectangle->GetContourOffset(); },
       {{50, true, nullptr, 50}, {50.01, false, "Значение отступа должно быть в диапазоне от  0 до 50.", 0}}},
      {"base height of a shading object", kItemPrimitiveBaseHeight, false, of(solid),
       [=] { return solid->GetBaseHeight(); },
       {{-3000, false, "Высота основания объекта затенения должна быть в диапазоне от  -3000 до 3000 м.", 0},
        {3000, true, nullptr, 3000},
        {-2999.99, true, nullptr, -2999.99}}},
  };
  for (const ItemCase& c : cases)
    Run(c);

  // The open site, its sidewalk node and the parameters of its typical forms.
  auto siteOf = [this, site](int form) {
    IArea* area = Project()->InsertAreaAfter(CLSID_CCustomizeRoad, site);
    area->Release();
    area->SetTypicalForm(&form);
    area->BuildTypicalForm();
    return area;
  };
  IArea* turn = siteOf(1);
  IArea* fork = siteOf(2);
  IArea* crossing = siteOf(3);
  IArea* widening = siteOf(5);
  IArea* roundabout = siteOf(7);
  auto customize = [this](IArea* area) { return Part<ICustomizeRoad>(area, IID_ICustomizeRoad); };
  auto node = [this](IArea* area, const IID& key) { return [=, this] { return Part<IModelUnknown>(area, key); }; };
  auto area = [](IArea* a) { return [a] { return static_cast<IModelUnknown*>(a); }; };
  const double areaLength = *widening->GetLength();
  const char* siteLength = "Длина участка должна быть в диапазоне от 5 до 2000м.";
  const char* offset = "Максимальное смещение координат в протоколе должно быть в диапазоне от -40075020 до 40075020м.";
  const char* roadWidth = "Ширина проезжей части должна быть в диапазоне от 0 до 200м.";
  const std::vector<ItemCase> siteCases = {
      {"site length", kItemAreaLength, false, area(site), [=] { return *site->GetLength(); },
       {{5, true, nullptr, 5}, {2000.01, false, siteLength, 0}, {4.99, false, siteLength, 0}}},
      {"site width", kItemAreaWidth, false, area(site), [=] { return *site->GetWidth(); },
       {{2000, true, nullptr, 2000}, {4.99, false, "Ширина участка должна быть в диапазоне от 5 до 2000м.", 0}}},
      {"site base height", kItemAreaBaseHeight, false, area(site), [=] { return *site->GetBaseHeight(); },
       {{-3000, true, nullptr, -3000},
        {3000.01, false, "Базовая высота проекта должна быть в диапазоне от -3000 до 3000м.", 0}}},
      {"report offset", kItemAreaReportOriginX, false, area(site), [=] { return *site->GetReportOriginX(); },
       {{40075020, true, nullptr, 40075020}, {40075020.01, false, offset, 0}, {-40075020.01, false, offset, 0}}},
      {"sidewalk width", kItemPavementNodeWidth, false, node(turn, IID_PavementNode),
       [=] { return *customize(turn)->GetSidewalkWidth(); },
       {{0, false, "Ширина тротуара должна быть в диапазоне от 0 до 100м.", 0}, {100, true, nullptr, 100},
        {0.01, true, nullptr, 0.01}}},
      {"sidewalk gap", kItemPavementNodeGap, false, node(turn, IID_PavementNode),
       [=] { return *customize(turn)->GetSidewalkGap(); },
       {{100, true, nullptr, 100}, {0, true, nullptr, 0},
        {100.01, false, "Ширина зазора между проезжей частью и тротуаром должна быть в диапазоне от 0 до 100м.", 0}}},
      {"turn angle", kItemFormAngle1, false, node(turn, IID_RoadNode), [=] { return *customize(turn)->GetFormAngle1(); },
       {{-90, true, nullptr, -90}, {90.01, false, "Угол поворота должен быть в диапазоне от -90 до 90 град.", 0}}},
      {"crossing angle by its size", kItemFormAngle1, false, node(crossing, IID_RoadNode),
       [=] { return *customize(crossing)->GetFormAngle1(); },
       {{-170, true, nullptr, -170},
        {9.99, false, "Модуль угола пересечения должен быть в диапазоне от 10 до 170 град.", 0},
        {-9.99, false, "Модуль угола пересечения должен быть в диапазоне от 10 до 170 град.", 0}}},
      {"fork angle 1-2", kItemFormAngle1, false, node(fork, IID_RoadNode),
       [=] { return *customize(fork)->GetFormAngle1(); },
       {{90, true, nullptr, 90},
        {9.99, false, "Угол отклонения ПЧ-2 от ПЧ-1 должен быть в диапазоне от 10 до 90 град.", 0}}},
      {"fork angle 1-3, not -90 against 90", kItemFormAngle2, false, node(fork, IID_RoadNode),
       [=] { return *customize(fork)->GetFormAngle2(); },
       {{-90, false, "Угол отклонения ПЧ-3 от ПЧ-1 должен быть в диапазоне от -90 до -10 град.", 0},
        {-10, true, nullptr, -10}}},
      {"fork width", kItemBranchWidth3, false, node(fork, IID_RoadNode),
       [=] { return *customize(fork)->GetBranchWidth3(); },
       {{200, true, nullptr, 200}, {0, false, roadWidth, 0}}},
      {"widening length below the area length", kItemWideningLength, false, node(widening, IID_RoadNode),
       [=] { return *customize(widening)->GetWideningLength(); },
       {{areaLength, false, "Длина переходного участка должна быть в диапазоне от 0 до 50м.", 0},
        {areaLength - 0.01, true, nullptr, areaLength - 0.01}}},
      {"ring branch width", kItemRingBranchWidth1, false, node(roundabout, IID_RoadNode),
       [=] { return *customize(roundabout)->GetBranchWidth1(); },
       {{200.01, false, roadWidth, 0}, {12, true, nullptr, 12}}},
      {"ring junction angle", kItemRingJunctionAngle1 + 1, false, node(roundabout, IID_RoadNode),
       [=] { return *customize(roundabout)->GetJunctionAngle2(); },
       {{-180, true, nullptr, -180},
        {180.01, false, "Угол примыкания ПЧ к кольцу должен быть в диапазоне от -180 до 180гр.", 0}}},
      {"ring count", kItemRingBranchCount, true, node(roundabout, IID_RoadNode),
       [=] { return double(*customize(roundabout)->GetBranchCount()); },
       {{6, false, "Число ПЧ должно быть от 1 до 5.", 0}}},
  };
  ASSERT_DOUBLE_EQ(areaLength, 50);
  for (const ItemCase& c : siteCases)
    Run(c);
  pane->SendMessage(UM_CLEARPANES, 0, 0);
  for (IPrimitive* p : made)
    p->Release();
}

TEST_F(CommitTest, FollowUpsReachTheRestOfTheModel)
{
  // Narrowing the dividing strip narrows the parapet; widening the parapet widens the strip.
  IRoad* road = RoadPart();
  const int on = 1;
  road->SetDividerOn(&on);
  road->SetParapetOn(&on);
  const double wide = 2;
  road->SetParapetWidth(&wide);
  Show(road);
  EXPECT_EQ(CommitDouble(kItemRoadDividerWidth, 1.5), 1);
  EXPECT_DOUBLE_EQ(road->GetParapetWidth(), 1.5);
  Pump();
  EXPECT_EQ(CommitDouble(kItemRoadParapetWidth, 3), 1);
  EXPECT_DOUBLE_EQ(Lane(road, kLaneDivider), 3);

  // A step of 7 reduces an offset of 20 to 6 and says so.
  IGroupOfDev* group = RoadGroup();
  const double offset = 20;
  group->SetOffset(&offset);
  Show(group);
  EXPECT_EQ(CommitDouble(kItemGroupStep, 7), 1);
  EXPECT_DOUBLE_EQ(*group->GetOffset(), 6);
  EXPECT_EQ(AskedTexts().back(), "Смещение в группе приведено к шагу данной группы.");

  // An offset is reduced by the step; a step of 0 from elsewhere leaves it as typed.
  Show(group);
  EXPECT_EQ(CommitDouble(kItemGroupOffset, 15), 1);
  EXPECT_DOUBLE_EQ(*group->GetOffset(), 1);
  const double noStep = 0;
  group->SetStep(&noStep);
  Show(group);
  EXPECT_EQ(CommitDouble(kItemGroupOffset, 5), 1);
  EXPECT_DOUBLE_EQ(*group->GetOffset(), 5);

  // A group number another group of the area has is refused; 0 silently.
  IGroupsOfDev* groups = Part<IGroupsOfDev>(Road(), IID_IGroupsOfDev);
  IGroupOfDev* second = groups->CreateGroup();
  group->SetNext(second);
  second->SetPrev(group);
  const int own = *group->GetNumber();
  Show(group);
  EXPECT_EQ(CommitNumber(kItemGroupNumber, *second->GetNumber()), 0);
  EXPECT_EQ(AskedTexts().back(), "Группа с номером " + std::to_string(*second->GetNumber()) + " уже существует. ");
  const std::size_t asked = AskedTexts().size();
  EXPECT_EQ(CommitNumber(kItemGroupNumber, 0), 0);
  EXPECT_EQ(AskedTexts().size(), asked);
  EXPECT_EQ(*group->GetNumber(), own);
  EXPECT_EQ(CommitNumber(kItemGroupNumber, 40), 1);
  EXPECT_EQ(*group->GetNumber(), 40);
  // A later group can move its offset.
  Show(second);
  EXPECT_FALSE(Item(kItemGroupOffset)->GetReadOnly());
}

TEST_F(CommitTest, PolesOfAnOpenSiteGroup)
{
  IArea* site = AddOpenSite();
  IGroupOfDev* group = Part<IGroupOfDev>(Part<IGroupsOfDev>(site, IID_IGroupsOfDev), IID_IGroupOfDev);
  const int line = 1;
  const int two = 2;
  group->SetPlacementScheme(&line);
  group->SetPoleCount(&two);
  group->PlacePoles(1 + 2 + 4);
  Show(group);

  // Four poles on a line: the two after the first pair follow at the same spacing.
  EXPECT_EQ(CommitNumber(kItemGroupPoleCount, 1), 0);
  EXPECT_EQ(AskedTexts().back(), "Количество опор в группе должно быть не менее 2.");
  EXPECT_EQ(CommitNumber(kItemGroupPoleCount, 4), 1);
  EXPECT_EQ(group->GetTotalPoleCount(), 4);
  std::vector<double> xs;
  for (IPole* p = Part<IPole>(group, IID_IPole); p; p = p->GetNext())
    xs.push_back(p->GetPosition()[0]);
  ASSERT_EQ(xs.size(), 4u);
  EXPECT_DOUBLE_EQ(xs[2] - xs[1], xs[1] - xs[0]);
  EXPECT_DOUBLE_EQ(xs[3] - xs[2], xs[1] - xs[0]);

  // A height edit reaches every pole of the group.
  Pump();
  const int user = 0;
  Part<IPole>(group, IID_IPole)->SetTypical(&user);
  Show(group);
  EXPECT_EQ(CommitDouble(kItemPoleHeight, 12.5), 1);
  for (IPole* p = Part<IPole>(group, IID_IPole); p; p = p->GetNext())
    EXPECT_DOUBLE_EQ(p->GetHeight(0), 12.5);

  // A mast aimed by angles keeps its aiming when its height changes; its aiming plane bounds the height.
  const int mast = 1;
  group->SetMountingKind(&mast);
  IPole* first = Part<IPole>(group, IID_IPole);
  const int byAngles = 0x1 | 0x2 | 0x20;
  first->SetAimFlags(&byAngles);
  const int scheme = line;
  const double tilt = 30;
  const double turn = 20;
  first->ApplyAimTilt(&tilt, &scheme);
  first->ApplyAimTurn(&turn, &scheme);
  const double tiltBefore = first->ComputeAimTilt(&scheme);
  const double turnBefore = first->ComputeAimTurn(&scheme);
  Show(group);
  EXPECT_EQ(CommitDouble(kItemPoleHeight, 20), 1);
  EXPECT_NEAR(first->ComputeAimTilt(&scheme), tiltBefore, 1e-9);
  EXPECT_NEAR(first->ComputeAimTurn(&scheme), turnBefore, 1e-9);

  double aim[3] = {};
  first->GetAimPoint(aim);
  aim[2] = 5;
  first->SetAimPoint(aim);
  Show(group);
  EXPECT_EQ(CommitDouble(kItemPoleHeight, 5), 0);
  EXPECT_EQ(AskedTexts().back(), "Высота светового центра ОП должна быть больше высоты плоскости нацеливания.");
  EXPECT_DOUBLE_EQ(first->GetHeight(1), 20);

  // An aim tilt of 90 is shown as 90 and kept as 89.9999.
  Show(group);
  EXPECT_EQ(CommitDouble(kItemAimTilt, 90), 1);
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(kItemAimTilt))->GetDouble(), 90);
  EXPECT_DOUBLE_EQ(first->GetAimTilt(), 89.9999);
}

TEST_F(CommitTest, SubGroupsOfAPointPlacement)
{
  IArea* site = AddOpenSite();
  IGroupOfDev* group = Part<IGroupOfDev>(Part<IGroupsOfDev>(site, IID_IGroupsOfDev), IID_IGroupOfDev);
  const int user = 0;
  Part<IPole>(group, IID_IPole)->SetTypical(&user);
  Show(group);

  // Choosing a placement by points on a group without points starts drawing them in the view.
  frame.messages.clear();
  EXPECT_EQ(CommitChoice(kItemGroupPlacement, 4), 1);
  EXPECT_EQ(*group->GetPlacementScheme(), 4);
  EXPECT_NE(std::find(frame.messages.begin(), frame.messages.end(), UM_BEGINCONTOUR), frame.messages.end());

  CArray<_CSPOINT3D>* points = nullptr;
  group->GetContourPoints(&points);
  for (double x : {0.0, 20.0, 40.0})
    points->Add(_CSPOINT3D{x, 5, 0, 0, 0});
  group->UpdatePolePositions(0);
  ASSERT_EQ(group->GetSubGroupCount(), 3);
  std::vector<IPole*> firstPoles;
  std::vector<IGroupOfDev*> subGroups;
  for (IGroupOfDev* q = Part<IGroupOfDev>(group, IID_FirstSubGroup); q; q = q->GetNext()) {
    subGroups.push_back(q);
    firstPoles.push_back(Part<IPole>(q, IID_IPole));
  }
  AsObject(subGroups[1])->SetSelected(1);
  Pump();
  Show(group);
  EXPECT_EQ(Layout()[2], "Положение опоры - 2: 911 912 913");

  // A height reaches the first pole of every sub-group, a rotation only that of the selected one.
  EXPECT_EQ(CommitDouble(kItemPoleHeight, 9), 1);
  for (IPole* p : firstPoles)
    EXPECT_DOUBLE_EQ(p->GetHeight(0), 9);
  const std::vector<double> rotations = {*firstPoles[0]->GetRotation(), *firstPoles[2]->GetRotation()};
  Show(group);
  EXPECT_EQ(CommitDouble(kItemPoleRotation, 33), 1);
  EXPECT_DOUBLE_EQ(*firstPoles[1]->GetRotation(), 33);
  EXPECT_DOUBLE_EQ(*firstPoles[0]->GetRotation(), rotations[0]);
  EXPECT_DOUBLE_EQ(*firstPoles[2]->GetRotation(), rotations[1]);
}

TEST_F(CommitTest, NormsAnsweredByTheScriptedResponder)
{
  qorstd::RegisterLibrary();
  Show(Road());
  // "СНиП 23-05-95*", Yes to the move to the new norms: "СП 52.13330.2011" and its first class.
  answers.AnswerNext(IDYES);
  answers.AnswerNext(IDOK);
  EXPECT_EQ(CommitChoice(kItemAreaNorms, 1), 1);
  const _STANDARDS_OF_ROAD* record = Road()->GetStandards()->GetRecord();
  EXPECT_EQ(record->normDocumentId, 2);
  EXPECT_STREQ(record->objectClass, "А1");
  EXPECT_EQ(Value(kItemAreaNorms), "СП 52.13330.2011");
  ASSERT_EQ(answers.Asked().size(), 2u);
  EXPECT_EQ(answers.Asked()[0].text, "Выбранные нормы заменены новыми СП.52.13330.2011.\nПерейти на новые нормы?");
  EXPECT_EQ(answers.Asked()[1].caption, "Нормы: СП 52.13330.2011");
  Pump();
  EXPECT_EQ(Value(kItemAreaNormsClass), "А1");
  EXPECT_FALSE(Item(kItemAreaNormsClass)->GetReadOnly());

  // Cancel to the question restores the entry the area had; nothing else is asked.
  answers.AnswerNext(IDCANCEL);
  EXPECT_EQ(CommitChoice(kItemAreaNorms, 1), 1);
  EXPECT_EQ(Value(kItemAreaNorms), "СП 52.13330.2011");
  EXPECT_EQ(record->normDocumentId, 2);
  EXPECT_EQ(answers.Asked().size(), 3u);

  // "Не определены" clears the record without the dialog; a cancelled dialog clears it as well.
  EXPECT_EQ(CommitChoice(kItemAreaNorms, 0), 1);
  EXPECT_EQ(record->normDocumentId, 0);
  EXPECT_EQ(answers.Asked().size(), 3u);
  answers.AnswerNext(IDCANCEL);
  EXPECT_EQ(CommitChoice(kItemAreaNorms, 4), 1);
  EXPECT_EQ(record->normDocumentId, 0);
  EXPECT_EQ(Value(kItemAreaNorms), "Не определены");
  platform::UnregisterModule(qorstd::kModuleName);
}

TEST_F(CommitTest, AnAcceptedEditActivatesTheAreaOfTheObject)
{
  IArea* road = Road();
  IArea* site = AddOpenSite();
  ASSERT_FALSE(site->IsActive());
  Show(Part<IGroupsOfDev>(site, IID_IGroupsOfDev));
  frame.messages.clear();
  EXPECT_EQ(CommitDouble(kItemGroupsMaintenance, 1.2), 1);
  EXPECT_TRUE(site->IsActive());
  EXPECT_FALSE(road->IsActive());
  Pump();
  EXPECT_EQ(std::count(frame.messages.begin(), frame.messages.end(), UM_SHOWOBJECT), 1);
  EXPECT_EQ(pane->ActivateShownArea(), 1);
  Show(Project());
  EXPECT_EQ(pane->ActivateShownArea(), 0);
}

}  // namespace
