// The menu loop: popup menu windows, keyboard and mouse tracking, and the menu bar of a top-level window.
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/menu_data.h"
#include "platform/user/paint.h"
#include "platform/user/state.h"

#include <algorithm>

using namespace user::detail;

namespace {

constexpr int kItemHeight = 18;
constexpr int kSeparatorHeight = 8;
constexpr int kCheckWidth = 20;
constexpr int kArrowWidth = 16;
constexpr int kMargin = 2;
constexpr int kBarPadding = 8;

HFONT MenuFont()
{
  static HFONT font = CreateFont(-11, 0, 0, 0, 400, 0, 0, 0, 204, 0, 0, 0, 0, "Tahoma");
  return font;
}

int TextWidth(const std::string& text)
{
  static HDC measure = [] {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, MenuFont());
    return dc;
  }();
  RECT r{0, 0, 0, 0};
  DrawText(measure, text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
  return r.Width();
}

// One open popup: its menu, its window and where its items lie in the window's client area.
struct Level {
  HMENU menu = nullptr;
  HWND window = nullptr;
  std::vector<RECT> items;
  int selected = -1;
};

struct Snapshot {
  std::vector<HMENU__::Item> items;
};

Snapshot Copy(HMENU menu)
{
  std::lock_guard lock(MenuMutex());
  Snapshot s;
  if (HMENU__* m = LiveMenu(menu)) {
    s.items = m->items;
  }
  return s;
}

bool Selectable(const HMENU__::Item& it) { return (it.type & MFT_SEPARATOR) == 0; }
bool Enabled(const HMENU__::Item& it) { return (it.state & (MF_GRAYED | MF_DISABLED)) == 0; }

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LPCSTR PopupClass()
{
  static bool done = [] {
    WNDCLASS wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = &PopupProc;
    wc.lpszClassName = "#32768";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_MENU + 1));
    return RegisterClass(&wc) != 0;
  }();
  (void)done;
  return "#32768";
}

void DrawCheck(HDC dc, const RECT& r, COLORREF color)
{
  HPEN pen = CreatePen(0, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  const int x = r.left + 5;
  const int y = (r.top + r.bottom) / 2;
  for (int d = 0; d < 2; ++d) {
    MoveToEx(dc, x, y - 1 + d, nullptr);
    LineTo(dc, x + 3, y + 2 + d);
    LineTo(dc, x + 9, y - 4 + d);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

// A check-mark bitmap centred in the check column, combined with what is there by AND.
void DrawCheckBitmap(HDC dc, const RECT& r, HBITMAP mark)
{
  BITMAP b{};
  if (GetObject(mark, sizeof b, &b) == 0) {
    return;
  }
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, mark);
  const int width = std::min<int>(b.bmWidth, kCheckWidth);
  const int height = std::min<int>(b.bmHeight, r.bottom - r.top);
  BitBlt(dc, r.left + (kCheckWidth - width) / 2, (r.top + r.bottom - height) / 2, width, height, source, 0, 0, SRCAND);
  SelectObject(source, old);
  DeleteDC(source);
}

void DrawArrow(HDC dc, const RECT& r, COLORREF color)
{
  HPEN pen = CreatePen(0, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  const int x = r.right - 10;
  const int y = (r.top + r.bottom) / 2;
  for (int i = 0; i < 4; ++i) {
    MoveToEx(dc, x + i, y - 3 + i, nullptr);
    LineTo(dc, x + i, y + 4 - i);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

void PaintItem(HDC dc, const HMENU__::Item& it, RECT r, bool selected)
{
  if (!Selectable(it)) {
    RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, (r.top + r.bottom) / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  COLORREF color = GetSysColor(!Enabled(it) ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, MenuFont());
  RECT text{r.left + kCheckWidth, r.top, r.right - kArrowWidth, r.bottom};
  std::string label = LabelOf(it.text);
  DrawText(dc, label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  std::string shortcut = ShortcutOf(it.text);
  if (!shortcut.empty()) {
    DrawText(dc, shortcut.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  }
  SelectObject(dc, old);
  const bool checked = (it.state & MF_CHECKED) != 0;
  if (HBITMAP mark = checked ? it.checkedMark : it.uncheckedMark) {
    DrawCheckBitmap(dc, r, mark);
  } else if (checked) {
    DrawCheck(dc, r, color);
  }
  if (it.sub != nullptr) {
    DrawArrow(dc, r, color);
  }
}

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (auto* level = reinterpret_cast<Level*>(GetWindowLongPtr(hwnd, GWLP_USERDATA))) {
      Snapshot s = Copy(level->menu);
      for (std::size_t i = 0; i < s.items.size() && i < level->items.size(); ++i) {
        PaintItem(dc, s.items[i], level->items[i], static_cast<int>(i) == level->selected);
      }
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_MOUSEACTIVATE) {
    return MA_NOACTIVATE;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The menu loop of one TrackPopupMenu or one menu-bar popup.
class Tracker {
public:
  enum class Exit { None, Chosen, Cancel, BarLeft, BarRight, BarGoto };

  Tracker(HWND owner, UINT flags) : owner_(owner), flags_(flags), notify_((flags & TPM_NONOTIFY) == 0) {}
  ~Tracker()
  {
    while (!levels_.empty()) {
      CloseDeepest();
    }
  }

  // The bar a popup hangs from: Left and Right leave towards its neighbours, and the mouse may move along it.
  void SetBar(HWND barWindow, std::vector<RECT> barItemsOnScreen, int current)
  {
    barWindow_ = barWindow;
    barItems_ = std::move(barItemsOnScreen);
    barCurrent_ = current;
  }

  // `selectFirst`: opened from the keyboard, the first item starts selected.
  Exit Run(HMENU menu, POINT at, UINT align, bool selectFirst = false)
  {
    Open(menu, at, align, 0);
    if (levels_.empty()) {
      return Exit::Cancel;
    }
    if (selectFirst) {
      Move(+1);
    }
    HWND first = levels_.front()->window;
    SetCapture(first);
    MSG msg{};
    while (exit_ == Exit::None) {
      if (GetCapture() != first || Ended()) {
        exit_ = Exit::Cancel;
        break;
      }
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        exit_ = Exit::Cancel;
        break;
      }
      if (CallMsgFilter(&msg, MSGF_MENU)) {
        continue;
      }
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
          TranslateMessage(&msg);
          Key(static_cast<UINT>(msg.wParam));
          break;
        case WM_CHAR:
        case WM_SYSCHAR: Char(static_cast<int>(msg.wParam)); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE: Mouse(msg.pt, false, false, false); break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN: Mouse(msg.pt, true, false, false); break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP: Mouse(msg.pt, false, true, false); break;
        case WM_RBUTTONUP:
        case WM_NCRBUTTONUP: Mouse(msg.pt, false, (flags_ & TPM_RIGHTBUTTON) != 0, true); break;
        default: DispatchMessage(&msg); break;
      }
    }
    if (GetCapture() == first) {
      ReleaseCapture();
    }
    while (!levels_.empty()) {
      CloseDeepest();
    }
    return exit_;
  }

  UINT Chosen() const { return chosen_; }
  int BarTarget() const { return barTarget_; }

  static void EndAll() { ended_ = true; }
  static void Reset() { ended_ = false; }

private:
  static bool Ended() { return ended_; }

  void Open(HMENU menu, POINT at, UINT align, int indexInParent)
  {
    if (notify_) {
      SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                  MAKELPARAM(static_cast<unsigned>(indexInParent), FALSE));
    }
    Snapshot s = Copy(menu);
    auto level = std::make_unique<Level>();
    level->menu = menu;
    int width = 0;
    for (const HMENU__::Item& it : s.items) {
      int w = kCheckWidth + TextWidth(LabelOf(it.text)) + kArrowWidth;
      std::string shortcut = ShortcutOf(it.text);
      if (!shortcut.empty()) {
        w += kArrowWidth + TextWidth(shortcut);
      }
      width = std::max(width, w);
    }
    int y = kMargin;
    for (const HMENU__::Item& it : s.items) {
      int h = Selectable(it) ? kItemHeight : kSeparatorHeight;
      level->items.push_back(RECT{kMargin, y, kMargin + width, y + h});
      y += h;
    }
    RECT frame{0, 0, width + 2 * kMargin, y + kMargin};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, 0);
    int cx = frame.Width();
    int cy = frame.Height();
    if ((align & TPM_CENTERALIGN) != 0) {
      at.x -= cx / 2;
    } else if ((align & TPM_RIGHTALIGN) != 0) {
      at.x -= cx;
    }
    if ((align & TPM_VCENTERALIGN) != 0) {
      at.y -= cy / 2;
    } else if ((align & TPM_BOTTOMALIGN) != 0) {
      at.y -= cy;
    }
    at.x = std::clamp<LONG>(at.x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - cx));
    at.y = std::clamp<LONG>(at.y, 0, std::max(0, GetSystemMetrics(SM_CYSCREEN) - cy));
    level->window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, PopupClass(), "",
                                   WS_POPUP | WS_BORDER, at.x, at.y, cx, cy, owner_, nullptr, nullptr, nullptr);
    SetWindowLongPtr(level->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(level.get()));
    ShowWindow(level->window, SW_SHOWNA);
    levels_.push_back(std::move(level));
  }

  void CloseDeepest()
  {
    std::unique_ptr<Level> level = std::move(levels_.back());
    levels_.pop_back();
    DestroyWindow(level->window);
    if (notify_) {
      SendMessage(owner_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level->menu), 0);
    }
    if (!levels_.empty() && GetCapture() == nullptr) {
      SetCapture(levels_.front()->window);
    }
  }

  void Select(Level& level, int index)
  {
    if (level.selected == index) {
      return;
    }
    level.selected = index;
    InvalidateRect(level.window, nullptr, TRUE);
    if (notify_ && index >= 0) {
      Snapshot s = Copy(level.menu);
      const HMENU__::Item& it = s.items[static_cast<std::size_t>(index)];
      UINT flags = it.type | it.state | (it.sub != nullptr ? MF_POPUP : 0u);
      UINT id = it.sub != nullptr ? static_cast<UINT>(index) : it.id;
      SendMessage(owner_, WM_MENUSELECT, MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(level.menu));
    }
  }

  void Move(int step)
  {
    Level& level = *levels_.back();
    Snapshot s = Copy(level.menu);
    const int n = static_cast<int>(s.items.size());
    if (n == 0) {
      return;
    }
    int i = level.selected;
    for (int tries = 0; tries < n; ++tries) {
      i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
      if (Selectable(s.items[static_cast<std::size_t>(i)])) {
        Select(level, i);
        return;
      }
    }
  }

  void OpenSelected()
  {
    Level& level = *levels_.back();
    Snapshot s = Copy(level.menu);
    if (level.selected < 0) {
      return;
    }
    const HMENU__::Item& it = s.items[static_cast<std::size_t>(level.selected)];
    if (it.sub == nullptr || !Enabled(it)) {
      return;
    }
    RECT r = level.items[static_cast<std::size_t>(level.selected)];
    POINT at{r.right, r.top};
    ClientToScreen(level.window, &at);
    Open(it.sub, at, 0, level.selected);
    Move(+1);
  }

  void Activate(const HMENU__::Item& it, int index, Level& level)
  {
    Select(level, index);
    if (it.sub != nullptr) {
      OpenSelected();
    } else if (Enabled(it)) {
      chosen_ = it.id;
      exit_ = Exit::Chosen;
    }
  }

  void Key(UINT vk)
  {
    Level& level = *levels_.back();
    switch (vk) {
      case VK_DOWN: Move(+1); break;
      case VK_UP: Move(-1); break;
      case VK_RIGHT: {
        Snapshot s = Copy(level.menu);
        if (level.selected >= 0 && s.items[static_cast<std::size_t>(level.selected)].sub != nullptr) {
          OpenSelected();
        } else if (barWindow_ != nullptr) {
          exit_ = Exit::BarRight;
        }
        break;
      }
      case VK_LEFT:
        if (levels_.size() > 1) {
          CloseDeepest();
        } else if (barWindow_ != nullptr) {
          exit_ = Exit::BarLeft;
        }
        break;
      case VK_RETURN: {
        Snapshot s = Copy(level.menu);
        if (level.selected >= 0) {
          Activate(s.items[static_cast<std::size_t>(level.selected)], level.selected, level);
        }
        break;
      }
      case VK_ESCAPE:
        if (levels_.size() > 1) {
          CloseDeepest();
        } else {
          exit_ = Exit::Cancel;
        }
        break;
      case VK_MENU:
      case VK_F10: exit_ = Exit::Cancel; break;
      default: break;
    }
  }

  void Char(int ch)
  {
    Level& level = *levels_.back();
    Snapshot s = Copy(level.menu);
    const int key = LowerCp1251(ch);
    std::vector<int> matches;
    for (std::size_t i = 0; i < s.items.size(); ++i) {
      if (Selectable(s.items[i]) && MnemonicOf(LabelOf(s.items[i].text)) == key) {
        matches.push_back(static_cast<int>(i));
      }
    }
    if (matches.size() == 1) {
      Activate(s.items[static_cast<std::size_t>(matches[0])], matches[0], level);
    } else if (matches.size() > 1) {
      auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
      Select(level, next == matches.end() ? matches.front() : *next);
    }
  }

  void Mouse(POINT screen, bool down, bool up, bool right)
  {
    (void)right;
    for (std::size_t li = levels_.size(); li-- > 0;) {
      Level& level = *levels_[li];
      RECT on;
      GetWindowRect(level.window, &on);
      if (!on.Contains(screen)) {
        continue;
      }
      POINT local = screen;
      ScreenToClient(level.window, &local);
      Snapshot s = Copy(level.menu);
      for (std::size_t i = 0; i < level.items.size(); ++i) {
        if (!level.items[i].Contains(local) || !Selectable(s.items[i])) {
          continue;
        }
        while (levels_.size() > li + 1) {
          if (levels_[li + 1]->menu == s.items[i].sub) {
            break;
          }
          CloseDeepest();
        }
        Select(level, static_cast<int>(i));
        if (s.items[i].sub != nullptr) {
          if (levels_.size() == li + 1) {
            OpenSelected();
          }
        } else if (up && Enabled(s.items[i])) {
          chosen_ = s.items[i].id;
          exit_ = Exit::Chosen;
        }
        return;
      }
      return;
    }
    for (std::size_t i = 0; i < barItems_.size(); ++i) {
      if (barItems_[i].Contains(screen)) {
        if (static_cast<int>(i) != barCurrent_ && !up) {
          barTarget_ = static_cast<int>(i);
          exit_ = Exit::BarGoto;
        } else if (down && static_cast<int>(i) == barCurrent_) {
          exit_ = Exit::Cancel;
        }
        return;
      }
    }
    if (down) {
      exit_ = Exit::Cancel;
    }
  }

  HWND owner_;
  UINT flags_;
  bool notify_;
  std::vector<std::unique_ptr<Level>> levels_;
  Exit exit_ = Exit::None;
  UINT chosen_ = 0;
  HWND barWindow_ = nullptr;
  std::vector<RECT> barItems_;
  int barCurrent_ = -1;
  int barTarget_ = -1;
  static inline bool ended_ = false;
};

// Where the bar's items lie, in window coordinates.
std::vector<RECT> BarItems(HMENU menu, const RECT& bar)
{
  Snapshot s = Copy(menu);
  std::vector<RECT> out;
  int x = bar.left;
  for (const HMENU__::Item& it : s.items) {
    int w = TextWidth(LabelOf(it.text)) + 2 * kBarPadding;
    out.push_back(RECT{x, bar.top, x + w, bar.bottom});
    x += w;
  }
  return out;
}

HWND g_barHotWindow = nullptr;
int g_barHotIndex = -1;

void SetBarHot(HWND hwnd, int index)
{
  g_barHotWindow = index >= 0 ? hwnd : nullptr;
  g_barHotIndex = index;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

}  // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
  if (!IsMenu(menu) || !IsWindow(owner)) {
    return FALSE;
  }
  const bool notify = (flags & TPM_NONOTIFY) == 0;
  Tracker::Reset();
  SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
  Tracker tracker(owner, flags);
  Tracker::Exit exit = tracker.Run(menu, POINT{x, y}, flags);
  if (notify) {
    SendMessage(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  }
  SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
  if (exit != Tracker::Exit::Chosen) {
    return 0;
  }
  if ((flags & TPM_RETURNCMD) != 0) {
    return static_cast<BOOL>(tracker.Chosen());
  }
  PostMessage(owner, WM_COMMAND, tracker.Chosen(), 0);
  return TRUE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS*)
{
  return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}

BOOL EndMenu()
{
  Tracker::EndAll();
  PostMessage(nullptr, WM_NULL, 0, 0);
  return TRUE;
}

HMENU GetMenu(HWND hwnd)
{
  Lock lock(S().mutex);
  Window* w = Find(hwnd);
  if (w == nullptr || (w->style & WS_CHILD) != 0) {
    return nullptr;
  }
  return reinterpret_cast<HMENU>(w->idOrMenu);
}

BOOL SetMenu(HWND hwnd, HMENU menu)
{
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || (w->style & WS_CHILD) != 0) {
      return FALSE;
    }
    w->idOrMenu = reinterpret_cast<UINT_PTR>(menu);
  }
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return TRUE;
}

BOOL DrawMenuBar(HWND hwnd) { return RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN); }

namespace user::detail {

void PaintMenuBar(HWND hwnd, HDC dc, const RECT& bar)
{
  HMENU menu = GetMenu(hwnd);
  RECT area = bar;
  FillRect(dc, &area, GetSysColorBrush(COLOR_MENU));
  Snapshot s = Copy(menu);
  std::vector<RECT> items = BarItems(menu, bar);
  HGDIOBJ old = SelectObject(dc, MenuFont());
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const bool hot = g_barHotWindow == hwnd && g_barHotIndex == static_cast<int>(i);
    RECT r = items[i];
    if (hot) {
      FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetTextColor(dc, GetSysColor(!Enabled(s.items[i]) ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    std::string label = LabelOf(s.items[i].text);
    DrawText(dc, label.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  SelectObject(dc, old);
}

void TrackMenuBar(HWND hwnd, POINT screen, UINT key)
{
  HMENU menu = GetMenu(hwnd);
  if (!IsMenu(menu)) {
    return;
  }
  RECT bar;
  RECT window;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr) {
      return;
    }
    bar = LayoutCaption(*w).menuBar;
    window = WindowRectOnScreen(*w);
  }
  std::vector<RECT> items = BarItems(menu, bar);
  std::vector<RECT> onScreen;
  for (const RECT& r : items) {
    onScreen.push_back(r.Offset(window.left, window.top));
  }
  const int n = static_cast<int>(items.size());
  if (n == 0) {
    return;
  }
  int index = 0;
  Snapshot s = Copy(menu);
  const bool byMouse = screen.x >= 0 || screen.y >= 0;
  if (byMouse) {
    index = -1;
    for (int i = 0; i < n; ++i) {
      if (onScreen[static_cast<std::size_t>(i)].Contains(screen)) {
        index = i;
      }
    }
  } else if (key != 0) {
    index = -1;
    for (int i = 0; i < n; ++i) {
      if (MnemonicOf(LabelOf(s.items[static_cast<std::size_t>(i)].text)) == LowerCp1251(static_cast<int>(key))) {
        index = i;
        break;
      }
    }
  }
  if (index < 0) {
    return;
  }
  SendMessage(hwnd, WM_ENTERMENULOOP, FALSE, 0);
  SendMessage(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  Tracker::Reset();
  UINT chosen = 0;
  bool done = false;
  bool keyboard = !byMouse;
  while (!done) {
    SetBarHot(hwnd, index);
    s = Copy(menu);
    const HMENU__::Item& it = s.items[static_cast<std::size_t>(index)];
    if (it.sub == nullptr) {
      if (Enabled(it)) {
        chosen = it.id;
      }
      break;
    }
    Tracker tracker(hwnd, 0);
    tracker.SetBar(hwnd, onScreen, index);
    const RECT& r = onScreen[static_cast<std::size_t>(index)];
    switch (tracker.Run(it.sub, POINT{r.left, r.bottom}, 0, keyboard)) {
      case Tracker::Exit::Chosen:
        chosen = tracker.Chosen();
        done = true;
        break;
      case Tracker::Exit::BarLeft:
        index = (index + n - 1) % n;
        keyboard = true;
        break;
      case Tracker::Exit::BarRight:
        index = (index + 1) % n;
        keyboard = true;
        break;
      case Tracker::Exit::BarGoto: index = tracker.BarTarget(); break;
      default: done = true; break;
    }
  }
  SetBarHot(hwnd, -1);
  SendMessage(hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  SendMessage(hwnd, WM_EXITMENULOOP, FALSE, 0);
  if (chosen != 0) {
    PostMessage(hwnd, WM_COMMAND, chosen, 0);
  }
}

}  // namespace user::detail
