// The graphics library (GrafoCore) as the program binds it: plain functions found by their export names.
// It holds the background drawings imported from DXF (one project per drawing, ids with bit 0x1000), draws the
// current one under the scene, snaps clicks to it, keeps it in the project file and writes DXF from the
// program's export records.
//
// Its block of the project file, the last of the file, written and read by "Serialize" (little-endian):
//   int32 0                  no drawings: the whole block
//   "GRFC", u32 version, u32 byte count, that many bytes
//                            the drawings (drawing_block.h), which a build without drawings reads past
// Any other start is a part written by another library: it runs to the end of the file and is skipped. A
// block of ours is self-delimiting, so bytes after it are damage, which the project file reports.
#pragma once

#include "platform/base/wintypes.h"

#include <initializer_list>
#include <string_view>

class CArchive;

namespace grafocore {

// The library's exports, with the program's names and argument forms. Without a current drawing the view calls
// find nothing to draw, size or snap to.
void Draw();
void SetWindow(HWND view);
void SetViewMode(int viewType);
void OnWindowSize(UINT type, int cx, int cy);
void ApplyView(double* x, double* y, double* z, double* farPlane);
void SetCurrentProject(int id);
// Writes the copy's id; 0 for an id the library does not hold.
void CloneProject(int* id);
// The drawing file of a project; empty for an id the library does not hold.
const char* GetProjectFilePath(int id);
// Writes the DXF file from the export list (an nsExp::CExportList); the current drawing too with flag 0x80.
// The file is replaced only once written whole; a file that cannot be written is reported in a message box, with
// the reason. Answers 1 when the file was written, 0 otherwise.
int ExportData(const char* path, void* exportList, int flags, int reserved);
// Nonzero when the window point lies within kSnapPixels of a snap point of the current drawing (as the last
// frame showed it); the point is written to the world coordinates. 0: the point is left as it is.
inline constexpr double kSnapPixels = 8;
int ObjectSnap(int mouseFlags, int x, int y, double* worldX, double* worldY, double* worldZ);
void OpenLayersManager();
int DeleteProject(int id);
// Imports a DXF file as a new project and makes it current; writes its id, or 0 when the drawing could not be
// imported (the reason shown in a message box).
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

// Layers of the current drawing, by name: what the layers dialog shows and switches. False for a name the
// drawing lacks.
bool SetLayerShown(const char* name, bool shown);
bool IsLayerShown(const char* name);

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
