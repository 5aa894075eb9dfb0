#include "platform/user/dropfiles.h"

#include "platform/user/global_memory.h"
#include "platform/user/messages.h"
#include "platform/user/uri_list.h"
#include "platform/user/window.h"

#include <cstring>
#include <vector>

static_assert(sizeof(DROPFILES) == 20, "other programs' drop data has this header");

namespace {

// The header and the names, or null when the block is not one.
const DROPFILES* Header(HDROP drop, const char*& names, const char*& end)
{
  const HGLOBAL memory = reinterpret_cast<HGLOBAL>(drop);
  const SIZE_T size = GlobalSize(memory);
  if (size < sizeof(DROPFILES))
    return nullptr;
  const auto* header = static_cast<const DROPFILES*>(GlobalLock(memory));
  GlobalUnlock(memory);  // the block never moves while the handle lives
  if (!header || header->fWide || header->pFiles < sizeof(DROPFILES) || header->pFiles > size)
    return nullptr;
  names = reinterpret_cast<const char*>(header) + header->pFiles;
  end = reinterpret_cast<const char*>(header) + size;
  return header;
}

}  // namespace

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
  const LONG exStyle = GetWindowLong(hwnd, GWL_EXSTYLE);
  SetWindowLong(hwnd, GWL_EXSTYLE,
                accept ? (exStyle | static_cast<LONG>(WS_EX_ACCEPTFILES)) : (exStyle & ~static_cast<LONG>(WS_EX_ACCEPTFILES)));
}

UINT DragQueryFile(HDROP drop, UINT index, LPSTR file, UINT size)
{
  const char* names = nullptr;
  const char* end = nullptr;
  if (!Header(drop, names, end))
    return 0;
  UINT count = 0;
  for (const char* p = names; p < end && *p != '\0'; ++count) {
    const char* zero = static_cast<const char*>(std::memchr(p, '\0', static_cast<size_t>(end - p)));
    if (!zero)
      break;  // a name running off the block is not one
    if (count == index) {
      const UINT length = static_cast<UINT>(zero - p);
      if (!file)
        return length;
      if (size == 0)
        return 0;
      const UINT copied = length < size - 1 ? length : size - 1;
      std::memcpy(file, p, copied);
      file[copied] = '\0';
      return copied;
    }
    p = zero + 1;
  }
  return index == 0xFFFFFFFF ? count : 0;
}

BOOL DragQueryPoint(HDROP drop, POINT* point)
{
  const char* names = nullptr;
  const char* end = nullptr;
  const DROPFILES* header = Header(drop, names, end);
  if (!header || !point)
    return FALSE;
  *point = header->pt;
  return !header->fNC;
}

void DragFinish(HDROP drop) { GlobalFree(reinterpret_cast<HGLOBAL>(drop)); }

namespace user {

bool InjectFileDrop(POINT screen, const std::string& uriList)
{
  HWND target = WindowFromPoint(screen);
  while (target && (GetWindowLong(target, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_ACCEPTFILES)) == 0)
    target = (GetWindowLong(target, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0 ? GetParent(target) : nullptr;
  if (!target)
    return false;
  const std::vector<std::string> files = LocalFilesOfUriList(uriList);
  if (files.empty())
    return false;
  SIZE_T bytes = sizeof(DROPFILES) + 1;
  for (const std::string& f : files)
    bytes += f.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  if (!memory)
    return false;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  POINT client = screen;
  ScreenToClient(target, &client);
  RECT area{};
  GetClientRect(target, &area);
  header->pt = client;
  header->fNC = (client.x < area.left || client.y < area.top || client.x >= area.right || client.y >= area.bottom)
                    ? TRUE
                    : FALSE;
  char* out = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
  for (const std::string& f : files) {
    std::memcpy(out, f.c_str(), f.size() + 1);
    out += f.size() + 1;
  }
  GlobalUnlock(memory);
  if (!PostMessage(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

}  // namespace user
