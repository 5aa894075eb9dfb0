// The calculation run: which writer, engine and reader serve the active area, the parameter block the worker
// reads, and the worker itself. The run's slots of the document (start, finish, cancel, the result resets) are
// defined in calculation_run.cpp.
//
// Only one calculation exists at a time: the parameter block, the worker's handle and the start event are
// process-wide. The run talks to the main window it found at the start: 0x8213 sets the frame's calculation
// state, 0x820F ends the run (the frame calls IQorRoadDoc::OnCalculationFinished), 0x8214 asks the state.
#pragma once

#include "document/engine_io/engine_entry_points.h"
#include "platform/base/guid.h"
#include "platform/base/wintypes.h"

class CQorRoadDoc;
class CString;
class CTKPropertyGridItem;
struct IQorRoadDoc;

// Start flags of IQorRoadDoc::StartCalculation.
inline constexpr DWORD CALC_UNDO_SNAPSHOT = 0x01;
inline constexpr DWORD CALC_REDRAW = 0x02;
inline constexpr DWORD CALC_PROGRESS = 0x04;
inline constexpr DWORD CALC_NOTIFY_RESULTS = 0x08;
inline constexpr DWORD CALC_SHOW_ERRORS = 0x10;
inline constexpr DWORD CALC_THREADED = 0x20;

// Codes of the run itself, beside the writers' and readers' (engine_io_codes.h) and the engines' (11-15).
namespace CalculationCodes {
inline constexpr int kBusy = 40;               // a calculation is already running; nothing was touched
inline constexpr int kTempFilesNotMade = 41;   // no unique temporary names could be made
inline constexpr int kEngineNotAvailable = 42; // the program has no engine for this kind of area
inline constexpr int kWorkerNotStarted = 43;   // the worker thread could not be made
}  // namespace CalculationCodes

inline constexpr int kCalcPathLength = 260;

struct _CALC_THREAD_PARAMS {
  DWORD flags;
  HWND mainWindow;
  GUID method;
  CQorRoadDoc* document;
  char inputPath[kCalcPathLength];
  char resultPath[kCalcPathLength];
};

// One row of the method table: what serves one kind of area. `prepare` changes the model the input depends on
// and runs on the window's thread before the worker starts; `write` only reads it (on the worker).
struct CalculationMethod {
  GUID areaClass;
  int (*prepare)(IQorRoadDoc* document);
  int (*write)(IQorRoadDoc* document, const CString& path);
  CalculationEngineEntry engine;
  int (*read)(IQorRoadDoc* document, const CString& path);
};

// The row for an area class, or null.
const CalculationMethod* FindCalculationMethod(const GUID& areaClass);

// Puts another engine in the place of an area kind's (tests drive the run with fake engines); null restores the
// program's own.
void SetCalculationEngine(const GUID& areaClass, CalculationEngineEntry engine);

// The worker: writes the input and calls the engine. Runs as the thread procedure or, on a direct run, as a
// plain call on the window's thread. Returns the writer's code (0 when the engine was called).
unsigned CalcThreadProc(_CALC_THREAD_PARAMS* block);

// The parameter block of the last run.
const _CALC_THREAD_PARAMS& LastCalculationParams();
// True from the start of a run to the end of its finish.
bool IsCalculationRunning();

// What the user is told when a run ends with `code` without results: empty for success.
CString CalculationFailureMessage(int code);
// The worker's thread handle while a threaded run's worker exists, else null.
HANDLE CalculationWorker();

// The property grid tells the document which item was edited; until the application installs the reader of an
// item's id every item counts as an ordinary property (its edit clears the area's results).
using PropertyItemIdReader = UINT (*)(CTKPropertyGridItem* item);
void SetPropertyItemIdReader(PropertyItemIdReader reader);
