#include "catalogues/manager/plugin_threads.h"

#include "catalogues/manager/dlg_management_plugins.h"
#include "catalogues/manager/download.h"
#include "catalogues/manager/plugin_messages.h"
#include "model/shell/shell_services.h"
#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/base/sync.h"
#include "platform/base/thread.h"
#include "platform/net/internet.h"
#include "platform/user/messages.h"
#include "platform/xml/dom_document.h"

#include <chrono>
#include <fstream>
#include <iterator>

namespace ManagementPlugins {
namespace {

struct WorkerSlot {
  HANDLE thread = nullptr;
  std::shared_ptr<WorkerRunState> state;
};

WorkerSlot g_slots[2];

WorkerSlot& SlotOf(Worker worker) { return g_slots[worker == Worker::Index ? 0 : 1]; }

LRESULT SendText(HWND dialog, const CString& text)
{
  return SendMessage(dialog, UM_PLUGINS_STATUS, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text)));
}

// The picture behind an index entry's address; empty when it cannot be had.
gdiplus::DecodedPicture FetchPicture(const std::string& address, HWND dialog)
{
  gdiplus::DecodedPicture picture;
  char file[MAX_PATH] = {};
  if (address.empty() || !DownloadFile(address.c_str(), file, dialog, kMaxPictureDownloadBytes))
    return picture;
  std::ifstream in(platform::ToFileSystemPath(file), std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileA(file);
  gdiplus::DecodePicture(bytes.data(), bytes.size(), &picture);
  return picture;
}

// The run's end: the dialog sees the thread gone before it recomputes its buttons.
void EndRun(WorkerRunState& state, HWND dialog)
{
  state.running = false;
  PostMessage(dialog, UM_PLUGINS_BUTTONS, 0, 0);
}

template <typename Run>
bool Start(Worker worker, std::unique_ptr<Run> run, LPTHREAD_START_ROUTINE procedure)
{
  StopWorker(worker);
  WorkerSlot& slot = SlotOf(worker);
  if (slot.thread) {
    // A worker that did not stop within the wait still holds its run; a second one is not started beside it.
    if (slot.state && slot.state->running)
      return false;
    CloseHandle(slot.thread);
    slot.thread = nullptr;
  }
  std::shared_ptr<WorkerRunState> state = run->state;
  HANDLE thread = CreateThread(nullptr, 0, procedure, run.get(), CREATE_SUSPENDED, nullptr);
  if (!thread)
    return false;
  run.release();
  SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);
  slot.thread = thread;
  slot.state = std::move(state);
  ResumeThread(thread);
  return true;
}

}  // namespace

WorkerTexts LoadWorkerTexts()
{
  // The profile may point the program at another server (tests, a mirror) and give it a time-out and a
  // certificate authority of its own.
  net::SetConnectTimeout(Shell::GetProfileInt("Network", "ConnectTimeout", 5000));
  net::SetCertificateAuthorityFile(
      static_cast<LPCSTR>(Shell::GetShellServices().GetProfileString("Network", "CAFile", "")));
  WorkerTexts t;
  t.indexAddress = Shell::GetNetworkAddress(841);
  t.catalogueFolder = Shell::GetNetworkAddress(845);
  t.noInternet.LoadString(842);
  t.dataError.LoadString(843);
  t.readingIndex.LoadString(844);
  t.loadingCatalogue.LoadString(846);
  return t;
}

DWORD IndexThreadProc(LPVOID parameter)
{
  std::unique_ptr<IndexRun> run(static_cast<IndexRun*>(parameter));
  WorkerRunState& state = *run->state;
  net::SetThreadStopFlag(&state.stop);
  const HWND dialog = run->dialog;

  SendMessage(dialog, UM_PLUGINS_BUTTONS, 0, 0);
  SendMessage(dialog, UM_PLUGINS_CLEAROFFERED, 0, 0);
  PostMessage(dialog, UM_PLUGINS_PAINTOFFERED, 0, 0);

  const CString& address = run->texts.indexAddress;
  if (!InternetCheckConnectionA(address, FLAG_ICC_FORCE_CONNECTION, 0)) {
    if (!state.stop)
      SendText(dialog, run->texts.noInternet);
    net::SetThreadStopFlag(nullptr);
    EndRun(state, dialog);
    return 0;
  }

  bool error = false;
  bool updates = false;
  char indexFile[MAX_PATH] = {};
  xml::DomDocument document;
  if (!DownloadFile(address, indexFile, nullptr, kMaxIndexBytes) || !document.Load(indexFile, kMaxIndexBytes))
    error = true;
  if (indexFile[0])
    DeleteFileA(indexFile);

  if (!error && !state.stop) {
    SendText(dialog, run->texts.readingIndex);
    const CatalogueIndexReading reading = ReadCatalogueIndex(document, run->installed);
    for (const std::string& id : reading.updates) {
      SendMessage(dialog, UM_PLUGINS_MARKUPDATE, 0, reinterpret_cast<LPARAM>(id.c_str()));
      updates = true;
    }
    for (const OfferedCatalogue& catalogue : reading.offered) {
      if (state.stop)
        break;
      auto entry = std::make_unique<OfferedEntry>();
      entry->catalogue = catalogue;
      entry->picture = FetchPicture(catalogue.iconAddress, dialog);
      if (SendMessage(dialog, UM_PLUGINS_ADDOFFERED, 0, reinterpret_cast<LPARAM>(entry.get())))
        entry.release();
    }
    error = reading.error;
  }

  PostMessage(dialog, UM_PLUGINS_PAINTOFFERED, 0, 0);
  SendMessage(dialog, UM_PLUGINS_STATUS, 0, 0);
  if (error && !state.stop)
    SendText(dialog, run->texts.dataError);
  PostMessage(dialog, UM_PLUGINS_PAINTOFFERED, 0, 0);
  PostMessage(dialog, UM_PLUGINS_PAINTINSTALLED, 0, 0);
  net::SetThreadStopFlag(nullptr);
  const bool ask = updates && !state.stop;
  EndRun(state, dialog);
  if (ask)
    PostMessage(dialog, UM_PLUGINS_ASKUPDATES, 0, 0);
  return 0;
}

DWORD DownloadThreadProc(LPVOID parameter)
{
  std::unique_ptr<DownloadRun> run(static_cast<DownloadRun*>(parameter));
  WorkerRunState& state = *run->state;
  net::SetThreadStopFlag(&state.stop);
  const HWND dialog = run->info->m_dialog;
  PostMessage(dialog, UM_PLUGINS_BUTTONS, 0, 0);

  if (run->info->m_entries.empty() ||
      !InternetCheckConnectionA(run->texts.indexAddress, FLAG_ICC_FORCE_CONNECTION, 0)) {
    if (!state.stop)
      SendText(dialog, run->texts.noInternet);
    net::SetThreadStopFlag(nullptr);
    EndRun(state, dialog);
    return 0;
  }

  for (const CManufactInfo& entry : run->info->m_entries) {
    if (state.stop)
      break;
    const std::string id(static_cast<LPCSTR>(entry.m_id));
    if (!IsSafeCatalogueId(id))
      continue;
    const CString address = run->texts.catalogueFolder + entry.m_id + ".qord";
    CString status;
    status.Format(run->texts.loadingCatalogue, static_cast<LPCSTR>(entry.m_name));
    SendText(dialog, status);
    char file[MAX_PATH] = {};
    if (DownloadFile(address, file, dialog, kMaxCatalogueBytes)) {
      if (!state.stop)
        SendMessage(dialog, UM_PLUGINS_INSTALL, 0, reinterpret_cast<LPARAM>(file));
      DeleteFileA(file);
    }
  }

  SendMessage(dialog, UM_PLUGINS_STATUS, 0, 0);
  net::SetThreadStopFlag(nullptr);
  EndRun(state, dialog);
  return 0;
}

bool StartWorker(Worker worker, std::unique_ptr<IndexRun> run)
{
  return Start(worker, std::move(run), &IndexThreadProc);
}

bool StartWorker(Worker worker, std::unique_ptr<DownloadRun> run)
{
  return Start(worker, std::move(run), &DownloadThreadProc);
}

void StopWorker(Worker worker)
{
  WorkerSlot& slot = SlotOf(worker);
  if (!slot.thread)
    return;
  slot.state->stop = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopWaitMilliseconds);
  for (;;) {
    using std::chrono::milliseconds;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0)
      return;  // still running: it keeps its slot, and no second one starts beside it
    const DWORD woke = MsgWaitForMultipleObjects(1, &slot.thread, FALSE, static_cast<DWORD>(left), QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0)
      break;
    if (woke != WAIT_OBJECT_0 + 1)
      continue;
    // Only what is sent is handled here: the worker may be waiting for it; posted messages wait their turn.
    MSG message;
    PeekMessage(&message, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE);
  }
  CloseHandle(slot.thread);
  slot.thread = nullptr;
  slot.state.reset();
}

bool IsWorkerRunning(Worker worker)
{
  const WorkerSlot& slot = SlotOf(worker);
  return slot.thread != nullptr && slot.state && slot.state->running;
}

}  // namespace ManagementPlugins
