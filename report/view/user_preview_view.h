// The protocol's print preview: the framework's preview with a "Сохранить как..." button that exports the
// previewed protocol as an RTF file.
#pragma once

#include "platform/mfc/preview.h"

// The file name the export offers: the document title cut before ".qorr4" (else ".qorr5"), unless the
// extension is the whole title, followed by " (протокол)".
CString DefaultProtocolFileName(const CString& documentTitle);

// Opened with the program's preview bar (res::program::IDD_PROTOCOL_PREVIEW_BAR), whose export button sends
// res::program::ID_PREVIEW_EXPORT_RTF.
class CUserPreviewView : public CPreviewView {
  DECLARE_DYNCREATE(CUserPreviewView)
public:
  void OnInitialUpdate() override;
  // Asks for a file (again after a No to replacing one) and exports the print view's protocol into it.
  void OnExportRtf();
  // The preview bar's help button: the program's help at the keyword "Печать протокола".
  void OnHelp();

protected:
  DECLARE_MESSAGE_MAP()
};
