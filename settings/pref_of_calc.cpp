#include "settings/pref_of_calc.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "platform/user/common_controls.h"
#include "res/program_ids.h"

namespace Options {

namespace {

constexpr UINT kLanes = 1000;
constexpr UINT kLuminance = 1001;
constexpr UINT kIlluminance = 1002;
constexpr UINT kSemiCylindrical = 1003;
constexpr UINT kObserverAuto = 1005;
constexpr UINT kObserverUser = 1006;
constexpr UINT kObserverGroup = 1007;

_CALC_RESULTS* ResultsOf(IArea* area)
{
  ModelRef<IResultsOfCalc> results(area, IID_IResultsOfCalc);
  return results ? results->GetData() : nullptr;  // the area keeps its results
}

}  // namespace

BEGIN_MESSAGE_MAP(CPrefOfCalc, CPrefPage)
  ON_BN_CLICKED(kLuminance, &CPrefOfCalc::OnLuminance)
  ON_BN_CLICKED(kIlluminance, &CPrefOfCalc::OnIlluminance)
  ON_BN_CLICKED(kSemiCylindrical, &CPrefOfCalc::OnSemiCylindrical)
  ON_BN_CLICKED(kObserverAuto, &CPrefOfCalc::OnObserverAutomatic)
  ON_BN_CLICKED(kObserverUser, &CPrefOfCalc::OnObserverUser)
  ON_NOTIFY(TVN_SELCHANGED, kLanes, &CPrefOfCalc::OnLaneChanged)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPrefOfCalc::CPrefOfCalc(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CPrefPage(res::program::IDD_PREF_CALC, pParent, document, options)
{
}

void CPrefOfCalc::Changed()
{
  if (m_bInitialised)
    m_bViewChanged = TRUE;
}

BOOL CPrefOfCalc::OnInitDialog()
{
  CPrefPage::OnInitDialog();
  m_lanes.SubclassDlgItem(kLanes, this);
  IArea* area = ActiveArea();
  const AreaKind kind = KindOf(area);
  const _CALC_RESULTS* results = ResultsOf(area);
  const bool valid = results != nullptr && results->valid != 0;
  const bool site = kind == AreaKind::OpenSite || kind == AreaKind::Interchange;
  const int automatic = 1;
  const int illuminance = 1;
  if (!valid || site)
    m_options->SetAutoObserver(&automatic);
  if (site)
    m_options->SetQuantity(&illuminance);
  const bool isAutomatic = *m_options->GetAutoObserver() != 0;
  ::CheckDlgButton(m_hWnd, kObserverAuto, isAutomatic ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, kObserverUser, isAutomatic ? BST_UNCHECKED : BST_CHECKED);
  if (isAutomatic) {
    m_lanes.EnableWindow(FALSE);
    if (!valid)
      GetDlgItem(kObserverUser)->EnableWindow(FALSE);
  }
  FillLanes();
  ShowQuantity(*m_options->GetQuantity());
  if (kind == AreaKind::StraightRoad) {
    if (!HasSidewalks(area))
      GetDlgItem(kSemiCylindrical)->EnableWindow(FALSE);
  } else {
    GetDlgItem(kLuminance)->EnableWindow(FALSE);
    GetDlgItem(kSemiCylindrical)->EnableWindow(FALSE);
  }
  m_bInitialised = TRUE;
  return TRUE;
}

void CPrefOfCalc::OnDestroy()
{
  if (m_lanes.GetSafeHwnd())
    m_lanes.UnsubclassWindow();
  CPrefPage::OnDestroy();
}

void CPrefOfCalc::ShowQuantity(int quantity)
{
  for (UINT id : {kLuminance, kIlluminance, kSemiCylindrical})
    ::CheckDlgButton(m_hWnd, id, BST_UNCHECKED);
  const bool luminance = quantity == 0;
  for (UINT id : {kObserverGroup, kObserverAuto, kObserverUser, kLanes})
    GetDlgItem(static_cast<int>(id))->ShowWindow(luminance ? SW_SHOW : SW_HIDE);
  if (quantity < 0 || quantity > 2)
    return;
  ::CheckDlgButton(m_hWnd, kLuminance + static_cast<UINT>(quantity), BST_CHECKED);
  m_options->SetQuantity(&quantity);
}

void CPrefOfCalc::FillLanes()
{
  m_lanes.DeleteAllItems();
  _CALC_RESULTS* results = ResultsOf(ActiveArea());
  if (results == nullptr || results->valid == 0) {
    m_lanes.InsertItem("Расчет не выполнялся");
    return;
  }
  for (int k = static_cast<int>(results->nObservers); k >= 1; --k) {
    CString text;
    text.Format(k - 1 == results->worstObserver ? "%ld-я полоса (наихудшее)" : "%ld-я полоса", static_cast<long>(k));
    const HTREEITEM item = m_lanes.InsertItem(TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, 0, 0,
                                              0, 0, static_cast<LPARAM>(k - 1), TVI_ROOT, TVI_LAST);
    if (k - 1 == results->shownObserver)
      m_lanes.SelectItem(item);
  }
}

void CPrefOfCalc::OnObserverAutomatic()
{
  ::CheckDlgButton(m_hWnd, kObserverAuto, BST_CHECKED);
  ::CheckDlgButton(m_hWnd, kObserverUser, BST_UNCHECKED);
  m_lanes.EnableWindow(FALSE);
  const int automatic = 1;
  m_options->SetAutoObserver(&automatic);
  if (_CALC_RESULTS* results = ResultsOf(ActiveArea()))
    results->shownObserver = results->worstObserver;
  FillLanes();
  Changed();
}

void CPrefOfCalc::OnObserverUser()
{
  ::CheckDlgButton(m_hWnd, kObserverUser, BST_CHECKED);
  ::CheckDlgButton(m_hWnd, kObserverAuto, BST_UNCHECKED);
  m_lanes.EnableWindow(TRUE);
  const int user = 0;
  m_options->SetAutoObserver(&user);
  Changed();
}

void CPrefOfCalc::OnLaneChanged(NMHDR* pNotify, LRESULT* pResult)
{
  *pResult = 0;
  const auto* tree = reinterpret_cast<const NMTREEVIEW*>(pNotify);
  _CALC_RESULTS* results = ResultsOf(ActiveArea());
  if (results == nullptr || results->valid == 0 || tree->itemNew.hItem == nullptr)
    return;
  results->shownObserver = static_cast<int>(tree->itemNew.lParam);
  Changed();
}

}  // namespace Options
