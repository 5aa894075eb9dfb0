// The start-up trace log: each important step of the start writes its number as one line of "qorroad.log",
// rewritten at every start, so that after a failed start the last number tells how far it got.
#pragma once

#include "platform/mfc-core/mfcstring.h"

#include <fstream>
#include <vector>

namespace LoggerObjs {

// Counts what is written; alone it is the log of a start that has nowhere to write.
class Log {
public:
  Log() = default;
  virtual ~Log() = default;
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  virtual void Write(const CString& text);
  // Writes the step in decimal and remembers it.
  virtual void WriteStep(int step);

  int GetMessageCount() const { return messageCount_; }
  const std::vector<int>& GetSteps() const { return steps_; }

private:
  int messageCount_ = 0;
  std::vector<int> steps_;
};

// Writes each message as a line, flushed at once so the line survives a crash right after it.
class FileLogger : public Log {
public:
  // Truncates the file; when it cannot be opened the logger only counts.
  explicit FileLogger(const CString& path);
  ~FileLogger() override;

  void Write(const CString& text) override;
  bool IsOpen() const { return file_.is_open(); }

private:
  std::ofstream file_;
};

class LoggerFactory {
public:
  virtual Log* Create() = 0;
  virtual ~LoggerFactory() = default;
};

class FileLoggerFactory : public LoggerFactory {
public:
  explicit FileLoggerFactory(const CString& path) : path_(path) {}
  Log* Create() override;

private:
  CString path_;
};

// Deletes the installed log and installs the factory's, or a counting Log when `factory` is null.
void InstallLogger(LoggerFactory* factory);
// The installed log; a counting Log until one is installed, so writers never need to check.
Log& GetLogger();

// What the application does first at start: the log file "qorroad.log" in `dataFolder` (a program path ending in
// a separator), else in the temporary folder when `dataFolder` is empty or cannot be written; then step 0.
// Answers the path in use, empty when neither folder could be written and the log only counts.
CString StartTraceLog(const CString& dataFolder);

}  // namespace LoggerObjs
