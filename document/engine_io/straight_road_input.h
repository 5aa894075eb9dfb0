// The straight-road engine's input file: a text file, one value or group of values per line, each line ended by
// a single LF, numbers in the C locale ("%u" for counts and flags, "%g" for lengths and angles).
#pragma once

#include <string>

class CString;
struct IQorRoadDoc;

namespace EngineIo {

// The model changes the input depends on, made on the window's thread before the worker starts: the road's
// area width is recomputed and the bracket of every pole whose arms the writer will visit gets its first arm
// current again. 0, or kNoAreaOfThisKind.
int PrepareEngineInput1(IQorRoadDoc* document);

// The file's text for the active straight road, and the code the writer answers for it (0, 8, 9, or a failure
// of EngineIo::Code; on a failure the text is empty). Only reads the model: safe on the worker thread while the
// window keeps the project from being edited.
int FormatEngineInput1(IQorRoadDoc* document, std::string& text);

}  // namespace EngineIo

// Writes the input for the active straight road to `path` (a new file, or one emptied). 0 written; 8 written
// but nothing to calculate; 9 written but no switched-on group has a luminaire; otherwise an EngineIo::Code
// failure, after which the engine must not be called.
int WriteEngineInput1(IQorRoadDoc* document, const CString& path);
