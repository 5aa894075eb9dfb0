// An in-memory picture: a bitmap header, rows padded to 4 bytes, 3 bytes a pixel (blue, green, red) or 4 with
// an alpha byte. The calculation areas keep their pictures in it and upload them as textures.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/archive.h"

#include <vector>

// The 40-byte bitmap header, laid out as the file form needs it.
struct _WISE_DIB_HEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 24;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(_WISE_DIB_HEADER) == 40);

class CWiseDib {
public:
  static constexpr DWORD kOpaque = 0x1;
  static constexpr DWORD kAlpha = 0x2;

  // Switches to 4 bytes a pixel with alpha; call before Create.
  void UseAlpha();
  // A zeroed buffer of height rows of width pixels, each row padded to a multiple of 4 bytes.
  void Create(int width, int height);
  // Blue, green, red of the colour into every pixel; an alpha byte is left alone.
  void Fill(COLORREF colour);
  // Header, int32 row stride, int32 pixel stride, int32 flags, int32 byte count, the pixel bytes.
  void Serialize(CArchive& ar, DWORD version);

  int GetWidth() const { return m_header.biWidth; }
  int GetHeight() const { return m_header.biHeight; }
  int GetRowStride() const { return m_rowStride; }
  int GetPixelStride() const { return m_pixelStride; }
  bool HasAlpha() const { return (m_flags & kAlpha) != 0; }
  BYTE* GetPixels() { return m_pixels.data(); }
  const BYTE* GetPixels() const { return m_pixels.data(); }
  BYTE* PixelAt(int column, int row) { return m_pixels.data() + row * m_rowStride + column * m_pixelStride; }
  bool IsEmpty() const { return m_pixels.empty(); }

private:
  _WISE_DIB_HEADER m_header;
  int m_rowStride = 0;
  int m_pixelStride = 3;
  DWORD m_flags = kOpaque;
  std::vector<BYTE> m_pixels;
};
