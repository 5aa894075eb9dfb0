// "Выбор файла" (dialog 752): an area already has a background drawing of the graphics library; the user
// replaces it (3), removes it (4) or cancels (0).
#pragma once

#include "platform/mfc/dialog.h"

class CDXFFileSelectorDgl : public CDialog {
public:
  static constexpr int kReplace = 3;
  static constexpr int kRemove = 4;

  CDXFFileSelectorDgl(CWnd* parent, const CString& boundFile);

  BOOL OnInitDialog() override;
  void OnCancel() override;

  int m_result = 0;
  CString m_fileName;

protected:
  void OnReplace();
  void OnRemove();
  DECLARE_MESSAGE_MAP()
};
