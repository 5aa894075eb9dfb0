// Accelerator tables and TranslateAccelerator.
#include "platform/mfc-core/resources.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/window.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

struct HACCEL__ {
  std::vector<ACCEL> entries;
};

namespace {

std::mutex& Mutex()
{
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::set<HACCEL>& Tables()
{
  static auto* tables = new std::set<HACCEL>;
  return *tables;
}

}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count)
{
  if (entries == nullptr || count <= 0) {
    return nullptr;
  }
  auto* table = new HACCEL__;
  table->entries.assign(entries, entries + count);
  std::lock_guard lock(Mutex());
  Tables().insert(table);
  return table;
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
  std::lock_guard lock(Mutex());
  if (Tables().erase(table) == 0) {
    return FALSE;
  }
  delete table;
  return TRUE;
}

int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int count)
{
  std::lock_guard lock(Mutex());
  if (Tables().count(table) == 0) {
    return 0;
  }
  const int size = static_cast<int>(table->entries.size());
  if (entries == nullptr) {
    return size;
  }
  const int n = std::min(size, count);
  for (int i = 0; i < n; ++i) {
    entries[i] = table->entries[static_cast<std::size_t>(i)];
  }
  return n;
}

HACCEL LoadAccelerators(HINSTANCE instance, LPCSTR name)
{
  // Our modules know their resources by number only.
  if (name == nullptr || !IS_INTRESOURCE(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const platform::AcceleratorTableResource* found =
      platform::FindAcceleratorTable(instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  if (found == nullptr) {
    return nullptr;
  }
  std::vector<ACCEL> entries;
  for (std::size_t i = 0; i < found->entryCount; ++i) {
    const platform::AcceleratorResource& e = found->entries[i];
    entries.push_back(ACCEL{e.flags, e.key, e.command});
  }
  return CreateAcceleratorTable(entries.data(), static_cast<int>(entries.size()));
}

int TranslateAccelerator(HWND hwnd, HACCEL table, MSG* msg)
{
  if (hwnd == nullptr || msg == nullptr) {
    return 0;
  }
  const UINT m = msg->message;
  const bool keyDown = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  const bool character = m == WM_CHAR || m == WM_SYSCHAR;
  if (!keyDown && !character) {
    return 0;
  }
  std::vector<ACCEL> entries;
  {
    std::lock_guard lock(Mutex());
    if (Tables().count(table) == 0) {
      return 0;
    }
    entries = table->entries;
  }
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool alt = (msg->lParam & (1 << 29)) != 0;
  for (const ACCEL& a : entries) {
    bool match = false;
    if ((a.fVirt & FVIRTKEY) != 0) {
      match = keyDown && a.key == msg->wParam && ((a.fVirt & FSHIFT) != 0) == shift &&
              ((a.fVirt & FCONTROL) != 0) == ctrl && ((a.fVirt & FALT) != 0) == alt;
    } else {
      match = character && a.key == msg->wParam && ((a.fVirt & FALT) != 0) == alt;
    }
    if (match) {
      SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
      return 1;
    }
  }
  return 0;
}
