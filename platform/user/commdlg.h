// The common dialogs: open and save file names, colour, font and printer. On a screen, with no script answering for
// the user, they are dialogs of our own controls; otherwise they are put to the modal responder, which plays the
// user.
#pragma once

#include "platform/base/wintypes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct LOGFONTA;

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPCFHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_SHOWHELP = 0x00000010;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct OPENFILENAME {
  DWORD lStructSize = sizeof(OPENFILENAME);
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  LPCSTR lpstrFilter = nullptr;  // pairs of texts, each ending in a zero, the list in two
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 0;
  LPSTR lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  LPOFNHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
  void* pvReserved = nullptr;
  DWORD dwReserved = 0;
  DWORD FlagsEx = 0;
};
using OPENFILENAMEA = OPENFILENAME;

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;
inline constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
inline constexpr DWORD CC_SHOWHELP = 0x00000008;
inline constexpr DWORD CC_ENABLEHOOK = 0x00000010;
inline constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
inline constexpr DWORD CC_ANYCOLOR = 0x00000100;
struct CHOOSECOLOR {
  DWORD lStructSize = sizeof(CHOOSECOLOR);
  HWND hwndOwner = nullptr;
  HWND hInstance = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  LPCCHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
};
using CHOOSECOLORA = CHOOSECOLOR;

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_PRINTERFONTS = 0x00000002;
inline constexpr DWORD CF_BOTH = CF_SCREENFONTS | CF_PRINTERFONTS;
inline constexpr DWORD CF_SHOWHELP = 0x00000004;
inline constexpr DWORD CF_ENABLEHOOK = 0x00000008;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;
inline constexpr DWORD CF_LIMITSIZE = 0x00002000;
inline constexpr DWORD CF_FORCEFONTEXIST = 0x00010000;
inline constexpr DWORD CF_NOSCRIPTSEL = 0x00800000;
struct CHOOSEFONT {
  DWORD lStructSize = sizeof(CHOOSEFONT);
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;
  LOGFONTA* lpLogFont = nullptr;
  INT iPointSize = 0;
  DWORD Flags = 0;
  COLORREF rgbColors = 0;
  LPARAM lCustData = 0;
  LPCFHOOKPROC lpfnHook = nullptr;
  LPCSTR lpTemplateName = nullptr;
  HINSTANCE hInstance = nullptr;
  LPSTR lpszStyle = nullptr;
  WORD nFontType = 0;
  INT nSizeMin = 0;
  INT nSizeMax = 0;
};
using CHOOSEFONTA = CHOOSEFONT;

// nFontType of a chosen font.
inline constexpr WORD BOLD_FONTTYPE = 0x0100;
inline constexpr WORD ITALIC_FONTTYPE = 0x0200;
inline constexpr WORD REGULAR_FONTTYPE = 0x0400;
inline constexpr WORD SCREEN_FONTTYPE = 0x2000;

// Printer settings: the subset of the device mode the program and the print dialog use.
inline constexpr DWORD DM_ORIENTATION = 0x00000001;
inline constexpr DWORD DM_PAPERSIZE = 0x00000002;
inline constexpr DWORD DM_COPIES = 0x00000100;
inline constexpr DWORD DM_COLOR = 0x00000800;
inline constexpr DWORD DM_COLLATE = 0x00008000;
inline constexpr short DMORIENT_PORTRAIT = 1;
inline constexpr short DMORIENT_LANDSCAPE = 2;
inline constexpr short DMPAPER_LETTER = 1;
inline constexpr short DMPAPER_A3 = 8;
inline constexpr short DMPAPER_A4 = 9;
inline constexpr short DMPAPER_A4SMALL = 10;
inline constexpr short DMPAPER_A5 = 11;
inline constexpr short DMCOLOR_MONOCHROME = 1;
inline constexpr short DMCOLOR_COLOR = 2;
inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;
struct DEVMODEA {
  char dmDeviceName[CCHDEVICENAME] = {};
  WORD dmSpecVersion = 0x0401;
  WORD dmDriverVersion = 0;
  WORD dmSize = sizeof(DEVMODEA);
  WORD dmDriverExtra = 0;
  DWORD dmFields = 0;
  short dmOrientation = DMORIENT_PORTRAIT;
  short dmPaperSize = DMPAPER_A4;
  short dmPaperLength = 0;  // tenths of a millimetre, when set
  short dmPaperWidth = 0;
  short dmScale = 100;
  short dmCopies = 1;
  short dmDefaultSource = 0;
  short dmPrintQuality = 300;
  short dmColor = DMCOLOR_COLOR;
  short dmDuplex = 1;
  short dmYResolution = 300;
  short dmTTOption = 0;
  short dmCollate = 0;
  char dmFormName[CCHFORMNAME] = {};
};
using DEVMODE = DEVMODEA;
using LPDEVMODE = DEVMODEA*;
// Three texts after the record, each found at its offset in characters from the record's start.
struct DEVNAMES {
  WORD wDriverOffset;
  WORD wDeviceOffset;
  WORD wOutputOffset;  // our printers write PDF files: the file's path (empty: the printer's own)
  WORD wDefault;
};
inline constexpr WORD DN_DEFAULTPRN = 0x0001;

inline constexpr DWORD PD_ALLPAGES = 0x00000000;
inline constexpr DWORD PD_SELECTION = 0x00000001;
inline constexpr DWORD PD_PAGENUMS = 0x00000002;
inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_COLLATE = 0x00000010;
inline constexpr DWORD PD_PRINTTOFILE = 0x00000020;
inline constexpr DWORD PD_PRINTSETUP = 0x00000040;
inline constexpr DWORD PD_NOWARNING = 0x00000080;
inline constexpr DWORD PD_RETURNDC = 0x00000100;
inline constexpr DWORD PD_RETURNIC = 0x00000200;
inline constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
inline constexpr DWORD PD_SHOWHELP = 0x00000800;
inline constexpr DWORD PD_ENABLEPRINTHOOK = 0x00001000;
inline constexpr DWORD PD_ENABLESETUPHOOK = 0x00002000;
inline constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
inline constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
inline constexpr DWORD PD_DISABLEPRINTTOFILE = 0x00080000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;
inline constexpr DWORD PD_NONETWORKBUTTON = 0x00200000;
using LPPRINTHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPSETUPHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
struct PRINTDLG {
  DWORD lStructSize = sizeof(PRINTDLG);
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;   // a DEVMODEA
  HGLOBAL hDevNames = nullptr;  // a DEVNAMES
  HDC hDC = nullptr;
  DWORD Flags = 0;
  WORD nFromPage = 0;
  WORD nToPage = 0;
  WORD nMinPage = 0;
  WORD nMaxPage = 0;
  WORD nCopies = 0;
  HINSTANCE hInstance = nullptr;
  LPARAM lCustData = 0;
  LPPRINTHOOKPROC lpfnPrintHook = nullptr;
  LPSETUPHOOKPROC lpfnSetupHook = nullptr;
  LPCSTR lpPrintTemplateName = nullptr;
  LPCSTR lpSetupTemplateName = nullptr;
  HGLOBAL hPrintTemplate = nullptr;
  HGLOBAL hSetupTemplate = nullptr;
};
using PRINTDLGA = PRINTDLG;

// The controls of the common dialogs, by the ids the program's hooks use.
inline constexpr int pshHelp = 0x040E;
inline constexpr int chx1 = 0x0410;
inline constexpr int chx2 = 0x0411;
inline constexpr int grp1 = 0x0430;
inline constexpr int grp2 = 0x0431;
inline constexpr int rad1 = 0x0420;
inline constexpr int rad2 = 0x0421;
inline constexpr int rad3 = 0x0422;
inline constexpr int stc1 = 0x0440;
inline constexpr int stc2 = 0x0441;
inline constexpr int stc3 = 0x0442;
inline constexpr int stc4 = 0x0443;
inline constexpr int stc5 = 0x0444;
inline constexpr int stc6 = 0x0445;
inline constexpr int stc7 = 0x0446;
inline constexpr int lst1 = 0x0460;
inline constexpr int cmb1 = 0x0470;
inline constexpr int cmb2 = 0x0471;
inline constexpr int cmb3 = 0x0472;
inline constexpr int cmb4 = 0x0473;
inline constexpr int cmb5 = 0x0474;
inline constexpr int edt1 = 0x0480;
inline constexpr int edt2 = 0x0481;
inline constexpr int edt3 = 0x0482;
inline constexpr int edt4 = 0x0483;
inline constexpr int psh15 = 0x040F;  // the colour dialog's "Add to custom colours"
inline constexpr int COLOR_RED = 706;
inline constexpr int COLOR_GREEN = 707;
inline constexpr int COLOR_BLUE = 708;
inline constexpr int COLOR_MIX = 719;

inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_NOHOOK = 0x000B;
inline constexpr DWORD PDERR_NODEFAULTPRN = 0x1008;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// TRUE when the user chose; FALSE on cancel, with CommDlgExtendedError telling a failure from a cancel.
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);
inline BOOL GetOpenFileNameA(OPENFILENAME* ofn) { return GetOpenFileName(ofn); }
inline BOOL GetSaveFileNameA(OPENFILENAME* ofn) { return GetSaveFileName(ofn); }
BOOL ChooseColor(CHOOSECOLOR* cc);
BOOL ChooseFont(CHOOSEFONT* cf);
inline BOOL ChooseColorA(CHOOSECOLOR* cc) { return ChooseColor(cc); }
inline BOOL ChooseFontA(CHOOSEFONT* cf) { return ChooseFont(cf); }
// Shows the printer dialog, or only fills in the default printer (PD_RETURNDEFAULT); hDevMode and hDevNames are
// made when null (the caller frees them), hDC is a PDF printer DC when PD_RETURNDC asks for one.
BOOL PrintDlg(PRINTDLG* pd);
inline BOOL PrintDlgA(PRINTDLG* pd) { return PrintDlg(pd); }
DWORD CommDlgExtendedError();

namespace user::commdlg {

// Whether the common dialogs show themselves: a screen is there and no modal script answers for the user.
bool OnScreen();

// The printer that writes PDF files; the print server's queues (CUPS) stand beside it.
inline constexpr const char* kPdfPrinterName = "PDF";
// A printer DC for these settings: the printer, paper and orientation from the device mode; the output is a file
// to write the PDF to (nullptr or empty: the PDF printer's own file, or the queue of a print server's printer).
// Null when the named queue is gone.
HDC CreatePrinterDC(const DEVMODEA* mode, const char* output);

// The file dialog's decisions, apart from the screen, so they can be answered without one.

// One line of the filter: its name and its patterns ("*.a;*.b" -> {"*.a", "*.b"}).
struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};
// The pairs "Name\0*.a;*.b\0...\0\0"; a name without its patterns ends the list.
std::vector<FileFilter> ParseFilter(LPCSTR pairs);
// Case-blind, as the file names of the program's world are; "*.*" takes every name, also one without a dot.
bool FilterTakes(const FileFilter& filter, std::string_view name);

enum class PathKind { Missing, File, Folder };
// What the file system holds at a program path (cp1251); tests answer from a table.
using PathQuery = std::function<PathKind(const std::string& programPath)>;
PathKind QueryFileSystem(const std::string& programPath);

struct FileRequest {
  std::string folder;  // the folder shown, cp1251, ending in '/'
  std::string typed;   // what the name box holds
  bool save = false;
  DWORD flags = 0;          // OFN_
  std::string defaultExt;   // without the dot; empty: none
  const FileFilter* filter = nullptr;  // the filter chosen, when the dialog has one
};
struct FileDecision {
  enum class Action {
    Nothing,        // nothing typed
    EnterFolder,    // `path` is a folder to show
    ApplyPattern,   // `path` holds wildcards the list is now filtered by
    Accept,         // `path` is the answer
    AskOverwrite,   // `path` exists: ask with `message` (Yes accepts)
    Refuse,         // `message` tells why; the dialog stays
  };
  Action action = Action::Nothing;
  std::string path;
  std::string message;
};
FileDecision DecideFileName(const FileRequest& request, const PathQuery& query = QueryFileSystem);

}  // namespace user::commdlg
