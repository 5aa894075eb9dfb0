// Kernel objects behind HANDLEs: the handle table, the one lock under which every object's signal state
// changes, and the wake-up of waiters. Events and threads (sync.h, thread.h) are kinds of kernel object; another
// library adds its own kind (a message queue that MsgWaitForMultipleObjects waits on, say) by deriving from
// KernelObject, changing its state under KernelMutex() and calling WakeWaiters().
#pragma once

#include "platform/base/hresult.h"

#include <cstddef>
#include <memory>
#include <mutex>

namespace platform {

class KernelObject {
public:
  virtual ~KernelObject() = default;
  // Both are called with KernelMutex() held.
  virtual bool IsSignalled() const = 0;
  // A wait that this object satisfied takes its due here (an auto-reset event resets itself).
  virtual void OnWaitSatisfied() {}
};

// The lock that guards the signal state of every kernel object.
std::mutex& KernelMutex();
// Wakes every waiting thread to look again; call after changing a state under KernelMutex() (holding it or not).
void WakeWaiters();

// A new handle for `object`; the table keeps a reference until CloseHandle.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// The object behind a handle, or nullptr when the handle is not an open kernel handle.
std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> ReferenceHandleAs(HANDLE handle)
{
  return std::dynamic_pointer_cast<T>(ReferenceHandle(handle));
}

// How many threads are blocked in a wait right now. Tests on a virtual clock wait for a worker to block before
// they advance the clock, so that the worker's time-out is measured from a known moment.
std::size_t BlockedWaiterCount();

}  // namespace platform

// Releases the handle; the object lives on while others (a running thread, a wait in progress) still hold it.
// FALSE with ERROR_INVALID_HANDLE for a handle that is not open.
BOOL CloseHandle(HANDLE handle);
