// A render core that really holds the calculation-area managers, installed as the application installs the
// full core: the project file carries the managers of the areas and reads them back byte for byte.
#include "document_env.h"
#include "results_core.h"
#include "model/iarea.h"
#include "model/project.h"

namespace {

class GeometryCoreFile : public DocumentTest {
protected:
  void SetUp() override
  {
    DocumentTest::SetUp();
    SetGraphicCoreFactory(&ResultsCore::Make);
  }
  void TearDown() override
  {
    DocumentTest::TearDown();
    SetGraphicCoreFactory(nullptr);
  }
  ResultsCore& Core() { return ResultsCore::Of(*doc); }
};

TEST_F(GeometryCoreFile, ManagersOfTheAreasGoThroughTheFileByteForByte)
{
  Start();
  IProject* project = doc->GetCurrentProject();
  IArea* second = project->InsertAreaAfter(CLSID_CStraightRoad, nullptr);
  auto* tree = dynamic_cast<ObjectModel::CProject*>(project);
  int levelsOfArea = 2;
  for (IArea* area = tree->GetFirstArea(); area; area = area->GetNext(), ++levelsOfArea) {
    int id = 0;
    CCalcAreaManager* manager = Core().managers.ProvideManager(0, &id, nullptr, 3);
    area->SetCalcAreaId(&id);
    for (int k = 0; k < levelsOfArea; ++k)
      manager->GetLevels().Add(0.5f * static_cast<float>(k + 1));
  }
  // A manager no area carries any more is not saved.
  int orphan = 0;
  Core().managers.ProvideManager(0, &orphan, nullptr, 0);
  second->Release();

  const std::string first = TempPath("managers.qorr5");
  const std::string again = TempPath("managers-again.qorr5");
  ASSERT_TRUE(doc->OnSaveDocument(first.c_str()));
  ASSERT_TRUE(doc->OnOpenDocument(first.c_str()));
  ASSERT_EQ(Core().managers.GetManagers().size(), 2u);
  EXPECT_EQ(Core().managers.GetManagers()[1]->GetLevels().GetSize(), 3);
  EXPECT_EQ(Core().managers.GetManagers()[1]->GetDisplayMode(), 3);
  ASSERT_TRUE(doc->OnSaveDocument(again.c_str()));
  EXPECT_EQ(ReadFile(again), ReadFile(first));
}

TEST_F(GeometryCoreFile, AFileOfTheDefaultCoreOpensWithTheFullCore)
{
  SetGraphicCoreFactory(nullptr);
  Start();
  const std::string path = TempPath("default-core.qorr5");
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  doc.reset();
  SetGraphicCoreFactory(&ResultsCore::Make);
  Start();
  const std::string again = TempPath("full-core.qorr5");
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
  EXPECT_TRUE(Core().managers.GetManagers().empty());
  ASSERT_TRUE(doc->OnSaveDocument(again.c_str()));
  EXPECT_EQ(ReadFile(again), ReadFile(path));
}

}  // namespace
