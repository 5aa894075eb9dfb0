#include "tests/platform/user/recorder.h"

namespace usertest {

namespace {
Recorder* g_current = nullptr;
}

std::string MessageName(UINT m)
{
  static const std::map<UINT, const char*> names{
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_QUIT, "WM_QUIT"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"},
      {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
      {WM_MOVING, "WM_MOVING"},
      {WM_SIZING, "WM_SIZING"},
      {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_USER, "WM_USER"},
  };
  auto it = names.find(m);
  if (it != names.end()) {
    return it->second;
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", m);
  return buf;
}

std::ostream& operator<<(std::ostream& os, const Rec& r)
{
  const char* how = r.how == How::Posted ? "posted" : r.how == How::Sent ? "sent" : "sent by default";
  return os << "{" << r.window << ", " << MessageName(r.message) << ", " << how << "}";
}

Recorder::Recorder() { g_current = this; }
Recorder::~Recorder() { g_current = nullptr; }
Recorder& Recorder::Current() { return *g_current; }

LPCSTR Recorder::ClassName()
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.lpfnWndProc = &Recorder::CALLBACK_Proc;
    wc.lpszClassName = "TestRecorder";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(6));  // COLOR_WINDOW + 1
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  return "TestRecorder";
}

LPCSTR Recorder::DoubleClickClassName()
{
  static bool registered = [] {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Recorder::CALLBACK_Proc;
    wc.lpszClassName = "TestRecorderDbl";
    return RegisterClass(&wc) != 0;
  }();
  (void)registered;
  return "TestRecorderDbl";
}

HWND Recorder::Create(const std::string& name, DWORD style, HWND parent, RECT rect, DWORD exStyle, LPCSTR cls)
{
  // The name must be known from the first message on: the creation messages come before CreateWindowEx returns.
  pendingName() = name;
  HWND hwnd = CreateWindowEx(exStyle, cls != nullptr ? cls : ClassName(), name.c_str(), style, rect.left, rect.top,
                             rect.Width(), rect.Height(), parent, nullptr, nullptr, nullptr);
  pendingName().clear();
  return hwnd;
}

void Recorder::Pump()
{
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    const MSG* outer = dispatching_;
    dispatching_ = &msg;
    DispatchMessage(&msg);
    dispatching_ = outer;
  }
}

std::vector<Rec> Recorder::Log(const std::set<UINT>& ignore) const
{
  std::vector<Rec> out;
  for (const Rec& r : log_) {
    if (ignore.count(r.message) == 0) {
      out.push_back(r);
    }
  }
  return out;
}

LRESULT Recorder::CALLBACK_Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  Recorder* self = g_current;
  if (self == nullptr) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
  }
  if (self->names_.count(hwnd) == 0) {
    self->names_[hwnd] = pendingName().empty() ? "?" : pendingName();
  }
  const std::string name = self->names_[hwnd];
  How how = How::Sent;
  if (self->dispatching_ != nullptr && self->depth_ == 0 && self->dispatching_->hwnd == hwnd &&
      self->dispatching_->message == msg) {
    how = How::Posted;
  } else if (self->inDefault_ > 0) {
    how = How::SentByDefault;
  }
  if (self->only_.empty() || self->only_.count(msg) != 0) {
    self->log_.push_back(Rec{name, msg, how});
  }
  auto answer = self->answers_.find({name, msg});
  if (answer != self->answers_.end()) {
    return answer->second;
  }
  ++self->depth_;
  ++self->inDefault_;
  LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
  --self->inDefault_;
  --self->depth_;
  return r;
}

}  // namespace usertest
