// Low-level files: what CFile needs, on POSIX descriptors. Paths arrive as program paths (code page 1251,
// '\' or '/') and become file-system paths here (paths.h); failures come back as Win32 error codes, never
// as errno. Deleting, renaming and listing files are fileops.h's.
#pragma once

#include "platform/base/wintypes.h"

#include <cstdint>
#include <string_view>

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };

enum class FileCreation {
  OpenExisting,  // fails with ERROR_FILE_NOT_FOUND when absent
  CreateAlways,  // creates, or truncates what is there
  OpenAlways,    // creates when absent, keeps the contents otherwise
};

// How others may share the file while it is open. POSIX has no mandatory share modes; we take advisory
// whole-file locks (flock), so that an exclusive open and any other open through this layer refuse each other
// (ERROR_SHARING_VIOLATION) as on Windows: Exclusive takes an exclusive lock, every other mode a shared one.
// Finer refusals (a writer against a DenyWrite reader) are not made.
enum class FileShare { DenyNone, DenyWrite, DenyRead, Exclusive };

enum class SeekOrigin { Begin, Current, End };

// One open file. Move-only; closes on destruction.
class FileHandle {
public:
  FileHandle() = default;
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Each answers ERROR_SUCCESS or a Win32 error code.
  DWORD Open(std::string_view cp1251Path, FileAccess access, FileCreation creation, FileShare share);
  // Reads up to `count` bytes; `*done` is what arrived (less only at the end of the file).
  DWORD Read(void* buffer, std::size_t count, std::size_t* done);
  DWORD Write(const void* buffer, std::size_t count);
  DWORD Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* newPosition);
  DWORD GetLength(std::uint64_t* length) const;
  DWORD SetLength(std::uint64_t length);
  DWORD Flush();
  DWORD Close();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }

private:
  int fd_ = -1;
};

struct FileInfo {
  std::uint64_t size = 0;
  std::int64_t modifiedTime = 0;  // seconds since 1970, UTC
  bool isDirectory = false;
  bool isReadOnly = false;
};
// ERROR_SUCCESS or a Win32 error code.
DWORD GetFileInfo(std::string_view cp1251Path, FileInfo* info);

}  // namespace platform
