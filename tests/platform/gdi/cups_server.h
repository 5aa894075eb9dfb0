// A print server of the test's own: cupsd on a socket in a temporary folder, with one queue "TestPdf" (the
// default) whose cups-pdf backend writes the printed PDF into the folder's out/. cups-pdf reads its settings only
// from /etc/cups/cups-pdf-<name>.conf, so the server writes one there under a name of its own and removes it.
#pragma once

#include "platform/gdi/cups_printer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace testcups {

inline int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

class CupsServer {
public:
  // Empty when the server runs; otherwise why it cannot (the test skips with it).
  std::string Start()
  {
    const char* ppd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
    for (const char* needed : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/lib/cups/backend/cups-pdf", ppd}) {
      if (access(needed, F_OK) != 0) {
        return std::string(needed) + " is not installed";
      }
    }
    if (access("/etc/cups", W_OK) != 0) {
      return "cups-pdf takes its output folder only from /etc/cups, which this user cannot write";
    }
    // Short: a socket's path holds at most 107 characters.
    char pattern[] = "/tmp/tsm-cups-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      return "no temporary folder";
    }
    dir_ = pattern;
    name_ = "tesmira" + dir_.substr(dir_.rfind('-') + 1);
    // The filters run as lp: they must reach the folder; cups-pdf writes out/ as the job's user.
    chmod(dir_.c_str(), 0755);
    for (const char* sub : {"spool", "cache", "state", "tmp", "log", "out"}) {
      std::filesystem::create_directory(dir_ + "/" + sub);
      chmod((dir_ + "/" + sub).c_str(), 0755);
    }
    chmod((dir_ + "/tmp").c_str(), 01777);
    chmod((dir_ + "/out").c_str(), 01777);
    socket_ = dir_ + "/cups.sock";
    std::ofstream(dir_ + "/cupsd.conf") << "Listen " << socket_ << "\n"
                                        << "LogLevel info\nWebInterface No\nBrowsing Off\nDefaultAuthType None\n"
                                        << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                        << "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                                        << "  </Limit>\n</Policy>\n";
    std::ofstream(dir_ + "/cups-files.conf") << "ServerRoot " << dir_ << "\nRequestRoot " << dir_ << "/spool\n"
                                             << "CacheDir " << dir_ << "/cache\nStateDir " << dir_ << "/state\n"
                                             << "TempDir " << dir_ << "/tmp\nServerBin /usr/lib/cups\n"
                                             << "DataDir /usr/share/cups\nErrorLog " << dir_ << "/log/error_log\n"
                                             << "AccessLog " << dir_ << "/log/access_log\nPageLog " << dir_
                                             << "/log/page_log\nSandboxing Relaxed\nSystemGroup root\n";
    pdfConf_ = "/etc/cups/cups-pdf-" + name_ + ".conf";
    std::ofstream(pdfConf_) << "Out " << dir_ << "/out\nAnonDirName " << dir_ << "/out\nLabel 0\n";

    pid_ = fork();
    if (pid_ == 0) {
      const std::string c = dir_ + "/cupsd.conf";
      const std::string s = dir_ + "/cups-files.conf";
      execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", c.c_str(), "-s", s.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid_ < 0) {
      return "cannot start cupsd";
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (access(socket_.c_str(), F_OK) != 0) {
      if (std::chrono::steady_clock::now() > until || waitpid(pid_, nullptr, WNOHANG) == pid_) {
        return "cupsd did not start (see " + dir_ + "/log/error_log)";
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (Run("lpadmin -h " + socket_ + " -p TestPdf -v cups-pdf:/" + name_ + " -P " + ppd + " -E") != 0 ||
        Run("lpadmin -h " + socket_ + " -d TestPdf") != 0) {
      return "lpadmin could not add the cups-pdf queue";
    }
    setenv("CUPS_SERVER", socket_.c_str(), 1);
    gdi::cups::SetServer(socket_);
    return {};
  }

  ~CupsServer()
  {
    gdi::cups::SetServer("");
    unsetenv("CUPS_SERVER");
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!pdfConf_.empty()) {
      std::remove(pdfConf_.c_str());
    }
    if (!dir_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(dir_, ignored);
    }
  }

  const std::string& Socket() const { return socket_; }
  std::string OutDir() const { return dir_ + "/out"; }

  // The PDF files cups-pdf has finished, waiting up to a minute for `count` of them.
  std::vector<std::string> WaitForPdfs(std::size_t count) const
  {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::vector<std::string> found;
    while (std::chrono::steady_clock::now() < until) {
      found.clear();
      for (const auto& entry : std::filesystem::directory_iterator(OutDir())) {
        if (entry.path().extension() == ".pdf" && entry.file_size() > 0) {
          found.push_back(entry.path().string());
        }
      }
      // A job is finished when the server has no job left in progress.
      if (found.size() >= count && Run("lpstat -h " + socket_ + " -o | grep -q .") != 0) {
        return found;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return found;
  }

private:
  std::string dir_;
  std::string name_;
  std::string socket_;
  std::string pdfConf_;
  pid_t pid_ = -1;
};

}  // namespace testcups
