// Dynamic modules: LoadLibrary and friends over dlopen, with an in-process module table looked up first, so that
// our own stand-ins for outside DLLs (the analytics library, the norms library, ...) and tests' fake modules load
// by name without a shared object on disk.
//
// A name matches a registered module by its last path component, ignoring ASCII case and a ".dll" or ".so"
// extension: RegisterModule("QorAnalytics", ...) answers LoadLibrary("C:\\Bin\\QORANALYTICS.DLL"). Anything else
// goes to dlopen (a ".dll" name is tried as ".so" too). Loading the same module again answers the same handle
// and counts a reference; FreeLibrary drops one and unloads at zero.
#pragma once

#include "platform/base/hresult.h"

#include <map>
#include <string>
#include <string_view>

// What GetProcAddress answers; callers cast it to the function type they expect. Windows' FARPROC returns
// INT_PTR; `void (*)()` here because GCC lets that one type be cast to any function type without a warning.
using FARPROC = void (*)();

namespace platform {

// Exported name -> address (of a function, cast to void*, or of data).
using ModuleSymbols = std::map<std::string, void*, std::less<>>;

// Registers (or replaces) a module of the table. Modules already loaded keep the symbols they had.
void RegisterModule(std::string_view name, ModuleSymbols symbols);
// Removes a module from the table; false when there was none. Handles already loaded stay valid.
bool UnregisterModule(std::string_view name);

}  // namespace platform

// nullptr with ERROR_MOD_NOT_FOUND when neither the table nor dlopen has the module.
HMODULE LoadLibrary(LPCSTR fileName);
inline HMODULE LoadLibraryA(LPCSTR fileName) { return LoadLibrary(fileName); }
BOOL FreeLibrary(HMODULE module);
// nullptr with ERROR_PROC_NOT_FOUND when the module has no such export (ordinals are not supported), and with
// ERROR_INVALID_HANDLE for a handle that is not a loaded module.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// The loaded module of that name (no reference counted), or nullptr with ERROR_MOD_NOT_FOUND; nullptr names the
// program itself.
HMODULE GetModuleHandle(LPCSTR moduleName);
// The module's path as a program path (nullptr: the program's executable); a registered module answers the name
// it was loaded by. Answers the length copied without the terminator; a short buffer gets what fits, terminated,
// and the answer is `size` with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size);
inline DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
  return GetModuleFileName(module, fileName, size);
}
