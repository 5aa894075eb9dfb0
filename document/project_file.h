// The project file's container: what stands before, between and after the blocks that the objects write
// themselves. The document decides what happens around it (the reset before a load, messages, redraws).
//
//   offset 0   4 bytes   magic "QORR", no terminator
//   offset 4   u32       format version; 6.0.42.0 (0x06002A00) when written
//   offset 8   u32       view-mode word
//   offset 12  5 x u32   obsolete words, only in files before 4.0.3.0; read and ignored
//   then       the visual options block, the project block, the render core's block, each read and written
//              with the header's version; nothing follows: a file with bytes after the render core's block
//              is damaged
#pragma once

#include "platform/base/wintypes.h"

class CArchive;
class CGraphicCore;
struct IClassObjModel;
struct IVisualOpt;

namespace ProjectFile {

inline constexpr char kMagic[4] = {'Q', 'O', 'R', 'R'};
inline constexpr DWORD kWrittenVersion = 0x06002A00;
inline constexpr DWORD kOldestVersion = 0x04000000;
inline constexpr DWORD kNoObsoleteWordsVersion = 0x04000300;
inline constexpr DWORD kWholeGraphicsBlockVersion = 0x04030000;

// Message ids of a refused file.
inline constexpr UINT IDS_NOT_A_PROJECT = 102;
inline constexpr UINT IDS_NEWER_VERSION = 103;
inline constexpr UINT IDS_VERSION_3 = 124;

struct Header {
  char magic[4] = {};
  DWORD version = 0;
};

// Magic and version; an archive error when the file is shorter.
Header ReadHeader(CArchive& ar);
// 0 for a file this program reads, else the id of the message that refuses it (the first that applies).
UINT CheckHeader(const Header& header);

// Everything after magic and version, in the order of the file. The visual options and the project are the
// current history state's; the render core writes or reads its own block. Bytes after it are the archive's
// error, as a block cut short is.
void ReadBody(CArchive& ar, DWORD version, DWORD* viewMode, IVisualOpt* options, IClassObjModel* project,
              CGraphicCore* core);
void WriteHeader(CArchive& ar, DWORD viewMode);
void WriteBody(CArchive& ar, IVisualOpt* options, IClassObjModel* project, CGraphicCore* core);

}  // namespace ProjectFile
