// Objects the framework keeps once per process or once per thread, made on first use.
//
//   THREAD_LOCAL(CKeyboardState, _keyboardState)       // one CKeyboardState per thread
//   CKeyboardState* state = _keyboardState;             // made now if this thread has none yet
//
// A thread's objects are deleted when the thread ends; a process-local object when its holder goes. Both kinds
// derive from CNoTrackObject, whose destructor is virtual so that the holder can delete them.
#pragma once

#include "platform/base/wintypes.h"

#include <mutex>
#include <type_traits>

class CNoTrackObject {
public:
  CNoTrackObject() = default;
  virtual ~CNoTrackObject() = default;
  CNoTrackObject(const CNoTrackObject&) = delete;
  CNoTrackObject& operator=(const CNoTrackObject&) = delete;
};

// The untyped holder: one value per thread, keyed by the holder.
class CThreadLocalObject {
public:
  CThreadLocalObject() = default;
  // Deletes the values of every thread still running; they may not outlive their holder.
  ~CThreadLocalObject();
  CThreadLocalObject(const CThreadLocalObject&) = delete;
  CThreadLocalObject& operator=(const CThreadLocalObject&) = delete;

  // This thread's value, made with pfnCreateObject when there is none yet.
  CNoTrackObject* GetData(CNoTrackObject* (*pfnCreateObject)());
  // This thread's value, or null; never makes one.
  CNoTrackObject* GetDataNA();
};

template <class TYPE>
class CThreadLocal : public CThreadLocalObject {
  static_assert(std::is_base_of_v<CNoTrackObject, TYPE>, "thread-local objects derive from CNoTrackObject");

public:
  TYPE* GetData() { return static_cast<TYPE*>(CThreadLocalObject::GetData(&CreateObject)); }
  TYPE* GetDataNA() { return static_cast<TYPE*>(CThreadLocalObject::GetDataNA()); }
  operator TYPE*() { return GetData(); }
  TYPE* operator->() { return GetData(); }

  static CNoTrackObject* CreateObject() { return new TYPE; }
};

// The untyped holder of one value for the whole process.
class CProcessLocalObject {
public:
  CProcessLocalObject() = default;
  ~CProcessLocalObject();
  CProcessLocalObject(const CProcessLocalObject&) = delete;
  CProcessLocalObject& operator=(const CProcessLocalObject&) = delete;

  // The value, made with pfnCreateObject by the first caller of any thread; the others wait for it.
  CNoTrackObject* GetData(CNoTrackObject* (*pfnCreateObject)());

private:
  std::mutex m_mutex;
  CNoTrackObject* m_pObject = nullptr;
};

template <class TYPE>
class CProcessLocal : public CProcessLocalObject {
  static_assert(std::is_base_of_v<CNoTrackObject, TYPE>, "process-local objects derive from CNoTrackObject");

public:
  TYPE* GetData() { return static_cast<TYPE*>(CProcessLocalObject::GetData(&CreateObject)); }
  operator TYPE*() { return GetData(); }
  TYPE* operator->() { return GetData(); }

  static CNoTrackObject* CreateObject() { return new TYPE; }
};

#define THREAD_LOCAL(class_name, ident_name) CThreadLocal<class_name> ident_name;
#define EXTERN_THREAD_LOCAL(class_name, ident_name) extern CThreadLocal<class_name> ident_name;
#define PROCESS_LOCAL(class_name, ident_name) CProcessLocal<class_name> ident_name;
#define EXTERN_PROCESS_LOCAL(class_name, ident_name) extern CProcessLocal<class_name> ident_name;
