// A window procedure that records what reaches it, for message-order tests written as tables.
#pragma once

#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace usertest {

// How a message reached the procedure: taken from the queue and dispatched, or sent (directly or from
// DefWindowProc of a message the procedure passed on).
enum class How { Sent, Posted, SentByDefault };

struct Rec {
  std::string window;
  UINT message = 0;
  How how = How::Sent;
  friend bool operator==(const Rec&, const Rec&) = default;
};

std::string MessageName(UINT message);
std::ostream& operator<<(std::ostream& os, const Rec& r);

class Recorder {
public:
  Recorder();
  ~Recorder();
  static Recorder& Current();

  // Registers the recording class once; windows of it record under the name given by Name().
  static LPCSTR ClassName();
  static LPCSTR DoubleClickClassName();
  HWND Create(const std::string& name, DWORD style, HWND parent, RECT rect, DWORD exStyle = 0,
              LPCSTR cls = nullptr);
  void Name(HWND hwnd, const std::string& name) { names_[hwnd] = name; }

  // Dispatches everything waiting, marking dispatched messages as posted.
  void Pump();
  void Clear() { log_.clear(); }
  // The log without the messages in `ignore`.
  std::vector<Rec> Log(const std::set<UINT>& ignore = {}) const;
  // Records only these from now on (empty: all).
  void Only(std::set<UINT> only) { only_ = std::move(only); }

  // What a message with this name answers, instead of DefWindowProc.
  void Answer(const std::string& window, UINT message, LRESULT result) { answers_[{window, message}] = result; }

  static LRESULT CALLBACK_Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static std::string& pendingName()
  {
    static std::string name;
    return name;
  }

private:
  std::map<HWND, std::string> names_;
  std::map<std::pair<std::string, UINT>, LRESULT> answers_;
  std::vector<Rec> log_;
  std::set<UINT> only_;
  const MSG* dispatching_ = nullptr;
  int depth_ = 0;
  int inDefault_ = 0;
};

// Noise that most tables leave out.
inline const std::set<UINT> kPaintAndCursor{WM_NCHITTEST, WM_SETCURSOR, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT,
                                            WM_GETTEXT, WM_GETMINMAXINFO};

}  // namespace usertest
