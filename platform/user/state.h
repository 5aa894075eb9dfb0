// The window system's private state: windows, classes, thread queues and the one lock that guards them.
// Window procedures, hooks and timer procedures are never called with the lock held.
#pragma once

#include "platform/base/geometry.h"
#include "platform/gdi/region.h"
#include "platform/user/hooks.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gdi {
class Surface;
}
namespace display {
class Presenter;
}

namespace user::detail {

struct ThreadQueue;

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  std::vector<BYTE> extra;
};

struct ScrollState {
  int min = 0;
  int max = 100;
  int page = 0;
  int pos = 0;
  int trackPos = 0;
  bool disabled = false;
};

struct Window {
  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> cls;
  std::shared_ptr<ThreadQueue> queue;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // the desktop or message root for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // front to back
  RECT window{};               // in the parent's client coordinates
  RECT client{};               // likewise
  std::string text;
  HICON icon = nullptr;       // WM_SETICON's; the class's stands in when unset
  HICON iconSmall = nullptr;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  UINT_PTR idOrMenu = 0;  // the control id of a child, the menu of a top-level window
  LONG_PTR userData = 0;
  std::vector<BYTE> extra;
  std::vector<std::pair<std::string, HANDLE>> props;
  // Painting
  gdi::Region invalid;  // client coordinates; empty when valid
  bool erasePending = false;
  bool ncPaintPending = false;
  bool internalPaint = false;
  bool redrawOff = false;
  bool ncActive = false;  // the caption shows as active
  HDC ownDC = nullptr;    // CS_OWNDC windows keep one DC for life
  // Placement
  RECT normalRect{};
  POINT minPos{-1, -1};
  POINT maxPos{-1, -1};
  bool restoreToMaximized = false;
  // Lifecycle
  bool destroying = false;
  bool nccreated = false;
  HWND lastActivePopup = nullptr;
  std::shared_ptr<gdi::Surface> surface;  // top-level windows: their pixels, frame included
  ScrollState hScroll;
  ScrollState vScroll;  // also the state of a scroll bar control
  // Layered windows: composed onto the screen with this alpha, and with their pixels' own alpha when set.
  BYTE layeredAlpha = 255;
  bool perPixelAlpha = false;
  // SetWindowRgn: the window's shape in window coordinates; none when absent.
  std::optional<gdi::Region> shape;
};

struct SentMessage {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
  bool notify = false;  // nobody waits for the answer
  std::shared_ptr<ThreadQueue> sender;
};

struct InputMessage {
  MSG msg;
  LRESULT hitTest = 0;
  bool keyboard = false;  // the window is the focus when the message is taken
  UINT vk = 0;            // keyboard: the key, for the key-state table
  // Mouse: the message in its client form and the key flags, for a window that takes the capture before the
  // message is taken: it goes to the capture then.
  UINT clientMessage = 0;
  WPARAM keys = 0;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  std::uint64_t due = 0;
};

struct Hook {
  HHOOK handle = nullptr;
  int type = 0;
  HOOKPROC proc = nullptr;
  bool removed = false;
};

// The posted messages, first in first out, in one block that only grows: a queue drained and filled again, as
// every message loop does, allocates nothing (a deque gave back and took a block every ten messages).
class PostedQueue {
public:
  bool empty() const { return m_count == 0; }
  std::size_t size() const { return m_count; }
  // The i-th from the front.
  MSG& operator[](std::size_t i) { return m_slots[(m_head + i) & m_mask]; }
  // A new last record, for the caller to fill in whole.
  MSG& Append()
  {
    Reserve();
    ++m_count;
    return (*this)[m_count - 1];
  }
  void push_back(const MSG& m) { Append() = m; }
  void push_front(const MSG& m)
  {
    Reserve();
    m_head = (m_head + m_mask) & m_mask;
    ++m_count;
    (*this)[0] = m;
  }
  void pop_front()
  {
    m_head = (m_head + 1) & m_mask;
    --m_count;
  }
  // Takes out the i-th; the rest keep their order.
  void erase(std::size_t i)
  {
    for (; i + 1 < m_count; ++i) {
      (*this)[i] = (*this)[i + 1];
    }
    --m_count;
  }

private:
  void Reserve()
  {
    if (m_count <= m_mask && m_slots) {
      return;
    }
    const std::size_t length = m_slots ? 2 * (m_mask + 1) : 64;
    auto bigger = std::make_unique<MSG[]>(length);
    for (std::size_t i = 0; i < m_count; ++i) {
      bigger[i] = (*this)[i];
    }
    m_slots = std::move(bigger);
    m_mask = length - 1;
    m_head = 0;
  }

  std::unique_ptr<MSG[]> m_slots;  // m_mask + 1 long, a power of two
  std::size_t m_mask = 0;
  std::size_t m_head = 0;
  std::size_t m_count = 0;
};

struct ThreadQueue {
  DWORD threadId = 0;
  bool alive = true;
  std::condition_variable wake;
  std::deque<std::shared_ptr<SentMessage>> sent;
  PostedQueue posted;
  std::deque<InputMessage> input;
  bool quit = false;
  int quitCode = 0;
  std::vector<std::shared_ptr<SentMessage>> receiving;  // innermost last
  HWND focus = nullptr;
  HWND active = nullptr;
  BYTE keyState[256] = {};
  bool altAlone = false;  // Alt went down and nothing else, key or button, since: its release opens the menu bar
  std::vector<Timer> timers;
  std::vector<std::shared_ptr<Hook>> hooks;  // oldest first
  std::uint64_t generation = 0;              // moves on whenever there may be something new to take
  int waiters = 0;                           // threads waiting on `wake`
  std::atomic<int> hookCount{0};             // hooks installed, read without the lock
  MSG lastMessage{};                         // GetMessageTime / GetMessagePos
  // Caret
  HWND caretWindow = nullptr;
  RECT caretRect{};
  int caretHide = 1;
  bool caretOn = false;
  // Hover tracking of TrackMouseEvent
  std::uint64_t hoverDue = 0;
};

struct State {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Window>> windows;
  // The last window looked up: most lookups are for the same window again.
  std::uintptr_t cachedKey = 0;
  Window* cachedWindow = nullptr;
  // Moves on when a window goes or its procedure changes, so that lock-free caches of procedures know.
  std::atomic<std::uint64_t> windowEpoch{0};
  std::uintptr_t nextHandle = 0x10010;
  std::vector<std::shared_ptr<WindowClass>> classes;
  std::map<DWORD, std::weak_ptr<ThreadQueue>> queues;
  std::shared_ptr<Window> desktop;
  std::shared_ptr<Window> messageRoot;
  // Input state of the whole system
  HWND capture = nullptr;
  std::shared_ptr<ThreadQueue> foreground;
  POINT cursor{};
  BYTE asyncKeys[256] = {};
  HCURSOR currentCursor = nullptr;
  int cursorShowCount = 0;
  UINT doubleClickMs = 500;
  // The last button press, for double clicks
  HWND lastClickWindow = nullptr;
  UINT lastClickButton = 0;
  std::uint64_t lastClickTime = 0;
  POINT lastClickPoint{};
  bool lastClickWasDouble = false;
  // TrackMouseEvent
  HWND trackWindow = nullptr;
  DWORD trackFlags = 0;
  DWORD trackHoverMs = 400;
  RECT hoverRect{};
  HWND mouseWindow = nullptr;  // under the cursor at the last move
  LRESULT mouseHitTest = HTNOWHERE;
  // Hooks
  std::uintptr_t nextHook = 1;
  // Atoms for classes, properties, registered messages and clipboard formats
  std::map<std::string, ATOM> atomsByName;
  std::map<ATOM, std::string> namesByAtom;
  ATOM nextAtom = 0xC000;
};

State& MakeState();
// Set once, by the first S(); read on every message, so it is a plain load.
inline std::atomic<State*> g_state{nullptr};
inline State& S()
{
  State* s = g_state.load(std::memory_order_acquire);
  return s != nullptr ? *s : MakeState();
}
using Lock = std::unique_lock<std::mutex>;

// With the lock held.
Window* FindInTable(HWND hwnd);
inline Window* Find(HWND hwnd)
{
  State& s = S();
  const auto key = reinterpret_cast<std::uintptr_t>(hwnd);
  return key == s.cachedKey && key != 0 ? s.cachedWindow : FindInTable(hwnd);
}
std::shared_ptr<Window> FindShared(HWND hwnd);
std::shared_ptr<ThreadQueue> CurrentQueueLocked();
std::shared_ptr<ThreadQueue> CurrentQueue();  // takes the lock
// The calling thread's queue; takes the lock only the first time.
inline thread_local ThreadQueue* t_currentQueue = nullptr;
ThreadQueue* MakeCurrentQueue();
inline ThreadQueue* CurrentQueueFast()
{
  ThreadQueue* q = t_currentQueue;
  return q != nullptr ? q : MakeCurrentQueue();
}
// Removes a window from the handle table.
void EraseWindow(HWND hwnd);
// A message's time stamp: the tick count, read coarsely as Windows' is.
DWORD MessageTime();
DWORD CurrentThreadId();
bool IsTopLevel(const Window& w);
bool IsDesktopOrRoot(HWND hwnd);
// The client origin of a window in screen coordinates.
POINT ClientOrigin(const Window& w);
RECT WindowRectOnScreen(const Window& w);
HWND TopLevelOf(HWND hwnd);
bool IsVisibleChain(const Window& w);
// Whether a point of the window's rectangle, relative to its top-left corner, lies inside its region (always
// without one).
bool InWindowShape(const Window& w, int x, int y);
bool IsDescendant(HWND ancestor, HWND hwnd);
bool WantsPaint(const Window& w);
ATOM AddAtomLocked(const std::string& name);
std::string AtomName(ATOM atom);
// A class or property name that may be an atom, as a key.
std::string NameKey(LPCSTR name);
// Threads inside MsgWaitForMultipleObjects: queue news must wake the kernel waits too.
inline std::atomic<int> g_msgWaiters{0};
// The QS_ bits of what the queue holds now.
UINT QueueStatusLocked(ThreadQueue& q);
// Tells a waiting thread that there may be something new for it.
void WakeQueue(ThreadQueue& q);
void WakeWindowQueue(HWND hwnd);

// Draws the drag image over a composed screen; takes no lock of the window system's.
void ComposeDragImage(gdi::Surface& screen);

// Without the lock.
LRESULT SendSameThread(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void HandleSent(const std::shared_ptr<SentMessage>& sm);
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam, bool* any);
void DestroyThreadWindowsQuietly(ThreadQueue& q);
// Frees the own DC of a window that is gone.
void ForgetWindowDCs(HWND hwnd);
// Points the own DCs of a window and its children at where they are now, after a move or a resize.
void ReaimOwnDCs(HWND hwnd);
// Activation, focus and capture for windows that go away or hide.
void WindowHidden(HWND hwnd);
void WindowDestroyed(HWND hwnd);
// Non-client geometry of a window of the given styles.
RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu);
LRESULT DefaultHitTest(HWND hwnd, POINT screen);
// Where the caption's parts lie, in window coordinates (0, 0 at the window's top-left corner); empty when absent.
struct CaptionLayout {
  RECT caption{};
  RECT sysMenu{};
  RECT minimize{};
  RECT maximize{};
  RECT close{};
  RECT menuBar{};
};
CaptionLayout LayoutCaption(const Window& w);
bool HasMenuBar(const Window& w);
// Mouse activation and WM_SETCURSOR for a taken mouse message; false when the message is eaten.
bool ProcessMouseMessage(MSG& msg, LRESULT hitTest, bool remove);
void UpdateKeyStateForMessage(ThreadQueue& q, const InputMessage& in);
// A press on a window's own scroll bar (hit HTHSCROLL or HTVSCROLL), tracked until release.
void TrackScrollBar(HWND hwnd, int bar, POINT screen);
// Draws a scroll bar (SB_HORZ or SB_VERT) of the given state into `r`.
void PaintScrollBar(HDC dc, const RECT& r, bool vertical, const ScrollState& state);
// Runs the move or size loop of a window from a WM_SYSCOMMAND.
void MoveSizeLoop(HWND hwnd, WPARAM command, POINT start);

}  // namespace user::detail

namespace user::detail {
// Activation of a top-level window of the calling thread (null deactivates); false when refused.
bool Activate(HWND hwnd, bool byMouse);
// Whether a top-level window is above every visible window that is not its own.
bool IsAtTopForActivation(const Window& w);
// Activates another window when `leaving` hides or goes away while active.
void ActivateOther(HWND leaving);
// The window under a screen point, asking WM_NCHITTEST and looking through transparent ones.
HWND HitWindow(POINT screen, LRESULT* hitTest);
}  // namespace user::detail

namespace user::detail {
// The menu bar of a top-level window: drawn into its frame, and tracked from a click or the keyboard.
void PaintMenuBar(HWND hwnd, HDC dc, const RECT& bar);
void TrackMenuBar(HWND hwnd, POINT screen, UINT key);
}  // namespace user::detail

namespace user::detail {
// The screen: connected when the window system starts, told of every top-level window and of painted pixels.
display::Presenter& ConnectPresenter();
void NotifyTopLevel(HWND hwnd);
void NotifyGone(HWND hwnd);
// `dirty` in the top-level window's coordinates.
void PresentTopLevel(HWND anyWindowOfIt, const RECT& dirty);
// Shows what window DCs drew since the last look and still hold (a window's own DC, a DC not yet released): each
// DC's area once, however often it drew. Called whenever a thread looks for its next message, so a frame reaches
// the screen before the next input is handled.
void PresentDrawnDCs();
void PresentCursor(HWND topLevel, int systemCursor);
// The screen's clipboard: what other programs copied (false when nothing, or it is ours), and what we offer.
bool ScreenClipboardText(std::string& cp1251);
void OfferScreenClipboardText(const std::string& cp1251);
}  // namespace user::detail
