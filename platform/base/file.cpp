#include "platform/base/file.h"

#include "platform/base/hresult.h"
#include "platform/base/paths.h"
#include "platform/base/syserror.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

DWORD LastErrno() { return Win32ErrorFromErrno(errno); }

}  // namespace

FileHandle::~FileHandle() { Close(); }

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

DWORD FileHandle::Open(std::string_view cp1251Path, FileAccess access, FileCreation creation, FileShare share)
{
  Close();
  int flags = O_CLOEXEC;
  switch (access) {
  case FileAccess::Read:
    flags |= O_RDONLY;
    break;
  case FileAccess::Write:
    flags |= O_WRONLY;
    break;
  case FileAccess::ReadWrite:
    flags |= O_RDWR;
    break;
  }
  switch (creation) {
  case FileCreation::OpenExisting:
    break;
  case FileCreation::CreateAlways:
    flags |= O_CREAT;  // truncated below, once the lock is held
    break;
  case FileCreation::OpenAlways:
    flags |= O_CREAT;
    break;
  }
  const std::string path = ToFileSystemPath(cp1251Path);
  if (path.empty()) {
    return ERROR_PATH_NOT_FOUND;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    DWORD error = LastErrno();
    // Windows tells a missing folder from a missing file.
    if (errno == ENOENT && creation != FileCreation::OpenExisting) {
      error = ERROR_PATH_NOT_FOUND;
    }
    return error;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return ERROR_ACCESS_DENIED;
  }
  {
    const int operation = (share == FileShare::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    int rc;
    do {
      rc = ::flock(fd, operation);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
      DWORD error = errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : LastErrno();
      ::close(fd);
      return error;
    }
  }
  if (creation == FileCreation::CreateAlways && access != FileAccess::Read && ::ftruncate(fd, 0) < 0) {
    DWORD error = LastErrno();
    ::close(fd);
    return error;
  }
  fd_ = fd;
  return ERROR_SUCCESS;
}

DWORD FileHandle::Read(void* buffer, std::size_t count, std::size_t* done)
{
  *done = 0;
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  auto* bytes = static_cast<char*>(buffer);
  while (*done < count) {
    ssize_t n = ::read(fd_, bytes + *done, count - *done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      // EBADF on an open descriptor: it was not opened for reading.
      return errno == EIO ? ERROR_READ_FAULT : errno == EBADF ? ERROR_ACCESS_DENIED : LastErrno();
    }
    if (n == 0) {
      break;
    }
    *done += static_cast<std::size_t>(n);
  }
  return ERROR_SUCCESS;
}

DWORD FileHandle::Write(const void* buffer, std::size_t count)
{
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  const auto* bytes = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, bytes + done, count - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno == EBADF ? ERROR_ACCESS_DENIED : LastErrno();
    }
    done += static_cast<std::size_t>(n);
  }
  return ERROR_SUCCESS;
}

DWORD FileHandle::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition)
{
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (pos < 0) {
    // Windows answers a seek before the start with ERROR_NEGATIVE_SEEK; the program only tells failure apart.
    return errno == EINVAL ? ERROR_INVALID_PARAMETER : LastErrno();
  }
  if (newPosition != nullptr) {
    *newPosition = static_cast<std::uint64_t>(pos);
  }
  return ERROR_SUCCESS;
}

DWORD FileHandle::GetLength(std::uint64_t* length) const
{
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  struct stat st {};
  if (::fstat(fd_, &st) < 0) {
    return LastErrno();
  }
  *length = static_cast<std::uint64_t>(st.st_size);
  return ERROR_SUCCESS;
}

DWORD FileHandle::SetLength(std::uint64_t length)
{
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  int rc;
  do {
    rc = ::ftruncate(fd_, static_cast<off_t>(length));
  } while (rc < 0 && errno == EINTR);
  return rc < 0 ? LastErrno() : ERROR_SUCCESS;
}

DWORD FileHandle::Flush()
{
  if (fd_ < 0) {
    return ERROR_INVALID_HANDLE;
  }
  // Files opened read-only cannot be synced on every file system; there is nothing of ours to flush then.
  if (::fdatasync(fd_) < 0 && errno != EBADF && errno != EINVAL) {
    return LastErrno();
  }
  return ERROR_SUCCESS;
}

DWORD FileHandle::Close()
{
  if (fd_ < 0) {
    return ERROR_SUCCESS;
  }
  int fd = std::exchange(fd_, -1);
  // The descriptor is gone even when close reports an error; EINTR must not be retried on Linux.
  if (::close(fd) < 0 && errno != EINTR) {
    return LastErrno();
  }
  return ERROR_SUCCESS;
}

DWORD GetFileInfo(std::string_view cp1251Path, FileInfo* info)
{
  const std::string path = ToFileSystemPath(cp1251Path);
  struct stat st {};
  if (::stat(path.c_str(), &st) < 0) {
    return LastErrno();
  }
  info->size = static_cast<std::uint64_t>(st.st_size);
  info->modifiedTime = st.st_mtime;
  info->isDirectory = S_ISDIR(st.st_mode);
  info->isReadOnly = ::access(path.c_str(), W_OK) != 0;
  return ERROR_SUCCESS;
}

}  // namespace platform
