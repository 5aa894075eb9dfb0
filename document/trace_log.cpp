#include "document/trace_log.h"

#include "platform/base/folders.h"
#include "platform/base/paths.h"

#include <memory>
#include <mutex>

namespace LoggerObjs {
namespace {

std::mutex g_installedMutex;
std::unique_ptr<Log>& Installed()
{
  static std::unique_ptr<Log> log;
  return log;
}

constexpr char kLogFileName[] = "qorroad.log";

}  // namespace

void Log::Write(const CString& /*text*/) { ++messageCount_; }

void Log::WriteStep(int step)
{
  CString text;
  text.Format("%d", step);
  Write(text);
  steps_.push_back(step);
}

FileLogger::FileLogger(const CString& path)
{
  file_.open(platform::ToFileSystemPath(static_cast<const char*>(path)), std::ios::out | std::ios::trunc | std::ios::binary);
}

FileLogger::~FileLogger() = default;

void FileLogger::Write(const CString& text)
{
  Log::Write(text);
  if (file_.is_open()) {
    file_.write(static_cast<const char*>(text), text.GetLength());
    file_.put('\n');
    file_.flush();
  }
}

Log* FileLoggerFactory::Create() { return new FileLogger(path_); }

void InstallLogger(LoggerFactory* factory)
{
  std::unique_ptr<Log> created(factory != nullptr ? factory->Create() : new Log);
  std::lock_guard lock(g_installedMutex);
  Installed() = std::move(created);
}

Log& GetLogger()
{
  std::lock_guard lock(g_installedMutex);
  auto& log = Installed();
  if (!log) {
    log = std::make_unique<Log>();
  }
  return *log;
}

CString StartTraceLog(const CString& dataFolder)
{
  // The data folder may exist but refuse writing (a read-only profile, a full disk): the temporary folder is the
  // next best place, and a log that only counts still lets the start go on.
  std::vector<CString> candidates;
  if (!dataFolder.IsEmpty()) {
    candidates.push_back(dataFolder + kLogFileName);
  }
  candidates.push_back(CString(platform::TempFolder().c_str()) + kLogFileName);

  CString inUse;
  for (const CString& path : candidates) {
    auto probe = std::make_unique<FileLogger>(path);
    if (probe->IsOpen()) {
      inUse = path;
      break;
    }
  }
  if (inUse.IsEmpty()) {
    InstallLogger(nullptr);
  } else {
    FileLoggerFactory factory(inUse);
    InstallLogger(&factory);
  }
  GetLogger().WriteStep(0);
  return inUse;
}

}  // namespace LoggerObjs
