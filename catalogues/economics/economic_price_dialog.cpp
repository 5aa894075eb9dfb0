#include "catalogues/economics/economic_price_dialog.h"

#include "catalogues/economics/economic_view.h"
#include "graphics/core/model_ref.h"
#include "model/class_of.h"
#include "model/cguid.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipole.h"
#include "model/iproject.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/pole.h"
#include "model/servers.h"
#include "model/shell/shell_services.h"
#include "outside/servers/iprice_database.h"
#include "platform/com/comerror.h"
#include "platform/user/msgbox.h"
#include "report/protocol/report_strings.h"
#include "report/view/report_help.h"
#include "res/program_ids.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace {

using ObjectModel::Round2;

constexpr UINT kGridId = 32780;
constexpr UINT kHelpButton = 1084;
constexpr UINT kHelpKeyword = 636;  // "Экономические результаты", as the economics pane's
constexpr UINT kSettingsButton = 1103;
constexpr UINT kPolesCheck = 1104;
constexpr UINT kBracketsCheck = 1105;
constexpr double kDivider = 0.65;
constexpr CSize kMinTrackSize(390, 400);
constexpr const char* kMoneyFormat = "%.2lf";

enum ItemId : UINT {
  kTariff = 107,
  kHours = 108,
  kEfficiency = 109,
  kNetworkLoss = 110,
  kLuminaireAmortisation = 111,
  kPoleAmortisation = 112,
  kBracketAmortisation = 113,
  kLampPower = 804,
  kLampCount = 814,
  kLuminairePrice = 815,
  kLuminaireInstallation = 816,
  kCleaningCost = 817,
  kCleanings = 818,
  kLuminaireLife = 819,
  kLossFactor = 820,
  kLampPrice = 821,
  kLampReplacement = 822,
  kLampLife = 823,
  kLuminaireCount = 824,
  kPolePrice = 951,
  kPoleMount = 952,
  kBracketPrice = 953,
  kBracketMount = 954,
};

// How an edit is checked: its bounds, the refusal text and whether the bounds are written as whole numbers.
struct Range {
  double low;
  double high;
  UINT refusal;
  bool wholeBounds;
  bool exclusiveLow;  // r > low (the loss coefficient), no bounds in the text
  UINT question;      // same-name question, 0 for none
};

const Range* RangeOf(UINT id)
{
  static const struct {
    UINT id;
    Range range;
  } ranges[] = {
      {kTariff, {0, 1000, 656, false, false, 0}},
      {kHours, {0, 8760, 657, true, false, 0}},
      {kEfficiency, {0, 1, 658, false, false, 0}},
      {kNetworkLoss, {1, 2, 659, false, false, 0}},
      {kLuminaireAmortisation, {0, 1, 660, false, false, 0}},
      {kPoleAmortisation, {0, 1, 661, false, false, 0}},
      {kBracketAmortisation, {0, 1, 662, false, false, 0}},
      {kLuminairePrice, {0, 1000000, 665, false, false, 712}},
      {kLuminaireInstallation, {0, 1000000, 668, false, false, 713}},
      {kCleaningCost, {0, 1000000, 671, false, false, 715}},
      {kCleanings, {0, 24, 674, true, false, 716}},
      {kLuminaireLife, {10, 200000, 677, true, false, 717}},
      {kLossFactor, {0, 0, 682, false, true, 718}},
      {kLampPrice, {0, 1000000, 687, false, false, 719}},
      {kLampReplacement, {0, 1000000, 690, false, false, 720}},
      {kLampLife, {10, 100000, 693, true, false, 721}},
      {kPolePrice, {0, 1000000, 702, false, false, 722}},
      {kPoleMount, {0, 1000000, 703, false, false, 723}},
      {kBracketPrice, {0, 1000000, 704, false, false, 724}},
      {kBracketMount, {0, 1000000, 705, false, false, 725}},
  };
  for (const auto& r : ranges)
    if (r.id == id)
      return &r.range;
  return nullptr;
}

// NaN-safe: a value that is no number is outside every range.
bool InRange(const Range& range, double value)
{
  if (range.exclusiveLow)
    return value > range.low;
  return value >= range.low && value <= range.high;
}

// What the price database takes: whole hundredths, to the nearest. Only values inside their range (at most a
// million) come here, so the product always fits.
LONG DatabaseMoney(double currency) { return static_cast<LONG>(std::trunc(currency * 100 + 0.5)); }

bool IsLuminaireItem(UINT id) { return (id >= kLuminairePrice && id <= kLampLife) && id != kLampCount; }
bool IsBracketItem(UINT id) { return id == kBracketPrice || id == kBracketMount; }

CString Caption(UINT caption, UINT description)
{
  return LoadReportString(caption) + "\n" + LoadReportString(description);
}

template <class I>
ModelRef<I> DocumentPart(IQorRoadDoc* document, const IID& iid)
{
  void* part = nullptr;
  if (document == nullptr || FAILED(document->QueryInterface(iid, &part)))
    part = nullptr;
  return ModelRef<I>::Adopt(static_cast<I*>(part));
}

bool IsStraightRoad(IArea* area)
{
  return IsOfClass(area, CLSID_CStraightRoad);
}

bool IsInstallation(IArea* area)
{
  return IsOfClass(area, CLSID_CCustomizeRoad) || IsOfClass(area, CLSID_CCustomizeRoad3D);
}

// The luminaires of a group as the cost estimate counts them.
double LuminaireCount(IArea* area, IGroupOfDev* group)
{
  if (IsStraightRoad(area)) {
    const double spacing = *group->GetStep();
    if (spacing <= 0)
      return 0;
    double poles = 1000 / spacing;
    const int scheme = *group->GetRoadScheme();
    if (scheme == 2 || scheme == 3 || scheme == 4)
      poles *= 2;
    return group->GetLuminaireCount() * poles;
  }
  return IsInstallation(area) ? group->GetLuminaireCount() : 0;
}

CLampConsole* CatalogueBracket(IPole* pole)
{
  return *pole->GetTypical() ? pole->GetLampPost()->GetCurrentBracket() : nullptr;
}

// Every switched-on group of every area whose economic output is on, with its area.
void ForEachCountedGroup(IProject* project, const std::function<void(IArea*, IGroupOfDev*)>& visit)
{
  ModelRef<IArea> first(project, IID_IArea);
  for (IArea* area = first.get(); area; area = area->GetNext()) {
    if (*area->GetEconomicOutput() == 0)
      continue;
    ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> firstGroup(groups.get(), IID_IGroupOfDev);
    for (IGroupOfDev* group = firstGroup.get(); group; group = group->GetNext())
      if ((*group->GetState() & 0x1) != 0)
        visit(area, group);
  }
}

// A database question: the answer only on S_OK. A failing database is treated as one that does not know.
template <class T, class Ask>
bool AskDatabase(Ask ask, T* answer)
{
  try {
    T value{};
    if (ComCheck(ask(&value)) != S_OK)
      return false;
    *answer = value;
    return true;
  } catch (const _com_error&) {
    return false;
  }
}

// A database write; a failure of the database leaves the project's value, which is what counts, in place.
template <class Tell>
void TellDatabase(Tell tell)
{
  try {
    ComCheck(tell());
  } catch (const _com_error&) {
  }
}

}  // namespace

CTKPropertyDrawItem::CTKPropertyDrawItem(LPCSTR lpszCaption, LPCSTR lpszValue)
    : CTKPropertyGridItem(lpszCaption, lpszValue)
{
  SetReadOnly(TRUE);
}

BOOL CTKPropertyDrawItem::OnDrawItemValue(CDC& dc, CRect rcValue)
{
  dc.SetTextColor(m_clrText);
  const CString text = GetViewValue();
  dc.TextOut(rcValue.left, rcValue.top + 1, text, text.GetLength());
  return TRUE;
}

BEGIN_MESSAGE_MAP(CDlgEconomPrice, CTKResizeDialog)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_DESTROY()
  ON_MESSAGE(TKWM_PROPERTYGRID_NOTIFY, &CDlgEconomPrice::OnGridNotify)
  ON_BN_CLICKED(kHelpButton, &CDlgEconomPrice::OnHelp)
  ON_BN_CLICKED(kSettingsButton, &CDlgEconomPrice::OnSettings)
END_MESSAGE_MAP()

CDlgEconomPrice::CDlgEconomPrice(CWnd* pParent, IQorRoadDoc* document)
    : CTKResizeDialog(res::program::IDD_ECONOMIC_PRICE, pParent, 0), m_document(document)
{
}

CDlgEconomPrice::~CDlgEconomPrice() = default;

BOOL CDlgEconomPrice::OnInitDialog()
{
  CTKResizeDialog::OnInitDialog();
  CRect client;
  GetClientRect(&client);
  if (!m_grid.Create(client, this, kGridId, 0))
    return TRUE;
  m_grid.SetViewDivider(kDivider);
  LayOut(client.Width(), client.Height());
  m_grid.ResetContent();
  FillGrid();
  Shell::RegisterAnalyticsScreen("Экономические параметры", 1);
  return TRUE;
}

void CDlgEconomPrice::OnDestroy()
{
  Shell::SendAnalyticsInfo(1);
  CTKResizeDialog::OnDestroy();
}

void CDlgEconomPrice::OnSize(UINT nType, int cx, int cy)
{
  CTKResizeDialog::OnSize(nType, cx, cy);
  LayOut(cx, cy);
}

void CDlgEconomPrice::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
  m_resize.SetMinTrackSize(kMinTrackSize);
  CTKResizeDialog::OnGetMinMaxInfo(lpMMI);
}

void CDlgEconomPrice::LayOut(int cx, int cy)
{
  const struct {
    UINT id;
    int x;
    int y;
    int width;
    int height;
  } places[] = {
      {IDOK, cx - 245, cy - 33, 75, 23},         {IDCANCEL, cx - 165, cy - 33, 75, 23},
      {kHelpButton, cx - 85, cy - 33, 75, 23},   {kSettingsButton, 10, cy - 33, 112, 23},
      {kGridId, 10, 10, cx - 20, cy - 51},
  };
  for (const auto& p : places) {
    if (CWnd* control = GetDlgItem(static_cast<int>(p.id))) {
      control->MoveWindow(p.x, p.y, p.width, p.height, TRUE);
      control->Invalidate(TRUE);
    }
  }
}

LRESULT CDlgEconomPrice::OnGridNotify(WPARAM wParam, LPARAM lParam)
{
  if (wParam == TK_PGN_ITEMVALUE_CHANGED && lParam != 0)
    OnItemValueChanged(reinterpret_cast<CTKPropertyGridItem*>(lParam));
  return 0;
}

void CDlgEconomPrice::OnHelp()
{
  Shell::RegisterAnalyticsScreen("Экономические параметры.Справка", 1);
  ShowProgramHelp(this, kHelpKeyword);
}

void CDlgEconomPrice::OnSettings()
{
  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  if (!project)
    return;
  CDlgEconomOpt options(this);
  options.m_polesIncluded = *project->GetPolesInCost();
  options.m_bracketsIncluded = *project->GetBracketsInCost();
  if (options.DoModal() != IDOK)
    return;
  project->SetPolesInCost(&options.m_polesIncluded);
  project->SetBracketsInCost(&options.m_bracketsIncluded);
  RefillGrid();
}

int CDlgEconomPrice::FillGrid()
{
  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  if (!project)
    return 0;
  IProject* p = project.get();
  const bool polesIncluded = *p->GetPolesInCost() != 0;
  const bool bracketsIncluded = *p->GetBracketsInCost() != 0;

  const auto addDouble = [](CTKPropertyGridItem* parent, UINT id, const CString& caption, double value,
                            LPCSTR format, DWORD_PTR data) {
    CTKPropertyGridItem* item = parent->AddChildItem(new CTKPropertyGridItemDouble(caption, value, format));
    item->SetID(id);
    item->SetItemData(data);
    return item;
  };
  const auto addNumber = [](CTKPropertyGridItem* parent, UINT id, const CString& caption, int value,
                            DWORD_PTR data) {
    CTKPropertyGridItem* item = parent->AddChildItem(new CTKPropertyGridItemNumber(caption, value));
    item->SetID(id);
    item->SetItemData(data);
    return item;
  };

  CTKPropertyGridItem* inputs = m_grid.AddCategory(LoadReportString(641));
  const auto projectData = reinterpret_cast<DWORD_PTR>(p);
  addDouble(inputs, kTariff, Caption(642, 643), p->GetElectricityTariff(), kMoneyFormat, projectData);
  addNumber(inputs, kHours, Caption(644, 645), *p->GetHoursOfUse(), projectData);
  addDouble(inputs, kEfficiency, Caption(646, 647), *p->GetCapitalEfficiency(), nullptr, projectData);
  addDouble(inputs, kNetworkLoss, Caption(649, 648), *p->GetNetworkLossFactor(), nullptr, projectData);
  addDouble(inputs, kLuminaireAmortisation, Caption(650, 651), *p->GetLuminaireAmortisation(), nullptr, projectData);
  addDouble(inputs, kPoleAmortisation, Caption(652, 653), *p->GetPoleAmortisation(), nullptr, projectData);
  addDouble(inputs, kBracketAmortisation, Caption(654, 655), *p->GetBracketAmortisation(), nullptr, projectData);
  inputs->Expand();

  ObjectModel::ServerRef<IPriceDatabase> prices(m_document, qorsrv::IID_IPriceDatabase);
  IPriceDatabase* db = prices ? prices.operator->() : nullptr;
  // A figure still 0 is completed from the database; `keepZero` says whether a 0 answer counts.
  const auto complete = [db](std::int32_t& field, bool keepZero, const std::function<HRESULT(LONG*)>& ask) {
    LONG answer = 0;
    if (db && field == 0 && AskDatabase(ask, &answer) && (keepZero || answer != 0))
      field = answer;
  };

  ModelRef<IArea> firstArea(p, IID_IArea);
  for (IArea* area = firstArea.get(); area; area = area->GetNext()) {
    if (*area->GetEconomicOutput() == 0)
      continue;
    CTKPropertyGridItem* category = m_grid.AddCategory(VisualCtrl::EconomicAreaName(area));
    const bool straight = IsStraightRoad(area);
    ModelRef<IGroupsOfDev> groups(area, IID_IGroupsOfDev);
    ModelRef<IGroupOfDev> firstGroup(groups.get(), IID_IGroupOfDev);
    for (IGroupOfDev* group = firstGroup.get(); group; group = group->GetNext()) {
      if ((*group->GetState() & 0x1) == 0)
        continue;
      CLightDevice& R = *group->GetLightDevice();
      ModelRef<IPole> pole(group, IID_IPole);
      const auto groupData = reinterpret_cast<DWORD_PTR>(group);
      const auto deviceData = reinterpret_cast<DWORD_PTR>(&R);
      const char* key = R.luminaireName;
      const char* lamp = R.lampType;
      const double power = R.lampPower;

      auto* heading = new CTKPropertyDrawItem(*group->GetName(), R.GetDisplayName());
      CTKPropertyGridItem* groupRow = category->AddChildItem(heading);
      groupRow->SetID(static_cast<UINT>(groupData));
      groupRow->SetItemData(groupData);

      CTKPropertyGridItem* count =
          addDouble(groupRow, kLuminaireCount, straight ? Caption(710, 711) : Caption(709, 711),
                    LuminaireCount(area, group), straight ? "%.2lf" : "%.0lf", deviceData);
      count->SetReadOnly(TRUE);

      complete(R.luminairePrice, true, [&](LONG* v) { return db->GetLuminairePrice(key, v); });
      complete(R.installationCost, true, [&](LONG* v) { return db->GetLuminaireInstallation(key, v); });
      complete(R.cleaningCost, true, [&](LONG* v) { return db->GetLuminaireCleaning(key, v); });
      addDouble(groupRow, kLuminairePrice, Caption(663, 664), R.luminairePrice / 100.0, kMoneyFormat, deviceData);
      addDouble(groupRow, kLuminaireInstallation, Caption(666, 667), R.installationCost / 100.0, kMoneyFormat,
                deviceData);
      addDouble(groupRow, kCleaningCost, Caption(669, 670), R.cleaningCost / 100.0, kMoneyFormat, deviceData);
      complete(R.cleaningsPerYear, true, [&](LONG* v) { return db->GetCleaningsPerYear(key, v); });
      addNumber(groupRow, kCleanings, Caption(673, 672), R.cleaningsPerYear, deviceData);

      if (R.IsLed()) {
        complete(R.luminaireLife, false, [&](LONG* v) { return db->GetLuminaireLife(key, v); });
        addNumber(groupRow, kLuminaireLife, Caption(675, 676), R.luminaireLife, deviceData);
        addDouble(groupRow, kLampPower, Caption(678, 679), R.lampCount * R.lampPower, nullptr, deviceData)
            ->SetReadOnly(TRUE);
        double factor = 0;
        if (db && R.powerLossFactor == 0 &&
            AskDatabase([&](double* v) { return db->GetDriverLoss(key, v); }, &factor) && factor != 0)
          R.powerLossFactor = factor;
        addDouble(groupRow, kLossFactor, Caption(680, 681), R.powerLossFactor, nullptr, deviceData);
      } else {
        CTKPropertyGridItem* lampRow = groupRow->AddChildItem(new CTKPropertyDrawItem("ИС", R.lampType));
        lampRow->SetID(static_cast<UINT>(groupData));
        lampRow->SetItemData(groupData);
        addNumber(lampRow, kLampCount, Caption(505, 506), R.lampCount, deviceData)->SetReadOnly(TRUE);
        addDouble(lampRow, kLampPower, Caption(242, 243), Round2(R.lampPower), nullptr, deviceData)->SetReadOnly(TRUE);
        complete(R.lampPrice, true, [&](LONG* v) { return db->GetLampPrice(lamp, power, v); });
        complete(R.lampReplacementCost, true, [&](LONG* v) { return db->GetLampReplacement(lamp, power, v); });
        addDouble(lampRow, kLampPrice, Caption(685, 686), R.lampPrice / 100.0, kMoneyFormat, deviceData);
        addDouble(lampRow, kLampReplacement, Caption(688, 689), R.lampReplacementCost / 100.0, kMoneyFormat,
                  deviceData);
        complete(R.lampLife, false, [&](LONG* v) { return db->GetLampLife(lamp, power, v); });
        addNumber(lampRow, kLampLife, Caption(691, 692), R.lampLife, deviceData);
        double factor = 0;
        if (db && R.powerLossFactor == 0 &&
            AskDatabase([&](double* v) { return db->GetBallastLoss(lamp, power, v); }, &factor) && factor != 0)
          R.powerLossFactor = factor;
        addDouble(lampRow, kLossFactor, Caption(683, 684), R.powerLossFactor, nullptr, deviceData);
        lampRow->Expand();
      }

      if (pole) {
        const auto poleData = reinterpret_cast<DWORD_PTR>(pole.get());
        const bool catalogue = *pole->GetTypical() != 0;
        if (polesIncluded) {
          CLampPost* post = pole->GetLampPost();
          CTKPropertyGridItem* poleRow =
              groupRow->AddChildItem(new CTKPropertyDrawItem("Опора (мачта)", catalogue ? post->model : CString()));
          poleRow->SetID(static_cast<UINT>(groupData));
          poleRow->SetItemData(groupData);
          if (catalogue) {
            LONG answer = 0;
            const double price =
                db && AskDatabase([&](LONG* v) { return db->GetPolePrice(post->model, v); }, &answer) ? answer / 100.0
                                                                                                        : 0.0;
            pole->SetPolePrice(&price);
            answer = 0;
            const double mount =
                db && AskDatabase([&](LONG* v) { return db->GetPoleMountPrice(post->model, v); }, &answer)
                    ? answer / 100.0
                    : 0.0;
            pole->SetPoleMountPrice(&mount);
          }
          addDouble(poleRow, kPolePrice, Caption(695, 696), pole->GetPolePrice(), kMoneyFormat, poleData);
          addDouble(poleRow, kPoleMount, Caption(694, 697), pole->GetPoleMountPrice(), kMoneyFormat, poleData);
          poleRow->Expand();
        }
        if (bracketsIncluded) {
          CLampConsole* bracket = CatalogueBracket(pole.get());
          CTKPropertyGridItem* bracketRow =
              groupRow->AddChildItem(new CTKPropertyDrawItem("Кронштейн", bracket ? bracket->model : CString()));
          bracketRow->SetID(static_cast<UINT>(groupData));
          bracketRow->SetItemData(groupData);
          if (bracket) {
            LONG answer = 0;
            const double price =
                db && AskDatabase([&](LONG* v) { return db->GetBracketPrice(bracket->model, v); }, &answer)
                    ? answer / 100.0
                    : 0.0;
            pole->SetBracketPrice(&price);
            answer = 0;
            const double mount =
                db && AskDatabase([&](LONG* v) { return db->GetBracketMountPrice(bracket->model, v); }, &answer)
                    ? answer / 100.0
                    : 0.0;
            pole->SetBracketMountPrice(&mount);
          }
          addDouble(bracketRow, kBracketPrice, Caption(698, 699), pole->GetBracketPrice(), kMoneyFormat, poleData);
          addDouble(bracketRow, kBracketMount, Caption(700, 701), pole->GetBracketMountPrice(), kMoneyFormat,
                    poleData);
          bracketRow->Expand();
        }
      }
      groupRow->Expand();
    }
    category->Expand();
  }
  return 1;
}

void CDlgEconomPrice::RefillGrid()
{
  CTKPropertyGridView& view = m_grid.GetGridView();
  const LRESULT top = view.GetSafeHwnd() ? view.SendMessage(LB_GETTOPINDEX) : 0;
  m_grid.ResetContent();
  m_grid.Invalidate(TRUE);
  FillGrid();
  if (view.GetSafeHwnd())
    view.SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(top));
  m_grid.Invalidate(TRUE);
}

namespace {

// The value an item shows for what the model holds now.
struct ModelValue {
  double value;
  bool ok;
};

ModelValue ReadModel(UINT id, DWORD_PTR data)
{
  if (data == 0)
    return {0, false};
  if (id >= kTariff && id <= kBracketAmortisation) {
    auto* p = reinterpret_cast<IProject*>(data);
    switch (id) {
    case kTariff: return {p->GetElectricityTariff(), true};
    case kHours: return {static_cast<double>(*p->GetHoursOfUse()), true};
    case kEfficiency: return {*p->GetCapitalEfficiency(), true};
    case kNetworkLoss: return {*p->GetNetworkLossFactor(), true};
    case kLuminaireAmortisation: return {*p->GetLuminaireAmortisation(), true};
    case kPoleAmortisation: return {*p->GetPoleAmortisation(), true};
    case kBracketAmortisation: return {*p->GetBracketAmortisation(), true};
    default: return {0, false};
    }
  }
  if (IsLuminaireItem(id)) {
    auto* R = reinterpret_cast<CLightDevice*>(data);
    switch (id) {
    case kLuminairePrice: return {R->luminairePrice / 100.0, true};
    case kLuminaireInstallation: return {R->installationCost / 100.0, true};
    case kCleaningCost: return {R->cleaningCost / 100.0, true};
    case kCleanings: return {static_cast<double>(R->cleaningsPerYear), true};
    case kLuminaireLife: return {static_cast<double>(R->luminaireLife), true};
    case kLossFactor: return {R->powerLossFactor, true};
    case kLampPrice: return {R->lampPrice / 100.0, true};
    case kLampReplacement: return {R->lampReplacementCost / 100.0, true};
    case kLampLife: return {static_cast<double>(R->lampLife), true};
    default: return {0, false};
    }
  }
  auto* pole = reinterpret_cast<IPole*>(data);
  switch (id) {
  case kPolePrice: return {pole->GetPolePrice(), true};
  case kPoleMount: return {pole->GetPoleMountPrice(), true};
  case kBracketPrice: return {pole->GetBracketPrice(), true};
  case kBracketMount: return {pole->GetBracketMountPrice(), true};
  default: return {0, false};
  }
}

void ShowOnItem(CTKPropertyGridItem* item, double value)
{
  if (auto* d = dynamic_cast<CTKPropertyGridItemDouble*>(item))
    d->SetDouble(value);
  else if (auto* n = dynamic_cast<CTKPropertyGridItemNumber*>(item))
    n->SetNumber(static_cast<int>(value));
}

void StoreLuminaire(CLightDevice& R, UINT id, double r)
{
  switch (id) {
  case kLuminairePrice: R.SetPrice(&r); break;
  case kLuminaireInstallation: R.SetInstallationCost(&r); break;
  case kCleaningCost: R.SetCleaningCost(&r); break;
  case kCleanings: R.cleaningsPerYear = static_cast<std::int32_t>(r); break;
  case kLuminaireLife: R.luminaireLife = static_cast<std::int32_t>(r); break;
  case kLossFactor: R.powerLossFactor = r; break;
  case kLampPrice: R.SetLampPrice(&r); break;
  case kLampReplacement: R.SetLampReplacementCost(&r); break;
  case kLampLife: R.lampLife = static_cast<std::int32_t>(r); break;
  default: break;
  }
}

void StorePole(IPole* pole, UINT id, double r)
{
  switch (id) {
  case kPolePrice: pole->SetPolePrice(&r); break;
  case kPoleMount: pole->SetPoleMountPrice(&r); break;
  case kBracketPrice: pole->SetBracketPrice(&r); break;
  case kBracketMount: pole->SetBracketMountPrice(&r); break;
  default: break;
  }
}

void StoreProject(IProject* p, UINT id, double r)
{
  const int whole = static_cast<int>(r);
  switch (id) {
  case kTariff: p->SetElectricityTariff(&r); break;
  case kHours: p->SetHoursOfUse(&whole); break;
  case kEfficiency: p->SetCapitalEfficiency(&r); break;
  case kNetworkLoss: p->SetNetworkLossFactor(&r); break;
  case kLuminaireAmortisation: p->SetLuminaireAmortisation(&r); break;
  case kPoleAmortisation: p->SetPoleAmortisation(&r); break;
  case kBracketAmortisation: p->SetBracketAmortisation(&r); break;
  default: break;
  }
}

void TellProject(IPriceDatabase* db, UINT id, double r)
{
  switch (id) {
  case kTariff: TellDatabase([&] { return db->SetDefaultTariff(r); }); break;
  case kHours: TellDatabase([&] { return db->SetDefaultHours(static_cast<LONG>(r)); }); break;
  case kEfficiency: TellDatabase([&] { return db->SetDefaultEfficiency(r); }); break;
  case kNetworkLoss: TellDatabase([&] { return db->SetDefaultNetworkLoss(r); }); break;
  case kLuminaireAmortisation: TellDatabase([&] { return db->SetDefaultLuminaireAmortisation(r); }); break;
  case kPoleAmortisation: TellDatabase([&] { return db->SetDefaultPoleAmortisation(r); }); break;
  case kBracketAmortisation: TellDatabase([&] { return db->SetDefaultBracketAmortisation(r); }); break;
  default: break;
  }
}

void TellLuminaire(IPriceDatabase* db, const CLightDevice& R, UINT id, double r)
{
  const char* key = R.luminaireName;
  const char* lamp = R.lampType;
  const double power = R.lampPower;
  const LONG money = DatabaseMoney(r);
  const LONG whole = static_cast<LONG>(r);
  switch (id) {
  case kLuminairePrice: TellDatabase([&] { return db->SetLuminairePrice(key, money); }); break;
  case kLuminaireInstallation: TellDatabase([&] { return db->SetLuminaireInstallation(key, money); }); break;
  case kCleaningCost: TellDatabase([&] { return db->SetLuminaireCleaning(key, money); }); break;
  case kCleanings: TellDatabase([&] { return db->SetCleaningsPerYear(key, whole); }); break;
  case kLuminaireLife: TellDatabase([&] { return db->SetLuminaireLife(key, whole); }); break;
  case kLossFactor:
    TellDatabase([&] { return R.IsLed() ? db->SetDriverLoss(key, r) : db->SetBallastLoss(lamp, power, r); });
    break;
  case kLampPrice: TellDatabase([&] { return db->SetLampPrice(lamp, power, money); }); break;
  case kLampReplacement: TellDatabase([&] { return db->SetLampReplacement(lamp, power, money); }); break;
  case kLampLife: TellDatabase([&] { return db->SetLampLife(lamp, power, whole); }); break;
  default: break;
  }
}

void TellPole(IPriceDatabase* db, IPole* pole, UINT id, double r)
{
  const bool catalogue = *pole->GetTypical() != 0;
  const LONG money = DatabaseMoney(r);
  if (!catalogue) {
    switch (id) {
    case kPolePrice: TellDatabase([&] { return db->SetDefaultPolePrice(r); }); break;
    case kPoleMount: TellDatabase([&] { return db->SetDefaultPoleMountPrice(r); }); break;
    case kBracketPrice: TellDatabase([&] { return db->SetDefaultBracketPrice(r); }); break;
    case kBracketMount: TellDatabase([&] { return db->SetDefaultBracketMountPrice(r); }); break;
    default: break;
    }
    return;
  }
  const CString& poleName = pole->GetLampPost()->model;
  CLampConsole* bracket = CatalogueBracket(pole);
  switch (id) {
  case kPolePrice: TellDatabase([&] { return db->SetPolePrice(poleName, money); }); break;
  case kPoleMount: TellDatabase([&] { return db->SetPoleMountPrice(poleName, money); }); break;
  case kBracketPrice:
    if (bracket)
      TellDatabase([&] { return db->SetBracketPrice(bracket->model, money); });
    break;
  case kBracketMount:
    if (bracket)
      TellDatabase([&] { return db->SetBracketMountPrice(bracket->model, money); });
    break;
  default: break;
  }
}

}  // namespace

void CDlgEconomPrice::OnItemValueChanged(CTKPropertyGridItem* pItem)
{
  const UINT id = pItem->GetID();
  const Range* range = RangeOf(id);
  if (range == nullptr)
    return;
  const DWORD_PTR data = pItem->GetItemData();
  const ModelValue model = ReadModel(id, data);
  if (!model.ok)
    return;

  double r = 0;
  if (auto* d = dynamic_cast<CTKPropertyGridItemDouble*>(pItem)) {
    r = Round2(d->GetDouble());
    d->SetDouble(r);
  } else if (auto* n = dynamic_cast<CTKPropertyGridItemNumber*>(pItem)) {
    r = n->GetNumber();
  } else {
    return;
  }

  if (r == model.value) {
    ShowOnItem(pItem, model.value);
    return;
  }
  if (!InRange(*range, r)) {
    CString text;
    const CString format = LoadReportString(range->refusal);
    if (range->exclusiveLow)
      text = format;
    else if (range->wholeBounds)
      text.Format(format, static_cast<int>(range->low), static_cast<int>(range->high));
    else
      text.Format(format, range->low, range->high);
    Shell::ShowMessageBox(m_hWnd, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    SetFocus();
    ShowOnItem(pItem, model.value);
    return;
  }

  ModelRef<IProject> project = DocumentPart<IProject>(m_document, IID_IProject);
  ObjectModel::ServerRef<IPriceDatabase> prices(m_document, qorsrv::IID_IPriceDatabase);
  IPriceDatabase* db = prices ? prices.operator->() : nullptr;

  if (id >= kTariff && id <= kBracketAmortisation) {
    StoreProject(reinterpret_cast<IProject*>(data), id, r);
    if (db)
      TellProject(db, id, r);
    m_grid.Invalidate(TRUE);
    return;
  }

  bool refill = false;
  if (IsLuminaireItem(id)) {
    CLightDevice& R = *reinterpret_cast<CLightDevice*>(data);
    std::vector<CLightDevice*> same;
    if (project) {
      ForEachCountedGroup(project.get(), [&](IArea*, IGroupOfDev* group) {
        CLightDevice* other = group->GetLightDevice();
        if (other->luminaireName == R.luminaireName)
          same.push_back(other);
      });
    }
    bool all = false;
    if (same.size() > 1) {
      CString question;
      question.Format(LoadReportString(range->question), static_cast<LPCSTR>(R.GetDisplayName()));
      all = Shell::ShowMessageBox(m_hWnd, question, nullptr, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    if (all) {
      for (CLightDevice* other : same)
        StoreLuminaire(*other, id, r);
      refill = true;
    } else {
      StoreLuminaire(R, id, r);
    }
    if (db)
      TellLuminaire(db, R, id, r);
  } else {
    IPole* pole = reinterpret_cast<IPole*>(data);
    const bool catalogue = *pole->GetTypical() != 0;
    CLampConsole* bracket = CatalogueBracket(pole);
    const bool byBracket = IsBracketItem(id);
    if (!catalogue || (byBracket && bracket == nullptr)) {
      StorePole(pole, id, r);
      if (db && !(catalogue && byBracket))
        TellPole(db, pole, id, r);
    } else {
      const CString name = byBracket ? bracket->model : pole->GetLampPost()->model;
      std::vector<IPole*> same;
      if (project) {
        ForEachCountedGroup(project.get(), [&](IArea*, IGroupOfDev* group) {
          ModelRef<IPole> first(group, IID_IPole);
          if (!first || *first->GetTypical() == 0)
            return;
          if (byBracket) {
            CLampConsole* b = CatalogueBracket(first.get());
            if (b && b->model == name)
              same.push_back(first.get());
          } else if (first->GetLampPost()->model == name) {
            same.push_back(first.get());
          }
        });
      }
      bool all = false;
      if (same.size() > 1) {
        CString question;
        question.Format(LoadReportString(range->question), static_cast<LPCSTR>(name));
        all = Shell::ShowMessageBox(m_hWnd, question, nullptr, MB_YESNO | MB_ICONQUESTION) == IDYES;
      }
      if (all) {
        for (IPole* other : same)
          StorePole(other, id, r);
        refill = true;
      } else {
        StorePole(pole, id, r);
      }
      if (db)
        TellPole(db, pole, id, r);
    }
  }
  if (refill)
    RefillGrid();
  else
    m_grid.Invalidate(TRUE);
}

BEGIN_MESSAGE_MAP(CDlgEconomOpt, CDialog)
  ON_BN_CLICKED(kPolesCheck, &CDlgEconomOpt::OnPolesClicked)
END_MESSAGE_MAP()

CDlgEconomOpt::CDlgEconomOpt(CWnd* pParent) : CDialog(res::program::IDD_ECONOMIC_OPTIONS, pParent) {}

BOOL CDlgEconomOpt::OnInitDialog()
{
  CDialog::OnInitDialog();
  ::CheckDlgButton(m_hWnd, kPolesCheck, m_polesIncluded != 0 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, kBracketsCheck,
                   m_polesIncluded != 0 && m_bracketsIncluded != 0 ? BST_CHECKED : BST_UNCHECKED);
  if (CWnd* brackets = GetDlgItem(kBracketsCheck))
    brackets->EnableWindow(m_polesIncluded != 0);
  Shell::RegisterAnalyticsScreen("Экономические параметры.Настройки", 1);
  return TRUE;
}

void CDlgEconomOpt::OnPolesClicked()
{
  const bool poles = ::IsDlgButtonChecked(m_hWnd, kPolesCheck) == BST_CHECKED;
  CWnd* brackets = GetDlgItem(kBracketsCheck);
  if (brackets == nullptr)
    return;
  brackets->EnableWindow(poles);
  if (!poles)
    ::CheckDlgButton(m_hWnd, kBracketsCheck, BST_UNCHECKED);
}

void CDlgEconomOpt::OnOK()
{
  m_polesIncluded = ::IsDlgButtonChecked(m_hWnd, kPolesCheck) == BST_CHECKED ? 1 : 0;
  m_bracketsIncluded = ::IsDlgButtonChecked(m_hWnd, kBracketsCheck) == BST_CHECKED ? 1 : 0;
  CDialog::OnOK();
}
