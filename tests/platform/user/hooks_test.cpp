// Hooks run newest first and may swallow input; subclassing chains window procedures and undoes itself at
// WM_NCDESTROY.
#include "platform/base/thread.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log = nullptr;
LRESULT g_swallowA = 0;

LRESULT HookA(int code, WPARAM wParam, LPARAM lParam)
{
  g_log->push_back("A");
  if (g_swallowA != 0) {
    return g_swallowA;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT HookB(int code, WPARAM wParam, LPARAM lParam)
{
  g_log->push_back("B");
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT HookMouse(int code, WPARAM wParam, LPARAM lParam)
{
  auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
  g_log->push_back("mouse " + std::to_string(wParam) + " hit " + std::to_string(mh->wHitTestCode));
  return wParam == WM_LBUTTONDOWN ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT HookCallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
  auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (cwp->message == WM_APP) {
    g_log->push_back("hook sees WM_APP");
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (g_log != nullptr) {
    switch (msg) {
      case WM_KEYDOWN: g_log->push_back("key " + std::to_string(wParam)); break;
      case WM_LBUTTONDOWN: g_log->push_back("button down"); break;
      case WM_LBUTTONUP: g_log->push_back("button up"); break;
      case WM_APP: g_log->push_back("proc WM_APP"); break;
      case WM_NCDESTROY: g_log->push_back("original WM_NCDESTROY"); break;
      default: break;
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "HooksTest";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return CreateWindowEx(0, "HooksTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                        nullptr);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessage(&msg);
  }
}

TEST(Hooks, KeyboardChainRunsNewestFirstAndANonZeroAnswerSwallowsTheKey)
{
  std::vector<std::string> log;
  g_log = &log;
  HWND hwnd = MakeWindow();
  SetFocus(hwnd);
  Pump();
  HHOOK a = SetWindowsHookEx(WH_KEYBOARD, &HookA, nullptr, GetCurrentThreadId());
  HHOOK b = SetWindowsHookEx(WH_KEYBOARD, &HookB, nullptr, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  log.clear();
  user::InjectKey('Q', true);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"B", "A", "key 81"}));

  log.clear();
  g_swallowA = 1;
  user::InjectKey('W', true);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"B", "A"}));
  g_swallowA = 0;

  log.clear();
  UnhookWindowsHookEx(b);
  user::InjectKey('E', true);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"A", "key 69"}));
  UnhookWindowsHookEx(a);
  for (UINT k : {'Q', 'W', 'E'}) {
    user::InjectKey(k, false);
  }
  Pump();
  DestroyWindow(hwnd);
  g_log = nullptr;
}

TEST(Hooks, AMouseHookSeesTheHitTestAndCanSwallowAPress)
{
  std::vector<std::string> log;
  g_log = &log;
  HWND hwnd = MakeWindow();
  Pump();
  HHOOK h = SetWindowsHookEx(WH_MOUSE, &HookMouse, nullptr, 0);
  user::InjectMouseMove(POINT{50, 50});
  Pump();
  log.clear();
  user::InjectMouseButton(VK_LBUTTON, true);
  user::InjectMouseButton(VK_LBUTTON, false);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"mouse 513 hit 1", "mouse 514 hit 1", "button up"}));
  UnhookWindowsHookEx(h);
  DestroyWindow(hwnd);
  g_log = nullptr;
}

TEST(Hooks, CallWndProcHookSeesSentMessagesBeforeTheWindow)
{
  std::vector<std::string> log;
  g_log = &log;
  HWND hwnd = MakeWindow();
  HHOOK h = SetWindowsHookEx(WH_CALLWNDPROC, &HookCallWndProc, nullptr, 0);
  SendMessage(hwnd, WM_APP, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"hook sees WM_APP", "proc WM_APP"}));
  log.clear();
  PostMessage(hwnd, WM_APP, 0, 0);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"proc WM_APP"}));  // dispatched, not sent
  UnhookWindowsHookEx(h);
  DestroyWindow(hwnd);
  g_log = nullptr;
}

// A subclass the way the toolkit's hook manager does it: remember the old procedure, pass everything on, and
// put the old one back when the window goes.
WNDPROC g_previous = nullptr;
int g_subclassSaw = 0;

LRESULT Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  ++g_subclassSaw;
  WNDPROC previous = g_previous;
  if (msg == WM_APP) {
    g_log->push_back("subclass WM_APP");
  }
  if (msg == WM_NCDESTROY) {
    g_log->push_back("subclass WM_NCDESTROY");
    SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    g_previous = nullptr;
  }
  return CallWindowProc(previous, hwnd, msg, wParam, lParam);
}

TEST(Subclassing, ChainsProceduresAndRestoresTheOriginalAtNcDestroy)
{
  std::vector<std::string> log;
  g_log = &log;
  HWND hwnd = MakeWindow();
  g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  EXPECT_EQ(g_previous, &Proc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC)), &Subclass);
  SendMessage(hwnd, WM_APP, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"subclass WM_APP", "proc WM_APP"}));
  log.clear();
  DestroyWindow(hwnd);
  EXPECT_EQ(log, (std::vector<std::string>{"subclass WM_NCDESTROY", "original WM_NCDESTROY"}));
  EXPECT_EQ(g_previous, nullptr);
  g_log = nullptr;
}

}  // namespace
