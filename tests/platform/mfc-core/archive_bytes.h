// Byte fixtures for archive tests: hex text written by hand, and what an archive stores or reads.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/memfile.h"

#include <cctype>
#include <string>
#include <vector>

namespace testing_mfc {

using Bytes = std::vector<BYTE>;

// "FF 00 1a" -> {0xFF, 0x00, 0x1A}; spaces are ignored.
inline Bytes Hex(const std::string& text)
{
  Bytes out;
  int high = -1;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      continue;
    }
    const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<BYTE>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes Repeat(BYTE value, std::size_t count) { return Bytes(count, value); }

// What `write` stores through an archive over a memory file.
template <typename Write>
Bytes Stored(Write write)
{
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
  }
  return Bytes(file.GetData(), file.GetData() + file.GetLength());
}

// Runs `read` on a loading archive over the bytes.
template <typename Read>
void LoadFrom(const Bytes& bytes, Read read)
{
  Bytes copy = bytes;
  CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load);
  read(ar);
}

// The cause of the CArchiveException that `action` throws, or -1 when it throws none.
template <typename Action>
int ArchiveCause(Action action)
{
  try {
    action();
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

}  // namespace testing_mfc
