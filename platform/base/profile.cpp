// The profile store: the file form and the locking are described in profile.h.
#include "platform/base/profile.h"

#include "platform/base/codepage.h"
#include "platform/base/folders.h"
#include "platform/base/paths.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <utility>
#include <variant>

namespace platform {

namespace {

constexpr char kFileName[] = "profile";
constexpr char kLockName[] = "profile.lock";
constexpr char kTempName[] = "profile.tmp";
constexpr char kHeader[] = "tesmira-profile 1";
constexpr char kHexDigits[] = "0123456789ABCDEF";
// The program's own settings, bars and panes take a few tens of kilobytes; a larger file is no profile it wrote,
// and reading it would hold up every start.
constexpr std::size_t kMostProfileBytes = 1024 * 1024;

// -1: no fault; otherwise the bytes a write may put before it fails.
std::atomic<long long> g_writeFaultAfter{-1};
// 0: no fault; otherwise the value writes left until the one that fails.
std::atomic<long long> g_valueWriteFaultIn{0};
std::atomic<std::size_t> g_fileWrites{0};

bool ThisValueWriteFails()
{
  long long left = g_valueWriteFaultIn.load();
  while (left > 0) {
    if (g_valueWriteFaultIn.compare_exchange_weak(left, left - 1)) {
      return left == 1;
    }
  }
  return false;
}

void Log(const std::string& line) { std::fprintf(stderr, "tesmira: %s\n", line.c_str()); }

std::mutex g_noticeMutex;
std::function<void(int)> g_writeFailureNotice;
bool g_writeFailureTold = false;

// A setting that was not kept is logged each time; the user hears of it once a run, with the first reason.
void NotKept(const std::string& line, int error)
{
  Log(line);
  std::function<void(int)> notice;
  {
    std::lock_guard guard(g_noticeMutex);
    if (g_writeFailureTold || !g_writeFailureNotice)
      return;
    g_writeFailureTold = true;
    notice = g_writeFailureNotice;
  }
  notice(error);
}

// ---- names ----

// Registry names ignore case: ASCII letters and cp1251's Cyrillic letters fold to lower case.
std::string Fold(std::string_view name)
{
  std::string folded(name);
  for (char& c : folded) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') {
      b = static_cast<unsigned char>(b - 'A' + 'a');
    } else if (b >= 0xC0 && b <= 0xDF) {
      b = static_cast<unsigned char>(b + 0x20);
    } else if (b == 0xA8) {  // Ё
      b = 0xB8;
    }
    c = static_cast<char>(b);
  }
  return folded;
}

// ---- the data ----

using Value = std::variant<std::int32_t, std::string, std::vector<BYTE>>;

struct Entry {
  std::string name;
  Value value;
};

struct Section {
  std::string name;
  std::map<std::string, Entry> entries;  // by folded name
};

using Sections = std::map<std::string, Section>;  // by folded name

const Value* Find(const Sections& sections, std::string_view section, std::string_view entry)
{
  auto s = sections.find(Fold(section));
  if (s == sections.end()) {
    return nullptr;
  }
  auto e = s->second.entries.find(Fold(entry));
  return e == s->second.entries.end() ? nullptr : &e->second.value;
}

void Put(Sections& sections, std::string_view section, std::string_view entry, Value value)
{
  Section& s = sections[Fold(section)];
  if (s.name.empty()) {
    s.name = section;
  }
  Entry& e = s.entries[Fold(entry)];
  if (e.name.empty()) {
    e.name = entry;
  }
  e.value = std::move(value);
}

enum class Change { Refused, Made, NoneNeeded };
using ChangeFn = std::function<Change(Sections&)>;

// ---- the text form ----

void AppendQuoted(std::string& out, std::string_view cp1251)
{
  out.push_back('"');
  for (char c : cp1251) {
    auto b = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (b < 0x20 || b == 0x7F || b == codepage::kUnmappedByte) {
      out += "\\x";
      out.push_back(kHexDigits[b >> 4]);
      out.push_back(kHexDigits[b & 0xF]);
    } else if (b < 0x80) {
      out.push_back(c);
    } else {
      out += codepage::Cp1251ToUtf8(std::string_view(&c, 1));
    }
  }
  out.push_back('"');
}

std::string Serialize(const Sections& sections)
{
  std::string out = "# Tesmira Road settings, the program's registry. Written whole by the program; the form is "
                    "described in platform/base/profile.h.\n";
  out += kHeader;
  out.push_back('\n');
  for (const auto& [foldedSection, section] : sections) {
    out += "section ";
    AppendQuoted(out, section.name);
    out.push_back('\n');
    for (const auto& [foldedEntry, entry] : section.entries) {
      if (const auto* integer = std::get_if<std::int32_t>(&entry.value)) {
        out += "int ";
        AppendQuoted(out, entry.name);
        out += " " + std::to_string(*integer);
      } else if (const auto* text = std::get_if<std::string>(&entry.value)) {
        out += "string ";
        AppendQuoted(out, entry.name);
        out.push_back(' ');
        AppendQuoted(out, *text);
      } else {
        out += "binary ";
        AppendQuoted(out, entry.name);
        out += " \"";
        for (BYTE b : std::get<std::vector<BYTE>>(entry.value)) {
          out.push_back(kHexDigits[b >> 4]);
          out.push_back(kHexDigits[b & 0xF]);
        }
        out.push_back('"');
      }
      out.push_back('\n');
    }
  }
  out += "end\n";
  return out;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

// One line being read: a keyword, quoted strings and a number, separated by spaces.
class LineReader {
public:
  explicit LineReader(std::string_view line) : line_(line) {}

  std::string_view Word()
  {
    SkipSpaces();
    std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') {
      ++pos_;
    }
    return line_.substr(start, pos_ - start);
  }

  // A quoted string, unescaped to cp1251.
  bool Quoted(std::string& out)
  {
    SkipSpaces();
    if (pos_ >= line_.size() || line_[pos_] != '"') {
      return false;
    }
    ++pos_;
    out.clear();
    std::size_t runStart = pos_;  // a run of plain UTF-8 text, converted as a whole
    auto flush = [&] {
      out += codepage::Utf8ToCp1251(line_.substr(runStart, pos_ - runStart));
    };
    while (pos_ < line_.size()) {
      char c = line_[pos_];
      if (c == '"') {
        flush();
        ++pos_;
        return true;
      }
      if (c != '\\') {
        ++pos_;
        continue;
      }
      flush();
      if (pos_ + 1 >= line_.size()) {
        return false;
      }
      char escaped = line_[pos_ + 1];
      if (escaped == '\\' || escaped == '"') {
        out.push_back(escaped);
        pos_ += 2;
      } else if (escaped == 'x' && pos_ + 3 < line_.size() && HexValue(line_[pos_ + 2]) >= 0 &&
                 HexValue(line_[pos_ + 3]) >= 0) {
        out.push_back(static_cast<char>(HexValue(line_[pos_ + 2]) * 16 + HexValue(line_[pos_ + 3])));
        pos_ += 4;
      } else {
        return false;
      }
      runStart = pos_;
    }
    return false;  // no closing quote
  }

  bool AtEnd()
  {
    SkipSpaces();
    return pos_ == line_.size();
  }

private:
  void SkipSpaces()
  {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) {
      ++pos_;
    }
  }

  std::string_view line_;
  std::size_t pos_ = 0;
};

// Reads the text form; on damage answers false with what was wrong and where.
bool Parse(std::string_view text, Sections& sections, std::string& problem)
{
  sections.clear();
  bool seenHeader = false;
  bool seenEnd = false;
  Section* current = nullptr;
  std::size_t lineNumber = 0;
  auto fail = [&](const std::string& what) {
    problem = what + " at line " + std::to_string(lineNumber);
    return false;
  };
  while (!text.empty()) {
    ++lineNumber;
    std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    LineReader reader(line);
    std::string_view keyword = reader.Word();
    if (keyword.empty() || keyword[0] == '#') {
      continue;
    }
    if (seenEnd) {
      return fail("text after the end line");
    }
    if (!seenHeader) {
      if (line != kHeader) {
        return fail("not a profile file (no \"" + std::string(kHeader) + "\" line first)");
      }
      seenHeader = true;
      continue;
    }
    if (keyword == "end") {
      if (!reader.AtEnd()) {
        return fail("text after \"end\"");
      }
      seenEnd = true;
      continue;
    }
    std::string name;
    if (keyword == "section") {
      if (!reader.Quoted(name) || !reader.AtEnd()) {
        return fail("bad section line");
      }
      current = &sections[Fold(name)];
      if (current->name.empty()) {
        current->name = name;
      }
      continue;
    }
    if (current == nullptr) {
      return fail("a value before any section");
    }
    if (!reader.Quoted(name)) {
      return fail("bad value name");
    }
    Value value;
    if (keyword == "int") {
      std::string_view digits = reader.Word();
      std::int64_t number = 0;
      auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || number < INT32_MIN ||
          number > INT32_MAX) {
        return fail("bad integer");
      }
      value = static_cast<std::int32_t>(number);
    } else if (keyword == "string") {
      std::string text;
      if (!reader.Quoted(text)) {
        return fail("bad string");
      }
      value = std::move(text);
    } else if (keyword == "binary") {
      std::string hex;
      if (!reader.Quoted(hex) || hex.size() % 2 != 0) {
        return fail("bad binary value");
      }
      std::vector<BYTE> bytes(hex.size() / 2);
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        int high = HexValue(hex[2 * i]);
        int low = HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
          return fail("bad binary value");
        }
        bytes[i] = static_cast<BYTE>(high * 16 + low);
      }
      value = std::move(bytes);
    } else {
      return fail("unknown line \"" + std::string(keyword) + "\"");
    }
    if (!reader.AtEnd()) {
      return fail("text after the value");
    }
    Entry& entry = current->entries[Fold(name)];
    if (entry.name.empty()) {
      entry.name = name;
    }
    entry.value = std::move(value);
  }
  if (!seenHeader) {
    problem = "empty file";
    return false;
  }
  if (!seenEnd) {
    problem = "cut short (no end line)";
    return false;
  }
  return true;
}

// ---- the file ----

// What identifies one version of the file: every write makes a new inode by rename.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  static FileIdentity Of(const struct stat& info)
  {
    return FileIdentity{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
  }
  bool operator==(const FileIdentity& o) const
  {
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

enum class ReadOutcome { Read, Missing, Damaged, Failed };

// An exclusive flock on the lock file for a scope.
class FileLock {
public:
  explicit FileLock(const std::string& path)
  {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
          close(fd_);
          fd_ = -1;
          break;
        }
      }
    }
  }
  ~FileLock()
  {
    if (fd_ >= 0) {
      close(fd_);  // releases the lock
    }
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return fd_ >= 0; }

private:
  int fd_ = -1;
};

bool WriteAll(int fd, const std::string& bytes, std::size_t limit)
{
  std::size_t written = 0;
  while (written < bytes.size()) {
    std::size_t want = std::min(bytes.size() - written, limit - std::min(limit, written));
    if (want == 0) {
      errno = ENOSPC;
      return false;
    }
    ssize_t put = write(fd, bytes.data() + written, want);
    if (put < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    written += static_cast<std::size_t>(put);
  }
  return true;
}

// The open write batch of one file: the values as the batch has made them, and its changes in order.
struct Batch {
  int depth = 0;
  bool failed = false;
  bool loaded = false;  // `working` holds the file as read at the batch's first write, with the changes since
  Sections working;
  std::vector<ChangeFn> changes;
  std::unique_ptr<ProfileStore> writer;  // a store of the same file, which writes the batch at the end
};

// Guards the batches; taken before any store's own mutex, never after it.
std::mutex& BatchMutex()
{
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, Batch>& Batches()  // by the file's path
{
  static std::map<std::string, Batch> batches;
  return batches;
}

Batch* FindBatch(const std::string& file)
{
  auto found = Batches().find(file);
  return found == Batches().end() ? nullptr : &found->second;
}

// The batch can no longer be written whole: it forgets its changes, so that reads answer the file again.
void Fail(Batch& batch)
{
  batch.failed = true;
  batch.loaded = false;
  batch.working.clear();
  batch.changes.clear();
}

}  // namespace

struct ProfileStore::Impl {
  std::string folder;  // file-system path with trailing '/'
  std::string file;
  std::string lockFile;
  std::string tempFile;

  std::mutex mutex;  // guards the cache; the file lock guards the file between processes
  Sections cache;
  std::optional<FileIdentity> cachedIdentity;  // of the file the cache was read from; nullopt: no file
  bool cacheValid = false;

  // Reads the file as it stands now.
  ReadOutcome ReadFile(Sections& sections, std::optional<FileIdentity>& identity, std::string& problem)
  {
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      identity.reset();
      sections.clear();
      if (errno == ENOENT) {
        return ReadOutcome::Missing;
      }
      problem = std::strerror(errno);
      return ReadOutcome::Failed;
    }
    struct stat info;
    std::string text;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok && static_cast<std::uintmax_t>(info.st_size) > kMostProfileBytes) {
      identity = FileIdentity::Of(info);
      close(fd);
      sections.clear();
      problem = "larger than " + std::to_string(kMostProfileBytes) + " bytes";
      return ReadOutcome::Damaged;
    }
    if (ok) {
      identity = FileIdentity::Of(info);
      char buffer[65536];
      for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) {
          break;
        }
        if (got < 0) {
          if (errno == EINTR) {
            continue;
          }
          ok = false;
          break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > kMostProfileBytes) {
          // Grown while it was read: refused as the larger file it now is.
          close(fd);
          sections.clear();
          problem = "larger than " + std::to_string(kMostProfileBytes) + " bytes";
          return ReadOutcome::Damaged;
        }
      }
    }
    if (!ok) {
      problem = std::strerror(errno != 0 ? errno : EISDIR);
    }
    close(fd);
    if (!ok) {
      return ReadOutcome::Failed;
    }
    return Parse(text, sections, problem) ? ReadOutcome::Read : ReadOutcome::Damaged;
  }

  // With the file lock held: moves a damaged file aside under the first free "profile.damaged-<n>".
  void SetAside(const std::string& problem)
  {
    for (int n = 1; n < 10000; ++n) {
      std::string aside = file + ".damaged-" + std::to_string(n);
      if (renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
        Log("the profile " + file + " is damaged (" + problem + "); kept as " + aside +
            ", and the settings start from their defaults");
        return;
      }
      if (errno != EEXIST) {
        break;
      }
    }
    Log("the profile " + file + " is damaged (" + problem + ") and could not be set aside (" +
        std::strerror(errno) + "); the settings start from their defaults");
  }

  // With the file lock held: the file's sections, a damaged file set aside. False when the file is there but
  // cannot be read, so that nobody writes over what they could not read.
  bool ReadLocked(Sections& sections, std::optional<FileIdentity>& identity)
  {
    std::string problem;
    ReadOutcome outcome = ReadFile(sections, identity, problem);
    if (outcome == ReadOutcome::Damaged) {
      SetAside(problem);
      sections.clear();
      identity.reset();
    } else if (outcome == ReadOutcome::Failed) {
      Log("the profile " + file + " cannot be read (" + problem + "); the settings use their defaults");
      sections.clear();
      return false;
    }
    return true;
  }

  // With `mutex` held: brings the cache up to the file.
  void Refresh()
  {
    struct stat info;
    std::optional<FileIdentity> now;
    if (stat(file.c_str(), &info) == 0) {
      now = FileIdentity::Of(info);
    }
    if (cacheValid && now == cachedIdentity) {
      return;
    }
    std::string problem;
    ReadOutcome outcome = ReadFile(cache, cachedIdentity, problem);
    if (outcome == ReadOutcome::Damaged) {
      MakeFolders(FromFileSystemPath(folder));
      FileLock lock(lockFile);
      ReadLocked(cache, cachedIdentity);
    } else if (outcome == ReadOutcome::Failed) {
      Log("the profile " + file + " cannot be read (" + problem + "); the settings use their defaults");
      cache.clear();
      cachedIdentity = now;  // said once, until the file changes
    }
    cacheValid = true;
  }

  // With `mutex` and the file lock held: writes `sections` whole or not at all.
  bool WriteLocked(const Sections& sections, std::optional<FileIdentity>& identity)
  {
    std::string text = Serialize(sections);
    long long fault = g_writeFaultAfter.load();
    std::size_t limit = fault < 0 ? SIZE_MAX : static_cast<std::size_t>(fault);
    int fd = open(tempFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    ok = ok && WriteAll(fd, text, limit);
    ok = ok && fsync(fd) == 0;
    int error = errno;
    if (fd >= 0 && close(fd) != 0 && ok) {
      ok = false;
      error = errno;
    }
    ok = ok && rename(tempFile.c_str(), file.c_str()) == 0;
    if (!ok) {
      error = error != 0 ? error : errno;
      unlink(tempFile.c_str());
      NotKept("the profile " + file + " was not written (" + std::strerror(error) + "); it keeps its previous values",
              error);
      return false;
    }
    // The rename itself must reach the disk too.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
    ++g_fileWrites;
    struct stat info;
    identity.reset();
    if (stat(file.c_str(), &info) == 0) {
      identity = FileIdentity::Of(info);
    }
    return true;
  }

  using Change = platform::Change;

  // With BatchMutex held: `change` applied to the batch's working copy, which is read from the file first.
  bool MutateInBatch(Batch& batch, const ChangeFn& change)
  {
    if (batch.failed) {
      return false;
    }
    if (!batch.loaded) {
      std::lock_guard guard(mutex);
      MakeFolders(FromFileSystemPath(folder));
      FileLock lock(lockFile);
      std::optional<FileIdentity> identity;
      if (!lock.Held() || !ReadLocked(batch.working, identity)) {
        Log("the profile " + file + " cannot be read for a batch of changes; the batch writes nothing");
        Fail(batch);
        return false;
      }
      batch.loaded = true;
    }
    Change outcome = change(batch.working);
    if (outcome == Change::Made) {
      batch.changes.push_back(change);
    }
    return outcome != Change::Refused;
  }

  // With BatchMutex held, at the end of the outermost batch: its changes applied to the file as it is now,
  // written once.
  bool WriteBatch(const std::vector<ChangeFn>& changes)
  {
    if (changes.empty()) {
      return true;
    }
    std::lock_guard guard(mutex);
    MakeFolders(FromFileSystemPath(folder));
    FileLock lock(lockFile);
    if (!lock.Held()) {
      const int error = errno;
      NotKept("the profile " + file + " cannot be locked (" + std::strerror(error) + "); nothing was written",
              error);
      return false;
    }
    Sections sections;
    std::optional<FileIdentity> identity;
    if (!ReadLocked(sections, identity)) {
      cacheValid = false;
      return false;
    }
    bool changed = false;
    for (const ChangeFn& change : changes) {
      changed = change(sections) == Change::Made || changed;
    }
    if (!changed) {
      return true;
    }
    if (!WriteLocked(sections, identity)) {
      cacheValid = false;
      return false;
    }
    cache = std::move(sections);
    cachedIdentity = identity;
    cacheValid = true;
    return true;
  }

  // Re-reads the file under the lock, applies `change` and writes the result when it changed anything; inside
  // a batch, changes the batch's copy instead. False when `change` refused or the file could not be read or
  // written.
  bool Mutate(const ChangeFn& change)
  {
    {
      std::lock_guard batchGuard(BatchMutex());
      Batch* batch = FindBatch(file);
      if (ThisValueWriteFails()) {
        NotKept("the profile " + file + " was not written (injected fault); it keeps its previous values",
                ENOSPC);
        if (batch != nullptr) {
          Fail(*batch);
        }
        return false;
      }
      if (batch != nullptr) {
        return MutateInBatch(*batch, change);
      }
    }
    std::lock_guard guard(mutex);
    MakeFolders(FromFileSystemPath(folder));
    FileLock lock(lockFile);
    if (!lock.Held()) {
      const int error = errno;
      NotKept("the profile " + file + " cannot be locked (" + std::strerror(error) + "); nothing was written",
              error);
      return false;
    }
    Sections sections;
    std::optional<FileIdentity> identity;
    if (!ReadLocked(sections, identity)) {
      cacheValid = false;
      return false;
    }
    cache = sections;
    cachedIdentity = identity;
    cacheValid = true;
    Change outcome = change(sections);
    if (outcome != Change::Made) {
      return outcome == Change::NoneNeeded;
    }
    if (!WriteLocked(sections, identity)) {
      return false;
    }
    cache = std::move(sections);
    cachedIdentity = identity;
    return true;
  }

  // `read` over the values as they stand: a batch's working copy, else the file's.
  template <class Read>
  auto WithSections(Read read)
  {
    {
      std::lock_guard batchGuard(BatchMutex());
      if (Batch* batch = FindBatch(file); batch != nullptr && batch->loaded) {
        return read(std::as_const(batch->working));
      }
    }
    std::lock_guard guard(mutex);
    Refresh();
    return read(std::as_const(cache));
  }

  template <class T>
  std::optional<T> Get(LPCSTR section, LPCSTR entry)
  {
    if (section == nullptr || entry == nullptr) {
      return std::nullopt;
    }
    return WithSections([&](const Sections& sections) -> std::optional<T> {
      const Value* value = Find(sections, section, entry);
      if (value == nullptr || !std::holds_alternative<T>(*value)) {
        return std::nullopt;
      }
      return std::get<T>(*value);
    });
  }

  BOOL Set(LPCSTR section, LPCSTR entry, Value value)
  {
    if (section == nullptr || entry == nullptr) {
      return FALSE;
    }
    // Changes are kept by a batch, so they own what they change.
    return Mutate([section = std::string(section), entry = std::string(entry),
                   value = std::move(value)](Sections& sections) {
      const Value* old = Find(sections, section, entry);
      if (old != nullptr && *old == value) {
        return Change::NoneNeeded;
      }
      Put(sections, section, entry, value);
      return Change::Made;
    }) ? TRUE : FALSE;
  }
};

ProfileStore::ProfileStore(std::string folder) : impl_(std::make_unique<Impl>())
{
  impl_->folder = WithTrailingSeparator(ToFileSystemPath(folder));
  impl_->file = impl_->folder + kFileName;
  impl_->lockFile = impl_->folder + kLockName;
  impl_->tempFile = impl_->folder + kTempName;
}

ProfileStore::ProfileStore(std::string_view company, std::string_view product)
    : ProfileStore([&] {
        if (const char* dir = std::getenv("TESMIRA_PROFILE_DIR"); dir != nullptr && dir[0] != '\0') {
          return FromFileSystemPath(dir);
        }
        return UserConfigHome() + std::string(company) + "/" + std::string(product) + "/";
      }())
{
}

std::unique_ptr<ProfileStore> ProfileStore::InFolder(std::string_view folder)
{
  return std::unique_ptr<ProfileStore>(new ProfileStore(std::string(folder)));
}

ProfileStore::~ProfileStore() = default;

const std::string& ProfileStore::FilePath() const { return impl_->file; }

UINT ProfileStore::GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue)
{
  return static_cast<UINT>(impl_->Get<std::int32_t>(section, entry).value_or(defaultValue));
}

std::string ProfileStore::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue)
{
  if (auto value = impl_->Get<std::string>(section, entry)) {
    return *value;
  }
  return defaultValue != nullptr ? defaultValue : "";
}

std::optional<std::vector<BYTE>> ProfileStore::GetBinary(LPCSTR section, LPCSTR entry)
{
  return impl_->Get<std::vector<BYTE>>(section, entry);
}

BOOL ProfileStore::GetProfileBinary(LPCSTR section, LPCSTR entry, BYTE** data, UINT* bytes)
{
  if (data == nullptr || bytes == nullptr) {
    return FALSE;
  }
  *data = nullptr;
  *bytes = 0;
  auto value = GetBinary(section, entry);
  if (!value) {
    return FALSE;
  }
  *data = new BYTE[value->empty() ? 1 : value->size()];
  std::copy(value->begin(), value->end(), *data);
  *bytes = static_cast<UINT>(value->size());
  return TRUE;
}

BOOL ProfileStore::WriteProfileInt(LPCSTR section, LPCSTR entry, int value)
{
  return impl_->Set(section, entry, static_cast<std::int32_t>(value));
}

BOOL ProfileStore::WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value)
{
  if (entry == nullptr) {
    return DeleteSection(section);
  }
  if (value == nullptr) {
    return DeleteValue(section, entry);
  }
  return impl_->Set(section, entry, std::string(value));
}

BOOL ProfileStore::WriteProfileBinary(LPCSTR section, LPCSTR entry, const BYTE* data, UINT bytes)
{
  if (data == nullptr && bytes != 0) {
    return FALSE;
  }
  return impl_->Set(section, entry, std::vector<BYTE>(data, data + bytes));
}

BOOL ProfileStore::DeleteValue(LPCSTR section, LPCSTR entry)
{
  if (section == nullptr || entry == nullptr) {
    return FALSE;
  }
  return impl_->Mutate([section = Fold(section), entry = Fold(entry)](Sections& sections) {
    auto s = sections.find(section);
    bool erased = s != sections.end() && s->second.entries.erase(entry) != 0;
    return erased ? Impl::Change::Made : Impl::Change::Refused;
  }) ? TRUE : FALSE;
}

BOOL ProfileStore::DeleteSection(LPCSTR section)
{
  if (section == nullptr || section[0] == '\0') {
    return FALSE;
  }
  return impl_->Mutate([folded = Fold(section)](Sections& sections) {
    std::string nestedPrefix = folded + "\\";
    std::size_t before = sections.size();
    std::erase_if(sections, [&](const auto& s) { return s.first == folded || s.first.starts_with(nestedPrefix); });
    return sections.size() != before ? Impl::Change::Made : Impl::Change::Refused;
  }) ? TRUE : FALSE;
}

std::vector<std::string> ProfileStore::SectionNames()
{
  return impl_->WithSections([](const Sections& sections) {
    std::vector<std::string> names;
    for (const auto& [folded, section] : sections) {
      names.push_back(section.name);
    }
    return names;
  });
}

std::vector<std::string> ProfileStore::EntryNames(LPCSTR section)
{
  std::vector<std::string> names;
  if (section == nullptr) {
    return names;
  }
  return impl_->WithSections([&](const Sections& sections) {
    if (auto s = sections.find(Fold(section)); s != sections.end()) {
      for (const auto& [folded, entry] : s->second.entries) {
        names.push_back(entry.name);
      }
    }
    return names;
  });
}

void SetProfileWriteFaultForTest(std::optional<std::size_t> bytes)
{
  g_writeFaultAfter = bytes ? static_cast<long long>(*bytes) : -1;
}

void SetProfileValueWriteFaultForTest(std::optional<int> n)
{
  g_valueWriteFaultIn = n && *n > 0 ? *n : 0;
}

std::size_t ProfileFileWritesForTest() { return g_fileWrites.load(); }

ProfileWriteBatch::ProfileWriteBatch(const ProfileStore& store) : file_(store.impl_->file)
{
  std::lock_guard guard(BatchMutex());
  Batch& batch = Batches()[file_];
  if (batch.depth++ == 0) {
    batch.writer.reset(new ProfileStore(FromFileSystemPath(store.impl_->folder)));
  }
}

ProfileWriteBatch::ProfileWriteBatch(std::string_view company, std::string_view product)
    : ProfileWriteBatch(ProfileStore(company, product))
{
}

ProfileWriteBatch::~ProfileWriteBatch()
{
  if (finished_) {
    return;
  }
  std::lock_guard guard(BatchMutex());
  Batch* batch = FindBatch(file_);
  if (batch != nullptr && --batch->depth > 0) {
    Fail(*batch);  // an inner part of the save was given up, so the whole save cannot be written
  } else {
    Batches().erase(file_);
  }
}

BOOL ProfileWriteBatch::Commit()
{
  if (finished_) {
    return FALSE;
  }
  finished_ = true;
  std::lock_guard guard(BatchMutex());
  Batch* batch = FindBatch(file_);
  if (batch == nullptr) {
    return FALSE;
  }
  if (--batch->depth > 0) {
    return batch->failed ? FALSE : TRUE;
  }
  // Taken out first: the writer's own store must not see the batch it is writing.
  Batch ended = std::move(*batch);
  Batches().erase(file_);
  return !ended.failed && ended.writer->impl_->WriteBatch(ended.changes) ? TRUE : FALSE;
}

void SetProfileWriteFailureNotice(std::function<void(int error)> notice)
{
  std::lock_guard guard(g_noticeMutex);
  g_writeFailureNotice = std::move(notice);
  g_writeFailureTold = false;
}

}  // namespace platform
