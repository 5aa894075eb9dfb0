// Message boxes and the modal responder.
#include "platform/user/msgbox.h"

#include "platform/display/presenter.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/dialog_template.h"
#include "platform/user/input.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex& Mutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

user::ModalResponder& Responder()
{
  static auto* responder = new user::ModalResponder;
  return *responder;
}

}  // namespace

namespace user {

void SetModalResponder(ModalResponder responder)
{
  std::lock_guard lock(Mutex());
  Responder() = std::move(responder);
}

int AskModal(const ModalQuestion& question)
{
  ModalResponder responder;
  {
    std::lock_guard lock(Mutex());
    responder = Responder();
  }
  if (responder) {
    return responder(question);
  }
  return question.answers.empty() ? IDCANCEL : question.answers.front();
}

bool HasModalResponder()
{
  std::lock_guard lock(Mutex());
  return static_cast<bool>(Responder());
}

std::vector<int> MessageBoxAnswers(UINT type)
{
  std::vector<int> buttons;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: buttons = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: buttons = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: buttons = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: buttons = {IDRETRY, IDCANCEL}; break;
    case MB_CANCELTRYCONTINUE: buttons = {IDCANCEL, IDTRYAGAIN, IDCONTINUE}; break;
    default: buttons = {IDOK}; break;
  }
  std::size_t def = (type & MB_DEFMASK) >> 8;
  if (def < buttons.size()) {
    std::swap(buttons[0], buttons[def]);
  }
  return buttons;
}

ScriptedResponder::ScriptedResponder()
{
  SetModalResponder([this](const ModalQuestion& q) {
    asked_.push_back(q);
    if (next_ < answers_.size()) {
      return answers_[next_++];
    }
    return q.answers.empty() ? IDCANCEL : q.answers.front();
  });
}

ScriptedResponder::~ScriptedResponder() { SetModalResponder(nullptr); }

}  // namespace user

namespace {

// Each button's label.
const char* ButtonLabel(int id)
{
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Отмена";
    case IDABORT: return "&Прервать";
    case IDRETRY: return "&Повторить";
    case IDIGNORE: return "&Пропустить";
    case IDYES: return "&Да";
    case IDNO: return "&Нет";
    case IDTRYAGAIN: return "&Повторить";
    case IDCONTINUE: return "&Продолжить";
    default: return "?";
  }
}

// A message box on a screen: a dialog made from a template written here, the text above a row of buttons.
// The system icon a box's type names, or null.
LPCSTR IconOf(UINT type)
{
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return nullptr;
  }
}

constexpr WORD kIconId = 0x14;  // the system's own box names its icon so

user::DialogTemplate BoxTemplate(const std::string& caption, const std::string& text, const std::vector<int>& buttons,
                                 int defaultButton, bool icon)
{
  // The text's size in dialog units, roughly: four units a character across, eight a line down.
  int lines = 1;
  int longest = 0;
  int current = 0;
  for (char c : text) {
    if (c == '\n') {
      ++lines;
      current = 0;
    } else {
      longest = std::max(longest, ++current);
    }
  }
  const int textWidth = std::clamp(longest * 4, 120, 400);
  lines += longest * 4 / textWidth;
  const int buttonsWidth = static_cast<int>(buttons.size()) * 56;
  // A 32-pixel icon takes about 22 x 20 units at the box's font; the text stands to its right.
  const int textLeft = icon ? 10 + 22 + 8 : 10;
  const int width = std::max(textLeft - 10 + textWidth, buttonsWidth) + 20;
  const int textHeight = lines * 9;
  const int body = std::max(textHeight, icon ? 20 : 0);
  const int height = 10 + body + 10 + 14 + 8;
  user::DialogTemplate box(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, static_cast<short>(width),
                           static_cast<short>(height), caption);
  if (icon) {
    box.Item(user::kDialogStatic, SS_ICON, 10, 10, 22, 20, kIconId, "");
  }
  // A line or two stands level with the icon's middle.
  const int textTop = 10 + (body - textHeight) / 2;
  box.Item(user::kDialogStatic, SS_LEFT | SS_NOPREFIX, static_cast<short>(textLeft), static_cast<short>(textTop),
           static_cast<short>(width - textLeft - 10), static_cast<short>(textHeight), 0xFFFF, text);
  int x = (width - buttonsWidth) / 2 + 3;
  for (int id : buttons) {
    DWORD style = WS_TABSTOP | (id == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    box.Item(user::kDialogButton, style, static_cast<short>(x), static_cast<short>(height - 22), 50, 14,
             static_cast<WORD>(id), ButtonLabel(id));
    x += 56;
  }
  return box;
}

INT_PTR BoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_INITDIALOG) {
    if (LPCSTR icon = IconOf(static_cast<UINT>(lParam))) {
      SendDlgItemMessage(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, icon)), 0);
    }
    // The default button starts with the focus.
    for (HWND h = GetWindow(dialog, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
      if ((SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
        SetFocus(h);
        return FALSE;
      }
    }
    return TRUE;
  }
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    int id = LOWORD(wParam);
    // Escape and the close box answer Cancel only where there is a Cancel.
    if (id == IDCANCEL && GetDlgItem(dialog, IDCANCEL) == nullptr) {
      if (GetDlgItem(dialog, IDOK) == nullptr || GetDlgItem(dialog, IDNO) != nullptr) {
        return TRUE;
      }
      id = IDOK;
    }
    EndDialog(dialog, id);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
  if (!user::HasModalResponder() && std::strcmp(display::Current().Name(), "null") != 0) {
    std::vector<int> answers = user::MessageBoxAnswers(type);
    std::vector<int> order = answers;
    // The buttons stand in their usual order; the default is the one MB_DEFBUTTONn names.
    std::size_t def = (type & MB_DEFMASK) >> 8;
    if (def < order.size()) {
      std::swap(order[0], order[def]);
    }
    user::DialogTemplate box =
        BoxTemplate(caption != nullptr ? caption : "Ошибка", text != nullptr ? text : "", order, answers.front(),
                    IconOf(type) != nullptr);
    INT_PTR answer = DialogBoxIndirectParam(nullptr, box.Data(), owner, &BoxProc, static_cast<LPARAM>(type));
    return answer <= 0 ? IDCANCEL : static_cast<int>(answer);
  }

  user::ModalQuestion q;
  q.kind = user::ModalQuestion::Kind::MessageBox;
  q.owner = owner;
  q.text = text != nullptr ? text : "";
  // A box without a caption says "Ошибка", as the system's own does.
  q.caption = caption != nullptr ? caption : "Ошибка";
  q.style = type;
  q.answers = user::MessageBoxAnswers(type);
  const bool disable = owner != nullptr && IsWindow(owner) && IsWindowEnabled(owner);
  if (disable) {
    EnableWindow(owner, FALSE);
  }
  int answer = user::AskModal(q);
  if (disable && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
  }
  return answer;
}

BOOL MessageBeep(UINT) { return TRUE; }
