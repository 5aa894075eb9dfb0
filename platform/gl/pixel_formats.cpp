#include "platform/gl/pixel_formats.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

namespace platform::gl {

namespace {

PIXELFORMATDESCRIPTOR MakeFormat(bool doubleBuffered, BYTE depthBits, BYTE stencilBits)
{
  PIXELFORMATDESCRIPTOR f;
  // Double-buffered formats draw to windows only; single-buffered ones also to bitmaps, mixed with GDI drawing,
  // as the software renderer of the original platform offered.
  f.dwFlags = doubleBuffered ? PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER
                             : PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;
  f.iPixelType = PFD_TYPE_RGBA;
  // The surfaces' BGRA words: blue in the low byte, alpha in the high one.
  f.cColorBits = 32;
  f.cRedBits = 8;
  f.cRedShift = 16;
  f.cGreenBits = 8;
  f.cGreenShift = 8;
  f.cBlueBits = 8;
  f.cBlueShift = 0;
  f.cAlphaBits = 8;
  f.cAlphaShift = 24;
  f.cDepthBits = depthBits;
  f.cStencilBits = stencilBits;
  f.iLayerType = PFD_MAIN_PLANE;
  return f;
}

const std::array<PIXELFORMATDESCRIPTOR, 8> kFormats = {
    MakeFormat(true, 24, 8),  MakeFormat(true, 24, 0),  MakeFormat(true, 16, 0),  MakeFormat(true, 0, 0),
    MakeFormat(false, 24, 8), MakeFormat(false, 24, 0), MakeFormat(false, 16, 0), MakeFormat(false, 0, 0),
};

struct FormatTable {
  std::mutex mutex;
  std::map<HDC, int> byDC;
  std::map<Drawable, int> byDrawable;
};

FormatTable& Table()
{
  static FormatTable table;
  return table;
}

}  // namespace

Drawable DrawableOf(HDC__& dc)
{
  if (dc.kind == gdi::DCKind::Memory)
    return {dc.st.bitmap.get(), 0, 0};
  return {dc.surface, dc.origin.x, dc.origin.y};
}

int FormatCount() { return static_cast<int>(kFormats.size()); }

const PIXELFORMATDESCRIPTOR* FormatAt(int index)
{
  if (index < 1 || index > FormatCount())
    return nullptr;
  return &kFormats[static_cast<std::size_t>(index - 1)];
}

}  // namespace platform::gl

using platform::gl::FormatAt;
using platform::gl::FormatCount;

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request)
{
  if (!gdi::LookupDC(dc) || !request) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const DWORD required = request->dwFlags & (PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL);
  const bool anyBuffering = request->dwFlags & PFD_DOUBLEBUFFER_DONTCARE;
  const bool wantDouble = request->dwFlags & PFD_DOUBLEBUFFER;
  const bool anyDepth = request->dwFlags & PFD_DEPTH_DONTCARE;

  int best = 0;
  std::tuple<bool, bool, bool, int, int> bestScore;
  for (int i = 1; i <= FormatCount(); ++i) {
    const PIXELFORMATDESCRIPTOR& f = *FormatAt(i);
    if ((f.dwFlags & required) != required || f.iPixelType != request->iPixelType)
      continue;
    const bool isDouble = f.dwFlags & PFD_DOUBLEBUFFER;
    const int depthWanted = anyDepth ? 0 : request->cDepthBits;
    // Lower is better, in this order: enough stencil, enough depth, the buffering asked for, then the
    // closest bit counts.
    const auto score = std::make_tuple(f.cStencilBits < request->cStencilBits, f.cDepthBits < depthWanted,
                                       !anyBuffering && isDouble != wantDouble,
                                       std::abs(f.cDepthBits - depthWanted),
                                       std::abs(f.cStencilBits - request->cStencilBits));
    if (best == 0 || score < bestScore) {
      best = i;
      bestScore = score;
    }
  }
  if (best == 0)
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return best;
}

int DescribePixelFormat(HDC dc, int index, UINT size, LPPIXELFORMATDESCRIPTOR out)
{
  if (!gdi::LookupDC(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (out) {
    const PIXELFORMATDESCRIPTOR* f = FormatAt(index);
    if (!f) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    std::memcpy(out, f, std::min<std::size_t>(size, sizeof *f));
  }
  return FormatCount();
}

BOOL SetPixelFormat(HDC dc, int index, const PIXELFORMATDESCRIPTOR*)
{
  HDC__* d = gdi::LookupDC(dc);
  if (!d) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const PIXELFORMATDESCRIPTOR* f = FormatAt(index);
  const DWORD target = d->kind == gdi::DCKind::Memory ? PFD_DRAW_TO_BITMAP : PFD_DRAW_TO_WINDOW;
  if (!f || !(f->dwFlags & target) || d->kind == gdi::DCKind::Printer || d->kind == gdi::DCKind::Info) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  auto& table = platform::gl::Table();
  std::lock_guard lock(table.mutex);
  // A DC handle can come back for a new DC after DeleteDC, so a second call replaces the format rather than
  // being refused as a window's second format would be.
  table.byDC[dc] = index;
  table.byDrawable[platform::gl::DrawableOf(*d)] = index;
  return TRUE;
}

int GetPixelFormat(HDC dc)
{
  HDC__* d = gdi::LookupDC(dc);
  if (!d) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto& table = platform::gl::Table();
  std::lock_guard lock(table.mutex);
  if (auto it = table.byDC.find(dc); it != table.byDC.end())
    return it->second;
  // Another DC of a window or bitmap that has a format.
  auto it = table.byDrawable.find(platform::gl::DrawableOf(*d));
  return it == table.byDrawable.end() ? 0 : it->second;
}
