// A private X server (Xvfb) for the length of a test; Start() is false where there is none.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include <X11/Xlib.h>

namespace displaytest {

class Xvfb {
public:
  bool Start()
  {
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
      return false;
    }
    for (int n = 60 + getpid() % 30; n < 120; ++n) {
      std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (access(lock.c_str(), F_OK) == 0) {
        continue;
      }
      name_ = ":" + std::to_string(n);
      pid_ = fork();
      if (pid_ == 0) {
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

}  // namespace displaytest
