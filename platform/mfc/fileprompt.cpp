#include "platform/mfc/fileprompt.h"

#include <atomic>

namespace platform::mfc {

namespace {
std::atomic<FileNameResponder*> g_responder{nullptr};
}

FileNameResponder* SetFileNameResponder(FileNameResponder* responder) { return g_responder.exchange(responder); }

std::optional<CString> AskFileName(const FileNamePrompt& prompt)
{
  FileNameResponder* responder = g_responder.load();
  if (responder == nullptr) {
    return std::nullopt;
  }
  return responder->PromptFileName(prompt);
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
