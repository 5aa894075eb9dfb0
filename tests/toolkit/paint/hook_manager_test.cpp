// Clients of a hooked window see its messages newest first and can keep them from it; a window destroyed while
// hooked drops its clients before its last message. Keyboard clients get the thread's key-downs newest first.
#include "toolkit/paint/hook_manager.h"
#include "toolkit/paint/keyboard_manager.h"

#include "platform/mfc/wnd.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;
bool g_procRestoredAtNcDestroy = false;

std::string Name(UINT message)
{
  switch (message) {
    case WM_APP: return "WM_APP";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    default: return "";
  }
}

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCDESTROY) {
    g_procRestoredAtNcDestroy = GetWindowLongPtr(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc);
  }
  if (!Name(msg).empty()) {
    g_log.push_back("window " + Name(msg));
  }
  if (msg == WM_APP) {
    return 7;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = "TKHookManagerTest";
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return CreateWindowEx(0, "TKHookManagerTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                        nullptr, nullptr);
}

void Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// Logs what it is offered and answers as told; a key or message not in `answers` gets 0.
class Client : public CTKHookManagerHookAble {
public:
  explicit Client(std::string name) : m_name(std::move(name)) {}
  ~Client() override { TKHookManager().RemoveAll(this); }

  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT& lResult) override
  {
    if (Name(nMessage).empty()) {
      return 0;
    }
    g_log.push_back(m_name + " " + Name(nMessage) + (hWnd == nullptr ? " " + std::to_string(wParam) : ""));
    if (nMessage == WM_APP && destroyOnApp) {
      DestroyWindow(hWnd);
    }
    lResult = 42;
    const UINT key = hWnd == nullptr ? static_cast<UINT>(wParam) : nMessage;
    auto found = answers.find(key);
    return found == answers.end() ? 0 : found->second;
  }

  std::map<UINT, int> answers;
  bool destroyOnApp = false;

private:
  std::string m_name;
};

using Log = std::vector<std::string>;

TEST(HookManager, TwoClientsOnOneWindowAreOfferedItsMessagesNewestFirst)
{
  struct Case {
    const char* what;
    int laterAnswer;
    LRESULT result;
    Log log;
  };
  const std::vector<Case> cases{
      {"neither handles it", 0, 7, {"later WM_APP", "earlier WM_APP", "window WM_APP"}},
      {"the later one handles it", 1, 42, {"later WM_APP"}},
      {"the later one stops the offer", 2, 7, {"later WM_APP", "window WM_APP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HWND hwnd = MakeWindow();
    Client earlier("earlier");
    Client later("later");
    later.answers[WM_APP] = c.laterAnswer;
    TKHookManager().SetHook(hwnd, &earlier);
    TKHookManager().SetHook(hwnd, &later);
    TKHookManager().SetHook(hwnd, &earlier);
    EXPECT_EQ(TKHookManager().GetClientCount(hwnd), 2);
    g_log.clear();
    EXPECT_EQ(SendMessage(hwnd, WM_APP, 0, 0), c.result);
    EXPECT_EQ(g_log, c.log);
    TKHookManager().RemoveHook(hwnd, &later);
    TKHookManager().RemoveHook(hwnd, &earlier);
    EXPECT_EQ(GetWindowLongPtr(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Proc));
    DestroyWindow(hwnd);
  }

  // A client leaving everything lets go of every window it watched, and only of those it was alone on.
  HWND first = MakeWindow();
  HWND second = MakeWindow();
  Client shadow("shadow");
  Client menu("menu");
  TKHookManager().SetHook(first, &shadow);
  TKHookManager().SetHook(second, &shadow);
  TKHookManager().SetHook(second, &menu);
  TKHookManager().RemoveAll(&shadow);
  EXPECT_EQ(GetWindowLongPtr(first, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Proc));
  EXPECT_EQ(TKHookManager().GetClientCount(second), 1);
  TKHookManager().RemoveAll(second);
  EXPECT_EQ(GetWindowLongPtr(second, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Proc));
  DestroyWindow(first);
  DestroyWindow(second);
}

// Clients are often framework windows whose code asks for the message being handled (Default() passes it on).
class FrameworkClient : public CTKHookManagerHookAble {
public:
  MSG seen{};
  int OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) override
  {
    if (nMessage == WM_APP) {
      seen = *CWnd::GetCurrentMessage();
    }
    return 0;
  }
};

TEST(HookManager, ClientsSeeTheHookedMessageAsTheThreadsCurrentOneUntilItIsDone)
{
  HWND hwnd = MakeWindow();
  FrameworkClient client;
  TKHookManager().SetHook(hwnd, &client);
  EXPECT_EQ(SendMessage(hwnd, WM_APP, 5, 6), 7);
  EXPECT_EQ(client.seen.hwnd, hwnd);
  EXPECT_EQ(client.seen.message, static_cast<UINT>(WM_APP));
  EXPECT_EQ(client.seen.wParam, 5U);
  EXPECT_EQ(client.seen.lParam, 6);
  EXPECT_EQ(CWnd::GetCurrentMessage()->message, 0U);
  TKHookManager().RemoveHook(hwnd, &client);
  DestroyWindow(hwnd);
}

TEST(HookManager, AWindowDestroyedWhileHookedDropsItsClientsBeforeItsLastMessage)
{
  // The clients live on the heap so that a sink kept past the window's end would be seen using them.
  for (bool destroyedByAClient : {false, true}) {
    SCOPED_TRACE(destroyedByAClient ? "a client destroys the window while it is offered a message"
                                    : "the window is destroyed");
    HWND hwnd = MakeWindow();
    auto earlier = std::make_unique<Client>("earlier");
    auto later = std::make_unique<Client>("later");
    later->destroyOnApp = destroyedByAClient;
    TKHookManager().SetHook(hwnd, earlier.get());
    TKHookManager().SetHook(hwnd, later.get());
    g_log.clear();
    g_procRestoredAtNcDestroy = false;
    if (destroyedByAClient) {
      SendMessage(hwnd, WM_APP, 0, 0);
    } else {
      DestroyWindow(hwnd);
    }
    Log expected{"later WM_DESTROY", "earlier WM_DESTROY", "window WM_DESTROY", "window WM_NCDESTROY"};
    if (destroyedByAClient) {
      expected.insert(expected.begin(), "later WM_APP");
    }
    EXPECT_EQ(g_log, expected);
    EXPECT_TRUE(g_procRestoredAtNcDestroy);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(TKHookManager().GetClientCount(hwnd), 0);
    later.reset();
    TKHookManager().RemoveHook(hwnd, earlier.get());
    TKHookManager().RemoveAll(hwnd);
    earlier.reset();
  }
}

// The command bars' tracked bars, as the keyboard manager sees them.
int g_lockCount = 0;
int g_closes = 0;
const TK_TRACKEDBARS_SERVICE kTrackedBars{[] { return g_lockCount; }, [] { ++g_closes; }};

TEST(KeyboardManager, KeyDownsGoToTheNewestClientFirstAndWhatNobodyLetsThroughIsEaten)
{
  struct Key {
    UINT vk;
    bool down;
  };
  struct Case {
    const char* what;
    std::vector<std::map<UINT, int>> clients;  // answers of each client, oldest first
    std::vector<Key> keys;
    Log log;
    int closes = 0;
  };
  const std::vector<Case> cases{
      {"a popup over a menu bar: Left goes on to the bar, which takes it",
       {{{VK_LEFT, 1}}, {}},
       {{VK_LEFT, true}, {VK_LEFT, false}},
       {"client1 WM_KEYDOWN 37", "client0 WM_KEYDOWN 37", "window WM_KEYUP"}},
      {"the popup keeps Escape from the menu bar",
       {{}, {{VK_ESCAPE, 1}}},
       {{VK_ESCAPE, true}, {VK_ESCAPE, false}},
       {"client1 WM_KEYDOWN 27", "window WM_KEYUP"}},
      {"a key-down that no client lets through is eaten; its key-up passes",
       {{}},
       {{'C', true}, {'C', false}},
       {"client0 WM_KEYDOWN 67", "window WM_KEYUP"}},
      {"an answer of 2 lets the key reach the window",
       {{}, {{'A', 2}}},
       {{'A', true}, {'A', false}},
       {"client1 WM_KEYDOWN 65", "window WM_KEYDOWN", "window WM_KEYUP"}},
      {"Alt alone closes the tracked bars and the application never sees it; held, it passes",
       {{}},
       {{VK_MENU, true}, {VK_MENU, true}, {VK_MENU, false}},
       {"window WM_SYSKEYDOWN", "window WM_SYSKEYUP"},
       1},
      {"no client: the keys are the window's",
       {},
       {{'B', true}, {'B', false}},
       {"window WM_KEYDOWN", "window WM_KEYUP"}},
  };
  TKSetTrackedBarsService(&kTrackedBars);
  HWND hwnd = MakeWindow();
  SetFocus(hwnd);
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<Client>> clients;
    for (std::size_t i = 0; i < c.clients.size(); ++i) {
      clients.push_back(std::make_unique<Client>("client" + std::to_string(i)));
      clients.back()->answers = c.clients[i];
      TKKeyboardManager()->HookKeyboardTracking(clients.back().get());
    }
    g_log.clear();
    g_closes = 0;
    for (const Key& key : c.keys) {
      user::InjectKey(key.vk, key.down);
      Pump();
    }
    EXPECT_EQ(g_log, c.log);
    EXPECT_EQ(g_closes, c.closes);
    for (auto& client : clients) {
      TKKeyboardManager()->UnhookKeyboardTracking(client.get());
    }
    EXPECT_FALSE(TKKeyboardManager()->IsKeyboardHooked());
    EXPECT_FALSE(TKKeyboardManager()->IsCallWndProcHooked());
  }
  DestroyWindow(hwnd);
  TKSetTrackedBarsService(nullptr);
}

TEST(KeyboardManager, AltWhileAModalLoopHoldsTheLockAndDeactivationGoThroughTheClients)
{
  TKSetTrackedBarsService(&kTrackedBars);
  HWND hwnd = MakeWindow();
  SetFocus(hwnd);
  Pump();
  Client bar("bar");
  bar.answers[VK_MENU] = 2;
  TKKeyboardManager()->HookKeyboardTracking(&bar);
  g_lockCount = 1;
  g_closes = 0;
  g_log.clear();
  user::InjectKey(VK_MENU, true);
  user::InjectKey(VK_MENU, false);
  Pump();
  EXPECT_EQ(g_log, (Log{"bar WM_KEYDOWN 18", "window WM_SYSKEYDOWN", "window WM_SYSKEYUP"}));
  EXPECT_EQ(g_closes, 0);
  g_lockCount = 0;

  SendMessage(hwnd, WM_ACTIVATEAPP, TRUE, 0);
  EXPECT_EQ(g_closes, 0);
  SendMessage(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(g_closes, 1);
  TKKeyboardManager()->UnhookKeyboardTracking(&bar);
  SendMessage(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(g_closes, 1);
  DestroyWindow(hwnd);
  TKSetTrackedBarsService(nullptr);
}

}  // namespace
