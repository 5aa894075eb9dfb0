#include "platform/base/fileops.h"

#include "platform/base/paths.h"
#include "platform/base/syserror.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::string Native(LPCSTR path) { return platform::ToFileSystemPath(path != nullptr ? path : ""); }

BOOL Fail(int error)
{
  platform::SetLastErrorFromErrno(error);
  return FALSE;
}

BOOL Succeed()
{
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

// Copies the bytes and permission bits of `from` to `to`; `exclusive` refuses an existing `to`.
int CopyContents(const std::string& from, const std::string& to, bool exclusive)
{
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    return errno;
  }
  struct stat info;
  if (fstat(in, &info) != 0 || S_ISDIR(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    close(in);
    return error;
  }
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
  int out = open(to.c_str(), flags, info.st_mode & 07777);
  if (out < 0) {
    int error = errno;
    close(in);
    return error;
  }
  int error = 0;
  char buffer[65536];
  for (;;) {
    ssize_t got = read(in, buffer, sizeof buffer);
    if (got == 0) {
      break;
    }
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      error = errno;
      break;
    }
    for (ssize_t written = 0; written < got;) {
      ssize_t put = write(out, buffer + written, static_cast<std::size_t>(got - written));
      if (put < 0) {
        if (errno == EINTR) {
          continue;
        }
        error = errno;
        break;
      }
      written += put;
    }
    if (error != 0) {
      break;
    }
  }
  close(in);
  if (close(out) != 0 && error == 0) {
    error = errno;
  }
  if (error != 0) {
    unlink(to.c_str());
  }
  return error;
}

// A starting number for GetTempFileName, different in each process, then counting on.
std::atomic<unsigned> g_nextUnique{0};

unsigned NextUnique()
{
  unsigned value = g_nextUnique.fetch_add(1);
  if (value == 0) {
    unsigned seed = 0;
    if (getrandom(&seed, sizeof seed, 0) != sizeof seed) {
      seed = static_cast<unsigned>(getpid()) * 2654435761u;
    }
    unsigned expected = 1;
    g_nextUnique.compare_exchange_strong(expected, seed);
    value = seed;
  }
  value &= 0xFFFF;
  return value == 0 ? 1 : value;
}

struct FindState {
  DIR* dir = nullptr;
  std::string folder;   // file-system path with trailing '/'
  std::string pattern;  // cp1251
};

bool FillFindData(FindState& state, LPWIN32_FIND_DATA data)
{
  while (dirent* entry = readdir(state.dir)) {
    std::string name = platform::FromFileSystemPath(entry->d_name);
    if (!platform::MatchesWildcard(state.pattern, name) || name.size() >= MAX_PATH) {
      continue;
    }
    struct stat info;
    if (stat((state.folder + entry->d_name).c_str(), &info) != 0) {
      continue;  // gone meanwhile, or a dangling link
    }
    *data = WIN32_FIND_DATA{};
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode)) {
      attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if ((info.st_mode & 0222) == 0) {
      attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (name[0] == '.' && name != "." && name != "..") {
      attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    data->dwFileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    data->ftLastWriteTime = platform::FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    data->ftLastAccessTime = platform::FileTimeFromUnix(info.st_atim.tv_sec, info.st_atim.tv_nsec);
    data->ftCreationTime = data->ftLastWriteTime;
    auto size = static_cast<std::uint64_t>(S_ISDIR(info.st_mode) ? 0 : info.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    return true;
  }
  return false;
}

}  // namespace

BOOL CreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
  if (mkdir(Native(path).c_str(), 0777) != 0) {
    return Fail(errno == ENOENT ? ENOTDIR : errno);
  }
  return Succeed();
}

BOOL RemoveDirectory(LPCSTR path)
{
  if (rmdir(Native(path).c_str()) != 0) {
    return Fail(errno == EEXIST ? ENOTEMPTY : errno);
  }
  return Succeed();
}

BOOL DeleteFile(LPCSTR path)
{
  std::string native = Native(path);
  struct stat info;
  if (lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return Fail(EACCES);  // Windows refuses DeleteFile on a folder with "access denied"
  }
  if (unlink(native.c_str()) != 0) {
    return Fail(errno);
  }
  return Succeed();
}

BOOL MoveFileEx(LPCSTR existingPath, LPCSTR newPath, DWORD flags)
{
  std::string from = Native(existingPath);
  std::string to = Native(newPath);
  bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  int result = replace ? rename(from.c_str(), to.c_str())
                       : renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result == 0) {
    if (flags & MOVEFILE_WRITE_THROUGH) {
      sync();
    }
    return Succeed();
  }
  int error = errno;
  if (error == EXDEV) {
    // Across file systems a file is copied and the original removed; Windows' MoveFile does the same.
    error = CopyContents(from, to, !replace);
    if (error == 0) {
      unlink(from.c_str());
      return Succeed();
    }
  }
  return Fail(error);
}

BOOL MoveFile(LPCSTR existingPath, LPCSTR newPath)
{
  return MoveFileEx(existingPath, newPath, MOVEFILE_COPY_ALLOWED);
}

BOOL CopyFile(LPCSTR existingPath, LPCSTR newPath, BOOL failIfExists)
{
  int error = CopyContents(Native(existingPath), Native(newPath), failIfExists != FALSE);
  if (error == EEXIST) {
    SetLastError(ERROR_FILE_EXISTS);
    return FALSE;
  }
  return error == 0 ? Succeed() : Fail(error);
}

DWORD GetFileAttributes(LPCSTR path)
{
  std::string native = Native(path);
  struct stat info;
  if (stat(native.c_str(), &info) != 0) {
    Fail(errno);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
  }
  if ((info.st_mode & 0222) == 0) {
    attributes |= FILE_ATTRIBUTE_READONLY;
  }
  std::string_view name = platform::FileNameOf(native);
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
    attributes |= FILE_ATTRIBUTE_HIDDEN;
  }
  return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributes(LPCSTR path, DWORD attributes)
{
  std::string native = Native(path);
  struct stat info;
  if (stat(native.c_str(), &info) != 0) {
    Fail(errno);
    return FALSE;
  }
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? mode & ~mode_t{0222} : mode | S_IWUSR;
  if (chmod(native.c_str(), mode) != 0) {
    Fail(errno);
    return FALSE;
  }
  return TRUE;
}

UINT GetTempFileName(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName)
{
  if (pathName == nullptr || tempFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string folder = pathName[0] != '\0' ? platform::WithTrailingSeparator(pathName) : std::string();
  std::string stem = folder + std::string(prefix != nullptr ? prefix : "").substr(0, 3);
  auto nameFor = [&stem](unsigned number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", number & 0xFFFF);
    return stem + digits + ".TMP";
  };
  auto deliver = [tempFileName](const std::string& name) {
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_BUFFER_OVERFLOW);
      return false;
    }
    std::memcpy(tempFileName, name.c_str(), name.size() + 1);
    return true;
  };

  if (unique != 0) {
    unique &= 0xFFFF;
    if (!deliver(nameFor(unique))) {
      return 0;
    }
    SetLastError(ERROR_SUCCESS);
    return unique;
  }

  if (nameFor(0).size() >= MAX_PATH) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  unsigned number = NextUnique();
  for (unsigned tries = 0; tries < 0xFFFF; ++tries) {
    std::string name = nameFor(number);
    int fd = open(platform::ToFileSystemPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      deliver(name);
      SetLastError(ERROR_SUCCESS);
      return number;
    }
    if (errno != EEXIST) {
      platform::SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno);
      return 0;
    }
    number = number == 0xFFFF ? 1 : number + 1;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer)
{
  std::unique_ptr<char, decltype(&std::free)> native(getcwd(nullptr, 0), &std::free);
  if (!native) {
    Fail(errno);
    return 0;
  }
  std::string folder = platform::FromFileSystemPath(native.get());
  auto length = static_cast<DWORD>(folder.size());
  if (buffer == nullptr || bufferLength <= length) {
    return length + 1;
  }
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return length;
}

BOOL SetCurrentDirectory(LPCSTR path)
{
  if (chdir(Native(path).c_str()) != 0) {
    return Fail(errno == ENOENT ? ENOTDIR : errno);
  }
  return Succeed();
}

HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data)
{
  if (pattern == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto state = std::make_unique<FindState>();
  std::string_view folder = platform::FolderOf(pattern);
  state->folder = folder.empty() ? std::string("./") : platform::ToFileSystemPath(folder);
  state->pattern = std::string(platform::FileNameOf(pattern));
  state->dir = opendir(state->folder.c_str());
  if (state->dir == nullptr) {
    Fail(errno == ENOENT ? ENOTDIR : errno);
    return INVALID_HANDLE_VALUE;
  }
  if (!FillFindData(*state, data)) {
    closedir(state->dir);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  SetLastError(ERROR_SUCCESS);
  return state.release();
}

BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data)
{
  if (find == nullptr || find == INVALID_HANDLE_VALUE || data == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!FillFindData(*static_cast<FindState*>(find), data)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return Succeed();
}

BOOL FindClose(HANDLE find)
{
  if (find == nullptr || find == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto* state = static_cast<FindState*>(find);
  closedir(state->dir);
  delete state;
  return Succeed();
}

namespace platform {

bool MatchesWildcard(std::string_view pattern, std::string_view name)
{
  if (pattern == "*.*") {
    return true;
  }
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  // Greedy matching with one back-track point, the usual linear-time form for '*'.
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

namespace {
constexpr std::string_view kSaveMark = ".~sav";
constexpr std::string_view kSaveEnd = ".TMP";

// The process id in a save temporary's name, or 0 when the name is no save temporary.
pid_t SaverOf(std::string_view name)
{
  const std::size_t mark = name.rfind(kSaveMark);
  if (mark == std::string_view::npos || mark == 0 || name.size() < kSaveEnd.size() ||
      name.substr(name.size() - kSaveEnd.size()) != kSaveEnd)
    return 0;
  const std::string_view digits = name.substr(mark + kSaveMark.size(),
                                              name.size() - kSaveEnd.size() - mark - kSaveMark.size());
  if (digits.empty() || digits.size() > 9)
    return 0;
  pid_t pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}
}  // namespace

std::string SaveTemporaryName(std::string_view target)
{
  return std::string(target) + std::string(kSaveMark) + std::to_string(::getpid()) + std::string(kSaveEnd);
}

int RemoveLeftSaveTemporaries(std::string_view folder)
{
  const std::string pattern = JoinPath(folder.empty() ? "." : folder, std::string("*") + std::string(kSaveEnd));
  WIN32_FIND_DATA found;
  HANDLE find = FindFirstFile(pattern.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE)
    return 0;
  std::vector<std::string> left;
  do {
    const pid_t saver = SaverOf(found.cFileName);
    if (saver <= 0 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      continue;
    // A process that exists but is another user's answers EPERM: it may be writing.
    const bool running = saver != ::getpid() && (::kill(saver, 0) == 0 || errno == EPERM);
    if (!running)
      left.push_back(JoinPath(folder.empty() ? "." : folder, found.cFileName));
  } while (FindNextFile(find, &found));
  FindClose(find);
  int removed = 0;
  for (const std::string& path : left)
    removed += DeleteFile(path.c_str()) ? 1 : 0;
  return removed;
}

int WriteFileWhole(std::string_view path, std::string_view bytes)
{
  const std::string target = ToFileSystemPath(path);
  RemoveLeftSaveTemporaries(FolderOf(path));
  const std::string temporary = ToFileSystemPath(SaveTemporaryName(path));
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0)
    return errno;
  int error = 0;
  std::size_t done = 0;
  while (error == 0 && done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno != EINTR)
      error = errno;
    else if (wrote > 0)
      done += static_cast<std::size_t>(wrote);
  }
  if (error == 0 && ::fsync(fd) != 0)
    error = errno;
  if (::close(fd) != 0 && error == 0)
    error = errno;
  if (error == 0) {
    // The file keeps the permissions it had.
    struct stat old;
    if (::stat(target.c_str(), &old) == 0)
      ::chmod(temporary.c_str(), old.st_mode & 07777);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
      error = errno;
  }
  if (error != 0)
    ::unlink(temporary.c_str());
  return error;
}

std::string WriteFailureReason(int error)
{
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "недостаточно места на диске";
    case EACCES:
    case EPERM:
      return "нет прав на запись в папку или файл";
    case EROFS:
      return "диск доступен только для чтения";
    case ENOENT:
    case ENOTDIR:
      return "папка не найдена";
    case EISDIR:
      return "под этим именем находится папка";
    case EIO:
      return "ошибка ввода-вывода";
    default:
      return "ошибка " + std::to_string(error);
  }
}

namespace {
// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;
}  // namespace

FILETIME FileTimeFromUnix(std::int64_t seconds, long nanoseconds)
{
  auto ticks = static_cast<std::uint64_t>(seconds * 10000000LL + nanoseconds / 100 + kEpochDifference);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::int64_t UnixFromFileTime(const FILETIME& time)
{
  auto ticks = static_cast<std::int64_t>(static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
  return (ticks - kEpochDifference) / 10000000LL;
}

}  // namespace platform
