// Files dropped on a window from another program: a window that accepts them is sent WM_DROPFILES with an
// HDROP, which it reads with DragQueryFile and gives back with DragFinish.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

#include <string>

TESMIRA_DECLARE_HANDLE(HDROP);

// The block an HDROP holds, laid out as other programs' drop data: the names follow at `pFiles`, each ended by
// a zero and the list by one more.
struct DROPFILES {
  DWORD pFiles = 0;
  POINT pt{};       // client coordinates of the window dropped on
  BOOL fNC = FALSE; // the point is outside the client area
  BOOL fWide = FALSE;
};

// Sets or clears WS_EX_ACCEPTFILES.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// 0xFFFFFFFF for `index`: the number of files. `file` null: the length of the name without its zero. Otherwise
// copies at most `size` - 1 chars and a zero, and answers the chars copied.
UINT DragQueryFile(HDROP drop, UINT index, LPSTR file, UINT size);
inline UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size)
{
  return DragQueryFile(drop, index, file, size);
}
// TRUE when the point lies in the client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

namespace user {

// The screen's drop of a text/uri-list (UTF-8, one uri a line) at a screen point: the window there, or its
// nearest ancestor that accepts files, is posted WM_DROPFILES with the local files in code page 1251. Uris that
// are not local files, and names the code page cannot spell, are left out; with none left nothing is sent.
// Answers whether a window took the drop.
bool InjectFileDrop(POINT screen, const std::string& uriList);

}  // namespace user
