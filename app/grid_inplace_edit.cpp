#include "app/grid_inplace_edit.h"

#include "app/main_frame.h"
#include "app/resource.h"

namespace VisualCtrl {

namespace {

// The first press of F5: repeat count 1, scan code 0x3F, not held before.
constexpr LPARAM kFirstF5Press = 0x003F0001;

}  // namespace

LRESULT CTKPropertyGridInplaceEditUser::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_KEYDOWN && wParam == VK_F5 && lParam == kFirstF5Press) {
    if (CWnd* main = AfxGetMainWnd(); main && dynamic_cast<CMainFrame*>(main)) {
      SendMessage(WM_CLOSE);
      main->PostMessage(WM_COMMAND, ids::ID_CALCULATE);
    }
    return 1;
  }
  return CTKPropertyGridInplaceEdit::WindowProc(message, wParam, lParam);
}

}  // namespace VisualCtrl
