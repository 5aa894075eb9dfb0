#include "graphics/export/export_settings_dlg.h"

#include "graphics/export/export_builders.h"
#include "platform/mfc/afxres.h"
#include "res/program_ids.h"

namespace {

using namespace res::program;

struct Box {
  UINT id;
  int flag;
};

const Box kBoxes[] = {
    {IDC_EXPORT_LUMINAIRES, kExportLuminaires}, {IDC_EXPORT_ROAD, kExportPrimitives},
    {IDC_EXPORT_NODE_VALUES, kExportNodeValuesBit}, {IDC_EXPORT_ISOLINES, kExportIsolinesBit},
    {IDC_EXPORT_BACKGROUND, kExportBackgroundDrawing}, {IDC_EXPORT_SHADING, kExportShading},
    {IDC_EXPORT_AXES, kExportAxes},
};

// The box ids run from 1122 to 1128.
constexpr UINT kFirstBox = 1122;
constexpr UINT kLastBox = 1128;

}  // namespace

int ExportFlagOfBox(UINT id)
{
  for (const Box& box : kBoxes)
    if (box.id == id)
      return box.flag;
  return 0;
}

BEGIN_MESSAGE_MAP(SLCExportSettingsDlg, CDialog)
  ON_COMMAND_RANGE(kFirstBox, kLastBox, &SLCExportSettingsDlg::OnToggle)
  ON_UPDATE_COMMAND_UI_RANGE(kFirstBox, kLastBox, &SLCExportSettingsDlg::OnUpdateBox)
  ON_UPDATE_COMMAND_UI(IDOK, &SLCExportSettingsDlg::OnUpdateOK)
  ON_MESSAGE(WM_KICKIDLE, &SLCExportSettingsDlg::OnKickIdle)
END_MESSAGE_MAP()

SLCExportSettingsDlg::SLCExportSettingsDlg(CWnd* parent) : CDialog(IDD_EXPORT_SETTINGS, parent) {}

BOOL SLCExportSettingsDlg::OnInitDialog()
{
  const BOOL focus = CDialog::OnInitDialog();
  // The boxes show the word from the start, not only once the dialog first idles.
  UpdateDialogControls(this, FALSE);
  return focus;
}

void SLCExportSettingsDlg::OnToggle(UINT id)
{
  m_flags ^= ExportFlagOfBox(id);
  UpdateDialogControls(this, FALSE);
}

void SLCExportSettingsDlg::OnUpdateBox(CCmdUI* cmdUI)
{
  const int flag = ExportFlagOfBox(cmdUI->m_nID);
  cmdUI->SetCheck((m_flags & flag) ? 1 : 0);
  if (flag == kExportBackgroundDrawing)
    cmdUI->Enable(m_backgroundEnabled != 0);
  else if (flag == kExportNodeValuesBit)
    cmdUI->Enable(m_interchange == 0);
}

void SLCExportSettingsDlg::OnUpdateOK(CCmdUI* cmdUI) { cmdUI->Enable(m_flags != 0); }

LRESULT SLCExportSettingsDlg::OnKickIdle(WPARAM, LPARAM)
{
  UpdateDialogControls(this, FALSE);
  return 0;
}
