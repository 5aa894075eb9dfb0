// Callers and outside code reach the interfaces by slot; the order is part of each contract.
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/ipavement.h"
#include "model/iresults.h"
#include "model/iroad.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

// The Itanium C++ ABI keeps a pointer to a virtual member as 1 + its byte offset in the vtable.
template <class F>
std::ptrdiff_t Slot(F member)
{
  static_assert(sizeof(F) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t words[2];
  std::memcpy(words, &member, sizeof words);
  return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

#define EXPECT_SLOT(member, slot) EXPECT_EQ(Slot(member), slot) << #member

TEST(SlotOrder, ModelObject)
{
  EXPECT_SLOT(&IClassObjModel::QueryInterface, 0);
  EXPECT_SLOT(&IClassObjModel::Release, 2);
  EXPECT_SLOT(&IClassObjModel::ReleaseNoDelete, 3);
  EXPECT_SLOT(&IClassObjModel::Serialize, 7);
  EXPECT_SLOT(&IClassObjModel::CopyTo, 12);
  EXPECT_SLOT(&IClassObjModel::SetName, 17);
  EXPECT_SLOT(&IClassObjModel::DeleteThis, 20);
  EXPECT_SLOT(&IClassObjModel::SetParent, 21);
}

TEST(SlotOrder, Area)
{
  EXPECT_SLOT(&IArea::GetCaption, 3);
  EXPECT_SLOT(&IArea::GetStandards, 17);
  EXPECT_SLOT(&IArea::SetViewParam4, 28);
  EXPECT_SLOT(&IArea::HitTest, 30);
  EXPECT_SLOT(&IArea::GetViewParam5, 33);
  EXPECT_SLOT(&IArea::SetViewParam7, 38);
  EXPECT_SLOT(&IArea::BuildTypicalForm, 42);
  EXPECT_SLOT(&IArea::GetViewCamera, 47);
  EXPECT_SLOT(&IArea::SetUnderlayId, 50);
  EXPECT_SLOT(&IArea::GetGridStep, 52);
  EXPECT_SLOT(&IArea::OnKeyDown, 56);
  EXPECT_SLOT(&IArea::SetReportOrigin, 59);
  EXPECT_SLOT(&IArea::GetReportOrigin, 66);
}

TEST(SlotOrder, CrossSection)
{
  EXPECT_SLOT(&ILineOfRoad::GetType, 3);
  EXPECT_SLOT(&ILineOfRoad::GetParapetWidth, 11);
  EXPECT_SLOT(&ILineOfRoad::GetNext, 15);
  EXPECT_SLOT(&ILineOfRoad::ClearSelection, 21);
  EXPECT_SLOT(&IRoad::GetName, 3);
  EXPECT_SLOT(&IRoad::SetTwoWay, 7);
  EXPECT_SLOT(&IRoad::SetLaneCount, 11);
  EXPECT_SLOT(&IRoad::UpdateAreaWidth, 23);
  EXPECT_SLOT(&IRoad::ClearSelection, 27);
  EXPECT_SLOT(&IPavement::SetFlags, 6);
  EXPECT_SLOT(&IPavement::Reserved, 11);
  EXPECT_SLOT(&IPavement::ClearSelection, 12);
  EXPECT_SLOT(&IWall::RemoveRight, 10);
  EXPECT_SLOT(&IWall::ClearSelection, 11);
  EXPECT_SLOT(&IResultsOfCalc::Clear, 3);
  EXPECT_SLOT(&IResultsOfCalc::GetRecordValue, 5);
}

TEST(SlotOrder, DocumentInterface)
{
  EXPECT_SLOT(&IQorRoadDoc::StartCalculation, 3);
  EXPECT_SLOT(&IQorRoadDoc::PushUndoState, 10);
  EXPECT_SLOT(&IQorRoadDoc::NotifyView, 17);
  EXPECT_SLOT(&IQorRoadDoc::GetViewParam0, 23);
  EXPECT_SLOT(&IQorRoadDoc::SetViewParam4, 32);
  EXPECT_SLOT(&IQorRoadDoc::ResetViewCameras, 35);
  EXPECT_SLOT(&IQorRoadDoc::SetViewParam7, 45);
  EXPECT_SLOT(&IQorRoadDoc::GetViewCamera, 49);
  EXPECT_SLOT(&IQorRoadDoc::GetMarkerSize, 55);
  EXPECT_SLOT(&IQorRoadDoc::ReleaseUnderlay, 60);
  EXPECT_SLOT(&IQorRoadDoc::GetGraphicCore, 65);
  EXPECT_SLOT(&IQorRoadDoc::UnloadCatalog, 70);
}

TEST(SlotOrder, PolesAndGroups)
{
  EXPECT_SLOT(&IPole::Serialize, 3);
  EXPECT_SLOT(&IPole::GetHeight, 9);
  EXPECT_SLOT(&IPole::UpdateFromCatalogue, 19);
  EXPECT_SLOT(&IPole::GetDistanceToPrev, 28);
  EXPECT_SLOT(&IPole::GetCircleRotation, 33);
  EXPECT_SLOT(&IPole::ComputeAimTilt, 40);
  EXPECT_SLOT(&IPole::SetMountSide, 49);
  EXPECT_SLOT(&IPole::GetBracketMountPrice, 57);
  EXPECT_SLOT(&IGroupOfDev::GetName, 3);
  EXPECT_SLOT(&IGroupOfDev::RefreshLightDevice, 13);
  EXPECT_SLOT(&IGroupOfDev::Reserved, 23);
  EXPECT_SLOT(&IGroupOfDev::DragHandle, 27);
  EXPECT_SLOT(&IGroupOfDev::SetPoleCount, 31);
  EXPECT_SLOT(&IGroupOfDev::GetContourPoints, 39);
  EXPECT_SLOT(&IGroupOfDev::ComputeContourPositions, 45);
  EXPECT_SLOT(&IGroupOfDev::SnapToPrimitiveOutline, 53);
  EXPECT_SLOT(&IGroupOfDev::TestKeyDown, 55);
  EXPECT_SLOT(&IGroupsOfDev::CreateGroup, 7);
  EXPECT_SLOT(&IGroupsOfDev::HitTestGroup, 11);
  EXPECT_SLOT(&IGroupsOfDev::FindGroupByNumber, 14);
  EXPECT_SLOT(&IGroupsOfDev::TestKeyDown, 18);
}

TEST(SlotOrder, ProjectAndVisualOptions)
{
  EXPECT_SLOT(&IProject::GetName, 3);
  EXPECT_SLOT(&IProject::SetCustomer, 16);
  EXPECT_SLOT(&IProject::CreateArea, 18);
  EXPECT_SLOT(&IProject::SetAreaCounter, 23);
  EXPECT_SLOT(&IProject::SetElectricityTariff, 25);
  EXPECT_SLOT(&IProject::SetBracketAmortisation, 37);
  EXPECT_SLOT(&IProject::GetBracketsInCost, 41);
  EXPECT_SLOT(&IVisualOpt::SetDefaults, 3);
  EXPECT_SLOT(&IVisualOpt::SaveColours, 10);
  EXPECT_SLOT(&IVisualOpt::GetFontCount, 14);
  EXPECT_SLOT(&IVisualOpt::GetReportPreferences, 23);
  EXPECT_SLOT(&IVisualOpt::SetShowMoveFilling, 31);
  EXPECT_SLOT(&IVisualOpt::GetIsoLevelsInRange, 34);
  EXPECT_SLOT(&IVisualOpt::GetColourLevels, 43);
  EXPECT_SLOT(&IVisualOpt::GetColourLevels5, 49);
  EXPECT_SLOT(&IVisualOpt::Assign, 51);
}

}  // namespace
