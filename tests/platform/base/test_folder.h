// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testing_support {

class TempFolder {
public:
  TempFolder()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "mkdtemp failed";
    }
    path_ = pattern;
  }
  ~TempFolder()
  {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

// Sets an environment variable for a scope and puts the old value back.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name)
  {
    if (const char* old = std::getenv(name)) {
      old_ = old;
      hadOld_ = true;
    }
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv()
  {
    if (hadOld_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  const char* name_;
  std::string old_;
  bool hadOld_ = false;
};

}  // namespace testing_support
