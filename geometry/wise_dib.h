// An in-memory bottom-up picture: a bitmap header, rows padded to 4 bytes, 3 bytes a pixel (blue, green, red)
// or 4 with an alpha byte. The calculation areas keep their pictures in it and upload them as textures; the
// rasters under an area are made of it too. Both save it in the one record below.
//
// Its record in the project file (little-endian):
//   4 x uint8   colour entry: blue, green, red, reserved
//   int32       header size      int32 width        int32 height
//   uint16      planes           uint16 bit count
//   int32       compression      int32 image size (bytes of the buffer)
//   int32       x resolution     int32 y resolution  int32 colours used  int32 colours important
//   int32       row stride       int32 pixel stride  int32 flags
//   then for each row 0 .. height-1, for each column 0 .. width-1, the pixel's first 3 bytes. Fill bytes at
//   the ends of the rows and an alpha byte are not stored.
#pragma once

#include "platform/base/wintypes.h"

#include <vector>

class CArchive;

// The 40-byte bitmap header.
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

  CWiseDib() = default;
  virtual ~CWiseDib() = default;
  CWiseDib(const CWiseDib&) = default;
  CWiseDib& operator=(const CWiseDib&) = default;
  CWiseDib(CWiseDib&&) = default;
  CWiseDib& operator=(CWiseDib&&) = default;

  // Switches to 4 bytes a pixel (32 bits) with alpha; call before Create.
  void UseAlpha();
  // A zeroed buffer of height rows of width pixels, each row padded to a multiple of 4 bytes, and one spare
  // byte beyond the rows.
  void Create(int width, int height);
  // Blue, green, red of the colour into every pixel; an alpha byte is left alone.
  void Fill(COLORREF colour);
  // The record above. Loading checks the header against itself and against what the file still holds before
  // it allocates, and throws the archive's error otherwise; the alpha bytes of a loaded picture are 0.
  virtual void Serialize(CArchive& ar);

  int GetWidth() const { return m_header.biWidth; }
  int GetHeight() const { return m_header.biHeight; }
  int GetRowStride() const { return m_rowStride; }
  int GetPixelStride() const { return m_pixelStride; }
  DWORD GetFlags() const { return m_flags; }
  bool HasAlpha() const { return (m_flags & kAlpha) != 0; }
  const _WISE_DIB_HEADER& GetHeader() const { return m_header; }
  const BYTE* GetColourEntry() const { return m_colourEntry; }
  BYTE* GetPixels() { return m_pixels.data(); }
  const BYTE* GetPixels() const { return m_pixels.data(); }
  std::size_t GetBufferSize() const { return m_pixels.size(); }
  BYTE* PixelAt(int column, int row) { return m_pixels.data() + Offset(column, row); }
  const BYTE* PixelAt(int column, int row) const { return m_pixels.data() + Offset(column, row); }
  bool IsEmpty() const { return m_pixels.empty(); }

private:
  std::size_t Offset(int column, int row) const
  {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_rowStride) +
           static_cast<std::size_t>(column) * static_cast<std::size_t>(m_pixelStride);
  }

  _WISE_DIB_HEADER m_header;
  BYTE m_colourEntry[4] = {};
  int m_rowStride = 0;
  int m_pixelStride = 3;
  DWORD m_flags = kOpaque;
  std::vector<BYTE> m_pixels;
};
