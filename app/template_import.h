// Importing a project template (.qorrt): the template is copied into the documents folder as a project
// (.qorr5) under a name no file there has yet, opened from that copy, and the copy is deleted again; the
// opened project keeps the copy's path, so its first save writes it there.
#pragma once

#include "platform/mfc-core/mfcstring.h"

#include <functional>

enum class TemplateImport {
  kOpened,
  kRefused,     // not a template: wrong extension, unreadable, or not starting with "QORR"
  kOpenFailed,  // the copy could not be made or not be opened
};

struct TemplateImportResult {
  TemplateImport outcome = TemplateImport::kRefused;
  CString projectPath;  // where the copy stood
};

// `open` opens the copy as the document and answers whether it did.
TemplateImportResult ImportProjectTemplate(const CString& templatePath, const CString& targetFolder,
                                           const std::function<BOOL(const CString& path)>& open);
