// Message boxes and the modal responder.
#include "platform/user/msgbox.h"

#include "platform/user/window.h"

#include <mutex>

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

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
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
