#include "app/shell/group_dialog.h"

#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/pole.h"
#include "platform/mfc/ddx.h"
#include "platform/mfc/msgbox.h"

#include <cmath>

namespace shell {

namespace {

constexpr UINT IDC_GROUP_STEP = 1036;
constexpr UINT IDC_GROUP_OFFSET = 1039;
constexpr UINT IDC_GROUP_OUTREACH = 1042;
constexpr UINT IDC_GROUP_OUTREACH_LABEL = 1044;
constexpr UINT IDC_GROUP_OUTREACH_UNIT = 1045;
constexpr UINT IDC_GROUP_ROTATION = 1046;
constexpr UINT IDC_GROUP_HELP = 1084;

constexpr UINT IDS_STEP_RANGE = 271;
constexpr UINT IDS_OFFSET_RANGE = 254;
constexpr UINT IDS_OUTREACH_RANGE = 251;
constexpr UINT IDS_ROTATION_RANGE = 260;

// The group's pole with a reference, or null.
IPole* PoleOf(IGroupOfDev* group)
{
  void* pole = nullptr;
  if (group == nullptr || FAILED(group->QueryInterface(&IID_IPole, &pole)))
    return nullptr;
  return static_cast<IPole*>(pole);
}

int MountingKind(IGroupOfDev* group)
{
  const int* kind = group->GetMountingKind();
  return kind ? *kind : 0;
}

// Refuses the value just exchanged when it lies outside [lower, upper] (or is not above lower when the lower
// bound is open): the range message, and the dialog stays on that field.
void CheckRange(CDataExchange* pDX, double value, bool lowerOpen, double lower, double upper, UINT message)
{
  if (!pDX->m_bSaveAndValidate)
    return;
  const bool aboveLower = lowerOpen ? value > lower : value >= lower;
  if (aboveLower && value <= upper)
    return;
  CString text;
  text.Format(message, lower, upper);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  pDX->Fail();
}

}  // namespace

CDlgChildGroupDev::CDlgChildGroupDev(CWnd* pParent, IGroupOfDev* group)
    : CShellDialog(IDD_CHILD_GROUP_DEV, pParent), m_pGroup(group)
{
}

double CDlgChildGroupDev::MaxOutreach(IGroupOfDev* group)
{
  IPole* pole = PoleOf(group);
  if (pole == nullptr)
    return 10.0;
  const int kind = MountingKind(group);
  const double height = pole->GetHeight(kind);
  const double tilt = pole->GetTilt(kind);
  pole->Release();
  if (tilt == 0)
    return 10.0;
  return height / std::tan(tilt * 3.141592653589793 / 180.0);
}

BOOL CDlgChildGroupDev::OnInitDialog()
{
  if (IPole* pole = PoleOf(m_pGroup)) {
    m_dOutreach = ObjectModel::Round2(pole->GetOutreach(MountingKind(m_pGroup)));
    const int* typical = pole->GetTypical();
    if (typical && *typical != 0) {
      for (UINT id : {IDC_GROUP_OUTREACH, IDC_GROUP_OUTREACH_LABEL, IDC_GROUP_OUTREACH_UNIT})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    }
    pole->Release();
  }
  return CShellDialog::OnInitDialog();
}

void CDlgChildGroupDev::DoDataExchange(CDataExchange* pDX)
{
  CShellDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GROUP_STEP, m_dStep);
  CheckRange(pDX, m_dStep, true, 1, 250, IDS_STEP_RANGE);
  DDX_Text(pDX, IDC_GROUP_OFFSET, m_dOffset);
  CheckRange(pDX, m_dOffset, false, -50, 50, IDS_OFFSET_RANGE);
  // A disabled outreach (catalogue pole) is still held to the maximum.
  DDX_Text(pDX, IDC_GROUP_OUTREACH, m_dOutreach);
  if (pDX->m_bSaveAndValidate)
    CheckRange(pDX, m_dOutreach, false, 0, MaxOutreach(m_pGroup), IDS_OUTREACH_RANGE);
  DDX_Text(pDX, IDC_GROUP_ROTATION, m_dRotation);
  CheckRange(pDX, m_dRotation, false, -180, 180, IDS_ROTATION_RANGE);
}

BOOL CDlgChildGroupDev::OnCommand(WPARAM wParam, LPARAM lParam)
{
  if (LOWORD(wParam) == IDC_GROUP_HELP && HIWORD(wParam) == BN_CLICKED) {
    if (m_onHelp)
      m_onHelp();
    return TRUE;
  }
  return CShellDialog::OnCommand(wParam, lParam);
}

}  // namespace shell
