// Message boxes, and the one responder through which every modal question a user answers is put: a real box on
// a screen, or a script in tests ("answer the next message box with IDYES").
#pragma once

#include "platform/base/wintypes.h"

#include <functional>
#include <string>
#include <vector>

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_HELP = 0x00004000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// The owner is disabled while the question is open.
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
inline int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
  return MessageBox(owner, text, caption, type);
}
BOOL MessageBeep(UINT type);

namespace user {

struct ModalQuestion {
  enum class Kind { MessageBox, Dialog, OpenFile, SaveFile, Color, Font };
  Kind kind = Kind::MessageBox;
  HWND owner = nullptr;
  HWND dialog = nullptr;  // a dialog: made and initialised, for the responder to fill in before it answers
  std::string text;     // cp1251, as the program passed it
  std::string caption;  // cp1251
  UINT style = 0;       // MB_ flags of a message box
  int dialogId = 0;     // the template id of a dialog
  // The answers the question allows, default first (message boxes: its buttons).
  std::vector<int> answers;
  // Common dialogs: their own record (OPENFILENAME, CHOOSECOLOR, CHOOSEFONT) as the program filled it in, which the
  // responder may change; and the file name chosen, which a responder of a file dialog puts here.
  void* record = nullptr;
  mutable std::string reply;
};

// Answers one question. Without a responder in force the default answer is given.
using ModalResponder = std::function<int(const ModalQuestion&)>;
void SetModalResponder(ModalResponder responder);
int AskModal(const ModalQuestion& question);
// Whether a responder is in force; without one, a screen (if there is one) asks the user.
bool HasModalResponder();
// The buttons of a message box of this type, the default one first.
std::vector<int> MessageBoxAnswers(UINT type);

// A test's script: answers given in order, every question kept for the test to read. It is in force from its
// construction to its destruction; when its answers run out it gives the default answer.
class ScriptedResponder {
public:
  ScriptedResponder();
  ~ScriptedResponder();
  ScriptedResponder(const ScriptedResponder&) = delete;
  ScriptedResponder& operator=(const ScriptedResponder&) = delete;

  void AnswerNext(int answer) { answers_.push_back(answer); }
  const std::vector<ModalQuestion>& Asked() const { return asked_; }
  std::size_t Unused() const { return answers_.size() - next_; }

private:
  std::vector<int> answers_;
  std::size_t next_ = 0;
  std::vector<ModalQuestion> asked_;
};

}  // namespace user
