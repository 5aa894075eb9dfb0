// The image page: the user's isolevels (typed text read as the settings pages read numbers, brought to the
// quantity's precision, refused below or at 0, an equal level only selected), the display type boxes as one
// choice, and what each area kind may choose.
#include "settings/pref_of_image.h"

#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "tests/report/summary_fixture.h"

namespace {

class BoxShell : public Shell::CShellServices {
public:
  BoxShell() { Shell::SetShellServices(this); }
  ~BoxShell() override { Shell::SetShellServices(nullptr); }
  int ShowMessageBox(HWND, LPCSTR text, LPCSTR, UINT) override
  {
    boxes.emplace_back(text);
    return Shell::IDOK;
  }
  std::vector<std::string> boxes;
};

TEST(ParseNumberText, TheSettingsPagesNumbers)
{
  const struct {
    const char* text;
    bool accepted;
    double value;
  } cases[] = {
      {"1,5", true, 1.5}, {"-5", true, -5}, {"12.25", true, 12.25}, {"0", true, 0},     {"", false, 0},
      {"-", false, 0},    {"5-", false, 0}, {"--5", false, 0},      {"1e3", false, 0}, {"1 5", false, 0},
  };
  for (const auto& c : cases) {
    double value = -1;
    EXPECT_EQ(Options::ParseNumberText(c.text, nullptr, &value), c.accepted) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

class PrefOfImageTest : public ::testing::Test {
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
  Options::CPrefOfImage& Open()
  {
    page_ = std::make_unique<Options::CPrefOfImage>(&owner_, &doc_, doc_.options);
    EXPECT_TRUE(page_->CreatePage());
    return *page_;
  }
  void Click(int id)
  {
    page_->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page_->GetDlgItem(id)->m_hWnd));
  }
  void Toggle(int id)
  {
    const UINT state = ::IsDlgButtonChecked(page_->m_hWnd, id);
    ::CheckDlgButton(page_->m_hWnd, id, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    Click(id);
  }
  void Add(const char* text)
  {
    page_->GetDlgItem(1036)->SetWindowText(text);
    Click(1015);
  }
  std::vector<float> Levels(int quantity)
  {
    CArray<float>* levels = nullptr;
    if (quantity == 0)
      doc_.options->GetLuminanceLevels(&levels);
    else
      doc_.options->GetIlluminanceLevels(&levels);
    return std::vector<float>(levels->GetData(), levels->GetData() + levels->GetSize());
  }
  bool Shown(int id) { return (page_->GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }

  BoxShell shell_;
  ProjectDocument doc_;
  CWnd owner_;
  std::unique_ptr<Options::CPrefOfImage> page_;
};

TEST_F(PrefOfImageTest, UserLevelsAreReadAtTheQuantitysPrecision)
{
  const int luminance = 0, user = 0, isolines = 0;
  doc_.options->SetQuantity(&luminance);
  doc_.options->SetAutoIsoLevels(&user);
  doc_.options->SetResultDisplay(&isolines);
  CArray<float>* luminanceLevels = nullptr;
  doc_.options->GetLuminanceLevels(&luminanceLevels);
  luminanceLevels->RemoveAll();
  Open();
  EXPECT_TRUE(Shown(1017));
  EXPECT_EQ(page_->LevelQuantity(), 0);

  Add("1,5");
  Add("0,72");
  Add("0,7");  // prints as 0.7 like the level before: only selected
  EXPECT_EQ(Levels(0), (std::vector<float>{0.7f, 1.5f}));
  EXPECT_TRUE(shell_.boxes.empty());
  for (const char* refused : {"-5", "0", "", "5-", "--5"})
    Add(refused);
  EXPECT_EQ(shell_.boxes.size(), 5u);
  EXPECT_EQ(shell_.boxes[0], "Данные не корректны");
  EXPECT_EQ(Levels(0), (std::vector<float>{0.7f, 1.5f}));
  EXPECT_TRUE(page_->m_bViewChanged);

  // Illuminance is whole lux: 1,5 becomes 2.
  ::SendDlgItemMessage(page_->m_hWnd, 1100, TCM_SETCURSEL, 1, 0);
  NMHDR changed{page_->GetDlgItem(1100)->m_hWnd, 1100, TCN_SELCHANGE};
  page_->SendMessage(WM_NOTIFY, 1100, reinterpret_cast<LPARAM>(&changed));
  ASSERT_EQ(page_->LevelQuantity(), 1);
  CArray<float>* illuminanceLevels = nullptr;
  doc_.options->GetIlluminanceLevels(&illuminanceLevels);
  illuminanceLevels->RemoveAll();
  Add("1,5");
  EXPECT_EQ(Levels(1), std::vector<float>{2.0f});

  ::SendDlgItemMessage(page_->m_hWnd, 1017, LB_SETCURSEL, 0, 0);
  Click(1016);
  EXPECT_TRUE(Levels(1).empty());
}

TEST_F(PrefOfImageTest, TheDisplayBoxesAreOneChoiceWithThePlainFillAsNone)
{
  const int isolines = 0;
  doc_.options->SetResultDisplay(&isolines);
  Open();
  Toggle(1125);
  EXPECT_EQ(*doc_.options->GetResultDisplay(), 3);
  EXPECT_FALSE(Shown(1017));  // the level panel belongs to isolines
  EXPECT_EQ(::IsDlgButtonChecked(page_->m_hWnd, 1020), static_cast<UINT>(BST_UNCHECKED));
  Toggle(1125);  // the only ticked box unticked: plain fill
  EXPECT_EQ(*doc_.options->GetResultDisplay(), 1);
  Toggle(1004);
  EXPECT_EQ(*doc_.options->GetResultDisplay(), 2);
}

TEST_F(PrefOfImageTest, AStraightRoadsGridIsAutomaticAndAnInterchangeHasNoNodeValues)
{
  Open();
  EXPECT_FALSE(page_->GetDlgItem(Options::CPrefOfImage::kGridMode)->IsWindowEnabled());
  EXPECT_FALSE(Shown(Options::CPrefOfImage::kGridStep));
  page_->DestroyWindow();

  IArea* interchange = doc_.Append(CLSID_CCustomizeRoad3D);
  doc_.project->SetActiveArea(interchange);
  const int nodeValues = 2;
  doc_.options->SetResultDisplay(&nodeValues);
  Open();
  EXPECT_FALSE(page_->GetDlgItem(1004)->IsWindowEnabled());
  EXPECT_EQ(*doc_.options->GetResultDisplay(), 1);
  EXPECT_TRUE(page_->GetDlgItem(Options::CPrefOfImage::kGridMode)->IsWindowEnabled());
  EXPECT_EQ(::SendDlgItemMessage(page_->m_hWnd, 1100, TCM_GETITEMCOUNT, 0, 0), 1);
}

}  // namespace

namespace {

TEST_F(PrefOfImageTest, ALevelEditedInPlaceReplacesTheSelectedOneOnlyWhenValid)
{
  const int luminance = 0, user = 0, isolines = 0;
  doc_.options->SetQuantity(&luminance);
  doc_.options->SetAutoIsoLevels(&user);
  doc_.options->SetResultDisplay(&isolines);
  CArray<float>* levels = nullptr;
  doc_.options->GetLuminanceLevels(&levels);
  levels->RemoveAll();
  levels->Add(0.5f);
  levels->Add(2.0f);
  Open();
  const struct {
    const char* typed;
    std::vector<float> expected;
  } cases[] = {
      {"abc", {0.5f, 2.0f}},   // refused: nothing changes, no message
      {"2", {0.5f, 2.0f}},     // equal to another level: only selected
      {"1,26", {1.3f, 2.0f}},  // tenths of a cd/m2
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ::SendDlgItemMessage(page_->m_hWnd, 1017, LB_SETCURSEL, 0, 0);
    Click(1087);
    ASSERT_NE(page_->GetLevelEditor(), nullptr);
    page_->GetLevelEditor()->SetWindowText(c.typed);
    page_->GetDlgItem(1017)->SetFocus();  // the editor loses the focus: editing ends
    EXPECT_EQ(page_->GetLevelEditor(), nullptr);
    EXPECT_EQ(Levels(0), c.expected);
  }
  EXPECT_TRUE(shell_.boxes.empty());
}

}  // namespace
