// The open and save dialog on a screen: the folder, a list of its folders and the files the chosen filter takes,
// the name box and the file-type box. Names are cp1251 here; the file system's UTF-8 is met only when listing.
#include "platform/base/paths.h"
#include "platform/user/commdlg_internal.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace user::commdlg {

namespace {

struct Entry {
  std::string name;  // cp1251
  bool folder = false;
};

struct FileDialog {
  OPENFILENAME* ofn = nullptr;
  bool save = false;
  std::vector<FileFilter> filters;
  std::size_t filterIndex = 0;
  FileFilter typed;     // wildcards typed into the name box, in force until another filter is chosen
  std::string folder;   // cp1251, ending in '/'
  std::vector<Entry> entries;
  std::string result;
  std::string startError;  // why the first folder could not be shown, told once the dialog is up
  WNDPROC listProc = nullptr;  // the list box's own procedure, under ours
};

// Posted to itself when the dialog has something to tell as soon as it shows.
constexpr UINT kTellStartError = WM_APP + 0x0C10;

std::string Caption(const FileDialog& d)
{
  if (d.ofn->lpstrTitle != nullptr && *d.ofn->lpstrTitle != '\0') {
    return d.ofn->lpstrTitle;
  }
  return d.save ? "Сохранить как" : "Открыть";
}

char SortKey(char c)
{
  auto b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) {
    return static_cast<char>(b + 0x20);
  }
  return c;
}

bool NameBefore(const Entry& a, const Entry& b)
{
  if (a.folder != b.folder) {
    return a.folder;
  }
  return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
    return static_cast<unsigned char>(SortKey(x)) < static_cast<unsigned char>(SortKey(y));
  });
}

bool Takes(const FileDialog& d, const std::string& name)
{
  if (!d.typed.patterns.empty()) {
    return FilterTakes(d.typed, name);
  }
  return d.filters.empty() || FilterTakes(d.filters[d.filterIndex], name);
}

// The folder's visible entries; false with `error` when it cannot be read. Hidden names (a leading dot) and names
// the program's code page cannot spell are left out: the program could not open them.
std::string Reason(const std::error_code& ec)
{
  if (ec == std::errc::no_such_file_or_directory) {
    return "Папка не найдена.";
  }
  if (ec == std::errc::permission_denied) {
    return "Нет прав на чтение папки.";
  }
  if (ec == std::errc::not_a_directory) {
    return "Это не папка.";
  }
  return "Папку не удалось прочитать: " + codepage::Utf8ToCp1251(ec.message());
}

bool ListFolder(const FileDialog& d, const std::string& folder, std::vector<Entry>& out, std::string& error)
{
  std::error_code ec;
  std::filesystem::directory_iterator it(platform::ToFileSystemPath(folder), ec);
  if (ec) {
    error = Reason(ec);
    return false;
  }
  out.clear();
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) {
      error = Reason(ec);
      return false;
    }
    const std::string utf8 = it->path().filename().string();
    if (utf8.empty() || utf8[0] == '.') {
      continue;
    }
    const std::string name = platform::FromFileSystemPath(utf8);
    if (codepage::Cp1251ToUtf8(name) != utf8) {
      continue;
    }
    std::error_code kindError;
    const bool isFolder = it->is_directory(kindError);
    if (isFolder || Takes(d, name)) {
      out.push_back(Entry{name, isFolder});
    }
  }
  std::sort(out.begin(), out.end(), NameBefore);
  if (folder != "/") {
    out.insert(out.begin(), Entry{"..", true});
  }
  return true;
}

// The folder's name goes up last, once its entries are all in the list.
void ShowEntries(HWND dialog, const FileDialog& d)
{
  HWND list = GetDlgItem(dialog, lst1);
  SendMessage(list, LB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < d.entries.size(); ++i) {
    const Entry& e = d.entries[i];
    const std::string shown = e.folder ? "[" + e.name + "]" : e.name;
    LRESULT at = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
  }
  SetDlgItemText(dialog, stc1, ("Папка: " + d.folder).c_str());
}

std::string CannotRead(const std::string& folder, const std::string& error)
{
  return folder + "\n" + error;
}

// Shows `folder`; when it cannot be read the user is told (unless `quiet`) and the dialog stays where it was.
bool EnterFolder(HWND dialog, FileDialog& d, const std::string& folder, bool quiet = false)
{
  std::vector<Entry> entries;
  std::string error;
  const std::string target = platform::WithTrailingSeparator(folder);
  if (!ListFolder(d, target, entries, error)) {
    if (!quiet) {
      MessageBox(dialog, CannotRead(target, error).c_str(), Caption(d).c_str(), MB_OK | MB_ICONWARNING);
    } else {
      d.startError = CannotRead(target, error);
    }
    return false;
  }
  d.folder = target;
  d.entries = std::move(entries);
  ShowEntries(dialog, d);
  return true;
}

void Refill(HWND dialog, FileDialog& d) { EnterFolder(dialog, d, d.folder); }

std::string ParentOf(const std::string& folder)
{
  std::string trimmed = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
  std::string parent(platform::FolderOf(trimmed));
  return parent.empty() ? "/" : parent;
}

std::string StartFolder(const FileDialog& d)
{
  const OPENFILENAME* ofn = d.ofn;
  std::string start;
  if (ofn->lpstrInitialDir != nullptr && *ofn->lpstrInitialDir != '\0') {
    start = ofn->lpstrInitialDir;
  } else if (ofn->lpstrFile != nullptr) {
    start = std::string(platform::FolderOf(ofn->lpstrFile));
  }
  for (char& c : start) {
    if (c == '\\') {
      c = '/';
    }
  }
  if (start.empty() || start[0] != '/') {
    std::error_code ec;
    std::string here = platform::FromFileSystemPath(std::filesystem::current_path(ec).string());
    start = start.empty() ? here : platform::JoinPath(here, start);
  }
  return start;
}

const Entry* SelectedEntry(HWND dialog, const FileDialog& d)
{
  HWND list = GetDlgItem(dialog, lst1);
  LRESULT sel = SendMessage(list, LB_GETCURSEL, 0, 0);
  if (sel < 0) {
    return nullptr;
  }
  auto index = static_cast<std::size_t>(SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
  return index < d.entries.size() ? &d.entries[index] : nullptr;
}

std::string NameBoxText(HWND dialog)
{
  char text[MAX_PATH * 2];
  GetDlgItemText(dialog, edt1, text, sizeof text);
  return text;
}

void Finish(HWND dialog, FileDialog& d, const std::string& path)
{
  d.result = path;
  if (!d.filters.empty()) {
    d.ofn->nFilterIndex = static_cast<DWORD>(d.filterIndex + 1);
  }
  EndDialog(dialog, IDOK);
}

// A folder entry is entered; a file entry, or what the name box holds, is decided on.
void Confirm(HWND dialog, FileDialog& d, bool fromList)
{
  if (fromList) {
    if (const Entry* e = SelectedEntry(dialog, d); e != nullptr) {
      if (e->folder) {
        if (EnterFolder(dialog, d, e->name == ".." ? ParentOf(d.folder) : d.folder + e->name)) {
          SendMessage(GetDlgItem(dialog, lst1), LB_SETCURSEL, 0, 0);
        }
        return;
      }
      SetDlgItemText(dialog, edt1, e->name.c_str());
    }
  }
  FileRequest request;
  request.folder = d.folder;
  request.typed = NameBoxText(dialog);
  request.save = d.save;
  request.flags = d.ofn->Flags;
  request.defaultExt = d.ofn->lpstrDefExt != nullptr ? d.ofn->lpstrDefExt : "";
  request.filter = d.filters.empty() ? nullptr : &d.filters[d.filterIndex];
  FileDecision decision = DecideFileName(request);
  switch (decision.action) {
    case FileDecision::Action::Nothing: return;
    case FileDecision::Action::EnterFolder:
      if (EnterFolder(dialog, d, decision.path)) {
        SetDlgItemText(dialog, edt1, "");
      }
      return;
    case FileDecision::Action::ApplyPattern: {
      // "*.a;*.b" reads as a filter line of its own.
      const std::string pairs = std::string("typed") + '\0' + decision.path + '\0' + '\0';
      std::vector<FileFilter> typed = ParseFilter(pairs.c_str());
      d.typed = typed.empty() ? FileFilter{} : typed.front();
      Refill(dialog, d);
      return;
    }
    case FileDecision::Action::AskOverwrite:
      if (MessageBox(dialog, decision.message.c_str(), Caption(d).c_str(), MB_YESNO | MB_ICONWARNING) == IDYES) {
        Finish(dialog, d, decision.path);
      }
      return;
    case FileDecision::Action::Refuse:
      MessageBox(dialog, decision.message.c_str(), Caption(d).c_str(), MB_OK | MB_ICONWARNING);
      SetFocus(GetDlgItem(dialog, edt1));
      return;
    case FileDecision::Action::Accept: Finish(dialog, d, decision.path); return;
  }
}

// Backspace in the list goes up a folder, as in the system's own dialog.
LRESULT ListKeysProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
  HWND dialog = GetParent(list);
  auto* d = reinterpret_cast<FileDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_KEYDOWN && wParam == VK_BACK) {
    if (d->folder != "/" && EnterFolder(dialog, *d, ParentOf(d->folder))) {
      SendMessage(list, LB_SETCURSEL, 0, 0);
    }
    return 0;
  }
  return CallWindowProc(d->listProc, list, msg, wParam, lParam);
}

INT_PTR FileDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
  auto* d = reinterpret_cast<FileDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    d = reinterpret_cast<FileDialog*>(lParam);
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    HWND list = GetDlgItem(dialog, lst1);
    d->listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListKeysProc)));
    HWND types = GetDlgItem(dialog, cmb1);
    for (const FileFilter& f : d->filters) {
      SendMessage(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.name.c_str()));
    }
    SendMessage(types, CB_SETCURSEL, d->filterIndex, 0);
    if (d->ofn->lpstrFile != nullptr) {
      SetDlgItemText(dialog, edt1, std::string(platform::FileNameOf(d->ofn->lpstrFile)).c_str());
    }
    if (!EnterFolder(dialog, *d, StartFolder(*d), true)) {
      // An unreadable start leaves the user in the home folder, and is told when the dialog is up.
      const std::string error = d->startError;
      const char* home = getenv("HOME");
      if (!EnterFolder(dialog, *d, home != nullptr ? platform::FromFileSystemPath(home) : "/", true)) {
        EnterFolder(dialog, *d, "/", true);
      }
      d->startError = error;
      PostMessage(dialog, kTellStartError, 0, 0);
    }
    SetFocus(GetDlgItem(dialog, edt1));
    if ((d->ofn->Flags & OFN_ENABLEHOOK) != 0) {
      d->ofn->lpfnHook(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(d->ofn));
    }
    return FALSE;
  }
  if (d == nullptr) {
    return FALSE;
  }
  if ((d->ofn->Flags & OFN_ENABLEHOOK) != 0 && CallHook(d->ofn->lpfnHook, dialog, msg, wParam, lParam)) {
    return TRUE;
  }
  if (msg == kTellStartError) {
    MessageBox(dialog, d->startError.c_str(), Caption(*d).c_str(), MB_OK | MB_ICONWARNING);
    return TRUE;
  }
  if (msg != WM_COMMAND) {
    return FALSE;
  }
  const int id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  switch (id) {
    case IDOK: Confirm(dialog, *d, GetFocus() == GetDlgItem(dialog, lst1)); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case lst1:
      if (code == LBN_DBLCLK) {
        Confirm(dialog, *d, true);
      } else if (code == LBN_SELCHANGE) {
        if (const Entry* e = SelectedEntry(dialog, *d); e != nullptr && !e->folder) {
          SetDlgItemText(dialog, edt1, e->name.c_str());
        }
      }
      return TRUE;
    case cmb1:
      if (code == CBN_SELCHANGE) {
        LRESULT sel = SendMessage(GetDlgItem(dialog, cmb1), CB_GETCURSEL, 0, 0);
        if (sel >= 0 && static_cast<std::size_t>(sel) < d->filters.size()) {
          d->filterIndex = static_cast<std::size_t>(sel);
          d->typed = FileFilter{};
          Refill(dialog, *d);
        }
      }
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

INT_PTR RunFileDialog(OPENFILENAME* ofn, bool save, std::string& path)
{
  if ((ofn->Flags & OFN_ENABLEHOOK) != 0 && ofn->lpfnHook == nullptr) {
    return -1;
  }
  FileDialog d;
  d.ofn = ofn;
  d.save = save;
  d.filters = ParseFilter(ofn->lpstrFilter);
  if (ofn->nFilterIndex >= 1 && ofn->nFilterIndex <= d.filters.size()) {
    d.filterIndex = ofn->nFilterIndex - 1;
  }
  const bool help = (ofn->Flags & OFN_SHOWHELP) != 0;
  DialogTemplate t(Caption(d), 280, help ? 190 : 172);
  t.Label(7, 6, 266, 9, stc1, "Папка:");
  t.Item(ControlClass::ListBox, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 18, 266,
         108, lst1);
  t.Label(7, 135, 55, 9, stc3, "Имя файла:");
  t.Item(ControlClass::Edit, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 64, 133, 150, 12, edt1);
  t.PushButton(221, 132, 52, 14, IDOK, save ? "Сохранить" : "Открыть", true);
  t.Label(7, 153, 55, 9, stc2, "Тип файлов:");
  t.Item(ControlClass::ComboBox, WS_TABSTOP | CBS_DROPDOWNLIST, 64, 151, 150, 12, cmb1);
  t.PushButton(221, 150, 52, 14, IDCANCEL, "Отмена");
  if (help) {
    t.PushButton(221, 168, 52, 14, pshHelp, "Справка");
  }
  INT_PTR answer = DialogBoxIndirectParam(nullptr, t.Data(), ofn->hwndOwner, &FileDialogProc,
                                          reinterpret_cast<LPARAM>(&d));
  if (answer == IDOK) {
    path = d.result;
  }
  return answer;
}

}  // namespace user::commdlg
