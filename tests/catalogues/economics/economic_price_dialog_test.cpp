// The economic price dialog: the grid's rows, rounding and bounds of every kind of edit, the same-name question,
// the price database completing zeros and following accepted values, a failing database, and the settings dialog.
#include "catalogues/economics/economic_price_dialog.h"

#include "platform/shell/htmlhelp.h"
#include "platform/user/msgbox.h"
#include "res/program_ids.h"
#include "tests/catalogues/economics/economics_fixture.h"
#include "tests/model/fake_analytics.h"

#include <functional>

namespace {

using namespace econtest;

void Collect(CTKPropertyGridItems* items, UINT id, std::vector<CTKPropertyGridItem*>& found)
{
  for (int i = 0; i < items->GetCount(); ++i) {
    CTKPropertyGridItem* item = items->GetAt(i);
    if (item->GetID() == id)
      found.push_back(item);
    Collect(item->GetChilds(), id, found);
  }
}

class EconomicPriceDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
    road_ = doc_.Areas()[0];
    group_ = FirstGroup(road_);
    SetWorkedExample(doc_.project, group_);
    SetScheme(group_, 2, 25, 2);
    const int on = 1;
    road_->SetEconomicOutput(&on);
  }
  void TearDown() override
  {
    if (dialog_ && dialog_->GetSafeHwnd())
      dialog_->DestroyWindow();
    dialog_.reset();
    owner_.DestroyWindow();
  }
  CDlgEconomPrice& Open()
  {
    dialog_ = std::make_unique<CDlgEconomPrice>(&owner_, &doc_);
    EXPECT_TRUE(dialog_->Create(res::program::IDD_ECONOMIC_PRICE, &owner_));
    return *dialog_;
  }
  std::vector<CTKPropertyGridItem*> Items(UINT id)
  {
    std::vector<CTKPropertyGridItem*> found;
    Collect(dialog_->m_grid.GetGridView().GetCategories(), id, found);
    return found;
  }
  CTKPropertyGridItem* Item(UINT id, std::size_t index = 0)
  {
    const auto found = Items(id);
    return index < found.size() ? found[index] : nullptr;
  }
  // The user's edit: the text typed, then the grid's "value changed".
  void Type(CTKPropertyGridItem* item, const char* text) { item->OnValueChanged(text); }
  static double Shown(CTKPropertyGridItem* item) { return dynamic_cast<CTKPropertyGridItemDouble*>(item)->GetDouble(); }

  RecordingShell shell_;
  EconomicsDocument doc_;
  CWnd owner_;
  std::unique_ptr<CDlgEconomPrice> dialog_;
  IArea* road_ = nullptr;
  IGroupOfDev* group_ = nullptr;
};

TEST_F(EconomicPriceDialogTest, TheGridShowsTheProjectAndEveryCountedGroup)
{
  IArea* hidden = doc_.Append(CLSID_CCustomizeRoad);
  const int off = 0;
  hidden->SetEconomicOutput(&off);
  Open();
  CTKPropertyGridItems* categories = dialog_->m_grid.GetGridView().GetCategories();
  ASSERT_EQ(categories->GetCount(), 2);  // the inputs and the one area with economic output
  EXPECT_EQ(std::string(categories->GetAt(0)->GetCaption()), "Исходные данные");
  EXPECT_EQ(std::string(Item(107)->GetCaption()), "Тариф на электроэнергию, руб/кВт ч");
  EXPECT_EQ(std::string(Item(107)->GetDescription()), "Тариф на электроэнергию");
  EXPECT_EQ(std::string(Item(107)->GetValue()), "5.00");
  EXPECT_EQ(std::string(Item(824)->GetCaption()), "Количество ОП на 1 км   ");
  EXPECT_EQ(std::string(Item(824)->GetValue()), "160.00");
  EXPECT_TRUE(Item(824)->GetReadOnly());
  EXPECT_EQ(std::string(Item(815)->GetValue()), "10000.00");
  // A lamp luminaire: the lamp row with its items; poles and brackets included: their rows.
  for (UINT id : {814u, 804u, 821u, 822u, 823u, 820u, 951u, 952u, 953u, 954u})
    EXPECT_EQ(Items(id).size(), 1u) << id;
  EXPECT_TRUE(Items(819).empty());  // the luminaire's own life is an LED's item
  EXPECT_EQ(Item(820)->GetParentItem()->GetCaption(), CString("ИС"));
}

TEST_F(EconomicPriceDialogTest, MoneyIsRoundedToCentsAndAnUnchangedValueAsksNothing)
{
  Open();
  CTKPropertyGridItem* price = Item(815);
  Type(price, "12.346");
  EXPECT_DOUBLE_EQ(Shown(price), 12.35);
  EXPECT_EQ(group_->GetLightDevice()->luminairePrice, 1235);
  EXPECT_EQ(doc_.prices.writes, (std::vector<std::string>{"SetLuminairePrice|ЖКУ 150|1235"}));
  doc_.prices.writes.clear();
  Type(price, "12.35");
  EXPECT_TRUE(doc_.prices.writes.empty());
  EXPECT_TRUE(shell_.boxes.empty());
}

TEST_F(EconomicPriceDialogTest, EachItemIsCheckedAgainstItsRangeAfterRounding)
{
  Open();
  struct Case {
    UINT id;
    const char* typed;
    bool accepted;
    const char* refusal;  // the message when refused
  };
  const Case cases[] = {
      {107, "1000.004", true, nullptr},
      {107, "1000.01", false, "Значение стоимости электроэнергии должно быть в диапазоне от  0 до 1000 руб."},
      {110, "0.99", false, "Значение коэффициента потери мощности в сети должно быть в диапазоне от  1 до 2."},
      {110, "1.5", true, nullptr},
      {109, "1.2", false, "Значение коэффициента эффективности должно быть в диапазоне от  0 до 1."},
      {108, "8761", false, "Число часов использования должно быть в диапазоне от 0 до 8760."},
      {108, "8760", true, nullptr},
      {820, "0.004", false, "Коэффициент, учитывающий потери мощности, должен быть больше нуля."},
      {823, "9", false, "Срок службы ИС должен быть в диапазоне от  10 до 100000 часов."},
      {818, "25", false, "Число чисток ОП в год должно быть в диапазоне от  0 до 24."},
      // Money that 32-bit hundredths cannot hold never reaches the conversion.
      {815, "30000000", false, "Стоимость одного ОП должна быть в диапазоне от  0 до 1000000 руб."},
      {815, "nan", false, "Стоимость одного ОП должна быть в диапазоне от  0 до 1000000 руб."},
      {951, "1000000", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " " << c.typed);
    shell_.boxes.clear();
    doc_.prices.writes.clear();
    CTKPropertyGridItem* item = Item(c.id);
    ASSERT_NE(item, nullptr);
    const CString before = item->GetValue();
    Type(item, c.typed);
    if (c.accepted) {
      EXPECT_TRUE(shell_.boxes.empty());
      EXPECT_EQ(doc_.prices.writes.size(), 1u);
    } else {
      ASSERT_EQ(shell_.boxes.size(), 1u);
      EXPECT_EQ(shell_.boxes[0], c.refusal);
      EXPECT_EQ(shell_.types[0] & 0xF0, static_cast<UINT>(MB_ICONEXCLAMATION));
      EXPECT_EQ(item->GetValue(), before);
      EXPECT_TRUE(doc_.prices.writes.empty());
    }
  }
  EXPECT_EQ(doc_.project->GetElectricityTariff(), 1000);
  EXPECT_EQ(*doc_.project->GetNetworkLossFactor(), 1.5);
  EXPECT_EQ(*doc_.project->GetHoursOfUse(), 8760);
}

TEST_F(EconomicPriceDialogTest, ALuminaireOfTheSameNameElsewhereIsAskedAboutAndChangedOnYes)
{
  // Two more groups of the same luminaire: one counted (economic output on), one not.
  IArea* site = doc_.Append(CLSID_CCustomizeRoad);
  IArea* hidden = doc_.Append(CLSID_CCustomizeRoad);
  const int on = 1, off = 0;
  site->SetEconomicOutput(&on);
  hidden->SetEconomicOutput(&off);
  for (IArea* area : {site, hidden}) {
    IGroupOfDev* g = FirstGroup(area);
    g->SetState(&on);
    g->GetLightDevice()->luminaireName = "ЖКУ 150";
    g->GetLightDevice()->luminairePrice = 500000;
  }
  CLightDevice& counted = *FirstGroup(site)->GetLightDevice();
  CLightDevice& uncounted = *FirstGroup(hidden)->GetLightDevice();

  Open();
  shell_.answer = IDNO;
  Type(Item(815), "7000");
  ASSERT_EQ(shell_.boxes.size(), 1u);
  EXPECT_EQ(shell_.boxes[0], "Проект содержит несколько светильников с наименованием ЖКУ 150. Установить одинаковую "
                             "стоимость для всех ОП?");
  EXPECT_EQ(shell_.types[0] & 0x0F, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(group_->GetLightDevice()->luminairePrice, 700000);
  EXPECT_EQ(counted.luminairePrice, 500000);

  shell_.answer = IDYES;
  Type(Item(815), "8000");
  EXPECT_EQ(group_->GetLightDevice()->luminairePrice, 800000);
  EXPECT_EQ(counted.luminairePrice, 800000);
  EXPECT_EQ(uncounted.luminairePrice, 500000);
  // The grid was filled again and shows the new value in both groups.
  ASSERT_EQ(Items(815).size(), 2u);
  EXPECT_DOUBLE_EQ(Shown(Item(815, 1)), 8000);
}

TEST_F(EconomicPriceDialogTest, ZerosAreCompletedFromTheDatabaseAndCataloguePolesAlwaysTakeItsPrices)
{
  CLightDevice& device = *group_->GetLightDevice();
  device.luminairePrice = 0;
  device.cleaningCost = 4200;
  doc_.prices.known["LuminairePrice|ЖКУ 150"] = 999900;
  doc_.prices.known["LuminaireCleaning|ЖКУ 150"] = 1;
  IPole* pole = FirstPole(group_);
  pole->GetLampPost()->model = "НФГ-8";
  pole->GetLampPost()->GetCurrentBracket()->model = "К2-1,5";
  doc_.prices.known["PolePrice|НФГ-8"] = 1500000;
  doc_.prices.known["BracketMountPrice|К2-1,5"] = 25050;
  Open();
  EXPECT_EQ(device.luminairePrice, 999900);
  EXPECT_EQ(device.cleaningCost, 4200);  // not 0: kept
  EXPECT_EQ(pole->GetPolePrice(), 15000);
  EXPECT_EQ(pole->GetPoleMountPrice(), 0);  // the database does not know it
  EXPECT_EQ(pole->GetBracketMountPrice(), 250.5);
  EXPECT_EQ(std::string(Item(951)->GetParentItem()->GetValue()), "НФГ-8");

  // An accepted catalogue pole price goes to the database by the pole's name.
  Type(Item(951), "16000.5");
  EXPECT_EQ(doc_.prices.writes.back(), "SetPolePrice|НФГ-8|1600050");
}

TEST_F(EconomicPriceDialogTest, AFailingDatabaseIsOneThatDoesNotKnow)
{
  doc_.prices.failure = E_FAIL;
  group_->GetLightDevice()->luminairePrice = 0;
  Open();
  EXPECT_EQ(group_->GetLightDevice()->luminairePrice, 0);
  Type(Item(815), "100");
  EXPECT_EQ(group_->GetLightDevice()->luminairePrice, 10000);
}

TEST_F(EconomicPriceDialogTest, HelpLooksUpTheEconomicsKeyword)
{
  Open();
  std::string keywords;
  shell::SetHelpHandler([&](const shell::HelpRequest& r) {
    keywords = r.keywords;
    return true;
  });
  const HWND button = dialog_->GetDlgItem(1084)->m_hWnd;
  dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(1084, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  shell::SetHelpHandler(nullptr);
  EXPECT_EQ(keywords, "Экономические результаты");
}

TEST_F(EconomicPriceDialogTest, TheSettingsDialogTakesBracketsOutWithPoles)
{
  Open();
  bool bracketsEnabledAfter = true;
  bool bracketsTickedAfter = true;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind != user::ModalQuestion::Kind::Dialog || q.dialogId != res::program::IDD_ECONOMIC_OPTIONS)
      return IDCANCEL;
    EXPECT_EQ(::IsDlgButtonChecked(q.dialog, 1104), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(q.dialog, 1105), static_cast<UINT>(BST_CHECKED));
    // The user removes the tick of the poles.
    ::CheckDlgButton(q.dialog, 1104, BST_UNCHECKED);
    ::SendMessage(q.dialog, WM_COMMAND, MAKEWPARAM(1104, BN_CLICKED),
                  reinterpret_cast<LPARAM>(::GetDlgItem(q.dialog, 1104)));
    bracketsEnabledAfter = ::IsWindowEnabled(::GetDlgItem(q.dialog, 1105));
    bracketsTickedAfter = ::IsDlgButtonChecked(q.dialog, 1105) == BST_CHECKED;
    ::SendMessage(q.dialog, WM_COMMAND, IDOK, 0);
    return IDOK;
  });
  dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(1103, BN_CLICKED),
                       reinterpret_cast<LPARAM>(dialog_->GetDlgItem(1103)->m_hWnd));
  user::SetModalResponder(nullptr);
  EXPECT_FALSE(bracketsEnabledAfter);
  EXPECT_FALSE(bracketsTickedAfter);
  EXPECT_EQ(*doc_.project->GetPolesInCost(), 0);
  EXPECT_EQ(*doc_.project->GetBracketsInCost(), 0);
  EXPECT_TRUE(Items(951).empty());
  EXPECT_TRUE(Items(953).empty());
}

TEST_F(EconomicPriceDialogTest, OpeningHelpAndSettingsAreRecordedAsAnalyticsScreens)
{
  testing_support::FakeAnalytics analytics;
  shell_.analytics = analytics.Module();
  shell::SetHelpHandler([](const shell::HelpRequest&) { return true; });
  user::SetModalResponder([](const user::ModalQuestion&) { return IDCANCEL; });
  const auto click = [&](int id) {
    dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog_->GetDlgItem(id)->m_hWnd));
  };
  const std::vector<std::pair<std::function<void()>, std::string>> steps = {
      {[&] { Open(); }, "Экономические параметры/1"},
      {[&] { click(1084); }, "Экономические параметры.Справка/1"},
      {[&] { click(1103); }, "Экономические параметры.Настройки/1"},
  };
  for (const auto& [step, screen] : steps) {
    step();
    EXPECT_EQ(analytics.Take(), std::vector<std::string>{screen});
  }
  user::SetModalResponder(nullptr);
  shell::SetHelpHandler(nullptr);
  dialog_->DestroyWindow();
  shell_.analytics = nullptr;
}

TEST_F(EconomicPriceDialogTest, TheDialogIsAResizableOneWithItsControlsLaidOutAlongTheEdges)
{
  Open();
  CRect client;
  dialog_->GetClientRect(&client);
  const auto at = [&](int id) {
    CRect rc;
    dialog_->GetDlgItem(id)->GetWindowRect(&rc);
    dialog_->ScreenToClient(&rc);
    return rc;
  };
  EXPECT_EQ(at(IDOK), CRect(client.right - 245, client.bottom - 33, client.right - 170, client.bottom - 10));
  EXPECT_EQ(at(1103), CRect(10, client.bottom - 33, 122, client.bottom - 10));
  EXPECT_EQ(at(32780), CRect(10, 10, client.right - 10, client.bottom - 41));
  EXPECT_NE(dialog_->GetDlgItem(CTKResize::kSizeIconId), nullptr);
  MINMAXINFO mmi{};
  dialog_->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 390);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 400);
}

}  // namespace
