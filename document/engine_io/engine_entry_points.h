// The outside calculation engines: one library per kind of area, each with a single entry point that the
// calculation worker calls. qor_calc (INTERFACE1) takes straight roads, qor_calc_3 (INTERFACE3) open sites,
// qor_calc_5 (INTERFACE5) multi-level interchanges.
//
// Arguments, in order: the main window, the input file path (a writable buffer) and its length, the result file
// path (writable) and its length. The return value is not used. The input file is complete when the call starts;
// the result file exists, empty, and holds the engine's results when the engine reports success.
//
// While it runs an engine may send the main window 0x820E (wParam: percent done) and 0x8214 (lParam: address of
// an int that receives the calculation state; 2 means the user asked to stop). A threaded run (the call is made
// on the worker) ends only when the engine delivers 0x820F with its code in wParam: 0 success, 8, 9, 10 the codes
// of the input writers, anything else a failure of the engine. A direct run (the call is made on the window's own
// thread) gets no 0x820F from the engine: the program sends 0x820F (0) itself when the call returns.
#pragma once

#include "platform/base/wintypes.h"

using CalculationEngineEntry = int (*)(HWND mainWindow, char* inputPath, int inputPathLength, char* resultPath,
                                       int resultPathLength);

extern "C" int INTERFACE1(HWND mainWindow, char* inputPath, int inputPathLength, char* resultPath,
                          int resultPathLength);
extern "C" int INTERFACE3(HWND mainWindow, char* inputPath, int inputPathLength, char* resultPath,
                          int resultPathLength);
extern "C" int INTERFACE5(HWND mainWindow, char* inputPath, int inputPathLength, char* resultPath,
                          int resultPathLength);
