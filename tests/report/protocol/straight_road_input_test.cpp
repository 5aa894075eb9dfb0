// The straight road's input data built by the protocol over a road in memory: the full width, the walls'
// captions by the sidewalk beside them, the norm documents, the position rows each arrangement and mounting
// keeps, the contents pages of luminaire sections without placement, and group titles that do not fit.
#include "report/protocol/protocol_sections.h"

#include "model/groups_of_dev.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iroad.h"
#include "tests/report/summary_fixture.h"

#include <string>

namespace {

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class StraightRoadInput : public ::testing::Test {
protected:
  void SetUp() override
  {
    AllItemsOff(doc);
    area = doc.Areas()[0];
    ResultsOf(area).valid = 1;
    road = Part<IRoad>(area, IID_IRoad);
    sidewalks = Part<IPavement>(area, IID_IPavement);
    walls = Part<IWall>(area, IID_IWall);
    groups = static_cast<ObjectModel::CGroupsOfDev*>(Part<IGroupsOfDev>(area, IID_IGroupsOfDev));
    NormsOf(area).normDocumentId = 0;
  }

  // Sidewalk and wall strips on or off: right sidewalk, left sidewalk, right wall, left wall.
  void Strips(bool rightWalk, bool leftWalk, bool rightWall, bool leftWall)
  {
    const int pavement = 0;
    sidewalks->SetFlags(&pavement);
    const int wallFlags = 0;
    walls->SetFlags(&wallFlags);
    const int on = 1, off = 0;
    Part<ILineOfRoad>(sidewalks, IID_RightPavement)->SetState(rightWalk ? &on : &off);
    Part<ILineOfRoad>(sidewalks, IID_LeftPavement)->SetState(leftWalk ? &on : &off);
    Part<ILineOfRoad>(walls, IID_RightWall)->SetState(rightWall ? &on : &off);
    Part<ILineOfRoad>(walls, IID_LeftWall)->SetState(leftWall ? &on : &off);
  }

  std::string Build(CRTFWriter& writer)
  {
    int neverBuilt = 1;
    CStraightRoadSections sections;
    EXPECT_EQ(BuildFullReport(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
    return Document(writer);
  }
  std::string Build()
  {
    CRTFWriter writer;
    return Build(writer);
  }

  ProjectDocument doc;
  IArea* area = nullptr;
  IRoad* road = nullptr;
  IPavement* sidewalks = nullptr;
  IWall* walls = nullptr;
  ObjectModel::CGroupsOfDev* groups = nullptr;
};

TEST_F(StraightRoadInput, TheRoadsFullWidthAddsWhatIsShownAndIsLeftOutWhenNothingIs)
{
  SetItem(doc, kItemRoadData, 2);
  const int oneWay = 0, main = 0;
  const UINT lanes = 2;
  const double width = 3.5;
  road->SetTwoWay(&oneWay);
  road->SetLaneCount(&main, &lanes);
  road->SetLaneWidth(&main, &width);
  Strips(false, false, false, false);
  std::string text = Build();
  ASSERT_TRUE(Has(text, "{Дорога}"));
  EXPECT_TRUE(Has(text.substr(text.find("{Дорога}")), "{ 7.00}")) << "the carriageway's width alone";

  const int hidden = 0;
  road->SetState(&hidden);
  text = Build();
  EXPECT_FALSE(Has(text, "{Проезжая часть}"));
  EXPECT_FALSE(Has(text, "{Дорога}"));
}

TEST_F(StraightRoadInput, AWallIsMeasuredFromTheSidewalkBesideItOrFromTheCarriageway)
{
  SetItem(doc, kItemRoadData, 2);
  Strips(true, false, true, true);
  const std::string text = Build();
  const std::size_t right = text.find("{Стена здания (правая)}");
  const std::size_t left = text.find("{Стена здания (левая)}");
  ASSERT_NE(right, std::string::npos);
  ASSERT_NE(left, std::string::npos);
  EXPECT_EQ(text.find("{Отступ от тротуара}", right), text.find("{Отступ от тротуара}"));
  EXPECT_LT(text.find("{Отступ от тротуара}", right), left);
  EXPECT_GT(text.find("{Отступ от ПЧ}", left), left);
  EXPECT_FALSE(Has(text, "Тротуар (левый)"));
}

TEST_F(StraightRoadInput, EachNormDocumentHasItsNameAndTitle)
{
  SetItem(doc, kItemRoadData, 2);
  std::string text = Build();
  EXPECT_FALSE(Has(text, "Нормативный документ")) << "no document chosen";
  NormsOf(area).normDocumentId = 2;
  const std::string second = Build();
  NormsOf(area).normDocumentId = 5;
  const std::string fifth = Build();
  EXPECT_TRUE(Has(second, "{СП 52.13330.2011}"));
  EXPECT_TRUE(Has(fifth, "{СП 52.13330.2016}"));
  for (const std::string* t : {&second, &fifth})
    EXPECT_TRUE(Has(*t, "Актуализированная")) << "ids 2 and 5 share their title";
}

TEST_F(StraightRoadInput, EachArrangementAndMountingKeepsItsOwnPositionRows)
{
  SetItem(doc, kItemPlacement, 2);
  IGroupOfDev* group = groups->GetFirstGroup();
  const int on = 1;
  group->SetState(&on);
  const struct {
    int scheme, kind, aimFlags;
    std::vector<const char*> present, absent;
  } cases[] = {
      {5, 0, 0, {"{Разворот консоли относительно поперечного сечения    }", "{дороги}", "{b}"},
       {"{a}", "{d}", "{Разворот ОП относительно"}},
      {4, 0, 0, {"{a}", "{d}", "{Разворот ОП относительно"}, {"{b}"}},
      {0, 1, 0, {"{Шаг между мачтами}", "{Нацеливание ОП}"}, {"{d}", "полярные"}},
      {0, 1, 0x20, {"{Нацеливание ОП}", "{Координаты точки нацеливания (полярные):}", "{d}"}, {}},
      {2, 2, 0, {"{Расположение узла крепления}", "{снизу}"}, {"{Нацеливание ОП}"}},
  };
  IPole* pole = Part<IPole>(group, IID_IPole);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "arrangement " << c.scheme << ", mounting " << c.kind);
    group->SetRoadScheme(&c.scheme);
    group->SetMountingKind(&c.kind);
    pole->SetAimFlags(&c.aimFlags);
    const std::string text = Build();
    for (const char* part : c.present)
      EXPECT_TRUE(Has(text, part)) << part;
    for (const char* part : c.absent)
      EXPECT_FALSE(Has(text, part)) << part;
  }
}

TEST_F(StraightRoadInput, LuminaireSectionsWithoutPlacementCountTheSecondGroupOnePageMore)
{
  SetItem(doc, kItemTitlePage, 2);
  SetItem(doc, kItemLuminaire, 2);
  for (int i = 0; i < 2; ++i)
    groups->AppendGroup(groups->CreateGroup());
  const int on = 1;
  for (IGroupOfDev* g = groups->GetFirstGroup(); g != nullptr; g = g->GetNext())
    g->SetState(&on);
  CRTFWriter writer;
  const std::string text = Build(writer);
  // Every luminaire section ends with a page break; the second and the third start one page later than that.
  const std::string contents = text.substr(text.find("{Содержание}"));
  std::vector<int> pages;
  for (std::size_t at = contents.find("{параметры ОП}"); at != std::string::npos;
       at = contents.find("{параметры ОП}", at + 1)) {
    const std::size_t result = contents.find("\\fldrslt ", at);
    pages.push_back(std::stoi(contents.substr(result + 9)));
  }
  EXPECT_EQ(pages, (std::vector<int>{2, 4, 5}));
}

TEST_F(StraightRoadInput, AGroupNameTooLongForTheContentsIsCutAndMarked)
{
  const CString longName(CString('x', 300) + "{\\}");
  const CString title = GroupTitle(longName);
  EXPECT_EQ(title.GetLength(), 254);
  EXPECT_EQ(title.Right(2), CString("…}"));
  EXPECT_EQ(title.Left(12), CString("{Группа ОП: "));
  const CString braces(CString('{', 200));
  const CString escaped = GroupTitle(braces);
  EXPECT_LE(escaped.GetLength(), 254);
  EXPECT_EQ(escaped.Find("\\{…"), escaped.GetLength() - 4) << "an escape is never split";
  EXPECT_EQ(GroupTitle("Группа 1"), CString("{Группа ОП: Группа 1}"));
}

}  // namespace
