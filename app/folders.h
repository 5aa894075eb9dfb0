// Where the program finds its files, and the installation id. Every folder ends in a separator; under
// "Settings\InstallDir" the installation's Bin, Templates and Docs, and without it the one "Settings\DebugDir"
// that start-up writes (the folder the program was started in).
#pragma once

#include "platform/mfc-core/mfcstring.h"

CString GetTemplatesFolder();
CString GetDocsFolder();

// "Settings\QorRID": made from a new GUID in braces on the first call and kept; empty when none can be made.
CString GetInstallationId();
