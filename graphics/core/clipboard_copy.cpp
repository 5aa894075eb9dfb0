#include "graphics/core/clipboard_copy.h"

#include "document/graphic_core.h"
#include "geometry/gl_context.h"
#include "graphics/core/scene_palette.h"
#include "platform/gdi/wingdi.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

#include <GL/gl.h>

#include <cstring>
#include <new>
#include <vector>

size_t DibImageSize(int width, int height)
{
  if (width <= 0 || height <= 0 || width > kMaxClipboardViewSide || height > kMaxClipboardViewSide)
    return 0;
  const size_t stride = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
  return stride * static_cast<size_t>(height);
}

namespace {

// Switches the palette to picture colours for the copy and back afterwards.
class PictureColours {
public:
  explicit PictureColours(bool wanted)
  {
    CScenePalette* palette = CScenePalette::GetInstance();
    if (!wanted || palette->GetPictureFlag() == 1)
      return;
    palette->SetPictureFlag(1);
    palette->Reset();
    m_switched = true;
  }
  ~PictureColours()
  {
    if (!m_switched)
      return;
    CScenePalette* palette = CScenePalette::GetInstance();
    palette->SetPictureFlag(0);
    palette->Reset();
  }
  PictureColours(const PictureColours&) = delete;
  PictureColours& operator=(const PictureColours&) = delete;

private:
  bool m_switched = false;
};

// A packed DIB (header, then the rows) in global memory for CF_DIB; null when it cannot be allocated.
HGLOBAL PackedDib(const BITMAPINFOHEADER& header, const std::vector<BYTE>& pixels)
{
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof header + pixels.size());
  if (!memory)
    return nullptr;
  auto* bytes = static_cast<BYTE*>(GlobalLock(memory));
  std::memcpy(bytes, &header, sizeof header);
  std::memcpy(bytes + sizeof header, pixels.data(), pixels.size());
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

BOOL CopyViewToClipboard(CGraphicCore* core, HWND view, int screenColours)
{
  if (!core || !view)
    return FALSE;
  RECT client{};
  GetClientRect(view, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  // The buffer is sized from the client area: an empty or absurd view is refused before anything is allocated.
  const size_t imageSize = DibImageSize(width, height);
  if (imageSize == 0)
    return FALSE;

  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(imageSize);

  std::vector<BYTE> pixels;
  try {
    pixels.resize(imageSize);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }

  {
    const PictureColours colours(screenColours == 0);
    // The copy's frame is drawn but never shown: the window keeps its picture.
    core->m_bSwapBuffers = FALSE;
    core->Render(0, 0);
    const bool read = HasCurrentGlContext();
    if (read) {
      glPixelStorei(GL_PACK_ALIGNMENT, 4);
      glReadBuffer(GL_BACK);
      glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    }
    core->m_bSwapBuffers = TRUE;
    if (!read)
      return FALSE;
  }

  HDC dc = GetDC(view);
  BITMAPINFO info{};
  info.bmiHeader = header;
  HBITMAP bitmap = CreateDIBitmap(dc, &header, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(view, dc);
  if (!bitmap)
    return FALSE;
  if (!OpenClipboard(GetParent(view))) {
    DeleteObject(bitmap);
    return FALSE;
  }
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  // Windows derives CF_DIB from the bitmap for readers that want one; this clipboard does not, so it is given.
  if (HGLOBAL dib = PackedDib(header, pixels))
    SetClipboardData(CF_DIB, dib);
  CloseClipboard();
  return TRUE;
}
