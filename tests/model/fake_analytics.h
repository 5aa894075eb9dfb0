// The analytics library as the tests stand it in: "QorAnalytics" whose ScreenRegisterA records each screen as
// "name/flag", and a shell that answers it as the loaded library and records the sends.
#pragma once

#include "model/shell/shell_services.h"
#include "platform/base/module.h"

#include <string>
#include <vector>

namespace testing_support {

class FakeAnalytics {
public:
  FakeAnalytics()
  {
    Screens().clear();
    platform::RegisterModule("QorAnalytics", {{"ScreenRegisterA", reinterpret_cast<void*>(&ScreenRegister)}});
    m_module = LoadLibrary("QorAnalytics.dll");
  }
  ~FakeAnalytics()
  {
    FreeLibrary(m_module);
    platform::UnregisterModule("QorAnalytics");
  }
  FakeAnalytics(const FakeAnalytics&) = delete;
  FakeAnalytics& operator=(const FakeAnalytics&) = delete;

  HMODULE Module() const { return m_module; }
  // Takes the screens recorded so far.
  static std::vector<std::string> Take()
  {
    std::vector<std::string> taken;
    taken.swap(Screens());
    return taken;
  }

private:
  static std::vector<std::string>& Screens()
  {
    static std::vector<std::string> screens;
    return screens;
  }
  static int ScreenRegister(const char* screen, int flag)
  {
    Screens().push_back(std::string(screen) + "/" + std::to_string(flag));
    return 0;
  }

  HMODULE m_module = nullptr;
};

// Installed as the shell's services while it lives.
class AnalyticsShell : public Shell::CShellServices {
public:
  explicit AnalyticsShell(HMODULE analytics) : m_analytics(analytics) { Shell::SetShellServices(this); }
  ~AnalyticsShell() override { Shell::SetShellServices(nullptr); }
  HMODULE GetAnalyticsModule() override { return m_analytics; }
  int SendAnalyticsInfo(int flag) override
  {
    sent.push_back(flag);
    return 0;
  }

  std::vector<int> sent;

private:
  HMODULE m_analytics;
};

}  // namespace testing_support
