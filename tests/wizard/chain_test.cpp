// The wizard's page chain: captions, buttons and pages for a straight road and a roundabout, Enter finishing
// on the end page, Escape cancelling from every page with the area left to the caller, transparency, and the
// frame's buttons still drawn after page changes.
#include "model/class_of.h"
#include "model/identifiers.h"
#include "platform/base/module.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/paint.h"
#include "platform/user/system.h"
#include "tests/model/fake_analytics.h"
#include "tests/wizard/wizard_fixture.h"
#include "wizard/end_page.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Wizard::CDlgWizard;

using wizard_testing::WizardTest;

struct ButtonState {
  bool back;
  bool next;
  bool finish;
  std::string caption;
  int templateId;
};

ButtonState StateOf(CDlgWizard& w)
{
  CString caption;
  w.GetWindowText(caption);
  return {w.GetDlgItem(Wizard::kBackCommand)->IsWindowEnabled() != FALSE,
          w.GetDlgItem(Wizard::kNextCommand)->IsWindowEnabled() != FALSE,
          w.GetDlgItem(IDOK)->IsWindowEnabled() != FALSE, std::string(caption), w.m_current->m_templateId};
}

void ExpectState(CDlgWizard& w, const ButtonState& expected, int step)
{
  const ButtonState s = StateOf(w);
  EXPECT_EQ(s.templateId, expected.templateId) << "step " << step;
  EXPECT_EQ(s.back, expected.back) << "step " << step;
  EXPECT_EQ(s.next, expected.next) << "step " << step;
  EXPECT_EQ(s.finish, expected.finish) << "step " << step;
  EXPECT_EQ(s.caption, expected.caption) << "step " << step;
  EXPECT_TRUE(w.m_current->IsWindowVisible()) << "step " << step;
}

TEST_F(WizardTest, AStraightRoadChainRunsFromTheRoadPageToTheEndPageInThreeSteps)
{
  const ButtonState chain[] = {
    {false, true, false, "Мастер создания объектов", 301},
    {false, true, false, "Мастер создания объектов (шаг 1 из 3)", 302},
    {true, true, false, "Мастер создания объектов (шаг 2 из 3)", 304},
    {true, false, true, "Мастер создания объектов (шаг 3 из 3)", 305},
  };
  const int answer = Run([&](CDlgWizard& w) {
    for (int step = 0; step < 4; ++step) {
      ExpectState(w, chain[step], step);
      if (step == 0) {
        EXPECT_EQ(data_.area, nullptr);
      }
      if (step < 3)
        Next(w);
    }
    // The welcome page cannot be reached again; Back from the scheme page shows the road page.
    Back(w);
    Back(w);
    EXPECT_EQ(w.m_current->m_templateId, 302);
    Back(w);
    EXPECT_EQ(w.m_current->m_templateId, 302);
    Next(w);
    Next(w);
    return IDOK;
  });
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(data_.type, 0);
  EXPECT_TRUE(IsOfClass(data_.area, CLSID_CStraightRoad));
}

TEST_F(WizardTest, ARoundaboutChainRunsThroughTheSectionPageAndEnterOnTheEndPageFinishes)
{
  const ButtonState chain[] = {
    {false, true, false, "Мастер создания объектов (шаг 1 из 3)", 303},
    {true, true, false, "Мастер создания объектов (шаг 2 из 3)", 325},
    {true, false, true, "Мастер создания объектов (шаг 3 из 3)", 305},
  };
  const int answer = Run([&](CDlgWizard& w) {
    ChooseKind(w, 6);
    EXPECT_EQ(data_.type, 7);
    Next(w);
    for (int step = 0; step < 3; ++step) {
      ExpectState(w, chain[step], step);
      if (step < 2)
        Next(w);
    }
    // Enter on the page: "Далее >" on the last page, which finishes through the wizard's own loop.
    w.m_current->SendMessage(WM_COMMAND, IDOK, 0);
    return 0;
  });
  EXPECT_EQ(answer, IDOK);
  EXPECT_EQ(data_.type, 7);
  ASSERT_TRUE(IsOfClass(data_.area, CLSID_CCustomizeRoad));
  EXPECT_EQ(*data_.area->GetTypicalForm(), 7);
}

TEST_F(WizardTest, EachWelcomeEntryStoresItsKindAndLeadsToItsFormPage)
{
  const struct {
    int index;
    int kind;
    int formTemplate;
  } entries[] = {{1, 1, 306}, {2, 3, 321}, {3, 4, 323}, {4, 2, 322}, {5, 5, 324}};
  for (const auto& e : entries) {
    data_ = _WIZARD_DATA{};
    Run([&](CDlgWizard& w) {
      ChooseKind(w, e.index);
      Next(w);
      EXPECT_EQ(w.m_current->m_templateId, 303);
      Next(w);
      EXPECT_EQ(w.m_current->m_templateId, e.formTemplate);
      return IDCANCEL;
    });
    EXPECT_EQ(data_.type, e.kind);
    ASSERT_NE(data_.area, nullptr);
    EXPECT_EQ(*data_.area->GetTypicalForm(), e.kind);
    EXPECT_EQ(data_.area->Release(), 0);
    data_.area = nullptr;
  }
}

TEST_F(WizardTest, EscapeOnAnyPageCancelsAndTheAreaIsLeftToTheCaller)
{
  const struct {
    int kindIndex;
    int nexts;
  } cases[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {6, 1}, {6, 2}, {6, 3}, {1, 2}, {4, 2}};
  for (const auto& c : cases) {
    data_ = _WIZARD_DATA{};
    const int answer = Run([&](CDlgWizard& w) {
      ChooseKind(w, c.kindIndex);
      for (int i = 0; i < c.nexts; ++i)
        Next(w);
      w.m_current->SendMessage(WM_COMMAND, IDCANCEL, 0);
      return 0;
    });
    EXPECT_EQ(answer, IDCANCEL) << c.kindIndex << "/" << c.nexts;
    EXPECT_EQ(data_.area != nullptr, c.nexts > 0) << c.kindIndex << "/" << c.nexts;
    if (data_.area) {
      EXPECT_EQ(data_.area->Release(), 0) << c.kindIndex << "/" << c.nexts;
      data_.area = nullptr;
    }
  }
}

TEST_F(WizardTest, TheShellsWizardCallLeavesTheAreaInTheRecord)
{
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    auto* wizard = dynamic_cast<CDlgWizard*>(CWnd::FromHandlePermanent(q.dialog));
    if (!wizard)
      return IDCANCEL;
    Next(*wizard);
    return IDCANCEL;
  });
  EXPECT_EQ(Wizard::RunWizardFor(owner_.m_hWnd, &data_), IDCANCEL);
  EXPECT_TRUE(IsOfClass(data_.area, CLSID_CStraightRoad));
}

// Every page change sets a new step caption; the buttons whose state stays must still show after it.
TEST_F(WizardTest, TheFramesButtonsStayPaintedWhenThePageChanges)
{
  Run([&](CDlgWizard& w) {
    const int still[] = {IDCANCEL, Wizard::kHelpCommand};
    auto pixelsOf = [&](int id) {
      w.UpdateWindow();
      gdi::Surface screen;
      user::ComposeScreen(screen);
      RECT r;
      w.GetDlgItem(id)->GetWindowRect(&r);
      std::vector<std::uint32_t> out;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
          out.push_back(screen.Pixel(x, y) & 0x00FFFFFFu);
      return out;
    };
    std::vector<std::uint32_t> before[2] = {pixelsOf(still[0]), pixelsOf(still[1])};
    for (const auto& face : before)  // a drawn button: its edges and text, not one flat colour
      EXPECT_NE(std::adjacent_find(face.begin(), face.end(), std::not_equal_to<>()), face.end());
    // Next to the road page, Next to the scheme page, Back to the road page.
    const char* moves = "NNB";
    for (int step = 0; moves[step]; ++step) {
      if (moves[step] == 'N')
        Next(w);
      else
        Back(w);
      for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(pixelsOf(still[i]) == before[i]) << "button " << still[i] << " after move " << step;
    }
    gdi::Surface screen;
    user::ComposeScreen(screen);
    gdi::SavePng(screen, std::string(TESMIRA_ARTIFACTS_DIR) + "/wizard-frame-after-page-changes.png");
    return IDCANCEL;
  });
}

TEST_F(WizardTest, TransparenceBelow255MakesTheWizardLayered)
{
  wizard_testing::ProfileShell shell;
  for (UINT alpha : {255u, 200u}) {
    shell.transparence = alpha;
    Run([&](CDlgWizard& w) {
      const bool layered = (w.GetExStyle() & WS_EX_LAYERED) != 0;
      EXPECT_EQ(layered, alpha != 255);
      BYTE value = 0;
      DWORD flags = 0;
      if (layered && ::GetLayeredWindowAttributes(w.m_hWnd, nullptr, &value, &flags)) {
        EXPECT_EQ(value, 200);
        EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
      }
      return IDCANCEL;
    });
  }
}

TEST_F(WizardTest, HelpLooksUpTheWizardsTitleAndShowsTheIndexWhenMissing)
{
  std::vector<shell::HelpRequest> requests;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    requests.push_back(r);
    return true;
  });
  Run([&](CDlgWizard& w) {
    w.SendMessage(WM_COMMAND, Wizard::kHelpCommand, 0);
    return IDCANCEL;
  });
  shell::SetHelpHandler(nullptr);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, static_cast<UINT>(HH_KEYWORD_LOOKUP));
  EXPECT_EQ(requests[0].keywords, "Мастер создания объектов");
  EXPECT_TRUE(requests[0].indexOnFail);
}

TEST_F(WizardTest, FinishingRecordsTheWizardsScreenAndClosingSendsTheCollectedData)
{
  testing_support::FakeAnalytics analytics;
  testing_support::AnalyticsShell shell(analytics.Module());
  Run([&](CDlgWizard&) { return IDCANCEL; });
  EXPECT_TRUE(analytics.Take().empty());
  EXPECT_EQ(shell.sent, std::vector<int>{1});
  Run([&](CDlgWizard& w) {
    Next(w);
    Next(w);
    Next(w);
    return IDOK;
  });
  EXPECT_EQ(analytics.Take(), std::vector<std::string>{"Мастер создания объектов/1"});
  EXPECT_EQ(shell.sent, (std::vector<int>{1, 1}));
}

TEST_F(WizardTest, FindPageAnswersOnlyPagesWithWindows)
{
  Run([&](CDlgWizard& w) {
    for (int id : {301, 302, 303, 304, 305, 306, 321, 322, 323, 324, 325})
      EXPECT_NE(w.FindPage(id), nullptr) << id;
    EXPECT_EQ(w.FindPage(300), nullptr);
    EXPECT_EQ(w.FindPage(307), nullptr);
    return IDCANCEL;
  });
}

}  // namespace
