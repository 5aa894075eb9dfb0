// The colour dialog on a screen: a grid of basic colours, the sixteen custom colours, and (opened full) the colour
// as red, green and blue with a sample and a button that keeps it among the custom colours.
#include "platform/gdi/windraw.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/commdlg_internal.h"
#include "platform/user/paint.h"

#include <array>
#include <cstdlib>

namespace user::commdlg {

namespace {

constexpr int kColumns = 8;
constexpr int kBasicRows = 6;
constexpr int kCustomCount = 16;
// Dialog units of the grid: where it starts, and one cell with its gap.
constexpr int kGridLeft = 7;
constexpr int kBasicTop = 16;
constexpr int kCustomTop = 98;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 12;
constexpr short kNarrowWidth = 144;
constexpr short kFullWidth = 250;

constexpr std::array<COLORREF, kColumns * kBasicRows> kBasicColors = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),
    RGB(128, 255, 255), RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255),
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(128, 255, 0),   RGB(0, 255, 64),
    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192), RGB(255, 0, 255),
    RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),
    RGB(128, 0, 0),     RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),
    RGB(0, 0, 255),     RGB(0, 0, 160),     RGB(128, 0, 128),   RGB(128, 0, 255),
    RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),      RGB(0, 64, 64),
    RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128),
    RGB(64, 128, 128),  RGB(192, 192, 192), RGB(64, 0, 64),     RGB(255, 255, 255),
};

struct ColorDialog {
  CHOOSECOLOR* cc = nullptr;
  COLORREF current = 0;
  std::array<COLORREF, kCustomCount> custom{};
  int selected = -1;   // a cell: basic 0..47, custom 48..63
  int nextCustom = 0;  // the custom cell "add" fills next
  bool full = false;
  bool updatingEdits = false;
};

COLORREF CellColor(const ColorDialog& d, int cell)
{
  return cell < static_cast<int>(kBasicColors.size()) ? kBasicColors[static_cast<std::size_t>(cell)]
                                                      : d.custom[static_cast<std::size_t>(cell) - kBasicColors.size()];
}

RECT CellRect(HWND dialog, int cell)
{
  const bool custom = cell >= static_cast<int>(kBasicColors.size());
  const int index = custom ? cell - static_cast<int>(kBasicColors.size()) : cell;
  RECT r{kGridLeft + (index % kColumns) * kCellWidth, (custom ? kCustomTop : kBasicTop) + (index / kColumns) * kCellHeight,
         0, 0};
  r.right = r.left + kCellWidth - 3;
  r.bottom = r.top + kCellHeight - 3;
  MapDialogRect(dialog, &r);
  return r;
}

int CellAt(HWND dialog, POINT p)
{
  for (int cell = 0; cell < static_cast<int>(kBasicColors.size()) + kCustomCount; ++cell) {
    RECT r = CellRect(dialog, cell);
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
      return cell;
    }
  }
  return -1;
}

RECT SampleRect(HWND dialog)
{
  RECT r{152, 16, 240, 66};
  MapDialogRect(dialog, &r);
  return r;
}

void Paint(HWND dialog, const ColorDialog& d)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  const int cells = static_cast<int>(kBasicColors.size()) + kCustomCount;
  for (int cell = 0; cell < cells; ++cell) {
    RECT r = CellRect(dialog, cell);
    if (cell == d.selected) {
      RECT outer{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
      FillRect(dc, &outer, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH brush = CreateSolidBrush(CellColor(d, cell));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  if (d.full) {
    RECT sample = SampleRect(dialog);
    DrawEdge(dc, &sample, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH brush = CreateSolidBrush(d.current);
    FillRect(dc, &sample, brush);
    DeleteObject(brush);
  }
  EndPaint(dialog, &ps);
}

void ShowComponents(HWND dialog, ColorDialog& d)
{
  d.updatingEdits = true;
  SetDlgItemInt(dialog, COLOR_RED, GetRValue(d.current), FALSE);
  SetDlgItemInt(dialog, COLOR_GREEN, GetGValue(d.current), FALSE);
  SetDlgItemInt(dialog, COLOR_BLUE, GetBValue(d.current), FALSE);
  d.updatingEdits = false;
}

// The right half with its controls; the dialog grows to hold it.
void OpenFull(HWND dialog, ColorDialog& d)
{
  d.full = true;
  for (int id : {COLOR_RED, COLOR_GREEN, COLOR_BLUE, psh15, stc4, stc5, stc6}) {
    ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
  }
  EnableWindow(GetDlgItem(dialog, COLOR_MIX), FALSE);
  RECT wide{0, 0, kFullWidth, 0};
  MapDialogRect(dialog, &wide);
  RECT now;
  GetWindowRect(dialog, &now);
  RECT narrow{0, 0, kNarrowWidth, 0};
  MapDialogRect(dialog, &narrow);
  SetWindowPos(dialog, nullptr, 0, 0, (now.right - now.left) + wide.right - narrow.right, now.bottom - now.top,
               SWP_NOMOVE | SWP_NOZORDER);
  InvalidateRect(dialog, nullptr, TRUE);
}

void Select(HWND dialog, ColorDialog& d, int cell)
{
  d.selected = cell;
  d.current = CellColor(d, cell);
  ShowComponents(dialog, d);
  InvalidateRect(dialog, nullptr, TRUE);
}

INT_PTR ColorDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* d = reinterpret_cast<ColorDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    d = reinterpret_cast<ColorDialog*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    for (int cell = 0; cell < static_cast<int>(kBasicColors.size()) + kCustomCount; ++cell) {
      if (CellColor(*d, cell) == d->current) {
        d->selected = cell;
        break;
      }
    }
    ShowComponents(dialog, *d);
    for (int id : {COLOR_RED, COLOR_GREEN, COLOR_BLUE, psh15, stc4, stc5, stc6}) {
      ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    }
    if ((d->cc->Flags & CC_PREVENTFULLOPEN) != 0) {
      EnableWindow(GetDlgItem(dialog, COLOR_MIX), FALSE);
    }
    if ((d->cc->Flags & CC_FULLOPEN) != 0) {
      OpenFull(dialog, *d);
    }
    if ((d->cc->Flags & CC_ENABLEHOOK) != 0) {
      return d->cc->lpfnHook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(d->cc)) != 0 ? TRUE : FALSE;
    }
    return TRUE;
  }
  if (d == nullptr) {
    return FALSE;
  }
  if ((d->cc->Flags & CC_ENABLEHOOK) != 0 && CallHook(d->cc->lpfnHook, dialog, msg, wParam, lParam)) {
    return TRUE;
  }
  switch (msg) {
    case WM_PAINT: Paint(dialog, *d); return TRUE;
    case WM_LBUTTONDOWN: {
      int cell = CellAt(dialog, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (cell >= 0) {
        Select(dialog, *d, cell);
      }
      return TRUE;
    }
    case WM_LBUTTONDBLCLK: {
      if (CellAt(dialog, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) >= 0) {
        PostMessage(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      return TRUE;
    }
    case WM_COMMAND: break;
    default: return FALSE;
  }
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      d->cc->rgbResult = d->current;
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case COLOR_MIX: OpenFull(dialog, *d); return TRUE;
    case psh15: {
      // Kept at once, whichever way the dialog ends, as the program's own custom colours are.
      const int slot = d->selected >= static_cast<int>(kBasicColors.size())
                           ? d->selected - static_cast<int>(kBasicColors.size())
                           : d->nextCustom;
      d->custom[static_cast<std::size_t>(slot)] = d->current;
      if (d->cc->lpCustColors != nullptr) {
        d->cc->lpCustColors[slot] = d->current;
      }
      d->nextCustom = (slot + 1) % kCustomCount;
      d->selected = static_cast<int>(kBasicColors.size()) + slot;
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    }
    case COLOR_RED:
    case COLOR_GREEN:
    case COLOR_BLUE:
      if (HIWORD(wParam) == EN_CHANGE && !d->updatingEdits) {
        BOOL ok = FALSE;
        UINT value = GetDlgItemInt(dialog, id, &ok, FALSE);
        if (ok) {
          const BYTE v = static_cast<BYTE>(std::min<UINT>(value, 255));
          const COLORREF c = d->current;
          d->current = id == COLOR_RED     ? RGB(v, GetGValue(c), GetBValue(c))
                       : id == COLOR_GREEN ? RGB(GetRValue(c), v, GetBValue(c))
                                           : RGB(GetRValue(c), GetGValue(c), v);
          d->selected = -1;
          RECT sample = SampleRect(dialog);
          InvalidateRect(dialog, &sample, TRUE);
        }
      }
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

INT_PTR RunColorDialog(CHOOSECOLOR* cc)
{
  ColorDialog d;
  d.cc = cc;
  d.current = (cc->Flags & CC_RGBINIT) != 0 ? cc->rgbResult : RGB(0, 0, 0);
  d.custom.fill(RGB(255, 255, 255));
  if (cc->lpCustColors != nullptr) {
    for (int i = 0; i < kCustomCount; ++i) {
      d.custom[static_cast<std::size_t>(i)] = cc->lpCustColors[i];
    }
  }
  const bool help = (cc->Flags & CC_SHOWHELP) != 0;
  DialogTemplate t("Цвет", kNarrowWidth, help ? 178 : 160);
  t.Label(kGridLeft, 5, 130, 9, stc1, "Основные цвета:");
  t.Label(kGridLeft, kCustomTop - 11, 130, 9, stc2, "Дополнительные цвета:");
  t.PushButton(kGridLeft, 124, 128, 14, COLOR_MIX, "Определить цвет >>");
  t.PushButton(kGridLeft, 142, 62, 14, IDOK, "OK", true);
  t.PushButton(kGridLeft + 66, 142, 62, 14, IDCANCEL, "Отмена");
  if (help) {
    t.PushButton(kGridLeft, 160, 62, 14, pshHelp, "Справка");
  }
  t.Label(152, 76, 40, 9, stc4, "Красный:");
  t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER, 196, 74, 30, 12, COLOR_RED);
  t.Label(152, 92, 40, 9, stc5, "Зелёный:");
  t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER, 196, 90, 30, 12, COLOR_GREEN);
  t.Label(152, 108, 40, 9, stc6, "Синий:");
  t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER, 196, 106, 30, 12, COLOR_BLUE);
  t.PushButton(152, 124, 88, 14, psh15, "Добавить в набор");
  return DialogBoxIndirectParam(nullptr, t.Data(), cc->hwndOwner, &ColorDialogProc, reinterpret_cast<LPARAM>(&d));
}

}  // namespace user::commdlg
