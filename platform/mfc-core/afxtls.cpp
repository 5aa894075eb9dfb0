#include "platform/mfc-core/afxtls.h"

#include <map>
#include <set>
#include <vector>

namespace {

// The values one thread holds, by holder. Its destructor runs when the thread ends.
struct ThreadValues {
  std::map<const CThreadLocalObject*, CNoTrackObject*> values;
  ThreadValues();
  ~ThreadValues();
};

// Every thread's values, so that a holder going away can reach them all. Never destroyed: threads may end
// after the statics are gone.
struct Registry {
  std::mutex mutex;
  std::set<ThreadValues*> threads;
};
Registry& TheRegistry()
{
  static auto* registry = new Registry;
  return *registry;
}

ThreadValues::ThreadValues()
{
  std::lock_guard lock(TheRegistry().mutex);
  TheRegistry().threads.insert(this);
}

ThreadValues::~ThreadValues()
{
  // Outside the lock: a destructor may use (and even make) other thread-locals of this thread, so go on until
  // none is left.
  for (;;) {
    std::map<const CThreadLocalObject*, CNoTrackObject*> mine;
    {
      std::lock_guard lock(TheRegistry().mutex);
      mine.swap(values);
    }
    if (mine.empty()) {
      break;
    }
    for (auto& [holder, object] : mine) {
      delete object;
    }
  }
  std::lock_guard lock(TheRegistry().mutex);
  TheRegistry().threads.erase(this);
}

thread_local ThreadValues t_values;

}  // namespace

CNoTrackObject* CThreadLocalObject::GetData(CNoTrackObject* (*pfnCreateObject)())
{
  if (CNoTrackObject* object = GetDataNA()) {
    return object;
  }
  CNoTrackObject* object = pfnCreateObject();
  ThreadValues& mine = t_values;
  std::lock_guard lock(TheRegistry().mutex);
  mine.values[this] = object;
  return object;
}

CNoTrackObject* CThreadLocalObject::GetDataNA()
{
  ThreadValues& mine = t_values;  // made (and registered) before the lock is taken
  std::lock_guard lock(TheRegistry().mutex);
  auto it = mine.values.find(this);
  return it != mine.values.end() ? it->second : nullptr;
}

CThreadLocalObject::~CThreadLocalObject()
{
  std::vector<CNoTrackObject*> orphans;
  {
    std::lock_guard lock(TheRegistry().mutex);
    for (ThreadValues* thread : TheRegistry().threads) {
      if (auto it = thread->values.find(this); it != thread->values.end()) {
        orphans.push_back(it->second);
        thread->values.erase(it);
      }
    }
  }
  for (CNoTrackObject* object : orphans) {
    delete object;
  }
}

CNoTrackObject* CProcessLocalObject::GetData(CNoTrackObject* (*pfnCreateObject)())
{
  std::lock_guard lock(m_mutex);
  if (m_pObject == nullptr) {
    m_pObject = pfnCreateObject();
  }
  return m_pObject;
}

CProcessLocalObject::~CProcessLocalObject() { delete m_pObject; }
