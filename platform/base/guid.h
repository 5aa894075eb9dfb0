// The 128-bit identifier: Windows' GUID layout (Data1..Data3 little-endian in files, Data4 as bytes).
#pragma once

#include "platform/base/hresult.h"

#include <compare>
#include <cstring>
#include <optional>
#include <string>

struct GUID {
  DWORD Data1 = 0;
  WORD Data2 = 0;
  WORD Data3 = 0;
  BYTE Data4[8] = {};

  friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
  friend std::strong_ordering operator<=>(const GUID& a, const GUID& b)
  {
    int c = std::memcmp(&a, &b, sizeof(GUID));
    return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
  }
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL{};

// A new random (version 4) identifier.
HRESULT CoCreateGuid(GUID* guid);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case: 38 characters and the terminator.
// Answers the characters written including the terminator, or 0 when the buffer is too small.
int StringFromGUID2(REFGUID guid, char16_t* buffer, int capacity);
std::string GuidToString(REFGUID guid);
// Accepts the braced form, either case; nothing when the text is not one.
std::optional<GUID> GuidFromString(const std::string& text);
// The 16 bytes as they stand in files: Data1, Data2, Data3 little-endian, then Data4.
void GuidToBytes(REFGUID guid, BYTE out[16]);
GUID GuidFromBytes(const BYTE in[16]);
