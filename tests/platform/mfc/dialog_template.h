// Dialog templates in memory for the dialog tests, and a message pump like the application's.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/user/dialog_template.h"
#include "platform/user/user.h"

#include <string>
#include <vector>

namespace mfctest {

inline constexpr WORD kButtonClass = user::kDialogButton;
inline constexpr WORD kEditClass = user::kDialogEdit;
inline constexpr WORD kStaticClass = user::kDialogStatic;
inline constexpr WORD kListBoxClass = user::kDialogListBox;
inline constexpr WORD kComboBoxClass = user::kDialogComboBox;

using DialogTemplate = user::DialogTemplate;

// Every message waiting for this thread, offered first to the windows it goes to and their parents, as the
// application's loop offers it (a modeless dialog takes its keys there).
inline void PumpMessages()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    bool taken = false;
    for (HWND hwnd = msg.hwnd; hwnd != nullptr && !taken; hwnd = ::GetParent(hwnd)) {
      CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
      taken = pWnd != nullptr && pWnd->PreTranslateMessage(&msg);
    }
    if (!taken) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
}

}  // namespace mfctest
