#include "platform/base/module.h"

#include "platform/base/paths.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct LoadedModule {
  std::string key;       // the table key: normalised name, or the dlopen path
  std::string fileName;  // program path answered by GetModuleFileName
  std::shared_ptr<const platform::ModuleSymbols> symbols;  // a table module
  void* dl = nullptr;                                      // a shared object
  int references = 1;
};

struct ModuleTable {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const platform::ModuleSymbols>, std::less<>> registered;
  std::vector<std::unique_ptr<LoadedModule>> loaded;
  LoadedModule program;  // the executable, for GetModuleHandle(nullptr)
};

ModuleTable& Table()
{
  static ModuleTable table;
  return table;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithNoCase(std::string_view text, std::string_view tail)
{
  if (text.size() < tail.size()) {
    return false;
  }
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (LowerAscii(text[text.size() - tail.size() + i]) != LowerAscii(tail[i])) {
      return false;
    }
  }
  return true;
}

// "C:\\Bin\\QorAnalytics.DLL" -> "qoranalytics".
std::string TableKey(std::string_view name)
{
  std::string key(platform::FileNameOf(name));
  for (char& c : key) {
    c = LowerAscii(c);
  }
  for (std::string_view extension : {".dll", ".so"}) {
    if (EndsWithNoCase(key, extension)) {
      key.resize(key.size() - extension.size());
      break;
    }
  }
  return key;
}

LoadedModule* Find(ModuleTable& table, HMODULE module)
{
  auto* candidate = reinterpret_cast<LoadedModule*>(module);
  if (candidate == &table.program) {
    return candidate;
  }
  for (const auto& loaded : table.loaded) {
    if (loaded.get() == candidate) {
      return candidate;
    }
  }
  return nullptr;
}

LoadedModule* FindByKey(ModuleTable& table, std::string_view key)
{
  for (const auto& loaded : table.loaded) {
    if (loaded->key == key) {
      return loaded.get();
    }
  }
  return nullptr;
}

std::string ExecutablePath()
{
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? platform::FromFileSystemPath(std::string_view(buffer, static_cast<std::size_t>(length)))
                    : std::string();
}

HMODULE HandleOf(LoadedModule* module) { return reinterpret_cast<HMODULE>(module); }

}  // namespace

namespace platform {

void RegisterModule(std::string_view name, ModuleSymbols symbols)
{
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  table.registered[TableKey(name)] = std::make_shared<const ModuleSymbols>(std::move(symbols));
}

bool UnregisterModule(std::string_view name)
{
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  return table.registered.erase(TableKey(name)) != 0;
}

}  // namespace platform

HMODULE LoadLibrary(LPCSTR fileName)
{
  if (fileName == nullptr || fileName[0] == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);

  std::string key = TableKey(fileName);
  if (auto registered = table.registered.find(key); registered != table.registered.end()) {
    if (LoadedModule* loaded = FindByKey(table, key)) {
      ++loaded->references;
      return HandleOf(loaded);
    }
    auto module = std::make_unique<LoadedModule>();
    module->key = key;
    module->fileName = fileName;
    module->symbols = registered->second;
    table.loaded.push_back(std::move(module));
    SetLastError(ERROR_SUCCESS);
    return HandleOf(table.loaded.back().get());
  }

  std::vector<std::string> candidates{platform::ToFileSystemPath(fileName)};
  if (EndsWithNoCase(candidates[0], ".dll")) {
    candidates.push_back(candidates[0].substr(0, candidates[0].size() - 4) + ".so");
  }
  for (const std::string& candidate : candidates) {
    void* dl = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (dl == nullptr) {
      continue;
    }
    // dlopen counts its own references; one entry of ours per shared object is enough.
    std::string path = candidate;
    link_map* map = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr && map->l_name[0]) {
      path = map->l_name;
    }
    if (LoadedModule* loaded = FindByKey(table, path)) {
      dlclose(dl);
      ++loaded->references;
      return HandleOf(loaded);
    }
    auto module = std::make_unique<LoadedModule>();
    module->key = path;
    module->fileName = platform::FromFileSystemPath(path);
    module->dl = dl;
    table.loaded.push_back(std::move(module));
    SetLastError(ERROR_SUCCESS);
    return HandleOf(table.loaded.back().get());
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  LoadedModule* loaded = Find(table, module);
  if (loaded == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (loaded == &table.program || --loaded->references > 0) {
    return TRUE;
  }
  if (loaded->dl != nullptr) {
    dlclose(loaded->dl);
  }
  std::erase_if(table.loaded, [loaded](const auto& entry) { return entry.get() == loaded; });
  return TRUE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  LoadedModule* loaded = Find(table, module);
  if (loaded == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // A "name" below 0x10000 is an ordinal on Windows; we export by name only.
  if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* address = nullptr;
  if (loaded->symbols) {
    if (auto found = loaded->symbols->find(std::string_view(procName)); found != loaded->symbols->end()) {
      address = found->second;
    }
  } else {
    dlerror();
    address = dlsym(loaded == &table.program ? RTLD_DEFAULT : loaded->dl, procName);
  }
  if (address == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(address);
}

HMODULE GetModuleHandle(LPCSTR moduleName)
{
  ModuleTable& table = Table();
  std::lock_guard lock(table.mutex);
  if (moduleName == nullptr) {
    if (table.program.fileName.empty()) {
      table.program.fileName = ExecutablePath();
    }
    return HandleOf(&table.program);
  }
  if (LoadedModule* loaded = FindByKey(table, TableKey(moduleName))) {
    return HandleOf(loaded);
  }
  std::string wanted = TableKey(moduleName);
  for (const auto& loaded : table.loaded) {
    if (loaded->dl != nullptr && TableKey(loaded->fileName) == wanted) {
      return HandleOf(loaded.get());
    }
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size)
{
  std::string name;
  {
    ModuleTable& table = Table();
    std::lock_guard lock(table.mutex);
    LoadedModule* loaded = module == nullptr ? &table.program : Find(table, module);
    if (loaded == nullptr) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    if (loaded == &table.program && loaded->fileName.empty()) {
      loaded->fileName = ExecutablePath();
    }
    name = loaded->fileName;
  }
  if (fileName == nullptr || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (name.size() >= size) {
    std::memcpy(fileName, name.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, name.c_str(), name.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(name.size());
}
