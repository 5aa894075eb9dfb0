#include "app/shell/analytics.h"

#include "model/shell/shell_services.h"

#include <cstdio>

namespace shell {

namespace {

using InitFunction = int (*)(const char*, const char*, const char*, const char*, const char*, const char*, int);
using CloseFunction = void (*)();
using EventFunction = int (*)(const char*, const char*, const char*, const char*, int);
using SendFunction = int (*)(int, int);

template <class Function>
Function Bind(AnalyticsModule* holder, const char* name)
{
  if (holder == nullptr || holder->module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Function>(GetProcAddress(holder->module, name));
}

}  // namespace

AnalyticsModule::~AnalyticsModule()
{
  if (module != nullptr) {
    FreeLibrary(module);
  }
}

AnalyticsModule* GetAnalyticsModule()
{
  static AnalyticsModule holder;
  return &holder;
}

int StartAnalytics(AnalyticsModule* holder, const char* libraryPath, const char* trackingId, const char* clientId,
                   const char* version, const char* sqlitePath, const char* dataPath)
{
  if (holder == nullptr) {
    return -1;
  }
  if (holder->module != nullptr) {
    CloseAnalytics(holder);
    FreeLibrary(holder->module);
    holder->module = nullptr;
  }
  holder->module = LoadLibrary(libraryPath);
  auto init = Bind<InitFunction>(holder, "InitA");
  if (init == nullptr) {
    return -1;
  }
  return init(trackingId, clientId, kAnalyticsApplication, version, sqlitePath, dataPath, 0);
}

int RegisterAnalyticsScreen(AnalyticsModule* holder, const char* name, int flag)
{
  return Shell::RegisterAnalyticsScreen(holder != nullptr ? holder->module : nullptr, name, flag);
}

int RegisterAnalyticsEvent(AnalyticsModule* holder, const char* category, const char* action, const char* label,
                           const char* value, int flag)
{
  auto event = Bind<EventFunction>(holder, "EventRegisterA");
  return event != nullptr ? event(category, action, label, value, flag) : -1;
}

int SendAnalyticsInfo(AnalyticsModule* holder, int flag)
{
  auto send = Bind<SendFunction>(holder, "SendInfo");
  return send != nullptr ? send(0, flag) : -1;
}

void CloseAnalytics(AnalyticsModule* holder)
{
  if (auto close = Bind<CloseFunction>(holder, "Close")) {
    close();
  }
}

void StartProgramAnalytics(AnalyticsModule* holder, const AnalyticsStart& start)
{
  if (start.analyticsSetting != 0) {
    char version[32];
    std::snprintf(version, sizeof version, "%d.%d.%d.%d", 6, 0, 42, 0);
    StartAnalytics(holder, (start.binFolder + "QorAnalytics.dll").c_str(), kTrackingId, start.installationId.c_str(),
                   version, (start.binFolder + "sqlite3.dll").c_str(), (start.appDataBinFolder + "QorRoad.dat").c_str());
  }
  const char* id = start.installationId.c_str();
  RegisterAnalyticsEvent(holder, "Запуск программы", id, id, "1", 0);
  RegisterAnalyticsScreen(holder, "Главный экран", 0);
  SendAnalyticsInfo(holder, 1);
}

void ReportCrash(AnalyticsModule* holder, const std::string& installationId)
{
  if (installationId.empty()) {
    return;
  }
  RegisterAnalyticsEvent(holder, "Сбой программы", installationId.c_str(), installationId.c_str(), "1", 0);
  SendAnalyticsInfo(holder, 0);
}

}  // namespace shell
