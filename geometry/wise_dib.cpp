#include "geometry/wise_dib.h"

#include "platform/mfc-core/exceptions.h"

#include <cstring>

void CWiseDib::UseAlpha()
{
  m_pixelStride = 4;
  m_header.biBitCount = 32;
  m_flags = kAlpha;
}

void CWiseDib::Create(int width, int height)
{
  if (width < 0 || height < 0) {
    width = height = 0;
  }
  m_header.biWidth = width;
  m_header.biHeight = height;
  m_rowStride = (width * m_pixelStride + 3) & ~3;
  m_header.biSizeImage = static_cast<DWORD>(m_rowStride) * static_cast<DWORD>(height);
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

void CWiseDib::Serialize(CArchive& ar, DWORD /*version*/)
{
  if (ar.IsStoring()) {
    ar.Write(&m_header, sizeof m_header);
    ar << m_rowStride << m_pixelStride << static_cast<int>(m_flags) << static_cast<int>(m_pixels.size());
    ar.Write(m_pixels.data(), static_cast<UINT>(m_pixels.size()));
    return;
  }
  _WISE_DIB_HEADER header;
  if (ar.Read(&header, sizeof header) != sizeof header) {
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  }
  int rowStride = 0;
  int pixelStride = 0;
  int flags = 0;
  int byteCount = 0;
  ar >> rowStride >> pixelStride >> flags >> byteCount;
  const bool consistent = header.biWidth >= 0 && header.biHeight >= 0 && (pixelStride == 3 || pixelStride == 4) &&
                          rowStride == ((header.biWidth * pixelStride + 3) & ~3) &&
                          static_cast<long long>(rowStride) * header.biHeight == byteCount;
  if (!consistent) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(byteCount));
  m_header = header;
  m_rowStride = rowStride;
  m_pixelStride = pixelStride;
  m_flags = static_cast<DWORD>(flags);
  m_pixels.assign(static_cast<std::size_t>(byteCount), 0);
  if (ar.Read(m_pixels.data(), static_cast<UINT>(byteCount)) != static_cast<UINT>(byteCount)) {
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  }
}
