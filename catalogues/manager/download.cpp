#include "catalogues/manager/download.h"

#include "catalogues/manager/plugin_messages.h"
#include "platform/base/fileops.h"
#include "platform/base/folders.h"
#include "platform/base/guid.h"
#include "platform/base/paths.h"
#include "platform/net/internet.h"
#include "platform/user/messages.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace ManagementPlugins {
namespace {

void Progress(HWND window, UINT percent, bool send)
{
  if (!window)
    return;
  if (send)
    SendMessage(window, UM_PLUGINS_PROGRESS, percent, 0);
  else
    PostMessage(window, UM_PLUGINS_PROGRESS, percent, 0);
}

// The length the server announces for the plain address; 0 when it announces none or cannot be asked.
ULONGLONG AnnouncedLength(CInternetSession& session, LPCSTR address)
{
  try {
    std::unique_ptr<CInternetFile> probe(session.OpenURL(address));
    return probe->GetLength();
  } catch (CInternetException* e) {
    e->Delete();
    return 0;
  }
}

bool Transfer(CInternetSession& session, const std::string& query, const std::string& localFile, ULONGLONG length,
              HWND progressWindow)
{
  std::FILE* out = nullptr;
  try {
    std::unique_ptr<CInternetFile> file(session.OpenURL(query.c_str()));
    out = std::fopen(platform::ToFileSystemPath(localFile).c_str(), "wb");
    if (!out)
      return false;
    Progress(progressWindow, 0, true);
    ULONGLONG total = 0;
    ULONGLONG lastPercent = 0;
    char block[128];
    while (UINT n = file->Read(block, sizeof block)) {
      if (std::fwrite(block, 1, n, out) != n)
        break;
      total += n;
      const ULONGLONG percent = total * 100 / length;
      if (percent < 100 && percent > lastPercent + 10) {
        Progress(progressWindow, static_cast<UINT>(percent), false);
        lastPercent = percent;
      }
    }
    const bool written = std::fclose(out) == 0;
    out = nullptr;
    // What ends short of the announced length is a broken transfer, never a catalogue.
    return written && total == length;
  } catch (CInternetException* e) {
    e->Delete();
    if (out)
      std::fclose(out);
    return false;
  }
}

}  // namespace

int DownloadFile(LPCSTR address, LPSTR localFile, HWND progressWindow, ULONGLONG maxBytes)
{
  if (!address || !*address || !localFile)
    return 0;
  GUID guid{};
  CoCreateGuid(&guid);
  const std::string query = std::string(address) + "?id=" + GuidToString(guid);

  if (!InternetCheckConnectionA(query.c_str(), FLAG_ICC_FORCE_CONNECTION, 0)) {
    Progress(progressWindow, 0, false);
    return 0;
  }
  char folder[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "qor", 0, localFile) == 0)
    return 0;

  int result = 0;
  {
    CInternetSession session;
    session.SetMaxResourceBytes(maxBytes);
    const ULONGLONG length = AnnouncedLength(session, address);
    if (length != 0 && length <= maxBytes && Transfer(session, query, localFile, length, progressWindow))
      result = 1;
    session.Close();
  }
  if (!result) {
    DeleteFileA(localFile);
    localFile[0] = '\0';
  }
  Progress(progressWindow, 0, false);
  return result;
}

}  // namespace ManagementPlugins
