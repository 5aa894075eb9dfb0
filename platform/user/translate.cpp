// TranslateMessage: key presses into characters, on a US layout.
#include "platform/user/input.h"
#include "platform/user/state.h"

using namespace user::detail;

namespace {

// The character a key gives with the thread's key state, or 0.
int CharOf(UINT vk, const BYTE* keys)
{
  const bool shift = (keys[VK_SHIFT] & 0x80) != 0;
  const bool ctrl = (keys[VK_CONTROL] & 0x80) != 0;
  const bool caps = (keys[VK_CAPITAL] & 0x01) != 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) {
      return static_cast<int>(vk - 'A' + 1);
    }
    return (shift != caps) ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
  }
  if (ctrl) {
    switch (vk) {
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5: return 0x1C;
      case VK_OEM_6: return 0x1D;
      case VK_RETURN: return '\n';
      case VK_BACK: return 0x7F;
      default: return 0;
    }
  }
  if (vk >= '0' && vk <= '9') {
    static const char kShifted[] = ")!@#$%^&*(";
    return shift ? kShifted[vk - '0'] : static_cast<int>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    return static_cast<int>('0' + (vk - VK_NUMPAD0));
  }
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
  }
}

}  // namespace

BOOL TranslateMessage(const MSG* msg)
{
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
    return FALSE;
  }
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  int ch = CharOf(static_cast<UINT>(msg->wParam), q->keyState);
  if (ch == 0) {
    return TRUE;
  }
  // The character is the next thing the thread takes.
  MSG out = *msg;
  out.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  out.wParam = static_cast<WPARAM>(ch);
  q->posted.push_front(out);
  WakeQueue(*q);
  return TRUE;
}
