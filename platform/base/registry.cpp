// Registry keys as sections of the profile store; see registry.h for the mapping.
#include "platform/base/registry.h"

#include "platform/base/profile.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

// Registry names ignore case: ASCII and cp1251's Cyrillic letters fold, as the store folds them.
std::string Fold(std::string_view name)
{
  std::string folded(name);
  for (char& c : folded) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') {
      b = static_cast<unsigned char>(b - 'A' + 'a');
    } else if (b >= 0xC0 && b <= 0xDF) {
      b = static_cast<unsigned char>(b + 0x20);
    } else if (b == 0xA8) {
      b = 0xB8;
    }
    c = static_cast<char>(b);
  }
  return folded;
}

std::vector<std::string> Split(LPCSTR path)
{
  std::vector<std::string> parts;
  if (path == nullptr) {
    return parts;
  }
  std::string part;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (!part.empty()) {
        parts.push_back(part);
      }
      part.clear();
      if (*p == '\0') {
        break;
      }
    } else {
      part.push_back(*p);
    }
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, std::size_t from)
{
  std::string joined;
  for (std::size_t i = from; i < parts.size(); ++i) {
    if (!joined.empty()) {
      joined.push_back('\\');
    }
    joined += parts[i];
  }
  return joined;
}

// Segments below the root: Software, company, product, then the section's path.
constexpr std::size_t kAppDepth = 3;

struct Key {
  ULONG_PTR root = 0;
  std::vector<std::string> segments;
  REGSAM access = KEY_ALL_ACCESS;

  bool UnderSoftware() const
  {
    return root == reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER) && !segments.empty() &&
           Fold(segments[0]) == "software";
  }
  // Keys with a store: the application key and everything below it.
  bool HasStore() const { return UnderSoftware() && segments.size() >= kAppDepth; }
  std::unique_ptr<platform::ProfileStore> Store() const
  {
    return std::make_unique<platform::ProfileStore>(segments[1], segments[2]);
  }
  std::string Section() const { return Join(segments, kAppDepth); }
};

struct Registry {
  std::mutex mutex;
  std::map<HKEY, std::unique_ptr<Key>> open;
  // Created keys that hold no value yet, as "<store file>|<folded section>".
  std::set<std::string> created;
};

Registry& R()
{
  static auto* registry = new Registry;  // keys may be closed while the process ends
  return *registry;
}

std::string CreatedName(platform::ProfileStore& store, const std::string& section)
{
  return store.FilePath() + "|" + Fold(section);
}

bool IsPredefined(HKEY key)
{
  const auto v = reinterpret_cast<ULONG_PTR>(key);
  return v >= 0x80000000u && v <= 0x80000003u;
}

// The key a handle stands for, or false.
bool Resolve(HKEY handle, Key& out)
{
  if (IsPredefined(handle)) {
    out = Key{reinterpret_cast<ULONG_PTR>(handle), {}, KEY_ALL_ACCESS};
    return true;
  }
  std::lock_guard guard(R().mutex);
  auto it = R().open.find(handle);
  if (it == R().open.end()) {
    return false;
  }
  out = *it->second;
  return true;
}

// The key of a value function: the handle resolved, the right checked, and a section of the store behind it;
// `withoutValues` answers a key that holds no values at all.
LSTATUS KeyWithValues(HKEY handle, REGSAM right, LSTATUS withoutValues, Key& out)
{
  if (!Resolve(handle, out)) {
    return ERROR_INVALID_HANDLE;
  }
  if ((out.access & right) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  return out.HasStore() ? ERROR_SUCCESS : withoutValues;
}

// The immediate subkeys of a key with a store, original case, in folded-name order.
std::vector<std::string> SubkeysOf(const Key& key, platform::ProfileStore& store)
{
  const std::string section = key.Section();
  const std::string prefix = section.empty() ? std::string() : Fold(section) + "\\";
  std::map<std::string, std::string> names;
  auto consider = [&](const std::string& foldedFull, const std::string& original) {
    if (!foldedFull.starts_with(prefix) || foldedFull.size() == prefix.size()) {
      return;
    }
    const std::size_t end = foldedFull.find('\\', prefix.size());
    const std::size_t length = (end == std::string::npos ? foldedFull.size() : end) - prefix.size();
    names.emplace(foldedFull.substr(prefix.size(), length), original.substr(prefix.size(), length));
  };
  for (const std::string& name : store.SectionNames()) {
    consider(Fold(name), name);
  }
  const std::string createdPrefix = store.FilePath() + "|";
  std::lock_guard guard(R().mutex);
  for (const std::string& c : R().created) {
    if (c.starts_with(createdPrefix)) {
      const std::string folded = c.substr(createdPrefix.size());
      consider(folded, folded);
    }
  }
  std::vector<std::string> out;
  for (auto& [folded, original] : names) {
    out.push_back(original);
  }
  return out;
}

bool Exists(const Key& key)
{
  if (key.segments.empty()) {
    return true;
  }
  if (!key.UnderSoftware()) {
    return false;
  }
  if (!key.HasStore()) {
    return true;  // Software and company keys
  }
  auto store = key.Store();
  const std::string section = Fold(key.Section());
  {
    std::lock_guard guard(R().mutex);
    if (R().created.count(CreatedName(*store, key.Section())) != 0) {
      return true;
    }
  }
  for (const std::string& name : store->SectionNames()) {
    const std::string folded = Fold(name);
    if (section.empty() || folded == section || folded.starts_with(section + "\\")) {
      return true;
    }
  }
  return false;
}

HKEY Open(Key key)
{
  auto owned = std::make_unique<Key>(std::move(key));
  HKEY handle = reinterpret_cast<HKEY>(owned.get());
  std::lock_guard guard(R().mutex);
  R().open.emplace(handle, std::move(owned));
  return handle;
}

bool Below(const Key& parent, LPCSTR subKey, REGSAM access, Key& out)
{
  out = parent;
  out.access = access;
  for (std::string& s : Split(subKey)) {
    out.segments.push_back(std::move(s));
  }
  return true;
}

enum class Kind { Missing, Int, String, Binary };

struct StoredValue {
  Kind kind = Kind::Missing;
  std::vector<BYTE> bytes;  // as the registry gives them
};

StoredValue Read(const Key& key, platform::ProfileStore& store, LPCSTR name)
{
  const std::string section = key.Section();
  const std::string entry = name != nullptr ? name : "";
  StoredValue v;
  bool present = false;
  for (const std::string& e : store.EntryNames(section.c_str())) {
    present = present || Fold(e) == Fold(entry);
  }
  if (!present) {
    return v;
  }
  if (auto bytes = store.GetBinary(section.c_str(), entry.c_str())) {
    v.kind = Kind::Binary;
    v.bytes = std::move(*bytes);
    return v;
  }
  // An integer answers the same whatever the default; anything else answers with the default.
  const UINT a = store.GetProfileInt(section.c_str(), entry.c_str(), 0);
  const UINT b = store.GetProfileInt(section.c_str(), entry.c_str(), 1);
  if (a == b) {
    v.kind = Kind::Int;
    for (int i = 0; i < 4; ++i) {
      v.bytes.push_back(static_cast<BYTE>(a >> (8 * i)));
    }
    return v;
  }
  v.kind = Kind::String;
  const std::string text = store.GetProfileString(section.c_str(), entry.c_str());
  v.bytes.assign(text.begin(), text.end());
  v.bytes.push_back(0);
  return v;
}

DWORD TypeOf(Kind kind)
{
  switch (kind) {
    case Kind::Int: return REG_DWORD;
    case Kind::String: return REG_SZ;
    case Kind::Binary: return REG_BINARY;
    default: return REG_NONE;
  }
}

// Copies `bytes` out as RegQueryValueEx and RegEnumValue do.
LSTATUS GiveData(const std::vector<BYTE>& bytes, LPBYTE data, LPDWORD size)
{
  const auto needed = static_cast<DWORD>(bytes.size());
  if (data == nullptr) {
    if (size != nullptr) {
      *size = needed;
    }
    return ERROR_SUCCESS;
  }
  if (size == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::copy(bytes.begin(), bytes.end(), data);
  *size = needed;
  return ERROR_SUCCESS;
}

// A name into a character buffer whose size is counted without the end zero on the way out.
LSTATUS GiveName(const std::string& text, LPSTR name, LPDWORD nameSize)
{
  if (name == nullptr || nameSize == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (*nameSize < text.size() + 1) {
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, text.c_str(), text.size() + 1);
  *nameSize = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result)
{
  if (result == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  *result = nullptr;
  Key parent;
  if (!Resolve(key, parent)) {
    return ERROR_INVALID_HANDLE;
  }
  Key target;
  Below(parent, subKey, access, target);
  if (!Exists(target)) {
    return ERROR_FILE_NOT_FOUND;
  }
  *result = Open(std::move(target));
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, SECURITY_ATTRIBUTES*,
                       PHKEY result, LPDWORD disposition)
{
  if (result == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  *result = nullptr;
  Key parent;
  if (!Resolve(key, parent)) {
    return ERROR_INVALID_HANDLE;
  }
  Key target;
  Below(parent, subKey, access, target);
  const bool existed = Exists(target);
  if (!existed) {
    if (!target.UnderSoftware()) {
      return ERROR_ACCESS_DENIED;  // only the current user's software settings are kept
    }
    if (target.HasStore()) {
      auto store = target.Store();
      // Every key on the way down exists from now on, as it would once made.
      Key step = target;
      std::lock_guard guard(R().mutex);
      while (step.segments.size() >= kAppDepth) {
        R().created.insert(CreatedName(*store, step.Section()));
        step.segments.pop_back();
      }
    }
  }
  if (disposition != nullptr) {
    *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  }
  *result = Open(std::move(target));
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key)
{
  if (IsPredefined(key)) {
    return ERROR_SUCCESS;
  }
  std::lock_guard guard(R().mutex);
  return R().open.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
  Key k;
  if (LSTATUS status = KeyWithValues(key, KEY_QUERY_VALUE, ERROR_FILE_NOT_FOUND, k); status != ERROR_SUCCESS) {
    return status;
  }
  auto store = k.Store();
  StoredValue v = Read(k, *store, name);
  if (v.kind == Kind::Missing) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (type != nullptr) {
    *type = TypeOf(v.kind);
  }
  return GiveData(v.bytes, data, size);
}

LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
  Key k;
  if (!Resolve(key, k)) {
    return ERROR_INVALID_HANDLE;
  }
  if ((k.access & KEY_SET_VALUE) == 0 || !k.HasStore()) {
    return ERROR_ACCESS_DENIED;
  }
  if (data == nullptr && size != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  auto store = k.Store();
  const std::string section = k.Section();
  const char* entry = name != nullptr ? name : "";
  BOOL written = FALSE;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      // The text ends at its zero, or at the end of the data when it has none.
      const auto* text = reinterpret_cast<const char*>(data);
      const std::string value(text, size == 0 ? 0 : strnlen(text, size));
      written = store->WriteProfileString(section.c_str(), entry, value.c_str());
      break;
    }
    case REG_DWORD: {
      if (size != 4) {
        return ERROR_INVALID_PARAMETER;
      }
      const DWORD value = static_cast<DWORD>(data[0]) | (static_cast<DWORD>(data[1]) << 8) |
                          (static_cast<DWORD>(data[2]) << 16) | (static_cast<DWORD>(data[3]) << 24);
      written = store->WriteProfileInt(section.c_str(), entry, static_cast<int>(value));
      break;
    }
    case REG_BINARY: {
      static const BYTE kNothing = 0;
      written = store->WriteProfileBinary(section.c_str(), entry, data != nullptr ? data : &kNothing, size);
      break;
    }
    default: return ERROR_INVALID_PARAMETER;  // the store keeps integers, strings and bytes only
  }
  return written ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LSTATUS RegDeleteValue(HKEY key, LPCSTR name)
{
  Key k;
  if (LSTATUS status = KeyWithValues(key, KEY_SET_VALUE, ERROR_FILE_NOT_FOUND, k); status != ERROR_SUCCESS) {
    return status;
  }
  auto store = k.Store();
  if (Read(k, *store, name).kind == Kind::Missing) {
    return ERROR_FILE_NOT_FOUND;
  }
  return store->DeleteValue(k.Section().c_str(), name != nullptr ? name : "") ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey)
{
  Key parent;
  if (!Resolve(key, parent)) {
    return ERROR_INVALID_HANDLE;
  }
  Key target;
  Below(parent, subKey, KEY_ALL_ACCESS, target);
  if (!Exists(target)) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (target.segments.size() <= kAppDepth || !target.HasStore()) {
    return ERROR_ACCESS_DENIED;  // the application key and the keys above it stay
  }
  auto store = target.Store();
  if (!SubkeysOf(target, *store).empty()) {
    return ERROR_ACCESS_DENIED;
  }
  const std::string section = target.Section();
  const bool hadValues = !store->EntryNames(section.c_str()).empty();
  {
    std::lock_guard guard(R().mutex);
    R().created.erase(CreatedName(*store, section));
  }
  if (hadValues && !store->DeleteSection(section.c_str())) {
    return ERROR_WRITE_FAULT;
  }
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR keyClass,
                     LPDWORD classSize, FILETIME* lastWrite)
{
  Key k;
  if (!Resolve(key, k)) {
    return ERROR_INVALID_HANDLE;
  }
  if ((k.access & KEY_ENUMERATE_SUB_KEYS) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  std::vector<std::string> names;
  if (k.HasStore()) {
    auto store = k.Store();
    names = SubkeysOf(k, *store);
  } else if (k.segments.empty() && k.root == reinterpret_cast<ULONG_PTR>(HKEY_CURRENT_USER)) {
    names.push_back("Software");
  }
  if (index >= names.size()) {
    return ERROR_NO_MORE_ITEMS;
  }
  if (keyClass != nullptr && classSize != nullptr && *classSize > 0) {
    keyClass[0] = '\0';
    *classSize = 0;
  }
  if (lastWrite != nullptr) {
    *lastWrite = FILETIME{};
  }
  return GiveName(names[index], name, nameSize);
}

LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, LPBYTE data,
                     LPDWORD dataSize)
{
  Key k;
  if (LSTATUS status = KeyWithValues(key, KEY_QUERY_VALUE, ERROR_NO_MORE_ITEMS, k); status != ERROR_SUCCESS) {
    return status;
  }
  auto store = k.Store();
  const std::vector<std::string> names = store->EntryNames(k.Section().c_str());
  if (index >= names.size()) {
    return ERROR_NO_MORE_ITEMS;
  }
  if (LSTATUS status = GiveName(names[index], name, nameSize); status != ERROR_SUCCESS) {
    return status;
  }
  StoredValue v = Read(k, *store, names[index].c_str());
  if (type != nullptr) {
    *type = TypeOf(v.kind);
  }
  return GiveData(v.bytes, data, dataSize);
}
