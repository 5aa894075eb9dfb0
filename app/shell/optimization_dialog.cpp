#include "app/shell/optimization_dialog.h"

#include "app/shell/analytics.h"

namespace shell {

namespace {

constexpr UINT IDC_OPT_LUMINANCE = 1001;
constexpr UINT IDC_OPT_ILLUMINANCE = 1002;
constexpr UINT IDC_OPT_VALUE = 1034;
constexpr UINT IDC_OPT_UNIT = 1080;
constexpr UINT IDC_OPT_UNIFORMITY = 1004;
constexpr UINT IDC_OPT_UNIFORMITY_VALUE = 1083;
constexpr UINT IDC_OPT_UNIFORMITY_NAME = 1081;

struct Entry {
  const char* text;
  int tenfold;  // the entry's item data: ten times its value
};

const Entry kLuminances[] = {{"2.0", 20}, {"1.8", 18}, {"1.6", 16}, {"1.4", 14}, {"1.2", 12}, {"1.0", 10},
                             {"0.8", 8},  {"0.6", 6},  {"0.4", 4},  {"0.3", 3},  {"0.2", 2}};
const Entry kIlluminances[] = {{"20", 200}, {"15", 150}, {"10", 100}, {"6", 60}, {"4", 40}, {"2", 20}};
const Entry kLuminanceUniformities[] = {{"0.3", 3}, {"0.4", 4}};
const Entry kIlluminanceUniformities[] = {{"3:1", 30}, {"5:1", 50}, {"10:1", 100}};

template <std::size_t N>
void Fill(CWnd* dialog, UINT id, const Entry (&entries)[N], double stored)
{
  HWND list = ::GetDlgItem(dialog->GetSafeHwnd(), id);
  ::SendMessage(list, CB_RESETCONTENT, 0, 0);
  int selected = -1;
  for (const Entry& entry : entries) {
    auto index = static_cast<int>(::SendMessage(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text)));
    ::SendMessage(list, CB_SETITEMDATA, index, entry.tenfold);
    if (entry.tenfold / 10.0 == stored) {
      selected = index;
    }
  }
  ::SendMessage(list, CB_SETCURSEL, selected, 0);
}

// The chosen entry's value, or nothing when the list has no selection.
bool Chosen(CWnd* dialog, UINT id, double* value)
{
  HWND list = ::GetDlgItem(dialog->GetSafeHwnd(), id);
  auto index = static_cast<int>(::SendMessage(list, CB_GETCURSEL, 0, 0));
  if (index < 0) {
    return false;
  }
  *value = static_cast<int>(::SendMessage(list, CB_GETITEMDATA, index, 0)) / 10.0;
  return true;
}

}  // namespace

CDlgRunOptimization::CDlgRunOptimization(CWnd* pParent) : CShellDialog(IDD_RUN_OPTIMIZATION, pParent) {}

CDlgRunOptimization::~CDlgRunOptimization()
{
  SendAnalyticsInfo(GetAnalyticsModule(), 1);
}

BOOL CDlgRunOptimization::OnInitDialog()
{
  CShellDialog::OnInitDialog();
  ::CheckRadioButton(m_hWnd, IDC_OPT_LUMINANCE, IDC_OPT_ILLUMINANCE,
                     m_nMode == 1 ? IDC_OPT_ILLUMINANCE : IDC_OPT_LUMINANCE);
  FillForMode();
  ::CheckDlgButton(m_hWnd, IDC_OPT_UNIFORMITY, m_bUniformity ? BST_CHECKED : BST_UNCHECKED);
  EnableUniformity();
  ApplyDialogTransparency(this);
  return TRUE;
}

void CDlgRunOptimization::FillForMode()
{
  if (m_nMode == 1) {
    SetDlgItemText(IDC_OPT_UNIT, "лк");
    SetDlgItemText(IDC_OPT_UNIFORMITY_NAME, "Eмакс/Eср");
    Fill(this, IDC_OPT_VALUE, kIlluminances, m_dIlluminance);
    Fill(this, IDC_OPT_UNIFORMITY_VALUE, kIlluminanceUniformities, m_dIlluminanceUniformity);
  } else {
    SetDlgItemText(IDC_OPT_UNIT, "кд/м2");
    SetDlgItemText(IDC_OPT_UNIFORMITY_NAME, "Lмин/Lср");
    Fill(this, IDC_OPT_VALUE, kLuminances, m_dLuminance);
    Fill(this, IDC_OPT_UNIFORMITY_VALUE, kLuminanceUniformities, m_dLuminanceUniformity);
  }
}

void CDlgRunOptimization::EnableUniformity()
{
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_UNIFORMITY_VALUE), m_bUniformity != 0);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPT_UNIFORMITY_NAME), m_bUniformity != 0);
}

BOOL CDlgRunOptimization::OnCommand(WPARAM wParam, LPARAM lParam)
{
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if ((id == IDC_OPT_LUMINANCE || id == IDC_OPT_ILLUMINANCE) && code == BN_CLICKED) {
    m_nMode = id == IDC_OPT_ILLUMINANCE ? 1 : 0;
    FillForMode();
    return TRUE;
  }
  if (id == IDC_OPT_UNIFORMITY && code == BN_CLICKED) {
    m_bUniformity = !m_bUniformity;
    EnableUniformity();
    return TRUE;
  }
  if (id == IDC_OPT_VALUE && code == CBN_SELCHANGE) {
    double value = 0;
    if (Chosen(this, IDC_OPT_VALUE, &value)) {
      (m_nMode == 1 ? m_dIlluminance : m_dLuminance) = value;
    }
    return TRUE;
  }
  if (id == IDC_OPT_UNIFORMITY_VALUE && code == CBN_SELCHANGE) {
    double value = 0;
    if (Chosen(this, IDC_OPT_UNIFORMITY_VALUE, &value)) {
      (m_nMode == 1 ? m_dIlluminanceUniformity : m_dLuminanceUniformity) = value;
    }
    return TRUE;
  }
  return CShellDialog::OnCommand(wParam, lParam);
}

void CDlgRunOptimization::OnOK()
{
  RegisterAnalyticsScreen(GetAnalyticsModule(), "Проект.Оптимизация", 1);
  CShellDialog::OnOK();
}

}  // namespace shell
