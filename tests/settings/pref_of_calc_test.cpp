// The calculation page: what each area kind may show, the observer lanes of valid results with the worst one
// named, and the automatic observer moving the shown lane to the worst one at once.
#include "settings/pref_of_calc.h"

#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "tests/report/summary_fixture.h"

namespace {

class PrefOfCalcTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Настройки", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr));
  }
  void TearDown() override
  {
    if (page_ && page_->GetSafeHwnd())
      page_->DestroyWindow();
    page_.reset();
    owner_.DestroyWindow();
  }
  Options::CPrefOfCalc& Open()
  {
    page_ = std::make_unique<Options::CPrefOfCalc>(&owner_, &doc_, doc_.options);
    EXPECT_TRUE(page_->CreatePage());
    return *page_;
  }
  bool Enabled(int id) { return page_->GetDlgItem(id)->IsWindowEnabled() != 0; }
  // Shown by the page itself (the page and its owner are hidden in the test).
  bool Shown(int id) { return (page_->GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }
  bool Checked(int id) { return ::IsDlgButtonChecked(page_->m_hWnd, id) == BST_CHECKED; }
  std::vector<std::string> Lanes()
  {
    std::vector<std::string> texts;
    for (HTREEITEM i = page_->m_lanes.GetRootItem(); i; i = page_->m_lanes.GetNextSiblingItem(i))
      texts.emplace_back(page_->m_lanes.GetItemText(i));
    return texts;
  }

  ProjectDocument doc_;
  CWnd owner_;
  std::unique_ptr<Options::CPrefOfCalc> page_;
};

TEST_F(PrefOfCalcTest, AnOpenSiteShowsIlluminanceWithTheAutomaticObserverOnly)
{
  IArea* site = doc_.Append(CLSID_CCustomizeRoad);
  doc_.project->SetActiveArea(site);
  const int luminance = 0, user = 0;
  doc_.options->SetQuantity(&luminance);
  doc_.options->SetAutoObserver(&user);
  Open();
  EXPECT_EQ(*doc_.options->GetQuantity(), 1);
  EXPECT_TRUE(Checked(1002));
  EXPECT_FALSE(Enabled(1001));
  EXPECT_FALSE(Enabled(1003));
  EXPECT_NE(*doc_.options->GetAutoObserver(), 0);
  EXPECT_FALSE(Shown(1000));  // the observer is luminance's business
  EXPECT_EQ(Lanes(), std::vector<std::string>{"Расчет не выполнялся"});
}

TEST_F(PrefOfCalcTest, AStraightRoadListsItsLanesAndTheAutomaticObserverTakesTheWorst)
{
  IArea* road = doc_.Areas()[0];
  _CALC_RESULTS& r = ResultsOf(road);
  r.valid = 1;
  r.nObservers = 3;
  r.worstObserver = 1;
  r.shownObserver = 2;
  const int luminance = 0, user = 0;
  doc_.options->SetQuantity(&luminance);
  doc_.options->SetAutoObserver(&user);
  Open();
  EXPECT_TRUE(Checked(1001));
  EXPECT_TRUE(Checked(1006));
  EXPECT_TRUE(Shown(1000));
  EXPECT_EQ(Lanes(), (std::vector<std::string>{"3-я полоса", "2-я полоса (наихудшее)", "1-я полоса"}));
  EXPECT_EQ(page_->m_lanes.GetItemText(page_->m_lanes.GetSelectedItem()), CString("3-я полоса"));
  EXPECT_FALSE(page_->m_bViewChanged);

  ::CheckDlgButton(page_->m_hWnd, 1005, BST_CHECKED);
  page_->SendMessage(WM_COMMAND, MAKEWPARAM(1005, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page_->GetDlgItem(1005)->m_hWnd));
  EXPECT_EQ(r.shownObserver, 1);
  EXPECT_NE(*doc_.options->GetAutoObserver(), 0);
  EXPECT_FALSE(Enabled(1000));
  EXPECT_TRUE(page_->m_bViewChanged);

  // Illuminance hides the observer choice.
  page_->SendMessage(WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page_->GetDlgItem(1002)->m_hWnd));
  EXPECT_EQ(*doc_.options->GetQuantity(), 1);
  EXPECT_FALSE(Shown(1007));
}

}  // namespace
