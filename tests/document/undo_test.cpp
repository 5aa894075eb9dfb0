// The undo history: snapshots, their limit, withdrawing one, stepping through states with the cameras kept,
// and the live objects that panes hold staying the same.
#include "document_env.h"
#include "model/iarea.h"

namespace {

class UndoHistory : public DocumentTest {
protected:
  int Quantity() { return *doc->GetCurrentOptions()->GetQuantity(); }
  void SetQuantity(int q) { doc->GetCurrentOptions()->SetQuantity(&q); }
  // What each state holds is told by the quantity of its options.
  std::vector<int> Quantities()
  {
    std::vector<int> q;
    for (int i = 0; i < doc->GetStateCount(); ++i)
      q.push_back(*doc->GetOptionsState(i)->GetQuantity());
    return q;
  }
};

TEST_F(UndoHistory, FourSnapshotsLeaveThreeStatesWithTheLiveOneLast)
{
  Start();
  IProject* liveProject = doc->GetCurrentProject();
  IVisualOpt* liveOptions = doc->GetCurrentOptions();
  doc->SetModifiedFlag(FALSE);
  SetQuantity(0);
  for (int edit = 1; edit <= 4; ++edit) {
    doc->PushUndoState();
    SetQuantity(edit % 3);
  }
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetStateCount(), 3);
  EXPECT_EQ(doc->GetCurrentIndex(), 2);
  EXPECT_EQ(doc->GetSnapshotIndex(), 1);
  EXPECT_EQ(Quantities(), (std::vector<int>{2, 0, 1}));
  EXPECT_EQ(doc->GetCurrentProject(), liveProject);
  EXPECT_EQ(doc->GetCurrentOptions(), liveOptions);

  const UINT rebuilds = static_cast<UINT>(shell.mainWindowMessages.size());
  doc->SetModifiedFlag(FALSE);
  ASSERT_TRUE(doc->CanUndo());
  doc->Undo();
  EXPECT_EQ(Quantity(), 0);
  doc->Undo();
  EXPECT_EQ(Quantity(), 2);
  EXPECT_FALSE(doc->CanUndo());
  doc->Undo();
  EXPECT_EQ(doc->GetCurrentIndex(), 0);
  EXPECT_EQ(shell.mainWindowMessages.size(), rebuilds + 2u);
  EXPECT_EQ(shell.mainWindowMessages.back(), UM_SHOWOBJECT);
  EXPECT_FALSE(doc->IsModified());

  doc->Redo();
  doc->Redo();
  EXPECT_FALSE(doc->CanRedo());
  doc->Redo();
  EXPECT_EQ(doc->GetCurrentIndex(), 2);
  EXPECT_EQ(Quantity(), 1);
}

TEST_F(UndoHistory, ASnapshotAfterUndoDropsTheRedoStates)
{
  Start();
  SetQuantity(0);
  doc->PushUndoState();
  SetQuantity(1);
  doc->PushUndoState();
  SetQuantity(2);
  doc->Undo();
  ASSERT_TRUE(doc->CanRedo());
  doc->PushUndoState();
  EXPECT_FALSE(doc->CanRedo());
  EXPECT_EQ(doc->GetStateCount(), 3);
  EXPECT_EQ(Quantities(), (std::vector<int>{0, 1, 1}));
}

TEST_F(UndoHistory, CollapseAtTheFirstStateDoesNothingAndKeepsRedo)
{
  Start();
  SetQuantity(0);
  doc->PushUndoState();
  SetQuantity(1);
  EXPECT_EQ(doc->CollapseHistory(), 0);
  EXPECT_EQ(doc->GetStateCount(), 1);
  EXPECT_EQ(Quantity(), 1);
  EXPECT_EQ(doc->CollapseHistory(), 1);

  doc->PushUndoState();
  SetQuantity(2);
  doc->Undo();
  EXPECT_EQ(doc->CollapseHistory(), 1);
  EXPECT_TRUE(doc->CanRedo());
  EXPECT_EQ(doc->GetStateCount(), 2);
}

TEST_F(UndoHistory, DroppingASnapshotRestoresTheOptionsButKeepsTheLiveObjects)
{
  Start();
  doc->PushUndoState();
  SetQuantity(0);
  const int states = doc->GetStateCount();
  IProject* liveProject = doc->GetCurrentProject();
  IVisualOpt* liveOptions = doc->GetCurrentOptions();
  const CString renamed("Изменено");

  doc->PushUndoState();
  SetQuantity(2);  // as the settings dialog's Apply would
  liveProject->SetName(&renamed);
  doc->DropUndoState();

  EXPECT_EQ(doc->GetStateCount(), states);
  EXPECT_EQ(doc->GetCurrentProject(), liveProject);
  EXPECT_EQ(doc->GetCurrentOptions(), liveOptions);
  EXPECT_EQ(Quantity(), 0);
  EXPECT_STREQ(*liveProject->GetName(), "Изменено");  // the project is not restored
  doc->Undo();
  EXPECT_EQ(doc->GetCurrentIndex(), 0);
}

TEST_F(UndoHistory, DroppingWithNoSnapshotToWithdrawChangesNothing)
{
  Start();
  IVisualOpt* live = doc->GetCurrentOptions();
  SetQuantity(0);
  doc->DropUndoState();  // never pushed
  doc->PushUndoState();
  doc->DropUndoState();
  doc->DropUndoState();  // already withdrawn
  doc->PushUndoState();
  doc->Undo();
  doc->DropUndoState();  // the snapshot is the current state now
  EXPECT_EQ(doc->GetStateCount(), 2);
  doc->Redo();
  EXPECT_EQ(doc->GetCurrentOptions(), live);
  EXPECT_EQ(Quantity(), 0);
}

TEST_F(UndoHistory, UndoAndRedoKeepTheCamerasOfAllEightViews)
{
  Start();
  const DWORD bits[8] = {1, 2, 4, 8, 16, 32, 64, 128};
  doc->PushUndoState();
  for (int k = 0; k < 8; ++k) {
    _DEVCPOSITION* camera = nullptr;
    ASSERT_EQ(doc->GetViewCamera(bits[k], &camera), 0);
    *camera = _DEVCPOSITION{k + 0.5, 2.0 * k, 3.0, 4.0, 5.0, 6.0 + k};
  }
  doc->Undo();
  for (int k = 0; k < 8; ++k) {
    _DEVCPOSITION* camera = nullptr;
    ASSERT_EQ(doc->GetViewCamera(bits[k], &camera), 0);
    EXPECT_EQ(camera->x, k + 0.5);
    EXPECT_EQ(camera->y, 2.0 * k);
    EXPECT_EQ(camera->angle3, 6.0 + k);
  }
  for (int k = 0; k < 8; ++k) {
    _DEVCPOSITION* camera = nullptr;
    doc->GetViewCamera(bits[k], &camera);
    camera->z = 77.0;
  }
  doc->Redo();
  _DEVCPOSITION* camera = nullptr;
  doc->GetViewCamera(128, &camera);
  EXPECT_EQ(camera->z, 77.0);
}

}  // namespace
