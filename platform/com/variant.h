// BSTR and the VARIANT subset the outside servers take: empty, 32-bit integer, double and string.
// A BSTR is UTF-16 with its byte length in the four bytes before the first character and a terminator after
// the last, so that it can be handed on as a plain char16_t* as Windows code does.
#pragma once

#include "platform/base/hresult.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_BOOL = 11,
};

inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
  auto* block = static_cast<unsigned char*>(std::malloc(sizeof(DWORD) + (length + 1) * sizeof(OLECHAR)));
  if (!block)
    return nullptr;
  DWORD bytes = length * sizeof(OLECHAR);
  std::memcpy(block, &bytes, sizeof bytes);
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(DWORD));
  if (text)
    std::memcpy(chars, text, bytes);
  else
    std::memset(chars, 0, bytes);
  chars[length] = 0;
  return chars;
}

inline BSTR SysAllocString(std::u16string_view text)
{
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

inline void SysFreeString(BSTR text)
{
  if (text)
    std::free(reinterpret_cast<unsigned char*>(text) - sizeof(DWORD));
}

inline UINT SysStringLen(BSTR text)
{
  if (!text)
    return 0;
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(DWORD), sizeof bytes);
  return bytes / sizeof(OLECHAR);
}

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  WORD wReserved1 = 0;
  WORD wReserved2 = 0;
  WORD wReserved3 = 0;
  union {
    LONG lVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
  };
  VARIANT() : dblVal(0.0) {}
};

inline void VariantInit(VARIANT* v)
{
  v->vt = VT_EMPTY;
  v->dblVal = 0.0;
}

// Frees what the variant owns and leaves it empty.
inline HRESULT VariantClear(VARIANT* v)
{
  if (v->vt == VT_BSTR)
    SysFreeString(v->bstrVal);
  VariantInit(v);
  return 0;
}
