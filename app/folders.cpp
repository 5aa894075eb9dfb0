#include "app/folders.h"

#include "platform/base/guid.h"
#include "platform/mfc/afxwin.h"

namespace {

constexpr char kSection[] = "Settings";

CString InstallationSubfolder(const char* name)
{
  CWinApp* app = AfxGetApp();
  if (!app)
    return {};
  const CString installDir = app->GetProfileString(kSection, "InstallDir", "");
  if (!installDir.IsEmpty())
    return installDir + name + "\\";
  return app->GetProfileString(kSection, "DebugDir", "");
}

}  // namespace

CString GetTemplatesFolder() { return InstallationSubfolder("Templates"); }
CString GetDocsFolder() { return InstallationSubfolder("Docs"); }

CString GetInstallationId()
{
  CWinApp* app = AfxGetApp();
  if (!app)
    return {};
  CString id = app->GetProfileString(kSection, "QorRID", "");
  if (!id.IsEmpty())
    return id;
  GUID guid;
  if (FAILED(CoCreateGuid(&guid)))
    return {};
  char16_t wide[40] = {};
  const int length = StringFromGUID2(guid, wide, 40);
  if (length <= 1)
    return {};
  // The braced form is plain ASCII.
  for (int i = 0; i + 1 < length; ++i)
    id += static_cast<char>(wide[i]);
  app->WriteProfileString(kSection, "QorRID", id);
  return id;
}
