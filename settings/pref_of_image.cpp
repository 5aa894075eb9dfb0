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
constexpr int kScaleEntries = 9;
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
  if (cleaned.IsEmpty() || cleaned == "-")
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
  const int tabCount = static_cast<int>(::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < tabCount; ++i) {
    TCITEM item{};
    item.mask = TCIF_PARAM;
    ::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (item.lParam == quantity)
      ::SendDlgItemMessage(m_hWnd, kLevelTabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
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

// Apply and OK: each scale sorted by value, and the colours of the luminance scale given to the other two.
LRESULT CPrefOfImage::OnNormaliseScales(WPARAM, LPARAM)
{
  PadColourScales(m_options);
  CArray<_PREF_OF_COLOR_LEVELS>* scales[3];
  for (int q = 0; q < 3; ++q) {
    scales[q] = Scale(m_options, kCurrentScales[q]);
    if (scales[q] == nullptr)
      return 1;
    for (INT_PTR i = 1; i < scales[q]->GetSize(); ++i)
      for (INT_PTR j = i; j > 0 && scales[q]->GetAt(j).value < scales[q]->GetAt(j - 1).value; --j) {
        const _PREF_OF_COLOR_LEVELS t = scales[q]->GetAt(j);
        scales[q]->SetAt(j, scales[q]->GetAt(j - 1));
        scales[q]->SetAt(j - 1, t);
      }
  }
  const int quantity = *m_options->GetQuantity();
  const CArray<_PREF_OF_COLOR_LEVELS>* current = scales[quantity >= 0 && quantity < 3 ? quantity : 0];
  for (int q = 0; q < 3; ++q)
    for (INT_PTR i = 0; i < current->GetSize() && i < scales[q]->GetSize(); ++i) {
      _PREF_OF_COLOR_LEVELS entry = scales[q]->GetAt(i);
      entry.colour = current->GetAt(i).colour;
      scales[q]->SetAt(i, entry);
    }
  return 1;
}

}  // namespace Options
