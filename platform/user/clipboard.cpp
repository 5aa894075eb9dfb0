// The clipboard, kept in this process: one owner, formats in the order they were set.
#include "platform/user/clipboard.h"

#include "platform/gdi/wingdi.h"
#include "platform/user/global_memory.h"
#include "platform/user/messages.h"
#include "platform/user/state.h"

#include <cstring>
#include <vector>

using namespace user::detail;

namespace {

struct Entry {
  UINT format = 0;
  HANDLE data = nullptr;
};

struct Clipboard {
  std::mutex mutex;
  std::condition_variable free;
  bool open = false;
  DWORD openThread = 0;
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  bool emptiedWhileOpen = false;
  bool rendering = false;  // an owner is rendering a promised format
  bool textChanged = false;  // text was set while open: the screen hears of it on closing
  std::vector<Entry> entries;
  DWORD sequence = 1;
};

Clipboard& C()
{
  static auto* c = new Clipboard;
  return *c;
}

bool IsGdiFormat(UINT format) { return format == CF_BITMAP || format == CF_PALETTE; }

void Release(const Entry& e)
{
  if (e.data == nullptr) {
    return;
  }
  if (IsGdiFormat(e.format)) {
    DeleteObject(static_cast<HGDIOBJ>(e.data));
  } else {
    GlobalFree(e.data);
  }
}

bool OpenedHere(Clipboard& c) { return c.open && c.openThread == CurrentThreadId(); }

}  // namespace

BOOL OpenClipboard(HWND owner)
{
  Clipboard& c = C();
  // What another program copied since is the clipboard now.
  std::string foreign;
  const bool imported = ScreenClipboardText(foreign);
  std::vector<Entry> stale;
  {
    std::lock_guard lock(c.mutex);
    if (c.open) {
      return FALSE;
    }
    c.open = true;
    c.openThread = CurrentThreadId();
    c.openWindow = owner;
    c.emptiedWhileOpen = false;
    c.textChanged = false;
    if (imported) {
      stale.swap(c.entries);
      HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, foreign.size() + 1);
      std::memcpy(GlobalLock(h), foreign.c_str(), foreign.size() + 1);
      GlobalUnlock(h);
      c.entries.push_back(Entry{CF_TEXT, h});
      c.owner = nullptr;
      ++c.sequence;
    }
  }
  for (const Entry& e : stale) {
    Release(e);
  }
  return TRUE;
}

BOOL CloseClipboard()
{
  Clipboard& c = C();
  std::string offer;
  bool changed = false;
  {
    std::lock_guard lock(c.mutex);
    if (!OpenedHere(c)) {
      return FALSE;
    }
    c.open = false;
    c.openWindow = nullptr;
    changed = c.textChanged;
    for (const Entry& e : c.entries) {
      if (changed && e.format == CF_TEXT && e.data != nullptr) {
        if (const char* p = static_cast<const char*>(GlobalLock(e.data))) {
          offer.assign(p, strnlen(p, GlobalSize(e.data)));
        }
        GlobalUnlock(e.data);
      }
    }
  }
  if (changed) {
    // Other programs on the screen may paste it.
    OfferScreenClipboardText(offer);
  }
  return TRUE;
}

BOOL EmptyClipboard()
{
  Clipboard& c = C();
  std::vector<Entry> old;
  HWND previousOwner = nullptr;
  HWND newOwner = nullptr;
  {
    std::lock_guard lock(c.mutex);
    if (!OpenedHere(c)) {
      return FALSE;
    }
    old.swap(c.entries);
    previousOwner = c.owner;
    newOwner = c.openWindow;
    c.owner = newOwner;
    c.emptiedWhileOpen = true;
    ++c.sequence;
  }
  if (previousOwner != nullptr && IsWindow(previousOwner)) {
    SendMessage(previousOwner, WM_DESTROYCLIPBOARD, 0, 0);
  }
  for (const Entry& e : old) {
    Release(e);
  }
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
  Clipboard& c = C();
  Entry replaced;
  {
    std::lock_guard lock(c.mutex);
    if ((!OpenedHere(c) && !c.rendering) || format == 0) {
      return nullptr;
    }
    bool found = false;
    for (Entry& e : c.entries) {
      if (e.format == format) {
        replaced = e;
        e.data = data;
        found = true;
      }
    }
    if (!found) {
      c.entries.push_back(Entry{format, data});
    }
    if (format == CF_TEXT) {
      c.textChanged = true;
    }
    ++c.sequence;
  }
  if (replaced.data != nullptr && replaced.data != data) {
    Release(replaced);
  }
  return data;
}

HANDLE GetClipboardData(UINT format)
{
  Clipboard& c = C();
  HWND owner = nullptr;
  {
    std::lock_guard lock(c.mutex);
    if (!OpenedHere(c)) {
      return nullptr;
    }
    for (const Entry& e : c.entries) {
      if (e.format == format) {
        if (e.data != nullptr) {
          return e.data;
        }
        owner = c.owner;
      }
    }
  }
  if (owner != nullptr && IsWindow(owner)) {
    // A promised format: its owner renders it now, setting the data without opening the clipboard.
    {
      std::lock_guard lock(c.mutex);
      c.rendering = true;
    }
    SendMessage(owner, WM_RENDERFORMAT, format, 0);
    std::lock_guard lock(c.mutex);
    c.rendering = false;
    for (const Entry& e : c.entries) {
      if (e.format == format) {
        return e.data;
      }
    }
  }
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  for (const Entry& e : c.entries) {
    if (e.format == format) {
      return TRUE;
    }
  }
  return FALSE;
}

UINT EnumClipboardFormats(UINT format)
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  if (!OpenedHere(c)) {
    return 0;
  }
  if (format == 0) {
    return c.entries.empty() ? 0 : c.entries.front().format;
  }
  for (std::size_t i = 0; i + 1 < c.entries.size(); ++i) {
    if (c.entries[i].format == format) {
      return c.entries[i + 1].format;
    }
  }
  return 0;
}

int CountClipboardFormats()
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  return static_cast<int>(c.entries.size());
}

UINT RegisterClipboardFormat(LPCSTR name) { return RegisterWindowMessage(name); }

int GetClipboardFormatName(UINT format, LPSTR buffer, int size)
{
  if (format < 0xC000 || buffer == nullptr || size <= 0) {
    return 0;
  }
  std::string name;
  {
    Lock lock(S().mutex);
    name = AtomName(static_cast<ATOM>(format));
  }
  int n = std::min<int>(static_cast<int>(name.size()), size - 1);
  std::memcpy(buffer, name.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

HWND GetClipboardOwner()
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  return c.owner;
}

HWND GetOpenClipboardWindow()
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  return c.open ? c.openWindow : nullptr;
}

DWORD GetClipboardSequenceNumber()
{
  Clipboard& c = C();
  std::lock_guard lock(c.mutex);
  return c.sequence;
}
