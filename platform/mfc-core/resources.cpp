#include "platform/mfc-core/resources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::vector<const ResourceModuleData*> modules;
  std::set<std::string> absent;
  HINSTANCE instance = nullptr;
  HINSTANCE resourceHandle = nullptr;
};

// Function-local, so registration from any library's start-up finds it constructed.
Registry& TheRegistry()
{
  static Registry* registry = [] {
    auto* r = new Registry;
    if (const char* names = std::getenv("TESMIRA_ABSENT_RESOURCE_MODULES")) {
      std::string list = names;
      for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = std::min(list.find(';', start), list.size());
        if (end > start) {
          r->absent.insert(list.substr(start, end - start));
        }
        start = end + 1;
      }
    }
    return r;
  }();
  return *registry;
}

HINSTANCE HandleOf(const ResourceModuleData* data)
{
  return reinterpret_cast<HINSTANCE>(const_cast<ResourceModuleData*>(data));
}

// The module behind a handle when it is registered and present; caller holds the mutex.
const ResourceModuleData* Present(Registry& r, HINSTANCE module)
{
  if (module == nullptr) {
    return nullptr;
  }
  for (const auto* data : r.modules) {
    if (HandleOf(data) == module) {
      return r.absent.count(data->fileName) != 0 ? nullptr : data;
    }
  }
  return nullptr;
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

}  // namespace

HINSTANCE RegisterResourceModule(const ResourceModuleData& data)
{
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  if (std::find(r.modules.begin(), r.modules.end(), &data) == r.modules.end()) {
    r.modules.push_back(&data);
  }
  return HandleOf(&data);
}

HINSTANCE LoadResourceModule(const char* fileName)
{
  if (fileName == nullptr) {
    return nullptr;
  }
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  if (r.absent.count(fileName) != 0) {
    return nullptr;
  }
  for (const auto* data : r.modules) {
    if (std::strcmp(data->fileName, fileName) == 0) {
      return HandleOf(data);
    }
  }
  return nullptr;
}

BOOL FreeResourceModule(HINSTANCE module)
{
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return Present(r, module) != nullptr ? TRUE : FALSE;
}

void SetResourceModuleAbsent(const char* fileName, bool absent)
{
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  if (absent) {
    r.absent.insert(fileName);
  } else {
    r.absent.erase(fileName);
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

std::optional<std::string_view> FindString(HINSTANCE module, UINT id)
{
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return Lookup(Present(r, module), id);
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
  r.instance = module;
  r.resourceHandle = module;
}

}  // namespace platform

HINSTANCE AfxGetInstanceHandle()
{
  auto& r = platform::TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.instance;
}

HINSTANCE AfxGetResourceHandle()
{
  auto& r = platform::TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.resourceHandle;
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
