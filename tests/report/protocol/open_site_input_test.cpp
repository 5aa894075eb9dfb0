// The open site's input data built by the protocol over areas in memory: the typical forms' geometry lines, the
// widening side, one luminaire section per luminaire type, and the polar place of a pole on its circle.
#include "report/protocol/protocol_sections.h"

#include "model/groups_of_dev.h"
#include "model/igroups.h"
#include "model/iprimitive.h"
#include "model/ipole.h"
#include "model/light_device.h"
#include "tests/report/summary_fixture.h"

#include <string>

namespace {

std::size_t Count(const std::string& text, const std::string& part)
{
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

class OpenSiteInput : public ::testing::Test {
protected:
  void SetUp() override
  {
    AllItemsOff(doc);
    site = doc.Append(CLSID_CCustomizeRoad);
    doc.project->SetActiveArea(site);
    ResultsOf(site).valid = 1;
    NormsOf(site).normDocumentId = 0;
    road = Part<ICustomizeRoad>(site, IID_ICustomizeRoad);
    groups = static_cast<ObjectModel::CGroupsOfDev*>(Part<IGroupsOfDev>(site, IID_IGroupsOfDev));
  }

  std::string Build()
  {
    CRTFWriter writer;
    int neverBuilt = 1;
    COpenSiteSections sections;
    EXPECT_EQ(BuildFullReport30(&doc, writer, neverBuilt, nullptr, 0, &sections), 1);
    return Document(writer);
  }

  // Every group of the site switched on, with its placement scheme and mounting kind.
  void Groups(int scheme, int kind)
  {
    const int on = 1;
    for (IGroupOfDev* g = groups->GetFirstGroup(); g != nullptr; g = g->GetNext()) {
      g->SetState(&on);
      g->SetPlacementScheme(&scheme);
      g->SetMountingKind(&kind);
    }
  }

  ProjectDocument doc;
  IArea* site = nullptr;
  ICustomizeRoad* road = nullptr;
  ObjectModel::CGroupsOfDev* groups = nullptr;
};

TEST_F(OpenSiteInput, EachTypicalFormHasItsGeometryLines)
{
  SetItem(doc, kItemRoadData, 2);
  const int roadOn = 1;
  road->SetRoadState(&roadOn);
  const struct {
    int form, branches, widening;
    std::vector<const char*> present, absent;
  } cases[] = {
      {0, 0, 0, {"{Открытые территории в одном уровне}", "{длина}"}, {"{Проезжая часть}"}},
      {8, 0, 0, {"{Многоуровневые развязки}"}, {"{Проезжая часть}"}},
      {6, 0, 0, {"{Тип участка дороги}\\tab\\tab\\tab\\tab\\tab\\tab\\tab{}"}, {"{Ширина ПЧ"}},
      {-3, 0, 0, {"{Тип участка дороги}\\tab\\tab\\tab\\tab\\tab\\tab\\tab{}"}, {"{Проезжая часть}"}},
      {12, 0, 0, {"{Открытые территории в одном уровне}"}, {"{Проезжая часть}"}},
      {7, 1, 0, {"{Ширина ПЧ-1}", "{Угол примыкания ПЧ-1}"}, {"{Ширина ПЧ-2}"}},
      {7, 5, 0, {"{Ширина ПЧ-5}", "{Угол примыкания ПЧ-5}"}, {}},
      {5, 0, 3, {"{снизу}"}, {"{сверху}"}},
      {5, 0, 0, {"{c обеих сторон}"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form);
    site->SetTypicalForm(&c.form);
    road->SetBranchCount(&c.branches);
    road->SetWideningType(&c.widening);
    road->SetRoadState(&roadOn);
    const std::string text = Build();
    for (const char* part : c.present)
      EXPECT_NE(text.find(part), std::string::npos) << part;
    for (const char* part : c.absent)
      EXPECT_EQ(text.find(part), std::string::npos) << part;
    if (c.form == 7) {
      EXPECT_EQ(Count(text, "{Угол примыкания ПЧ-"), static_cast<std::size_t>(c.branches < 1 ? 1 : c.branches));
    }
  }
}

TEST_F(OpenSiteInput, ALuminaireTypeIsDescribedOnceForAllItsGroups)
{
  SetItem(doc, kItemLuminaire, 2);
  groups->AppendGroup(groups->CreateGroup());
  Groups(0, 0);
  IGroupOfDev* first = groups->GetFirstGroup();
  IGroupOfDev* second = first->GetNext();
  ASSERT_NE(second, nullptr);
  first->GetLightDevice()->textB = "L-100";
  second->GetLightDevice()->textB = "L-100";
  EXPECT_EQ(Count(Build(), "{Параметры ОП}"), 1u);
  second->GetLightDevice()->textB = "L-200";
  EXPECT_EQ(Count(Build(), "{Параметры ОП}"), 2u);
}

TEST_F(OpenSiteInput, AFirstPoleOnTheCircleIsGivenByRadiusAndAngle)
{
  SetItem(doc, kItemPlacement, 2);
  Groups(2, 1);
  IGroupOfDev* group = groups->GetFirstGroup();
  IPole* pole = Part<IPole>(group, IID_IPole);
  const int polar = 0x20;
  pole->SetCoordFlags(&polar);
  const struct {
    double position[3];
    const char* radius;
    const char* angle;
  } cases[] = {
      {{10, 20, 0}, "{0.00}", "{0.00}"},   // on the centre
      {{10, 15, 0}, "{5.00}", "{-90.00}"}, // straight below it
      {{13, 24, 0}, "{5.00}", "{53.13}"},
  };
  const double centre[3] = {10, 20, 0};
  for (const auto& c : cases) {
    group->SetBasePoint(centre);
    pole->SetPosition(c.position);
    const std::string text = Build();
    const std::size_t polarBlock = text.find("{Координаты 1-ой мачты (полярные):}");
    ASSERT_NE(polarBlock, std::string::npos);
    const std::string block = text.substr(polarBlock, text.find("{Угол между соседними", polarBlock) - polarBlock);
    EXPECT_NE(block.find(c.radius), std::string::npos) << block;
    EXPECT_NE(block.find(c.angle), std::string::npos) << block;
  }
}

TEST_F(OpenSiteInput, AContourGroupWritesEachSubGroupWithItsNumberAndItsIdentityOnce)
{
  SetItem(doc, kItemPlacement, 2);
  SetItem(doc, kItemLuminaire, 2);
  IGroupOfDev* group = groups->GetFirstGroup();
  const int on = 1, contour = 3, mast = 1;
  group->SetState(&on);
  group->SetMountingKind(&mast);
  group->SetPlacementScheme(&contour);
  CArray<_CSPOINT3D>* points = nullptr;
  group->GetContourPoints(&points);
  points->Add(_CSPOINT3D{0, 0, 0, 0, 0});
  points->Add(_CSPOINT3D{50, 0, 0, 0, 0});
  ASSERT_EQ(group->UpdatePolePositions(0), 0);
  ASSERT_EQ(group->GetSubGroupCount(), 3);
  const std::string text = Build();
  for (const char* heading : {"{Положение ОП - 1}", "{Положение ОП - 2}", "{Положение ОП - 3}"})
    EXPECT_EQ(Count(text, heading), 1u) << heading;
  EXPECT_EQ(Count(text, "{Наименование группы ОП}"), 1u);
  EXPECT_EQ(Count(text, "{По контуру}"), 1u);
  EXPECT_EQ(Count(text, "{Параметры ОП}"), 1u);
  EXPECT_EQ(Count(text, "{Размещение ОП}"), 3u);
}

}  // namespace
