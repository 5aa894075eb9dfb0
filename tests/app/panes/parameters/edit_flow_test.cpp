// One edit from end to end, as the user makes it: the frame hands the selected group to the pane, the spacing is
// typed into its row, and the change goes through the frame's undo state into the model, resets the results of
// the area and redraws; undo brings the old spacing back. Then a picture of the pane for a person to look at.
#include "tests/app/panes/parameters/pane_env.h"

#include "model/iresults.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/user/paint.h"

#include <algorithm>

namespace {

using namespace VisualCtrl;

TEST_F(ParametersPaneTest, TypedSpacingOfAGroupEndToEnd)
{
  IGroupOfDev* group = RoadGroup();
  const double oldStep = *group->GetStep();
  ASSERT_NE(oldStep, 40);
  IResultsOfCalc* results = Part<IResultsOfCalc>(Road(), IID_IResultsOfCalc);
  results->GetData()->valid = 1;

  // The tree's selection reaches the pane through the frame.
  frame.SendMessage(UM_SHOWOBJECT, 1, 0);
  pane->SendMessage(UM_SHOWOBJECT, 1, reinterpret_cast<LPARAM>(AsObject(group)));
  CTKPropertyGridItem* spacing = Item(kItemGroupStep);
  ASSERT_NE(spacing, nullptr);
  spacing->Select();
  pane->GetGridView().SetFocus();
  frame.codes.clear();
  shell.mainWindowMessages.clear();
  spacing->OnChar('4');
  pane->GetInplaceEdit().SendMessage(WM_CHAR, '0', 0);
  pane->GetInplaceEdit().SendMessage(WM_CHAR, VK_RETURN, 0);

  std::vector<int> editCodes;
  std::copy_if(frame.codes.begin(), frame.codes.end(), std::back_inserter(editCodes),
               [](int code) { return code != TK_PGN_SELECTION_CHANGED && code != TK_PGN_EDIT_CHANGED; });
  EXPECT_EQ(editCodes, (std::vector<int>{TK_PGN_REQUESTEDIT, TK_PGN_AFTEREDIT, TK_PGN_ITEMVALUE_CHANGED}));
  EXPECT_EQ(frame.steps, (std::vector<std::string>{"undo state", "accepted, redrawn"}));
  EXPECT_DOUBLE_EQ(*RoadGroup()->GetStep(), 40);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(doc->CanUndo());
  EXPECT_EQ(results->GetData()->valid, 0);
  EXPECT_NE(std::find(shell.mainWindowMessages.begin(), shell.mainWindowMessages.end(), UM_RESULTSCHANGED),
            shell.mainWindowMessages.end());
  EXPECT_TRUE(answers.Asked().empty());

  // The document clears the pane before it swaps the project for the older state.
  pane->SendMessage(UM_CLEARPANES, 0, 0);
  doc->Undo();
  EXPECT_DOUBLE_EQ(*RoadGroup()->GetStep(), oldStep);
}

TEST_F(ParametersPaneTest, PictureOfAStraightRoadAndAGroupOfMasts)
{
  CStatic left;
  CStatic right;
  ASSERT_TRUE(left.Create("Прямая дорога (участок)", WS_CHILD | WS_VISIBLE, CRect(5, 6, 375, 24), &frame, 1));
  ASSERT_TRUE(
      right.Create("Группа мачт, двусторонняя схема", WS_CHILD | WS_VISIBLE, CRect(385, 6, 755, 24), &frame, 2));
  CPropObjects groupPane(doc.get());
  ASSERT_TRUE(groupPane.Create(CRect(385, 28, 755, 695), &frame, 32773));
  IGroupOfDev* group = RoadGroup();
  const int mast = 1;
  const int twoSided = 2;
  group->SetMountingKind(&mast);
  group->SetRoadScheme(&twoSided);

  Show(Road());
  groupPane.SendMessage(UM_SHOWOBJECT, 0, reinterpret_cast<LPARAM>(AsObject(group)));
  Item(kItemAreaName)->Select();
  groupPane.GetGridView().GetItem(5)->Select();
  frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const gdi::Surface* pixels = user::WindowSurface(frame.GetSafeHwnd());
  ASSERT_NE(pixels, nullptr);
  EXPECT_TRUE(gdi::SavePng(*pixels, std::string(TESMIRA_ARTIFACTS_DIR) + "/app_parameters_pane.png"));
  EXPECT_GT(groupPane.GetGridView().GetCount(), 20);
  groupPane.DestroyWindow();
}

}  // namespace
