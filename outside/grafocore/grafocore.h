// The graphics library (GrafoCore) as the program binds it: plain functions found by their export names.
// This stand-in holds no background drawings yet (DXF import comes with the drawing-exchange work); it keeps
// the calls' contracts and its own block of the project file.
//
// Its block of the project file, written and read by "Serialize":
//   int32  drawing count   always 0 from this stand-in; a file that names drawings is refused, since their
//                          records are the real library's own and cannot be read past
#pragma once

#include "platform/base/wintypes.h"

class CArchive;

namespace grafocore {

// The library's exports, with the program's names and argument forms.
int DeleteProject(int id);
// Writes the new underlay id; 0 when the drawing could not be imported (always, in this stand-in).
int OpenDXFFile(const char* path, int* id);
int GetProjectDimentions(double* length, double* width, double* height);
int GetProjectPosition(double* x, double* y, double* z);
int DeleteObjects();
int Serialize(CArchive* archive, DWORD version);

// Looks an export up by name, as the program does at each call; null for a name the library lacks.
void* GetExport(const char* name);

}  // namespace grafocore
