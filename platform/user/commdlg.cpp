// The common dialogs: on a screen they show themselves; otherwise they are put to the modal responder.
#include "platform/user/commdlg.h"

#include "platform/base/paths.h"
#include "platform/display/presenter.h"
#include "platform/gdi/print.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/commdlg_internal.h"
#include "platform/user/global_memory.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstring>

namespace {

thread_local DWORD t_lastError = 0;

int Ask(user::ModalQuestion& q, HWND owner)
{
  const bool disable = owner != nullptr && IsWindow(owner) && IsWindowEnabled(owner);
  if (disable) {
    EnableWindow(owner, FALSE);
  }
  q.owner = owner;
  q.answers = {IDCANCEL, IDOK};  // nobody there: nothing is chosen
  int answer = user::AskModal(q);
  if (disable && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
  }
  return answer;
}

// The chosen path into the program's record: the buffer, the offsets of name and extension, the title.
BOOL Deliver(OPENFILENAME* ofn, const std::string& path)
{
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot >= nameStart;
  if (ofn->lpstrFile == nullptr || path.size() + 1 > ofn->nMaxFile) {
    if (ofn->lpstrFile != nullptr && ofn->nMaxFile >= 2) {
      // The size needed, in the first two bytes, as the dialog reports it.
      auto need = static_cast<WORD>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
      std::memcpy(ofn->lpstrFile, &need, sizeof need);
    }
    t_lastError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  ofn->nFileOffset = static_cast<WORD>(nameStart);
  ofn->nFileExtension = static_cast<WORD>(hasExtension ? dot + 1 : path.size());
  if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0) {
    std::string title = path.substr(nameStart);
    std::size_t n = std::min<std::size_t>(title.size(), ofn->nMaxFileTitle - 1);
    std::memcpy(ofn->lpstrFileTitle, title.data(), n);
    ofn->lpstrFileTitle[n] = '\0';
  }
  return TRUE;
}

BOOL FileName(OPENFILENAME* ofn, bool save)
{
  t_lastError = 0;
  if (ofn == nullptr || ofn->lStructSize < sizeof(OPENFILENAME) - 12) {
    t_lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (user::commdlg::OnScreen()) {
    std::string path;
    INT_PTR answer = user::commdlg::RunFileDialog(ofn, save, path);
    if (answer == -1) {
      t_lastError = CDERR_INITIALIZATION;
    }
    return answer == IDOK ? Deliver(ofn, path) : FALSE;
  }
  user::ModalQuestion q;
  q.kind = save ? user::ModalQuestion::Kind::SaveFile : user::ModalQuestion::Kind::OpenFile;
  q.caption = ofn->lpstrTitle != nullptr ? ofn->lpstrTitle : (save ? "Сохранить как" : "Открыть");
  q.text = ofn->lpstrFile != nullptr ? ofn->lpstrFile : "";
  q.record = ofn;
  q.style = ofn->Flags;
  if (Ask(q, ofn->hwndOwner) != IDOK) {
    return FALSE;
  }
  std::string path = !q.reply.empty() ? q.reply : (ofn->lpstrFile != nullptr ? std::string(ofn->lpstrFile) : "");
  if (path.empty()) {
    return FALSE;
  }
  // A name without an extension takes the default one.
  if (platform::ExtensionOf(platform::FileNameOf(path)).empty() && ofn->lpstrDefExt != nullptr &&
      *ofn->lpstrDefExt != '\0') {
    path += ".";
    path += ofn->lpstrDefExt;
  }
  return Deliver(ofn, path);
}

}  // namespace

namespace user::commdlg {

bool OnScreen() { return !user::HasModalResponder() && std::strcmp(display::Current().Name(), "null") != 0; }

}  // namespace user::commdlg

BOOL GetOpenFileName(OPENFILENAME* ofn) { return FileName(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return FileName(ofn, true); }

BOOL ChooseColor(CHOOSECOLOR* cc)
{
  t_lastError = 0;
  if (cc == nullptr) {
    return FALSE;
  }
  if ((cc->Flags & CC_ENABLEHOOK) != 0 && cc->lpfnHook == nullptr) {
    t_lastError = CDERR_NOHOOK;
    return FALSE;
  }
  if (user::commdlg::OnScreen()) {
    INT_PTR answer = user::commdlg::RunColorDialog(cc);
    if (answer == -1) {
      t_lastError = CDERR_INITIALIZATION;
    }
    return answer == IDOK ? TRUE : FALSE;
  }
  user::ModalQuestion q;
  q.kind = user::ModalQuestion::Kind::Color;
  q.record = cc;
  q.style = cc->Flags;
  return Ask(q, cc->hwndOwner) == IDOK ? TRUE : FALSE;
}

BOOL ChooseFont(CHOOSEFONT* cf)
{
  t_lastError = 0;
  if (cf == nullptr || cf->lpLogFont == nullptr) {
    return FALSE;
  }
  if ((cf->Flags & CF_ENABLEHOOK) != 0 && cf->lpfnHook == nullptr) {
    t_lastError = CDERR_NOHOOK;
    return FALSE;
  }
  if (user::commdlg::OnScreen()) {
    INT_PTR answer = user::commdlg::RunFontDialog(cf);
    if (answer == -1) {
      t_lastError = CDERR_INITIALIZATION;
    }
    return answer == IDOK ? TRUE : FALSE;
  }
  user::ModalQuestion q;
  q.kind = user::ModalQuestion::Kind::Font;
  q.record = cf;
  q.style = cf->Flags;
  return Ask(q, cf->hwndOwner) == IDOK ? TRUE : FALSE;
}

namespace {

// The device mode and names in the record, made when it has none; their memory is the caller's.
DEVMODEA* ModeOf(PRINTDLG* pd)
{
  if (pd->hDevMode == nullptr) {
    pd->hDevMode = GlobalAlloc(GMEM_MOVEABLE, sizeof(DEVMODEA));
    if (pd->hDevMode == nullptr) {
      return nullptr;
    }
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(pd->hDevMode));
    *mode = DEVMODEA{};
    std::strncpy(mode->dmDeviceName, user::commdlg::DefaultPrinterName().c_str(), CCHDEVICENAME - 1);
    mode->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR | DM_COLLATE;
    GlobalUnlock(pd->hDevMode);
  }
  return static_cast<DEVMODEA*>(GlobalLock(pd->hDevMode));
}

std::string OutputOf(const PRINTDLG* pd)
{
  if (pd->hDevNames == nullptr) {
    return {};
  }
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(pd->hDevNames));
  std::string output = names != nullptr ? reinterpret_cast<const char*>(names) + names->wOutputOffset : "";
  GlobalUnlock(pd->hDevNames);
  return output;
}

bool SetNames(PRINTDLG* pd, const DEVMODEA* mode, const std::string& output)
{
  const std::string driver = "winspool";
  const std::string device = user::commdlg::PrinterNameOf(mode);
  const std::size_t size = sizeof(DEVNAMES) + driver.size() + 1 + device.size() + 1 + output.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (block == nullptr) {
    return false;
  }
  auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
  char* base = reinterpret_cast<char*>(names);
  names->wDriverOffset = static_cast<WORD>(sizeof(DEVNAMES));
  names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driver.size() + 1);
  names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
  names->wDefault = DN_DEFAULTPRN;
  std::memcpy(base + names->wDriverOffset, driver.c_str(), driver.size() + 1);
  std::memcpy(base + names->wDeviceOffset, device.c_str(), device.size() + 1);
  std::memcpy(base + names->wOutputOffset, output.c_str(), output.size() + 1);
  GlobalUnlock(block);
  if (pd->hDevNames != nullptr) {
    GlobalFree(pd->hDevNames);
  }
  pd->hDevNames = block;
  return true;
}

}  // namespace

BOOL PrintDlg(PRINTDLG* pd)
{
  t_lastError = 0;
  if (pd == nullptr || pd->lStructSize < sizeof(PRINTDLG)) {
    t_lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if ((pd->Flags & PD_RETURNDEFAULT) != 0 && (pd->hDevMode != nullptr || pd->hDevNames != nullptr)) {
    // The default printer is only told into an empty record.
    t_lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  DEVMODEA* mode = ModeOf(pd);
  if (mode == nullptr) {
    t_lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  std::string output = OutputOf(pd);
  bool chosen = true;
  if ((pd->Flags & PD_RETURNDEFAULT) == 0) {
    if (user::commdlg::OnScreen()) {
      INT_PTR answer = user::commdlg::RunPrintDialog(pd, *mode, output);
      if (answer == -1) {
        t_lastError = CDERR_INITIALIZATION;
      }
      chosen = answer == IDOK;
    } else {
      // A dialog question without a dialog: the responder fills in the record it is given.
      user::ModalQuestion q;
      q.kind = user::ModalQuestion::Kind::Dialog;
      q.caption = (pd->Flags & PD_PRINTSETUP) != 0 ? "Настройка печати" : "Печать";
      q.record = pd;
      q.style = pd->Flags;
      chosen = Ask(q, pd->hwndOwner) == IDOK;
      // The responder may have changed the settings in the record.
      if (!q.reply.empty()) {
        output = q.reply;
      }
    }
  }
  if (!chosen) {
    GlobalUnlock(pd->hDevMode);
    return FALSE;
  }
  pd->nCopies = std::max<WORD>(pd->nCopies, 1);
  if ((pd->Flags & (PD_RETURNDC | PD_RETURNIC)) != 0) {
    pd->hDC = user::commdlg::CreatePrinterDC(mode, output.c_str());
  }
  const bool named = SetNames(pd, mode, output);
  GlobalUnlock(pd->hDevMode);
  if (!named) {
    t_lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  return TRUE;
}

DWORD CommDlgExtendedError() { return t_lastError; }
