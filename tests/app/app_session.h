// The program started headless the way qorroad starts it, in a folder of its own: its per-user data folder with
// the starter catalogues, its profile, its documents folder; the engines' reflection tables of the build tree
// as its installation. Message boxes are answered by a script.
#pragma once

#include "app/main_frame.h"
#include "app/qor_road_app.h"
#include "platform/base/profile.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace apptest {

class AppSession : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A value in the profile before the program starts.
  void SetProfile(const char* section, const char* entry, const char* value);
  void SetProfile(const char* section, const char* entry, int value);
  std::string Profile(const char* section, const char* entry);

  // Runs the program's start-up; the loop is the test's.
  BOOL Start(const std::string& commandLine = "");
  CMainFrame* Frame() const;
  // Handles what is queued, as the program's loop would (accelerators included).
  void Pump();
  // Pumps until `done` or the bound of waits on the queue is spent.
  bool PumpUntil(const std::function<bool()>& done);
  // Closes the window as a user would; a save question takes the next scripted answer.
  void Close();
  // How many times a dialog of the template was shown so far.
  int DialogsAsked(int dialogId) const;

  // Ends the program and keeps its folders, for a second start.
  void EndSession() { EndApp(); }

  std::vector<std::string> TraceLog() const;
  std::string UserBinFolder() const { return root_ + "data/Marvesta/Tesmira Road/Bin/"; }
  std::string DocumentsFolder() const { return root_ + "docs/"; }
  std::string Root() const { return root_; }

  std::unique_ptr<CQorRoadApp> app_;
  user::ScriptedResponder answers_;

private:
  void EndApp();
  std::string root_;
  std::string runtimeDir_;
  std::string runFolder_;
};

}  // namespace apptest
