// The open-site engine's input file: text in code page 1251, one value or group of values per line, each line
// ended by a single LF, numbers in the C locale; most lines carry the value, spaces, "!" and a numbered Russian
// caption, which belong to the format.
#pragma once

#include <string>

class CString;
struct IQorRoadDoc;

namespace EngineIo {

// The model changes the input depends on, made on the window's thread before the worker starts: every primitive
// that takes part is rebuilt (a polygon gets its triangle pieces again) and the bracket of every pole whose arms
// the writer will visit gets its first arm current again. 0, kNoAreaOfThisKind, or kOutlineRefused when a
// polygon that takes part has an outline that crosses or touches itself (the primitive's OutlineFault says why).
int PrepareEngineInput3(IQorRoadDoc* document);

// The file's text for the active open site, and the code the writer answers for it (0, 8, 9, 10, or a failure of
// EngineIo::Code; on a failure the text is empty). Only reads the model: safe on the worker thread while the
// window keeps the project from being edited.
int FormatEngineInput3(IQorRoadDoc* document, std::string& text);

}  // namespace EngineIo

// Writes the input for the active open site to `path` (a new file, or one emptied). 0 written; 8 written but no
// carriageway or sidewalk primitive takes part; 9 written but no luminaire to place; 10 written but the user grid
// step is coarser than half the shorter side; otherwise an EngineIo::Code failure, after which the engine must
// not be called.
int WriteEngineInput3(IQorRoadDoc* document, const CString& path);
