#include "document/calculation_run.h"
#include "document/doc_support.h"

#include "document/engine_io/engine_io_codes.h"
#include "document/engine_io/interchange_input.h"
#include "document/engine_io/interchange_result.h"
#include "document/engine_io/open_territory_input.h"
#include "document/engine_io/open_territory_result.h"
#include "document/engine_io/straight_road_input.h"
#include "document/engine_io/straight_road_result.h"
#include "document/qor_road_doc.h"
#include "geometry/triangulation/outline_check.h"
#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iresults.h"
#include "model/shell/shell_services.h"
#include "platform/base/fileops.h"
#include "platform/base/folders.h"
#include "platform/base/interlocked.h"
#include "platform/base/sync.h"
#include "platform/base/thread.h"
#include "platform/mfc/afxres.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <cstring>

namespace {

CalculationMethod g_methods[] = {
    {CLSID_CStraightRoad, &EngineIo::PrepareEngineInput1, &WriteEngineInput1, &INTERFACE1, &ReadEngineResult1},
    {CLSID_CCustomizeRoad, &EngineIo::PrepareEngineInput3, &WriteEngineInput3, &INTERFACE3, &ReadEngineResult3},
    {CLSID_CCustomizeRoad3D, &EngineIo::PrepareEngineInput5, &WriteEngineInput5, &INTERFACE5, &ReadEngineResult5},
};
const CalculationEngineEntry g_ownEngines[] = {&INTERFACE1, &INTERFACE3, &INTERFACE5};

_CALC_THREAD_PARAMS g_params{};
// Set from the start of a run to the end of its finish; a second start in between is refused.
volatile LONG g_running = 0;
// The user asked to stop this run: its end code is the engine's own and is not reported as a failure.
volatile LONG g_cancelled = 0;
PVOID volatile g_worker = nullptr;
HANDLE g_startEvent = nullptr;
// The final code of the last finish: a direct run answers it.
volatile LONG g_lastFinishCode = 0;

PropertyItemIdReader g_itemIdReader = nullptr;

constexpr UINT kMsgStringNoActiveObjects = 353;
constexpr UINT kMsgStringNoActiveGroups = 354;
constexpr UINT kMsgStringGridStep = 748;
// Everything else that keeps a calculation from giving results.
constexpr UINT kMsgStringProcessingError = 843;

// Items of the area's own output switches: editing them keeps the results.
constexpr UINT kItemLightingOutput = 206;
constexpr UINT kItemEconomicOutput = 207;

LRESULT SendToFrame(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
  return frame ? ::SendMessage(frame, message, wParam, lParam) : 0;
}

void CopyPath(char (&to)[kCalcPathLength], const char* from)
{
  std::strncpy(to, from, kCalcPathLength - 1);
  to[kCalcPathLength - 1] = '\0';
}

bool IsAreaClass(const GUID& id)
{
  return id == CLSID_CArea || id == CLSID_CStraightRoad || id == CLSID_CCustomizeRoad ||
         id == CLSID_CCustomizeRoad3D;
}

UINT MessageOfCode(int code)
{
  switch (code) {
  case EngineIo::kOk: return 0;
  case EngineIo::kNoActiveObjects: return kMsgStringNoActiveObjects;
  case EngineIo::kNoActiveGroups: return kMsgStringNoActiveGroups;
  case EngineIo::kGridStepTooCoarse: return kMsgStringGridStep;
  default: return kMsgStringProcessingError;
  }
}

}  // namespace

CString CalculationFailureMessage(int code)
{
  CString message;
  if (code == EngineIo::kOk)
    return message;
  // The user can mend a crossing outline, so the run says what the drawing tools say, not a plea to the developers.
  if (code == EngineIo::kOutlineRefused)
    return CString(OutlineCheck{OutlineFault::kSelfCrossing, {}}.Message());
  message.LoadString(MessageOfCode(code));
  return message;
}

namespace {

// The end message the program sends itself (a refused writer, or the end of a direct run). Without a main window
// nobody would pass it on, so on the window's thread the finish is called directly; a worker never finishes
// the run itself, since the finish changes the document.
void DeliverEnd(CQorRoadDoc* document, HWND frame, int code, bool onWorker = false)
{
  if (frame && ::IsWindow(frame))
    ::SendMessage(frame, UM_CALCFINISHED, static_cast<WPARAM>(code), 0);
  else if (!onWorker)
    document->OnCalculationFinished(code);
}

}  // namespace

const CalculationMethod* FindCalculationMethod(const GUID& areaClass)
{
  for (const CalculationMethod& method : g_methods)
    if (method.areaClass == areaClass)
      return &method;
  return nullptr;
}

void SetCalculationEngine(const GUID& areaClass, CalculationEngineEntry engine)
{
  for (std::size_t i = 0; i < std::size(g_methods); ++i)
    if (g_methods[i].areaClass == areaClass)
      g_methods[i].engine = engine ? engine : g_ownEngines[i];
}

const _CALC_THREAD_PARAMS& LastCalculationParams() { return g_params; }

bool IsCalculationRunning() { return InterlockedCompareExchange(&g_running, 0, 0) != 0; }

HANDLE CalculationWorker() { return InterlockedCompareExchangePointer(&g_worker, nullptr, nullptr); }

void SetPropertyItemIdReader(PropertyItemIdReader reader) { g_itemIdReader = reader; }

namespace {

DWORD WorkerStart(LPVOID parameter) { return CalcThreadProc(static_cast<_CALC_THREAD_PARAMS*>(parameter)); }

}  // namespace

unsigned CalcThreadProc(_CALC_THREAD_PARAMS* block)
{
  const GUID method = block->method;
  const HWND frame = block->mainWindow;
  CQorRoadDoc* const document = block->document;
  char inputPath[kCalcPathLength], resultPath[kCalcPathLength];
  CopyPath(inputPath, block->inputPath);
  CopyPath(resultPath, block->resultPath);
  // The starter stored the worker's handle before resuming it; a direct call runs on another thread.
  HANDLE ownHandle = CalculationWorker();
  if (ownHandle && GetThreadId(ownHandle) != GetCurrentThreadId())
    ownHandle = nullptr;
  if (ownHandle)
    SetEvent(g_startEvent);

  int code = CalculationCodes::kEngineNotAvailable;
  const CalculationMethod* row = FindCalculationMethod(method);
  if (row && row->write && row->engine)
    code = row->write(document, CString(inputPath));
  if (code != EngineIo::kOk)
    DeliverEnd(document, frame, code, ownHandle != nullptr);
  else
    row->engine(frame, inputPath, static_cast<int>(std::strlen(inputPath)), resultPath,
                static_cast<int>(std::strlen(resultPath)));

  // The worker releases its own handle; the process-wide one is cleared only while it is still this worker's,
  // since a later run may already have stored its own.
  if (ownHandle) {
    InterlockedCompareExchangePointer(&g_worker, nullptr, ownHandle);
    CloseHandle(ownHandle);
  }
  return static_cast<unsigned>(code);
}

// The document's slots

int CQorRoadDoc::StartCalculation(DWORD flags)
{
  if (InterlockedCompareExchange(&g_running, 1, 0) != 0)
    return CalculationCodes::kBusy;
  InterlockedExchange(&g_cancelled, 0);

  CollapseHistory();
  if (flags & CALC_UNDO_SNAPSHOT)
    PushUndoState();

  GUID method{};
  if (IArea* area = QueryActiveArea()) {
    method = document_detail::ClassIdOf(area);
    ResetResults(area);
    area->Release();
  }
  const CalculationMethod* row = FindCalculationMethod(method);
  // The model changes the input depends on are made here, never under the worker that only reads.
  int code = EngineIo::kNoAreaOfThisKind;
  if (row)
    code = row->prepare && row->write && row->engine ? row->prepare(this) : CalculationCodes::kEngineNotAvailable;

  if (flags & CALC_REDRAW)
    m_graphicCore->Render(TRUE, FALSE);
  HWND frame = Shell::GetMainWindow();
  SendToFrame(frame, UM_SETCALCSTATE, Shell::kCalcRunning, 0);
  if (flags & CALC_PROGRESS)
    SendToFrame(frame, UM_PROGRESS, 0, 0);

  g_params = _CALC_THREAD_PARAMS{};
  g_params.flags = flags;
  g_params.mainWindow = frame;
  g_params.method = method;
  g_params.document = this;

  if (code == EngineIo::kOk) {
    // Unique names only: two runs (or two programs) never share an exchange file.
    char folder[kCalcPathLength] = {};
    char resultPath[kCalcPathLength] = {}, inputPath[kCalcPathLength] = {};
    const DWORD length = GetTempPath(kCalcPathLength, folder);
    if (length == 0 || length >= kCalcPathLength || GetTempFileName(folder, "qor", 0, resultPath) == 0)
      code = CalculationCodes::kTempFilesNotMade;
    else if (GetTempFileName(folder, "qout", 0, inputPath) == 0) {
      DeleteFile(resultPath);
      code = CalculationCodes::kTempFilesNotMade;
    } else {
      CopyPath(g_params.resultPath, resultPath);
      CopyPath(g_params.inputPath, inputPath);
    }
  }
  if (code != EngineIo::kOk) {
    // Nothing to hand to a worker: the finish runs now and says why.
    DeliverEnd(this, frame, code);
    return code;
  }
  if (flags & CALC_PROGRESS)
    SendToFrame(frame, UM_PROGRESS, 1, 0);

  CWaitCursor wait;
  // The end of a threaded run reaches the program only through the main window.
  if ((flags & CALC_THREADED) && frame && ::IsWindow(frame)) {
    g_startEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE worker = CreateThread(nullptr, 0, &WorkerStart, &g_params, CREATE_SUSPENDED, nullptr);
    if (!worker || !g_startEvent) {
      if (worker)
        CloseHandle(worker);
      if (g_startEvent)
        CloseHandle(g_startEvent);
      g_startEvent = nullptr;
      wait.Restore();
      DeliverEnd(this, frame, CalculationCodes::kWorkerNotStarted);
      return CalculationCodes::kWorkerNotStarted;
    }
    InterlockedExchangePointer(&g_worker, worker);
    SetThreadPriority(worker, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(worker);
    WaitForSingleObject(g_startEvent, INFINITE);
    CloseHandle(g_startEvent);
    g_startEvent = nullptr;
    return 0;
  }

  InterlockedExchange(&g_lastFinishCode, 0);
  code = static_cast<int>(CalcThreadProc(&g_params));
  if (code == EngineIo::kOk)
    DeliverEnd(this, frame, 0);
  wait.Restore();
  // The finish has run inside this call; its code says whether the results came.
  return static_cast<int>(InterlockedCompareExchange(&g_lastFinishCode, 0, 0));
}

int CQorRoadDoc::OnCalculationFinished(int code)
{
  // A stray or repeated end message: the run it belonged to has been finished already.
  if (!IsCalculationRunning())
    return code;
  const _CALC_THREAD_PARAMS& params = g_params;
  const HWND frame = params.mainWindow;
  const DWORD flags = params.flags;
  SendToFrame(frame, UM_SETCALCSTATE, Shell::kCalcStopping, 0);

  CWaitCursor wait;
  if (code == EngineIo::kOk) {
    // A result file that is missing, truncated or damaged is a failed run, not an empty success.
    const CalculationMethod* row = FindCalculationMethod(params.method);
    code = row && row->read ? row->read(this, CString(params.resultPath)) : CalculationCodes::kEngineNotAvailable;
  }
  if (params.inputPath[0])
    DeleteFile(params.inputPath);
  if (params.resultPath[0])
    DeleteFile(params.resultPath);
  if (flags & CALC_PROGRESS)
    SendToFrame(frame, UM_PROGRESS, 100, 0);

  if (code != EngineIo::kOk) {
    if (flags & CALC_UNDO_SNAPSHOT)
      DropUndoState();
  } else {
    if (flags & CALC_NOTIFY_RESULTS)
      SendToFrame(frame, UM_RESULTSCHANGED, 0, 0);
    SetModifiedFlag(TRUE);
    if (flags & CALC_REDRAW)
      m_graphicCore->Render(TRUE, FALSE);
  }
  wait.Restore();
  if (flags & CALC_PROGRESS)
    SendToFrame(frame, UM_PROGRESS, 0, 0);

  CString message;
  if (code == EngineIo::kOk)
    CollapseHistory();
  else if (!InterlockedCompareExchange(&g_cancelled, 0, 0))
    message = CalculationFailureMessage(code);

  SendToFrame(frame, UM_SETCALCSTATE, Shell::kCalcIdle, 0);
  InterlockedExchange(&g_lastFinishCode, code);
  InterlockedExchange(&g_running, 0);

  if (!message.IsEmpty() && (flags & CALC_SHOW_ERRORS)) {
    CString caption("Ошибка");
    Shell::ShowMessageBox(frame, message, caption, Shell::MB_OK | Shell::MB_ICONERROR);
  }

  int exitPending = 0;
  SendToFrame(frame, UM_GETEXITPENDING, 0, reinterpret_cast<LPARAM>(&exitPending));
  if (exitPending == 1) {
    SendToFrame(frame, UM_SETEXITPENDING, 0, 0);
    ::PostMessage(frame, WM_COMMAND, ID_APP_EXIT, 0);
  }
  return code;
}

void CQorRoadDoc::OnCalculate() { StartCalculation(0x3F); }

void CQorRoadDoc::OnCalculateForProtocol() { StartCalculation(0x1F); }

void CQorRoadDoc::OnCancelCalculation()
{
  // A direct run cannot be reached by the user; only a worker's run can be stopped.
  if (!CalculationWorker())
    return;
  InterlockedExchange(&g_cancelled, 1);
  SendToFrame(g_params.mainWindow, UM_SETCALCSTATE, Shell::kCalcStopping, 0);
}

void CQorRoadDoc::OnUpdateCancelCalculation(CCmdUI* cmdUI)
{
  int state = 0;
  SendToFrame(Shell::GetMainWindow(), UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  cmdUI->Enable(state == Shell::kCalcRunning);
}

// Result resets

int CQorRoadDoc::ResetResults(IArea* area)
{
  void* results = nullptr;
  if (area && SUCCEEDED(area->QueryInterface(&IID_IResultsOfCalc, &results)) && results) {
    static_cast<IResultsOfCalc*>(results)->Clear();
    static_cast<IResultsOfCalc*>(results)->Release();
  }
  if (Shell::GetMainWindow())
    Shell::GetShellServices().SendToMainWindow(UM_RESULTSCHANGED, 0, 0);
  return 0;
}

int CQorRoadDoc::InvalidateResultsAfterEdit(IClassObjModel* edited, CTKPropertyGridItem* item)
{
  IClassObjModel* object = edited;
  GUID id{};
  for (; object; object = object->GetParent()) {
    CGuid classId;
    object->GetClassId(&classId);
    id = classId.Value();
    if (IsAreaClass(id))
      break;
  }
  if (!object)
    return 1;
  if (item && id != CLSID_CArea && g_itemIdReader) {
    const UINT itemId = g_itemIdReader(item);
    if (itemId == kItemLightingOutput || itemId == kItemEconomicOutput)
      return 1;
  }
  void* area = nullptr;
  if (FAILED(object->QueryInterface(&IID_IArea, &area)) || !area)
    return 1;
  ResetResults(static_cast<IArea*>(area));
  static_cast<IArea*>(area)->Release();
  return 0;
}
