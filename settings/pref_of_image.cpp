#include "settings/pref_of_image.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "res/program_ids.h"
#include "model/number_text.h"
#include "model/shell/shell_services.h"
#include "platform/user/common_controls.h"
#include "platform/user/msgbox.h"
#include "settings/preferences.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Options {

namespace {

constexpr UINT kNodeValues = 1004;
constexpr UINT kIsolines = 1020;
constexpr UINT kFalseColours = 1125;
constexpr UINT kGridLabel = 1106;
constexpr UINT kStepLabel = 1117;
constexpr UINT kStepUnit = 1118;
constexpr UINT kGreyFill = 1126;
constexpr UINT kScaleUniform = 1114;
constexpr UINT kScaleLog = 1115;
constexpr int kScaleEntries = CPrefOfImage::kScaleEntries;
constexpr UINT kScaleTabs = 1132;
constexpr UINT kFirstScaleValue = 1133;  // position 0; 1141 is position 8
constexpr UINT kFirstScaleColour = 1142;  // position 8; 1150 is position 0
constexpr UINT kLastScaleColour = 1150;
constexpr UINT kSortScale = 1151;
constexpr UINT kInterpolateScale = 1152;
constexpr UINT kResetScale = 1153;
constexpr UINT kInterpolationMenu = 760;
constexpr UINT kLinear = 33101;
constexpr UINT kLogarithmic = 33102;
constexpr UINT kLevelPresent = 634;  // "Значение уровня уже присутствует в списке"
constexpr UINT kLevelTooHigh = 813;  // "Максимальное значение уровня должно быть меньше %.0lf"
constexpr double kScaleLimit = 200;
constexpr UINT kLevelGroup = 1079;
constexpr UINT kUserLevels = 1024;
constexpr UINT kLevelTabs = 1100;
constexpr UINT kLevelEdit = 1036;
constexpr UINT kLevelList = 1017;
constexpr UINT kAddLevel = 1015;
constexpr UINT kEditLevel = 1087;
constexpr UINT kDeleteLevel = 1016;
constexpr UINT kResetLevels = 1102;
constexpr UINT kInvalidData = 631;  // "Данные не корректны"

// A level at the precision of its quantity: tenths of a cd/m2, whole lux.
const char* PrecisionFormat(int quantity) { return quantity == 0 ? "%.1lf" : "%.0lf"; }

double AtPrecision(double value, int quantity)
{
  CString text;
  text.Format(PrecisionFormat(quantity), value);
  return std::atof(text);
}

const char* ScaleFormat(int quantity) { return quantity == 1 ? "%0.1lf" : "%0.2lf"; }

CString ScaleText(double value, int quantity)
{
  CString text;
  text.Format(ScaleFormat(quantity), value);
  return NormalizeNumberText(text);
}

using ScaleGetter = int (IVisualOpt::*)(CArray<_PREF_OF_COLOR_LEVELS>**);
const ScaleGetter kCurrentScales[] = {&IVisualOpt::GetColourLevels0, &IVisualOpt::GetColourLevels1,
                                      &IVisualOpt::GetColourLevels2};
const ScaleGetter kDefaultScales[] = {&IVisualOpt::GetColourLevels3, &IVisualOpt::GetColourLevels4,
                                      &IVisualOpt::GetColourLevels5};

CArray<_PREF_OF_COLOR_LEVELS>* Scale(IVisualOpt* options, ScaleGetter getter)
{
  CArray<_PREF_OF_COLOR_LEVELS>* scale = nullptr;
  (options->*getter)(&scale);
  return scale;
}

void PadFrom(CArray<_PREF_OF_COLOR_LEVELS>* scale, const CArray<_PREF_OF_COLOR_LEVELS>* source)
{
  if (scale == nullptr || source == nullptr)
    return;
  for (INT_PTR i = scale->GetSize(); i < kScaleEntries && i < source->GetSize(); ++i)
    scale->Add(source->GetAt(i));
}

}  // namespace

bool ParseNumberText(const CString& text, CWnd* edit, double* value)
{
  *value = 0;
  if (edit != nullptr && text.IsEmpty()) {
    edit->SetWindowText("0");
    return true;
  }
  CString cleaned = text;
  cleaned.Replace(',', '.');
  if (cleaned == "-")
    return false;
  for (int i = 0; i < cleaned.GetLength(); ++i) {
    const char c = cleaned[i];
    if (std::strchr("-.0123456789", c) == nullptr || c == '\0' || (c == '-' && i > 0))
      return false;
  }
  *value = std::atof(cleaned);
  return true;
}

void PadColourScales(IVisualOpt* options)
{
  IVisualOpt* builtIn = nullptr;
  if (FAILED(CreateVisualOpt(&builtIn)) || builtIn == nullptr)
    return;
  for (int q = 0; q < 3; ++q) {
    CArray<_PREF_OF_COLOR_LEVELS>* defaults = Scale(options, kDefaultScales[q]);
    PadFrom(defaults, Scale(builtIn, kDefaultScales[q]));
    PadFrom(Scale(options, kCurrentScales[q]), defaults);
    PadFrom(Scale(options, kCurrentScales[q]), Scale(builtIn, kDefaultScales[q]));
  }
  builtIn->Release();
}

BEGIN_MESSAGE_MAP(CInpEdit, CEdit)
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CInpEdit::OnKillFocus(CWnd* pNewWnd)
{
  CEdit::OnKillFocus(pNewWnd);
  if (CWnd* parent = GetParent())
    parent->SendMessage(UM_ENDLEVELEDIT, 0, 0);
}

BEGIN_MESSAGE_MAP(CPrefOfImage, CPrefPage)
  ON_BN_CLICKED(kIsolines, &CPrefOfImage::OnIsolines)
  ON_BN_CLICKED(kNodeValues, &CPrefOfImage::OnNodeValues)
  ON_BN_CLICKED(kFalseColours, &CPrefOfImage::OnFalseColours)
  ON_BN_CLICKED(kScaleUniform, &CPrefOfImage::OnScaleUniform)
  ON_BN_CLICKED(kScaleLog, &CPrefOfImage::OnScaleLogarithmic)
  ON_CBN_SELCHANGE(kGridMode, &CPrefOfImage::OnGridModeChange)
  ON_CBN_SELCHANGE(kGridStep, &CPrefOfImage::OnGridStepChange)
  ON_MESSAGE(UM_NORMALISESCALES, &CPrefOfImage::OnNormaliseScales)
  ON_BN_CLICKED(kUserLevels, &CPrefOfImage::OnUserLevels)
  ON_BN_CLICKED(kAddLevel, &CPrefOfImage::OnAddLevel)
  ON_BN_CLICKED(kDeleteLevel, &CPrefOfImage::OnDeleteLevel)
  ON_BN_CLICKED(kResetLevels, &CPrefOfImage::OnResetLevels)
  ON_BN_CLICKED(kEditLevel, &CPrefOfImage::OnEditLevel)
  ON_LBN_DBLCLK(kLevelList, &CPrefOfImage::OnEditLevel)
  ON_MESSAGE(UM_ENDLEVELEDIT, &CPrefOfImage::OnEndLevelEdit)
  ON_LBN_SELCHANGE(kLevelList, &CPrefOfImage::OnLevelSelChange)
  ON_NOTIFY(TCN_SELCHANGING, kLevelTabs, &CPrefOfImage::OnLevelTabChanging)
  ON_NOTIFY(TCN_SELCHANGE, kLevelTabs, &CPrefOfImage::OnLevelTabChanged)
  ON_NOTIFY(TCN_SELCHANGING, kScaleTabs, &CPrefOfImage::OnScaleTabChanging)
  ON_NOTIFY(TCN_SELCHANGE, kScaleTabs, &CPrefOfImage::OnScaleTabChanged)
  ON_CONTROL_RANGE(EN_KILLFOCUS, kFirstScaleValue, kFirstScaleValue + kScaleEntries - 1,
                   &CPrefOfImage::OnScaleEditKillFocus)
  ON_CONTROL_RANGE(BN_CLICKED, kFirstScaleColour, kLastScaleColour, &CPrefOfImage::OnScaleColour)
  ON_BN_CLICKED(kSortScale, &CPrefOfImage::OnSortScale)
  ON_BN_CLICKED(kInterpolateScale, &CPrefOfImage::OnInterpolationMenu)
  ON_BN_CLICKED(kResetScale, &CPrefOfImage::OnResetScale)
  ON_COMMAND(kLinear, &CPrefOfImage::OnInterpolateLinear)
  ON_COMMAND(kLogarithmic, &CPrefOfImage::OnInterpolateLogarithmic)
  ON_MESSAGE(WM_DRAWITEM, &CPrefOfImage::OnDrawItem)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPrefOfImage::CPrefOfImage(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CPrefPage(res::program::IDD_PREF_IMAGE, pParent, document, options)
{
}

BOOL CPrefOfImage::OnInitDialog()
{
  CPrefPage::OnInitDialog();
  PadColourScales(m_options);
  ::SendDlgItemMessage(m_hWnd, kGridMode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("автоматический"));
  ::SendDlgItemMessage(m_hWnd, kGridMode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("пользовательский"));
  GetDlgItem(kLevelEdit)->SetWindowText("");
  ::SendDlgItemMessage(m_hWnd, kLevelList, LB_RESETCONTENT, 0, 0);
  const int on = 1;
  m_options->SetShowMoveFilling(&on);
  // The quantities the active area can show, each tab item's parameter its quantity.
  IArea* area = ActiveArea();
  const AreaKind kind = KindOf(area);
  std::vector<std::pair<const char*, int>> tabs;
  if (kind == AreaKind::StraightRoad) {
    tabs = {{"Яркость, кд/м2", 0}, {"Освещенность, лк", 1}};
    if (HasSidewalks(area))
      tabs.emplace_back("П-ц освещенность, лк", 2);
  } else if (kind == AreaKind::OpenSite || kind == AreaKind::Interchange) {
    tabs = {{"Освещенность, лк", 1}};
  }
  for (std::size_t i = 0; i < tabs.size(); ++i) {
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(tabs[i].first);
    item.lParam = tabs[i].second;
    ::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_INSERTITEM, i, reinterpret_cast<LPARAM>(&item));
    ::SendDlgItemMessage(m_hWnd, kScaleTabs, TCM_INSERTITEM, i, reinterpret_cast<LPARAM>(&item));
  }
  for (int i = 0; i < kScaleEntries; ++i) {
    m_scaleEdits[i].SubclassDlgItem(kFirstScaleValue + static_cast<UINT>(i), this);
    m_scaleButtons[i].SubclassDlgItem(kLastScaleColour - static_cast<UINT>(i), this);
  }
  Refresh();
  FillLevels();
  SetDisplayType(*m_options->GetResultDisplay());
  m_bInitialised = TRUE;
  return TRUE;
}

void CPrefOfImage::ShowStep(bool show)
{
  for (UINT id : {kGridStep, kStepLabel, kStepUnit})
    if (CWnd* control = GetDlgItem(static_cast<int>(id)))
      control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CPrefOfImage::Refresh()
{
  const bool userLevels = *m_options->GetAutoIsoLevels() == 0;
  ::CheckDlgButton(m_hWnd, kUserLevels, userLevels ? BST_CHECKED : BST_UNCHECKED);
  for (UINT id : {kLevelTabs, kLevelEdit, kLevelList, kAddLevel})
    GetDlgItem(static_cast<int>(id))->EnableWindow(userLevels);
  UpdateLevelButtons();
  // Both tabs show the displayed quantity when they have it.
  const int quantity = *m_options->GetQuantity();
  for (UINT tabs : {kLevelTabs, kScaleTabs}) {
    const int tabCount = static_cast<int>(::SendDlgItemMessage(m_hWnd, tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < tabCount; ++i) {
      TCITEM item{};
      item.mask = TCIF_PARAM;
      ::SendDlgItemMessage(m_hWnd, tabs, TCM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      if (item.lParam == quantity)
        ::SendDlgItemMessage(m_hWnd, tabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
  }
  ::SendDlgItemMessage(m_hWnd, kLevelEdit, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(u"Введите новое значение ..."));
  const int scaleType = *m_options->GetScaleType();
  ::CheckDlgButton(m_hWnd, kScaleUniform, scaleType == 1 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, kScaleLog, scaleType == 2 ? BST_CHECKED : BST_UNCHECKED);
  IArea* area = ActiveArea();
  const AreaKind kind = KindOf(area);
  CWnd* mode = GetDlgItem(kGridMode);
  if (kind == AreaKind::OpenSite || kind == AreaKind::Interchange) {
    const int gridMode = *area->GetGridMode() != 0 ? 1 : 0;
    mode->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(gridMode));
    mode->EnableWindow(TRUE);
    GetDlgItem(kGridLabel)->EnableWindow(TRUE);
    ShowStep(gridMode == 1);
  } else {
    mode->SendMessage(CB_SETCURSEL, 0);
    mode->EnableWindow(FALSE);
    GetDlgItem(kGridLabel)->EnableWindow(FALSE);
    ShowStep(false);
  }
  // An interchange cannot show node values.
  GetDlgItem(kNodeValues)->EnableWindow(kind != AreaKind::Interchange);
  if (kind == AreaKind::Interchange && *m_options->GetResultDisplay() == 2)
    SetDisplayType(1);
  // The scale tab may have moved to the displayed quantity: its values with it.
  ShowScale(false);
  Invalidate(TRUE);
}

void CPrefOfImage::SetDisplayType(int type)
{
  ::CheckDlgButton(m_hWnd, kIsolines, type == 0 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, kNodeValues, type == 2 ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, kFalseColours, type == 3 ? BST_CHECKED : BST_UNCHECKED);
  if (type >= 0 && type <= 3)
    m_options->SetResultDisplay(&type);
  for (UINT id : {kGreyFill, kScaleUniform, kScaleLog})
    if (CWnd* control = GetDlgItem(static_cast<int>(id)))
      control->ShowWindow(type != 3 ? SW_SHOW : SW_HIDE);
  ShowLevelPanel(type == 0);
  ShowScalePanel(type == 3);
}

void CPrefOfImage::ShowScalePanel(bool show)
{
  for (UINT id : {kScaleTabs, kSortScale, kInterpolateScale, kResetScale})
    if (CWnd* control = GetDlgItem(static_cast<int>(id)))
      control->ShowWindow(show ? SW_SHOW : SW_HIDE);
  for (int i = 0; i < kScaleEntries; ++i) {
    if (CWnd* edit = GetDlgItem(static_cast<int>(kFirstScaleValue) + i))
      edit->ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (CWnd* button = GetDlgItem(static_cast<int>(kLastScaleColour) - i))
      button->ShowWindow(show ? SW_SHOW : SW_HIDE);
  }
  if (show)
    ShowScale(false);
}

void CPrefOfImage::ShowLevelPanel(bool show)
{
  for (UINT id : {kLevelGroup, kLevelTabs, kUserLevels, kLevelEdit, kLevelList, kAddLevel, kDeleteLevel, kEditLevel,
                  kResetLevels})
    if (CWnd* control = GetDlgItem(static_cast<int>(id)))
      control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

int CPrefOfImage::LevelQuantity() const
{
  const LRESULT selected = ::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_GETCURSEL, 0, 0);
  if (selected < 0)
    return -1;
  TCITEM item{};
  item.mask = TCIF_PARAM;
  ::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_GETITEM, static_cast<WPARAM>(selected),
                       reinterpret_cast<LPARAM>(&item));
  return static_cast<int>(item.lParam);
}

CArray<float>* CPrefOfImage::Levels() const
{
  CArray<float>* levels = nullptr;
  switch (LevelQuantity()) {
  case 0: m_options->GetLuminanceLevels(&levels); break;
  case 1: m_options->GetIlluminanceLevels(&levels); break;
  case 2: m_options->GetSemiCylLevels(&levels); break;
  default: break;
  }
  return levels;
}

void CPrefOfImage::FillLevels()
{
  ::SendDlgItemMessage(m_hWnd, kLevelList, LB_RESETCONTENT, 0, 0);
  CArray<float>* levels = Levels();
  if (levels != nullptr) {
    std::sort(levels->GetData(), levels->GetData() + levels->GetSize());
    for (INT_PTR i = 0; i < levels->GetSize(); ++i) {
      CString text;
      text.Format("%lf", static_cast<double>(levels->GetAt(i)));
      const CString shown = NormalizeNumberText(text);
      const LRESULT index = ::SendDlgItemMessage(m_hWnd, kLevelList, LB_ADDSTRING, 0,
                                                 reinterpret_cast<LPARAM>(static_cast<LPCSTR>(shown)));
      ::SendDlgItemMessage(m_hWnd, kLevelList, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(i));
    }
  }
  UpdateLevelButtons();
}

void CPrefOfImage::UpdateLevelButtons()
{
  const bool userLevels = ::IsDlgButtonChecked(m_hWnd, kUserLevels) == BST_CHECKED;
  const bool any = ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETCOUNT, 0, 0) > 0;
  const bool selected = ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETCURSEL, 0, 0) >= 0;
  GetDlgItem(kResetLevels)->EnableWindow(userLevels && any);
  GetDlgItem(kDeleteLevel)->EnableWindow(userLevels && any && selected);
  GetDlgItem(kEditLevel)->EnableWindow(userLevels && any && selected);
}

void CPrefOfImage::OnUserLevels()
{
  const bool ticked = ::IsDlgButtonChecked(m_hWnd, kUserLevels) == BST_CHECKED;
  const int automatic = ticked ? 0 : 1;
  m_options->SetAutoIsoLevels(&automatic);
  Refresh();
  if (ticked)
    GetDlgItem(kLevelEdit)->SetFocus();
  Changed();
  UpdateLevelButtons();
}

void CPrefOfImage::OnOK()
{
  // Enter in the level edit adds the level; in the in-place editor it ends the editing with the typed value (the
  // dialog's OK would copy the options before the editor lost its focus); anywhere else it is the dialog's.
  const HWND focus = ::GetFocus();
  if (focus == GetDlgItem(kLevelEdit)->m_hWnd) {
    OnAddLevel();
    return;
  }
  if (m_editor && focus == m_editor->m_hWnd) {
    OnEndLevelEdit(0, 0);
    return;
  }
  for (int i = 0; i < kScaleEntries; ++i)
    if (m_scaleEdits[i].GetSafeHwnd() && focus == m_scaleEdits[i].m_hWnd) {
      CommitScaleEdit(i, true, false);
      return;
    }
  CPrefPage::OnOK();
}

void CPrefOfImage::OnEditLevel()
{
  const LRESULT selected = ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETCURSEL, 0, 0);
  if (::IsDlgButtonChecked(m_hWnd, kUserLevels) != BST_CHECKED || selected < 0)
    return;
  if (m_editor) {
    m_bEndingEdit = true;  // the old editor's focus loss ends nothing
    m_editor->DestroyWindow();
    m_bEndingEdit = false;
    m_editor.reset();
  }
  CWnd* list = GetDlgItem(kLevelList);
  CRect client;
  list->GetClientRect(&client);
  const auto top = static_cast<int>(list->SendMessage(LB_GETTOPINDEX));
  const auto height = static_cast<int>(list->SendMessage(LB_GETITEMHEIGHT, 0));
  CRect row(client.left, (static_cast<int>(selected) - top) * height, client.right,
            (static_cast<int>(selected) - top + 1) * height);
  list->ClientToScreen(&row);
  ScreenToClient(&row);
  row.top -= 2;
  row.bottom += 2;
  m_retiredEditor.reset();
  m_editor = std::make_unique<CInpEdit>();
  if (!m_editor->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, row, this, CInpEdit::kId)) {
    m_editor.reset();
    return;
  }
  m_editor->SendMessage(WM_SETFONT, SendMessage(WM_GETFONT), TRUE);
  CString text;
  ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETTEXT, static_cast<WPARAM>(selected),
                       reinterpret_cast<LPARAM>(text.GetBuffer(64)));
  text.ReleaseBuffer();
  m_editor->SetWindowText(text);
  m_editor->SetFocus();
  m_editor->SetSel(0, -1);
}

LRESULT CPrefOfImage::OnEndLevelEdit(WPARAM wParam, LPARAM)
{
  if (m_bEndingEdit || !m_editor)
    return 0;
  m_bEndingEdit = true;
  const CString text = m_editor->GetWindowTextString();
  m_editor->DestroyWindow();
  // The focus loss that brought us here may still be inside the editor's own handler: its object lives on until
  // the next editing or the page's end.
  m_retiredEditor = std::move(m_editor);
  m_bEndingEdit = false;
  CWnd* list = GetDlgItem(kLevelList);
  if (wParam == 0) {
    CArray<float>* levels = Levels();
    const int quantity = LevelQuantity();
    double value = 0;
    const bool accepted = ParseNumberText(text, nullptr, &value);
    value = AtPrecision(value, quantity);
    const LRESULT selected = list->SendMessage(LB_GETCURSEL);
    if (levels && accepted && value > 0 && selected >= 0) {
      CString wanted;
      wanted.Format(PrecisionFormat(quantity), value);
      INT_PTR equal = -1;
      for (INT_PTR i = 0; i < levels->GetSize() && equal < 0; ++i) {
        CString existing;
        existing.Format(PrecisionFormat(quantity), static_cast<double>(levels->GetAt(i)));
        if (existing == wanted)
          equal = i;
      }
      if (equal >= 0) {
        list->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(equal));
      } else {
        const auto index = static_cast<INT_PTR>(list->SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(selected)));
        if (index >= 0 && index < levels->GetSize()) {
          levels->SetAt(index, static_cast<float>(value));
          FillLevels();
          Changed();
        }
      }
    }
  }
  list->SetFocus();
  UpdateLevelButtons();
  return 0;
}

void CPrefOfImage::OnAddLevel()
{
  CWnd* edit = GetDlgItem(kLevelEdit);
  CArray<float>* levels = Levels();
  if (levels == nullptr)
    return;
  const int quantity = LevelQuantity();
  double value = 0;
  const bool accepted = ParseNumberText(edit->GetWindowTextString(), edit, &value);
  value = AtPrecision(value, quantity);
  if (!accepted || !(value > 0)) {
    CString text;
    text.LoadString(kInvalidData);
    Shell::ShowMessageBox(m_hWnd, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    edit->SetFocus();
    edit->SetWindowText("");
    return;
  }
  CString wanted;
  wanted.Format(PrecisionFormat(quantity), value);
  for (INT_PTR i = 0; i < levels->GetSize(); ++i) {
    CString existing;
    existing.Format(PrecisionFormat(quantity), static_cast<double>(levels->GetAt(i)));
    if (existing == wanted) {
      ::SendDlgItemMessage(m_hWnd, kLevelList, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
      edit->SetWindowText("");
      UpdateLevelButtons();
      return;
    }
  }
  levels->Add(static_cast<float>(value));
  FillLevels();
  edit->SetWindowText("");
  Changed();
}

void CPrefOfImage::OnDeleteLevel()
{
  CArray<float>* levels = Levels();
  const LRESULT selected = ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETCURSEL, 0, 0);
  if (levels == nullptr || selected < 0)
    return;
  const auto index = static_cast<INT_PTR>(
      ::SendDlgItemMessage(m_hWnd, kLevelList, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
  if (index >= 0 && index < levels->GetSize())
    levels->RemoveAt(index);
  FillLevels();
  Changed();
}

void CPrefOfImage::OnResetLevels()
{
  if (CArray<float>* levels = Levels())
    levels->RemoveAll();
  FillLevels();
  Changed();
}

void CPrefOfImage::OnLevelTabChanging(NMHDR*, LRESULT* pResult)
{
  GetDlgItem(kLevelEdit)->SetWindowText("");
  ::SendDlgItemMessage(m_hWnd, kLevelList, LB_RESETCONTENT, 0, 0);
  *pResult = 0;
}

void CPrefOfImage::OnLevelTabChanged(NMHDR*, LRESULT* pResult)
{
  FillLevels();
  *pResult = 0;
}

void CPrefOfImage::Changed()
{
  if (m_bInitialised)
    m_bViewChanged = TRUE;
}

// The three boxes are one choice; unticking any of them leaves the plain fill.
void CPrefOfImage::OnIsolines()
{
  SetDisplayType(::IsDlgButtonChecked(m_hWnd, kIsolines) == BST_CHECKED ? 0 : 1);
  Changed();
}

void CPrefOfImage::OnNodeValues()
{
  SetDisplayType(::IsDlgButtonChecked(m_hWnd, kNodeValues) == BST_CHECKED ? 2 : 1);
  Changed();
}

void CPrefOfImage::OnFalseColours()
{
  SetDisplayType(::IsDlgButtonChecked(m_hWnd, kFalseColours) == BST_CHECKED ? 3 : 1);
  Changed();
}

void CPrefOfImage::OnGridModeChange()
{
  m_bGridModeChanged = TRUE;
  Changed();
  ShowStep(GetDlgItem(kGridMode)->SendMessage(CB_GETCURSEL) == 1);
}

void CPrefOfImage::OnGridStepChange()
{
  m_bGridStepChanged = TRUE;
  Changed();
}

void CPrefOfImage::OnScaleUniform()
{
  const int type = 1;
  m_options->SetScaleType(&type);
  ::CheckDlgButton(m_hWnd, kScaleLog, BST_UNCHECKED);
  Changed();
}

void CPrefOfImage::OnScaleLogarithmic()
{
  const int type = 2;
  m_options->SetScaleType(&type);
  ::CheckDlgButton(m_hWnd, kScaleUniform, BST_UNCHECKED);
  Changed();
}

// Apply and OK: each scale sorted by value, and the colours of the current scale given to the other two.
LRESULT CPrefOfImage::OnNormaliseScales(WPARAM, LPARAM)
{
  ShowScale(true);
  return 1;
}

int CPrefOfImage::ScaleQuantity() const
{
  const LRESULT selected = ::SendDlgItemMessage(m_hWnd, kScaleTabs, TCM_GETCURSEL, 0, 0);
  if (selected < 0)
    return -1;
  TCITEM item{};
  item.mask = TCIF_PARAM;
  ::SendDlgItemMessage(m_hWnd, kScaleTabs, TCM_GETITEM, static_cast<WPARAM>(selected),
                       reinterpret_cast<LPARAM>(&item));
  return item.lParam >= 0 && item.lParam < 3 ? static_cast<int>(item.lParam) : -1;
}

CArray<_PREF_OF_COLOR_LEVELS>* CPrefOfImage::CurrentScale() const
{
  const int quantity = ScaleQuantity();
  return quantity < 0 ? nullptr : Scale(m_options, kCurrentScales[quantity]);
}

void CPrefOfImage::NormaliseScales()
{
  PadColourScales(m_options);
  CArray<_PREF_OF_COLOR_LEVELS>* scales[3];
  for (int q = 0; q < 3; ++q) {
    scales[q] = Scale(m_options, kCurrentScales[q]);
    if (scales[q] == nullptr)
      return;
    // Entries move whole and equal values keep their order.
    std::stable_sort(scales[q]->GetData(), scales[q]->GetData() + scales[q]->GetSize(),
                     [](const _PREF_OF_COLOR_LEVELS& a, const _PREF_OF_COLOR_LEVELS& b) { return a.value < b.value; });
  }
  // Without a tab (an area that shows no quantity) the displayed quantity's scale gives the colours.
  int quantity = ScaleQuantity();
  if (quantity < 0)
    quantity = std::clamp(*m_options->GetQuantity(), 0, 2);
  const CArray<_PREF_OF_COLOR_LEVELS>* current = scales[quantity];
  for (int q = 0; q < 3; ++q)
    for (INT_PTR i = 0; i < current->GetSize() && i < scales[q]->GetSize(); ++i) {
      _PREF_OF_COLOR_LEVELS entry = scales[q]->GetAt(i);
      entry.colour = current->GetAt(i).colour;
      scales[q]->SetAt(i, entry);
    }
}

void CPrefOfImage::ShowScale(bool normalise)
{
  if (normalise)
    NormaliseScales();
  if (!m_hWnd)
    return;
  const CArray<_PREF_OF_COLOR_LEVELS>* scale = CurrentScale();
  const int quantity = ScaleQuantity();
  for (int i = 0; i < kScaleEntries; ++i) {
    if (!m_scaleEdits[i].GetSafeHwnd() || !m_scaleButtons[i].GetSafeHwnd())
      continue;
    if (scale != nullptr && i < scale->GetSize()) {
      m_scaleEdits[i].SetWindowText(ScaleText(scale->GetAt(i).value, quantity));
      m_scaleButtons[i].m_face = scale->GetAt(i).colour;
    } else {
      m_scaleEdits[i].SetWindowText("");
      m_scaleButtons[i].m_face = ::GetSysColor(COLOR_BTNFACE);
    }
    m_scaleButtons[i].Invalidate(TRUE);
  }
}

int CPrefOfImage::CommitScaleEdit(int position, bool messages, bool normalise)
{
  CArray<_PREF_OF_COLOR_LEVELS>* scale = CurrentScale();
  if (m_bCommitting || scale == nullptr || position < 0 || position >= kScaleEntries ||
      position >= scale->GetSize() || !m_scaleEdits[position].GetSafeHwnd())
    return 0;
  m_bCommitting = true;
  CEdit& edit = m_scaleEdits[position];
  const int quantity = ScaleQuantity();
  double value = 0;
  const bool accepted = ParseNumberText(edit.GetWindowTextString(), nullptr, &value);
  CString printed;
  printed.Format(ScaleFormat(quantity), value);
  value = std::atof(printed);
  bool refused = !accepted || value < 0;
  if (!refused) {
    for (INT_PTR i = 0; i < scale->GetSize(); ++i) {
      if (scale->GetAt(i).value != value)
        continue;
      if (i == position) {
        edit.SetWindowText(ScaleText(value, quantity));
        m_bCommitting = false;
        return 0;
      }
      if (messages) {
        CString text;
        text.LoadString(kLevelPresent);
        Shell::ShowMessageBox(m_hWnd, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
      }
      refused = true;
      break;
    }
  }
  if (!refused && value >= kScaleLimit) {
    if (messages) {
      CString format;
      format.LoadString(kLevelTooHigh);
      CString text;
      text.Format(format, kScaleLimit);
      Shell::ShowMessageBox(m_hWnd, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    }
    refused = true;
  }
  if (refused) {
    edit.SetWindowText(ScaleText(scale->GetAt(position).value, quantity));
    if (messages) {
      edit.SetSel(0, -1);
      edit.SetFocus();
    }
    m_bCommitting = false;
    return 0;
  }
  _PREF_OF_COLOR_LEVELS entry = scale->GetAt(position);
  entry.value = value;
  scale->SetAt(position, entry);
  ShowScale(normalise);
  Changed();
  m_bCommitting = false;
  return 1;
}

void CPrefOfImage::OnScaleEditKillFocus(UINT id)
{
  CommitScaleEdit(static_cast<int>(id - kFirstScaleValue), true, false);
}

void CPrefOfImage::OnScaleTabChanging(NMHDR*, LRESULT* pResult)
{
  for (int i = 0; i < kScaleEntries; ++i)
    if (CommitScaleEdit(i, false, true) != 0)
      break;
  *pResult = 0;
}

void CPrefOfImage::OnScaleTabChanged(NMHDR*, LRESULT* pResult)
{
  ShowScale(true);
  *pResult = 0;
}

void CPrefOfImage::OnScaleColour(UINT id)
{
  const int position = static_cast<int>(kLastScaleColour - id);
  CArray<_PREF_OF_COLOR_LEVELS>* scale = CurrentScale();
  if (scale == nullptr || position >= scale->GetSize())
    return;
  COLORREF* custom = nullptr;
  if (CWnd* parent = GetParent())
    parent->SendMessage(UM_GETCUSTOMCOLOURS, 0, reinterpret_cast<LPARAM>(&custom));
  CColorDialog chooser(scale->GetAt(position).colour, CC_RGBINIT, this);
  if (custom)
    chooser.m_cc.lpCustColors = custom;
  if (chooser.DoModal() != IDOK)
    return;
  _PREF_OF_COLOR_LEVELS entry = scale->GetAt(position);
  entry.colour = chooser.GetColor();
  scale->SetAt(position, entry);
  m_scaleButtons[position].m_face = entry.colour;
  m_scaleButtons[position].Invalidate(TRUE);
  Changed();
  ShowScale(true);
}

void CPrefOfImage::OnInterpolationMenu()
{
  CMenu menu;
  if (!menu.LoadMenu(kInterpolationMenu))
    return;
  if (CMenu* popup = menu.GetSubMenu(0)) {
    CRect button;
    GetDlgItem(kInterpolateScale)->GetWindowRect(&button);
    popup->TrackPopupMenu(TPM_LEFTALIGN, button.left, button.bottom, this);
  }
  menu.DestroyMenu();
}

void CPrefOfImage::Interpolate(bool logarithmic)
{
  CArray<_PREF_OF_COLOR_LEVELS>* scale = CurrentScale();
  if (scale == nullptr || scale->GetSize() < 2)
    return;
  const INT_PTR n = scale->GetSize() - 1;
  if (scale->GetAt(n).value < scale->GetAt(0).value) {
    const _PREF_OF_COLOR_LEVELS first = scale->GetAt(0);
    scale->SetAt(0, scale->GetAt(n));
    scale->SetAt(n, first);
  }
  _PREF_OF_COLOR_LEVELS entry = scale->GetAt(0);
  const double last = scale->GetAt(n).value;
  if (logarithmic && entry.value == 0) {
    entry.value = last / 100;
    scale->SetAt(0, entry);
  }
  const double first = entry.value;
  // A scale all at 0 has no ratio to raise: it is left as it is rather than filled with NaN.
  if (logarithmic && !(first > 0))
    return;
  for (INT_PTR j = 1; j < n; ++j) {
    _PREF_OF_COLOR_LEVELS level = scale->GetAt(j);
    const double step = static_cast<double>(j) / static_cast<double>(n);
    level.value = logarithmic ? first * std::pow(last / first, step) : first + (last - first) / n * j;
    scale->SetAt(j, level);
  }
  ShowScale(true);
  Changed();
}

void CPrefOfImage::OnResetScale()
{
  const int quantity = ScaleQuantity();
  if (quantity < 0)
    return;
  CArray<_PREF_OF_COLOR_LEVELS>* scale = Scale(m_options, kCurrentScales[quantity]);
  const CArray<_PREF_OF_COLOR_LEVELS>* defaults = Scale(m_options, kDefaultScales[quantity]);
  if (scale == nullptr || defaults == nullptr)
    return;
  for (INT_PTR i = 0; i < defaults->GetSize(); ++i)
    scale->SetAtGrow(i, defaults->GetAt(i));
  ShowScale(true);
  Changed();
}

LRESULT CPrefOfImage::OnDrawItem(WPARAM, LPARAM lParam)
{
  const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (draw->CtlID < kFirstScaleColour || draw->CtlID > kLastScaleColour)
    return FALSE;
  const CColourButton& button = m_scaleButtons[kLastScaleColour - draw->CtlID];
  CDC* dc = CDC::FromHandle(draw->hDC);
  CRect rc(draw->rcItem);
  dc->FillSolidRect(rc, RGB(0, 0, 0));
  rc.DeflateRect(1, 1);
  dc->FillSolidRect(rc, button.m_face);
  if ((draw->itemState & ODS_FOCUS) != 0) {
    rc.DeflateRect(2, 2);
    dc->DrawFocusRect(rc);
  }
  return TRUE;
}

void CPrefOfImage::OnDestroy()
{
  for (int i = 0; i < kScaleEntries; ++i) {
    if (m_scaleEdits[i].GetSafeHwnd())
      m_scaleEdits[i].UnsubclassWindow();
    if (m_scaleButtons[i].GetSafeHwnd())
      m_scaleButtons[i].UnsubclassWindow();
  }
  CPrefPage::OnDestroy();
}

}  // namespace Options
