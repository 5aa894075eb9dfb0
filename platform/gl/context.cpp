#include "platform/gl/pixel_formats.h"

#include "platform/gdi/dc.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct HGLRC__ {
  OSMesaContext mesa = nullptr;
  int pixelFormat = 0;
  // The picture as Mesa draws it: BGRA words, bottom row first.
  std::vector<std::uint32_t> buffer;
  int width = 0;
  int height = 0;
  // The DC it is current on (or was last), and the thread it is current on (none: default id).
  HDC dc = nullptr;
  // What that DC draws on, so that another DC of the same window finds the context.
  platform::gl::Drawable drawable;
  std::thread::id owner;
  bool everCurrent = false;
};

namespace {

// Every live context; the mutex also guards each context's dc, owner and everCurrent.
struct ContextTable {
  std::mutex mutex;
  std::map<HGLRC, std::unique_ptr<HGLRC__>> contexts;
};

ContextTable& Contexts()
{
  static ContextTable table;
  return table;
}

bool IsDoubleBuffered(const HGLRC__& context)
{
  return platform::gl::FormatAt(context.pixelFormat)->dwFlags & PFD_DOUBLEBUFFER;
}

OSMesaContext CreateMesaContext(int pixelFormat, OSMesaContext shareWith)
{
  const PIXELFORMATDESCRIPTOR* f = platform::gl::FormatAt(pixelFormat);
  return OSMesaCreateContextExt(OSMESA_BGRA, f->cDepthBits, f->cStencilBits, 0, shareWith);
}

// Copies the picture into the DC's pixels: device (0, 0) is the top-left of what the DC shows, and only what
// of the window shows is touched. GDI's own clip region does not apply, as with the original.
void Present(HGLRC__& context, HDC dc)
{
  HDC__* d = gdi::LookupDC(dc);
  if (!d)
    return;
  const gdi::PixelView view = d->View();
  if (!view.Valid())
    return;
  gdi::Region shown(RECT{0, 0, view.width, view.height}.Offset(-d->origin.x, -d->origin.y));
  if (d->area)
    shown = shown.Intersect(d->area->Offset(-d->origin.x, -d->origin.y));
  if (d->visible)
    shown = shown.Intersect(*d->visible);
  shown = shown.Intersect(RECT{0, 0, context.width, context.height});
  shown.ForEach([&](int y0, int y1, const gdi::Span& span) {
    for (int y = y0; y < y1; ++y) {
      const std::uint32_t* from = context.buffer.data() + static_cast<std::size_t>(context.height - 1 - y) * context.width;
      std::uint32_t* to = view.Row(y + d->origin.y) + d->origin.x;
      std::copy(from + span.x0, from + span.x1, to + span.x0);
    }
  });
}

bool SameDrawable(const HGLRC__& context, HDC__& d)
{
  return context.drawable.pixels && context.drawable == platform::gl::DrawableOf(d);
}

// What a frame covers: the window's client area, or the whole surface or bitmap.
SIZE DrawableSize(HDC__& d)
{
  if (d.area)
    return {d.area->Width(), d.area->Height()};
  const gdi::PixelView view = d.View();
  return {view.width, view.height};
}

// Brings the finished frame into the context's buffer, read from the buffer the program draws to rather than
// left to when Mesa writes it out; the program's read buffer and pixel-store settings stay as they were. On the
// thread the context is current on.
void ReadBack(HGLRC__& context)
{
  GLint drawBuffer = GL_BACK;
  GLint readBuffer = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
  glReadBuffer(static_cast<GLenum>(drawBuffer));
  glReadPixels(0, 0, context.width, context.height, GL_BGRA, GL_UNSIGNED_BYTE, context.buffer.data());
  glReadBuffer(static_cast<GLenum>(readBuffer));
  glPopClientAttrib();
}

// Binds the context to the calling thread with a buffer the size of the DC. Called with the table locked.
bool Bind(HGLRC__& context, HDC dc)
{
  HDC__* d = gdi::LookupDC(dc);
  if (!d)
    return false;
  const SIZE size = DrawableSize(*d);
  // Mesa wants at least one pixel; a window of no size still has a context.
  const int width = std::max<int>(1, size.cx);
  const int height = std::max<int>(1, size.cy);
  if (width != context.width || height != context.height || context.buffer.empty()) {
    context.buffer.assign(static_cast<std::size_t>(width) * height, 0);
    context.width = width;
    context.height = height;
  }
  if (!OSMesaMakeCurrent(context.mesa, context.buffer.data(), GL_UNSIGNED_BYTE, width, height))
    return false;
  context.dc = dc;
  context.drawable = platform::gl::DrawableOf(*d);
  context.owner = std::this_thread::get_id();
  context.everCurrent = true;
  return true;
}

// Called with the table locked, on the thread the context is current on.
void Unbind(HGLRC__& context)
{
  if (!IsDoubleBuffered(context)) {
    ReadBack(context);
    Present(context, context.dc);
  }
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
  context.owner = std::thread::id();
}

struct ThreadCurrent {
  HGLRC context = nullptr;
  HDC dc = nullptr;
};

thread_local ThreadCurrent t_current;

HGLRC__* Find(HGLRC context);

// A thread that ends with a context current lets it go, so that other threads can take it.
struct ThreadExitRelease {
  ~ThreadExitRelease()
  {
    if (!t_current.context)
      return;
    ContextTable& table = Contexts();
    std::lock_guard lock(table.mutex);
    if (HGLRC__* c = Find(t_current.context))
      Unbind(*c);
    t_current = {};
  }
};

thread_local ThreadExitRelease t_exitRelease;

HGLRC__* Find(HGLRC context)
{
  auto& contexts = Contexts().contexts;
  auto it = contexts.find(context);
  return it == contexts.end() ? nullptr : it->second.get();
}

void ReleaseCurrent()
{
  if (HGLRC__* c = Find(t_current.context))
    Unbind(*c);
  t_current = {};
}

}  // namespace

HGLRC wglCreateContext(HDC dc)
{
  const int format = GetPixelFormat(dc);
  if (format == 0) {
    SetLastError(gdi::LookupDC(dc) ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto context = std::make_unique<HGLRC__>();
  context->pixelFormat = format;
  context->mesa = CreateMesaContext(format, nullptr);
  if (!context->mesa) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HGLRC handle = context.get();
  ContextTable& table = Contexts();
  std::lock_guard lock(table.mutex);
  table.contexts.emplace(handle, std::move(context));
  return handle;
}

BOOL wglDeleteContext(HGLRC context)
{
  ContextTable& table = Contexts();
  std::lock_guard lock(table.mutex);
  HGLRC__* c = Find(context);
  if (!c) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (c->owner != std::thread::id() && c->owner != std::this_thread::get_id()) {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  if (t_current.context == context)
    ReleaseCurrent();
  OSMesaDestroyContext(c->mesa);
  table.contexts.erase(context);
  return TRUE;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
  ContextTable& table = Contexts();
  std::lock_guard lock(table.mutex);
  if (!context) {
    ReleaseCurrent();
    return TRUE;
  }
  HGLRC__* c = Find(context);
  if (!c || !gdi::LookupDC(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (c->owner != std::thread::id() && c->owner != std::this_thread::get_id()) {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  if (GetPixelFormat(dc) != c->pixelFormat) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  if (t_current.context && t_current.context != context)
    ReleaseCurrent();
  if (!Bind(*c, dc)) {
    t_current = {};
    c->owner = std::thread::id();
    SetLastError(ERROR_INVALID_OPERATION);
    return FALSE;
  }
  t_current = {context, dc};
  // Touching it makes sure it exists, and so runs, on this thread.
  static_cast<void>(&t_exitRelease);
  return TRUE;
}

HGLRC wglGetCurrentContext() { return t_current.context; }

HDC wglGetCurrentDC() { return t_current.dc; }

BOOL wglShareLists(HGLRC source, HGLRC other)
{
  ContextTable& table = Contexts();
  std::lock_guard lock(table.mutex);
  HGLRC__* from = Find(source);
  HGLRC__* to = Find(other);
  if (!from || !to || from == to) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // Mesa shares lists only from a context's birth, so `other` is made again; it must have nothing of its own.
  if (to->everCurrent) {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  OSMesaContext shared = CreateMesaContext(to->pixelFormat, from->mesa);
  if (!shared) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  OSMesaDestroyContext(to->mesa);
  to->mesa = shared;
  return TRUE;
}

BOOL SwapBuffers(HDC dc)
{
  ContextTable& table = Contexts();
  std::lock_guard lock(table.mutex);
  if (!gdi::LookupDC(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // The calling thread's context when it draws on this DC's window or bitmap, else whichever context drew
  // there last; a window's DC may be a new one each time it is asked for.
  HDC__* d = gdi::LookupDC(dc);
  HGLRC__* c = Find(t_current.context);
  if (c && c->dc != dc && !SameDrawable(*c, *d))
    c = nullptr;
  for (auto it = table.contexts.begin(); !c && it != table.contexts.end(); ++it)
    if (it->second->dc == dc)
      c = it->second.get();
  for (auto it = table.contexts.begin(); !c && it != table.contexts.end(); ++it)
    if (SameDrawable(*it->second, *d))
      c = it->second.get();
  if (!c) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  const bool ownedHere = c->owner == std::this_thread::get_id();
  // Only the owning thread can reach Mesa; another thread copies the frame read back last.
  if (ownedHere)
    ReadBack(*c);
  Present(*c, dc);
  // A window that changed size gets a buffer of its new size for the next frame.
  if (ownedHere) {
    const SIZE size = DrawableSize(*d);
    if ((std::max<int>(1, size.cx) != c->width || std::max<int>(1, size.cy) != c->height) && Bind(*c, dc) &&
        t_current.context == c)
      t_current.dc = dc;
  }
  return TRUE;
}
