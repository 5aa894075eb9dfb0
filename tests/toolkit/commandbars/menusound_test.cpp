// The menu-sound thread: what it plays, in order, and that a quit asked for during a sound ends it at once.
#include "toolkit/commandbars/menusound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A sound device that records what it is asked and, when told to, holds a sound until it is stopped.
struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> played;
  bool holdSounds = false;
  bool playing = false;
  bool stopped = false;
};
Recorder* g_recorder = nullptr;

BOOL RecordSound(LPCSTR sound, HMODULE /*module*/, DWORD flags)
{
  std::unique_lock lock(g_recorder->mutex);
  if (!sound) {
    g_recorder->played.push_back((flags & SND_PURGE) ? "purge" : "stop");
    g_recorder->stopped = true;
    g_recorder->changed.notify_all();
    return TRUE;
  }
  g_recorder->played.push_back(std::string(sound) + (flags == 0x12002 ? "" : " (bad flags)"));
  g_recorder->playing = true;
  g_recorder->changed.notify_all();
  if (g_recorder->holdSounds)
    g_recorder->changed.wait_for(lock, std::chrono::seconds(2), [] { return g_recorder->stopped; });
  g_recorder->playing = false;
  return TRUE;
}

class MenuSound : public ::testing::Test {
protected:
  void SetUp() override { g_recorder = &recorder_; }
  void TearDown() override { g_recorder = nullptr; }
  // The thread has taken the last request.
  void WaitIdle(CTKSoundManager& sounds)
  {
    for (int i = 0; i < 2000 && sounds.GetState() != CTKSoundManager::stateIdle; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Recorder recorder_;
};

TEST_F(MenuSound, RequestsArePlayedInOrderByAliasAndTheThreadPurgesOnLeaving)
{
  CTKSoundManager sounds(&RecordSound);
  sounds.PlaySystemSound(CTKSoundManager::stateMenuPopup);
  WaitIdle(sounds);
  sounds.PlaySystemSound(CTKSoundManager::stateMenuCommand);
  WaitIdle(sounds);
  EXPECT_TRUE(sounds.StopThread());
  // The stop request, then the thread's own purge as it leaves.
  EXPECT_EQ(recorder_.played, (std::vector<std::string>{"MenuPopup", "MenuCommand", "purge", "purge"}));
}

TEST_F(MenuSound, AQuitDuringASoundEndsTheThreadWithinItsWaitAndIsNeverOverwritten)
{
  recorder_.holdSounds = true;
  CTKSoundManager sounds(&RecordSound);
  sounds.PlaySystemSound(CTKSoundManager::stateMenuPopup);
  {
    std::unique_lock lock(recorder_.mutex);
    ASSERT_TRUE(recorder_.changed.wait_for(lock, std::chrono::seconds(2), [&] { return recorder_.playing; }));
  }
  // The thread writes 0 when its sound ends; the quit written meanwhile must survive that.
  EXPECT_TRUE(sounds.StopThread());
  EXPECT_EQ(sounds.GetState(), CTKSoundManager::stateQuit);
  sounds.PlaySystemSound(CTKSoundManager::stateMenuCommand);
  EXPECT_TRUE(sounds.StopThread());
}

TEST_F(MenuSound, ADisabledManagerStartsNoThread)
{
  CTKSoundManager sounds(&RecordSound);
  sounds.EnableSystemSounds(FALSE);
  sounds.PlaySystemSound(CTKSoundManager::stateMenuPopup);
  EXPECT_EQ(sounds.GetState(), CTKSoundManager::stateIdle);
  EXPECT_TRUE(sounds.StopThread());
  EXPECT_TRUE(recorder_.played.empty());
}

}  // namespace
