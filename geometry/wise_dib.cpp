#include "geometry/wise_dib.h"

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <cstdint>

namespace {

// Every row of a picture is padded to whole 32-bit words.
std::int64_t PaddedRow(std::int64_t width, std::int64_t bitCount)
{
  return (width * bitCount + 31) / 32 * 4;
}

[[noreturn]] void ThrowBadPicture(CArchive& ar)
{
  AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
}

}  // namespace

void CWiseDib::UseAlpha()
{
  m_pixelStride = 4;
  m_header.biBitCount = 32;
  m_flags = kAlpha;
}

void CWiseDib::Create(int width, int height)
{
  width = std::max(width, 0);
  height = std::max(height, 0);
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_rowStride = static_cast<int>(PaddedRow(width, m_header.biBitCount));
  // One byte beyond the rows, as every picture of the program has had.
  m_header.biSizeImage = static_cast<DWORD>(static_cast<std::int64_t>(m_rowStride) * height + 1);
  m_pixels.assign(m_header.biSizeImage, 0);
}

void CWiseDib::Fill(COLORREF colour)
{
  for (int row = 0; row < m_header.biHeight; ++row) {
    for (int column = 0; column < m_header.biWidth; ++column) {
      BYTE* pixel = PixelAt(column, row);
      pixel[0] = GetBValue(colour);
      pixel[1] = GetGValue(colour);
      pixel[2] = GetRValue(colour);
    }
  }
}

void CWiseDib::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    ar.Write(m_colourEntry, 4);
    ar << m_header.biSize << m_header.biWidth << m_header.biHeight << m_header.biPlanes << m_header.biBitCount
       << m_header.biCompression << m_header.biSizeImage << m_header.biXPelsPerMeter << m_header.biYPelsPerMeter
       << m_header.biClrUsed << m_header.biClrImportant;
    ar << m_rowStride << m_pixelStride << m_flags;
    std::vector<BYTE> row(static_cast<std::size_t>(std::max(m_header.biWidth, 0)) * 3);
    for (int r = 0; r < m_header.biHeight; ++r) {
      for (int c = 0; c < m_header.biWidth; ++c)
        std::copy_n(PixelAt(c, r), 3, row.begin() + static_cast<std::ptrdiff_t>(c) * 3);
      ar.Write(row.data(), static_cast<UINT>(row.size()));
    }
    return;
  }

  BYTE colourEntry[4];
  if (ar.Read(colourEntry, 4) != 4)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  _WISE_DIB_HEADER header;
  ar >> header.biSize >> header.biWidth >> header.biHeight >> header.biPlanes >> header.biBitCount >>
      header.biCompression >> header.biSizeImage >> header.biXPelsPerMeter >> header.biYPelsPerMeter >>
      header.biClrUsed >> header.biClrImportant;
  int rowStride = 0;
  int pixelStride = 0;
  DWORD flags = 0;
  ar >> rowStride >> pixelStride >> flags;

  // The header must describe a buffer that holds every pixel it names, and no more than its padded rows and
  // the spare byte: a damaged size must not make us allocate what the file cannot back.
  const std::int64_t width = header.biWidth;
  const std::int64_t height = header.biHeight;
  const std::int64_t imageSize = static_cast<LONG>(header.biSizeImage);
  // Rows without width (or width without rows) hold no pixel, yet a reader would walk every row.
  if (width < 0 || height < 0 || (width == 0) != (height == 0) || (pixelStride != 3 && pixelStride != 4))
    ThrowBadPicture(ar);
  const std::int64_t tightRow = width * pixelStride;
  if (rowStride < tightRow || rowStride > (tightRow + 3) / 4 * 4)
    ThrowBadPicture(ar);
  const std::int64_t needed = width > 0 && height > 0 ? (height - 1) * rowStride + tightRow : 0;
  if (imageSize < needed || imageSize > static_cast<std::int64_t>(rowStride) * height + 1)
    ThrowBadPicture(ar);
  const auto storedBytes = static_cast<ULONGLONG>(width * height * 3);
  ar.EnsureAvailable(storedBytes);

  CWiseDib loaded;
  std::copy_n(colourEntry, 4, loaded.m_colourEntry);
  loaded.m_header = header;
  loaded.m_rowStride = rowStride;
  loaded.m_pixelStride = pixelStride;
  loaded.m_flags = flags;
  loaded.m_pixels.assign(static_cast<std::size_t>(imageSize), 0);
  std::vector<BYTE> row(static_cast<std::size_t>(width) * 3);
  for (int r = 0; r < height; ++r) {
    if (ar.Read(row.data(), static_cast<UINT>(row.size())) != row.size())
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    for (int c = 0; c < width; ++c)
      std::copy_n(row.begin() + static_cast<std::ptrdiff_t>(c) * 3, 3, loaded.PixelAt(c, r));
  }
  *this = std::move(loaded);
}
