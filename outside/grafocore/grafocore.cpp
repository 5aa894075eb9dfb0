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

int Serialize(CArchive* archive, DWORD)
{
  if (archive->IsStoring()) {
    *archive << static_cast<int>(0);
    return 0;
  }
  int drawings = 0;
  *archive >> drawings;
  if (drawings != 0)
    AfxThrowArchiveException(CArchiveException::badIndex, archive->m_strFileName);
  return 0;
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
