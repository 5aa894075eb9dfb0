// The font dialog on a screen: the installed faces, the style, the size in points, effects when asked for, and a
// sample drawn in the font chosen. Heights follow GDI at 96 dpi: a point is 96/72 of a pixel.
#include "platform/gdi/wingdi.h"
#include "platform/user/commdlg_internal.h"
#include "platform/user/paint.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace user::commdlg {

namespace {

constexpr int kPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr const char* kStyles[] = {"Обычный", "Курсив", "Жирный", "Жирный курсив"};

struct FontDialog {
  CHOOSEFONT* cf = nullptr;
  LOGFONTA font{};
  HFONT sample = nullptr;
};

int CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data)
{
  auto* faces = reinterpret_cast<std::vector<std::string>*>(data);
  std::string face(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
  if (!face.empty() && std::find(faces->begin(), faces->end(), face) == faces->end()) {
    faces->push_back(face);
  }
  return 1;
}

int PointsOf(const LOGFONTA& font)
{
  const LONG pixels = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  return pixels == 0 ? 10 : static_cast<int>(std::lround(pixels * double(kPointsPerInch) / kPixelsPerInch));
}

int StyleOf(const LOGFONTA& font) { return (font.lfWeight >= FW_BOLD ? 2 : 0) + (font.lfItalic != 0 ? 1 : 0); }

// The font as the controls say it; false when the size is not a number the dialog allows.
bool ReadControls(HWND dialog, FontDialog& d, LOGFONTA& out)
{
  out = d.font;
  HWND faces = GetDlgItem(dialog, cmb1);
  LRESULT face = SendMessage(faces, CB_GETCURSEL, 0, 0);
  const LRESULT length = face >= 0 ? SendMessage(faces, CB_GETLBTEXTLEN, static_cast<WPARAM>(face), 0) : -1;
  if (length >= 0) {
    // An installed face's name may be longer than a LOGFONT holds: it is read whole, then cut.
    std::string name(static_cast<std::size_t>(length) + 1, '\0');
    SendMessage(faces, CB_GETLBTEXT, static_cast<WPARAM>(face), reinterpret_cast<LPARAM>(name.data()));
    std::memset(out.lfFaceName, 0, sizeof out.lfFaceName);
    std::memcpy(out.lfFaceName, name.data(), std::min<std::size_t>(static_cast<std::size_t>(length), LF_FACESIZE - 1));
  }
  LRESULT style = SendMessage(GetDlgItem(dialog, cmb2), CB_GETCURSEL, 0, 0);
  if (style >= 0) {
    out.lfWeight = (style & 2) != 0 ? FW_BOLD : FW_NORMAL;
    out.lfItalic = (style & 1) != 0 ? 1 : 0;
  }
  char text[32] = {};
  GetDlgItemText(dialog, cmb3, text, sizeof text);
  char* end = nullptr;
  long points = std::strtol(text, &end, 10);
  const bool limited = (d.cf->Flags & CF_LIMITSIZE) != 0;
  if (end == text || *end != '\0' || points < 1 || points > 1638 ||
      (limited && (points < d.cf->nSizeMin || points > d.cf->nSizeMax))) {
    return false;
  }
  out.lfHeight = -static_cast<LONG>(std::lround(points * double(kPixelsPerInch) / kPointsPerInch));
  out.lfWidth = 0;
  if ((d.cf->Flags & CF_EFFECTS) != 0) {
    out.lfStrikeOut = IsDlgButtonChecked(dialog, chx1) == BST_CHECKED ? 1 : 0;
    out.lfUnderline = IsDlgButtonChecked(dialog, chx2) == BST_CHECKED ? 1 : 0;
  }
  return true;
}

void ShowSample(HWND dialog, FontDialog& d)
{
  LOGFONTA font;
  if (!ReadControls(dialog, d, font)) {
    return;
  }
  HFONT made = CreateFontIndirectA(&font);
  SendDlgItemMessage(dialog, stc5, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  if (d.sample != nullptr) {
    DeleteObject(d.sample);
  }
  d.sample = made;
}

void FillSizes(HWND dialog, const FontDialog& d)
{
  HWND sizes = GetDlgItem(dialog, cmb3);
  for (int size : kSizes) {
    if ((d.cf->Flags & CF_LIMITSIZE) != 0 && (size < d.cf->nSizeMin || size > d.cf->nSizeMax)) {
      continue;
    }
    SendMessage(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(size).c_str()));
  }
  SetDlgItemInt(dialog, cmb3, static_cast<UINT>(PointsOf(d.font)), FALSE);
}

INT_PTR FontDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* d = reinterpret_cast<FontDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    d = reinterpret_cast<FontDialog*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    std::vector<std::string> faceNames;
    HDC screen = GetDC(nullptr);
    LOGFONTA filter;
    filter.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen, &filter, &CollectFace, reinterpret_cast<LPARAM>(&faceNames), 0);
    ReleaseDC(nullptr, screen);
    std::sort(faceNames.begin(), faceNames.end());
    HWND faces = GetDlgItem(dialog, cmb1);
    for (const std::string& face : faceNames) {
      SendMessage(faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    }
    LRESULT at = SendMessage(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(d->font.lfFaceName));
    SendMessage(faces, CB_SETCURSEL, static_cast<WPARAM>(at >= 0 ? at : 0), 0);
    HWND styles = GetDlgItem(dialog, cmb2);
    for (const char* style : kStyles) {
      SendMessage(styles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(style));
    }
    SendMessage(styles, CB_SETCURSEL, static_cast<WPARAM>(StyleOf(d->font)), 0);
    FillSizes(dialog, *d);
    HWND scripts = GetDlgItem(dialog, cmb5);
    SendMessage(scripts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Кириллица"));
    SendMessage(scripts, CB_SETCURSEL, 0, 0);
    if ((d->cf->Flags & CF_EFFECTS) != 0) {
      CheckDlgButton(dialog, chx1, d->font.lfStrikeOut != 0 ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, chx2, d->font.lfUnderline != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    ShowSample(dialog, *d);
    if ((d->cf->Flags & CF_ENABLEHOOK) != 0) {
      return d->cf->lpfnHook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(d->cf)) != 0 ? TRUE : FALSE;
    }
    return TRUE;
  }
  if (d == nullptr) {
    return FALSE;
  }
  if ((d->cf->Flags & CF_ENABLEHOOK) != 0 && CallHook(d->cf->lpfnHook, dialog, msg, wParam, lParam)) {
    return TRUE;
  }
  if (msg == WM_DESTROY) {
    SendDlgItemMessage(dialog, stc5, WM_SETFONT, 0, FALSE);
    if (d->sample != nullptr) {
      DeleteObject(d->sample);
      d->sample = nullptr;
    }
    return FALSE;
  }
  if (msg != WM_COMMAND) {
    return FALSE;
  }
  const int id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  switch (id) {
    case IDOK: {
      LOGFONTA chosen;
      if (!ReadControls(dialog, *d, chosen)) {
        std::string message = "Размер должен быть числом";
        if ((d->cf->Flags & CF_LIMITSIZE) != 0) {
          message += " от " + std::to_string(d->cf->nSizeMin) + " до " + std::to_string(d->cf->nSizeMax);
        }
        MessageBox(dialog, (message + ".").c_str(), "Шрифт", MB_OK | MB_ICONWARNING);
        SetFocus(GetDlgItem(dialog, cmb3));
        return TRUE;
      }
      *d->cf->lpLogFont = chosen;
      d->cf->iPointSize = PointsOf(chosen) * 10;
      d->cf->nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (chosen.lfWeight >= FW_BOLD ? BOLD_FONTTYPE : 0) |
                                           (chosen.lfItalic != 0 ? ITALIC_FONTTYPE : 0) |
                                           (chosen.lfWeight < FW_BOLD && chosen.lfItalic == 0 ? REGULAR_FONTTYPE : 0));
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case cmb1:
    case cmb2:
    case cmb3:
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
        if (id == cmb3 && code == CBN_SELCHANGE) {
          // The edit takes the chosen line only after this notification; read it from the list.
          char text[16] = {};
          HWND sizes = GetDlgItem(dialog, cmb3);
          LRESULT sel = SendMessage(sizes, CB_GETCURSEL, 0, 0);
          if (sel >= 0) {
            SendMessage(sizes, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
            SetDlgItemText(dialog, cmb3, text);
          }
        }
        ShowSample(dialog, *d);
      }
      return TRUE;
    case chx1:
    case chx2: ShowSample(dialog, *d); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

INT_PTR RunFontDialog(CHOOSEFONT* cf)
{
  FontDialog d;
  d.cf = cf;
  if ((cf->Flags & CF_INITTOLOGFONTSTRUCT) != 0) {
    d.font = *cf->lpLogFont;
  } else {
    std::memcpy(d.font.lfFaceName, "Tahoma", sizeof "Tahoma");
    d.font.lfHeight = -13;
    d.font.lfWeight = FW_NORMAL;
    d.font.lfCharSet = RUSSIAN_CHARSET;
  }
  const bool effects = (cf->Flags & CF_EFFECTS) != 0;
  const bool help = (cf->Flags & CF_SHOWHELP) != 0;
  DialogTemplate t("Шрифт", 252, 138);
  // A combo box's height in the template is the height it shows; its list drops below it.
  t.Label(7, 7, 110, 9, stc1, "Шрифт:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 7, 17, 110, 12, cmb1);
  t.Label(124, 7, 70, 9, stc2, "Начертание:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST, 124, 17, 74, 12, cmb2);
  t.Label(204, 7, 40, 9, stc3, "Размер:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWN, 204, 17, 40, 12, cmb3);
  if (effects) {
    t.Item(ControlClass::Button, BS_GROUPBOX, 7, 36, 110, 44, grp1, "Видоизменение");
    t.Item(ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 49, 96, 10, chx1, "Зачёркнутый");
    t.Item(ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 63, 96, 10, chx2, "Подчёркнутый");
  }
  t.Item(ControlClass::Button, BS_GROUPBOX, 124, 36, 120, 44, grp2, "Образец");
  t.Item(ControlClass::Static, SS_CENTER | SS_NOPREFIX, 130, 48, 108, 28, stc5, "АаБбЯя AaBbYyZz");
  t.Label(124, 86, 120, 9, stc7, "Набор символов:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST, 124, 96, 120, 12, cmb5);
  t.PushButton(136, 117, 52, 14, IDOK, "OK", true);
  t.PushButton(192, 117, 52, 14, IDCANCEL, "Отмена");
  if (help) {
    t.PushButton(7, 117, 52, 14, pshHelp, "Справка");
  }
  return DialogBoxIndirectParam(nullptr, t.Data(), cf->hwndOwner, &FontDialogProc, reinterpret_cast<LPARAM>(&d));
}

}  // namespace user::commdlg
