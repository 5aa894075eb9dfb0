// Resource modules and string tables.
//
// A resource module is a table set compiled from res/ and linked in: the program's own ("QorRoad") and the
// toolkit's ("QorRoad.ru", which the program loads at run time and must do without). Modules are registered
// explicitly at start-up. Registration also enters a module in the dynamic-module table, so LoadLibrary of its
// file name (any folder) answers a handle the string functions accept; GetModuleHandle(nullptr), the
// program's instance, stands for the program's module. A handle that names no registered module finds
// nothing rather than being read.
#pragma once

#include "platform/base/wintypes.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace platform {

struct StringResource {
  UINT id;
  UINT length;       // bytes, without the terminating zero
  const char* text;  // code page 1251
};

// What the resource compiler emits for one module; constant data, valid for the whole run.
struct ResourceModuleData {
  const char* fileName;           // the name the module is loaded by
  const StringResource* strings;  // ascending ids
  std::size_t stringCount;
};

// Makes a module known and returns a handle to it; registering the same module again returns the same handle.
// The first registration also lets CString::LoadString read the tables.
HINSTANCE RegisterResourceModule(const ResourceModuleData& data);

// LoadLibrary of a registered module's file name: null when it is not registered or is marked absent.
HINSTANCE LoadResourceModule(const char* fileName);
// Balances LoadResourceModule; the tables themselves stay, as they are part of the executable.
BOOL FreeResourceModule(HINSTANCE module);

// Marks a module as missing from the installation: LoadLibrary and LoadResourceModule give null for it, and
// the string lookups skip it even through a handle obtained earlier.
void SetResourceModuleAbsent(const char* fileName, bool absent);

// For tests: the module is absent while the guard lives.
class ScopedResourceModuleAbsence {
 public:
  explicit ScopedResourceModuleAbsence(const char* fileName);
  ~ScopedResourceModuleAbsence();
  ScopedResourceModuleAbsence(const ScopedResourceModuleAbsence&) = delete;
  ScopedResourceModuleAbsence& operator=(const ScopedResourceModuleAbsence&) = delete;

 private:
  const char* fileName_;
  bool wasAbsent_;
};

// The string of a module, or nothing when the module or the id is missing.
std::optional<std::string_view> FindString(HINSTANCE module, UINT id);
// The toolkit's lookup: its own module first (may be null), then the program's resource module.
std::optional<std::string_view> FindStringToolkitFirst(HINSTANCE toolkitModule, UINT id);

// Makes the registered `module` the program's: the instance (GetModuleHandle(nullptr)) then finds its
// strings, and the resource handle is reset to the instance. Start-up does this once.
void SetProgramModule(HINSTANCE module);

}  // namespace platform

// The framework's view of the program's modules: the instance is the program itself (null until a program
// module is set); the resource handle, where the framework looks first, is the instance unless the program
// sets another.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// Copies string `id` of `module` into `buffer` of `size` bytes: at most size - 1 bytes and a terminating
// zero; returns the bytes copied. Missing string or module: 0, and an empty buffer when size > 0.
int LoadString(HINSTANCE module, UINT id, char* buffer, int size);
// The same with the toolkit's lookup order.
int LoadStringToolkitFirst(HINSTANCE toolkitModule, UINT id, char* buffer, int size);
