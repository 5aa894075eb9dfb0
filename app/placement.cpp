#include "app/placement.h"

#include "platform/mfc/afxwin.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

constexpr char kSection[] = "Settings";
constexpr char kEntry[] = "WindowPos";
constexpr int kFieldCount = 10;

// One number of the list; false for anything but optional blanks, a sign and digits within the int range.
bool ReadNumber(const char*& p, long long& value)
{
  while (*p == ' ')
    ++p;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(p, &end, 10);
  if (end == p || errno == ERANGE)
    return false;
  p = end;
  while (*p == ' ')
    ++p;
  return true;
}

}  // namespace

CString FormatWindowPlacement(const WINDOWPLACEMENT& wp)
{
  CString text;
  text.Format("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", wp.flags, wp.showCmd, wp.ptMinPosition.x, wp.ptMinPosition.y,
              wp.ptMaxPosition.x, wp.ptMaxPosition.y, wp.rcNormalPosition.left, wp.rcNormalPosition.top,
              wp.rcNormalPosition.right, wp.rcNormalPosition.bottom);
  return text;
}

BOOL ParseWindowPlacement(const char* text, WINDOWPLACEMENT* placement)
{
  if (!text || !placement)
    return FALSE;
  long long fields[kFieldCount];
  const char* p = text;
  for (int i = 0; i < kFieldCount; ++i) {
    if (!ReadNumber(p, fields[i]))
      return FALSE;
    if (i + 1 < kFieldCount) {
      if (*p != ',')
        return FALSE;
      ++p;
    }
  }
  if (*p != '\0')
    return FALSE;
  for (int i = 2; i < kFieldCount; ++i)
    if (fields[i] < INT_MIN || fields[i] > INT_MAX)
      return FALSE;
  // SW_HIDE would bring up an invisible program; anything past SW_SHOWDEFAULT is no show command.
  if (fields[0] < 0 || fields[0] > UINT_MAX || fields[1] < 1 || fields[1] > 10)
    return FALSE;
  WINDOWPLACEMENT wp;
  wp.flags = static_cast<UINT>(fields[0]);
  wp.showCmd = static_cast<UINT>(fields[1]);
  wp.ptMinPosition = {static_cast<LONG>(fields[2]), static_cast<LONG>(fields[3])};
  wp.ptMaxPosition = {static_cast<LONG>(fields[4]), static_cast<LONG>(fields[5])};
  wp.rcNormalPosition = {static_cast<LONG>(fields[6]), static_cast<LONG>(fields[7]), static_cast<LONG>(fields[8]),
                         static_cast<LONG>(fields[9])};
  *placement = wp;
  return TRUE;
}

BOOL LoadWindowPlacement(WINDOWPLACEMENT* placement)
{
  CWinApp* app = AfxGetApp();
  if (!app)
    return FALSE;
  const CString text = app->GetProfileString(kSection, kEntry, "");
  return ParseWindowPlacement(text, placement);
}

void SaveWindowPlacement(const WINDOWPLACEMENT& placement)
{
  if (CWinApp* app = AfxGetApp())
    app->WriteProfileString(kSection, kEntry, FormatWindowPlacement(placement));
}

WINDOWPLACEMENT PlacementToStore(WINDOWPLACEMENT placement, BOOL zoomed)
{
  if (placement.showCmd == SW_SHOWMINIMIZED)
    placement.showCmd = SW_SHOWMAXIMIZED;
  placement.flags = zoomed ? WPF_RESTORETOMAXIMIZED : 0;
  return placement;
}
