#include "platform/base/crash_handler.h"

#include "platform/base/paths.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace platform {

namespace {

// Fixed buffers: the handler reads them and nothing else.
constexpr std::size_t kBufferSize = 4096;
char g_markerPath[kBufferSize];
char g_text[kBufferSize];
std::size_t g_textLength = 0;
alignas(16) char g_alternateStack[64 * 1024];

#if defined(__SANITIZE_ADDRESS__)
constexpr int kSignals[] = {SIGFPE, SIGILL, SIGABRT};
#else
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
#endif

void OnCrash(int signalNumber)
{
  // write, open, close, signal and raise are async-signal-safe.
  if (g_textLength > 0)
    (void)!write(STDERR_FILENO, g_text, g_textLength);
  if (g_markerPath[0] != '\0') {
    const int fd = open(g_markerPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0)
      close(fd);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void CopyInto(char* buffer, const std::string& text)
{
  const std::size_t length = std::min(text.size(), kBufferSize - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

}  // namespace

void InstallCrashHandler(const std::string& markerPath, const std::string& stderrText)
{
  CopyInto(g_markerPath, ToFileSystemPath(markerPath));
  CopyInto(g_text, stderrText);
  g_textLength = std::strlen(g_text);

  stack_t stack{};
  stack.ss_sp = g_alternateStack;
  stack.ss_size = sizeof(g_alternateStack);
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_handler = &OnCrash;
  action.sa_flags = SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : kSignals)
    sigaction(signalNumber, &action, nullptr);
}

bool TakeCrashMarker(const std::string& markerPath)
{
  std::error_code error;
  return std::filesystem::remove(ToFileSystemPath(markerPath), error);
}

}  // namespace platform
