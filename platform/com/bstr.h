// BSTR: UTF-16 text with its byte length in the four bytes before the first character and a terminator after
// the last, so that it can be handed on as a plain char16_t* and still carry embedded NULs.
// _bstr_t: a shared, reference-counted BSTR that converts to and from the program's code page 1251 text.
//
// The allocation functions stay inline: code that only passes strings around need not link the library.
#pragma once

#include "platform/base/hresult.h"

#include <cstdlib>
#include <cstring>
#include <compare>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

namespace platform::com_detail {

// Room for the prefix, the characters and the terminator must fit the 32-bit byte count.
inline constexpr std::size_t kMaxBstrBytes = 0x7FFFFFF0u;

inline BSTR AllocBstrBytes(const void* bytes, std::size_t byteLength)
{
  if (byteLength > kMaxBstrBytes)
    return nullptr;
  auto* block = static_cast<unsigned char*>(std::malloc(sizeof(DWORD) + byteLength + sizeof(OLECHAR) + 1));
  if (!block)
    return nullptr;
  const DWORD prefix = static_cast<DWORD>(byteLength);
  std::memcpy(block, &prefix, sizeof prefix);
  unsigned char* chars = block + sizeof(DWORD);
  if (bytes)
    std::memcpy(chars, bytes, byteLength);
  else
    std::memset(chars, 0, byteLength);
  // Two zero bytes after the last whole character, and one more for an odd byte length.
  std::memset(chars + byteLength, 0, sizeof(OLECHAR) + 1);
  return reinterpret_cast<BSTR>(chars);
}

}  // namespace platform::com_detail

// nullptr text gives a string of `length` NULs.
inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
  return platform::com_detail::AllocBstrBytes(text, std::size_t{length} * sizeof(OLECHAR));
}

// Up to the first NUL; nullptr gives nullptr.
inline BSTR SysAllocString(const OLECHAR* text)
{
  if (!text)
    return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

inline BSTR SysAllocString(std::u16string_view text)
{
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// A BSTR holding raw bytes (an odd count allowed), as code that smuggles 8-bit data through a BSTR makes.
inline BSTR SysAllocStringByteLen(const char* bytes, UINT length)
{
  return platform::com_detail::AllocBstrBytes(bytes, length);
}

inline void SysFreeString(BSTR text)
{
  if (text)
    std::free(reinterpret_cast<unsigned char*>(text) - sizeof(DWORD));
}

inline UINT SysStringByteLen(BSTR text)
{
  if (!text)
    return 0;
  DWORD bytes;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(DWORD), sizeof bytes);
  return bytes;
}

inline UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

// Replaces *target with a new copy; the source may lie inside the old string.
inline BOOL SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length)
{
  if (!target)
    return FALSE;
  BSTR fresh = SysAllocStringLen(text, length);
  if (!fresh)
    return FALSE;
  SysFreeString(*target);
  *target = fresh;
  return TRUE;
}

inline BOOL SysReAllocString(BSTR* target, const OLECHAR* text)
{
  if (!target)
    return FALSE;
  BSTR fresh = SysAllocString(text);
  if (text && !fresh)
    return FALSE;
  SysFreeString(*target);
  *target = fresh;
  return TRUE;
}

// Owned text shared between copies; narrow text is code page 1251 and made on first use.
class _bstr_t {
public:
  _bstr_t() = default;
  _bstr_t(const char* text);
  _bstr_t(const OLECHAR* text);
  _bstr_t(std::u16string_view text);
  // With copy false the _bstr_t takes ownership of `text`.
  _bstr_t(BSTR text, bool copy);

  _bstr_t& operator=(const char* text) { return *this = _bstr_t(text); }
  _bstr_t& operator=(const OLECHAR* text) { return *this = _bstr_t(text); }

  _bstr_t& operator+=(const _bstr_t& other);
  friend _bstr_t operator+(_bstr_t a, const _bstr_t& b) { return a += b; }

  // nullptr for an empty _bstr_t made from nothing, as the original gives.
  operator const OLECHAR*() const { return m_rep ? m_rep->wide : nullptr; }
  operator const char*() const;
  bool operator!() const { return length() == 0; }

  friend bool operator==(const _bstr_t& a, const _bstr_t& b) { return a.view() == b.view(); }
  friend std::strong_ordering operator<=>(const _bstr_t& a, const _bstr_t& b) { return a.view() <=> b.view(); }

  UINT length() const { return m_rep ? SysStringLen(m_rep->wide) : 0; }
  std::u16string_view view() const { return m_rep && m_rep->wide ? std::u16string_view(m_rep->wide, length()) : u""; }
  // A new BSTR the caller frees (copy true), or the held one itself.
  BSTR copy(bool copy = true) const;
  BSTR GetBSTR() const { return m_rep ? m_rep->wide : nullptr; }
  // Lets the _bstr_t receive an out parameter: drops the current text and answers the slot to fill.
  BSTR* GetAddress();
  void Assign(BSTR text) { *this = _bstr_t(text, true); }
  void Attach(BSTR text) { *this = _bstr_t(text, false); }
  BSTR Detach();

private:
  struct Rep {
    explicit Rep(BSTR w) : wide(w) {}
    ~Rep() { SysFreeString(wide); }
    Rep(const Rep&) = delete;
    Rep& operator=(const Rep&) = delete;
    BSTR wide;
    // Copies on several threads may ask for the narrow form at once.
    std::once_flag narrowMade;
    std::string narrow;
  };
  std::shared_ptr<Rep> m_rep;
};
