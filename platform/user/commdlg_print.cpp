// The print dialog on a screen, and the printers it offers: the print server's queues and the PDF printer. The
// dialog asks for the printer, the PDF printer's file, the paper and its orientation, the copies and (when
// printing) the pages. Print setup (PD_PRINTSETUP) asks only for the printer's settings.
#include "platform/gdi/cups_printer.h"
#include "platform/gdi/print.h"
#include "platform/user/commdlg_internal.h"
#include "platform/user/msgbox.h"

#include <cstring>

namespace user::commdlg {

namespace {

struct Paper {
  short code;
  const char* name;
};
constexpr Paper kPapers[] = {
    {DMPAPER_A4, "A4 (210 x 297 мм)"},
    {DMPAPER_A3, "A3 (297 x 420 мм)"},
    {DMPAPER_A5, "A5 (148 x 210 мм)"},
    {DMPAPER_LETTER, "Letter (216 x 279 мм)"},
};
constexpr int kMaxCopies = 999;
// The orientation buttons: ours, apart from the page-range ones the program knows.
constexpr int kPortrait = 0x0430 + 10;
constexpr int kLandscape = 0x0430 + 11;

struct PrintDialog {
  PRINTDLG* pd = nullptr;
  DEVMODEA* mode = nullptr;
  std::string output;
  bool setup = false;
  std::vector<std::string> printers;  // as listed: the queues, then the PDF printer
};

std::string Chosen(HWND dialog, const PrintDialog& d)
{
  const LRESULT at = SendDlgItemMessage(dialog, cmb4, CB_GETCURSEL, 0, 0);
  return at >= 0 && static_cast<std::size_t>(at) < d.printers.size() ? d.printers[static_cast<std::size_t>(at)]
                                                                    : std::string(kPdfPrinterName);
}

// Only the PDF printer writes to a file of the user's choosing.
void ShowFileFor(HWND dialog, const PrintDialog& d)
{
  const bool pdf = Chosen(dialog, d) == kPdfPrinterName;
  EnableWindow(GetDlgItem(dialog, edt4), pdf ? TRUE : FALSE);
  EnableWindow(GetDlgItem(dialog, stc2), pdf ? TRUE : FALSE);
}

LPPRINTHOOKPROC HookOf(const PrintDialog& d)
{
  if (d.setup) {
    return (d.pd->Flags & PD_ENABLESETUPHOOK) != 0 ? d.pd->lpfnSetupHook : nullptr;
  }
  return (d.pd->Flags & PD_ENABLEPRINTHOOK) != 0 ? d.pd->lpfnPrintHook : nullptr;
}

void Complain(HWND dialog, const std::string& text, int focus)
{
  MessageBox(dialog, text.c_str(), "Печать", MB_OK | MB_ICONWARNING);
  SetFocus(GetDlgItem(dialog, focus));
}

// The settings into the records; false (and the user told) when a number is out of its range.
bool Take(HWND dialog, PrintDialog& d)
{
  PRINTDLG* pd = d.pd;
  BOOL ok = FALSE;
  if (!d.setup) {
    UINT copies = GetDlgItemInt(dialog, edt3, &ok, FALSE);
    if (!ok || copies < 1 || copies > kMaxCopies) {
      Complain(dialog, "Число копий должно быть от 1 до " + std::to_string(kMaxCopies) + ".", edt3);
      return false;
    }
    DWORD range = PD_ALLPAGES;
    if (IsDlgButtonChecked(dialog, rad2) == BST_CHECKED) {
      range = PD_SELECTION;
    } else if (IsDlgButtonChecked(dialog, rad3) == BST_CHECKED) {
      range = PD_PAGENUMS;
      BOOL fromOk = FALSE;
      BOOL toOk = FALSE;
      UINT from = GetDlgItemInt(dialog, edt1, &fromOk, FALSE);
      UINT to = GetDlgItemInt(dialog, edt2, &toOk, FALSE);
      const UINT low = pd->nMinPage;
      const UINT high = pd->nMaxPage != 0 ? pd->nMaxPage : 0xFFFF;
      if (!fromOk || !toOk || from < low || to > high || from > to) {
        Complain(dialog, "Номера страниц должны быть от " + std::to_string(low) + " до " + std::to_string(high) + ".",
                 edt1);
        return false;
      }
      pd->nFromPage = static_cast<WORD>(from);
      pd->nToPage = static_cast<WORD>(to);
    }
    pd->Flags = (pd->Flags & ~(PD_SELECTION | PD_PAGENUMS)) | range;
    const bool collate = IsDlgButtonChecked(dialog, chx2) == BST_CHECKED;
    if ((pd->Flags & PD_USEDEVMODECOPIES) != 0) {
      d.mode->dmCopies = static_cast<short>(copies);
      d.mode->dmCollate = collate ? 1 : 0;
      pd->nCopies = 1;
    } else {
      pd->nCopies = static_cast<WORD>(copies);
      pd->Flags = collate ? (pd->Flags | PD_COLLATE) : (pd->Flags & ~PD_COLLATE);
    }
  }
  LRESULT paper = SendDlgItemMessage(dialog, cmb2, CB_GETCURSEL, 0, 0);
  if (paper >= 0 && static_cast<std::size_t>(paper) < std::size(kPapers)) {
    d.mode->dmPaperSize = kPapers[paper].code;
    d.mode->dmPaperWidth = 0;
    d.mode->dmPaperLength = 0;
  }
  d.mode->dmOrientation = IsDlgButtonChecked(dialog, kLandscape) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  const std::string printer = Chosen(dialog, d);
  std::memset(d.mode->dmDeviceName, 0, sizeof d.mode->dmDeviceName);
  std::strncpy(d.mode->dmDeviceName, printer.c_str(), CCHDEVICENAME - 1);
  if (printer == kPdfPrinterName) {
    char file[MAX_PATH * 2] = {};
    GetDlgItemText(dialog, edt4, file, sizeof file);
    d.output = file;
  } else {
    d.output.clear();
  }
  return true;
}

INT_PTR PrintDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* d = reinterpret_cast<PrintDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    d = reinterpret_cast<PrintDialog*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    PRINTDLG* pd = d->pd;
    const std::string current = PrinterNameOf(d->mode);
    for (const gdi::cups::Printer& p : gdi::cups::ListPrinters()) {
      d->printers.push_back(p.name);
    }
    d->printers.push_back(kPdfPrinterName);
    std::size_t chosen = d->printers.size() - 1;
    for (std::size_t i = 0; i < d->printers.size(); ++i) {
      SendDlgItemMessage(dialog, cmb4, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d->printers[i].c_str()));
      if (d->printers[i] == current) {
        chosen = i;
      }
    }
    SendDlgItemMessage(dialog, cmb4, CB_SETCURSEL, chosen, 0);
    SetDlgItemText(dialog, edt4, d->output.c_str());
    ShowFileFor(dialog, *d);
    int paperAt = 0;
    for (std::size_t i = 0; i < std::size(kPapers); ++i) {
      SendDlgItemMessage(dialog, cmb2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPapers[i].name));
      if (kPapers[i].code == d->mode->dmPaperSize) {
        paperAt = static_cast<int>(i);
      }
    }
    SendDlgItemMessage(dialog, cmb2, CB_SETCURSEL, static_cast<WPARAM>(paperAt), 0);
    CheckRadioButton(dialog, kPortrait, kLandscape,
                     d->mode->dmOrientation == DMORIENT_LANDSCAPE ? kLandscape : kPortrait);
    if (!d->setup) {
      const bool devmodeCopies = (pd->Flags & PD_USEDEVMODECOPIES) != 0;
      SetDlgItemInt(dialog, edt3, devmodeCopies ? static_cast<UINT>(std::max<short>(d->mode->dmCopies, 1))
                                                : std::max<UINT>(pd->nCopies, 1), FALSE);
      CheckDlgButton(dialog, chx2,
                     (devmodeCopies ? d->mode->dmCollate != 0 : (pd->Flags & PD_COLLATE) != 0) ? BST_CHECKED
                                                                                               : BST_UNCHECKED);
      SetDlgItemInt(dialog, edt1, pd->nFromPage != 0 ? pd->nFromPage : std::max<UINT>(pd->nMinPage, 1), FALSE);
      SetDlgItemInt(dialog, edt2, pd->nToPage != 0 ? pd->nToPage : std::max<UINT>(pd->nMaxPage, 1), FALSE);
      EnableWindow(GetDlgItem(dialog, rad2), (pd->Flags & PD_NOSELECTION) == 0);
      const bool pages = (pd->Flags & PD_NOPAGENUMS) == 0;
      for (int id : {rad3, edt1, edt2, stc3}) {
        EnableWindow(GetDlgItem(dialog, id), pages);
      }
      const int range = (pd->Flags & PD_PAGENUMS) != 0 && pages                            ? rad3
                        : (pd->Flags & PD_SELECTION) != 0 && (pd->Flags & PD_NOSELECTION) == 0 ? rad2
                                                                                              : rad1;
      CheckRadioButton(dialog, rad1, rad3, range);
    }
    if (LPPRINTHOOKPROC hook = HookOf(*d); hook != nullptr) {
      return hook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(pd)) != 0 ? TRUE : FALSE;
    }
    return TRUE;
  }
  if (d == nullptr) {
    return FALSE;
  }
  if (CallHook(HookOf(*d), dialog, msg, wParam, lParam)) {
    return TRUE;
  }
  if (msg != WM_COMMAND) {
    return FALSE;
  }
  switch (LOWORD(wParam)) {
    case IDOK:
      if (Take(dialog, *d)) {
        EndDialog(dialog, IDOK);
      }
      return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case cmb4:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        ShowFileFor(dialog, *d);
      }
      return TRUE;
    case edt1:
    case edt2:
      // Typing a page number chooses the page range.
      if (HIWORD(wParam) == EN_CHANGE && GetFocus() == reinterpret_cast<HWND>(lParam)) {
        CheckRadioButton(dialog, rad1, rad3, rad3);
      }
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

std::string DefaultPrinterName()
{
  std::string queue = gdi::cups::DefaultPrinter();
  return queue.empty() ? std::string(kPdfPrinterName) : queue;
}

std::string PrinterNameOf(const DEVMODEA* mode)
{
  if (mode == nullptr || mode->dmDeviceName[0] == '\0') {
    return kPdfPrinterName;
  }
  std::string name(mode->dmDeviceName, strnlen(mode->dmDeviceName, CCHDEVICENAME));
  if (name == kPdfPrinterName || name.size() < CCHDEVICENAME - 1) {
    return name;
  }
  // A queue's name longer than the record holds: the queue it begins.
  for (const gdi::cups::Printer& p : gdi::cups::ListPrinters()) {
    if (p.name.compare(0, name.size(), name) == 0) {
      return p.name;
    }
  }
  return name;
}

HDC CreatePrinterDC(const DEVMODEA* mode, const char* output)
{
  double widthMm = gdi::kDefaultPaperWidthMm;
  double heightMm = gdi::kDefaultPaperHeightMm;
  if (mode != nullptr) {
    switch (mode->dmPaperSize) {
      case DMPAPER_A3: widthMm = 297; heightMm = 420; break;
      case DMPAPER_A5: widthMm = 148; heightMm = 210; break;
      case DMPAPER_LETTER: widthMm = 215.9; heightMm = 279.4; break;
      default: break;  // A4 and A4 small
    }
    if (mode->dmPaperWidth > 0 && mode->dmPaperLength > 0) {
      widthMm = mode->dmPaperWidth / 10.0;
      heightMm = mode->dmPaperLength / 10.0;
    }
    if (mode->dmOrientation == DMORIENT_LANDSCAPE) {
      std::swap(widthMm, heightMm);
    }
  }
  const std::string printer = PrinterNameOf(mode);
  const bool toFile = output != nullptr && *output != '\0';
  if (printer != kPdfPrinterName && !toFile) {
    // A queue that is gone makes no DC: the caller says so rather than printing nowhere.
    if (!gdi::cups::HasPrinter(printer)) {
      return nullptr;
    }
    HDC dc = gdi::CreateQueuePrinterDC(printer, widthMm, heightMm);
    if (gdi::PrintJob* job = gdi::PrintJobOf(dc); job != nullptr && mode != nullptr) {
      job->SetCopies(mode->dmCopies, mode->dmCollate != 0);
    }
    return dc;
  }
  return gdi::CreatePdfPrinterDC(toFile ? output : "", widthMm, heightMm);
}

INT_PTR RunPrintDialog(PRINTDLG* pd, DEVMODEA& mode, std::string& output)
{
  PrintDialog d;
  d.pd = pd;
  d.mode = &mode;
  d.output = output;
  d.setup = (pd->Flags & PD_PRINTSETUP) != 0;
  if (HookOf(d) == nullptr &&
      (pd->Flags & (d.setup ? PD_ENABLESETUPHOOK : PD_ENABLEPRINTHOOK)) != 0) {
    return -1;
  }
  const short height = d.setup ? 112 : 176;
  DialogTemplate t(d.setup ? "Настройка печати" : "Печать", 250, height);
  t.Label(7, 9, 50, 9, stc1, "Принтер:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST, 60, 7, 183, 12, cmb4);
  t.Label(7, 27, 50, 9, stc2, "Файл PDF:");
  t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 60, 25, 183, 12, edt4);
  t.Label(7, 45, 50, 9, stc4, "Бумага:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST, 60, 43, 110, 12, cmb2);
  t.Item(ControlClass::Button, BS_GROUPBOX, 7, 60, 236, 26, grp2, "Ориентация");
  t.Item(ControlClass::Button, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, 71, 80, 10, kPortrait, "Книжная");
  t.Item(ControlClass::Button, BS_AUTORADIOBUTTON, 110, 71, 80, 10, kLandscape, "Альбомная");
  short y = 92;
  if (!d.setup) {
    t.Item(ControlClass::Button, BS_GROUPBOX, 7, y, 140, 58, grp1, "Страницы");
    t.Item(ControlClass::Button, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, y + 11, 120, 10, rad1, "Все");
    t.Item(ControlClass::Button, BS_AUTORADIOBUTTON, 14, y + 24, 120, 10, rad2, "Выделенный фрагмент");
    t.Item(ControlClass::Button, BS_AUTORADIOBUTTON, 14, y + 38, 24, 10, rad3, "с");
    t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER | WS_GROUP, 40, y + 37, 36, 12, edt1);
    t.Label(82, y + 39, 12, 9, stc3, "по");
    t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER, 98, y + 37, 36, 12, edt2);
    t.Label(154, y + 11, 50, 9, stc5, "Копий:");
    t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_NUMBER | WS_GROUP, 206, y + 9, 36, 12, edt3);
    t.Item(ControlClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP, 154, y + 27, 88, 10, chx2, "Разобрать по копиям");
    y = static_cast<short>(y + 64);
  }
  t.PushButton(135, y, 52, 14, IDOK, "OK", true);
  t.PushButton(191, y, 52, 14, IDCANCEL, "Отмена");
  if ((pd->Flags & PD_SHOWHELP) != 0) {
    t.PushButton(7, y, 52, 14, pshHelp, "Справка");
  }
  INT_PTR answer = DialogBoxIndirectParam(nullptr, t.Data(), pd->hwndOwner, &PrintDialogProc, reinterpret_cast<LPARAM>(&d));
  if (answer == IDOK) {
    output = d.output;
  }
  return answer;
}

}  // namespace user::commdlg
