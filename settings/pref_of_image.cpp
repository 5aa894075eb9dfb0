#include "settings/pref_of_image.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/ivisualopt.h"
#include "model/pref_of_color.h"
#include "res/program_ids.h"
#include "settings/preferences.h"

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

BEGIN_MESSAGE_MAP(CPrefOfImage, CPrefPage)
  ON_BN_CLICKED(kIsolines, &CPrefOfImage::OnIsolines)
  ON_BN_CLICKED(kNodeValues, &CPrefOfImage::OnNodeValues)
  ON_BN_CLICKED(kFalseColours, &CPrefOfImage::OnFalseColours)
  ON_BN_CLICKED(kScaleUniform, &CPrefOfImage::OnScaleUniform)
  ON_BN_CLICKED(kScaleLog, &CPrefOfImage::OnScaleLogarithmic)
  ON_CBN_SELCHANGE(kGridMode, &CPrefOfImage::OnGridModeChange)
  ON_CBN_SELCHANGE(kGridStep, &CPrefOfImage::OnGridStepChange)
  ON_MESSAGE(UM_NORMALISESCALES, &CPrefOfImage::OnNormaliseScales)
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
  Refresh();
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
