// The process's last words on a crash. A signal handler may do almost nothing safely, so everything is prepared
// at installation: the handler writes the prepared text to stderr, creates the prepared marker file and lets
// the signal end the process. The next start finds the marker and tells the user and the analytics then.
#pragma once

#include <string>

namespace platform {

// Handles SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on a stack of their own; under AddressSanitizer the
// sanitiser keeps SIGSEGV and SIGBUS, whose reports say more. `markerPath` is a program path. Installing again
// replaces the text and the path.
void InstallCrashHandler(const std::string& markerPath, const std::string& stderrText);

// Whether a crash left its marker at `markerPath`; the marker is removed, so a crash is reported once.
bool TakeCrashMarker(const std::string& markerPath);

}  // namespace platform
