// The binding to the outside analytics library. Every call goes through the one loaded library, binding its
// export by name at each call, and quietly answers -1 when the library is not loaded or lacks the export.
#pragma once

#include "platform/base/module.h"

#include <string>

namespace shell {

// Holds the loaded library's module; unloads it when the holder ends (the process-wide one at process end).
class AnalyticsModule {
public:
  AnalyticsModule() = default;
  ~AnalyticsModule();
  AnalyticsModule(const AnalyticsModule&) = delete;
  AnalyticsModule& operator=(const AnalyticsModule&) = delete;

  HMODULE module = nullptr;
};

// The process-wide holder, made on first call.
AnalyticsModule* GetAnalyticsModule();

// Closes and unloads a library already loaded, loads `libraryPath` and initialises it; InitA's result, or -1.
int StartAnalytics(AnalyticsModule* holder, const char* libraryPath, const char* trackingId, const char* clientId,
                   const char* version, const char* sqlitePath, const char* dataPath);
int RegisterAnalyticsScreen(AnalyticsModule* holder, const char* name, int flag);
int RegisterAnalyticsEvent(AnalyticsModule* holder, const char* category, const char* action, const char* label,
                           const char* value, int flag);
int SendAnalyticsInfo(AnalyticsModule* holder, int flag);
// The library's Close, when the main window closes; the library stays loaded.
void CloseAnalytics(AnalyticsModule* holder);

// Start-up: when Settings\Analytics is not 0, the library "QorAnalytics.dll" of the Bin folder is started with
// the program's tracking id and version, then the start event, the main screen and a send are reported.
// `analyticsSetting` off: the library is never loaded.
struct AnalyticsStart {
  int analyticsSetting = 1;
  std::string binFolder;         // with its final separator
  std::string appDataBinFolder;  // likewise
  std::string installationId;    // Settings\QorRID
};
void StartProgramAnalytics(AnalyticsModule* holder, const AnalyticsStart& start);

// The crash event, from the faulting thread; nothing without an installation id.
void ReportCrash(AnalyticsModule* holder, const std::string& installationId);

inline constexpr char kTrackingId[] = "UA-00000000-01";
inline constexpr char kAnalyticsApplication[] = "QorRoadAnalytics";

}  // namespace shell
