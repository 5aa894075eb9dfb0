// The standard control classes, registered once before the first window is made.
#include "platform/user/controls.h"

#include "platform/gdi/windraw.h"
#include "platform/user/input.h"
#include "platform/user/window.h"

#include <mutex>

namespace user::detail {
WNDPROC ButtonWindowProc();
WNDPROC StaticWindowProc();
WNDPROC ScrollBarWindowProc();
WNDPROC EditWindowProc();
WNDPROC ListBoxWindowProc();
WNDPROC ComboBoxWindowProc();
WNDPROC ComboListWindowProc();
WNDPROC TreeViewWindowProc();
WNDPROC ProgressWindowProc();
WNDPROC StatusBarWindowProc();
WNDPROC TooltipWindowProc();
WNDPROC TabWindowProc();
WNDPROC CalendarWindowProc();
WNDPROC UpDownWindowProc();
WNDPROC TrackbarWindowProc();
WNDPROC HeaderWindowProc();
WNDPROC ListViewWindowProc();
}  // namespace user::detail

namespace user {

void RegisterStandardControls()
{
  static std::once_flag once;
  std::call_once(once, [] {
    struct Entry {
      const char* name;
      WNDPROC proc;
      UINT style;
      int background;  // a system colour, or -1 for none
      LPCSTR cursor;
    };
    const Entry entries[] = {
        {"Button", detail::ButtonWindowProc(), CS_DBLCLKS | CS_PARENTDC, -1, IDC_ARROW},
        {"Static", detail::StaticWindowProc(), CS_DBLCLKS | CS_PARENTDC, -1, IDC_ARROW},
        {"ScrollBar", detail::ScrollBarWindowProc(), CS_DBLCLKS | CS_PARENTDC, -1, IDC_ARROW},
        {"Edit", detail::EditWindowProc(), CS_DBLCLKS | CS_PARENTDC, COLOR_WINDOW, IDC_IBEAM},
        {"ListBox", detail::ListBoxWindowProc(), CS_DBLCLKS | CS_PARENTDC, COLOR_WINDOW, IDC_ARROW},
        {"ComboBox", detail::ComboBoxWindowProc(), CS_DBLCLKS | CS_PARENTDC, COLOR_WINDOW, IDC_ARROW},
        {"ComboLBox", detail::ComboListWindowProc(), CS_DBLCLKS | CS_SAVEBITS, COLOR_WINDOW, IDC_ARROW},
        {"SysTreeView32", detail::TreeViewWindowProc(), CS_DBLCLKS, COLOR_WINDOW, IDC_ARROW},
        {"msctls_progress32", detail::ProgressWindowProc(), 0, COLOR_BTNFACE, IDC_ARROW},
        {"msctls_statusbar32", detail::StatusBarWindowProc(), CS_DBLCLKS, COLOR_BTNFACE, IDC_ARROW},
        {"tooltips_class32", detail::TooltipWindowProc(), CS_SAVEBITS, COLOR_INFOBK, IDC_ARROW},
        {"SysTabControl32", detail::TabWindowProc(), CS_DBLCLKS, COLOR_BTNFACE, IDC_ARROW},
        {"SysMonthCal32", detail::CalendarWindowProc(), CS_DBLCLKS, COLOR_WINDOW, IDC_ARROW},
        {"msctls_updown32", detail::UpDownWindowProc(), CS_DBLCLKS, COLOR_BTNFACE, IDC_ARROW},
        {"msctls_trackbar32", detail::TrackbarWindowProc(), CS_DBLCLKS, COLOR_BTNFACE, IDC_ARROW},
        {"SysHeader32", detail::HeaderWindowProc(), CS_DBLCLKS, COLOR_BTNFACE, IDC_ARROW},
        {"SysListView32", detail::ListViewWindowProc(), CS_DBLCLKS, COLOR_WINDOW, IDC_ARROW},
    };
    for (const Entry& e : entries) {
      WNDCLASS wc;
      wc.style = e.style | CS_GLOBALCLASS;
      wc.lpfnWndProc = e.proc;
      wc.cbWndExtra = static_cast<int>(sizeof(void*));
      wc.lpszClassName = e.name;
      wc.hCursor = LoadCursor(nullptr, e.cursor);
      wc.hbrBackground =
          e.background >= 0 ? reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(e.background + 1)) : nullptr;
      RegisterClass(&wc);
    }
  });
}

}  // namespace user
