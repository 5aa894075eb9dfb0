#include "platform/shell/mailslot.h"

#include "platform/base/syserror.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr std::string_view kPrefix = "\\\\.\\mailslot\\";

// How often a blocked read looks whether its handle was closed meanwhile.
constexpr int kCloseCheckMilliseconds = 50;

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) {
      return false;
    }
  }
  return true;
}

std::string RuntimeFolder()
{
  std::string folder;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    folder = std::string(runtime) + "/tesmira-mailslots";
  } else {
    const char* temp = std::getenv("TMPDIR");
    folder = std::string(temp != nullptr && temp[0] == '/' ? temp : "/tmp") + "/tesmira-mailslots-" +
             std::to_string(getuid());
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return {};
  }
  // Someone else's folder, or one others may enter, would let them read or forge messages.
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & 077) != 0) {
    return {};
  }
  return folder + "/";
}

bool FillAddress(const std::string& path, sockaddr_un* address)
{
  std::memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address->sun_path)) {
    return false;
  }
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

class Mailslot : public platform::KernelObject {
public:
  Mailslot(int fd, std::string path, DWORD timeout) : fd_(fd), path_(std::move(path)), timeout_(timeout) {}
  ~Mailslot() override
  {
    unlink(path_.c_str());
    close(fd_);
  }
  bool IsSignalled() const override { return false; }

  int fd() const { return fd_; }
  DWORD timeout() const { return timeout_; }

private:
  int fd_;
  std::string path_;
  DWORD timeout_;
};

}  // namespace

namespace platform {

std::string MailslotSocketPath(std::string_view name)
{
  if (name.size() <= kPrefix.size() || !EqualsIgnoringCase(name.substr(0, kPrefix.size()), kPrefix)) {
    return {};
  }
  std::string folder = RuntimeFolder();
  if (folder.empty()) {
    return {};
  }
  // Bytes outside a plain file-name set (a user name in cp1251, a '\' of a nested name) are escaped.
  std::string file;
  for (char c : name.substr(kPrefix.size())) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
        byte == '_' || byte == '-' || byte == '.') {
      file += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      file += escaped;
    }
  }
  if (file == "." || file == "..") {
    return {};
  }
  return folder + file;
}

DWORD WriteMailslot(std::string_view name, const void* data, std::size_t size)
{
  sockaddr_un address{};
  std::string path = MailslotSocketPath(name);
  if (path.empty() || !FillAddress(path, &address)) {
    return ERROR_INVALID_NAME;
  }
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return Win32ErrorFromErrno(errno);
  }
  ssize_t sent = sendto(fd, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  int error = errno;
  close(fd);
  if (sent < 0) {
    return error == ENOENT || error == ECONNREFUSED ? ERROR_FILE_NOT_FOUND : Win32ErrorFromErrno(error);
  }
  return static_cast<std::size_t>(sent) == size ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

}  // namespace platform

HANDLE CreateMailslotA(LPCSTR name, DWORD /*maxMessageSize*/, DWORD readTimeout, LPSECURITY_ATTRIBUTES /*attributes*/)
{
  sockaddr_un address{};
  std::string path = name != nullptr ? platform::MailslotSocketPath(name) : std::string();
  if (path.empty() || !FillAddress(path, &address)) {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    platform::SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  const auto* socketAddress = reinterpret_cast<const sockaddr*>(&address);
  if (bind(fd, socketAddress, sizeof address) != 0) {
    if (errno != EADDRINUSE) {
      platform::SetLastErrorFromErrno(errno);
      close(fd);
      return INVALID_HANDLE_VALUE;
    }
    // A socket file whose owner still reads answers a connect; one left by a dead process refuses it.
    int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    bool live = probe >= 0 && connect(probe, socketAddress, sizeof address) == 0;
    if (probe >= 0) {
      close(probe);
    }
    if (live || unlink(path.c_str()) != 0 || bind(fd, socketAddress, sizeof address) != 0) {
      SetLastError(ERROR_ALREADY_EXISTS);
      close(fd);
      return INVALID_HANDLE_VALUE;
    }
  }
  int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
  return platform::InsertHandle(std::make_shared<Mailslot>(fd, path, readTimeout));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID overlapped)
{
  if (bytesRead != nullptr) {
    *bytesRead = 0;
  }
  auto slot = platform::ReferenceHandleAs<Mailslot>(file);
  if (slot == nullptr || overlapped != nullptr) {
    SetLastError(slot == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (platform::ReferenceHandle(file) == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    int wait = kCloseCheckMilliseconds;
    if (slot->timeout() != MAILSLOT_WAIT_FOREVER) {
      auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      auto left = static_cast<long long>(slot->timeout()) - spent.count();
      if (left <= 0 && slot->timeout() != 0) {
        SetLastError(ERROR_SEM_TIMEOUT);
        return FALSE;
      }
      wait = static_cast<int>(std::min<long long>(std::max<long long>(left, 0), wait));
    }
    pollfd ready{slot->fd(), POLLIN, 0};
    int polled = poll(&ready, 1, wait);
    if (polled < 0 && errno != EINTR) {
      platform::SetLastErrorFromErrno(errno);
      return FALSE;
    }
    if (polled <= 0) {
      if (slot->timeout() == 0) {
        SetLastError(ERROR_SEM_TIMEOUT);
        return FALSE;
      }
      continue;
    }
    iovec part{buffer, bytesToRead};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t got = recvmsg(slot->fd(), &message, MSG_TRUNC | MSG_DONTWAIT);
    if (got < 0) {
      if (errno == EAGAIN || errno == EINTR) {
        continue;
      }
      platform::SetLastErrorFromErrno(errno);
      return FALSE;
    }
    bool ownUser = false;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr; header = CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_CREDENTIALS) {
        ucred sender{};
        std::memcpy(&sender, CMSG_DATA(header), sizeof sender);
        ownUser = sender.uid == getuid();
      }
    }
    if (!ownUser) {
      continue;
    }
    if ((message.msg_flags & MSG_TRUNC) != 0 || static_cast<std::size_t>(got) > bytesToRead) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    if (bytesRead != nullptr) {
      *bytesRead = static_cast<DWORD>(got);
    }
    return TRUE;
  }
}
