// What the model and the document use of the application shell: the main frame's private messages, the
// folder helpers, the main window, message boxes and the usage-analytics binding. The shell sits above the
// model, so the model owns this table and the application installs its own answers at start-up. Until then
// every service answers as a shell without those parts would: no main window, analytics "not loaded".
#pragma once

#include "model/shell/window_messages.h"
#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

struct IArea;
struct IQorRoadDoc;
struct IVisualOpt;

// The wizard's record: the typical-form type and the area the wizard made (null when it made none). The
// document releases the area afterwards.
struct _WIZARD_DATA {
  int type = 0;
  IArea* area = nullptr;
};

namespace Shell {

// The command the view sends when a protocol needs results the active area lacks.
inline constexpr UINT ID_QOR_NEED_RESULTS = 33074;

// Calculation states the main frame keeps.
inline constexpr int kCalcIdle = 0;
inline constexpr int kCalcRunning = 1;
inline constexpr int kCalcStopping = 2;

// Message-box styles and answers the model uses.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The six values of the optimisation dialog, in the order the document fills and reads them.
struct OptimizationChoice {
  double illuminanceTarget = 0;
  double luminanceTarget = 0;
  int criterion = 0;  // 0 luminance, 1 horizontal illuminance
  int uniformityCheck = 0;
  double illuminanceUniformityLimit = 0;  // largest Emax/Eavg
  double luminanceUniformityLimit = 0;    // smallest Lmin/Lavg
};

// What the document reads of the settings dialog after it closed.
struct PreferencesOutcome {
  BOOL fontsChanged = FALSE;
  BOOL gridModeChanged = FALSE;
  int gridMode = 0;
  BOOL gridStepChanged = FALSE;
  double gridStep = 0;
  // The redraw the view needs after an OK end and after a Cancel end.
  BOOL recalcOnOk = FALSE;
  BOOL rebuildOnOk = FALSE;
  BOOL recalcOnCancel = FALSE;
  BOOL rebuildOnCancel = FALSE;
};

// The answers of the shell. Each default is what the program does without the part behind it.
class CShellServices {
public:
  virtual ~CShellServices() = default;

  // The application's main window; null when there is none.
  virtual HWND GetMainWindow() { return nullptr; }
  // A message box over owner; nothing is shown without a user interface.
  virtual int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
  // SendMessage to the main window; 0 without one.
  virtual LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);

  // The application's profile; without an application every value reads as its default.
  virtual UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue);
  virtual CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue);
  // Without an application nothing is kept: FALSE.
  virtual BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);

  // "Settings"/"InstallDir" + "Bin\" when set, else "Settings"/"DebugDir" unchanged.
  virtual CString GetBinFolder();
  // The per-user data folder (".../Bin/") and plug-in folder (".../Plugins/"), with a final separator.
  virtual CString GetAppDataBinFolder();
  virtual CString GetPluginsFolder();
  // The installation id the application keeps (a GUID in registry form).
  virtual CString GetInstallationId() { return {}; }
  // The application's printing-in-colour flag.
  virtual BOOL IsPrintingInColor() { return TRUE; }

  // The analytics library's module; null when it is not loaded.
  virtual HMODULE GetAnalyticsModule() { return nullptr; }
  // -1 when the analytics library is not loaded.
  virtual int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag);
  virtual int SendAnalyticsInfo(int flag);

  // The modal dialogs of the shell the document's commands open; each answers IDOK or IDCANCEL. Without them
  // every dialog answers IDCANCEL and changes nothing.
  // The optimisation dialog, filled with `values`; on IDOK `values` holds the user's choice.
  virtual int RunOptimizationDialog(HWND parent, OptimizationChoice* values);
  // The settings dialog over a private copy of `options`; OK and Apply copy the edits back.
  virtual int RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options, PreferencesOutcome* outcome);
  // The object creation wizard; on IDOK `data` holds the typical-form type and the area it made.
  virtual int RunWizard(HWND parent, _WIZARD_DATA* data);
  // The catalogue manager, working on the luminaire database through the document.
  virtual int RunCatalogueManager(HWND parent, IQorRoadDoc* document);
};

// The application installs its services once at start-up and keeps them alive; null restores the defaults.
// Tests install their own.
void SetShellServices(CShellServices* services);
CShellServices& GetShellServices();

// The forms the callers use.
HWND GetMainWindow();
UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue);
BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);
BOOL IsPrintingInColor();
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
CString GetBinFolder();
CString GetAppDataBinFolder();
CString GetPluginsFolder();
HMODULE GetAnalyticsModule();
// The analytics library's "ScreenRegisterA", bound by name at each call: its result, -1 when the library or the
// export is missing. Every screen the program records goes through here; the second form takes the loaded library.
int RegisterAnalyticsScreen(HMODULE analytics, LPCSTR name, int flag);
int RegisterAnalyticsScreen(LPCSTR name, int flag);
int RegisterAnalyticsEvent(LPCSTR category, LPCSTR action, LPCSTR label, int value, int flag);
int SendAnalyticsInfo(int flag);

// Every address of the maker's web server the program uses: the string `stringId` of the string table, unless
// the profile's "Network" section names another (829 "Site", 841 "CatalogueIndex", 845 "CatalogueFolder").
CString GetNetworkAddress(UINT stringId);

// The program's web site: the About box, the update dialog and the update check's address.
inline constexpr UINT kSiteAddressString = 829;

}  // namespace Shell
