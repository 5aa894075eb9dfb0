// The interchange engine's input file: the open-territory file with nearly no captions, a grid step that can be
// chosen from the polygons' area, and every polygon described by its calculation mesh (its triangles, and its
// points with their normals, where the engine calculates). Text, one value or group per line, each line ended
// by a single LF, numbers in the C locale.
#pragma once

#include <string>

class CString;
struct IQorRoadDoc;

namespace EngineIo {

// The model changes the input depends on, made on the window's thread before the worker starts: primitives
// without pieces are rebuilt, every polygon that takes part gets a mesh, and every one the engine calculates
// point by point (all but shading objects) a fresh mesh refined with the grid step of the file. 0,
// kNoAreaOfThisKind, or kOutlineRefused when a polygon's mesh cannot be made (its outline crosses or touches
// itself); the primitive's surface then says why (CPrimitiveCalcSurface::GetOutlineFault).
int PrepareEngineInput5(IQorRoadDoc* document);

// The grid step the file carries: in automatic mode with luminaires to place, from the meshes' total area and
// the number of luminaire records, kept within 0.5..5.0 m; otherwise the area's own step. 0 without an active
// interchange.
double InterchangeGridStep(IQorRoadDoc* document);

// The file's text and the code the writer answers for it (0, 8, 9, 10, or a failure of EngineIo::Code; on a
// failure the text is empty; kOutlineRefused for a polygon whose last mesh rebuild refused its outline). Only reads the model, meshes included: safe on the worker thread after
// PrepareEngineInput5, while the window keeps the project from being edited.
int FormatEngineInput5(IQorRoadDoc* document, std::string& text);

}  // namespace EngineIo

// Writes the input for the active interchange to `path`. 0 written; 8 written but neither carriageway nor
// sidewalk takes part; 9 written but no luminaire to place; 10 written but the user grid step is more than half
// the shorter side of the area; otherwise an EngineIo::Code failure, after which the engine must not be called.
int WriteEngineInput5(IQorRoadDoc* document, const CString& path);
