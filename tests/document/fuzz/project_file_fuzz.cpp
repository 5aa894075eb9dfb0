// libFuzzer target: the project-file loader on arbitrary bytes. Whatever the bytes, the loader either reads a
// project or raises the archive's error; it never crashes, hangs, leaks or allocates what the file merely
// claims. What reads cleanly is written back, so the writers run over every shape the readers accept.
#include "document/graphic_core.h"
#include "document/project_file.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/project.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "tests/model/fake_document.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  FakeDocument document;
  IVisualOpt* options = nullptr;
  IProject* project = nullptr;
  CreateVisualOpt(&options);
  CreateProject(&document, &project);
  auto* tree = dynamic_cast<ObjectModel::CProject*>(project);
  CGraphicCore core(&document);

  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  bool loaded = false;
  try {
    CArchive ar(&file, CArchive::load);
    const ProjectFile::Header header = ProjectFile::ReadHeader(ar);
    if (ProjectFile::CheckHeader(header) == 0) {
      DWORD viewMode = 0;
      ProjectFile::ReadBody(ar, header.version, &viewMode, options, tree, &core);
      loaded = true;
    }
    ar.Close();
  } catch (CException* e) {
    e->Delete();
  }
  if (loaded) {
    CMemFile out;
    CArchive ar(&out, CArchive::store);
    ProjectFile::WriteHeader(ar, 0x202);
    ProjectFile::WriteBody(ar, options, tree, &core);
    ar.Close();
  }
  project->Release();
  options->Release();
  return 0;
}
