// Real faults for a write, without hooks in the code under test: a disk that fills after so many bytes (the file
// size limit; the write answers EFBIG), a folder nobody may write in, and a process killed part-way through a
// write (the kernel's SIGXFSZ at the size limit, a signal no handler can tidy up after).
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace writefaults {

// Runs `write` with the disk full after `bytes` bytes of any one file.
template <class Write>
auto WithFullDisk(std::size_t bytes, Write write)
{
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  struct sigaction ignore {}, before{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &before);
  rlimit limited = old;
  limited.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limited);
  struct Restore {
    rlimit limit;
    struct sigaction action;
    ~Restore()
    {
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::sigaction(SIGXFSZ, &action, nullptr);
    }
  } restore{old, before};
  return write();
}

// Runs `write` in a child process that the kernel kills once it has written `bytes` bytes of a file. Answers the
// signal that ended the child (SIGXFSZ), or 0 when it ended of itself.
template <class Write>
int KilledDuringWrite(std::size_t bytes, Write write)
{
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    rlimit limited{};
    ::getrlimit(RLIMIT_FSIZE, &limited);
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    write();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// The folder closed for writing while it lives. The superuser writes anyway: Effective() says whether it holds.
class ReadOnlyFolder {
public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder))
  {
    ::chmod(folder_.c_str(), 0555);
  }
  ~ReadOnlyFolder() { ::chmod(folder_.c_str(), 0755); }
  bool Effective() const { return ::access(folder_.c_str(), W_OK) != 0; }

private:
  std::filesystem::path folder_;
};

// The names in `folder` that are not in `expected`: what a failed write left behind.
inline std::vector<std::string> Leftovers(const std::filesystem::path& folder, const std::vector<std::string>& expected)
{
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    bool known = false;
    for (const std::string& e : expected)
      known = known || e == name;
    if (!known)
      left.push_back(name);
  }
  return left;
}

}  // namespace writefaults
