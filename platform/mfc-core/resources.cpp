#include "platform/mfc-core/resources.h"

#include "platform/base/module.h"
#include "platform/mfc-core/mfcstring.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace platform {
namespace {

// The export through which a module loaded by LoadLibrary hands over its tables.
constexpr const char* kModuleDataSymbol = "TesmiraResourceModuleData";

struct Registry {
  std::mutex mutex;
  std::vector<const ResourceModuleData*> modules;
  std::set<std::string, std::less<>> absent;
  const ResourceModuleData* program = nullptr;
  HINSTANCE resourceHandle = nullptr;
};

// Created on first use and never destroyed, so registration from any library's start-up and lookups during
// any other object's destruction find it alive.
Registry& TheRegistry()
{
  static Registry* registry = new Registry;
  return *registry;
}

HINSTANCE HandleOf(const ResourceModuleData* data)
{
  return reinterpret_cast<HINSTANCE>(const_cast<ResourceModuleData*>(data));
}

bool Registered(Registry& r, const void* data)
{
  return std::find(r.modules.begin(), r.modules.end(), data) != r.modules.end();
}

void Publish(const ResourceModuleData& data)
{
  RegisterModule(data.fileName, {{kModuleDataSymbol, const_cast<ResourceModuleData*>(&data)}});
}

// The present module a handle stands for: our own handle, the program's instance, or a handle from
// LoadLibrary. The dynamic-module table is asked outside our lock; it validates handles itself.
const ResourceModuleData* Resolve(HINSTANCE module)
{
  if (module == nullptr) {
    return nullptr;
  }
  Registry& r = TheRegistry();
  const void* data = module;
  bool isProgram = module == GetModuleHandle(nullptr);
  if (!isProgram) {
    bool own = false;
    {
      std::lock_guard lock(r.mutex);
      own = Registered(r, module);
    }
    if (!own) {
      data = reinterpret_cast<const void*>(GetProcAddress(module, kModuleDataSymbol));
    }
  }
  std::lock_guard lock(r.mutex);
  if (isProgram) {
    data = r.program;
  }
  if (data == nullptr || !Registered(r, data)) {
    return nullptr;
  }
  auto* found = static_cast<const ResourceModuleData*>(data);
  return r.absent.count(found->fileName) != 0 ? nullptr : found;
}

std::optional<std::string_view> Lookup(const ResourceModuleData* data, UINT id)
{
  if (data == nullptr || data->stringCount == 0) {
    return std::nullopt;
  }
  const StringResource* end = data->strings + data->stringCount;
  const StringResource* it =
      std::lower_bound(data->strings, end, id, [](const StringResource& s, UINT key) { return s.id < key; });
  if (it == end || it->id != id) {
    return std::nullopt;
  }
  return std::string_view(it->text, it->length);
}

template <class Table>
const Table* FindById(const ResourceModuleData* data, const Table* tables, std::size_t count, UINT id)
{
  if (data == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const Table* end = tables + count;
  const Table* it = count == 0 ? end : std::lower_bound(tables, end, id, [](const Table& t, UINT key) {
    return t.id < key;
  });
  if (it == end || it->id != id) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return it;
}

int CopyOut(std::optional<std::string_view> text, char* buffer, int size)
{
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  std::size_t length = text ? std::min(text->size(), static_cast<std::size_t>(size - 1)) : 0;
  if (length > 0) {
    std::memcpy(buffer, text->data(), length);
  }
  buffer[length] = '\0';
  return static_cast<int>(length);
}

// CString::LoadString's lookup: a null module means the program's resource handle.
BOOL LoadStringIntoCString(HINSTANCE module, UINT id, CString& text)
{
  auto found = FindString(module != nullptr ? module : AfxGetResourceHandle(), id);
  if (!found) {
    return FALSE;
  }
  text = CString(*found);
  return TRUE;
}

}  // namespace

HINSTANCE RegisterResourceModule(const ResourceModuleData& data)
{
  // Installed here rather than by a static initialiser: registration is the one step every program and
  // test takes before loading a string, and it does not depend on which objects the linker kept.
  LoadStringHook = &LoadStringIntoCString;
  Registry& r = TheRegistry();
  bool publish = false;
  {
    std::lock_guard lock(r.mutex);
    if (!Registered(r, &data)) {
      r.modules.push_back(&data);
      publish = r.absent.count(data.fileName) == 0;
    }
  }
  if (publish) {
    Publish(data);
  }
  return HandleOf(&data);
}

HINSTANCE LoadResourceModule(const char* fileName)
{
  return fileName != nullptr ? LoadLibrary(fileName) : nullptr;
}

BOOL FreeResourceModule(HINSTANCE module)
{
  Registry& r = TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    if (Registered(r, module)) {
      return TRUE;
    }
  }
  return FreeLibrary(module);
}

void SetResourceModuleAbsent(const char* fileName, bool absent)
{
  Registry& r = TheRegistry();
  const ResourceModuleData* toPublish = nullptr;
  {
    std::lock_guard lock(r.mutex);
    if (absent) {
      r.absent.insert(fileName);
    } else if (r.absent.erase(fileName) != 0) {
      for (const auto* data : r.modules) {
        if (std::strcmp(data->fileName, fileName) == 0) {
          toPublish = data;
        }
      }
    }
  }
  // Out of the module table too, so LoadLibrary fails as it would with the file missing.
  if (absent) {
    UnregisterModule(fileName);
  } else if (toPublish != nullptr) {
    Publish(*toPublish);
  }
}

ScopedResourceModuleAbsence::ScopedResourceModuleAbsence(const char* fileName) : fileName_(fileName)
{
  Registry& r = TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    wasAbsent_ = r.absent.count(fileName) != 0;
  }
  SetResourceModuleAbsent(fileName_, true);
}

ScopedResourceModuleAbsence::~ScopedResourceModuleAbsence() { SetResourceModuleAbsent(fileName_, wasAbsent_); }

std::optional<std::string_view> FindString(HINSTANCE module, UINT id) { return Lookup(Resolve(module), id); }

const MenuResource* FindMenu(HINSTANCE module, UINT id)
{
  const ResourceModuleData* data = Resolve(module);
  return FindById(data, data != nullptr ? data->menus : nullptr, data != nullptr ? data->menuCount : 0, id);
}

const AcceleratorTableResource* FindAcceleratorTable(HINSTANCE module, UINT id)
{
  const ResourceModuleData* data = Resolve(module);
  return FindById(data, data != nullptr ? data->acceleratorTables : nullptr,
                  data != nullptr ? data->acceleratorTableCount : 0, id);
}

std::optional<std::string_view> FindStringToolkitFirst(HINSTANCE toolkitModule, UINT id)
{
  if (auto text = FindString(toolkitModule, id)) {
    return text;
  }
  return FindString(AfxGetResourceHandle(), id);
}

void SetProgramModule(HINSTANCE module)
{
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.program = Registered(r, module) ? reinterpret_cast<const ResourceModuleData*>(module) : nullptr;
  r.resourceHandle = nullptr;
}

}  // namespace platform

HINSTANCE AfxGetInstanceHandle()
{
  auto& r = platform::TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.program != nullptr ? GetModuleHandle(nullptr) : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
  auto& r = platform::TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    if (r.resourceHandle != nullptr) {
      return r.resourceHandle;
    }
  }
  return AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE module)
{
  auto& r = platform::TheRegistry();
  std::lock_guard lock(r.mutex);
  r.resourceHandle = module;
}

int LoadString(HINSTANCE module, UINT id, char* buffer, int size)
{
  return platform::CopyOut(platform::FindString(module, id), buffer, size);
}

int LoadStringToolkitFirst(HINSTANCE toolkitModule, UINT id, char* buffer, int size)
{
  return platform::CopyOut(platform::FindStringToolkitFirst(toolkitModule, id), buffer, size);
}
