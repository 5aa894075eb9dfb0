// The common dialogs, put to the modal responder.
#include "platform/user/commdlg.h"

#include "platform/user/msgbox.h"
#include "platform/user/window.h"

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

BOOL FileName(OPENFILENAME* ofn, bool save)
{
  t_lastError = 0;
  if (ofn == nullptr || ofn->lStructSize < sizeof(OPENFILENAME) - 12) {
    t_lastError = CDERR_STRUCTSIZE;
    return FALSE;
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
  // A save without an extension takes the default one.
  std::size_t slash = path.find_last_of("\\/");
  std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = path.find('.', nameStart);
  if (dot == std::string::npos && ofn->lpstrDefExt != nullptr && *ofn->lpstrDefExt != '\0') {
    path += ".";
    path += ofn->lpstrDefExt;
    dot = path.find('.', nameStart);
  }
  if (ofn->lpstrFile == nullptr || path.size() + 1 > ofn->nMaxFile) {
    if (ofn->lpstrFile != nullptr && ofn->nMaxFile >= 2) {
      // The size needed, in the first two bytes, as the dialog reports it.
      auto need = static_cast<WORD>(path.size() + 1);
      std::memcpy(ofn->lpstrFile, &need, sizeof need);
    }
    t_lastError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  ofn->nFileOffset = static_cast<WORD>(nameStart);
  ofn->nFileExtension = static_cast<WORD>(dot == std::string::npos ? path.size() : dot + 1);
  if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0) {
    std::string title = path.substr(nameStart);
    std::size_t n = std::min<std::size_t>(title.size(), ofn->nMaxFileTitle - 1);
    std::memcpy(ofn->lpstrFileTitle, title.data(), n);
    ofn->lpstrFileTitle[n] = '\0';
  }
  return TRUE;
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) { return FileName(ofn, false); }
BOOL GetSaveFileName(OPENFILENAME* ofn) { return FileName(ofn, true); }

BOOL ChooseColor(CHOOSECOLOR* cc)
{
  t_lastError = 0;
  if (cc == nullptr) {
    return FALSE;
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
  user::ModalQuestion q;
  q.kind = user::ModalQuestion::Kind::Font;
  q.record = cf;
  q.style = cf->Flags;
  return Ask(q, cf->hwndOwner) == IDOK ? TRUE : FALSE;
}

DWORD CommDlgExtendedError() { return t_lastError; }
