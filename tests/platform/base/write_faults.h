// Real faults for a write, without hooks in the code under test: a disk that fills after so many bytes (the file
// size limit; the write answers EFBIG), a folder nobody may write in, and a process killed part-way through a
// write (the kernel's SIGXFSZ at the size limit, a signal no handler can tidy up after).
#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
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
    // Permission bits do not stop root, who runs CI: the immutable flag does, where the file system has it.
    if (::access(folder_.c_str(), W_OK) == 0)
      immutable_ = SetImmutable(true);
  }
  ~ReadOnlyFolder()
  {
    if (immutable_)
      SetImmutable(false);
    ::chmod(folder_.c_str(), 0755);
  }
  bool Effective() const { return ::access(folder_.c_str(), W_OK) != 0; }

private:
  bool SetImmutable(bool on) const
  {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
      return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }

  std::filesystem::path folder_;
  bool immutable_ = false;
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
