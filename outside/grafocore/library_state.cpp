// The library's state and its block of the project file: no drawing or window code, so a reader of project
// files alone (the project-file fuzzer) links with this part only.
#include "outside/grafocore/library_state.h"

#include "outside/grafocore/grafocore.h"
#include "platform/mfc-core/archive.h"

#include <algorithm>
#include <cstring>

namespace grafocore {

namespace {

constexpr int kProjectBit = 0x1000;
constexpr char kDrawingsTag[4] = {'G', 'R', 'F', 'C'};
constexpr DWORD kBlockVersion = 1;

// Reads and drops everything up to the end of the file.
void SkipToEnd(CArchive& ar)
{
  char buffer[4096];
  while (ar.Read(buffer, sizeof buffer) == sizeof buffer) {
  }
}

}  // namespace

Library& State()
{
  static Library library;
  return library;
}

Project* Current()
{
  Library& l = State();
  const auto found = l.projects.byId.find(l.projects.current);
  return found == l.projects.byId.end() ? nullptr : found->second.get();
}

int NewId()
{
  Library& l = State();
  int id;
  do
    id = kProjectBit | (l.nextId++ & 0xFFFF);
  while (l.projects.byId.count(id));
  return id;
}

int DeleteObjects()
{
  Library& l = State();
  l.projects = Projects();
  l.view = ViewState();
  return 0;
}

int Serialize(CArchive* archive, DWORD)
{
  CArchive& ar = *archive;
  Library& l = State();
  if (ar.IsStoring()) {
    if (l.projects.byId.empty()) {
      ar << static_cast<int>(0);
      return kPartRead;
    }
    const std::string payload = EncodeProjects(l.projects);
    ar.Write(kDrawingsTag, 4);
    ar << kBlockVersion << static_cast<DWORD>(payload.size());
    ar.Write(payload.data(), static_cast<UINT>(payload.size()));
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
  std::string payload(length, '\0');
  if (length && ar.Read(payload.data(), length) != length)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  // A later version's drawings, or damaged ones, are passed over whole: the project opens without them.
  Projects read;
  if (version != kBlockVersion || !DecodeProjects(payload, read))
    return kPartSkipped;
  l.projects = std::move(read);
  for (const auto& [id, project] : l.projects.byId)
    l.nextId = std::max(l.nextId, (id & 0xFFFF) + 1);
  return kPartRead;
}

LPCSTR SkippedPartMessage()
{
  return "Фоновый чертеж проекта не может быть прочитан этой версией программы. Проект открыт без него.";
}

}  // namespace grafocore
