#include "document/project_file.h"

#include "document/graphic_core.h"
#include "model/class_obj_model.h"
#include "model/ivisualopt.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <cstring>

namespace ProjectFile {

Header ReadHeader(CArchive& ar)
{
  Header header;
  if (ar.Read(header.magic, 4) != 4)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  ar >> header.version;
  return header;
}

UINT CheckHeader(const Header& header)
{
  if (std::memcmp(header.magic, kMagic, 4) != 0)
    return IDS_NOT_A_PROJECT;
  if (header.version > kWrittenVersion)
    return IDS_NEWER_VERSION;
  if (header.version < kOldestVersion)
    return IDS_VERSION_3;
  return 0;
}

void ReadBody(CArchive& ar, DWORD version, DWORD* viewMode, IVisualOpt* options, IClassObjModel* project,
              CGraphicCore* core)
{
  ar >> *viewMode;
  if (version < kNoObsoleteWordsVersion) {
    DWORD obsolete = 0;
    for (int k = 0; k < 5; ++k)
      ar >> obsolete;
  }
  options->Serialize(&ar, version);
  // The user's own screen colours stay, whatever the file carries.
  options->LoadColours();
  project->Serialize(&ar, version);
  core->Serialize(ar, version);
  // Every block says where it ends, so bytes left over mean that one of them was read wrongly (a relabelled
  // or damaged file) and the project read is not the file's.
  BYTE extra = 0;
  if (ar.Read(&extra, 1) != 0)
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
}

void WriteHeader(CArchive& ar, DWORD viewMode)
{
  ar.Write(kMagic, 4);
  ar << kWrittenVersion << viewMode;
}

void WriteBody(CArchive& ar, IVisualOpt* options, IClassObjModel* project, CGraphicCore* core)
{
  options->Serialize(&ar, kWrittenVersion);
  options->LoadColours();
  project->Serialize(&ar, kWrittenVersion);
  core->Serialize(ar, kWrittenVersion);
}

}  // namespace ProjectFile
