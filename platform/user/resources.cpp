#include "platform/user/resources.h"

#include "platform/base/paths.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/wingdi.h"
#include "platform/gdi/windraw.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/picture_bytes.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

namespace {

using namespace picture_bytes;

template <class T>
T Get(const BYTE* p)
{
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// ---- Bitmaps

HBITMAP BitmapFromDib(const BYTE* data, std::size_t size, int cx, int cy, UINT flags)
{
  std::optional<Dib> dib = ReadDib(data, size);
  if (!dib || !RowsPresent(*dib, static_cast<std::size_t>(dib->height))) {
    return nullptr;
  }
  // The info block as GDI reads it: our header (later versions cut to 40 bytes), then the colour table.
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(dib->tableSize) * 4);
  BITMAPINFOHEADER header = dib->header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biClrUsed = static_cast<DWORD>(dib->tableSize);
  std::memcpy(info.data(), &header, sizeof header);
  if (dib->tableSize > 0) {
    std::memcpy(info.data() + sizeof header, dib->table, static_cast<std::size_t>(dib->tableSize) * 4);
  }
  const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
  const int width = cx > 0 ? cx : dib->width;
  const int height = cy > 0 ? cy : dib->height;

  HBITMAP bitmap = nullptr;
  if ((flags & LR_CREATEDIBSECTION) != 0) {
    BITMAPINFO section{};
    section.bmiHeader.biWidth = width;
    section.bmiHeader.biHeight = height;
    section.bmiHeader.biBitCount = header.biBitCount == 32 ? 32 : 24;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, &section, DIB_RGB_COLORS, &bits, nullptr, 0);
  } else {
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
  }
  if (bitmap == nullptr) {
    return nullptr;
  }
  if (width == dib->width && height == dib->height) {
    SetDIBits(nullptr, bitmap, 0, static_cast<UINT>(dib->height), dib->bits, bmi, DIB_RGB_COLORS);
  } else {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, dib->width, dib->height, dib->bits, bmi, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  return bitmap;
}

// ---- Icons and cursors

gdi::Image Scaled(const gdi::Image& from, int width, int height)
{
  if (from.width == width && from.height == height) {
    return from;
  }
  gdi::Image to = from;
  to.width = width;
  to.height = height;
  to.color.assign(static_cast<std::size_t>(width) * height, 0);
  to.transparent.assign(to.color.size(), 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t src = static_cast<std::size_t>(y * from.height / height) * from.width + x * from.width / width;
      to.color[static_cast<std::size_t>(y) * width + x] = from.color[src];
      to.transparent[static_cast<std::size_t>(y) * width + x] = from.transparent[src];
    }
  }
  return to;
}

// The size asked for: given, the system's with LR_DEFAULTSIZE, else the image's own (0).
SIZE WantedSize(UINT type, int cx, int cy, UINT flags)
{
  if ((flags & LR_DEFAULTSIZE) != 0) {
    if (cx == 0) cx = GetSystemMetrics(type == IMAGE_CURSOR ? SM_CXCURSOR : SM_CXICON);
    if (cy == 0) cy = GetSystemMetrics(type == IMAGE_CURSOR ? SM_CYCURSOR : SM_CYICON);
  }
  return SIZE{cx, cy};
}

HICON MakeIconOfSize(gdi::Image image, POINT hotspot, bool isIcon, SIZE wanted)
{
  const int width = wanted.cx > 0 ? wanted.cx : image.width;
  const int height = wanted.cy > 0 ? wanted.cy : image.height;
  if (width != image.width || height != image.height) {
    hotspot = POINT{hotspot.x * width / image.width, hotspot.y * height / image.height};
    image = Scaled(image, width, height);
  }
  return gdi::MakeIcon(std::move(image), hotspot, isIcon);
}

// RT_GROUP_ICON / RT_GROUP_CURSOR: WORD 0, WORD type, WORD count, then 14-byte entries (icons: BYTE width,
// BYTE height, BYTE colours, BYTE 0, WORD planes, WORD bits; cursors: WORD width, WORD height of both halves,
// WORD planes, WORD bits), each ending in DWORD size and WORD image id.
HICON IconFromModule(HINSTANCE instance, LPCSTR name, bool isIcon, SIZE wanted)
{
  HRSRC group = FindResource(instance, name, isIcon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (group == nullptr) {
    return nullptr;
  }
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(instance, group)));
  const DWORD size = SizeofResource(instance, group);
  if (dir == nullptr || size < 6) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const WORD count = Get<WORD>(dir + 4);
  std::vector<DirectoryEntry> entries;
  for (WORD i = 0; i < count && 6u + (i + 1u) * 14u <= size; ++i) {
    const BYTE* e = dir + 6 + i * 14;
    DirectoryEntry entry{};
    if (isIcon) {
      entry.width = e[0] == 0 ? 256 : e[0];
      entry.height = e[1] == 0 ? 256 : e[1];
    } else {
      entry.width = Get<WORD>(e);
      entry.height = Get<WORD>(e + 2) / 2;
    }
    entry.bits = Get<WORD>(e + 6);
    entry.size = Get<DWORD>(e + 8);
    entry.where = Get<WORD>(e + 12);
    entries.push_back(entry);
  }
  const DirectoryEntry* chosen = Choose(entries, wanted.cx, wanted.cy);
  HRSRC found = chosen != nullptr ? FindResource(instance, MAKEINTRESOURCE(static_cast<WORD>(chosen->where)),
                                                 isIcon ? RT_ICON : RT_CURSOR)
                                  : nullptr;
  if (found == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
  std::size_t length = SizeofResource(instance, found);
  POINT hotspot{0, 0};
  if (!isIcon) {
    if (length < 4) {
      return nullptr;
    }
    hotspot = POINT{Get<WORD>(bytes), Get<WORD>(bytes + 2)};
    bytes += 4;
    length -= 4;
  }
  std::optional<gdi::Image> picture = IconPicture(bytes, length);
  if (!picture) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return MakeIconOfSize(std::move(*picture), hotspot, isIcon, wanted);
}

std::optional<std::vector<BYTE>> ReadFile(LPCSTR name)
{
  std::ifstream in(platform::ToFileSystemPath(name), std::ios::binary);
  if (!in) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  // No bitmap or icon file of the program comes near this; a larger one is not read into memory.
  constexpr std::streamoff kMaxFile = 64 << 20;
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  if (length < 0 || length > kMaxFile) {
    SetLastError(ERROR_INVALID_DATA);
    return std::nullopt;
  }
  std::vector<BYTE> bytes(static_cast<std::size_t>(length));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) {
    SetLastError(ERROR_INVALID_DATA);
    return std::nullopt;
  }
  return bytes;
}

HBITMAP BitmapFromFile(const std::vector<BYTE>& file, int cx, int cy, UINT flags)
{
  std::optional<std::vector<BYTE>> packed = PackedDibFromBmp(file);
  return packed ? BitmapFromDib(packed->data(), packed->size(), cx, cy, flags) : nullptr;
}

HICON IconFromFile(const std::vector<BYTE>& file, bool isIcon, SIZE wanted)
{
  const std::vector<DirectoryEntry> entries = IconFileEntries(file, isIcon);
  const DirectoryEntry* chosen = Choose(entries, wanted.cx, wanted.cy);
  if (chosen == nullptr) {
    return nullptr;
  }
  std::optional<gdi::Image> picture = IconPicture(file.data() + chosen->where, chosen->size);
  if (!picture) {
    return nullptr;
  }
  return MakeIconOfSize(std::move(*picture), chosen->hotspot, isIcon, wanted);
}

// ---- Shared handles: LoadIcon, LoadCursor and LR_SHARED give one handle per resource and size.

struct SharedKey {
  const void* module;
  UINT type;
  ULONG_PTR name;
  LONG cx;
  LONG cy;
  bool operator<(const SharedKey& o) const
  {
    return std::tie(module, type, name, cx, cy) < std::tie(o.module, o.type, o.name, o.cx, o.cy);
  }
};

struct SharedTable {
  std::mutex mutex;
  std::map<SharedKey, HANDLE> handles;
};

SharedTable& Shared()
{
  static auto* table = new SharedTable;
  return *table;
}

template <class Make>
HANDLE SharedHandle(const SharedKey& key, Make make)
{
  SharedTable& t = Shared();
  {
    std::lock_guard lock(t.mutex);
    auto it = t.handles.find(key);
    // A shared image someone destroyed anyway is made again rather than handed out dead.
    const bool alive = it != t.handles.end() &&
                       (key.type == IMAGE_BITMAP ? GetObjectType(static_cast<HGDIOBJ>(it->second)) == OBJ_BITMAP
                                                 : gdi::IconImage(static_cast<HICON>(it->second)) != nullptr);
    if (alive) {
      return it->second;
    }
  }
  HANDLE made = make();
  if (made != nullptr) {
    std::lock_guard lock(t.mutex);
    t.handles[key] = made;
  }
  return made;
}

// ---- The system's icons, drawn here: 32 x 32 pictures of the kinds message boxes show.

gdi::Image SystemIconPicture(ULONG_PTR id)
{
  constexpr int kSide = 32;
  gdi::Image image;
  image.width = image.height = kSide;
  image.color.assign(kSide * kSide, 0);
  image.transparent.assign(kSide * kSide, 1);
  image.hasMask = true;
  auto put = [&](int x, int y, std::uint32_t rgb) {
    image.color[static_cast<std::size_t>(y) * kSide + x] = rgb;
    image.transparent[static_cast<std::size_t>(y) * kSide + x] = 0;
  };
  const std::uint32_t red = 0xD03020, blue = 0x2050C0, yellow = 0xF0C020, white = 0xFFFFFF, black = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double dx = x - 15.5, dy = y - 15.5;
      const bool disc = dx * dx + dy * dy <= 14.5 * 14.5;
      switch (id) {
        case 32513:  // hand: a red disc with a white cross
          if (disc) put(x, y, (std::abs(dx - dy) < 3 || std::abs(dx + dy) < 3) && dx * dx + dy * dy < 81 ? white : red);
          break;
        case 32514: {  // question: a blue disc with a white question mark
          const double ax = x - 15.5, ay = y - 11.0;
          const double r = std::sqrt(ax * ax + ay * ay);
          const bool hook = r >= 3.5 && r <= 6.5 && (ay <= 0 || ax >= 0);  // the top and the right of the curl
          const bool stem = std::abs(dx) < 2 && y >= 16 && y <= 20;
          const bool dot = std::abs(dx) < 2 && y >= 23 && y <= 26;
          if (disc) put(x, y, hook || stem || dot ? white : blue);
          break;
        }
        case 32516:  // asterisk (information): a blue disc with a white "i"
          if (disc) put(x, y, std::abs(dx) < 2.5 && ((dy > -3 && dy < 9) || (dy > -10 && dy < -6)) ? white : blue);
          break;
        case 32515:  // exclamation: a yellow triangle with a black mark
          if (y >= 2 && y <= 29 && std::abs(dx) <= (y - 2) * 0.55 + 0.5) {
            put(x, y, std::abs(dx) < 2 && ((y >= 9 && y <= 20) || (y >= 23 && y <= 26)) ? black : yellow);
          }
          break;
        default:  // application and logo: a window with a blue title bar
          if (x >= 2 && x <= 29 && y >= 4 && y <= 27) {
            const bool edge = x == 2 || x == 29 || y == 4 || y == 27;
            put(x, y, edge ? black : y <= 8 ? blue : white);
          }
          break;
      }
    }
  }
  return image;
}

}  // namespace

HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param)
{
  HRSRC found = FindResource(instance, name, RT_DIALOG);
  const void* dialogTemplate = found != nullptr ? LockResource(LoadResource(instance, found)) : nullptr;
  return dialogTemplate != nullptr ? CreateDialogIndirectParam(instance, dialogTemplate, parent, proc, param)
                                   : nullptr;
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
  HRSRC found = FindResource(instance, name, RT_DIALOG);
  const void* dialogTemplate = found != nullptr ? LockResource(LoadResource(instance, found)) : nullptr;
  return dialogTemplate != nullptr ? DialogBoxIndirectParam(instance, dialogTemplate, owner, proc, param) : -1;
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name)
{
  return static_cast<HBITMAP>(LoadImage(instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
  if (name == nullptr || (type != IMAGE_BITMAP && type != IMAGE_ICON && type != IMAGE_CURSOR) || cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const SIZE wanted = type == IMAGE_BITMAP ? SIZE{cx, cy} : WantedSize(type, cx, cy, flags);
  if ((flags & LR_LOADFROMFILE) != 0) {
    if (!IS_INTRESOURCE(name)) {
      std::optional<std::vector<BYTE>> file = ReadFile(name);
      if (!file) {
        return nullptr;
      }
      HANDLE made = type == IMAGE_BITMAP ? static_cast<HANDLE>(BitmapFromFile(*file, cx, cy, flags))
                                         : static_cast<HANDLE>(IconFromFile(*file, type == IMAGE_ICON, wanted));
      if (made == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
      }
      return made;
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (instance == nullptr && type == IMAGE_CURSOR && IS_INTRESOURCE(name)) {
    return LoadCursor(nullptr, name);
  }
  if (instance == nullptr && type == IMAGE_ICON && IS_INTRESOURCE(name)) {
    return LoadIcon(nullptr, name);
  }
  auto make = [&]() -> HANDLE {
    if (type != IMAGE_BITMAP) {
      return IconFromModule(instance, name, type == IMAGE_ICON, wanted);
    }
    HRSRC found = FindResource(instance, name, RT_BITMAP);
    if (found == nullptr) {
      return nullptr;
    }
    HBITMAP made = BitmapFromDib(static_cast<const BYTE*>(LockResource(LoadResource(instance, found))),
                                 SizeofResource(instance, found), cx, cy, flags);
    if (made == nullptr) {
      SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    return made;
  };
  if ((flags & LR_SHARED) != 0 && IS_INTRESOURCE(name)) {
    return SharedHandle(SharedKey{instance, type, reinterpret_cast<ULONG_PTR>(name), wanted.cx, wanted.cy}, make);
  }
  return make();
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name)
{
  if (instance == nullptr) {
    const auto id = reinterpret_cast<ULONG_PTR>(name);
    if (!IS_INTRESOURCE(name) || id < 32512 || id > 32517) {
      SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
      return nullptr;
    }
    return static_cast<HICON>(SharedHandle(SharedKey{nullptr, IMAGE_ICON, id, 0, 0}, [id]() -> HANDLE {
      return gdi::MakeIcon(SystemIconPicture(id), POINT{0, 0}, true);
    }));
  }
  return static_cast<HICON>(LoadImage(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR LoadCursorFromModule(HINSTANCE instance, LPCSTR name)
{
  return static_cast<HCURSOR>(LoadImage(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
