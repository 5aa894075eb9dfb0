// Keyboard layouts (US and Russian), the characters of keys, and TranslateMessage: key presses into characters,
// from the text the screen typed when it gave one, else from the layout in force.
#include "platform/user/input.h"
#include "platform/user/keyboard.h"
#include "platform/user/state.h"
#include "platform/user/system.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <optional>
#include <cstring>
#include <deque>
#include <mutex>

using namespace user::detail;

namespace {

const HKL kLayouts[] = {kLayoutUS, kLayoutRussian};

std::atomic<ULONG_PTR> g_active{reinterpret_cast<ULONG_PTR>(kLayoutUS)};

bool Known(HKL layout)
{
  return layout == kLayoutUS || layout == kLayoutRussian;
}

// Russian letters on the keys of the US letters and punctuation (ЙЦУКЕН), lower case; upper case is 0x20 below
// except ё/Ё.
char RussianLetterOf(UINT vk)
{
  static const char kLetters[] = "фисвуапршолдьтщзйкыегмцчня";  // the keys A..Z
  if (vk >= 'A' && vk <= 'Z') {
    return kLetters[vk - 'A'];
  }
  switch (vk) {
    case VK_OEM_1: return "ж"[0];
    case VK_OEM_7: return "э"[0];
    case VK_OEM_4: return "х"[0];
    case VK_OEM_6: return "ъ"[0];
    case VK_OEM_COMMA: return "б"[0];
    case VK_OEM_PERIOD: return "ю"[0];
    case VK_OEM_3: return "ё"[0];
    default: return 0;
  }
}

char UpperOf(char lower)
{
  const auto b = static_cast<unsigned char>(lower);
  if (b == 0xB8) {
    return static_cast<char>(0xA8);
  }
  return static_cast<char>(b - 0x20);
}

int UsCharOf(UINT vk, bool shift, bool caps)
{
  if (vk >= 'A' && vk <= 'Z') {
    return (shift != caps) ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9') {
    static const char kShifted[] = ")!@#$%^&*(";
    return shift ? kShifted[vk - '0'] : static_cast<int>(vk);
  }
  switch (vk) {
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

int RussianCharOf(UINT vk, bool shift, bool caps)
{
  if (char lower = RussianLetterOf(vk)) {
    return static_cast<unsigned char>((shift != caps) ? UpperOf(lower) : lower);
  }
  if (vk >= '0' && vk <= '9') {
    static const char kShifted[] = ")!\"№;%:?*(";
    return static_cast<unsigned char>(shift ? kShifted[vk - '0'] : static_cast<char>(vk));
  }
  switch (vk) {
    case VK_OEM_2: return shift ? ',' : '.';
    case VK_OEM_5: return shift ? '/' : '\\';
    case VK_OEM_PLUS:
    case VK_OEM_MINUS: return UsCharOf(vk, shift, caps);
    default: return 0;
  }
}

// Keys that type the same on every layout: control keys, the keypad.
int CommonCharOf(UINT vk, bool ctrl)
{
  if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') {
      return static_cast<int>(vk - 'A' + 1);
    }
    switch (vk) {
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5: return 0x1C;
      case VK_OEM_6: return 0x1D;
      case VK_RETURN: return '\n';
      case VK_BACK: return 0x7F;
      default: return 0;
    }
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
    default: return -1;
  }
}

// Key downs queued and not yet taken, with what the screen typed with them.
struct KeyDown {
  WPARAM vk;
  LPARAM lParam;
  DWORD time;
  std::optional<std::string> text;
};

std::mutex& KeyDownsMutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::deque<KeyDown>& KeyDowns()
{
  static auto* queue = new std::deque<KeyDown>;
  return *queue;
}

// Keys that nobody ever takes (their thread ended) must not pile up.
constexpr std::size_t kKeyDownsKept = 256;

bool Same(const KeyDown& k, const MSG& m) { return k.vk == m.wParam && k.lParam == m.lParam && k.time == m.time; }

// The key down this thread took last, for its TranslateMessage.
thread_local std::optional<KeyDown> t_taken;

int ChangeCase(int c, bool upper)
{
  const auto b = static_cast<unsigned char>(c);
  if (upper) {
    if ((b >= 'a' && b <= 'z') || b >= 0xE0) {
      return b - 0x20;
    }
    switch (b) {
      case 0xB8: return 0xA8;  // ё
      case 0xA2: return 0xA1;  // ў
      case 0xB3: return 0xB2;  // і
      case 0xBF: return 0xAF;  // ї
      case 0xBA: return 0xAA;  // є
      case 0xB4: return 0xA5;  // ґ
      case 0xBC: return 0xA3;  // ј
      case 0xBE: return 0xBD;  // ѕ
      case 0x90: return 0x80;  // ђ
      case 0x83: return 0x81;  // ѓ
      default: break;
    }
    if (b == 0x9A || b == 0x9C || b == 0x9D || b == 0x9E || b == 0x9F) {
      return b - 0x10;  // љ њ ќ ћ џ
    }
    return b;
  }
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) {
    return b + 0x20;
  }
  switch (b) {
    case 0xA8: return 0xB8;
    case 0xA1: return 0xA2;
    case 0xB2: return 0xB3;
    case 0xAF: return 0xBF;
    case 0xAA: return 0xBA;
    case 0xA5: return 0xB4;
    case 0xA3: return 0xBC;
    case 0xBD: return 0xBE;
    case 0x80: return 0x90;
    case 0x81: return 0x83;
    default: break;
  }
  if (b == 0x8A || b == 0x8C || b == 0x8D || b == 0x8E || b == 0x8F) {
    return b + 0x10;
  }
  return b;
}

LPSTR ChangeCaseOf(LPSTR text, bool upper)
{
  const auto bits = reinterpret_cast<ULONG_PTR>(text);
  if ((bits >> 16) == 0) {
    return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(ChangeCase(static_cast<int>(bits & 0xFF), upper)));
  }
  for (char* p = text; *p != '\0'; ++p) {
    *p = static_cast<char>(ChangeCase(static_cast<unsigned char>(*p), upper));
  }
  return text;
}

DWORD ChangeCaseOfBuffer(LPSTR text, DWORD length, bool upper)
{
  if (text == nullptr) {
    return 0;
  }
  for (DWORD i = 0; i < length; ++i) {
    text[i] = static_cast<char>(ChangeCase(static_cast<unsigned char>(text[i]), upper));
  }
  return length;
}

}  // namespace

namespace user::detail {

int CharOfKey(HKL layout, UINT vk, const BYTE* keys)
{
  static const BYTE kNone[256] = {};
  if (keys == nullptr) {
    keys = kNone;
  }
  const bool shift = (keys[VK_SHIFT] & 0x80) != 0;
  const bool ctrl = (keys[VK_CONTROL] & 0x80) != 0 && (keys[VK_MENU] & 0x80) == 0;
  const bool caps = (keys[VK_CAPITAL] & 0x01) != 0;
  if (int c = CommonCharOf(vk, ctrl); c >= 0) {
    return c;
  }
  if (ctrl) {
    return 0;
  }
  return layout == kLayoutRussian ? RussianCharOf(vk, shift, caps) : UsCharOf(vk, shift, caps);
}

HKL ActiveLayout() { return reinterpret_cast<HKL>(g_active.load()); }

void KeyDownQueued(const MSG& message, std::optional<std::string> cp1251)
{
  std::lock_guard lock(KeyDownsMutex());
  auto& queue = KeyDowns();
  queue.push_back(KeyDown{message.wParam, message.lParam, message.time, std::move(cp1251)});
  while (queue.size() > kKeyDownsKept) {
    queue.pop_front();
  }
}

void KeyDownTaken(const MSG& message)
{
  std::lock_guard lock(KeyDownsMutex());
  auto& queue = KeyDowns();
  auto it = std::find_if(queue.begin(), queue.end(), [&](const KeyDown& k) { return Same(k, message); });
  if (it == queue.end()) {
    t_taken.reset();
    return;
  }
  t_taken = std::move(*it);
  queue.erase(queue.begin(), it + 1);  // those queued before it went with threads that ended
}

}  // namespace user::detail

HKL GetKeyboardLayout(DWORD) { return ActiveLayout(); }

int GetKeyboardLayoutList(int count, HKL* layouts)
{
  constexpr int kCount = static_cast<int>(std::size(kLayouts));
  if (count == 0) {
    return kCount;
  }
  if (layouts == nullptr || count < kCount) {
    return 0;
  }
  std::copy(std::begin(kLayouts), std::end(kLayouts), layouts);
  return kCount;
}

HKL ActivateKeyboardLayout(HKL layout, UINT)
{
  const HKL previous = ActiveLayout();
  const auto value = reinterpret_cast<ULONG_PTR>(layout);
  if (value == HKL_NEXT || value == HKL_PREV) {
    // Two layouts: the next and the previous are the other one.
    layout = previous == kLayoutUS ? kLayoutRussian : kLayoutUS;
  }
  if (!Known(layout)) {
    return nullptr;
  }
  g_active = reinterpret_cast<ULONG_PTR>(layout);
  return previous;
}

HKL LoadKeyboardLayout(LPCSTR id, UINT flags)
{
  if (id == nullptr) {
    return nullptr;
  }
  HKL layout = nullptr;
  if (std::strcmp(id, "00000409") == 0) {
    layout = kLayoutUS;
  } else if (std::strcmp(id, "00000419") == 0) {
    layout = kLayoutRussian;
  } else {
    return nullptr;
  }
  if ((flags & KLF_ACTIVATE) != 0) {
    ActivateKeyboardLayout(layout, 0);
  }
  return layout;
}

int ToAsciiEx(UINT vk, UINT, const BYTE* keyState, WORD* chars, UINT, HKL layout)
{
  if (chars == nullptr) {
    return 0;
  }
  if (layout == nullptr) {
    layout = ActiveLayout();
  }
  if (!Known(layout)) {
    return 0;
  }
  const int c = CharOfKey(layout, vk & 0xFF, keyState);
  if (c == 0) {
    return 0;
  }
  *chars = static_cast<WORD>(c);
  return 1;
}

int ToAscii(UINT vk, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags)
{
  return ToAsciiEx(vk, scanCode, keyState, chars, flags, nullptr);
}

SHORT VkKeyScanEx(CHAR ch, HKL layout)
{
  if (layout == nullptr) {
    layout = ActiveLayout();
  }
  const auto c = static_cast<unsigned char>(ch);
  for (int shift = 0; shift < 2; ++shift) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift != 0 ? 0x80 : 0;
    for (UINT vk = 1; vk < 0xFF; ++vk) {
      if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) {
        continue;  // the main keys first, as a typist would
      }
      if (CharOfKey(layout, vk, keys) == c) {
        return static_cast<SHORT>(vk | (shift != 0 ? 0x100 : 0));
      }
    }
  }
  for (UINT vk = VK_NUMPAD0; vk <= VK_DIVIDE; ++vk) {
    if (CharOfKey(layout, vk, nullptr) == c) {
      return static_cast<SHORT>(vk);
    }
  }
  return -1;
}

SHORT VkKeyScan(CHAR ch) { return VkKeyScanEx(ch, nullptr); }

LPSTR CharUpper(LPSTR text) { return ChangeCaseOf(text, true); }
LPSTR CharLower(LPSTR text) { return ChangeCaseOf(text, false); }
DWORD CharUpperBuff(LPSTR text, DWORD length) { return ChangeCaseOfBuffer(text, length, true); }
DWORD CharLowerBuff(LPSTR text, DWORD length) { return ChangeCaseOfBuffer(text, length, false); }

BOOL TranslateMessage(const MSG* msg)
{
  if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
    return FALSE;
  }
  std::optional<std::string> typed;
  if (t_taken && Same(*t_taken, *msg)) {
    typed = std::move(t_taken->text);
    t_taken.reset();
  }
  Lock lock(S().mutex);
  std::shared_ptr<ThreadQueue> q = CurrentQueueLocked();
  std::string chars;
  if (typed.has_value()) {
    chars = *typed;
  } else if (int ch = CharOfKey(ActiveLayout(), static_cast<UINT>(msg->wParam), q->keyState); ch != 0) {
    chars.push_back(static_cast<char>(ch));
  }
  // The characters are the next things the thread takes, in the order typed.
  for (auto it = chars.rbegin(); it != chars.rend(); ++it) {
    MSG out = *msg;
    out.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    out.wParam = static_cast<WPARAM>(static_cast<unsigned char>(*it));
    q->posted.push_front(out);
  }
  if (!chars.empty()) {
    WakeQueue(*q);
  }
  return TRUE;
}
