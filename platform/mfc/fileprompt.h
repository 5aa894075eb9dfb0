// The open and save questions the framework asks for a file name.
//
// The framework asks through this one narrow seam. Tests install ScriptedFileNames to answer from a script and
// to see what was asked. With no responder the window system's open or save dialog asks the user when there is
// a screen (and no modal script); otherwise the question is cancelled.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <deque>
#include <optional>
#include <vector>

namespace platform::mfc {

// The open/save dialog flags the framework passes (the values of the common dialog's OFN_ flags).
inline constexpr DWORD kOfnOverwritePrompt = 0x00000002;
inline constexpr DWORD kOfnHideReadOnly = 0x00000004;
inline constexpr DWORD kOfnPathMustExist = 0x00000800;
inline constexpr DWORD kOfnFileMustExist = 0x00001000;

struct FileNamePrompt {
  CString title;
  CString fileName;    // the proposed name
  CString filter;      // "Name (*.a;*.b)|*.a;*.b||"
  CString defaultExt;  // without the dot
  DWORD flags = 0;
  bool open = false;
};

class FileNameResponder {
public:
  virtual ~FileNameResponder() = default;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<CString> PromptFileName(const FileNamePrompt& prompt) = 0;
};

// Installs `responder` (null: none) and answers the one it replaces.
FileNameResponder* SetFileNameResponder(FileNameResponder* responder);
std::optional<CString> AskFileName(const FileNamePrompt& prompt);
// The question put to the window system's open or save dialog, owned by `owner`: what the user chose, or nothing.
std::optional<CString> AskFileNameOnScreen(const FileNamePrompt& prompt, HWND owner);

// Answers from a script, in order, and keeps what was asked; in force for its lifetime. A question the script
// has no answer for is cancelled.
class ScriptedFileNames : public FileNameResponder {
public:
  ScriptedFileNames();
  ~ScriptedFileNames() override;
  ScriptedFileNames(const ScriptedFileNames&) = delete;
  ScriptedFileNames& operator=(const ScriptedFileNames&) = delete;

  void Answer(const CString& path) { answers_.emplace_back(path); }
  void Cancel() { answers_.emplace_back(std::nullopt); }
  const std::vector<FileNamePrompt>& Asked() const { return asked_; }
  std::size_t Unused() const { return answers_.size(); }

  std::optional<CString> PromptFileName(const FileNamePrompt& prompt) override;

private:
  FileNameResponder* previous_;
  std::deque<std::optional<CString>> answers_;
  std::vector<FileNamePrompt> asked_;
};

}  // namespace platform::mfc
