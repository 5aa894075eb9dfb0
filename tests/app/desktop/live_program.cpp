#include "tests/app/desktop/live_program.h"

#include <fstream>
#include <sstream>

#include <stdlib.h>
#include <sys/stat.h>

namespace desktoptest {

using namespace xsession;

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool CopyFile(const std::string& from, const std::string& to)
{
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  out << in.rdbuf();
  return in.good() && out.good();
}

LiveProgram::LiveProgram()
{
  char root[] = "/tmp/tqr-desktop-XXXXXX";
  if (mkdtemp(root) == nullptr) {
    return;
  }
  root_ = root;
  documents_ = root_ + "/docs";
  const std::string bin = root_ + "/data/Marvesta/Tesmira Road/Bin";
  for (const std::string& dir : {root_ + "/data", root_ + "/data/Marvesta", root_ + "/data/Marvesta/Tesmira Road",
                                 bin, root_ + "/config", documents_, root_ + "/profile", root_ + "/run"}) {
    mkdir(dir.c_str(), 0700);
  }
  const std::string servers = std::string(TESMIRA_BUILD_DIR) + "/outside/servers/";
  CopyFile(servers + "QorRoad.qord", bin + "/QorRoad.qord");
  CopyFile(servers + "QorRoad.qorp", bin + "/QorRoad.qorp");
  // No start page, update check or depth warning; the web site is a closed port of this machine.
  std::ofstream(root_ + "/profile/profile") << "tesmira-profile 1\n"
                                               "section \"Settings\"\n"
                                               "int \"StartPage\" 0\n"
                                               "int \"SendInfo\" 0\n"
                                               "int \"ShowZBuffer\" 0\n"
                                               "section \"Network\"\n"
                                               "string \"Site\" \"http://127.0.0.1:1\"\n"
                                               "string \"CatalogueIndex\" \"http://127.0.0.1:1/plugins.xml\"\n"
                                               "string \"CatalogueFolder\" \"http://127.0.0.1:1/\"\n"
                                               "end\n";
  environment_ = {"XDG_DATA_HOME=" + root_ + "/data", "XDG_CONFIG_HOME=" + root_ + "/config",
                  "XDG_DOCUMENTS_DIR=" + documents_, "TESMIRA_PROFILE_DIR=" + root_ + "/profile",
                  "XDG_RUNTIME_DIR=" + root_ + "/run", "TESMIRA_PRESENTER=x11", "TESMIRA_TEST=",
                  "ASAN_OPTIONS=detect_leaks=0"};
}

LiveProgram::~LiveProgram()
{
  program_.Stop();
  if (!root_.empty()) {
    std::string command = "rm -rf '" + root_ + "'";
    [[maybe_unused]] int rc = std::system(command.c_str());
  }
}

bool LiveProgram::Start(const Desktop& desktop, const std::vector<std::string>& arguments)
{
  std::vector<std::string> argv{QORROAD};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = environment_;
  environment.push_back("DISPLAY=" + desktop.Name());
  mkdir((std::string(TESMIRA_BUILD_DIR) + "/Bin").c_str(), 0755);
  return program_.Start(argv, environment, std::string(TESMIRA_BUILD_DIR) + "/Bin");
}

XWindow LiveProgram::MainWindow(const Desktop& desktop)
{
  return desktop.FindWindow(ByName("Tesmira Road").Class("qorroad").Pid(program_.Pid()), 60s);
}

bool LiveProgram::Post(unsigned message, unsigned long wParam, long lParam)
{
  std::vector<std::string> environment = environment_;
  // The mailslot may not be open yet right after the start: a few tries.
  return WaitUntil(
      [&] {
        Program post;
        return post.Start({QORR_POST, std::to_string(message), std::to_string(wParam), std::to_string(lParam)},
                          environment) &&
               post.Wait(10s) == 0;
      },
      10s, 200ms);
}

std::string LiveProgram::Trace() const
{
  return ReadFile(root_ + "/data/Marvesta/Tesmira Road/Bin/qorroad.log");
}

}  // namespace desktoptest
