#include "outside/grafocore/grafocore.h"

#include "platform/mfc-core/archive.h"

#include <cstring>

namespace grafocore {

int DeleteProject(int)
{
  return 0;
}

int OpenDXFFile(const char*, int* id)
{
  if (id)
    *id = 0;
  return 0;
}

int GetProjectDimentions(double* length, double* width, double* height)
{
  for (double* out : {length, width, height})
    if (out)
      *out = 0.0;
  return 0;
}

int GetProjectPosition(double* x, double* y, double* z)
{
  for (double* out : {x, y, z})
    if (out)
      *out = 0.0;
  return 0;
}

int DeleteObjects()
{
  return 0;
}

namespace {

constexpr char kDrawingsTag[4] = {'G', 'R', 'F', 'C'};

// Reads and drops everything up to the end of the file.
void SkipToEnd(CArchive& ar)
{
  char buffer[4096];
  while (ar.Read(buffer, sizeof buffer) == sizeof buffer) {
  }
}

}  // namespace

int Serialize(CArchive* archive, DWORD)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << static_cast<int>(0);
    return kPartRead;
  }
  char start[4];
  if (ar.Read(start, 4) != 4)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  if (std::memcmp(start, "\0\0\0\0", 4) == 0)
    return kPartRead;
  if (std::memcmp(start, kDrawingsTag, 4) != 0) {
    SkipToEnd(ar);
    return kPartSkipped;
  }
  DWORD version = 0;
  DWORD length = 0;
  ar >> version >> length;
  ar.EnsureAvailable(length);
  char buffer[4096];
  for (DWORD left = length; left > 0;) {
    const UINT chunk = left < sizeof buffer ? static_cast<UINT>(left) : static_cast<UINT>(sizeof buffer);
    if (ar.Read(buffer, chunk) != chunk)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    left -= chunk;
  }
  return kPartSkipped;
}

LPCSTR SkippedPartMessage()
{
  return "Фоновый чертеж проекта не может быть прочитан этой версией программы. Проект открыт без него.";
}

void* GetExport(const char* name)
{
  struct Export {
    const char* name;
    void* address;
  };
  static const Export exports[] = {
    {"DeleteProject", reinterpret_cast<void*>(&DeleteProject)},
    {"OpenDXFFile", reinterpret_cast<void*>(&OpenDXFFile)},
    {"GetProjectDimentions", reinterpret_cast<void*>(&GetProjectDimentions)},
    {"GetProjectPosition", reinterpret_cast<void*>(&GetProjectPosition)},
    {"DeleteObjects", reinterpret_cast<void*>(&DeleteObjects)},
    {"Serialize", reinterpret_cast<void*>(&Serialize)},
  };
  for (const Export& e : exports)
    if (name && std::strcmp(e.name, name) == 0)
      return e.address;
  return nullptr;
}

}  // namespace grafocore
