// The registry functions over the profile store (profile.h). A key
// HKEY_CURRENT_USER\Software\<company>\<product>\<path> is section <path> of the store of company\product, so the
// program's registry code and its profile functions see the same values; a value keeps its type (REG_DWORD an
// integer, REG_SZ a string, REG_BINARY bytes). The keys above an application key always exist and hold no values.
// Other roots hold nothing: opening under them finds nothing and creating is refused.
//
// A key made by RegCreateKeyEx that has no values yet lives in this process only, as the store keeps sections by
// their values.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"

using LSTATUS = LONG;
using REGSAM = DWORD;
using PHKEY = HKEY*;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u));
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003u));

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_OPTION_VOLATILE = 1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

struct SECURITY_ATTRIBUTES;

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                       SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);
// With `data` null only the type and size are told. A buffer too small: ERROR_MORE_DATA and the size needed.
LSTATUS RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LSTATUS RegSetValueEx(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LSTATUS RegDeleteValue(HKEY key, LPCSTR name);
// A key with keys below it is not deleted (ERROR_ACCESS_DENIED), as documented.
LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey);
// Keys and values in name order; ERROR_NO_MORE_ITEMS past the last. Sizes are in characters without the end zero.
LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                     LPDWORD classSize, FILETIME* lastWrite);
LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                     LPBYTE data, LPDWORD dataSize);

inline LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
  return RegOpenKeyEx(key, subKey, options, access, result);
}
inline LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                               REGSAM access, SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition)
{
  return RegCreateKeyEx(key, subKey, reserved, keyClass, options, access, security, result, disposition);
}
inline LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
  return RegQueryValueEx(key, name, reserved, type, data, size);
}
inline LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
  return RegSetValueEx(key, name, reserved, type, data, size);
}
inline LSTATUS RegDeleteValueA(HKEY key, LPCSTR name) { return RegDeleteValue(key, name); }
inline LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey) { return RegDeleteKey(key, subKey); }
inline LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                             LPDWORD classSize, FILETIME* lastWrite)
{
  return RegEnumKeyEx(key, index, name, nameSize, reserved, keyClass, classSize, lastWrite);
}
inline LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD dataSize)
{
  return RegEnumValue(key, index, name, nameSize, reserved, type, data, dataSize);
}
