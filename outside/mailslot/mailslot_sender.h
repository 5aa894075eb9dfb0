// Our stand-in for the outside mailslot sender: an in-process COM class that writes one record of three 4-byte
// messages into the program's mailslot. The program uses it to stop its own mailslot reader; the command-line tool
// beside it lets another process post a command to the running program.
#pragma once

#include "platform/com/dispatch.h"

#include <string>

// {255F48B9-97E1-444B-A67E-A0CEECF60759}
inline constexpr CLSID CLSID_QorMailslotSender{
    0x255F48B9, 0x97E1, 0x444B, {0xA6, 0x7E, 0xA0, 0xCE, 0xEC, 0xF6, 0x07, 0x59}};
// {114CF595-3655-4716-BA33-FEE4C47EA8F0}
inline constexpr IID IID_IQorMailslotSender{
    0x114CF595, 0x3655, 0x4716, {0xBA, 0x33, 0xFE, 0xE4, 0xC4, 0x7E, 0xA8, 0xF0}};

struct IQorMailslotSender : IDispatch {
  // Message number, wParam, lParam, little-endian, as three messages of one record.
  virtual HRESULT Send(DWORD message, DWORD wParam, DWORD lParam) = 0;

protected:
  ~IQorMailslotSender() = default;
};

namespace qormail {

// "\\.\mailslot\qorr_mailslot", with "_" and the user name when the system gives one.
std::string ProgramMailslotName();

// Enters the sender class in the process's class table; again replaces it.
void RegisterSenderClass();

// What the class's Send does, for callers without COM (the tool): ERROR_SUCCESS or the failing write's error.
DWORD SendRecord(DWORD message, DWORD wParam, DWORD lParam);

}  // namespace qormail
