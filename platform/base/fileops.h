// Windows' file and folder operations on program paths (cp1251, '\' or '/'), over POSIX. Each failure sets
// GetLastError to the Win32 code, as Windows does. (Reading and writing open files is file.h's.)
#pragma once

#include "platform/base/hresult.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
inline constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

// ERROR_ALREADY_EXISTS when there is one; ERROR_PATH_NOT_FOUND when the parent is missing.
BOOL CreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES securityAttributes);
// Only an empty folder (ERROR_DIR_NOT_EMPTY otherwise).
BOOL RemoveDirectory(LPCSTR path);
BOOL DeleteFile(LPCSTR path);
// Fails with ERROR_ALREADY_EXISTS when `newPath` exists; moves a file across file systems by copying.
BOOL MoveFile(LPCSTR existingPath, LPCSTR newPath);
BOOL MoveFileEx(LPCSTR existingPath, LPCSTR newPath, DWORD flags);
// With `failIfExists`, ERROR_FILE_EXISTS when `newPath` exists; otherwise it is replaced.
BOOL CopyFile(LPCSTR existingPath, LPCSTR newPath, BOOL failIfExists);
// FILE_ATTRIBUTE_*: DIRECTORY, READONLY (no write permission bits), HIDDEN (a name starting with '.'),
// NORMAL for a plain file; INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttributes(LPCSTR path);
// Only READONLY has a meaning here: it takes away every write permission bit, and its absence gives the owner
// write permission back. HIDDEN follows from the name and cannot be set.
BOOL SetFileAttributes(LPCSTR path, DWORD attributes);

// A temporary file name by Windows' rules: `pathName` + the first three characters of `prefix` + the unique
// number as four upper-case hex digits + ".TMP" (only the low 16 bits of `unique` count). With `unique` 0 a
// number is chosen, the file is created empty (and kept; the caller deletes it), and another number is tried
// while the name is taken; otherwise the name is only formed. Answers the number used, or 0 on failure.
// `tempFileName` receives at most MAX_PATH characters including the terminator (ERROR_BUFFER_OVERFLOW).
UINT GetTempFileName(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

// The current folder as a program path, without a trailing separator. Answers as GetTempPath does.
DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectory(LPCSTR path);

// Listing a folder, as CFileFind does: a pattern with '*' and '?' in its last component, matched without
// regard to ASCII case, as Windows matches. "*.*" matches every name. "." and ".." are listed when they match.
struct WIN32_FIND_DATA {
  DWORD dwFileAttributes = 0;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  DWORD dwReserved0 = 0;
  DWORD dwReserved1 = 0;
  CHAR cFileName[MAX_PATH] = {};
  CHAR cAlternateFileName[14] = {};
};
using LPWIN32_FIND_DATA = WIN32_FIND_DATA*;

// INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing matches (ERROR_PATH_NOT_FOUND: no such folder).
HANDLE FindFirstFile(LPCSTR pattern, LPWIN32_FIND_DATA data);
// FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFile(HANDLE find, LPWIN32_FIND_DATA data);
BOOL FindClose(HANDLE find);

namespace platform {

// True when `name` matches the Windows wildcard `pattern` ('*', '?'; ASCII case ignored).
bool MatchesWildcard(std::string_view pattern, std::string_view name);
// Seconds since 1970 <-> FILETIME.
FILETIME FileTimeFromUnix(std::int64_t seconds, long nanoseconds = 0);
std::int64_t UnixFromFileTime(const FILETIME& time);

// The temporary a save writes beside `target` before it takes the target's place: the target's name, ".~sav", the
// writing process's id and ".TMP". A save killed half-way leaves it behind; the id tells whose it was.
std::string SaveTemporaryName(std::string_view target);
// Deletes the save temporaries in `folder` that nobody is writing: this process's own (a save runs to its end
// before the next starts) and those of processes that no longer run. Answers how many went.
int RemoveLeftSaveTemporaries(std::string_view folder);

// Writes `bytes` as the file at the program path `path`, whole or not at all: into a save temporary beside it,
// flushed to the disk, then put in its place; on any failure the temporary goes and an existing file stays as it
// was. Answers 0, or the errno of the step that failed.
int WriteFileWhole(std::string_view path, std::string_view bytes);
// Why a write failed, for a message to the user: "недостаточно места на диске" and the like.
std::string WriteFailureReason(int error);

}  // namespace platform

// The code-page names of the same functions, as some callers spell them.
inline BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) { return CreateDirectory(path, attributes); }
inline BOOL DeleteFileA(LPCSTR path) { return DeleteFile(path); }
inline DWORD GetFileAttributesA(LPCSTR path) { return GetFileAttributes(path); }
inline BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) { return SetFileAttributes(path, attributes); }
inline UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName)
{
  return GetTempFileName(pathName, prefix, unique, tempFileName);
}
