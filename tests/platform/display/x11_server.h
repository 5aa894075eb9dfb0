// A private X server (Xvfb) for the length of a test, and input sent to it as a person's would arrive. Include
// after everything else: Xlib's macros clash with the platform's names.
#pragma once

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include <X11/Xlib.h>

namespace displaytest {

// Start() is false where there is none. Test programs that may run at once take display numbers from ranges of
// their own, from `first` (plus a little by process) up to `end`.
class Xvfb {
public:
  bool Start(int first = 60, int end = 120)
  {
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
      return false;
    }
    for (int n = first + getpid() % 30; n < end; ++n) {
      std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (access(lock.c_str(), F_OK) == 0) {
        continue;
      }
      name_ = ":" + std::to_string(n);
      pid_ = fork();
      if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // a test that dies takes its server along
        // -noreset: the server must not restart when a client goes, or the next one may find it away.
        execl("/usr/bin/Xvfb", "Xvfb", name_.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
              "-noreset", static_cast<char*>(nullptr));
        _exit(127);
      }
      auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
      while (std::chrono::steady_clock::now() < deadline) {
        if (Display* probe = XOpenDisplay(name_.c_str())) {
          XCloseDisplay(probe);
          return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
          pid_ = -1;
          break;  // that number was taken after all; try the next
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
    return false;
  }
  ~Xvfb()
  {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Name() const { return name_; }

private:
  std::string name_;
  pid_t pid_ = -1;
};

// A click of `button` sent to whatever X window shows the screen point (x, y), `times` times over (twice quickly
// for a double click).
inline bool SendClick(const std::string& server, int x, int y, unsigned button = Button1, int times = 1)
{
  Display* dpy = XOpenDisplay(server.c_str());
  if (dpy == nullptr) {
    return false;
  }
  ::Window root = DefaultRootWindow(dpy);
  ::Window target = 0;
  int tx = 0;
  int ty = 0;
  XTranslateCoordinates(dpy, root, root, x, y, &tx, &ty, &target);
  if (target == 0) {
    XCloseDisplay(dpy);
    return false;
  }
  int wx = 0;
  int wy = 0;
  ::Window ignored = 0;
  XTranslateCoordinates(dpy, root, target, x, y, &wx, &wy, &ignored);
  for (int i = 0; i < times; ++i) {
    for (int type : {ButtonPress, ButtonRelease}) {
      XEvent ev{};
      ev.xbutton.type = type;
      ev.xbutton.display = dpy;
      ev.xbutton.window = target;
      ev.xbutton.root = root;
      ev.xbutton.x = wx;
      ev.xbutton.y = wy;
      ev.xbutton.x_root = x;
      ev.xbutton.y_root = y;
      ev.xbutton.button = button;
      ev.xbutton.same_screen = 1;
      XSendEvent(dpy, target, 1, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    }
  }
  XSync(dpy, 0);
  XCloseDisplay(dpy);
  return true;
}

}  // namespace displaytest
