// The splash screen in the start-up order: made after the application's first step and before the view's, gone
// once the document is new and before the main window is shown.
#include "tests/app/app_session.h"

#include "document/trace_log.h"
#include "platform/user/hooks.h"
#include "platform/user/window.h"

#include <algorithm>

namespace apptest {
namespace {

// Writes the splash's coming and going into the trace, between the program's own steps.
class SplashWatch {
public:
  SplashWatch() { hook_ = ::SetWindowsHookEx(WH_CBT, &Hook, nullptr, 0); }
  ~SplashWatch() { ::UnhookWindowsHookEx(hook_); }
  static inline HWND splash = nullptr;
  static inline int made = 0;
  static inline bool frameShownAtEnd = true;

private:
  static LRESULT Hook(int code, WPARAM wParam, LPARAM lParam)
  {
    const auto hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
      const CREATESTRUCT* cs = reinterpret_cast<const CBT_CREATEWND*>(lParam)->lpcs;
      if ((cs->dwExStyle & WS_EX_TOOLWINDOW) && (cs->style & WS_POPUP) && !cs->hwndParent && cs->cx == 480 &&
          cs->cy == 300) {
        splash = hwnd;
        ++made;
        LoggerObjs::GetLogger().Write("splash shown");
      }
    } else if (code == HCBT_DESTROYWND && hwnd == splash) {
      CWnd* frame = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
      frameShownAtEnd = frame && frame->IsWindowVisible();
      LoggerObjs::GetLogger().Write("splash gone");
      splash = nullptr;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_ = nullptr;
};

using SplashStartupTest = AppSession;

TEST_F(SplashStartupTest, TheSplashCoversTheStartFromBeforeTheViewUntilTheNewDocument)
{
  SplashWatch watch;
  ASSERT_TRUE(Start());
  EXPECT_EQ(SplashWatch::made, 1);
  EXPECT_EQ(SplashWatch::splash, nullptr) << "destroyed by the start-up";
  EXPECT_FALSE(SplashWatch::frameShownAtEnd) << "the main window is shown after the splash goes";
  EXPECT_TRUE(Frame()->IsWindowVisible());

  const std::vector<std::string> log = TraceLog();
  auto at = [&](const char* line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
  const char* order[] = {"0", "splash shown", "8", "17", "18", "20", "splash gone"};
  std::ptrdiff_t last = -1;
  for (const char* line : order) {
    const std::ptrdiff_t position = at(line);
    ASSERT_LT(position, static_cast<std::ptrdiff_t>(log.size())) << line << " missing";
    EXPECT_GT(position, last) << line;
    last = position;
  }
}

}  // namespace
}  // namespace apptest
