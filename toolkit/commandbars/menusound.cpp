#include "toolkit/commandbars/menusound.h"

#include "platform/base/sync.h"

namespace {

constexpr DWORD kSoundFlags = SND_ALIAS | SND_NOWAIT | SND_NODEFAULT;
constexpr DWORD kStopWaitMs = 100;

}  // namespace

CTKSoundManager::CTKSoundManager(TKPlaySoundFunc pfnPlay) : m_pfnPlay(pfnPlay ? pfnPlay : &::PlaySound) {}

CTKSoundManager::~CTKSoundManager()
{
  StopThread();
  if (m_hWake)
    ::CloseHandle(m_hWake);
}

void CTKSoundManager::SetPlayer(TKPlaySoundFunc pfnPlay)
{
  StopThread();
  m_pfnPlay = pfnPlay ? pfnPlay : &::PlaySound;
  m_state = stateIdle;
}

void CTKSoundManager::PlaySystemSound(int nSound)
{
  if (!m_bEnabled)
    return;
  if (!m_hThread)
    StartThread();
  // A quit already asked for must stand: a request never overwrites it.
  int nCurrent = m_state.load();
  while (nCurrent != stateQuit && !m_state.compare_exchange_weak(nCurrent, nSound)) {
  }
  if (m_hWake)
    ::SetEvent(m_hWake);
}

void CTKSoundManager::StartThread()
{
  m_state = stateIdle;
  if (!m_hWake)
    m_hWake = ::CreateEvent(nullptr, FALSE, FALSE, nullptr);
  if (!m_hWake)
    return;
  m_hThread = ::CreateThread(nullptr, 0, &CTKSoundManager::SoundThreadProc, this, CREATE_SUSPENDED, nullptr);
  if (!m_hThread)
    return;
  ::SetThreadPriority(m_hThread, THREAD_PRIORITY_BELOW_NORMAL);
  ::ResumeThread(m_hThread);
}

BOOL CTKSoundManager::StopThread()
{
  if (!m_hThread)
    return TRUE;
  m_state.exchange(stateQuit);
  ::SetEvent(m_hWake);
  // A synchronous sound would keep the thread past the wait: cut it short.
  m_pfnPlay.load()(nullptr, nullptr, SND_PURGE);
  BOOL bEnded = ::WaitForSingleObject(m_hThread, kStopWaitMs) == WAIT_OBJECT_0;
  ::CloseHandle(m_hThread);
  m_hThread = nullptr;
  return bEnded;
}

DWORD CTKSoundManager::SoundThreadProc(LPVOID pParam)
{
  static_cast<CTKSoundManager*>(pParam)->Run();
  return 0;
}

void CTKSoundManager::Run()
{
  TKPlaySoundFunc pfnPlay = m_pfnPlay.load();
  for (;;) {
    int nState = m_state.load();
    if (nState == stateQuit)
      break;
    if (nState == stateMenuCommand || nState == stateMenuPopup) {
      pfnPlay(nState == stateMenuCommand ? "MenuCommand" : "MenuPopup", nullptr, kSoundFlags);
      // Only the request just played goes back to idle; a newer one, or a quit, stays.
      int nPlayed = nState;
      m_state.compare_exchange_strong(nPlayed, stateIdle);
      continue;
    }
    // Woken by each request: a poll with Sleep would move a test's virtual clock by itself.
    ::WaitForSingleObject(m_hWake, INFINITE);
  }
  pfnPlay(nullptr, nullptr, SND_PURGE);
}

CTKSoundManager& TKSoundManager()
{
  static CTKSoundManager manager;
  return manager;
}
