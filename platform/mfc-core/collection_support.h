// What the list and map templates share: POSITION, element comparison and key hashing.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <cstring>
#include <type_traits>

// An opaque place in a list or map, as GetHeadPosition / GetStartPosition answer it; null is "none".
struct TesmiraCollectionPosition;
using POSITION = TesmiraCollectionPosition*;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)))

template <class TYPE, class ARG_TYPE>
BOOL CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
  return *pElement1 == *pElement2;
}

// Hash of a map key. Integers and pointers drop their low bits, which are mostly alike (alignment, small steps).
template <class ARG_KEY>
UINT HashKey(ARG_KEY key)
{
  using K = std::decay_t<ARG_KEY>;
  if constexpr (std::is_pointer_v<K>) {
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(key) >> 4);
  } else if constexpr (std::is_integral_v<K> || std::is_enum_v<K>) {
    auto v = static_cast<ULONGLONG>(key);
    return static_cast<UINT>((v >> 4) ^ v ^ (v >> 32));
  } else {
    static_assert(std::is_integral_v<K>, "give this key type its own HashKey");
    return 0;
  }
}

UINT HashString(const char* data, std::size_t length);
template <>
inline UINT HashKey<LPCSTR>(LPCSTR key)
{
  return key == nullptr ? 0 : HashString(key, std::strlen(key));
}
template <>
inline UINT HashKey<const CString&>(const CString& key)
{
  return HashString(key.GetString(), static_cast<std::size_t>(key.GetLength()));
}
template <>
inline UINT HashKey<CString>(CString key)
{
  return HashString(key.GetString(), static_cast<std::size_t>(key.GetLength()));
}
