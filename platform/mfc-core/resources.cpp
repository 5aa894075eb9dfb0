#include "platform/mfc-core/resources.h"

#include "platform/base/codepage.h"
#include "platform/base/module.h"
#include "platform/mfc-core/mfcstring.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
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
  HINSTANCE instanceHandle = nullptr;  // set by the program in place of its own module
  // Binary forms of string blocks, menus and accelerator tables, made on first FindResource and kept, as the
  // compiled ones are, for the whole run.
  struct Made {
    std::vector<BYTE> bytes;
    BinaryResource resource;
  };
  std::map<std::tuple<const ResourceModuleData*, WORD, WORD>, std::unique_ptr<Made>> made;
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

constexpr WORD kString = 6;
constexpr WORD kMenu = 4;
constexpr WORD kAccelerator = 9;

void PutWord(std::vector<BYTE>& out, unsigned v)
{
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}

// A string block: for each of its 16 ids a WORD count of UTF-16 units, then the units (0 for a missing id).
// Nothing when the module has none of the block's strings.
std::optional<std::vector<BYTE>> StringBlock(const ResourceModuleData* data, WORD block)
{
  std::vector<BYTE> out;
  bool any = false;
  for (UINT id = (block - 1u) * 16u; id < block * 16u; ++id) {
    auto text = Lookup(data, id);
    std::u16string units = text ? codepage::Cp1251ToUtf16(*text) : std::u16string();
    any = any || text.has_value();
    PutWord(out, static_cast<unsigned>(units.size()));
    for (char16_t c : units) {
      PutWord(out, c);
    }
  }
  return any ? std::optional(std::move(out)) : std::nullopt;
}

// A menu template: WORD version 0, WORD header size 0, then per item WORD options (0x01 grayed, 0x08 checked,
// 0x10 popup, 0x80 last of its level), WORD command id unless a popup, UTF-16 text with its zero. A separator
// is an item with id 0 and no text.
std::vector<BYTE> MenuTemplate(const MenuResource& menu)
{
  std::vector<BYTE> out;
  PutWord(out, 0);
  PutWord(out, 0);
  for (std::size_t i = 0; i < menu.itemCount; ++i) {
    const MenuItemResource& item = menu.items[i];
    bool last = true;
    for (std::size_t j = i + 1; j < menu.itemCount && menu.items[j].depth >= item.depth; ++j) {
      if (menu.items[j].depth == item.depth) {
        last = false;
        break;
      }
    }
    unsigned options = ((item.flags & MenuItemResource::kGrayed) != 0 ? 0x01 : 0) |
                       ((item.flags & MenuItemResource::kChecked) != 0 ? 0x08 : 0) |
                       ((item.flags & MenuItemResource::kPopup) != 0 ? 0x10 : 0) | (last ? 0x80 : 0);
    PutWord(out, options);
    if ((item.flags & MenuItemResource::kPopup) == 0) {
      PutWord(out, item.id);
    }
    for (char16_t c : codepage::Cp1251ToUtf16(item.text)) {
      PutWord(out, c);
    }
    PutWord(out, 0);
  }
  return out;
}

// An accelerator table: 8 bytes an entry, WORD flags (0x80 on the last), WORD key, WORD command, WORD 0.
std::vector<BYTE> AcceleratorTemplate(const AcceleratorTableResource& table)
{
  std::vector<BYTE> out;
  for (std::size_t i = 0; i < table.entryCount; ++i) {
    const AcceleratorResource& e = table.entries[i];
    PutWord(out, e.flags | (i + 1 == table.entryCount ? 0x80u : 0u));
    PutWord(out, e.key);
    PutWord(out, e.command);
    PutWord(out, 0);
  }
  return out;
}

// The resource made for a string block, menu or accelerator table, or null with the last error set.
const BinaryResource* MadeResource(const ResourceModuleData* data, WORD type, WORD id)
{
  std::optional<std::vector<BYTE>> bytes;
  bool typePresent = false;
  if (type == kString) {
    typePresent = data->stringCount != 0;
    if (typePresent && id != 0) {
      bytes = StringBlock(data, id);
    }
  } else if (type == kMenu) {
    typePresent = data->menuCount != 0;
    if (const MenuResource* menu = FindById(data, data->menus, data->menuCount, id)) {
      bytes = MenuTemplate(*menu);
    }
  } else {
    typePresent = data->acceleratorTableCount != 0;
    if (const auto* table = FindById(data, data->acceleratorTables, data->acceleratorTableCount, id)) {
      bytes = AcceleratorTemplate(*table);
    }
  }
  if (!bytes) {
    SetLastError(typePresent ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto& slot = r.made[{data, type, id}];
  if (!slot) {
    slot = std::make_unique<Registry::Made>();
    slot->bytes = std::move(*bytes);
    slot->resource = BinaryResource{type, id, slot->bytes.data(), slot->bytes.size()};
  }
  return &slot->resource;
}

const BinaryResource* FindIn(const ResourceModuleData* data, WORD type, WORD id)
{
  if (data == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const BinaryResource* end = data->resources + data->resourceCount;
  auto byKey = [](const BinaryResource& r, std::pair<WORD, WORD> key) {
    return std::make_pair(r.type, r.id) < key;
  };
  const BinaryResource* it =
      data->resourceCount == 0 ? end : std::lower_bound(data->resources, end, std::make_pair(type, id), byKey);
  if (it == end || it->type != type || it->id != id) {
    bool typePresent = (it != end && it->type == type) || (it != data->resources && (it - 1)->type == type);
    SetLastError(typePresent ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return it;
}

// Whether `resource` is one this registry handed out; handles are checked before they are read.
bool Known(const BinaryResource* resource)
{
  if (resource == nullptr) {
    return false;
  }
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const auto* data : r.modules) {
    if (data->resourceCount != 0 && resource >= data->resources && resource < data->resources + data->resourceCount) {
      return true;
    }
  }
  return std::any_of(r.made.begin(), r.made.end(), [&](const auto& m) { return &m.second->resource == resource; });
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

const BinaryResource* FindBinaryResource(HINSTANCE module, WORD type, WORD id)
{
  return FindIn(Resolve(module), type, id);
}

WORD FindBinaryResourceId(HINSTANCE module, WORD type, const void* bytes)
{
  const DWORD error = GetLastError();
  const ResourceModuleData* data = Resolve(module);
  SetLastError(error);
  if (data == nullptr || bytes == nullptr) {
    return 0;
  }
  for (std::size_t i = 0; i < data->resourceCount; ++i) {
    if (data->resources[i].type == type && data->resources[i].bytes == bytes) {
      return data->resources[i].id;
    }
  }
  return 0;
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
  r.instanceHandle = nullptr;
}

}  // namespace platform

namespace {

HINSTANCE ProgramInstance()
{
  auto& r = platform::TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    if (r.program == nullptr) {
      return nullptr;
    }
  }
  return GetModuleHandle(nullptr);
}

}  // namespace

HINSTANCE AfxGetInstanceHandle()
{
  auto& r = platform::TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    if (r.instanceHandle != nullptr) {
      return r.instanceHandle;
    }
  }
  return ProgramInstance();
}

void AfxSetInstanceHandle(HINSTANCE module)
{
  auto& r = platform::TheRegistry();
  std::lock_guard lock(r.mutex);
  r.instanceHandle = module;
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
  // Start-up made the program's module the resource handle; a later instance handle does not move it.
  return ProgramInstance();
}

HINSTANCE AfxFindStringResourceHandle(UINT nID)
{
  const DWORD error = GetLastError();
  HINSTANCE found = nullptr;
  for (HINSTANCE module : {AfxGetResourceHandle(), ProgramInstance()}) {
    if (module != nullptr && platform::FindString(module, nID)) {
      found = module;
      break;
    }
  }
  SetLastError(error);
  return found;
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

namespace {

// MAKEINTRESOURCE(n) or "#n"; nothing for a name, which our modules never use.
std::optional<WORD> OrdinalOf(LPCSTR name)
{
  auto value = reinterpret_cast<ULONG_PTR>(name);
  if ((value >> 16) == 0) {
    return static_cast<WORD>(value);
  }
  if (name[0] != '#' || name[1] == '\0') {
    return std::nullopt;
  }
  unsigned long n = 0;
  for (const char* p = name + 1; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || (n = n * 10 + static_cast<unsigned long>(*p - '0')) > 0xFFFF) {
      return std::nullopt;
    }
  }
  return static_cast<WORD>(n);
}

}  // namespace

HRSRC FindResource(HINSTANCE module, LPCSTR name, LPCSTR type)
{
  if (name == nullptr || type == nullptr) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (module == nullptr) {
    module = GetModuleHandle(nullptr);
  }
  const platform::ResourceModuleData* data = platform::Resolve(module);
  if (data == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  auto typeId = OrdinalOf(type);
  if (!typeId) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  // Our modules know their resources by number only.
  auto id = OrdinalOf(name);
  if (!id) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const platform::BinaryResource* found =
      *typeId == platform::kString || *typeId == platform::kMenu || *typeId == platform::kAccelerator
          ? platform::MadeResource(data, *typeId, *id)
          : platform::FindIn(data, *typeId, *id);
  return reinterpret_cast<HRSRC>(const_cast<platform::BinaryResource*>(found));
}

HGLOBAL LoadResource(HINSTANCE, HRSRC resource)
{
  auto* found = reinterpret_cast<const platform::BinaryResource*>(resource);
  if (!platform::Known(found)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL loaded)
{
  auto* found = reinterpret_cast<const platform::BinaryResource*>(loaded);
  return platform::Known(found) ? const_cast<BYTE*>(found->bytes) : nullptr;
}

DWORD SizeofResource(HINSTANCE, HRSRC resource)
{
  auto* found = reinterpret_cast<const platform::BinaryResource*>(resource);
  return platform::Known(found) ? static_cast<DWORD>(found->size) : 0;
}
