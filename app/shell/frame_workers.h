// The main frame's worker threads: the mailslot reader, the depth-buffer check and the update and news check.
// The frame owns one FrameWorkers; it starts the threads on its first show and its destruction stops them. The
// workers reach the frame only through SendMessage and PostMessage and never touch the document.
//
// Nothing is killed: a worker is asked to stop (its transfers abort, a dialog it shows is cancelled) and waited
// for with a bound, handling messages sent to the waiting thread meanwhile, so that a worker blocked in a
// SendMessage to the frame can finish.
#pragma once

#include "app/shell/web_texts.h"
#include "platform/user/user.h"

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>

namespace shell {

// What the workers need of the application: its main window (may be absent) and its profile.
class ShellHost {
public:
  virtual ~ShellHost() = default;
  virtual HWND MainWindow() = 0;
  virtual int GetProfileInt(const char* section, const char* entry, int defaultValue) = 0;
  virtual void WriteProfileInt(const char* section, const char* entry, int value) = 0;
};

// The update check's reach to the web. `stop` is set when the frame goes away; a transfer should abort then.
class UpdateFetch {
public:
  enum class Result {
    Opened,    // `body` holds the whole answer
    NotOpened, // no answer, or an error status (400 and above)
    Broken,    // the transfer failed while the answer was read
  };
  virtual ~UpdateFetch() = default;
  virtual bool CheckConnection(const std::string& address, const std::atomic<bool>& stop) = 0;
  virtual Result Fetch(const std::string& address, std::string* body, const std::atomic<bool>& stop) = 0;
};

// Where the update check's addresses come from (the site, "/version.txt", "/version_info.txt").
struct UpdateAddresses {
  std::string site;
  std::string versionText;
  std::string versionInfo;
};

// The update check's windows. Each runs in the worker thread with the main window as owner; `stop` is set when
// the frame goes away, and a dialog shown then must close.
class UpdateUi {
public:
  virtual ~UpdateUi() = default;
  // A message box with a string of the string table (524, 525) and MB_ICON* flags.
  virtual void Report(HWND owner, UINT stringId, UINT iconFlags) = 0;
  // The update dialog; answers whether its box "do not show again" was ticked.
  struct Offer {
    int mode = 0;  // 0 a new version, 1 no updates
    DWORD version = 0;
    std::string releaseText;
    std::string versionText;
    bool showBox = false;
  };
  virtual bool OfferUpdate(HWND owner, const Offer& offer, const std::atomic<bool>& stop) = 0;
};

inline constexpr DWORD kOwnVersion = 0x06002A00;  // 6.0.42.0

// One update check from start to end, in the calling thread.
void RunUpdateCheck(bool automatic, ShellHost& host, UpdateFetch& fetch, UpdateUi& ui,
                    const UpdateAddresses& addresses, const std::atomic<bool>& stop);

// Every command id of a menu and its submenus.
std::set<UINT> CollectMenuCommands(HMENU menu);

// Whether a record that came through the mailslot may reach the main window: only WM_COMMAND of a menu command
// (notification code 0) with lParam 0. Anything else could carry an address chosen by another program.
bool MailslotRecordAllowed(DWORD message, DWORD wParam, DWORD lParam, const std::set<UINT>& menuCommands);

// The depth-buffer warning; answers whether its box "do not show again" was ticked.
using DepthWarning = std::function<bool(HWND owner, const std::atomic<bool>& stop)>;

class FrameWorkers {
public:
  struct Parts {
    ShellHost* host = nullptr;
    std::shared_ptr<UpdateFetch> fetch;
    std::shared_ptr<UpdateUi> updateUi;
    UpdateAddresses addresses;
    DepthWarning depthWarning;
    std::set<UINT> menuCommands;  // what the mailslot may run
  };
  explicit FrameWorkers(Parts parts);
  // Stops the update and depth checks and waits for them, then stops the mailslot reader through the outside
  // sender class; never waits longer than kStopBound for each.
  ~FrameWorkers();
  FrameWorkers(const FrameWorkers&) = delete;
  FrameWorkers& operator=(const FrameWorkers&) = delete;

  // The first show of the frame: depth check, the automatic update check when Settings\SendInfo is not 0, and the
  // mailslot reader; each at most once per object.
  void StartOnFirstShow();
  // The menu's update check; false (nothing started) while another check still runs.
  bool StartManualUpdateCheck();

  bool MailslotReaderRunning() const;
  bool UpdateCheckRunning() const;
  bool DepthCheckRunning() const;

  static constexpr DWORD kStopBound = 5000;

private:
  // What the threads share with the frame; a thread that outlives the bound keeps it alive.
  struct State;
  static DWORD MailslotThreadProc(void* start);
  static DWORD DepthCheckThreadProc(void* start);
  static DWORD UpdateCheckThreadProc(void* start);

  std::shared_ptr<State> state_;
  bool started_ = false;
};

// Waits for a thread with a bound, handling messages sent to this thread meanwhile; true when it ended.
bool WaitHandlingSentMessages(HANDLE thread, DWORD milliseconds);

}  // namespace shell
