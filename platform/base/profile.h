// The profile store: our registry. The program's settings live under its application key, company\product, in
// sections (which may nest, "CommandBars\\Bar1") of named values, each an integer, a string or bytes. The
// operations are CWinApp's GetProfile*/WriteProfile* with their semantics; names compare without regard to case,
// as registry names do. Strings and names are the program's cp1251 text.
//
// On disk it is one UTF-8 text file, <user config home>/<company>/<product>/profile (folders.h), or
// $TESMIRA_PROFILE_DIR/profile when that is set. Its form, line by line:
//   # comment lines, and blank lines, anywhere
//   tesmira-profile 1                      the format and its version, first
//   section "Settings"                     then the values of that section, until the next section line:
//   int "StartPage" 0                        a signed 32-bit integer
//   string "InstallDir" "/opt/tesmira"       a string
//   binary "WindowPos" "2C000000..."         bytes as upper-case hex digit pairs
//   end                                    last: a file without it was cut short
// Quoted text is the cp1251 text as UTF-8, with \\, \" and \xHH (a cp1251 byte: controls, and 0x98, the one byte
// that maps to no character), so any bytes survive.
//
// Writes are whole-file and atomic: a temporary file in the same folder, fsync, rename. Two processes may write
// at once, and the last writer wins per value, not per file: each write takes an advisory lock (flock on
// "profile.lock"), re-reads the file, applies only its own change and writes the result. Reads take the file as it
// is (renames keep it consistent) and re-read it only when it has changed. A damaged file is set aside as
// "profile.damaged-<n>", said so in one line on stderr, and the store starts from defaults.
//
// A save of many values (the bar state, a pane layout) goes through a ProfileWriteBatch: while one is open for a
// file, every store and registry key of that file writes into one working copy that they also read from, and
// the outermost batch's Commit writes the file once. Nothing reaches the disk before that, so a save that fails
// part of the way leaves the previous values whole.
#pragma once

#include "platform/base/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProfileStore {
public:
  // The application key company\product (CWinApp::SetRegistryKey then the product name).
  ProfileStore(std::string_view company, std::string_view product);
  // The store whose file is `folder`/profile (a program path), as tests use it.
  static std::unique_ptr<ProfileStore> InFolder(std::string_view folder);
  ~ProfileStore();
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // The value, or `defaultValue` when it is missing or not an integer.
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue);
  // The value, or `defaultValue` (nullptr: empty) when it is missing or not a string.
  std::string GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue = nullptr);
  // MFC's form: TRUE with a new[]'d copy the caller delete[]s, or FALSE with *data nullptr and *bytes 0.
  BOOL GetProfileBinary(LPCSTR section, LPCSTR entry, BYTE** data, UINT* bytes);
  std::optional<std::vector<BYTE>> GetBinary(LPCSTR section, LPCSTR entry);

  // Each answers TRUE when the change reached the file.
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);
  // A nullptr `value` deletes the entry; a nullptr `entry` deletes the whole section, as MFC's does.
  BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);
  BOOL WriteProfileBinary(LPCSTR section, LPCSTR entry, const BYTE* data, UINT bytes);
  // FALSE when there was nothing to delete. A section goes with the sections nested in it.
  BOOL DeleteValue(LPCSTR section, LPCSTR entry);
  BOOL DeleteSection(LPCSTR section);

  // Names as first written: every section (nested ones by their full name), and the entries of one.
  std::vector<std::string> SectionNames();
  std::vector<std::string> EntryNames(LPCSTR section);

  // The file, as a file-system path.
  const std::string& FilePath() const;

private:
  friend class ProfileWriteBatch;
  explicit ProfileStore(std::string folder);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One atomic save. Batches are process-wide per file, and nest: an inner batch only counts; the outermost
// Commit re-reads the file under its lock, applies the batch's changes in order (so a value another process
// wrote meanwhile survives unless the batch changed it) and writes the result once. A batch whose value write
// failed, or whose inner batch was left without Commit, writes nothing: from the failure on, reads answer what
// the file holds and further writes of the batch answer FALSE. A batch left without Commit is abandoned.
class ProfileWriteBatch {
public:
  explicit ProfileWriteBatch(const ProfileStore& store);
  // The batch of the application key company\product, as the registry functions reach it.
  ProfileWriteBatch(std::string_view company, std::string_view product);
  ~ProfileWriteBatch();
  ProfileWriteBatch(const ProfileWriteBatch&) = delete;
  ProfileWriteBatch& operator=(const ProfileWriteBatch&) = delete;

  // TRUE when the batch's changes reached the file (an inner batch: when nothing failed so far).
  BOOL Commit();

private:
  std::string file_;
  bool finished_ = false;
};

// Called once a run, at the first write of the settings that fails (a full or read-only disk), with its errno;
// every failure is logged on stderr besides. Installing a notice starts the count again.
void SetProfileWriteFailureNotice(std::function<void(int error)> notice);

// For tests: makes every write of every store fail after `bytes` bytes of the temporary file, as a full disk
// would (nullopt: writes work again).
void SetProfileWriteFaultForTest(std::optional<std::size_t> bytes);
// For tests: counting from this call, the `n`-th value write or deletion (1: the next) fails as a full disk
// would, once (nullopt: none fails).
void SetProfileValueWriteFaultForTest(std::optional<int> n);
// For tests: how many times a profile file has been written whole since the process began.
std::size_t ProfileFileWritesForTest();

}  // namespace platform
