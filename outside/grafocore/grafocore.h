// The graphics library (GrafoCore) as the program binds it: plain functions found by their export names.
// This stand-in holds no background drawings yet (DXF import comes with the drawing-exchange work); it keeps
// the calls' contracts and its own block of the project file.
//
// Its block of the project file, the last of the file, written and read by "Serialize" (little-endian):
//   int32 0                  no drawings: the whole block, and what this stand-in writes
//   "GRFC", u32 version, u32 byte count, that many bytes
//                            drawings, in a form of our own that a build without drawings reads past
// Any other start is a part written by another library: it runs to the end of the file and is skipped. A
// block of ours is self-delimiting, so bytes after it are damage, which the project file reports.
#pragma once

#include "platform/base/wintypes.h"

#include <initializer_list>
#include <string_view>

class CArchive;

namespace grafocore {

// The library's exports, with the program's names and argument forms. Without drawings the view calls find
// nothing to draw, size or snap to.
void Draw();
void SetWindow(HWND view);
void SetViewMode(int viewType);
void OnWindowSize(UINT type, int cx, int cy);
void ApplyView(double* x, double* y, double* z, double* farPlane);
void SetCurrentProject(int id);
// Writes the copy's id: 0, as there is no drawing to copy.
void CloneProject(int* id);
// The drawing file of a project; empty for an id the library does not hold (every id, in this stand-in).
const char* GetProjectFilePath(int id);
// Writes nothing without drawing support (the export list is read by the DXF writer when it comes).
void ExportData(const char* path, void* exportList, int flags, int reserved);
// 0: nothing to snap to; the point is left as it is.
int ObjectSnap(int mouseFlags, int x, int y, double* worldX, double* worldY, double* worldZ);
void OpenLayersManager();
int DeleteProject(int id);
// Writes the new underlay id; 0 when the drawing could not be imported (always, in this stand-in).
int OpenDXFFile(const char* path, int* id);
int GetProjectDimentions(double* length, double* width, double* height);
int GetProjectPosition(double* x, double* y, double* z);
int DeleteObjects();
// kPartRead, or kPartSkipped when the drawings of the block could not be taken (the project opens without
// them, and the program says so with SkippedPartMessage). A block cut short is the archive's error.
inline constexpr int kPartRead = 0;
inline constexpr int kPartSkipped = 1;
int Serialize(CArchive* archive, DWORD version);
// The library's own warning for a skipped part.
LPCSTR SkippedPartMessage();

// Looks an export up by name, as the program does at each call; null for a name the library lacks.
void* GetExport(const char* name);

// The module name the program loads the library by ("GrafoCore.dll" from its library folder).
inline constexpr char kModuleName[] = "GrafoCore";
// Enters the library in the process's module table, so LoadLibrary finds it by name. Tests leave exports out
// to see the program skip them; a handle already loaded keeps the exports it had.
void RegisterLibrary(std::initializer_list<std::string_view> absentExports = {});
// Every export's name, in the order of the contract.
const char* const* ExportNames(int* count);

}  // namespace grafocore
