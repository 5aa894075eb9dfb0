// A primitive in the pane: the items of every shape and membership on an open site and on an interchange, and the
// edits whose follow-up reaches past the edited value (shape, membership, vertex moves, heights).
#include "tests/app/panes/parameters/pane_env.h"

#include "model/iprimitive.h"
#include "model/primitive.h"

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
using namespace VisualCtrl;
using namespace ObjectModel;

class PrimitivePaneTest : public ParametersPaneTest {
protected:
  void TearDown() override
  {
    pane->SendMessage(UM_CLEARPANES, 0, 0);
    for (IPrimitive* p : made)
      p->Release();
    made.clear();
    ParametersPaneTest::TearDown();
  }
  IArea* AddInterchange()
  {
    IArea* area = Project()->InsertAreaAfter(CLSID_CCustomizeRoad3D, Road());
    area->Release();
    return area;
  }
  IPrimitive* Make(IArea* area, int shape, int membership)
  {
    IPrimitive* p = Part<ICustomizeRoad>(area, IID_ICustomizeRoad)->CreatePrimitive(shape, membership, TRUE);
    made.push_back(p);
    return p;
  }
  // A square outline with the given vertices (counted from 1) selected.
  static void SetSquare(IPrimitive* p, const std::vector<int>& selected = {})
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    outline->RemoveAll();
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}})
      outline->Add(_CSPOINT3D{x, y, 0, 0, 0});
    for (int i : selected)
      outline->ElementAt(i - 1).flags |= 0x2;
  }
  static CArray<_CSPOINT3D>* Outline(IPrimitive* p)
  {
    CArray<_CSPOINT3D>* outline = nullptr;
    p->GetOutline(&outline);
    return outline;
  }

  std::vector<IPrimitive*> made;
};

TEST_F(PrimitivePaneTest, ItemsOfEveryShapeAndMembershipOnBothKindsOfSite)
{
  struct Case {
    const char* what;
    bool interchange;
    int shape;
    int membership;
    std::vector<int> selected;
    Lines layout;
    const char* shapeValue;
    const char* membershipValue;
    bool stateFixed;
  };
  const std::vector<Case> cases = {
      {"background triangle", false, kShapeTriangle, kMemberBackground, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Положение примитива: 1005 1006 1007", "Размеры: 1009 1008 1013"},
       "Треугольник", "Фон", true},
      {"carriageway rectangle", false, kShapeRectangle, kMemberCarriageway, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Положение примитива: 1005 1006 1007", "Размеры: 1009 1008"},
       "Прямоугольник", "Проезжая часть", false},
      {"sidewalk ellipse", false, kShapeEllipse, kMemberSidewalk, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Положение примитива: 1005 1006 1007", "Размеры: 1009 1008"},
       "Эллипс", "Тротуар", false},
      {"shading ring sector", false, kShapeRingSector, kMemberShading, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004 1018", "Положение примитива: 1005 1006 1007",
        "Размеры: 1010 1011 1012 1017"},
       "Сектор кольцевого цилиндра", "Объект затенения", false},
      {"carriageway polygon, second and third vertices selected", false, kShapePolygon, kMemberCarriageway, {2, 3},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Размеры: 1019", "Положение вершины - 2: 1014 1015"}, "Полигон",
       "Проезжая часть", false},
      {"carriageway polygon, nothing selected", false, kShapePolygon, kMemberCarriageway, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Размеры: 1019"}, "Полигон", "Проезжая часть", false},
      {"road marking beyond the list", false, kShapeRectangle, kMemberMarking, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Положение примитива: 1005 1006 1007", "Размеры: 1009 1008"},
       "Прямоугольник", "", false},
      {"interchange carriageway polygon", true, kShapePolygon, kMemberCarriageway, {1},
       {"Общие: 1001 1002", "Примитив: 1020 1004", "Размеры: 1019", "Положение вершины - 1: 1014 1015 1016"},
       "Полигон", "Проезжая часть", false},
      {"interchange shading rectangle", true, kShapeRectangle, kMemberShading, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004 1018", "Положение примитива: 1005 1006 1007 1021",
        "Размеры: 1009 1008 1017"},
       "Прямоугольная призма", "Объект затенения", false},
      {"interchange shading polygon", true, kShapePolygon, kMemberShading, {4},
       {"Общие: 1001 1002", "Примитив: 1003 1004 1018", "Положение примитива: 1021", "Размеры: 1019 1017",
        "Положение вершины - 4: 1014 1015"},
       "Полигональная призма", "Объект затенения", false},
      {"second vertex-list shape", false, kShapePolygon2, kMemberSidewalk, {},
       {"Общие: 1001 1002", "Примитив: 1003 1004", "Размеры: 1019"}, "", "Тротуар", false},
  };
  IArea* site = AddOpenSite();
  IArea* interchange = AddInterchange();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IPrimitive* p = Make(c.interchange ? interchange : site, c.shape, c.membership);
    SetSquare(p, c.selected);
    Show(p);
    EXPECT_EQ(Layout(), c.layout);
    EXPECT_EQ(Value(c.interchange && c.shape == kShapePolygon && c.membership != kMemberShading ? 1020 : 1003),
              c.shapeValue);
    EXPECT_EQ(Value(1004), c.membershipValue);
    EXPECT_EQ(Item(1002)->GetReadOnly() != FALSE, c.stateFixed);
    EXPECT_EQ(Value(1002), "Включен");
  }
}

TEST_F(PrimitivePaneTest, ValuesFollowTheModel)
{
  IArea* site = AddOpenSite();
  IPrimitive* ring = Make(site, kShapeRingSector, kMemberShading);
  ring->SetSize2(10);
  const _PREF_OF_COLOR colour{1.0f, 0.5f, 0.0f};
  ring->SetColour(&colour);
  const int hidden = kStateOn;
  ring->SetState(&hidden);
  Show(ring);
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(1010))->GetDouble(), 5);
  EXPECT_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemColor, Item(1018))->GetColor(), RGB(255, 127, 0));
  EXPECT_EQ(Value(1002), "Включен (невидим)");

  // A primitive of a switched-off carriageway or sidewalk cannot be switched on alone.
  auto* customize = Part<ICustomizeRoad>(site, IID_ICustomizeRoad);
  const int off = *customize->GetRoadState() & ~1;
  customize->SetRoadState(&off);
  IPrimitive* road = Make(site, kShapeRectangle, kMemberCarriageway);
  const int switchedOff = kStateShown;
  road->SetState(&switchedOff);
  Show(road);
  EXPECT_TRUE(Item(1002)->GetReadOnly());
  EXPECT_EQ(Value(1002), "Выключен");
  const int sidewalkOff = *customize->GetSidewalkState() & ~1;
  customize->SetSidewalkState(&sidewalkOff);
  Show(Make(site, kShapeRectangle, kMemberSidewalk));
  EXPECT_TRUE(Item(1002)->GetReadOnly());
}

TEST_F(PrimitivePaneTest, StateAndColourEdits)
{
  IArea* site = AddOpenSite();
  Project()->SetActiveArea(site);  // no refresh of its own for the activation
  IPrimitive* p = Make(site, kShapeRectangle, kMemberShading);
  struct Case {
    int index;
    int state;
  };
  for (const Case& c : {Case{1, kStateOn}, Case{2, kStateShown}, Case{0, kStateOn | kStateShown}}) {
    Show(p);
    frame.messages.clear();
    EXPECT_EQ(CommitChoice(1002, c.index), 1);
    EXPECT_EQ(*p->GetState() & (kStateOn | kStateShown), c.state) << c.index;
    Pump();
    EXPECT_EQ(std::count(frame.messages.begin(), frame.messages.end(), UM_SHOWOBJECT), 1);
  }
  Show(p);
  auto* colour = DYNAMIC_DOWNCAST(CTKPropertyGridItemColor, Item(1018));
  colour->SetColor(RGB(255, 0, 51));
  EXPECT_EQ(Commit(colour), 1);
  _PREF_OF_COLOR stored{};
  p->GetFillColour(&stored);
  EXPECT_FLOAT_EQ(stored.r, 1.0f);
  EXPECT_FLOAT_EQ(stored.g, 0.0f);
  EXPECT_FLOAT_EQ(stored.b, 0.2f);
}

TEST_F(PrimitivePaneTest, ShapeChoiceReselectsThePrimitiveAndStartsPolygonDrawing)
{
  IPrimitive* p = Make(AddOpenSite(), kShapeRectangle, kMemberCarriageway);
  Outline(p)->RemoveAll();
  Show(p);
  frame.messages.clear();
  EXPECT_EQ(CommitChoice(1003, kShapePolygon), 1);
  EXPECT_EQ(*p->GetShape(), kShapePolygon);
  EXPECT_EQ(frame.messages, (std::vector<UINT>{UM_SHOWOBJECT, UM_SELECTTREEITEM, UM_BEGINCONTOUR}));
  EXPECT_EQ(pane->GetShownObject(), AsObject(p));
  Pump();
  EXPECT_EQ(std::count(frame.messages.begin(), frame.messages.end(), UM_REFRESHPARAMETERS), 1);

  // With an outline to show the view has nothing to draw.
  SetSquare(p);
  Show(p);
  frame.messages.clear();
  EXPECT_EQ(CommitChoice(1003, kShapeEllipse), 1);
  Show(p);
  EXPECT_EQ(CommitChoice(1003, kShapePolygon), 1);
  EXPECT_EQ(std::count(frame.messages.begin(), frame.messages.end(), UM_BEGINCONTOUR), 0);
}

TEST_F(PrimitivePaneTest, MembershipChangeResetsHeightsGroupAndShape)
{
  IArea* interchange = AddInterchange();
  IPrimitive* solid = Make(interchange, kShapeRectangle, kMemberShading);
  solid->SetHeight(7);
  solid->SetBaseHeight(4);
  GUID fresh{};
  CoCreateGuid(&fresh);
  const CGuid kind(&fresh);
  solid->SetGroupKind(&kind);
  Show(solid);
  ASSERT_EQ(Value(1004), "Объект затенения");
  EXPECT_EQ(CommitChoice(1004, 1), 1);  // "Тротуар" without "Фон"
  EXPECT_EQ(*solid->GetMembership(), kMemberSidewalk);
  EXPECT_DOUBLE_EQ(solid->GetHeight(), 0);
  EXPECT_DOUBLE_EQ(solid->GetBaseHeight(), 0);
  EXPECT_EQ(*solid->GetShape(), kShapePolygon);
  CGuid group;
  solid->GetGroupKind(&group);
  EXPECT_TRUE(group.IsEqual(&GUID_NULL));

  // Back to a shading object: one metre high, switched on, every vertex at that height.
  SetSquare(solid);
  const int off = kStateShown;
  solid->SetState(&off);
  Show(solid);
  EXPECT_EQ(CommitChoice(1004, 2), 1);
  EXPECT_EQ(*solid->GetMembership(), kMemberShading);
  EXPECT_DOUBLE_EQ(solid->GetHeight(), 1);
  EXPECT_TRUE(*solid->GetState() & kStateOn);
  for (INT_PTR i = 0; i < Outline(solid)->GetSize(); ++i)
    EXPECT_DOUBLE_EQ(Outline(solid)->GetAt(i).z, 1);

  // On a one-level site "Фон" is the first entry and the shape stays.
  IPrimitive* flat = Make(AddOpenSite(), kShapeEllipse, kMemberShading);
  Show(flat);
  EXPECT_EQ(CommitChoice(1004, 0), 1);
  EXPECT_EQ(*flat->GetMembership(), kMemberBackground);
  EXPECT_EQ(*flat->GetShape(), kShapeEllipse);
}

TEST_F(PrimitivePaneTest, VertexMovesKeepTheOutlineValid)
{
  IPrimitive* p = Make(AddOpenSite(), kShapePolygon, kMemberCarriageway);
  SetSquare(p, {2});
  Show(p);
  // Onto the third vertex: refused, the outline and the shown value stay.
  EXPECT_EQ(CommitDouble(1015, 10), 0);
  EXPECT_EQ(AskedTexts().back(), "Введенные данные некорректны для построения объекта.");
  EXPECT_DOUBLE_EQ(Outline(p)->GetAt(1).y, 0);
  EXPECT_DOUBLE_EQ(DYNAMIC_DOWNCAST(CTKPropertyGridItemDouble, Item(1015))->GetDouble(), 0);
  EXPECT_EQ(frame.steps.back(), "refused, undo state dropped");

  // Across the opposite side the outline would cross itself.
  EXPECT_EQ(CommitDouble(1014, -5), 0);
  EXPECT_DOUBLE_EQ(Outline(p)->GetAt(1).x, 10);
  EXPECT_EQ(AskedTexts().size(), 2u);

  // A sound move is kept and the vertex is no longer marked for moving.
  EXPECT_EQ(CommitDouble(1014, 12.345), 1);
  EXPECT_DOUBLE_EQ(Outline(p)->GetAt(1).x, 12.35);
  EXPECT_EQ(Outline(p)->GetAt(1).flags & 0x1, 0);
  EXPECT_EQ(CommitDouble(1014, 12.35), 0);  // unchanged
  EXPECT_EQ(AskedTexts().size(), 2u);
}

TEST_F(PrimitivePaneTest, HeightEditsLiftTheOutlineOfAShadingObject)
{
  IArea* interchange = AddInterchange();
  IPrimitive* solid = Make(interchange, kShapePolygon, kMemberShading);
  SetSquare(solid);
  Show(solid);
  EXPECT_EQ(CommitDouble(1017, 2.5), 1);
  EXPECT_DOUBLE_EQ(solid->GetHeight(), 2.5);
  for (INT_PTR i = 0; i < Outline(solid)->GetSize(); ++i)
    EXPECT_DOUBLE_EQ(Outline(solid)->GetAt(i).z, 2.5);

  // The z of a selected vertex of an interchange road is its own.
  IPrimitive* road = Make(interchange, kShapePolygon, kMemberCarriageway);
  SetSquare(road, {3});
  Show(road);
  EXPECT_EQ(CommitDouble(1016, 1.25), 1);
  EXPECT_DOUBLE_EQ(Outline(road)->GetAt(2).z, 1.25);
  EXPECT_DOUBLE_EQ(Outline(road)->GetAt(1).z, 0);
}

}  // namespace
