// A private X desktop: an X screen with a real window manager, and a person's hands on it: the pointer and the keyboard go
// through the server's XTEST extension, so the program under test sees what it would see on a desktop. Windows are
// found by their class or name, pictures of the screen are taken and saved, and every wait polls with a bound.
//
// Texts given to it and read from it are UTF-8 (the screen's encoding); tests write them as U"..." and pass them
// through Utf8(), since their narrow literals are cp1251.
//
// Include after the platform's headers: nothing of Xlib is pulled in here, but the tests that read properties
// include Xlib beside it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace xsession {

using XWindow = unsigned long;
using namespace std::chrono_literals;

std::string Utf8(std::u32string_view text);

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Pixels as 0xRRGGBB, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool Empty() const { return pixels.empty(); }
  bool operator==(const Image&) const = default;
  // How many pixels differ from `other` of the same size (all of them when the sizes differ).
  std::size_t Differences(const Image& other) const;
  // The distinct colours, up to `limit` of them: a picture of one colour is a blank one.
  std::size_t Colours(std::size_t limit = 1000) const;
};

bool SavePng(const Image& image, const std::string& path);

// Waits for `ready`, polling every `step`, for at most `bound`. True when it became ready.
bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds bound,
               std::chrono::milliseconds step = 20ms);

struct WindowQuery {
  std::string wmClass;  // the instance or the class of WM_CLASS, whole
  std::string name;     // part of _NET_WM_NAME, else WM_NAME
  pid_t pid = 0;        // _NET_WM_PID

  WindowQuery& Class(std::string c) { wmClass = std::move(c); return *this; }
  WindowQuery& Name(std::string n) { name = std::move(n); return *this; }
  WindowQuery& Pid(pid_t p) { pid = p; return *this; }
};
inline WindowQuery ByClass(std::string c) { return WindowQuery().Class(std::move(c)); }
inline WindowQuery ByName(std::string n) { return WindowQuery().Name(std::move(n)); }
inline WindowQuery ByPid(pid_t p) { return WindowQuery().Pid(p); }

struct DesktopOptions {
  // Display numbers tried, from `first` up to before `end`; TESMIRA_X_DISPLAYS ("201-209") overrides them.
  int first = 200;
  int end = 260;
  int width = 1600;
  int height = 1000;
  bool windowManager = true;
};

class Desktop {
public:
  // A new screen with its window manager, or null with the reason when the machine has no Xvfb, no openbox or no
  // XTEST (a test then skips).
  static std::unique_ptr<Desktop> Start(const DesktopOptions& options = {}, std::string* whyNot = nullptr);
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  const std::string& Name() const { return name_; }  // ":203", for DISPLAY
  _XDisplay* Dpy() const { return dpy_; }
  int Width() const { return options_.width; }
  int Height() const { return options_.height; }

  // Windows. The top-level windows of programs (not the window manager's frames), bottom to top.
  std::vector<XWindow> ClientWindows() const;
  bool Matches(XWindow window, const WindowQuery& query) const;
  // The topmost viewable window that matches, waiting for it up to `bound`; 0 when none came.
  XWindow FindWindow(const WindowQuery& query, std::chrono::milliseconds bound = 10s) const;
  bool Viewable(XWindow window) const;
  // Where the window lies on the screen, without the window manager's frame.
  Rect Geometry(XWindow window) const;
  // A property's raw bytes (8-bit formats) or items (32-bit formats, as longs); empty when unset.
  std::string TextProperty(XWindow window, const char* name) const;
  std::vector<long> LongProperty(XWindow window, const char* name) const;
  // The names of the atoms a property lists (_NET_WM_WINDOW_TYPE, _NET_WM_STATE).
  std::vector<std::string> AtomProperty(XWindow window, const char* name) const;
  // The window manager's own name, as it announces itself.
  std::string WindowManager() const;

  // The pointer.
  void MoveTo(int x, int y);
  void Press(unsigned button = 1);
  void Release(unsigned button = 1);
  void Click(int x, int y, unsigned button = 1, int count = 1);
  // Pressed at the first point, moved in `steps` to the second, released there.
  void Drag(int x0, int y0, int x1, int y1, unsigned button = 1, int steps = 12);
  // Turns of the wheel at a point: positive away from the user (up), negative towards.
  void Wheel(int x, int y, int clicks);

  // The keyboard. A chord as "ctrl+shift+s", "alt+F4", "Return", "F5" (X key symbol names).
  bool Key(const std::string& chord);
  // Text as a person types it, one key per character, Shift where the layout needs it. A character of another
  // group of the layout (a Russian letter after UseRussianLayout) switches to that group and back. False, with
  // the text typed up to it, at a character the layout has nowhere.
  bool Type(std::u32string_view text);
  // The keyboard becomes "us,ru", as a Russian user's desktop has it. False when the layout could not be set.
  // Call it before the program under test starts: a program reads the layout when it connects.
  bool UseRussianLayout();

  // Pictures.
  Image Grab(const Rect& area) const;
  Image GrabWindow(XWindow window) const;
  Image GrabScreen() const { return Grab(Rect{0, 0, options_.width, options_.height}); }
  // Waits until the area differs from `before`; true when it did within the bound.
  bool WaitForChange(const Rect& area, const Image& before, std::chrono::milliseconds bound = 5s) const;
  // Waits until the area keeps the same pixels for `quiet`; true when it settled within the bound.
  bool WaitForStill(const Rect& area, std::chrono::milliseconds quiet = 300ms,
                    std::chrono::milliseconds bound = 10s) const;

  // Waits until the server has handled every request of this connection.
  void Sync() const;

private:
  Desktop() = default;
  bool Launch(std::string* whyNot);
  unsigned KeycodeOf(unsigned long keysym, int& group, int& level);
  void Tap(unsigned keycode, bool shifted);

  DesktopOptions options_;
  std::string name_;
  _XDisplay* dpy_ = nullptr;
  pid_t server_ = -1;
  pid_t manager_ = -1;
  std::string home_;
};

// Another program run on the screen, ended with the test.
class Program {
public:
  Program() = default;
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Runs `argv[0]` with the arguments in `directory` (empty: the current one), the environment as it is with
  // `environment` ("NAME=value") laid over it. False when it could not be started.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
             const std::string& directory = {});
  pid_t Pid() const { return pid_; }
  bool Alive();
  // The exit code once it has ended within the bound; none while it runs (a signal gives 128 + its number).
  std::optional<int> Wait(std::chrono::milliseconds bound);
  // Asks it to end (SIGTERM), then ends it (SIGKILL) after the bound; its exit code.
  std::optional<int> Stop(std::chrono::milliseconds bound = 5s);

private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

}  // namespace xsession
