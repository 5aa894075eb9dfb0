#include "platform/gl/wgl.h"

#include "platform/base/codepage.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"

#include <GL/gl.h>

#include <vector>

namespace {

// Glyph coverage at or above this is ink: the lists are one bit deep, as GDI's glyph bitmaps are.
constexpr std::uint8_t kInkCoverage = 128;

BOOL UseFontBitmaps(HDC dc, DWORD first, DWORD count, DWORD listBase, bool cp1251)
{
  HDC__* d = gdi::LookupDC(dc);
  if (!d || !d->st.font) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!wglGetCurrentContext()) {
    SetLastError(ERROR_INVALID_OPERATION);
    return FALSE;
  }
  const auto font = gdi::RealizeFont(d->st.font->logFont, d->ScaleY(), d->ScaleX());
  if (!font) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  while (glGetError() != GL_NO_ERROR) {
  }

  // Bitmap rows are packed tight, whatever the program set for its own images.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);

  std::vector<GLubyte> bits;
  for (DWORD i = 0; i < count; ++i) {
    const DWORD code = first + i;
    const char32_t ch = cp1251 && code < 256 ? codepage::Cp1251ToUnicode(static_cast<unsigned char>(code))
                                             : static_cast<char32_t>(code);
    const gdi::Glyph& glyph = font->GetGlyph(ch);
    const int rowBytes = (glyph.width + 7) / 8;
    bits.assign(static_cast<std::size_t>(rowBytes) * glyph.height, 0);
    // GL bitmaps run bottom row first, the glyph image top row first.
    for (int y = 0; y < glyph.height; ++y) {
      const std::uint8_t* coverage = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
      GLubyte* row = bits.data() + static_cast<std::size_t>(glyph.height - 1 - y) * rowBytes;
      for (int x = 0; x < glyph.width; ++x)
        if (coverage[x] >= kInkCoverage)
          row[x / 8] |= static_cast<GLubyte>(0x80u >> (x % 8));
    }
    glNewList(listBase + i, GL_COMPILE);
    // The origin is the pen position on the baseline; the glyph's bottom row lies (height - top) below it.
    glBitmap(glyph.width, glyph.height, static_cast<GLfloat>(-glyph.left),
             static_cast<GLfloat>(glyph.height - glyph.top), static_cast<GLfloat>(font->Advance(ch)), 0.0f,
             bits.empty() ? nullptr : bits.data());
    glEndList();
  }
  glPopClientAttrib();

  if (glGetError() != GL_NO_ERROR) {
    SetLastError(ERROR_INVALID_OPERATION);
    return FALSE;
  }
  return TRUE;
}

}  // namespace

BOOL wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase)
{
  return UseFontBitmaps(dc, first, count, listBase, true);
}

BOOL wglUseFontBitmapsW(HDC dc, DWORD first, DWORD count, DWORD listBase)
{
  return UseFontBitmaps(dc, first, count, listBase, false);
}
