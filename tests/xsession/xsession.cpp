#include "tests/xsession/xsession.h"

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace xsession {

namespace {

using Clock = std::chrono::steady_clock;

// Windows come and go while they are looked at: a question about one that has gone is simply not answered.
class ErrorTrap {
public:
  explicit ErrorTrap(Display* dpy) : dpy_(dpy) { previous_ = XSetErrorHandler(&Ignore); }
  ~ErrorTrap()
  {
    XSync(dpy_, False);
    XSetErrorHandler(previous_);
  }

private:
  static int Ignore(Display*, XErrorEvent*) { return 0; }
  Display* dpy_;
  int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

bool Executable(const char* path) { return access(path, X_OK) == 0; }

// The Russian letters' key symbols run 0x6C0-0x6DF in this order, capitals 0x20 above.
constexpr char32_t kCyrillicOrder[] = U"юабцдефгхийклмнопярстужвьызшэщчъ";

unsigned long KeysymOf(char32_t c)
{
  if (c >= 0x20 && c <= 0x7E) {
    return c;
  }
  switch (c) {
    case U'\n': return XK_Return;
    case U'\t': return XK_Tab;
    case U'\b': return XK_BackSpace;
    case U'ё': return XK_Cyrillic_io;
    case U'Ё': return XK_Cyrillic_IO;
    default: break;
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kCyrillicOrder[i] == c) {
      return 0x6C0 + i;
    }
    if (kCyrillicOrder[i] - 0x20 == c) {
      return 0x6E0 + i;
    }
  }
  return 0x1000000 | c;  // the Unicode key symbols
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& directory, bool quiet)
{
  pid_t pid = fork();
  if (pid != 0) {
    return pid;
  }
  prctl(PR_SET_PDEATHSIG, SIGTERM);  // a test that dies takes what it started along
  setpgid(0, 0);
  for (const std::string& e : environment) {
    putenv(strdup(e.c_str()));
  }
  if (!directory.empty() && chdir(directory.c_str()) != 0) {
    _exit(127);
  }
  if (quiet) {
    int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) {
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

void End(pid_t& pid)
{
  if (pid <= 0) {
    return;
  }
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(20ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

std::pair<int, int> DisplayRange(const DesktopOptions& options)
{
  int first = options.first;
  int end = options.end;
  if (const char* range = std::getenv("TESMIRA_X_DISPLAYS")) {
    int a = 0;
    int b = 0;
    if (std::sscanf(range, "%d-%d", &a, &b) == 2 && a <= b) {
      first = a;
      end = b + 1;
    }
  }
  return {first, end};
}

}  // namespace

std::string Utf8(std::u32string_view text)
{
  std::string out;
  for (char32_t c : text) {
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
  return out;
}

std::size_t Image::Differences(const Image& other) const
{
  if (width != other.width || height != other.height) {
    return std::max(pixels.size(), other.pixels.size());
  }
  std::size_t n = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    n += pixels[i] != other.pixels[i] ? 1 : 0;
  }
  return n;
}

std::size_t Image::Colours(std::size_t limit) const
{
  std::set<std::uint32_t> seen;
  for (std::uint32_t p : pixels) {
    seen.insert(p);
    if (seen.size() >= limit) {
      break;
    }
  }
  return seen.size();
}

bool SavePng(const Image& image, const std::string& path)
{
  if (image.Empty()) {
    return false;
  }
  gdi::Surface surface(image.width, image.height);
  std::copy(image.pixels.begin(), image.pixels.end(), surface.Pixels());
  return gdi::SavePng(surface, path);
}

bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds bound, std::chrono::milliseconds step)
{
  const auto deadline = Clock::now() + bound;
  for (;;) {
    if (ready()) {
      return true;
    }
    if (Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(step);
  }
}

std::unique_ptr<Desktop> Desktop::Start(const DesktopOptions& options, std::string* whyNot)
{
  std::string why;
  std::unique_ptr<Desktop> screen(new Desktop);
  screen->options_ = options;
  if (!screen->Launch(&why)) {
    if (whyNot != nullptr) {
      *whyNot = why;
    }
    return nullptr;
  }
  return screen;
}

bool Desktop::Launch(std::string* whyNot)
{
  if (!Executable("/usr/bin/Xvfb")) {
    *whyNot = "no Xvfb on this machine";
    return false;
  }
  if (options_.windowManager && !Executable("/usr/bin/openbox")) {
    *whyNot = "no openbox on this machine";
    return false;
  }
  const auto [first, end] = DisplayRange(options_);
  const std::string size = std::to_string(options_.width) + "x" + std::to_string(options_.height) + "x24";
  for (int n = first; n < end && dpy_ == nullptr; ++n) {
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) {
      continue;
    }
    name_ = ":" + std::to_string(n);
    // -noreset: the server must stay when its last client goes, or the next finds it restarting.
    server_ = Spawn({"/usr/bin/Xvfb", name_, "-screen", "0", size, "-nolisten", "tcp", "-noreset"}, {}, {}, true);
    WaitUntil(
        [&] {
          // Our server ends at once when another took the number after all: its screen is not ours.
          int status = 0;
          if (waitpid(server_, &status, WNOHANG) == server_) {
            server_ = -1;
            return true;
          }
          dpy_ = XOpenDisplay(name_.c_str());
          if (dpy_ != nullptr && waitpid(server_, &status, WNOHANG) == server_) {
            XCloseDisplay(dpy_);
            dpy_ = nullptr;
            server_ = -1;
            return true;
          }
          return dpy_ != nullptr;
        },
        15s, 50ms);
    if (dpy_ == nullptr) {
      End(server_);
    }
  }
  if (dpy_ == nullptr) {
    *whyNot = "no free X display from :" + std::to_string(first) + " to :" + std::to_string(end - 1);
    return false;
  }
  int event = 0;
  int error = 0;
  int major = 0;
  int minor = 0;
  if (!XTestQueryExtension(dpy_, &event, &error, &major, &minor)) {
    *whyNot = "the X server has no XTEST";
    return false;
  }
  if (!options_.windowManager) {
    return true;
  }
  // The window manager gets a home of its own: it keeps nothing of the user's and leaves nothing behind.
  char home[] = "/tmp/xsession-home-XXXXXX";
  if (mkdtemp(home) != nullptr) {
    home_ = home;
  }
  manager_ = Spawn({"/usr/bin/openbox", "--sm-disable"}, {"DISPLAY=" + name_, "HOME=" + home_}, {}, true);
  // A window manager announces itself by owning the screen's WM_S0 selection, but manages windows only a moment
  // later: it is ready when a window of our own has been taken under its care.
  const Atom selection = XInternAtom(dpy_, "WM_S0", False);
  if (!WaitUntil([&] { return XGetSelectionOwner(dpy_, selection) != None && !WindowManager().empty(); }, 15s)) {
    *whyNot = "openbox did not take the screen";
    return false;
  }
  // A window mapped before it watches the root is never taken: the probe is shown again until it is.
  const ::Window probe = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 10, 10, 0, 0, 0);
  int polls = 0;
  const bool managed = WaitUntil(
      [&] {
        if (!LongProperty(probe, "WM_STATE").empty()) {
          return true;
        }
        if (polls++ % 10 == 0) {
          XUnmapWindow(dpy_, probe);
          XMapWindow(dpy_, probe);
          Sync();
        }
        return false;
      },
      15s, 50ms);
  XDestroyWindow(dpy_, probe);
  Sync();
  if (!managed) {
    *whyNot = "openbox did not manage a window";
  }
  return managed;
}

Desktop::~Desktop()
{
  End(manager_);
  if (dpy_ != nullptr) {
    XCloseDisplay(dpy_);
  }
  End(server_);
  if (!home_.empty()) {
    std::string command = "rm -rf '" + home_ + "'";
    [[maybe_unused]] int rc = std::system(command.c_str());
  }
}

void Desktop::Sync() const { XSync(dpy_, False); }

std::vector<XWindow> Desktop::ClientWindows() const
{
  std::vector<XWindow> found;
  ErrorTrap trap(dpy_);
  const Atom wmState = XInternAtom(dpy_, "WM_STATE", False);
  // A managed window carries WM_STATE, set by the window manager, somewhere under its frame; a window the
  // manager leaves alone (a menu, a tooltip) is a child of the root itself.
  std::function<bool(::Window, int)> walk = [&](::Window w, int depth) -> bool {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, w, wmState, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data) ==
            Success &&
        type != None) {
      if (data != nullptr) {
        XFree(data);
      }
      found.push_back(w);
      return true;
    }
    if (data != nullptr) {
      XFree(data);
    }
    if (depth >= 3) {
      return false;
    }
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count2 = 0;
    bool any = false;
    if (XQueryTree(dpy_, w, &root, &parent, &children, &count2) != 0) {
      for (unsigned i = 0; i < count2; ++i) {
        any = walk(children[i], depth + 1) || any;
      }
      if (children != nullptr) {
        XFree(children);
      }
    }
    return any;
  };
  ::Window root = DefaultRootWindow(dpy_);
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(dpy_, root, &root, &parent, &children, &count) != 0) {
    for (unsigned i = 0; i < count; ++i) {
      if (walk(children[i], 1)) {
        continue;
      }
      XWindowAttributes a{};
      if (XGetWindowAttributes(dpy_, children[i], &a) != 0 && a.override_redirect && a.map_state == IsViewable &&
          a.c_class == InputOutput) {
        found.push_back(children[i]);
      }
    }
    if (children != nullptr) {
      XFree(children);
    }
  }
  return found;
}

std::string Desktop::TextProperty(XWindow window, const char* name) const
{
  ErrorTrap trap(dpy_);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, name, False), 0, 1 << 16, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (format == 8) {
      text.assign(reinterpret_cast<const char*>(data), count);
    }
    XFree(data);
  }
  return text;
}

std::vector<long> Desktop::LongProperty(XWindow window, const char* name) const
{
  ErrorTrap trap(dpy_);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<long> items;
  if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, name, False), 0, 1 << 22, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (format == 32) {
      const long* longs = reinterpret_cast<const long*>(data);
      items.assign(longs, longs + count);
    }
    XFree(data);
  }
  return items;
}

std::vector<std::string> Desktop::AtomProperty(XWindow window, const char* name) const
{
  std::vector<std::string> names;
  for (long atom : LongProperty(window, name)) {
    ErrorTrap trap(dpy_);
    if (char* n = XGetAtomName(dpy_, static_cast<Atom>(atom))) {
      names.emplace_back(n);
      XFree(n);
    }
  }
  return names;
}

std::string Desktop::WindowManager() const
{
  const std::vector<long> check = LongProperty(DefaultRootWindow(dpy_), "_NET_SUPPORTING_WM_CHECK");
  return check.empty() ? std::string() : TextProperty(static_cast<XWindow>(check[0]), "_NET_WM_NAME");
}

bool Desktop::Matches(XWindow window, const WindowQuery& query) const
{
  if (!query.wmClass.empty()) {
    const std::string both = TextProperty(window, "WM_CLASS");  // instance \0 class \0
    const std::size_t split = both.find('\0');
    const std::string instance = both.substr(0, split);
    const std::string klass = split == std::string::npos ? std::string() : both.substr(split + 1, both.find('\0', split + 1) - split - 1);
    if (query.wmClass != instance && query.wmClass != klass) {
      return false;
    }
  }
  if (!query.name.empty()) {
    std::string name = TextProperty(window, "_NET_WM_NAME");
    if (name.empty()) {
      name = TextProperty(window, "WM_NAME");
    }
    if (name.find(query.name) == std::string::npos) {
      return false;
    }
  }
  if (query.pid != 0) {
    const std::vector<long> pid = LongProperty(window, "_NET_WM_PID");
    if (pid.empty() || pid[0] != query.pid) {
      return false;
    }
  }
  return true;
}

bool Desktop::Viewable(XWindow window) const
{
  ErrorTrap trap(dpy_);
  XWindowAttributes a{};
  return XGetWindowAttributes(dpy_, window, &a) != 0 && a.map_state == IsViewable;
}

XWindow Desktop::FindWindow(const WindowQuery& query, std::chrono::milliseconds bound) const
{
  XWindow found = 0;
  WaitUntil(
      [&] {
        // Stacking order is the frames' order under the root: the last match is the topmost.
        for (XWindow w : ClientWindows()) {
          if (Viewable(w) && Matches(w, query)) {
            found = w;
          }
        }
        return found != 0;
      },
      bound, 50ms);
  return found;
}

Rect Desktop::Geometry(XWindow window) const
{
  ErrorTrap trap(dpy_);
  XWindowAttributes a{};
  if (XGetWindowAttributes(dpy_, window, &a) == 0) {
    return {};
  }
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(dpy_, window, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  return Rect{x, y, a.width, a.height};
}

void Desktop::MoveTo(int x, int y)
{
  XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), x, y, CurrentTime);
  Sync();
}

void Desktop::Press(unsigned button)
{
  XTestFakeButtonEvent(dpy_, button, True, CurrentTime);
  Sync();
}

void Desktop::Release(unsigned button)
{
  XTestFakeButtonEvent(dpy_, button, False, CurrentTime);
  Sync();
}

void Desktop::Click(int x, int y, unsigned button, int count)
{
  MoveTo(x, y);
  for (int i = 0; i < count; ++i) {
    Press(button);
    Release(button);
  }
}

void Desktop::Drag(int x0, int y0, int x1, int y1, unsigned button, int steps)
{
  MoveTo(x0, y0);
  Press(button);
  steps = std::max(1, steps);
  for (int i = 1; i <= steps; ++i) {
    MoveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    // A person's hand takes time between moves; a program that reads moves by the frame sees several.
    std::this_thread::sleep_for(15ms);
  }
  Release(button);
}

void Desktop::Wheel(int x, int y, int clicks)
{
  MoveTo(x, y);
  const unsigned button = clicks > 0 ? 4 : 5;
  for (int i = 0; i < std::abs(clicks); ++i) {
    Press(button);
    Release(button);
  }
}

void Desktop::Tap(unsigned keycode, bool shifted)
{
  const KeyCode shift = XKeysymToKeycode(dpy_, XK_Shift_L);
  if (shifted) {
    XTestFakeKeyEvent(dpy_, shift, True, CurrentTime);
  }
  XTestFakeKeyEvent(dpy_, keycode, True, CurrentTime);
  XTestFakeKeyEvent(dpy_, keycode, False, CurrentTime);
  if (shifted) {
    XTestFakeKeyEvent(dpy_, shift, False, CurrentTime);
  }
  Sync();
}

bool Desktop::Key(const std::string& chord)
{
  std::vector<KeyCode> modifiers;
  std::string key = chord;
  for (std::size_t plus; (plus = key.find('+')) != std::string::npos && plus + 1 < key.size();) {
    const std::string m = key.substr(0, plus);
    const KeySym sym = m == "ctrl" ? XK_Control_L : m == "alt" ? XK_Alt_L : m == "shift" ? XK_Shift_L : NoSymbol;
    if (sym == NoSymbol) {
      return false;
    }
    modifiers.push_back(XKeysymToKeycode(dpy_, sym));
    key = key.substr(plus + 1);
  }
  const KeySym sym = XStringToKeysym(key.c_str());
  const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy_, sym);
  if (code == 0) {
    return false;
  }
  for (KeyCode m : modifiers) {
    XTestFakeKeyEvent(dpy_, m, True, CurrentTime);
  }
  XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) {
    XTestFakeKeyEvent(dpy_, *m, False, CurrentTime);
  }
  Sync();
  return true;
}

unsigned Desktop::KeycodeOf(unsigned long keysym, int& group, int& level)
{
  int min = 0;
  int max = 0;
  XDisplayKeycodes(dpy_, &min, &max);
  XkbStateRec state{};
  XkbGetState(dpy_, XkbUseCoreKbd, &state);
  XkbDescPtr keyboard = XkbGetMap(dpy_, XkbAllClientInfoMask, XkbUseCoreKbd);
  unsigned found = 0;
  // The group in force first, so Latin text never switches the layout.
  for (int pass = 0; pass < 2 && found == 0; ++pass) {
    for (int code = min; code <= max && found == 0; ++code) {
      const int groups = keyboard != nullptr ? XkbKeyNumGroups(keyboard, code) : 1;
      for (int g = 0; g < groups && found == 0; ++g) {
        if ((pass == 0) != (g == state.group)) {
          continue;
        }
        for (int l = 0; l < 2 && found == 0; ++l) {
          if (XkbKeycodeToKeysym(dpy_, static_cast<KeyCode>(code), g, l) == keysym) {
            found = static_cast<unsigned>(code);
            group = g;
            level = l;
          }
        }
      }
    }
  }
  if (keyboard != nullptr) {
    XkbFreeKeyboard(keyboard, 0, True);
  }
  return found;
}

bool Desktop::Type(std::u32string_view text)
{
  XkbStateRec state{};
  XkbGetState(dpy_, XkbUseCoreKbd, &state);
  const int home = state.group;
  int current = home;
  bool ok = true;
  for (char32_t c : text) {
    const unsigned long sym = KeysymOf(c);
    int group = current;
    int level = 0;
    unsigned code = KeycodeOf(sym, group, level);
    if (code == 0) {
      ok = false;
      break;
    }
    if (group != current) {
      XkbLockGroup(dpy_, XkbUseCoreKbd, static_cast<unsigned>(group));
      Sync();
      current = group;
    }
    Tap(code, level == 1);
    std::this_thread::sleep_for(10ms);
  }
  if (current != home) {
    XkbLockGroup(dpy_, XkbUseCoreKbd, static_cast<unsigned>(home));
  }
  Sync();
  return ok;
}

bool Desktop::UseRussianLayout()
{
  if (!Executable("/usr/bin/setxkbmap")) {
    return false;
  }
  pid_t pid = Spawn({"/usr/bin/setxkbmap", "-display", name_, "-layout", "us,ru"}, {}, {}, true);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return false;
  }
  int group = 0;
  int level = 0;
  return KeycodeOf(XK_Cyrillic_ef, group, level) != 0 && group == 1;
}

Image Desktop::Grab(const Rect& area) const
{
  Image image;
  if (area.width <= 0 || area.height <= 0) {
    return image;
  }
  ErrorTrap trap(dpy_);
  XImage* x = XGetImage(dpy_, DefaultRootWindow(dpy_), area.x, area.y, static_cast<unsigned>(area.width),
                        static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (x == nullptr) {
    return image;
  }
  image.width = area.width;
  image.height = area.height;
  image.pixels.resize(static_cast<std::size_t>(area.width) * area.height);
  for (int row = 0; row < area.height; ++row) {
    for (int column = 0; column < area.width; ++column) {
      image.pixels[static_cast<std::size_t>(row) * area.width + column] =
          static_cast<std::uint32_t>(XGetPixel(x, column, row) & 0xFFFFFF);
    }
  }
  XDestroyImage(x);
  return image;
}

Image Desktop::GrabWindow(XWindow window) const
{
  Rect r = Geometry(window);
  // Only what lies on the screen can be read.
  const int right = std::min(r.x + r.width, options_.width);
  const int bottom = std::min(r.y + r.height, options_.height);
  r.x = std::max(0, r.x);
  r.y = std::max(0, r.y);
  r.width = right - r.x;
  r.height = bottom - r.y;
  return Grab(r);
}

bool Desktop::WaitForChange(const Rect& area, const Image& before, std::chrono::milliseconds bound) const
{
  return WaitUntil([&] { return Grab(area) != before; }, bound, 30ms);
}

bool Desktop::WaitForStill(const Rect& area, std::chrono::milliseconds quiet, std::chrono::milliseconds bound) const
{
  Image last = Grab(area);
  auto since = Clock::now();
  return WaitUntil(
      [&] {
        Image now = Grab(area);
        if (now != last) {
          last = std::move(now);
          since = Clock::now();
          return false;
        }
        return Clock::now() - since >= quiet;
      },
      bound, 50ms);
}

Program::~Program() { Stop(); }

bool Program::Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                    const std::string& directory)
{
  if (argv.empty() || pid_ > 0) {
    return false;
  }
  status_.reset();
  pid_ = Spawn(argv, environment, directory, false);
  return pid_ > 0;
}

bool Program::Alive() { return pid_ > 0 && !Wait(0ms).has_value(); }

std::optional<int> Program::Wait(std::chrono::milliseconds bound)
{
  if (status_ || pid_ <= 0) {
    return status_;
  }
  WaitUntil(
      [&] {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
          status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return status_.has_value();
      },
      bound, 20ms);
  return status_;
}

std::optional<int> Program::Stop(std::chrono::milliseconds bound)
{
  if (pid_ <= 0 || status_) {
    return status_;
  }
  kill(pid_, SIGTERM);
  if (!Wait(bound)) {
    kill(pid_, SIGKILL);
    Wait(5s);
  }
  return status_;
}

}  // namespace xsession
