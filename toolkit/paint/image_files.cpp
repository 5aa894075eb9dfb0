// 32-bit pictures read from files the user chooses (the button image editor imports them): hostile input, so
// every size and offset is checked against the file before it is used.
//
// Icon file: a 6-byte header (reserved, type, count: three 16-bit words), then count directory entries of 16
// bytes (width, height, colours, reserved: one byte each; planes and bit count: 16-bit words; bytes of the
// image and its offset from the file start: 32-bit), each image a BITMAPINFOHEADER whose height counts the
// colour rows and the mask rows, its colour pixels, then its mask.
// Bitmap file: a 14-byte file header, then a BITMAPINFOHEADER.
#include "toolkit/paint/image_manager.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr size_t kIconHeader = 6;
constexpr size_t kIconEntry = 16;
constexpr size_t kInfoHeader = 40;
constexpr size_t kFileHeader = 14;
// Larger pictures than this are no button images; refusing them keeps a hostile header from asking for
// gigabytes.
constexpr LONG kMaxSide = 1024;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadAt(std::FILE* file, long offset, void* buffer, size_t size)
{
  return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(buffer, 1, size, file) == size;
}

std::uint16_t Word(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Dword(const BYTE* p)
{
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

long FileSize(std::FILE* file)
{
  if (std::fseek(file, 0, SEEK_END) != 0) {
    return -1;
  }
  return std::ftell(file);
}

}  // namespace

HBITMAP CTKImageManagerIcon::LoadAlphaIcon(LPCSTR pszFile, int nWidth)
{
  if (pszFile == nullptr) {
    return nullptr;
  }
  File file(std::fopen(pszFile, "rb"));
  if (!file) {
    return nullptr;
  }
  const long size = FileSize(file.get());
  BYTE header[kIconHeader];
  if (size < 0 || !ReadAt(file.get(), 0, header, sizeof(header))) {
    return nullptr;
  }
  const size_t count = Word(header + 4);
  if (kIconHeader + count * kIconEntry > static_cast<size_t>(size)) {
    return nullptr;
  }
  for (size_t i = 0; i < count; ++i) {
    BYTE entry[kIconEntry];
    if (!ReadAt(file.get(), static_cast<long>(kIconHeader + i * kIconEntry), entry, sizeof(entry))) {
      return nullptr;
    }
    if (Word(entry + 6) != 32 || (nWidth != 0 && entry[0] != nWidth)) {
      continue;
    }
    const std::uint32_t offset = Dword(entry + 12);
    BYTE infoBytes[kInfoHeader];
    if (offset > static_cast<std::uint32_t>(size) || !ReadAt(file.get(), static_cast<long>(offset), infoBytes,
                                                             sizeof(infoBytes))) {
      return nullptr;
    }
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, infoBytes, sizeof(infoBytes));
    BITMAPINFOHEADER& bih = info.bmiHeader;
    bih.biHeight /= 2;  // the colour rows only
    if (bih.biSize < kInfoHeader || bih.biWidth <= 0 || bih.biHeight <= 0 || bih.biWidth > kMaxSide ||
        bih.biHeight > kMaxSide || bih.biBitCount != 32) {
      return nullptr;
    }
    const size_t pixels = static_cast<size_t>(bih.biWidth) * bih.biHeight * 4;
    const size_t start = static_cast<size_t>(offset) + bih.biSize;
    if (start + pixels > static_cast<size_t>(size)) {
      return nullptr;
    }
    bih.biSize = kInfoHeader;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = static_cast<DWORD>(pixels);
    std::vector<BYTE> colour(pixels);
    if (!ReadAt(file.get(), static_cast<long>(start), colour.data(), pixels)) {
      return nullptr;
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr) {
      std::memcpy(bits, colour.data(), pixels);
    }
    return bitmap;
  }
  return nullptr;
}

BOOL CTKImageManager::IsAlphaBitmapFile(LPCSTR pszFile)
{
  if (pszFile == nullptr) {
    return FALSE;
  }
  File file(std::fopen(pszFile, "rb"));
  BYTE headers[kFileHeader + kInfoHeader];
  if (!file || !ReadAt(file.get(), 0, headers, sizeof(headers))) {
    return FALSE;
  }
  return Word(headers + kFileHeader + 14) == 32;
}
