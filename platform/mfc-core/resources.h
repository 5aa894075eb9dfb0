// Resource modules and string tables.
//
// A resource module is a table set compiled from res/ and linked in: the program's own ("QorRoad") and the
// toolkit's ("QorRoad.ru", which the program loads at run time and must do without). Modules are registered
// explicitly at start-up. Registration also enters a module in the dynamic-module table, so LoadLibrary of its
// file name (any folder) answers a handle the string functions accept; GetModuleHandle(nullptr), the
// program's instance, stands for the program's module. A handle that names no registered module finds
// nothing rather than being read.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"

#include <cstddef>
#include <optional>
#include <string_view>

// Last errors of the resource lookups.
inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;  // the handle names no present module
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;  // the module has no resource of that type
inline constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;  // the module has no such id
// An image file that is not one the loader reads.
inline constexpr DWORD ERROR_INVALID_DATA = 13;

// Resource types, named as the platform numbers them.
inline const LPCSTR RT_CURSOR = reinterpret_cast<LPCSTR>(1);
inline const LPCSTR RT_BITMAP = reinterpret_cast<LPCSTR>(2);
inline const LPCSTR RT_ICON = reinterpret_cast<LPCSTR>(3);
inline const LPCSTR RT_MENU = reinterpret_cast<LPCSTR>(4);
inline const LPCSTR RT_DIALOG = reinterpret_cast<LPCSTR>(5);
inline const LPCSTR RT_STRING = reinterpret_cast<LPCSTR>(6);
inline const LPCSTR RT_ACCELERATOR = reinterpret_cast<LPCSTR>(9);
inline const LPCSTR RT_GROUP_CURSOR = reinterpret_cast<LPCSTR>(12);
inline const LPCSTR RT_GROUP_ICON = reinterpret_cast<LPCSTR>(14);
inline const LPCSTR RT_TOOLBAR = reinterpret_cast<LPCSTR>(241);

struct HRSRC__;
using HRSRC = HRSRC__*;

namespace platform {

struct StringResource {
  UINT id;
  UINT length;       // bytes, without the terminating zero
  const char* text;  // code page 1251
};

// One item of a menu, in the order the items are read top to bottom: a popup's items follow it, one level
// deeper, so a menu of any nesting is a flat array.
struct MenuItemResource {
  static constexpr BYTE kPopup = 0x01;
  static constexpr BYTE kSeparator = 0x02;
  static constexpr BYTE kGrayed = 0x04;
  static constexpr BYTE kChecked = 0x08;
  BYTE depth;        // 0 for the menu's own items
  BYTE flags;        // the k* bits above
  WORD id;           // command id; 0 for popups and separators
  const char* text;  // code page 1251, '&' mnemonics and "\t" shortcut text as written; "" for a separator
};

struct MenuResource {
  UINT id;
  const MenuItemResource* items;
  std::size_t itemCount;
};

struct AcceleratorResource {
  BYTE flags;    // the accelerator bits: 0x01 virtual key, 0x04 shift, 0x08 control, 0x10 alt
  WORD key;      // the virtual key, or the code page 1251 character when not a virtual key
  WORD command;
};

struct AcceleratorTableResource {
  UINT id;
  const AcceleratorResource* entries;
  std::size_t entryCount;
};

// A resource the program locks and reads itself, in the platform's binary form (dialog templates, packed
// DIBs, icon and cursor images and directories, toolbars).
struct BinaryResource {
  WORD type;          // the RT_ number
  WORD id;
  const BYTE* bytes;  // aligned on 8 bytes
  std::size_t size;
};

// What the resource compiler emits for one module; constant data, valid for the whole run.
struct ResourceModuleData {
  const char* fileName;           // the name the module is loaded by
  const StringResource* strings;  // ascending ids
  std::size_t stringCount;
  const MenuResource* menus = nullptr;  // ascending ids
  std::size_t menuCount = 0;
  const AcceleratorTableResource* acceleratorTables = nullptr;  // ascending ids
  std::size_t acceleratorTableCount = 0;
  const BinaryResource* resources = nullptr;  // ascending by type, then id
  std::size_t resourceCount = 0;
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
// A menu or accelerator table of a module; null with the last error set when the module or the id is missing.
const MenuResource* FindMenu(HINSTANCE module, UINT id);
const AcceleratorTableResource* FindAcceleratorTable(HINSTANCE module, UINT id);
// A binary resource of a module; null with the last error set when the module, the type or the id is missing.
const BinaryResource* FindBinaryResource(HINSTANCE module, WORD type, WORD id);
// The id of the resource of `type` whose locked bytes are `bytes` (a template handed to the indirect dialog
// functions, say); 0 when the bytes are not one of the module's (a template built in memory). Sets no error.
WORD FindBinaryResourceId(HINSTANCE module, WORD type, const void* bytes);
// The toolkit's lookup: its own module first (may be null), then the program's resource module.
std::optional<std::string_view> FindStringToolkitFirst(HINSTANCE toolkitModule, UINT id);

// Makes the registered `module` the program's: the instance (GetModuleHandle(nullptr)) then finds its
// strings, and the resource and instance handles are reset to it. Start-up does this once.
void SetProgramModule(HINSTANCE module);

}  // namespace platform

// The framework's view of the program's modules: the instance is the program itself (null until a program
// module is set) unless the program sets another (null goes back to the program's); the resource handle,
// where the framework looks first, is the program's module unless the program sets another. Setting the
// program module resets both.
HINSTANCE AfxGetInstanceHandle();
void AfxSetInstanceHandle(HINSTANCE module);
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
// The module that has string nID: the resource handle, else the program's module; null when neither has it.
HINSTANCE AfxFindStringResourceHandle(UINT nID);

// Finds a resource by id (MAKEINTRESOURCE or "#123") and type. Besides the binary kinds, RT_STRING finds the
// block of strings id * 16 - 16 to id * 16 - 1 when the module has any of them, and RT_MENU and
// RT_ACCELERATOR find the module's menus and accelerator tables; all three lock to the platform's binary
// forms. A null module is the program's. Missing: null with ERROR_RESOURCE_DATA_NOT_FOUND (no such module),
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
HRSRC FindResource(HINSTANCE module, LPCSTR name, LPCSTR type);
// Resources are part of the executable: loading hands out the same data for as long as the program runs,
// and FreeResource has nothing to do.
HGLOBAL LoadResource(HINSTANCE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HINSTANCE module, HRSRC resource);
inline BOOL FreeResource(HGLOBAL) { return FALSE; }

// Copies string `id` of `module` into `buffer` of `size` bytes: at most size - 1 bytes and a terminating
// zero; returns the bytes copied. Missing string or module: 0, and an empty buffer when size > 0.
int LoadString(HINSTANCE module, UINT id, char* buffer, int size);
// The same with the toolkit's lookup order.
int LoadStringToolkitFirst(HINSTANCE toolkitModule, UINT id, char* buffer, int size);
