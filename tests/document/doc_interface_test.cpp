// The document's life and its interface: the trace steps of its start, the query keys, the reference count,
// the slots that need a view, the underlays and the placement point.
#include "document_env.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/project.h"
#include "platform/com/combase.h"
#include "platform/mfc/view.h"

namespace {

class DocumentInterface : public DocumentTest {};

TEST_F(DocumentInterface, StartWritesStepsOneToSevenThenEighteenToTwenty)
{
  Start();
  EXPECT_EQ(LoggerObjs::GetLogger().GetSteps(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 18, 19, 20}));
  EXPECT_EQ(doc->GetInterfaceCount(), 1);
  EXPECT_NE(doc->GetGraphicCore(), nullptr);
  EXPECT_NE(doc->GetStatisticsObject(), nullptr);
}

TEST_F(DocumentInterface, TheStartHandsTheProfilesTransparencyToItsComponent)
{
  FakeTransparency::Register();
  Start();
  EXPECT_EQ(FakeTransparency::alpha, 255);
}

TEST_F(DocumentInterface, QueryKeysAnswerTheCurrentStateAndTheServers)
{
  Start();
  struct Key {
    const char* name;
    IID iid;
    HRESULT expected;
  };
  const Key keys[] = {
      {"IUnknown", IID_IUnknown, E_NOINTERFACE},
      {"IClassObjModel", IID_IClassObjModel, E_NOINTERFACE},
      {"IProject", IID_IProject, S_OK},
      {"IVisualOpt", IID_IVisualOpt, S_OK},
      {"active area", IID_ActiveArea, S_OK},
      {"IQorRoadDoc", IID_IQorRoadDoc, S_OK},
      {"luminaire database", IID_ILuminaireDatabase, S_OK},
  };
  for (const Key& k : keys) {
    SCOPED_TRACE(k.name);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(doc->QueryInterface(k.iid, &out), k.expected);
    if (k.expected != S_OK) {
      EXPECT_EQ(out, nullptr);
      continue;
    }
    ASSERT_NE(out, nullptr);
    if (k.iid == IID_IQorRoadDoc)
      static_cast<IQorRoadDoc*>(out)->Release();
    else if (k.iid == IID_ILuminaireDatabase)
      static_cast<IUnknown*>(out)->Release();
    else
      static_cast<IModelUnknown*>(out)->Release();
  }
  void* project = nullptr;
  doc->QueryInterface(IID_IProject, &project);
  EXPECT_EQ(static_cast<IProject*>(project), doc->GetCurrentProject());
  static_cast<IProject*>(project)->Release();
}

TEST_F(DocumentInterface, CatalogueSlotsGoToTheLuminaireDatabase)
{
  Start();
  ASSERT_EQ(doc->GetCatalogCount(), 1);
  _CATALOG_INFO* info = doc->GetCatalogInfo(0);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(info->id, "1");
  EXPECT_EQ(doc->GetCatalogInfo(5), nullptr);
  EXPECT_EQ(doc->UnloadCatalog(0, "no such catalogue", 0), FALSE);
  EXPECT_EQ(doc->UnloadCatalog(0, "1", 0), TRUE);
  EXPECT_EQ(doc->GetCatalogCount(), 0);
  EXPECT_EQ(doc->ReopenLuminaireDatabase(), 0);
  EXPECT_EQ(doc->GetCatalogCount(), 1);
}

TEST_F(DocumentInterface, ReleaseToZeroLeavesTheDocumentAlive)
{
  Start();
  EXPECT_EQ(doc->Release(), 0u);
  EXPECT_EQ(doc->AddRef(), 1u);
  EXPECT_EQ(doc->GetStateCount(), 1);
}

TEST_F(DocumentInterface, SlotsThatNeedTheViewAnswerWithoutOne)
{
  Start();
  EXPECT_EQ(doc->NotifyView(0, 0, TRUE), 1);
  EXPECT_EQ(doc->NotifyFontChanged(0, 0), 1);
  EXPECT_EQ(doc->IsContourOfPrim(), FALSE);
  EXPECT_EQ(doc->IsReloctblPrimitives(), FALSE);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->CanRedo());
}

// The program's view as the document sees it: its two flags.
class FlagView : public CView, public IQorRoadView {
public:
  BOOL& ContourOfPrim() override { return contour; }
  BOOL& ReloctblPrimitives() override { return relocatable; }
  BOOL contour = FALSE;
  BOOL relocatable = FALSE;
};

TEST_F(DocumentInterface, TheViewsFlagsAreReadAndSetThroughTheFirstView)
{
  Start();
  doc->m_bAutoDelete = FALSE;
  FlagView view;
  doc->AddView(&view);
  EXPECT_EQ(doc->SetContourOfPrim(TRUE), 0);
  EXPECT_TRUE(view.contour);
  EXPECT_EQ(doc->IsContourOfPrim(), TRUE);
  doc->SetReloctblPrimitives(TRUE);
  EXPECT_EQ(doc->IsReloctblPrimitives(), TRUE);
  EXPECT_EQ(doc->NotifyView(0, 0, FALSE), 0);
  EXPECT_EQ(doc->NotifyFontChanged(0, 1), 0);
  doc->RemoveView(&view);
  EXPECT_EQ(doc->IsContourOfPrim(), FALSE);
}

// A render core that remembers the rasters it is told to drop.
class RecordingCore : public CGraphicCore {
public:
  using CGraphicCore::CGraphicCore;
  void RemoveRaster(int id) override { removed.push_back(id); }
  std::vector<int> removed;
};

TEST_F(DocumentInterface, AnUnderlayStillCarriedInAnotherStateIsKept)
{
  SetGraphicCoreFactory([](IQorRoadDoc* context) -> CGraphicCore* { return new RecordingCore(context); });
  Start();
  SetGraphicCoreFactory(nullptr);
  auto* core = static_cast<RecordingCore*>(doc->GetGraphicCore());
  auto* tree = dynamic_cast<ObjectModel::CProject*>(doc->GetCurrentProject());
  const int raster = 7;
  tree->GetFirstArea()->SetUnderlayId(&raster);
  doc->PushUndoState();  // the snapshot's copy carries raster 7 too

  doc->ReleaseUnderlay(7);
  EXPECT_TRUE(core->removed.empty());
  doc->ReleaseUnderlay(0);
  EXPECT_TRUE(core->removed.empty());
  doc->ReleaseUnderlay(9);
  EXPECT_EQ(core->removed, (std::vector<int>{9}));
  doc->ReleaseUnderlay(0x1003);  // the graphics library's: not a raster
  EXPECT_EQ(core->removed, (std::vector<int>{9}));

  EXPECT_TRUE(doc->FindUnderlayUser(7, FALSE));
  EXPECT_TRUE(doc->FindUnderlayUser(7, TRUE));
  EXPECT_FALSE(doc->FindUnderlayUser(7, FALSE));
}

TEST_F(DocumentInterface, CalcAreaIdsAreLookedForInTheAskedStates)
{
  Start();
  auto* tree = dynamic_cast<ObjectModel::CProject*>(doc->GetCurrentProject());
  const int id = 4;
  tree->GetFirstArea()->SetCalcAreaId(&id);
  doc->PushUndoState();
  const int other = 5;
  tree->GetFirstArea()->SetCalcAreaId(&other);
  EXPECT_FALSE(doc->IsCalcAreaIdFree(4, FALSE));
  EXPECT_TRUE(doc->IsCalcAreaIdFree(4, TRUE));
  EXPECT_FALSE(doc->IsCalcAreaIdFree(5, TRUE));
}

TEST_F(DocumentInterface, PlacementPointOfAnotherAreaIsAtItsOriginAndNeverBelowGround)
{
  Start();
  IProject* project = doc->GetCurrentProject();
  IArea* second = project->InsertAreaAfter(CLSID_CStraightRoad, nullptr);
  ASSERT_NE(second, nullptr);
  const double base = 3.5;
  second->SetBaseHeight(&base);
  double point[3] = {9, 9, 9};
  doc->GetPlacementPoint(point, second);
  EXPECT_EQ(point[0], 0.0);
  EXPECT_EQ(point[1], 0.0);
  EXPECT_EQ(point[2], 3.5);
  const double below = -2.0;
  second->SetBaseHeight(&below);
  doc->GetPlacementPoint(point, second);
  EXPECT_EQ(point[2], 0.0);
  second->Release();
}

TEST_F(DocumentInterface, NewProjectCamerasComeFromThePresets)
{
  Start();
  _DEVCPOSITION* camera = nullptr;
  ASSERT_EQ(doc->GetViewCamera(2, &camera), 0);
  EXPECT_EQ(camera->angle1, 90.0);
  ASSERT_EQ(doc->GetViewCamera(16, &camera), 0);
  EXPECT_EQ(camera->angle2, 180.0);
  EXPECT_GE(doc->GetMarkerSize(), 0.0);
}

}  // namespace
