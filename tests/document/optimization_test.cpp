// The pole-spacing optimisation on the sample straight road, calculated by our engine for every trial.
#include "calculation_fixture.h"

#include <cmath>

using namespace calculation_test;

namespace {

// The optimisation dialog, scripted: it records what it was shown and answers with the test's choice.
class DialogShell : public FrameShell {
public:
  int answer = IDOK;
  Shell::OptimizationChoice choice;
  int shown = 0;
  Shell::OptimizationChoice shownWith;
  int RunOptimizationDialog(HWND, Shell::OptimizationChoice* values) override
  {
    ++shown;
    shownWith = *values;
    if (answer == IDOK)
      *values = choice;
    return answer;
  }
};

class Optimization : public CalculationRun {
protected:
  void SetUp() override
  {
    CalculationRun::SetUp();
    dialogs.dataFolder = frameShell.dataFolder;
    dialogs.frame = frameShell.frame;
    Shell::SetShellServices(&dialogs);
    SetSpacing(30.0);
  }

  void SetSpacing(double spacing)
  {
    for (IGroupOfDev* g = FirstGroup(); g; g = g->GetNext())
      g->SetStep(&spacing);
  }
  double Spacing() { return *FirstGroup()->GetStep(); }

  // The average luminance of a direct calculation at `spacing`; the spacing is left as it was.
  double LuminanceAt(double spacing)
  {
    const double before = Spacing();
    SetSpacing(spacing);
    EXPECT_EQ(Run(0), 0);
    const double level = Results().lumSummary[0];
    SetSpacing(before);
    return level;
  }

  // Runs the command with the luminance criterion and `target`.
  void Optimise(double target, int uniformityCheck = 0, double luminanceUniformity = 0.3)
  {
    dialogs.choice = Shell::OptimizationChoice{20.0, target, 0, uniformityCheck, 3.0, luminanceUniformity};
    dialogs.messages.clear();
    g_engine.calls = 0;
    frame.progress.clear();
    doc->OnOptimization();
  }

  std::string Message(UINT id, double spacing, const char* byWhat = "по яркости")
  {
    CString format, text;
    format.LoadString(id);
    text.Format(format, byWhat, spacing);
    return static_cast<LPCSTR>(text);
  }

  // The average illuminance of the carriageway by a direct calculation at `spacing`; the spacing is kept.
  double IlluminanceAt(double spacing)
  {
    const double before = Spacing();
    SetSpacing(spacing);
    EXPECT_EQ(Run(0), 0);
    const double level = Results().sumWhole[0];
    SetSpacing(before);
    return level;
  }

  // The progress the search showed, without the 50 % every engine run reports; and how many 50s there were.
  std::vector<int> SearchProgress(int* fifties = nullptr) const
  {
    std::vector<int> shown;
    int count = 0;
    for (int p : frame.progress)
      if (p == 50)
        ++count;
      else
        shown.push_back(p);
    if (fifties)
      *fifties = count;
    return shown;
  }

  DialogShell dialogs;
};

TEST_F(Optimization, FindsTheLargestSpacingThatStillMeetsTheTarget)
{
  const double target = 0.9 * LuminanceAt(30.0);
  EXPECT_EQ(Run(0), 0);
  Optimise(target);

  const double found = Spacing();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(619, found));
  // Whole tenths of a metre, exactly.
  EXPECT_EQ(found, std::floor(found * 10 + 0.5) / 10);
  EXPECT_GT(found, 30.0);
  // Two bounds, twelve halvings down to 5 cm, the calculation at the spacing found and the final one.
  EXPECT_EQ(g_engine.calls, 16);
  int fifties = 0;
  EXPECT_EQ(SearchProgress(&fifties), (std::vector<int>{0, 10, 30, 99, 0}));
  EXPECT_EQ(fifties, g_engine.calls + 1);
  const double reached = Results().lumSummary[0];
  EXPECT_GT(reached, target);
  // The settings stay for the next search; the quantity shown follows the criterion.
  EXPECT_EQ(doc->GetOptimizationSettings().luminanceTarget, target);
  EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), 0);

  // The whole search is one undo step, back to the old spacing exactly.
  ASSERT_TRUE(doc->CanUndo());
  doc->Undo();
  EXPECT_EQ(Spacing(), 30.0);
  doc->Redo();
  EXPECT_EQ(Spacing(), found);

  // The spacing found still meets the target; the halving's resolution past it no longer does.
  EXPECT_NEAR(LuminanceAt(found), reached, 1e-6);
  EXPECT_LE(LuminanceAt(found + 0.15), target);
}

TEST_F(Optimization, EndsWithoutANewSpacingWhenTheTargetIsOutOfReachOrTheDialogIsCancelled)
{
  EXPECT_EQ(Run(0), 0);
  const float before = Results().lumSummary[0];
  struct Case {
    const char* name;
    double target;
    int answer;
    int calls;
    UINT message;
    std::vector<int> progress;
  };
  const Case cases[] = {
      {"missed even at 1 m", 1e6, IDOK, 1, 620, {0, 10, 99, 0}},
      {"exceeded even at 150 m", 1e-6, IDOK, 2, 620, {0, 10, 30, 99, 0}},
      {"cancelled", 1.0, IDCANCEL, 0, 0, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.answer = c.answer;
    Optimise(c.target);
    EXPECT_EQ(g_engine.calls, c.calls);
    EXPECT_EQ(SearchProgress(), c.progress);
    if (c.message != 0) {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0], Message(c.message, 0));
    } else {
      EXPECT_TRUE(dialogs.messages.empty());
    }
    // The project as before: the spacing exactly, and the results of the calculation at it.
    EXPECT_EQ(Spacing(), 30.0);
    EXPECT_EQ(Results().valid, 1);
    EXPECT_EQ(Results().lumSummary[0], before);
    EXPECT_FALSE(doc->CanRedo());
  }
  // A cancelled dialog keeps the settings of the last search.
  EXPECT_EQ(doc->GetOptimizationSettings().luminanceTarget, 1e-6);
}

TEST_F(Optimization, AFailedTrialStopsTheSearchWithItsMessage)
{
  EXPECT_EQ(Run(0), 0);
  const float before = Results().lumSummary[0];
  g_engine.code = 12;
  g_engine.failFromCall = 3;
  Optimise(0.5 * before);
  EXPECT_EQ(g_engine.calls, 3);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], static_cast<LPCSTR>(CalculationFailureMessage(12)));
  EXPECT_EQ(Spacing(), 30.0);
  EXPECT_EQ(Results().valid, 1);
  EXPECT_EQ(Results().lumSummary[0], before);
}

TEST_F(Optimization, GroupsThatCannotMoveTogetherAreRefusedBeforeTheDialog)
{
  const double offset = 2.5;
  FirstGroup()->SetOffset(&offset);
  Optimise(1.0);
  EXPECT_EQ(dialogs.shown, 0);
  EXPECT_EQ(g_engine.calls, 0);
  EXPECT_EQ(SearchProgress(), std::vector<int>{0});
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(622, 0));
  EXPECT_EQ(Spacing(), 30.0);
}

TEST_F(Optimization, TheUniformityPhaseShortensTheSpacingOrSaysItCannot)
{
  const double target = 0.9 * LuminanceAt(30.0);
  // A lenient limit: the level spacing is uniform enough.
  Optimise(target, 1, 0.01);
  const double levelSpacing = Spacing();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(619, levelSpacing));
  doc->Undo();

  // A limit no spacing meets: the level spacing stays, with the uniformity message.
  Optimise(target, 1, 0.9999);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(621, levelSpacing));
  EXPECT_EQ(Spacing(), levelSpacing);
}

TEST_F(Optimization, TheIlluminanceCriterionSearchesTheAverageIlluminanceAndADarkRoadCountsAsUniform)
{
  const double target = 0.9 * IlluminanceAt(30.0);
  dialogs.choice = Shell::OptimizationChoice{target, 1.6, 1, 0, 3.0, 0.3};
  dialogs.messages.clear();
  doc->OnOptimization();
  const double found = Spacing();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(619, found, "по освещенности"));
  EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), 1);
  EXPECT_GT(IlluminanceAt(found), target);
  EXPECT_LE(IlluminanceAt(found + 0.15), target);

  // No light at all: a target of 0 is met at every spacing down to the densest, and an average illuminance of
  // 0 gives no non-uniformity to exceed the limit.
  FirstGroup()->GetLightDevice()->lampFlux = 0;
  SetSpacing(30.0);
  dialogs.choice = Shell::OptimizationChoice{0.0, 1.6, 1, 1, 3.0, 0.3};
  dialogs.messages.clear();
  g_engine.calls = 0;
  doc->OnOptimization();
  EXPECT_EQ(Results().sumWhole[0], 0.0f);
  // The level search (two bounds, twelve halvings, the calculation at its spacing) and the uniformity phase's
  // calculation there, then the last two: no trial at 1 m was needed for the uniformity.
  EXPECT_EQ(g_engine.calls, 18);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], Message(619, Spacing(), "по освещенности"));
  EXPECT_EQ(Spacing(), 1.0);
}

}  // namespace
