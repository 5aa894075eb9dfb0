// The catalogue manager's two worker threads: the index thread reads the maker's index into the offered list,
// the download thread downloads catalogues and hands each file to the dialog to install. At most one of each
// runs. They reach the dialog only by SendMessage and PostMessage; they are asked to stop, never killed.
#pragma once

#include "catalogues/manager/catalogue_index.h"
#include "platform/mfc-core/mfcstring.h"

#include <atomic>
#include <memory>
#include <vector>

namespace ManagementPlugins {

class CLoadPlaginInfo;

struct WorkerRunState {
  std::atomic<bool> stop{false};
  std::atomic<bool> running{true};
};

// Texts and addresses, taken in the dialog's thread before a run starts.
struct WorkerTexts {
  CString indexAddress;     // string 841
  CString catalogueFolder;  // string 845
  CString noInternet;       // 842
  CString dataError;        // 843
  CString readingIndex;     // 844
  CString loadingCatalogue; // 846
};

struct IndexRun {
  HWND dialog = nullptr;
  std::vector<InstalledCatalogue> installed;
  WorkerTexts texts;
  std::shared_ptr<WorkerRunState> state;
};

struct DownloadRun {
  std::unique_ptr<CLoadPlaginInfo> info;
  WorkerTexts texts;
  std::shared_ptr<WorkerRunState> state;
};

// Thread procedures; each deletes its parameter.
DWORD IndexThreadProc(LPVOID indexRun);
DWORD DownloadThreadProc(LPVOID downloadRun);

WorkerTexts LoadWorkerTexts();

enum class Worker { Index, Download };
// Starts the thread (suspended, normal priority, resumed). False, with the parameter deleted, when none could be made.
bool StartWorker(Worker worker, std::unique_ptr<IndexRun> run);
bool StartWorker(Worker worker, std::unique_ptr<DownloadRun> run);
// Asks a running thread to stop and waits for it at most kStopWaitMilliseconds, handling the messages sent to
// this thread meanwhile (the worker may be waiting in a SendMessage to the dialog).
void StopWorker(Worker worker);
bool IsWorkerRunning(Worker worker);

}  // namespace ManagementPlugins
