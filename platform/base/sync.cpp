// Events and critical sections.
#include "platform/base/sync.h"

#include "platform/base/hresult.h"

#include <map>
#include <string>

namespace {

class Event final : public platform::KernelObject {
public:
  Event(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

  bool IsSignalled() const override { return signalled_; }
  void OnWaitSatisfied() override
  {
    if (!manualReset_) {
      signalled_ = false;
    }
  }
  // Under KernelMutex().
  void Set(bool signalled) { signalled_ = signalled; }

private:
  const bool manualReset_;
  bool signalled_;
};

// Named events of this process. Weak: the name goes when its last handle is closed.
struct NamedEvents {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Event>> byName;
};

NamedEvents& Names()
{
  static NamedEvents names;
  return names;
}

BOOL SetState(HANDLE handle, bool signalled)
{
  auto event = platform::ReferenceHandleAs<Event>(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard lock(platform::KernelMutex());
    event->Set(signalled);
  }
  if (signalled) {
    platform::WakeWaiters();
  }
  return TRUE;
}

}  // namespace

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name)
{
  if (name == nullptr || name[0] == '\0') {
    SetLastError(ERROR_SUCCESS);
    return platform::InsertHandle(std::make_shared<Event>(manualReset != FALSE, initialState != FALSE));
  }
  NamedEvents& names = Names();
  std::lock_guard lock(names.mutex);
  std::weak_ptr<Event>& slot = names.byName[name];
  if (auto existing = slot.lock()) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return platform::InsertHandle(existing);
  }
  auto event = std::make_shared<Event>(manualReset != FALSE, initialState != FALSE);
  slot = event;
  SetLastError(ERROR_SUCCESS);
  return platform::InsertHandle(event);
}

BOOL SetEvent(HANDLE event) { return SetState(event, true); }

BOOL ResetEvent(HANDLE event) { return SetState(event, false); }

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&section->mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION section, DWORD)
{
  InitializeCriticalSection(section);
  return TRUE;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_lock(&section->mutex); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
  return pthread_mutex_trylock(&section->mutex) == 0 ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_unlock(&section->mutex); }

void DeleteCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_destroy(&section->mutex); }
