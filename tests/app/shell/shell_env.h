// What the shell's tests share: a profile in memory, a stand-in main window that records the commands it gets, a
// private runtime folder for the mailslot, and a loop that handles messages until a condition holds.
#pragma once

#include "app/shell/frame_workers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

namespace shelltest {

class MemoryHost : public shell::ShellHost {
public:
  HWND main = nullptr;
  HWND MainWindow() override { return main; }
  int GetProfileInt(const char* section, const char* entry, int defaultValue) override
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = values_.find(std::string(section) + "\\" + entry);
    return found == values_.end() ? defaultValue : found->second;
  }
  void WriteProfileInt(const char* section, const char* entry, int value) override
  {
    std::lock_guard<std::mutex> guard(lock_);
    values_[std::string(section) + "\\" + entry] = value;
  }

private:
  std::mutex lock_;
  std::map<std::string, int> values_;
};

// A main window that keeps the messages of interest; a WM_COMMAND of the About command "opens the About box".
struct StandInFrame {
  StandInFrame();
  ~StandInFrame();
  HWND hwnd = nullptr;
  static inline std::vector<MSG> received;
  static inline int aboutBoxesOpened = 0;
  static inline int depthAnswer = 0;  // what UM_DEPTHBITS answers
  static inline int depthWord = 0;    // what it writes into the result word
};

// Handles messages until `done` or the time runs out; answers `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

// The mailslot folder of a test: short, private, removed afterwards.
class RuntimeFolder {
public:
  RuntimeFolder()
  {
    char folder[] = "/tmp/shell-XXXXXX";
    path_ = mkdtemp(folder);
    setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~RuntimeFolder()
  {
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(path_);
  }

private:
  std::string path_;
};

}  // namespace shelltest
