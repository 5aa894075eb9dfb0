#include "platform/mfc/fileprompt.h"

#include "platform/mfc/winapp.h"
#include "platform/mfc/wnd.h"
#include "platform/user/commdlg.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace platform::mfc {

namespace {
std::atomic<FileNameResponder*> g_responder{nullptr};
}

FileNameResponder* SetFileNameResponder(FileNameResponder* responder) { return g_responder.exchange(responder); }

std::optional<CString> AskFileName(const FileNamePrompt& prompt)
{
  FileNameResponder* responder = g_responder.load();
  if (responder != nullptr) {
    return responder->PromptFileName(prompt);
  }
  if (!user::commdlg::OnScreen()) {
    return std::nullopt;
  }
  CWnd* pMainWnd = AfxGetMainWnd();
  return AskFileNameOnScreen(prompt, pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr);
}

std::optional<CString> AskFileNameOnScreen(const FileNamePrompt& prompt, HWND owner)
{
  // "Name|*.a|...||" -> "Name\0*.a\0...\0\0".
  std::string filter(static_cast<LPCSTR>(prompt.filter), static_cast<std::size_t>(prompt.filter.GetLength()));
  for (char& c : filter) {
    if (c == '|') {
      c = '\0';
    }
  }
  filter.append(2, '\0');
  std::vector<char> file(MAX_PATH * 2, '\0');
  std::strncpy(file.data(), prompt.fileName, file.size() - 1);
  OPENFILENAME ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = prompt.title.IsEmpty() ? nullptr : static_cast<LPCSTR>(prompt.title);
  ofn.lpstrDefExt = prompt.defaultExt.IsEmpty() ? nullptr : static_cast<LPCSTR>(prompt.defaultExt);
  ofn.Flags = prompt.flags;
  const BOOL chosen = prompt.open ? GetOpenFileName(&ofn) : GetSaveFileName(&ofn);
  if (!chosen) {
    return std::nullopt;
  }
  return CString(file.data());
}

ScriptedFileNames::ScriptedFileNames() : previous_(SetFileNameResponder(this)) {}

ScriptedFileNames::~ScriptedFileNames() { SetFileNameResponder(previous_); }

std::optional<CString> ScriptedFileNames::PromptFileName(const FileNamePrompt& prompt)
{
  asked_.push_back(prompt);
  if (answers_.empty()) {
    return std::nullopt;
  }
  std::optional<CString> answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace platform::mfc
