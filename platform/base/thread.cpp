// Threads as kernel objects over std::thread (detached: the handle, not a join, tells when a thread ends).
#include "platform/base/thread.h"

#include "platform/base/hresult.h"

#include <atomic>
#include <condition_variable>
#include <system_error>
#include <thread>

namespace {

std::atomic<DWORD> g_nextThreadId{4};

// Ids are multiples of 4, as Windows' are, and never 0.
DWORD NewThreadId() { return g_nextThreadId.fetch_add(4); }

class ThreadObject final : public platform::KernelObject {
public:
  ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD suspendCount)
      : start_(start), parameter_(parameter), id_(NewThreadId()), suspendCount_(suspendCount)
  {
  }

  bool IsSignalled() const override { return finished_; }

  // The body of the new thread; `self` keeps the object alive while the thread runs.
  static void Run(std::shared_ptr<ThreadObject> self);

  DWORD Id() const { return id_; }
  // Under KernelMutex().
  DWORD Resume()
  {
    DWORD before = suspendCount_;
    if (suspendCount_ > 0 && --suspendCount_ == 0) {
      resumed_.notify_all();
    }
    return before;
  }
  DWORD ExitCode() const { return finished_ ? exitCode_ : STILL_ACTIVE; }

  std::atomic<int> priority{THREAD_PRIORITY_NORMAL};

private:
  LPTHREAD_START_ROUTINE start_;
  LPVOID parameter_;
  const DWORD id_;
  DWORD suspendCount_;
  std::condition_variable resumed_;
  bool finished_ = false;
  DWORD exitCode_ = STILL_ACTIVE;
};

// What the calling thread knows of itself. Threads this layer did not start get an id on first asking.
thread_local ThreadObject* t_self = nullptr;
thread_local DWORD t_foreignId = 0;
thread_local int t_foreignPriority = THREAD_PRIORITY_NORMAL;

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2));

void ThreadObject::Run(std::shared_ptr<ThreadObject> self)
{
  t_self = self.get();
  {
    std::unique_lock lock(platform::KernelMutex());
    self->resumed_.wait(lock, [&self] { return self->suspendCount_ == 0; });
  }
  DWORD exitCode = self->start_(self->parameter_);
  {
    std::lock_guard lock(platform::KernelMutex());
    self->exitCode_ = exitCode;
    self->finished_ = true;
  }
  t_self = nullptr;
  platform::WakeWaiters();
}

bool ValidPriority(int priority)
{
  return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
         priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

std::shared_ptr<ThreadObject> ThreadOf(HANDLE handle)
{
  auto thread = platform::ReferenceHandleAs<ThreadObject>(handle);
  if (!thread) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return thread;
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId)
{
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>(start, parameter, (creationFlags & CREATE_SUSPENDED) ? 1 : 0);
  if (threadId != nullptr) {
    *threadId = thread->Id();
  }
  HANDLE handle = platform::InsertHandle(thread);
  try {
    std::thread(&ThreadObject::Run, thread).detach();
  } catch (const std::system_error&) {
    CloseHandle(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return handle;
}

DWORD ResumeThread(HANDLE handle)
{
  auto thread = ThreadOf(handle);
  if (!thread) {
    return 0xFFFFFFFFu;
  }
  std::lock_guard lock(platform::KernelMutex());
  return thread->Resume();
}

BOOL SetThreadPriority(HANDLE handle, int priority)
{
  if (!ValidPriority(priority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (handle == kCurrentThread) {
    if (t_self != nullptr) {
      t_self->priority = priority;
    } else {
      t_foreignPriority = priority;
    }
    return TRUE;
  }
  auto thread = ThreadOf(handle);
  if (!thread) {
    return FALSE;
  }
  thread->priority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE handle)
{
  if (handle == kCurrentThread) {
    return t_self != nullptr ? t_self->priority.load() : t_foreignPriority;
  }
  auto thread = ThreadOf(handle);
  return thread ? thread->priority.load() : THREAD_PRIORITY_ERROR_RETURN;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode)
{
  auto thread = ThreadOf(handle);
  if (!thread || exitCode == nullptr) {
    if (thread) {
      SetLastError(ERROR_INVALID_PARAMETER);
    }
    return FALSE;
  }
  std::lock_guard lock(platform::KernelMutex());
  *exitCode = thread->ExitCode();
  return TRUE;
}

DWORD GetCurrentThreadId()
{
  if (t_self != nullptr) {
    return t_self->Id();
  }
  if (t_foreignId == 0) {
    t_foreignId = NewThreadId();
  }
  return t_foreignId;
}

HANDLE GetCurrentThread() { return kCurrentThread; }

DWORD GetThreadId(HANDLE handle)
{
  if (handle == kCurrentThread) {
    return GetCurrentThreadId();
  }
  auto thread = ThreadOf(handle);
  return thread ? thread->Id() : 0;
}
