// The x11 presenter: a thin adapter over Xlib. Each top-level window is an X window without decoration of the
// screen's own (the window system draws its frames); pixels are copied over with XPutImage; a reader thread turns
// X input into input events for the window system: the pointer and its buttons and wheels, keys with the text the
// screen's keyboard layout types (through its input method when there is one), the window manager's close, move,
// size and focus changes.
#include "platform/display/presenter.h"
#include "platform/base/codepage.h"
#include "platform/gdi/surface.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Xlib last: its macros (Bool, Status, True, False, None) must not reach anything else.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <chrono>
#include <condition_variable>

namespace display {

namespace {

// The XDND protocol version we speak: the one file managers and browsers use.
constexpr long kXdndVersion = 5;

constexpr UINT kVkPacket = 0xE7;
constexpr WORD kLanguageLatin = 0x0409;
constexpr WORD kLanguageCyrillic = 0x0419;

// Cyrillic key symbols 0x6C0-0x6DF in their order (upper case 0x6E0-0x6FF is the same, 0x20 below in Unicode),
// and 0x6A1-0x6AF (upper case 0x6B1-0x6BF).
constexpr char32_t kCyrillicLower[] = U"юабцдефгхийклмнопярстужвьызшэщчъ";
constexpr char32_t kCyrillicOther[] = U"ђѓёєѕіїјљњћќґўџ";
constexpr char32_t kCyrillicOtherUpper[] = U"ЂЃЁЄЅІЇЈЉЊЋЌҐЎЏ";

// The character of a key symbol, or 0.
char32_t CharacterOf(KeySym sym)
{
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) {
    return static_cast<char32_t>(sym);
  }
  if ((sym & 0xFF000000) == 0x01000000) {
    return static_cast<char32_t>(sym & 0x00FFFFFF);
  }
  if (sym >= 0x6C0 && sym <= 0x6DF) {
    return kCyrillicLower[sym - 0x6C0];
  }
  if (sym >= 0x6E0 && sym <= 0x6FF) {
    return kCyrillicLower[sym - 0x6E0] - 0x20;
  }
  if (sym >= 0x6A1 && sym <= 0x6AF) {
    return kCyrillicOther[sym - 0x6A1];
  }
  if (sym >= 0x6B1 && sym <= 0x6BF) {
    return kCyrillicOtherUpper[sym - 0x6B1];
  }
  if (sym == 0x6B0) {
    return U'№';
  }
  return 0;
}

bool IsCyrillic(char32_t c) { return c >= 0x400 && c <= 0x4FF; }

// The key of a Russian letter where the Russian layout has it (ЙЦУКЕН over QWERTY), or 0.
UINT RussianKeyOf(char32_t c)
{
  static constexpr char32_t kOnLetters[] = U"фисвуапршолдьтщзйкыегмцчня";  // the keys A..Z
  if (c >= U'А' && c <= U'Я') {
    c += 0x20;
  } else if (c == U'Ё') {
    c = U'ё';
  }
  for (UINT i = 0; i < 26; ++i) {
    if (kOnLetters[i] == c) {
      return 'A' + i;
    }
  }
  switch (c) {
    case U'ж': return 0xBA;
    case U'э': return 0xDE;
    case U'х': return 0xDB;
    case U'ъ': return 0xDD;
    case U'б': return 0xBC;
    case U'ю': return 0xBE;
    case U'ё': return 0xC0;
    default: return 0;
  }
}

void AppendUtf8(std::string& out, char32_t c)
{
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Virtual keys of the X key symbols the program can receive.
UINT VirtualKeyOf(KeySym sym)
{
  if (sym >= XK_a && sym <= XK_z) {
    return static_cast<UINT>('A' + (sym - XK_a));
  }
  if (sym >= XK_A && sym <= XK_Z) {
    return static_cast<UINT>('A' + (sym - XK_A));
  }
  if (sym >= XK_0 && sym <= XK_9) {
    return static_cast<UINT>('0' + (sym - XK_0));
  }
  if (sym >= XK_F1 && sym <= XK_F12) {
    return static_cast<UINT>(0x70 + (sym - XK_F1));
  }
  if (sym >= XK_KP_0 && sym <= XK_KP_9) {
    return static_cast<UINT>(0x60 + (sym - XK_KP_0));
  }
  switch (sym) {
    case XK_BackSpace: return 0x08;
    case XK_Tab: return 0x09;
    case XK_Return:
    case XK_KP_Enter: return 0x0D;
    case XK_Shift_L: return 0xA0;
    case XK_Shift_R: return 0xA1;
    case XK_Control_L: return 0xA2;
    case XK_Control_R: return 0xA3;
    case XK_Alt_L: return 0xA4;
    case XK_Alt_R: return 0xA5;
    case XK_Pause: return 0x13;
    case XK_Caps_Lock: return 0x14;
    case XK_Escape: return 0x1B;
    case XK_space: return 0x20;
    case XK_Prior: return 0x21;
    case XK_Next: return 0x22;
    case XK_End: return 0x23;
    case XK_Home: return 0x24;
    case XK_Left: return 0x25;
    case XK_Up: return 0x26;
    case XK_Right: return 0x27;
    case XK_Down: return 0x28;
    case XK_Insert: return 0x2D;
    case XK_Delete: return 0x2E;
    case XK_KP_Multiply: return 0x6A;
    case XK_KP_Add: return 0x6B;
    case XK_KP_Subtract: return 0x6D;
    case XK_KP_Decimal: return 0x6E;
    case XK_KP_Divide: return 0x6F;
    case XK_Num_Lock: return 0x90;
    case XK_Scroll_Lock: return 0x91;
    case XK_semicolon: return 0xBA;
    case XK_equal: return 0xBB;
    case XK_comma: return 0xBC;
    case XK_minus: return 0xBD;
    case XK_period: return 0xBE;
    case XK_slash: return 0xBF;
    case XK_grave: return 0xC0;
    case XK_bracketleft: return 0xDB;
    case XK_backslash: return 0xDC;
    case XK_bracketright: return 0xDD;
    case XK_apostrophe: return 0xDE;
    default: return RussianKeyOf(CharacterOf(sym));
  }
}

class X11Presenter final : public Presenter {
public:
  explicit X11Presenter(Display* display) : dpy_(display)
  {
    screen_ = DefaultScreen(dpy_);
    root_ = RootWindow(dpy_, screen_);
    visual_ = DefaultVisual(dpy_, screen_);
    depth_ = DefaultDepth(dpy_, screen_);
    gc_ = DefaultGC(dpy_, screen_);
    // Pixels go over as they are only when the screen keeps 8 bits a channel in the surface's order.
    direct_ = (depth_ == 24 || depth_ == 32) && visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
              visual_->blue_mask == 0xFF;
    // A lost server must not end the program: the presenter goes quiet instead.
    XSetIOErrorHandler([](Display*) { return 0; });
    XSetIOErrorExitHandler(
        dpy_, [](Display*, void* self) { static_cast<X11Presenter*>(self)->dead_ = true; }, this);
    netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", 0);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", 0);
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", 0);
    targets_ = XInternAtom(dpy_, "TARGETS", 0);
    transfer_ = XInternAtom(dpy_, "TESMIRA_TRANSFER", 0);
    wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", 0);
    wmDeleteWindow_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", 0);
    xdndAware_ = XInternAtom(dpy_, "XdndAware", 0);
    xdndEnter_ = XInternAtom(dpy_, "XdndEnter", 0);
    xdndPosition_ = XInternAtom(dpy_, "XdndPosition", 0);
    xdndStatus_ = XInternAtom(dpy_, "XdndStatus", 0);
    xdndLeave_ = XInternAtom(dpy_, "XdndLeave", 0);
    xdndDrop_ = XInternAtom(dpy_, "XdndDrop", 0);
    xdndFinished_ = XInternAtom(dpy_, "XdndFinished", 0);
    xdndSelection_ = XInternAtom(dpy_, "XdndSelection", 0);
    xdndTypeList_ = XInternAtom(dpy_, "XdndTypeList", 0);
    xdndActionCopy_ = XInternAtom(dpy_, "XdndActionCopy", 0);
    uriList_ = XInternAtom(dpy_, "text/uri-list", 0);
    dropTransfer_ = XInternAtom(dpy_, "TESMIRA_DROP", 0);
    // A held key repeats as presses alone, as the window system's keys do.
    XkbSetDetectableAutoRepeat(dpy_, 1, nullptr);
    // The screen's input method composes text in any layout; without one, key symbols are read directly.
    im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
    // The screen's layout changes (its group) are told as they happen, and the one in force at the start.
    int opcode = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (XkbQueryExtension(dpy_, &opcode, &xkbEvent_, &error, &major, &minor) != 0) {
      XkbSelectEventDetails(dpy_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
      XkbStateRec state{};
      if (XkbGetState(dpy_, XkbUseCoreKbd, &state) == 0) {
        InputEvent e;
        e.kind = InputEvent::Kind::Layout;
        e.language = LanguageOfGroup(state.group);
        pending_.push_back(e);
      }
    } else {
      xkbEvent_ = -1;
    }
    // An unmapped window of our own owns the clipboard and receives what other programs send.
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    clipboardWindow_ = XCreateWindow(dpy_, root_, 0, 0, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                                     CWEventMask, &attrs);
    if (pipe(wake_) != 0) {
      wake_[0] = wake_[1] = -1;
    }
    reader_ = std::thread([this] { Read(); });
  }

  ~X11Presenter() override
  {
    stop_ = true;
    if (wake_[1] >= 0) {
      char c = 0;
      [[maybe_unused]] auto n = write(wake_[1], &c, 1);
    }
    reader_.join();
    if (!dead_) {
      for (auto& [xw, ic] : ics_) {
        XDestroyIC(ic);
      }
      if (im_ != nullptr) {
        XCloseIM(im_);
      }
      XCloseDisplay(dpy_);
    }
    close(wake_[0]);
    close(wake_[1]);
  }

  const char* Name() const override { return "x11"; }

  SIZE ScreenSize() const override
  {
    return SIZE{DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)};
  }

  void WindowChanged(const TopLevel& w) override
  {
    std::lock_guard lock(mutex_);
    if (dead_) {
      return;
    }
    auto it = windows_.find(w.id);
    const unsigned width = static_cast<unsigned>(std::max(1, static_cast<int>(w.rect.Width())));
    const unsigned height = static_cast<unsigned>(std::max(1, static_cast<int>(w.rect.Height())));
    ::Window xw;
    if (it == windows_.end()) {
      XSetWindowAttributes attrs{};
      attrs.override_redirect = w.unmanaged ? 1 : 0;
      attrs.background_pixel = BlackPixel(dpy_, screen_);
      attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                         KeyReleaseMask | StructureNotifyMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask;
      xw = XCreateWindow(dpy_, root_, w.rect.left, w.rect.top, width, height, 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
      windows_[w.id] = xw;
      ids_[xw] = w.id;
      mapped_[w.id] = false;
      if (im_ != nullptr) {
        XIC ic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, xw,
                           XNFocusWindow, xw, nullptr);
        if (ic != nullptr) {
          ics_[xw] = ic;
        }
      }
      Describe(xw, w);
      if (!w.unmanaged) {
        // The window manager's close button asks, and the window decides.
        XSetWMProtocols(dpy_, xw, &wmDeleteWindow_, 1);
        // The window system draws its own frame and caption: a window manager must not add its own.
        const long hints[5] = {2 /* decorations given */, 0, 0 /* none */, 0, 0};
        Atom motif = XInternAtom(dpy_, "_MOTIF_WM_HINTS", 0);
        XChangeProperty(dpy_, xw, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(hints),
                        5);
        // Files may be dropped on it; which window takes them is the window system's business.
        const long version = kXdndVersion;
        XChangeProperty(dpy_, xw, xdndAware_, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&version), 1);
      }
    } else {
      xw = it->second;
      MoveResize(xw, w.rect, width, height);
    }
    // The property is UTF-8 by its type; our titles are cp1251. WM_NAME carries the same for older tools.
    const std::string title = codepage::Cp1251ToUtf8(w.title);
    XChangeProperty(dpy_, xw, netWmName_, utf8_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    SetWmName(xw, title);
    // The owner may come or change after the window: the window manager keeps a transient above it.
    auto owner = w.owner != 0 ? windows_.find(w.owner) : windows_.end();
    if (owner != windows_.end() && owner->second != xw) {
      XSetTransientForHint(dpy_, xw, owner->second);
    } else {
      XDeleteProperty(dpy_, xw, XA_WM_TRANSIENT_FOR);
    }
    if (std::vector<std::uint32_t>& shown = icons_[w.id]; shown != w.icon) {
      shown = w.icon;
      Atom netWmIcon = XInternAtom(dpy_, "_NET_WM_ICON", 0);
      if (w.icon.empty()) {
        XDeleteProperty(dpy_, xw, netWmIcon);
      } else {
        // Format 32 is passed to Xlib as longs, whatever their width.
        const std::vector<long> cardinals(w.icon.begin(), w.icon.end());
        XChangeProperty(dpy_, xw, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(cardinals.data()), static_cast<int>(cardinals.size()));
      }
    }
    if (w.visible != mapped_[w.id]) {
      if (w.visible) {
        if (!w.unmanaged) {
          // The program places its windows (a dialog over its owner): a window manager keeps that place.
          XSizeHints placed{};
          placed.flags = PPosition | PSize | USPosition;
          placed.x = w.rect.left;
          placed.y = w.rect.top;
          placed.width = static_cast<int>(width);
          placed.height = static_cast<int>(height);
          XSetWMNormalHints(dpy_, xw, &placed);
        }
        XMapRaised(dpy_, xw);
        // Without a window manager nobody else places it.
        MoveResize(xw, w.rect, width, height);
      } else {
        XUnmapWindow(dpy_, xw);
      }
      mapped_[w.id] = w.visible;
    }
    XFlush(dpy_);
  }

  void WindowGone(std::uintptr_t id) override
  {
    std::lock_guard lock(mutex_);
    if (dead_) {
      return;
    }
    auto it = windows_.find(id);
    if (it == windows_.end()) {
      return;
    }
    if (auto ic = ics_.find(it->second); ic != ics_.end()) {
      XDestroyIC(ic->second);
      ics_.erase(ic);
    }
    asked_.erase(it->second);
    XDestroyWindow(dpy_, it->second);
    ids_.erase(it->second);
    windows_.erase(it);
    mapped_.erase(id);
    icons_.erase(id);
    XFlush(dpy_);
  }

  void WindowPainted(std::uintptr_t id, const gdi::Surface& pixels, const RECT& dirty) override
  {
    if (!direct_ || pixels.Width() <= 0 || pixels.Height() <= 0) {
      return;
    }
    RECT r = dirty.Intersect(RECT{0, 0, pixels.Width(), pixels.Height()});
    if (r.IsEmpty()) {
      return;
    }
    std::lock_guard lock(mutex_);
    auto it = windows_.find(id);
    if (dead_ || it == windows_.end()) {
      return;
    }
    XImage* image = XCreateImage(dpy_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels.Pixels())),
                                 static_cast<unsigned>(pixels.Width()), static_cast<unsigned>(pixels.Height()), 32,
                                 pixels.Stride());
    if (image == nullptr) {
      return;
    }
    XPutImage(dpy_, it->second, gc_, image, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.Width()),
              static_cast<unsigned>(r.Height()));
    image->data = nullptr;  // the surface keeps its pixels
    XDestroyImage(image);
    XFlush(dpy_);
  }

  void SetInputSink(InputSink sink) override
  {
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
  }

  bool Capture(gdi::Surface& out) override
  {
    std::lock_guard lock(mutex_);
    if (dead_) {
      return false;
    }
    XSync(dpy_, 0);
    const int w = DisplayWidth(dpy_, screen_);
    const int h = DisplayHeight(dpy_, screen_);
    XImage* image = XGetImage(dpy_, root_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes,
                              ZPixmap);
    if (image == nullptr) {
      return false;
    }
    out.Resize(w, h);
    std::uint32_t* dst = out.Pixels();
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        unsigned long p = XGetPixel(image, x, y);
        dst[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | static_cast<std::uint32_t>(p & 0xFFFFFFu);
      }
    }
    XDestroyImage(image);
    return true;
  }

  void Flush() override
  {
    std::lock_guard lock(mutex_);
    if (dead_) {
      return;
    }
    XSync(dpy_, 0);
  }

  void SetCursorShape(std::uintptr_t window, int systemCursor) override
  {
    std::lock_guard lock(mutex_);
    auto it = windows_.find(window);
    if (dead_ || it == windows_.end()) {
      return;
    }
    unsigned shape = XC_left_ptr;
    switch (systemCursor) {
      case 32513: shape = XC_xterm; break;
      case 32514: shape = XC_watch; break;
      case 32515: shape = XC_crosshair; break;
      case 32516: shape = XC_center_ptr; break;
      case 32642: shape = XC_bottom_right_corner; break;
      case 32643: shape = XC_bottom_left_corner; break;
      case 32644: shape = XC_sb_h_double_arrow; break;
      case 32645: shape = XC_sb_v_double_arrow; break;
      case 32646: shape = XC_fleur; break;
      case 32648: shape = XC_X_cursor; break;
      case 32649: shape = XC_hand2; break;
      case 32650: shape = XC_watch; break;
      case 32651: shape = XC_question_arrow; break;
      default: break;
    }
    auto cached = cursors_.find(shape);
    if (cached == cursors_.end()) {
      cached = cursors_.emplace(shape, XCreateFontCursor(dpy_, shape)).first;
    }
    XDefineCursor(dpy_, it->second, cached->second);
    XFlush(dpy_);
  }

  void OfferClipboardText(const std::string& utf8) override
  {
    std::lock_guard lock(mutex_);
    if (dead_) {
      return;
    }
    offered_ = utf8;
    XSetSelectionOwner(dpy_, clipboard_, clipboardWindow_, CurrentTime);
    XFlush(dpy_);
  }

  bool ForeignClipboardText(std::string& utf8) override
  {
    std::unique_lock lock(mutex_);
    if (dead_) {
      return false;
    }
    ::Window owner = XGetSelectionOwner(dpy_, clipboard_);
    if (owner == 0 || owner == clipboardWindow_) {
      return false;
    }
    received_.reset();
    answered_ = false;
    XDeleteProperty(dpy_, clipboardWindow_, transfer_);
    XConvertSelection(dpy_, clipboard_, utf8_, transfer_, clipboardWindow_, CurrentTime);
    XFlush(dpy_);
    // The answer comes through the reader thread; another program gets a second to give it.
    if (!arrived_.wait_for(lock, std::chrono::seconds(1), [this] { return answered_ || dead_; }) ||
        !received_.has_value()) {
      return false;
    }
    utf8 = *received_;
    return true;
  }

private:
  // Where we last asked a window to be, and the request's serial: the screen's notices older than that request
  // are stale, and one that only repeats it is our own echo.
  struct Asked {
    RECT rect{};
    unsigned long serial = 0;
  };

  // What a window manager and the desktop's tools read of a new window: who made it and what it is.
  void Describe(::Window xw, const TopLevel& w)
  {
    static const std::string instance = [] {
      std::string name = program_invocation_short_name;
      return name.empty() ? std::string("qorroad") : name;
    }();
    static std::string klass = [] {
      std::string name = instance;
      name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
      return name;
    }();
    XClassHint hint{const_cast<char*>(instance.c_str()), const_cast<char*>(klass.c_str())};
    XSetClassHint(dpy_, xw, &hint);
    const long pid = getpid();
    XChangeProperty(dpy_, xw, XInternAtom(dpy_, "_NET_WM_PID", 0), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
      XChangeProperty(dpy_, xw, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(host), static_cast<int>(std::strlen(host)));
    }
    const char* type = "_NET_WM_WINDOW_TYPE_NORMAL";
    switch (w.role) {
      case TopLevel::Role::Normal: break;
      case TopLevel::Role::Dialog: type = "_NET_WM_WINDOW_TYPE_DIALOG"; break;
      case TopLevel::Role::Menu: type = "_NET_WM_WINDOW_TYPE_POPUP_MENU"; break;
      case TopLevel::Role::Tooltip: type = "_NET_WM_WINDOW_TYPE_TOOLTIP"; break;
      case TopLevel::Role::Popup: type = "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"; break;
    }
    const long atom = static_cast<long>(XInternAtom(dpy_, type, 0));
    XChangeProperty(dpy_, xw, XInternAtom(dpy_, "_NET_WM_WINDOW_TYPE", 0), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&atom), 1);
  }

  // WM_NAME in the encoding its readers expect: Latin-1 when it fits, else compound text.
  void SetWmName(::Window xw, const std::string& utf8)
  {
    char* list[] = {const_cast<char*>(utf8.c_str())};
    XTextProperty text{};
    if (Xutf8TextListToTextProperty(dpy_, list, 1, XStdICCTextStyle, &text) >= Success && text.value != nullptr) {
      XSetWMName(dpy_, xw, &text);
      XFree(text.value);
    } else {
      XChangeProperty(dpy_, xw, XA_WM_NAME, utf8_, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    }
  }

  void MoveResize(::Window xw, const RECT& rect, unsigned width, unsigned height)
  {
    asked_[xw] = Asked{rect, NextRequest(dpy_)};
    XMoveResizeWindow(dpy_, xw, rect.left, rect.top, width, height);
  }

  // A deactivation followed by an activation in the same batch is focus passing between our own windows: the
  // program must not see itself lose the keyboard on the way.
  static void DropPassingDeactivations(std::vector<InputEvent>& events)
  {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i].kind != InputEvent::Kind::Deactivated) {
        continue;
      }
      for (std::size_t j = i + 1; j < events.size(); ++j) {
        if (events[j].kind == InputEvent::Kind::Activated) {
          events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
          --i;
          break;
        }
      }
    }
  }

  // A group is Cyrillic when the key of A types a Cyrillic letter in it.
  WORD LanguageOfGroup(int group)
  {
    const KeyCode a = XKeysymToKeycode(dpy_, XK_a);
    const KeySym sym = a != 0 ? XkbKeycodeToKeysym(dpy_, a, group, 0) : NoSymbol;
    return IsCyrillic(CharacterOf(sym)) ? kLanguageCyrillic : kLanguageLatin;
  }

  bool IsOurs(::Window xw) const { return ids_.count(xw) != 0 || xw == clipboardWindow_; }

  void Key(XKeyEvent& key, std::vector<InputEvent>& out)
  {
    InputEvent e;
    e.kind = InputEvent::Kind::Key;
    e.down = key.type == KeyPress;
    // The key's position: the symbol of its first group, whatever group is in force.
    e.vk = VirtualKeyOf(XLookupKeysym(&key, 0));
    if (e.down) {
      char buffer[64];
      KeySym sym = 0;
      int length = XLookupString(&key, buffer, sizeof buffer, &sym, nullptr);
      std::string utf8;
      auto ic = ics_.find(key.window);
      if (ic != ics_.end()) {
        Status status = 0;
        KeySym icSym = 0;
        length = Xutf8LookupString(ic->second, &key, buffer, sizeof buffer, &icSym, &status);
        if ((status == XLookupChars || status == XLookupBoth) && length > 0) {
          utf8.assign(buffer, static_cast<std::size_t>(length));
        }
        if (status == XLookupKeySym || status == XLookupBoth) {
          sym = icSym;
        }
      } else if (char32_t c = CharacterOf(sym)) {
        AppendUtf8(utf8, c);
      } else if (length == 1) {
        utf8.assign(buffer, 1);  // a control character
      }
      const char32_t c = CharacterOf(sym);
      if (IsCyrillic(c)) {
        e.language = kLanguageCyrillic;
      } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        e.language = kLanguageLatin;
      }
      if (e.vk == 0) {
        e.vk = VirtualKeyOf(sym);
      }
      // Control characters and Ctrl combinations are the layout's business: Ctrl+C copies in any layout.
      const bool ctrl = (key.state & ControlMask) != 0 && (key.state & Mod1Mask) == 0;
      const bool control = utf8.size() == 1 && (static_cast<unsigned char>(utf8[0]) < 0x20 || utf8[0] == 0x7F);
      if (!ctrl && !control && !utf8.empty()) {
        e.text = std::move(utf8);
        if (e.vk == 0) {
          e.vk = kVkPacket;
          packetKeys_.insert(key.keycode);
        }
      }
    } else if (e.vk == 0) {
      KeySym sym = 0;
      char buffer[8];
      XLookupString(&key, buffer, sizeof buffer, &sym, nullptr);
      e.vk = VirtualKeyOf(sym);
      if (packetKeys_.erase(key.keycode) != 0) {
        e.vk = kVkPacket;  // it went down as text: it comes up the same way
      }
    }
    if (e.vk != 0) {
      out.push_back(e);
    }
  }

  void Configured(const XConfigureEvent& c, std::vector<InputEvent>& out)
  {
    auto id = ids_.find(c.window);
    if (id == ids_.end()) {
      return;
    }
    auto asked = asked_.find(c.window);
    if (asked != asked_.end() && c.serial < asked->second.serial) {
      return;  // our own newer request overrides it
    }
    // A window manager's frame makes the notice's position its own; the root's is what counts.
    int x = c.x;
    int y = c.y;
    if (!c.send_event) {
      ::Window child = 0;
      XTranslateCoordinates(dpy_, c.window, root_, 0, 0, &x, &y, &child);
    }
    const RECT rect{x, y, x + c.width, y + c.height};
    if (asked != asked_.end() && asked->second.rect == rect) {
      return;
    }
    asked_[c.window].rect = rect;
    InputEvent e;
    e.kind = InputEvent::Kind::Moved;
    e.window = id->second;
    e.rect = rect;
    out.push_back(e);
  }

  void Focus(const XFocusChangeEvent& f, std::vector<InputEvent>& out)
  {
    auto id = ids_.find(f.window);
    if (id == ids_.end() || f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior ||
        f.detail == NotifyPointer || f.detail == NotifyPointerRoot || f.detail == NotifyDetailNone) {
      return;
    }
    InputEvent e;
    e.window = id->second;
    if (f.type == FocusIn) {
      e.kind = InputEvent::Kind::Activated;
    } else {
      ::Window focus = 0;
      int revert = 0;
      XGetInputFocus(dpy_, &focus, &revert);
      if (IsOurs(focus)) {
        return;  // passing to another of our windows, which hears of it
      }
      e.kind = InputEvent::Kind::Deactivated;
    }
    out.push_back(e);
  }

  void Read()
  {
    while (!stop_ && !dead_) {
      pollfd fds[2] = {{ConnectionNumber(dpy_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
      poll(fds, 2, 100);
      std::vector<InputEvent> events;
      {
        std::lock_guard lock(mutex_);
        while (!stop_ && !dead_ && XPending(dpy_) > 0) {
          XEvent ev;
          XNextEvent(dpy_, &ev);
          // The input method may take a key to compose with the next one.
          if (XFilterEvent(&ev, 0) != 0) {
            continue;
          }
          Translate(ev, events);
        }
      }
      DropPassingDeactivations(events);
      InputSink sink;
      {
        std::lock_guard lock(sinkMutex_);
        sink = sink_;
      }
      if (sink && !pending_.empty()) {
        // What the screen said before anyone listened.
        events.insert(events.begin(), pending_.begin(), pending_.end());
        pending_.clear();
      }
      if (sink) {
        for (const InputEvent& e : events) {
          sink(e);
        }
      }
    }
  }

  void Translate(XEvent& ev, std::vector<InputEvent>& out)
  {
    InputEvent e;
    switch (ev.type) {
      case MotionNotify:
        e.kind = InputEvent::Kind::MouseMove;
        e.screen = POINT{ev.xmotion.x_root, ev.xmotion.y_root};
        out.push_back(e);
        break;
      case ButtonPress:
      case ButtonRelease:
        e.screen = POINT{ev.xbutton.x_root, ev.xbutton.y_root};
        if (ev.xbutton.button == Button4 || ev.xbutton.button == Button5) {
          if (ev.type == ButtonPress) {
            e.kind = InputEvent::Kind::Wheel;
            e.wheelDelta = ev.xbutton.button == Button4 ? 120 : -120;
            out.push_back(e);
          }
          break;
        }
        if (ev.xbutton.button == 6 || ev.xbutton.button == 7) {
          // The sideways wheel: 6 turns left, 7 right.
          if (ev.type == ButtonPress) {
            e.kind = InputEvent::Kind::Wheel;
            e.horizontal = true;
            e.wheelDelta = ev.xbutton.button == 7 ? 120 : -120;
            out.push_back(e);
          }
          break;
        }
        e.kind = InputEvent::Kind::Button;
        e.down = ev.type == ButtonPress;
        switch (ev.xbutton.button) {
          case Button1: e.button = 0x01; break;
          case Button2: e.button = 0x04; break;
          case Button3: e.button = 0x02; break;
          case 8: e.button = 0x05; break;  // back: the first side button
          case 9: e.button = 0x06; break;  // forward: the second
          default: return;
        }
        out.push_back(e);
        break;
      case KeyPress:
      case KeyRelease: Key(ev.xkey, out); break;
      case MappingNotify:
        // The keyboard's symbols changed (another layout, or a program remapped keys).
        XRefreshKeyboardMapping(&ev.xmapping);
        break;
      case ConfigureNotify: Configured(ev.xconfigure, out); break;
      case FocusIn:
      case FocusOut: Focus(ev.xfocus, out); break;
      case EnterNotify:
        if (ids_.count(ev.xcrossing.window) != 0) {
          e.kind = InputEvent::Kind::MouseMove;
          e.screen = POINT{ev.xcrossing.x_root, ev.xcrossing.y_root};
          out.push_back(e);
        }
        break;
      case LeaveNotify:
        if (ids_.count(ev.xcrossing.window) != 0 && ev.xcrossing.mode == NotifyNormal &&
            ev.xcrossing.detail != NotifyInferior) {
          e.kind = InputEvent::Kind::LeftScreen;
          out.push_back(e);
        }
        break;
      case ClientMessage:
        if (ev.xclient.message_type == wmProtocols_ && ev.xclient.format == 32 &&
            static_cast<Atom>(ev.xclient.data.l[0]) == wmDeleteWindow_) {
          auto it = ids_.find(ev.xclient.window);
          if (it != ids_.end()) {
            e.kind = InputEvent::Kind::Close;
            e.window = it->second;
            out.push_back(e);
          }
        } else if (ev.xclient.format == 32) {
          Xdnd(ev.xclient);
        }
        break;
      case SelectionRequest: Serve(ev.xselectionrequest); break;
      case SelectionNotify:
        if (ev.xselection.selection == xdndSelection_) {
          Dropped(ev.xselection, out);
          break;
        }
        if (ev.xselection.property != 0) {
          Atom type = 0;
          int format = 0;
          unsigned long count = 0;
          unsigned long after = 0;
          unsigned char* data = nullptr;
          XGetWindowProperty(dpy_, clipboardWindow_, transfer_, 0, 1 << 24, 1, AnyPropertyType, &type, &format, &count,
                             &after, &data);
          received_ = data != nullptr ? std::string(reinterpret_cast<char*>(data), count) : std::string();
          if (data != nullptr) {
            XFree(data);
          }
        } else {
          received_.reset();  // the owner could not give it as text
        }
        answered_ = true;
        arrived_.notify_all();
        break;
      case Expose:
        if (ev.xexpose.count == 0) {
          auto it = ids_.find(ev.xexpose.window);
          if (it != ids_.end()) {
            e.kind = InputEvent::Kind::Exposed;
            e.window = it->second;
            out.push_back(e);
          }
        }
        break;
      default:
        if (ev.type == xkbEvent_) {
          const auto& xkb = reinterpret_cast<const XkbEvent&>(ev);
          if (xkb.any.xkb_type == XkbStateNotify && (xkb.state.changed & XkbGroupStateMask) != 0) {
            e.kind = InputEvent::Kind::Layout;
            e.language = LanguageOfGroup(xkb.state.group);
            out.push_back(e);
          }
        }
        break;
    }
  }

  // Another program drags over one of our windows (the XDND protocol): we take text/uri-list drops anywhere and
  // fetch the list when it is let go.
  void Xdnd(const XClientMessageEvent& m)
  {
    const ::Window source = static_cast<::Window>(m.data.l[0]);
    if (ids_.count(m.window) == 0) {
      return;
    }
    if (m.message_type == xdndEnter_) {
      drag_ = Drag{};
      drag_.source = source;
      drag_.target = m.window;
      if ((m.data.l[1] & 1) != 0) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy_, source, xdndTypeList_, 0, 1024, 0, XA_ATOM, &type, &format, &count, &after, &data);
        if (data != nullptr && format == 32) {
          const auto* types = reinterpret_cast<const Atom*>(data);
          drag_.uris = std::find(types, types + count, uriList_) != types + count;
        }
        if (data != nullptr) {
          XFree(data);
        }
      } else {
        for (int i = 2; i < 5; ++i) {
          drag_.uris = drag_.uris || static_cast<Atom>(m.data.l[i]) == uriList_;
        }
      }
    } else if (m.message_type == xdndPosition_ && source == drag_.source) {
      drag_.at = POINT{static_cast<LONG>((m.data.l[2] >> 16) & 0xFFFF), static_cast<LONG>(m.data.l[2] & 0xFFFF)};
      drag_.target = m.window;
      XEvent reply{};
      reply.xclient.type = ClientMessage;
      reply.xclient.window = source;
      reply.xclient.message_type = xdndStatus_;
      reply.xclient.format = 32;
      reply.xclient.data.l[0] = static_cast<long>(m.window);
      reply.xclient.data.l[1] = drag_.uris ? 1 : 0;
      reply.xclient.data.l[4] = drag_.uris ? static_cast<long>(xdndActionCopy_) : 0;
      XSendEvent(dpy_, source, 0, NoEventMask, &reply);
      XFlush(dpy_);
    } else if (m.message_type == xdndLeave_ && source == drag_.source) {
      drag_ = Drag{};
    } else if (m.message_type == xdndDrop_ && source == drag_.source) {
      if (drag_.uris) {
        XConvertSelection(dpy_, xdndSelection_, uriList_, dropTransfer_, m.window,
                          static_cast<Time>(m.data.l[2]));
        XFlush(dpy_);
      } else {
        FinishDrop(false);
      }
    }
  }

  void Dropped(const XSelectionEvent& ev, std::vector<InputEvent>& out)
  {
    if (drag_.source == 0) {
      return;
    }
    auto it = ids_.find(ev.requestor);
    if (ev.property != 0 && it != ids_.end()) {
      Atom type = 0;
      int format = 0;
      unsigned long count = 0;
      unsigned long after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(dpy_, ev.requestor, dropTransfer_, 0, 1 << 22, 1, AnyPropertyType, &type, &format, &count,
                         &after, &data);
      if (data != nullptr && format == 8) {
        InputEvent e;
        e.kind = InputEvent::Kind::Dropped;
        e.window = it->second;
        e.screen = drag_.at;
        e.uriList.assign(reinterpret_cast<const char*>(data), count);
        out.push_back(e);
      }
      if (data != nullptr) {
        XFree(data);
      }
    }
    FinishDrop(ev.property != 0);
  }

  void FinishDrop(bool accepted)
  {
    XEvent reply{};
    reply.xclient.type = ClientMessage;
    reply.xclient.window = drag_.source;
    reply.xclient.message_type = xdndFinished_;
    reply.xclient.format = 32;
    reply.xclient.data.l[0] = static_cast<long>(drag_.target);
    reply.xclient.data.l[1] = accepted ? 1 : 0;
    reply.xclient.data.l[2] = accepted ? static_cast<long>(xdndActionCopy_) : 0;
    XSendEvent(dpy_, drag_.source, 0, NoEventMask, &reply);
    XFlush(dpy_);
    drag_ = Drag{};
  }

  // Another program asks for the text we offered.
  void Serve(const XSelectionRequestEvent& req)
  {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = req.display;
    reply.xselection.requestor = req.requestor;
    reply.xselection.selection = req.selection;
    reply.xselection.target = req.target;
    reply.xselection.time = req.time;
    reply.xselection.property = 0;
    const Atom property = req.property != 0 ? req.property : req.target;
    if (req.target == targets_) {
      Atom offered[] = {targets_, utf8_, XA_STRING};
      XChangeProperty(dpy_, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(offered), 3);
      reply.xselection.property = property;
    } else if (req.target == utf8_ || req.target == XA_STRING) {
      XChangeProperty(dpy_, req.requestor, property, req.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered_.data()), static_cast<int>(offered_.size()));
      reply.xselection.property = property;
    }
    XSendEvent(dpy_, req.requestor, 0, 0, &reply);
    XFlush(dpy_);
  }

  Display* dpy_;
  int screen_ = 0;
  ::Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  GC gc_{};
  bool direct_ = false;
  Atom netWmName_ = 0;
  Atom utf8_ = 0;
  std::mutex mutex_;  // every Xlib call
  std::map<std::uintptr_t, ::Window> windows_;
  std::map<::Window, std::uintptr_t> ids_;
  std::map<std::uintptr_t, bool> mapped_;
  std::map<std::uintptr_t, std::vector<std::uint32_t>> icons_;  // _NET_WM_ICON as last set
  std::mutex sinkMutex_;
  InputSink sink_;
  int wake_[2] = {-1, -1};
  std::atomic<bool> stop_{false};
  std::atomic<bool> dead_{false};
  Atom clipboard_ = 0;
  Atom targets_ = 0;
  Atom transfer_ = 0;
  ::Window clipboardWindow_ = 0;
  std::string offered_;
  std::optional<std::string> received_;
  bool answered_ = false;
  std::condition_variable arrived_;
  std::map<unsigned, Cursor> cursors_;
  Atom wmProtocols_ = 0;
  Atom wmDeleteWindow_ = 0;
  Atom xdndAware_ = 0;
  Atom xdndEnter_ = 0;
  Atom xdndPosition_ = 0;
  Atom xdndStatus_ = 0;
  Atom xdndLeave_ = 0;
  Atom xdndDrop_ = 0;
  Atom xdndFinished_ = 0;
  Atom xdndSelection_ = 0;
  Atom xdndTypeList_ = 0;
  Atom xdndActionCopy_ = 0;
  Atom uriList_ = 0;
  Atom dropTransfer_ = 0;
  struct Drag {
    ::Window source = 0;
    ::Window target = 0;
    bool uris = false;  // the source offers text/uri-list
    POINT at{};
  };
  Drag drag_;  // reader thread only
  XIM im_ = nullptr;
  std::map<::Window, XIC> ics_;
  std::map<::Window, Asked> asked_;
  int xkbEvent_ = -1;
  std::set<unsigned> packetKeys_;  // keys down that typed text with no key of their own
  std::vector<InputEvent> pending_;  // reader thread only
  std::thread reader_;
};

}  // namespace

std::unique_ptr<Presenter> MakeX11Presenter(const char* name)
{
  static bool threads = XInitThreads() != 0;
  (void)threads;
  Display* dpy = XOpenDisplay(name);
  if (dpy == nullptr) {
    return nullptr;
  }
  return std::make_unique<X11Presenter>(dpy);
}

}  // namespace display
