// "Настройки экспорта" (dialog 756): which records a DXF export writes, one check box per flag bit. The area
// outline (0x100) is always written; the background box is open only when the area has a drawing of the
// graphics library under it, the node-value box never for an interchange.
#pragma once

#include "platform/mfc/dialog.h"

class SLCExportSettingsDlg : public CDialog {
public:
  // Initial flags: every record but the background drawing; no node values for an interchange.
  static constexpr int kInitialFlags = 0xD35;
  static constexpr int kInitialInterchangeFlags = 0xD25;

  explicit SLCExportSettingsDlg(CWnd* parent = nullptr);

  int m_flags = kInitialFlags;
  int m_backgroundEnabled = 0;  // the area's underlay id & 0x1000
  int m_interchange = 0;

  BOOL OnInitDialog() override;

protected:
  void OnToggle(UINT id);
  void OnUpdateBox(CCmdUI* cmdUI);
  void OnUpdateOK(CCmdUI* cmdUI);
  LRESULT OnKickIdle(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};

// The flag bit of a check box of the dialog, 0 for another id.
int ExportFlagOfBox(UINT id);
