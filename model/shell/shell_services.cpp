#include "model/shell/shell_services.h"

#include "platform/base/folders.h"
#include "platform/base/module.h"

namespace Shell {

namespace {

CShellServices g_defaultServices;
CShellServices* g_services = &g_defaultServices;

}  // namespace

int CShellServices::ShowMessageBox(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }

LRESULT CShellServices::SendToMainWindow(UINT, WPARAM, LPARAM) { return 0; }

UINT CShellServices::GetProfileInt(LPCSTR, LPCSTR, int defaultValue) { return static_cast<UINT>(defaultValue); }

BOOL CShellServices::WriteProfileInt(LPCSTR, LPCSTR, int) { return FALSE; }

CString CShellServices::GetProfileString(LPCSTR, LPCSTR, LPCSTR defaultValue) { return CString(defaultValue); }

CString CShellServices::GetBinFolder()
{
  CString installDir = GetProfileString("Settings", "InstallDir", "");
  if (!installDir.IsEmpty())
    return installDir + "Bin\\";
  return GetProfileString("Settings", "DebugDir", "");
}

CString CShellServices::GetAppDataBinFolder() { return CString(platform::ApplicationBinFolder()); }

CString CShellServices::GetPluginsFolder() { return CString(platform::ApplicationPluginsFolder()); }

int CShellServices::RegisterAnalyticsEvent(LPCSTR, LPCSTR, LPCSTR, int, int) { return -1; }

int CShellServices::SendAnalyticsInfo(int) { return -1; }

int CShellServices::RunOptimizationDialog(HWND, OptimizationChoice*) { return IDCANCEL; }

int CShellServices::RunPreferences(HWND, IQorRoadDoc*, IVisualOpt*, PreferencesOutcome*) { return IDCANCEL; }

int CShellServices::RunWizard(HWND, _WIZARD_DATA*) { return IDCANCEL; }

int CShellServices::RunCatalogueManager(HWND, IQorRoadDoc*) { return IDCANCEL; }

void SetShellServices(CShellServices* services) { g_services = services ? services : &g_defaultServices; }

CShellServices& GetShellServices() { return *g_services; }

HWND GetMainWindow() { return g_services->GetMainWindow(); }
UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue)
{
  return g_services->GetProfileInt(section, entry, defaultValue);
}
BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value)
{
  return g_services->WriteProfileInt(section, entry, value);
}
BOOL IsPrintingInColor() { return g_services->IsPrintingInColor(); }
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
  return g_services->ShowMessageBox(owner, text, caption, type);
}
CString GetBinFolder() { return g_services->GetBinFolder(); }
CString GetAppDataBinFolder() { return g_services->GetAppDataBinFolder(); }
CString GetPluginsFolder() { return g_services->GetPluginsFolder(); }
HMODULE GetAnalyticsModule() { return g_services->GetAnalyticsModule(); }
int RegisterAnalyticsScreen(HMODULE analytics, LPCSTR name, int flag)
{
  using ScreenRegisterFunction = int (*)(const char*, int);
  if (!analytics)
    return -1;
  auto screenRegister = reinterpret_cast<ScreenRegisterFunction>(GetProcAddress(analytics, "ScreenRegisterA"));
  return screenRegister ? screenRegister(name, flag) : -1;
}
int RegisterAnalyticsScreen(LPCSTR name, int flag) { return RegisterAnalyticsScreen(GetAnalyticsModule(), name, flag); }
int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag)
{
  return g_services->RegisterAnalyticsEvent(category, action, label, value, flag);
}
int SendAnalyticsInfo(int flag) { return g_services->SendAnalyticsInfo(flag); }

CString GetNetworkAddress(UINT stringId)
{
  const char* entry = stringId == kSiteAddressString ? "Site"
                      : stringId == 841 ? "CatalogueIndex"
                      : stringId == 845 ? "CatalogueFolder"
                                        : nullptr;
  if (entry) {
    const CString configured = g_services->GetProfileString("Network", entry, "");
    if (!configured.IsEmpty())
      return configured;
  }
  CString text;
  text.LoadString(stringId);
  return text;
}

}  // namespace Shell
