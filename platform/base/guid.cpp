// GUID make, text form and file byte form.
#include "platform/base/guid.h"

#include <pthread.h>
#include <sys/random.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Fills `out` from the kernel's random source; std::random_device only if that is unavailable.
void FillRandom(BYTE* out, std::size_t count)
{
  std::size_t filled = 0;
  while (filled < count) {
    ssize_t got = getrandom(out + filled, count - filled, 0);
    if (got > 0) {
      filled += static_cast<std::size_t>(got);
    } else if (got < 0 && errno != EINTR) {
      break;
    }
  }
  if (filled < count) {
    std::random_device device;
    for (; filled < count; ++filled) {
      out[filled] = static_cast<BYTE>(device());
    }
  }
}

// GUIDs come in thousands when a project is read: one call to the kernel serves many of them. A forked child
// must not hand out its parent's bytes again, so a fork empties every thread's pool.
std::atomic<unsigned> g_forks{0};

void TakeRandom(BYTE* out, std::size_t count)
{
  static const bool watched = [] { return pthread_atfork(nullptr, nullptr, [] { ++g_forks; }) == 0; }();
  struct Pool {
    BYTE bytes[4096];
    std::size_t used = sizeof bytes;
    unsigned forks = 0;
  };
  thread_local Pool pool;
  const unsigned forks = g_forks.load(std::memory_order_relaxed);
  if (!watched || count > sizeof pool.bytes) {
    FillRandom(out, count);
    return;
  }
  if (pool.forks != forks || sizeof pool.bytes - pool.used < count) {
    FillRandom(pool.bytes, sizeof pool.bytes);
    pool.used = 0;
    pool.forks = forks;
  }
  std::memcpy(out, pool.bytes + pool.used, count);
  // Handed-out bytes are not kept.
  std::memset(pool.bytes + pool.used, 0, count);
  pool.used += count;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

}  // namespace

HRESULT CoCreateGuid(GUID* guid)
{
  if (guid == nullptr) {
    return E_INVALIDARG;
  }
  BYTE bytes[16];
  TakeRandom(bytes, sizeof bytes);
  GUID made = GuidFromBytes(bytes);
  // RFC 4122 version 4 (random) and variant 10xx.
  made.Data3 = static_cast<WORD>((made.Data3 & 0x0FFF) | 0x4000);
  made.Data4[0] = static_cast<BYTE>((made.Data4[0] & 0x3F) | 0x80);
  *guid = made;
  return S_OK;
}

std::string GuidToString(REFGUID guid)
{
  // Text order: Data1, Data2, Data3 as numbers, then Data4[0..1], '-', Data4[2..7].
  std::string text;
  text.reserve(38);
  auto hex = [&text](std::uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
      text.push_back(kHexDigits[(value >> shift) & 0xF]);
    }
  };
  text.push_back('{');
  hex(guid.Data1, 8);
  text.push_back('-');
  hex(guid.Data2, 4);
  text.push_back('-');
  hex(guid.Data3, 4);
  text.push_back('-');
  hex(guid.Data4[0], 2);
  hex(guid.Data4[1], 2);
  text.push_back('-');
  for (int i = 2; i < 8; ++i) {
    hex(guid.Data4[i], 2);
  }
  text.push_back('}');
  return text;
}

int StringFromGUID2(REFGUID guid, char16_t* buffer, int capacity)
{
  constexpr int kLengthWithTerminator = 39;
  if (buffer == nullptr || capacity < kLengthWithTerminator) {
    return 0;
  }
  std::string text = GuidToString(guid);
  for (std::size_t i = 0; i < text.size(); ++i) {
    buffer[i] = static_cast<char16_t>(text[i]);
  }
  buffer[text.size()] = u'\0';
  return kLengthWithTerminator;
}

std::optional<GUID> GuidFromString(const std::string& text)
{
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-') {
    return std::nullopt;
  }
  std::size_t pos = 1;
  bool ok = true;
  auto number = [&](int digits) {
    std::uint64_t value = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
      int d = HexValue(text[pos]);
      ok = ok && d >= 0;
      value = (value << 4) | static_cast<unsigned>(d < 0 ? 0 : d);
    }
    return value;
  };
  GUID guid;
  guid.Data1 = static_cast<DWORD>(number(8));
  ++pos;
  guid.Data2 = static_cast<WORD>(number(4));
  ++pos;
  guid.Data3 = static_cast<WORD>(number(4));
  ++pos;
  guid.Data4[0] = static_cast<BYTE>(number(2));
  guid.Data4[1] = static_cast<BYTE>(number(2));
  ++pos;
  for (int i = 2; i < 8; ++i) {
    guid.Data4[i] = static_cast<BYTE>(number(2));
  }
  if (!ok) {
    return std::nullopt;
  }
  return guid;
}

void GuidToBytes(REFGUID guid, BYTE out[16])
{
  out[0] = static_cast<BYTE>(guid.Data1);
  out[1] = static_cast<BYTE>(guid.Data1 >> 8);
  out[2] = static_cast<BYTE>(guid.Data1 >> 16);
  out[3] = static_cast<BYTE>(guid.Data1 >> 24);
  out[4] = static_cast<BYTE>(guid.Data2);
  out[5] = static_cast<BYTE>(guid.Data2 >> 8);
  out[6] = static_cast<BYTE>(guid.Data3);
  out[7] = static_cast<BYTE>(guid.Data3 >> 8);
  for (int i = 0; i < 8; ++i) {
    out[8 + i] = guid.Data4[i];
  }
}

GUID GuidFromBytes(const BYTE in[16])
{
  GUID guid;
  guid.Data1 = static_cast<DWORD>(in[0]) | static_cast<DWORD>(in[1]) << 8 | static_cast<DWORD>(in[2]) << 16 |
               static_cast<DWORD>(in[3]) << 24;
  guid.Data2 = static_cast<WORD>(in[4] | in[5] << 8);
  guid.Data3 = static_cast<WORD>(in[6] | in[7] << 8);
  for (int i = 0; i < 8; ++i) {
    guid.Data4[i] = in[8 + i];
  }
  return guid;
}
