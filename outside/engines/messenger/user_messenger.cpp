// The engines' messages through the program's window system.
#include "outside/engines/window_host.h"
#include "platform/base/thread.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

namespace Engines {
namespace {

class UserWindowMessenger final : public WindowMessenger {
public:
  LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
  {
    return ::SendMessage(window, message, wParam, lParam);
  }
  BOOL Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
  {
    return ::PostMessage(window, message, wParam, lParam);
  }
  bool IsWindowThread(HWND window) override
  {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
  }
};

}  // namespace

WindowMessenger* WindowSystemMessenger()
{
  static UserWindowMessenger messenger;
  return &messenger;
}

}  // namespace Engines
