#include "app/shell/frame_workers.h"

#include "model/shell/window_messages.h"
#include "outside/mailslot/mailslot_sender.h"
#include "platform/base/guid.h"
#include "platform/base/sync.h"
#include "platform/base/thread.h"
#include "platform/com/combase.h"
#include "platform/shell/mailslot.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace shell {

namespace {

std::string FreshId()
{
  GUID id{};
  CoCreateGuid(&id);
  return "?id=" + GuidToString(id);
}

bool IsWebAddress(const std::string& address)
{
  auto startsWith = [&](const char* prefix) {
    std::size_t n = std::strlen(prefix);
    if (address.size() <= n) {
      return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
      char c = address[i] >= 'A' && address[i] <= 'Z' ? static_cast<char>(address[i] - 'A' + 'a') : address[i];
      if (c != prefix[i]) {
        return false;
      }
    }
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

void NewsStep(ShellHost& host, HWND main, const VersionInfo& info)
{
  // Only a web page is shown: the address came from the network.
  if (info.newsAddress.empty() || !IsWebAddress(info.newsAddress) ||
      info.newsId <= host.GetProfileInt("Updates", "News", 0)) {
    return;
  }
  host.WriteProfileInt("Updates", "News", info.newsId);
  std::size_t size = info.newsAddress.size() + 1;
  char* buffer = new char[size];
  std::memcpy(buffer, info.newsAddress.c_str(), size);
  if (!PostMessage(main, UM_SHOWNEWS, size, reinterpret_cast<LPARAM>(buffer))) {
    delete[] buffer;
  }
}

}  // namespace

void RunUpdateCheck(bool automatic, ShellHost& host, UpdateFetch& fetch, UpdateUi& ui,
                    const UpdateAddresses& addresses, const std::atomic<bool>& stop)
{
  const bool manual = !automatic;
  HWND main = host.MainWindow();
  if (!fetch.CheckConnection(addresses.site, stop)) {
    if (manual && main != nullptr && !stop) {
      ui.Report(main, 524, MB_ICONWARNING);
    }
    return;
  }
  std::string versionText;
  std::string body;
  if (fetch.Fetch(addresses.versionText + FreshId(), &body, stop) == UpdateFetch::Result::Opened) {
    versionText = JoinVersionText(body);
  }
  if (stop) {
    return;
  }
  body.clear();
  switch (fetch.Fetch(addresses.versionInfo + FreshId(), &body, stop)) {
  case UpdateFetch::Result::Opened:
    break;
  case UpdateFetch::Result::NotOpened:
    if (manual && main != nullptr && !stop) {
      ui.Report(main, 525, MB_ICONERROR);
    }
    return;
  case UpdateFetch::Result::Broken:
    if (manual && main != nullptr && !stop) {
      ui.Report(main, 524, MB_ICONERROR);
    }
    return;
  }
  if (main == nullptr || stop) {
    return;
  }
  const VersionInfo info = ParseVersionInfo(body);
  if (info.newest > kOwnVersion) {
    const bool offer = manual ||
                       info.newest != static_cast<DWORD>(host.GetProfileInt("Updates", "Version", 0)) ||
                       host.GetProfileInt("Updates", "OfferUp", 1) != 0;
    if (offer) {
      UpdateUi::Offer shown{0, info.newest, info.releaseText, versionText, automatic};
      bool declined = ui.OfferUpdate(main, shown, stop);
      if (automatic && declined) {
        host.WriteProfileInt("Updates", "Version", static_cast<int>(info.newest));
        host.WriteProfileInt("Updates", "OfferUp", 0);
      }
      return;
    }
    NewsStep(host, main, info);
    return;
  }
  if (manual) {
    ui.OfferUpdate(main, UpdateUi::Offer{1, info.newest, info.releaseText, versionText, false}, stop);
    return;
  }
  NewsStep(host, main, info);
}

std::set<UINT> CollectMenuCommands(HMENU menu)
{
  std::set<UINT> commands;
  int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      commands.merge(CollectMenuCommands(sub));
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id != 0 && id != 0xFFFFFFFF) {
      commands.insert(id);
    }
  }
  return commands;
}

bool MailslotRecordAllowed(DWORD message, DWORD wParam, DWORD lParam, const std::set<UINT>& menuCommands)
{
  return message == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0 && menuCommands.count(LOWORD(wParam)) != 0;
}

bool WaitHandlingSentMessages(HANDLE thread, DWORD milliseconds)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() < 0) {
      left = std::chrono::milliseconds(0);
    }
    DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(left.count()), QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) {
      return true;
    }
    if (woke != WAIT_OBJECT_0 + 1) {
      return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    }
    // Peeking delivers the messages sent to this thread; posted ones stay queued for the frame's own loop.
    MSG msg{};
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
}

// A thread handle slot. A thread that ends by itself closes its handle and clears the slot only while the slot
// still holds it; the frame takes the handle out before it waits, so only one side ever closes it.
namespace {

struct Slot {
  std::mutex lock;
  HANDLE thread = nullptr;

  HANDLE Take()
  {
    std::lock_guard<std::mutex> guard(lock);
    HANDLE taken = thread;
    thread = nullptr;
    return taken;
  }
  void EndOfOwnThread()
  {
    std::lock_guard<std::mutex> guard(lock);
    if (thread != nullptr && GetThreadId(thread) == GetCurrentThreadId()) {
      CloseHandle(thread);
      thread = nullptr;
    }
  }
  bool Running()
  {
    std::lock_guard<std::mutex> guard(lock);
    return thread != nullptr;
  }
};

}  // namespace

struct FrameWorkers::State {
  Parts parts;
  std::atomic<bool> stop{false};
  Slot mailslot;
  Slot depth;
  Slot update;
  // The reader's mailslot; whoever takes it out of here closes it.
  std::mutex mailslotLock;
  HANDLE mailslotHandle = nullptr;

  HANDLE TakeMailslotHandle()
  {
    std::lock_guard<std::mutex> guard(mailslotLock);
    HANDLE taken = mailslotHandle;
    mailslotHandle = nullptr;
    return taken;
  }
};

namespace {

struct ThreadStart {
  std::shared_ptr<void> state;
  bool automatic = false;
};

}  // namespace

FrameWorkers::FrameWorkers(Parts parts) : state_(std::make_shared<State>())
{
  state_->parts = std::move(parts);
}

namespace {

template <class State, class Slot>
bool StartThread(const std::shared_ptr<State>& state, Slot& slot, LPTHREAD_START_ROUTINE proc, bool automatic,
                 int priority, bool refuseWhileRunning)
{
  std::lock_guard<std::mutex> guard(slot.lock);
  if (refuseWhileRunning && slot.thread != nullptr) {
    return false;
  }
  auto* start = new ThreadStart{state, automatic};
  HANDLE thread = CreateThread(nullptr, 0, proc, start, CREATE_SUSPENDED, nullptr);
  if (thread == nullptr) {
    delete start;
    return false;
  }
  slot.thread = thread;
  SetThreadPriority(thread, priority);
  ResumeThread(thread);
  return true;
}

}  // namespace

void FrameWorkers::StartOnFirstShow()
{
  if (started_) {
    return;
  }
  started_ = true;
  State& state = *state_;
  if (state.parts.depthWarning) {
    StartThread(state_, state.depth, &DepthCheckThreadProc, false, THREAD_PRIORITY_LOWEST, true);
  }
  if (state.parts.host->GetProfileInt("Settings", "SendInfo", 1) != 0 && state.parts.fetch && state.parts.updateUi) {
    StartThread(state_, state.update, &UpdateCheckThreadProc, true, THREAD_PRIORITY_LOWEST, true);
  }
  StartThread(state_, state.mailslot, &MailslotThreadProc, false, THREAD_PRIORITY_LOWEST, true);
}

bool FrameWorkers::StartManualUpdateCheck()
{
  if (!state_->parts.fetch || !state_->parts.updateUi) {
    return false;
  }
  return StartThread(state_, state_->update, &UpdateCheckThreadProc, false, THREAD_PRIORITY_NORMAL, true);
}

bool FrameWorkers::MailslotReaderRunning() const { return state_->mailslot.Running(); }
bool FrameWorkers::UpdateCheckRunning() const { return state_->update.Running(); }
bool FrameWorkers::DepthCheckRunning() const { return state_->depth.Running(); }

FrameWorkers::~FrameWorkers()
{
  State& state = *state_;
  state.stop = true;
  for (Slot* slot : {&state.update, &state.depth}) {
    if (HANDLE thread = slot->Take()) {
      WaitHandlingSentMessages(thread, kStopBound);
      CloseHandle(thread);
    }
  }
  HANDLE reader = state.mailslot.Take();
  if (reader == nullptr) {
    return;
  }
  IQorMailslotSender* sender = nullptr;
  bool ended = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_QorMailslotSender, nullptr, CLSCTX_INPROC_SERVER, IID_IQorMailslotSender,
                                 reinterpret_cast<void**>(&sender)))) {
    if (SUCCEEDED(sender->Send(0, 0, 0))) {
      ended = WaitHandlingSentMessages(reader, kStopBound);
    }
    sender->Release();
  }
  if (!ended) {
    // Without the sender the reader would wait for ever; closing its mailslot ends the read.
    if (HANDLE slot = state.TakeMailslotHandle()) {
      CloseHandle(slot);
    }
    WaitHandlingSentMessages(reader, kStopBound);
  }
  CloseHandle(reader);
}

DWORD FrameWorkers::MailslotThreadProc(void* parameter)
{
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
  auto state = std::static_pointer_cast<State>(start->state);
  HWND main = state->parts.host->MainWindow();
  if (main != nullptr && !state->stop) {
    HANDLE slot = CreateMailslotA(qormail::ProgramMailslotName().c_str(), 0, MAILSLOT_WAIT_FOREVER, nullptr);
    if (slot != INVALID_HANDLE_VALUE) {
      {
        std::lock_guard<std::mutex> guard(state->mailslotLock);
        state->mailslotHandle = slot;
      }
      for (;;) {
        DWORD record[3] = {};
        bool read = true;
        for (DWORD& value : record) {
          DWORD got = 0;
          unsigned char bytes[4] = {};
          if (!ReadFile(slot, bytes, sizeof bytes, &got, nullptr) || got != sizeof bytes) {
            read = false;
            break;
          }
          value = static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
                  static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
        }
        if (!read || (record[0] == 0 && record[1] == 0 && record[2] == 0)) {
          break;
        }
        if (MailslotRecordAllowed(record[0], record[1], record[2], state->parts.menuCommands)) {
          PostMessage(main, record[0], record[1], 0);
        }
      }
      if (HANDLE own = state->TakeMailslotHandle()) {
        CloseHandle(own);
      }
    }
  }
  state->mailslot.EndOfOwnThread();
  return 0;
}

DWORD FrameWorkers::DepthCheckThreadProc(void* parameter)
{
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
  auto state = std::static_pointer_cast<State>(start->state);
  ShellHost& host = *state->parts.host;
  HWND main = host.MainWindow();
  if (main != nullptr && !state->stop) {
    int deep = 0;
    if (SendMessage(main, UM_DEPTHBITS, 0, reinterpret_cast<LPARAM>(&deep)) != 0) {
      if (deep == 1) {
        host.WriteProfileInt("Settings", "ShowZBuffer", 1);
      } else if (host.GetProfileInt("Settings", "ShowZBuffer", 1) != 0 && !state->stop) {
        if (state->parts.depthWarning(main, state->stop)) {
          host.WriteProfileInt("Settings", "ShowZBuffer", 0);
        }
      }
    }
  }
  state->depth.EndOfOwnThread();
  return 0;
}

DWORD FrameWorkers::UpdateCheckThreadProc(void* parameter)
{
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
  auto state = std::static_pointer_cast<State>(start->state);
  RunUpdateCheck(start->automatic, *state->parts.host, *state->parts.fetch, *state->parts.updateUi,
                 state->parts.addresses, state->stop);
  state->update.EndOfOwnThread();
  return 0;
}

}  // namespace shell
