#include "archive_bytes.h"
#include "fake_servers.h"
#include "model/group_of_dev.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/iproject.h"
#include "model/iresults.h"
#include "model/iroad.h"
#include "model/project.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace ObjectModel;

struct ProjectHolder {
  explicit ProjectHolder(IQorRoadDoc* doc) { EXPECT_EQ(CreateProject(doc, &project), S_OK); }
  ~ProjectHolder()
  {
    if (project)
      project->Release();
  }
  IProject* operator->() const { return project; }
  CProject* object() const { return dynamic_cast<CProject*>(project); }
  std::vector<IArea*> Areas() const
  {
    std::vector<IArea*> areas;
    for (IArea* a = object()->GetFirstArea(); a; a = a->GetNext())
      areas.push_back(a);
    return areas;
  }
  std::vector<std::uint8_t> Save() const
  {
    StoringArchive ar;
    object()->Serialize(ar.get(), kCurrentFormatVersion);
    return ar.bytes();
  }
  void Load(const std::vector<std::uint8_t>& bytes) const
  {
    LoadingArchive ar(bytes);
    object()->Serialize(ar.get(), kCurrentFormatVersion);
  }
  IProject* project = nullptr;
};

template <class I>
I* Query(IModelUnknown* from, const IID& iid)
{
  void* out = nullptr;
  if (FAILED(from->QueryInterface(&iid, &out)))
    return nullptr;
  auto* result = static_cast<I*>(out);
  result->Release();  // the object stays held by its owner
  return result;
}

TEST(Project, CreateProjectMakesOneActiveStraightRoad)
{
  IProject* untouched = reinterpret_cast<IProject*>(0x1);
  EXPECT_EQ(CreateProject(nullptr, &untouched), E_FAIL);
  EXPECT_EQ(untouched, reinterpret_cast<IProject*>(0x1));

  ServerDocument doc;
  doc.whole["20:"] = 350;
  doc.whole["22:"] = 4100;
  doc.real["28:"] = 0.07;
  ProjectHolder p(&doc);
  ASSERT_EQ(p.Areas().size(), 1u);
  IArea* area = Query<IArea>(p.project, IID_ActiveArea);
  ASSERT_EQ(area, p.Areas()[0]);
  EXPECT_NE(Query<IStraightRoad>(area, IID_IStraightRoad), nullptr);
  EXPECT_EQ(Query<IModelUnknown>(area, IID_ICustomizeRoad), nullptr);
  EXPECT_STREQ(*area->GetCaption(), "Объект - 1 [Прямая дорога]");
  EXPECT_EQ(p.object()->GetAreaCounter(), 1);
  EXPECT_STREQ(*p->GetName(), "Проект");
  EXPECT_EQ(p->GetElectricityTariff(), 3.5);
  EXPECT_EQ(*p->GetHoursOfUse(), 4100);
  EXPECT_EQ(*p->GetLuminaireAmortisation(), 0.07);
  EXPECT_EQ(*p->GetPolesInCost(), 1);
  EXPECT_EQ(p->RemoveArea(area), 1);

  IRoad* road = Query<IRoad>(area, IID_IRoad);
  ASSERT_NE(road, nullptr);
  IGroupsOfDev* groups = Query<IGroupsOfDev>(area, IID_IGroupsOfDev);
  ASSERT_NE(groups, nullptr);
  EXPECT_NE(Query<IGroupOfDev>(groups, IID_IGroupOfDev), nullptr);
  EXPECT_NE(Query<IResultsOfCalc>(area, IID_IResultsOfCalc), nullptr);
}

TEST(Project, TariffIsKeptToTheNearestHundredth)
{
  FakeDocument doc;
  ProjectHolder p(&doc);
  const double tariff = 0.019;
  p->SetElectricityTariff(&tariff);
  EXPECT_EQ(p->GetElectricityTariff(), 0.02);
  const double exact = 4.29;
  p->SetElectricityTariff(&exact);
  EXPECT_EQ(p->GetElectricityTariff(), 4.29);
}

TEST(Project, AreaListOperations)
{
  FakeDocument doc;
  ProjectHolder p(&doc);
  IArea* first = p.Areas()[0];
  IArea* second = p->InsertAreaAfter(CLSID_CStraightRoad, first);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->IsActive(), 0);
  EXPECT_STREQ(*second->GetCaption(), "Объект - 2 [Прямая дорога]");
  second->Release();

  // An area of another project changes nothing: the formerly active one stays active.
  ProjectHolder other(&doc);
  EXPECT_EQ(p->SetActiveArea(other.Areas()[0]), 0);
  EXPECT_EQ(first->IsActive(), 1);
  // A reference area not in the list appends.
  IArea* third = p->InsertAreaAfter(CLSID_CStraightRoad, other.Areas()[0]);
  third->Release();
  EXPECT_EQ(p.Areas().back(), third);

  EXPECT_EQ(p->SetActiveArea(second), 0);
  EXPECT_EQ(first->IsActive(), 0);
  EXPECT_EQ(p->RemoveArea(second), 1);
  EXPECT_EQ(p->RemoveArea(first), 0);
  EXPECT_EQ(p.Areas().front(), second);
  EXPECT_EQ(p.Areas().size(), 2u);

  const int before = p.object()->GetAreaCounter();
  EXPECT_EQ(p->CreateArea(CLSID_CProject, nullptr), nullptr);
  EXPECT_EQ(p.object()->GetAreaCounter(), before + 1);
}

TEST(Project, SavedAndLoadedAgainIsByteIdenticalOnTheSecondSave)
{
  ServerDocument doc;
  doc.hasPriceDatabase = false;
  ProjectHolder p(&doc);
  IArea* second = p->InsertAreaAfter(CLSID_CStraightRoad, p.Areas()[0]);
  second->Release();
  for (IArea* area : p.Areas()) {
    const double length = 120.0;
    area->SetLength(&length);
    IGroupsOfDev* groups = Query<IGroupsOfDev>(area, IID_IGroupsOfDev);
    IGroupOfDev* group = Query<IGroupOfDev>(groups, IID_IGroupOfDev);
    const int three = 3;
    group->SetPoleCount(&three);
  }
  const CString customer = "Заказчик";
  p->SetCustomer(&customer);
  p->SetAreaCounter(7);
  const auto first = p.Save();

  ProjectHolder loaded(&doc);
  loaded.Load(first);
  ASSERT_EQ(loaded.Areas().size(), 2u);
  EXPECT_EQ(loaded.Areas()[0]->IsActive(), 1);
  EXPECT_EQ(loaded.Areas()[1]->IsActive(), 0);
  EXPECT_EQ(*loaded.Areas()[1]->GetLength(), 120.0);
  EXPECT_EQ(loaded.object()->GetAreaCounter(), 7);
  EXPECT_STREQ(*loaded->GetCustomer(), "Заказчик");
  EXPECT_EQ(loaded.Save(), first);
}

// The groups and poles a read makes stand in only until the file's own replace them: asking the databases for
// them cost most of an open. The prices and the luminaire are the file's, whatever the databases say by then.
TEST(Project, AReadProjectAsksTheDatabasesNothing)
{
  ServerDocument doc;
  doc.luminaire.luminaireName = "ЖКУ";
  doc.whole["12:ЖКУ"] = 700000;
  doc.whole["13:ОТ-8,5"] = 1500000;
  ProjectHolder p(&doc);
  p->InsertAreaAfter(CLSID_CStraightRoad, p.Areas()[0])->Release();
  const auto bytes = p.Save();

  doc.whole.clear();
  doc.luminaire.luminaireName = "Другой";
  doc.recordsTaken = doc.priceQuestions = 0;
  const int selections = doc.selectDefaultCalls;
  ProjectHolder loaded(&doc);
  doc.recordsTaken = doc.priceQuestions = 0;
  loaded.Load(bytes);
  EXPECT_EQ(doc.recordsTaken, 0);
  EXPECT_EQ(doc.priceQuestions, 0);
  // The database's choice moves as it always did, for groups made after the open.
  EXPECT_GT(doc.selectDefaultCalls, selections);
  ASSERT_EQ(loaded.Areas().size(), 2u);
  for (IArea* area : loaded.Areas()) {
    auto* group = static_cast<CGroupOfDev*>(Query<IGroupOfDev>(Query<IGroupsOfDev>(area, IID_IGroupsOfDev), IID_IGroupOfDev));
    EXPECT_STREQ(group->GetLightDevice()->luminaireName, "ЖКУ");
    EXPECT_EQ(group->GetLightDevice()->luminairePrice, 700000);
    EXPECT_EQ(group->GetFirstPole()->GetPolePrice(), 15000.0);
  }
  EXPECT_EQ(loaded.Save(), bytes);

  // Made outside a read, a road asks as before.
  loaded->InsertAreaAfter(CLSID_CStraightRoad, nullptr)->Release();
  EXPECT_GT(doc.recordsTaken, 0);
  EXPECT_GT(doc.priceQuestions, 0);
}

TEST(Project, AnAreaOfNoKnownKindStopsTheLoad)
{
  Bytes b;
  b.str("Проект").str("").str("").i32(0).f64(45000.0).str("").str("").str("");
  b.i32(1).u32(0xDEADBEEF).u16(1).u16(2).zeros(8).zeros(64);
  FakeDocument doc;
  ProjectHolder p(&doc);
  EXPECT_EQ(ArchiveErrorOf([&] { p.Load(b.data()); }), CArchiveException::badClass);
  EXPECT_TRUE(p.Areas().empty());
}

TEST(Project, CopyKeepsTheDateAndTheCounter)
{
  FakeDocument doc;
  ProjectHolder source(&doc);
  IArea* second = source->InsertAreaAfter(CLSID_CStraightRoad, source.Areas()[0]);
  second->Release();
  source->RemoveArea(source.Areas()[1]);
  const COleDateTime date(2020, 5, 17, 10, 0, 0);
  source->SetDate(&date);
  ProjectHolder copy(&doc);
  IClassObjModel* from = Query<IClassObjModel>(source.project, IID_IClassObjModel);
  IClassObjModel* to = Query<IClassObjModel>(copy.project, IID_IClassObjModel);
  EXPECT_EQ(from->CopyTo(to, 0), 0);
  EXPECT_EQ(static_cast<DATE>(*copy->GetDate()), static_cast<DATE>(date));
  EXPECT_EQ(copy.object()->GetAreaCounter(), 2);
  ASSERT_EQ(copy.Areas().size(), 1u);
  EXPECT_EQ(copy.Areas()[0]->IsActive(), 1);
  EXPECT_EQ(copy.Save(), source.Save());
}

}  // namespace
