#include "shell_env.h"

#include "model/shell/window_messages.h"

#include <thread>

namespace shelltest {

namespace {

constexpr UINT kAboutCommand = 57664;

LRESULT StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_COMMAND || message == UM_SHOWNEWS || message >= 0x8000) {
    MSG kept{};
    kept.hwnd = hwnd;
    kept.message = message;
    kept.wParam = wParam;
    kept.lParam = lParam;
    StandInFrame::received.push_back(kept);
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kAboutCommand) {
    ++StandInFrame::aboutBoxesOpened;
    return 0;
  }
  if (message == UM_SHOWNEWS) {
    delete[] reinterpret_cast<char*>(lParam);
    return 0;
  }
  if (message == UM_DEPTHBITS) {
    *reinterpret_cast<int*>(lParam) = StandInFrame::depthWord;
    return StandInFrame::depthAnswer;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

StandInFrame::StandInFrame()
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &StandInProc;
    wc.lpszClassName = "ShellStandInFrame";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  received.clear();
  aboutBoxesOpened = 0;
  hwnd = CreateWindowEx(0, "ShellStandInFrame", "Tesmira Road", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                        nullptr, nullptr, nullptr);
}

StandInFrame::~StandInFrame()
{
  // News buffers still queued belong to the frame, which frees them.
  MSG msg{};
  while (PeekMessage(&msg, hwnd, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
  DestroyWindow(hwnd);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    MSG msg{};
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace shelltest
