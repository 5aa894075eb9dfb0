#include "platform/com/combase.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>

namespace {

struct ThreadState {
  int count = 0;
  DWORD model = COINIT_APARTMENTTHREADED;
};

thread_local ThreadState t_com;

struct RegisteredClass {
  platform::ComClassFactory factory;
  std::string progId;  // lower case
};

struct ClassTable {
  std::mutex mutex;
  std::map<CLSID, RegisteredClass> classes;
};

ClassTable& Table()
{
  static ClassTable table;
  return table;
}

std::string Lower(std::string_view text)
{
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

}  // namespace

HRESULT CoInitializeEx(LPVOID, DWORD coInit)
{
  const DWORD model = coInit & COINIT_APARTMENTTHREADED;
  if (t_com.count > 0) {
    if (t_com.model != model)
      return RPC_E_CHANGED_MODE;
    ++t_com.count;
    return S_FALSE;
  }
  t_com.model = model;
  t_com.count = 1;
  return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize()
{
  if (t_com.count > 0)
    --t_com.count;
}

HRESULT OleInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void OleUninitialize() { CoUninitialize(); }

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object)
{
  if (!object)
    return E_POINTER;
  *object = nullptr;
  if (!platform::ComInitializedOnThisThread())
    return CO_E_NOTINITIALIZED;
  if (!(context & CLSCTX_INPROC_SERVER))
    return REGDB_E_CLASSNOTREG;
  platform::ComClassFactory factory;
  {
    ClassTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.classes.find(clsid);
    if (it == table.classes.end())
      return REGDB_E_CLASSNOTREG;
    factory = it->second.factory;
  }
  if (outer)
    return CLASS_E_NOAGGREGATION;
  // Outside the lock: a constructor may create objects of other classes.
  HRESULT hr = factory(iid, object);
  if (FAILED(hr))
    *object = nullptr;
  return hr;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
  if (!progId || !clsid)
    return E_INVALIDARG;
  const std::string wanted = Lower(codepage::Utf16ToUtf8(progId));
  ClassTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (const auto& [id, cls] : table.classes) {
    if (!cls.progId.empty() && cls.progId == wanted) {
      *clsid = id;
      return S_OK;
    }
  }
  *clsid = GUID_NULL;
  return CO_E_CLASSSTRING;
}

namespace platform {

void RegisterComClass(REFCLSID clsid, ComClassFactory factory, std::string_view progId)
{
  ClassTable& table = Table();
  std::lock_guard lock(table.mutex);
  table.classes[clsid] = RegisteredClass{std::move(factory), Lower(progId)};
}

bool UnregisterComClass(REFCLSID clsid)
{
  ClassTable& table = Table();
  std::lock_guard lock(table.mutex);
  return table.classes.erase(clsid) > 0;
}

bool ComInitializedOnThisThread() { return t_com.count > 0; }

}  // namespace platform
