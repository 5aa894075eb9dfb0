// The menu sounds: opening a popup and executing a command ask for the system's "MenuPopup" and "MenuCommand"
// sounds, which a thread of their own plays so that a slow sound device never holds up a menu. The only thing
// the thread shares with the user-interface thread is one state word, and the event that wakes it.
#pragma once

#include "platform/base/thread.h"
#include "platform/user/sound.h"

#include <atomic>

// What the sound thread plays with; PlaySound unless a test records the sounds.
using TKPlaySoundFunc = BOOL (*)(LPCSTR sound, HMODULE module, DWORD flags);

class CTKSoundManager {
public:
  enum State { stateIdle = 0, stateMenuCommand = 1, stateMenuPopup = 2, stateQuit = 3 };

  explicit CTKSoundManager(TKPlaySoundFunc pfnPlay = nullptr);
  ~CTKSoundManager();
  CTKSoundManager(const CTKSoundManager&) = delete;
  CTKSoundManager& operator=(const CTKSoundManager&) = delete;

  // 1 "MenuCommand", 2 "MenuPopup": starts the thread on first use. A request while a sound plays replaces an
  // earlier unplayed one.
  void PlaySystemSound(int nSound);
  void StartThread();
  // Asks the thread to end, stops a sound it is playing, and waits up to 100 ms. TRUE when the thread ended (or
  // there was none); a thread still busy then is left to end by itself.
  BOOL StopThread();
  BOOL IsEnabled() const { return m_bEnabled; }
  void EnableSystemSounds(BOOL bEnable) { m_bEnabled = bEnable; }
  // Stops the thread first; null restores PlaySound.
  void SetPlayer(TKPlaySoundFunc pfnPlay);
  int GetState() const { return m_state.load(); }

private:
  static DWORD SoundThreadProc(LPVOID pParam);
  void Run();

  std::atomic<int> m_state{stateIdle};
  BOOL m_bEnabled = TRUE;
  HANDLE m_hThread = nullptr;
  HANDLE m_hWake = nullptr;
  std::atomic<TKPlaySoundFunc> m_pfnPlay;
};

// The process-wide sound manager; its static destructor stops the thread.
CTKSoundManager& TKSoundManager();
