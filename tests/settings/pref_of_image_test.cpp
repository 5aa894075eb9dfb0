// The image page: the user's isolevels (typed text read as the settings pages read numbers, brought to the
// quantity's precision, refused below or at 0, an equal level only selected), the display type boxes as one
// choice, and what each area kind may choose.
#include "settings/pref_of_image.h"

#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "model/shell/shell_services.h"
#include "platform/user/commdlg.h"
#include "platform/user/msgbox.h"
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
      {"1,5", true, 1.5}, {"-5", true, -5}, {"12.25", true, 12.25}, {"0", true, 0},     {"", true, 0},
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

// The false-colour scale editor: a value typed into a position is stored at the quantity's precision, or refused
// with the edit back at the stored value; sorting, interpolation, reset and colours work on the whole scale.
namespace {

class ScaleEditorTest : public PrefOfImageTest {
protected:
  void SetUp() override
  {
    PrefOfImageTest::SetUp();
    const int luminance = 0, falseColours = 3;
    doc_.options->SetQuantity(&luminance);
    doc_.options->SetResultDisplay(&falseColours);
    for (int q = 0; q < 3; ++q) {
      CArray<_PREF_OF_COLOR_LEVELS>* scale = Scale(q);
      scale->RemoveAll();
      for (int i = 0; i < 9; ++i)
        scale->Add(_PREF_OF_COLOR_LEVELS{i * (q + 1.0), RGB(i, 10 * q, 0), 0});
    }
    Open();
  }
  CArray<_PREF_OF_COLOR_LEVELS>* Scale(int quantity)
  {
    CArray<_PREF_OF_COLOR_LEVELS>* scale = nullptr;
    if (quantity == 0)
      doc_.options->GetColourLevels0(&scale);
    else if (quantity == 1)
      doc_.options->GetColourLevels1(&scale);
    else
      doc_.options->GetColourLevels2(&scale);
    return scale;
  }
  std::vector<double> Values(int quantity)
  {
    std::vector<double> values;
    for (INT_PTR i = 0; i < Scale(quantity)->GetSize(); ++i)
      values.push_back(Scale(quantity)->GetAt(i).value);
    return values;
  }
  void SetValues(int quantity, const std::vector<double>& values)
  {
    for (std::size_t i = 0; i < values.size(); ++i) {
      _PREF_OF_COLOR_LEVELS entry = Scale(quantity)->GetAt(static_cast<INT_PTR>(i));
      entry.value = values[i];
      Scale(quantity)->SetAt(static_cast<INT_PTR>(i), entry);
    }
    page_->ShowScale(false);
  }
  CString EditText(int position) { return page_->GetDlgItem(1133 + position)->GetWindowTextString(); }
  void Type(int position, const char* text, UINT notification)
  {
    CWnd* edit = page_->GetDlgItem(1133 + position);
    edit->SetWindowText(text);
    page_->SendMessage(WM_COMMAND, MAKEWPARAM(1133 + position, notification), reinterpret_cast<LPARAM>(edit->m_hWnd));
  }
  void ChooseScaleTab(int index)
  {
    HWND tabs = page_->GetDlgItem(1132)->m_hWnd;
    NMHDR changing{tabs, 1132, TCN_SELCHANGING};
    page_->SendMessage(WM_NOTIFY, 1132, reinterpret_cast<LPARAM>(&changing));
    ::SendMessage(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR changed{tabs, 1132, TCN_SELCHANGE};
    page_->SendMessage(WM_NOTIFY, 1132, reinterpret_cast<LPARAM>(&changed));
  }
};

TEST_F(ScaleEditorTest, AValueTypedIntoAPositionIsStoredOrRefusedWithTheEditRestored)
{
  EXPECT_TRUE(Shown(1133));
  EXPECT_TRUE(Shown(1150));
  EXPECT_FALSE(Shown(1017));
  const struct {
    const char* typed;
    double stored;  // at position 3 afterwards
    const char* shown;
    const char* box;  // nullptr: none
  } cases[] = {
      {"3,456", 3.46, "3.46", nullptr},  // hundredths of a cd/m2
      {"3", 3, "3", nullptr},            // its own value: no change
      {"5", 3, "3", "Значение уровня уже присутствует в списке"},
      {"", 3, "3", "Значение уровня уже присутствует в списке"},  // reads as 0, position 0's value
      {"200", 3, "3", "Максимальное значение уровня должно быть меньше 200"},
      {"199,99", 199.99, "199.99", nullptr},
      {"-1", 3, "3", nullptr},
      {"1e2", 3, "3", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    SetValues(0, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    page_->m_bViewChanged = FALSE;
    shell_.boxes.clear();
    Type(3, c.typed, EN_KILLFOCUS);
    EXPECT_EQ(Scale(0)->GetAt(3).value, c.stored);
    EXPECT_EQ(std::string(EditText(3)), c.shown);
    EXPECT_EQ(page_->m_bViewChanged, c.stored != 3);
    if (c.box != nullptr)
      EXPECT_EQ(shell_.boxes, std::vector<std::string>{c.box});
    else
      EXPECT_TRUE(shell_.boxes.empty());
  }
  // Illuminance is shown and stored to tenths; Enter in an edit commits it as its focus loss would.
  ChooseScaleTab(1);
  ASSERT_EQ(page_->ScaleQuantity(), 1);
  page_->GetDlgItem(1134)->SetFocus();
  page_->GetDlgItem(1134)->SetWindowText("2,26");
  page_->OnOK();
  EXPECT_EQ(Scale(1)->GetAt(1).value, 2.3);
}

TEST_F(ScaleEditorTest, ValuesTypedOutOfOrderAreSortedWhenTheScaleIsNextShownNormalised)
{
  Type(0, "7,5", EN_KILLFOCUS);
  EXPECT_EQ(Values(0)[0], 7.5);  // shown as typed until normalised
  Click(1151);
  EXPECT_EQ(Values(0), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 7.5, 8}));
  EXPECT_EQ(Scale(0)->GetAt(7).colour, RGB(0, 0, 0));  // the entry moved whole
  EXPECT_EQ(std::string(EditText(7)), "7.5");

  // A value left in an edit is committed before the tab changes, and the tab change sorts.
  page_->GetDlgItem(1133)->SetWindowText("8,5");
  ChooseScaleTab(1);
  EXPECT_EQ(Values(0).back(), 8.5);
  Type(1, "20", EN_KILLFOCUS);
  EXPECT_EQ(page_->SendMessage(0x8219), 1);  // Apply
  EXPECT_EQ(Values(1).back(), 20);
}

TEST_F(ScaleEditorTest, AColourChosenForAPositionReachesTheSamePositionOfEveryScale)
{
  user::SetModalResponder([](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::Color)
      return IDCANCEL;
    static_cast<CHOOSECOLOR*>(q.record)->rgbResult = RGB(200, 100, 50);
    return IDOK;
  });
  Click(1150 - 4);
  user::SetModalResponder(nullptr);
  for (int q = 0; q < 3; ++q)
    EXPECT_EQ(Scale(q)->GetAt(4).colour, RGB(200, 100, 50)) << q;
  EXPECT_EQ(Scale(1)->GetAt(3).colour, RGB(3, 0, 0));  // the others took the luminance scale's colours too
  EXPECT_TRUE(page_->m_bViewChanged);
}

TEST_F(ScaleEditorTest, InterpolationBetweenTheEndsAndResetToTheDefaults)
{
  const struct {
    std::vector<double> before;
    UINT command;
    std::vector<double> after;
  } cases[] = {
      {{0, 9, 9, 9, 9, 9, 9, 9, 40}, 33101, {0, 5, 10, 15, 20, 25, 30, 35, 40}},
      {{40, 1, 2, 3, 4, 5, 6, 7, 0}, 33101, {0, 5, 10, 15, 20, 25, 30, 35, 40}},  // ends swapped first
      {{0, 0, 0, 0, 0, 0, 0, 0, 0}, 33102, {0, 0, 0, 0, 0, 0, 0, 0, 0}},  // no ratio: left alone, no NaN
      {{0, 1, 2, 3, 4, 5, 6, 7, 40}, 33102, {0.4, 0.7113, 1.2649, 2.2494, 4, 7.1131, 12.6491, 22.4937, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    SetValues(0, c.before);
    page_->SendMessage(WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
    const std::vector<double> after = Values(0);
    ASSERT_EQ(after.size(), c.after.size());
    for (std::size_t i = 0; i < after.size(); ++i)
      EXPECT_NEAR(after[i], c.after[i], 1e-4) << i;
  }
  EXPECT_EQ(std::string(EditText(0)), "0.4");

  Click(1153);
  CArray<_PREF_OF_COLOR_LEVELS>* defaults = nullptr;
  doc_.options->GetColourLevels3(&defaults);
  ASSERT_EQ(defaults->GetSize(), 9);
  for (INT_PTR i = 0; i < 9; ++i)
    EXPECT_EQ(Scale(0)->GetAt(i).value, defaults->GetAt(i).value) << i;
}

}  // namespace
