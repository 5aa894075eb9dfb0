// The program itself, build/app/qorroad, run on a private desktop in a profile of its own: no start page, no
// network, no file of the user's touched.
#pragma once

#include "tests/xsession/xsession.h"

#include <string>
#include <vector>

namespace desktoptest {

class LiveProgram {
public:
  LiveProgram();
  ~LiveProgram();

  // Starts it with `arguments` on the desktop; its main window is then found with MainWindow().
  bool Start(const xsession::Desktop& desktop, const std::vector<std::string>& arguments = {});
  // The main window ("Tesmira Road" in its title) once it shows, waited for up to a minute.
  xsession::XWindow MainWindow(const xsession::Desktop& desktop);
  // A message posted to the main window through the program's mailslot, as another program does.
  bool Post(unsigned message, unsigned long wParam, long lParam);
  xsession::Program& Process() { return program_; }
  // A folder of the program's profile for the test's files.
  const std::string& Documents() const { return documents_; }
  // The program's start-up trace and its error log.
  std::string Trace() const;

private:
  std::string root_;
  std::string documents_;
  std::vector<std::string> environment_;
  xsession::Program program_;
};

// The test's narrow literals are cp1251: the desktop's names are written as U"..." and made UTF-8.
std::string ReadFile(const std::string& path);
bool CopyFile(const std::string& from, const std::string& to);

}  // namespace desktoptest
