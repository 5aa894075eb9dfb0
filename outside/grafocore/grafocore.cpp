#include "outside/grafocore/grafocore.h"

#include "platform/base/module.h"
#include "platform/mfc-core/archive.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace grafocore {

void Draw() {}

void SetWindow(HWND) {}

void SetViewMode(int) {}

void OnWindowSize(UINT, int, int) {}

void ApplyView(double*, double*, double*, double*) {}

void SetCurrentProject(int) {}

void CloneProject(int* id)
{
  if (id)
    *id = 0;
}

const char* GetProjectFilePath(int)
{
  return "";
}

void ExportData(const char*, void*, int, int) {}

int ObjectSnap(int, int, int, double*, double*, double*)
{
  return 0;
}

void OpenLayersManager() {}

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

namespace {

struct Export {
  const char* name;
  void* address;
};

const Export kExports[] = {
    {"Draw", reinterpret_cast<void*>(&Draw)},
    {"SetWindow", reinterpret_cast<void*>(&SetWindow)},
    {"SetViewMode", reinterpret_cast<void*>(&SetViewMode)},
    {"OnWindowSize", reinterpret_cast<void*>(&OnWindowSize)},
    {"ApplyView", reinterpret_cast<void*>(&ApplyView)},
    {"SetCurrentProject", reinterpret_cast<void*>(&SetCurrentProject)},
    {"DeleteObjects", reinterpret_cast<void*>(&DeleteObjects)},
    {"Serialize", reinterpret_cast<void*>(&Serialize)},
    {"CloneProject", reinterpret_cast<void*>(&CloneProject)},
    {"GetProjectFilePath", reinterpret_cast<void*>(&GetProjectFilePath)},
    {"ExportData", reinterpret_cast<void*>(&ExportData)},
    {"ObjectSnap", reinterpret_cast<void*>(&ObjectSnap)},
    {"DeleteProject", reinterpret_cast<void*>(&DeleteProject)},
    {"OpenDXFFile", reinterpret_cast<void*>(&OpenDXFFile)},
    {"GetProjectDimentions", reinterpret_cast<void*>(&GetProjectDimentions)},
    {"GetProjectPosition", reinterpret_cast<void*>(&GetProjectPosition)},
    {"OpenLayersManager", reinterpret_cast<void*>(&OpenLayersManager)},
};
constexpr int kExportCount = static_cast<int>(sizeof kExports / sizeof kExports[0]);

}  // namespace

void* GetExport(const char* name)
{
  for (const Export& e : kExports)
    if (name && std::strcmp(e.name, name) == 0)
      return e.address;
  return nullptr;
}

void RegisterLibrary(std::initializer_list<std::string_view> absentExports)
{
  platform::ModuleSymbols symbols;
  for (const Export& e : kExports)
    if (std::find(absentExports.begin(), absentExports.end(), std::string_view(e.name)) == absentExports.end())
      symbols.emplace(e.name, e.address);
  platform::RegisterModule(kModuleName, std::move(symbols));
}

const char* const* ExportNames(int* count)
{
  static const auto names = [] {
    std::array<const char*, kExportCount> all{};
    for (int i = 0; i < kExportCount; ++i)
      all[i] = kExports[i].name;
    return all;
  }();
  if (count)
    *count = kExportCount;
  return names.data();
}

}  // namespace grafocore
