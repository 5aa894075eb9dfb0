#include "graphics/raster/dib_from_file.h"

#include "geometry/gl_context.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc/msgbox.h"
#include "platform/user/common_controls.h"
#include "platform/user/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

const char* const CDibFromFile::kDepthMessage = "Поддерживаются файлы только с глубиной цвета 24 бита на пиксель!";

namespace {

constexpr WORD kBitmapType = 0x4D42;  // "BM"
constexpr DWORD kFileHeaderSize = 14;
constexpr DWORD kInfoHeaderSize = 40;
constexpr int kSmallestTile = 128;
constexpr std::size_t kChunk = std::size_t{1} << 20;
// A tile record claims no more than this; larger ones come from damaged files.
constexpr int kLargestTile = 1 << 14;

[[noreturn]] void ThrowBad(CArchive& ar) { AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName); }

std::uint32_t U32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24; }
WORD U16(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }

struct File {
  explicit File(const char* path) : f(path ? std::fopen(path, "rb") : nullptr) {}
  ~File()
  {
    if (f)
      std::fclose(f);
  }
  bool Read(void* to, std::size_t n) { return std::fread(to, 1, n, f) == n; }
  std::FILE* f;
};

void Progress(HWND control, UINT message, WPARAM w, LPARAM l)
{
  if (control)
    ::SendMessage(control, message, w, l);
}

}  // namespace

// ---- tiles ----------------------------------------------------------------------------------------------------

CTexturedBlok::~CTexturedBlok()
{
  if (m_texture >= 0 && HasCurrentGlContext()) {
    const GLuint name = static_cast<GLuint>(m_texture);
    glDeleteTextures(1, &name);
  }
}

void CTexturedBlok::CutFrom(const CWiseDib& raster, int column, int row)
{
  Create(m_tileSize, m_tileSize);
  const int x0 = column * m_tileSize, y0 = row * m_tileSize;
  const int columns = std::clamp(raster.GetWidth() - x0, 0, m_tileSize);
  const int rows = std::clamp(raster.GetHeight() - y0, 0, m_tileSize);
  for (int r = 0; r < rows; ++r)
    std::memcpy(PixelAt(0, r), raster.PixelAt(x0, y0 + r), static_cast<std::size_t>(columns) * 3);
}

void CTexturedBlok::BuildTexture()
{
  if (!HasCurrentGlContext() || IsEmpty())
    return;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  GLuint name = 0;
  glGenTextures(1, &name);
  m_texture = static_cast<int>(name);
  glBindTexture(GL_TEXTURE_2D, name);
  glEnable(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, m_tileSize, m_tileSize, GL_BGR, GL_UNSIGNED_BYTE, GetPixels());
  glDisable(GL_TEXTURE_2D);
}

void CTexturedBlok::Draw() const
{
  if (m_texture < 0)
    return;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(m_texture));
  glBegin(GL_QUADS);
  glTexCoord2d(0, 0), glVertex3d(m_x0, m_yBottom, 0);
  glTexCoord2d(1, 0), glVertex3d(m_x1, m_yBottom, 0);
  glTexCoord2d(1, 1), glVertex3d(m_x1, m_yTop, 0);
  glTexCoord2d(0, 1), glVertex3d(m_x0, m_yTop, 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void CTexturedBlok::Serialize(CArchive& ar)
{
  CWiseDib::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_tileSize << m_x0 << m_yTop << m_x1 << m_yBottom;
    return;
  }
  ar >> m_tileSize >> m_x0 >> m_yTop >> m_x1 >> m_yBottom;
  // A texture is made from tile x tile pixels: the picture read must hold them.
  if (m_tileSize <= 0 || m_tileSize > kLargestTile || GetWidth() != m_tileSize || GetHeight() != m_tileSize)
    ThrowBad(ar);
}

// ---- rasters --------------------------------------------------------------------------------------------------

CDibFromFile::~CDibFromFile() = default;

std::unique_ptr<CDibFromFile> CDibFromFile::Clone() const
{
  auto copy = std::make_unique<CDibFromFile>();
  static_cast<CWiseDib&>(*copy) = static_cast<const CWiseDib&>(*this);
  copy->m_path = m_path;
  copy->m_progress = m_progress;
  copy->m_tileSize = m_tileSize;
  copy->m_across = m_across;
  copy->m_down = m_down;
  copy->m_id = m_id;
  copy->m_widthMetres = m_widthMetres;
  copy->m_heightMetres = m_heightMetres;
  copy->m_bound = m_bound;
  return copy;
}

// A BMP file: the 14-byte file header (type "BM", file size, two reserved words, offset of the pixels), an
// info header of at least 40 bytes (its size, width, height - negative for rows stored top-down -, planes,
// bit count, compression, image size, resolutions, colour counts), then the rows of pixels at the offset, each
// padded to whole 32-bit words, bottom row first unless the height is negative.
int CDibFromFile::LoadBmp(const char* path, HWND progress)
{
  m_progress = progress;
  m_path = path ? path : "";
  File file(path);
  if (!file.f)
    return 0;
  BYTE head[kFileHeaderSize + kInfoHeaderSize];
  if (!file.Read(head, sizeof(head)) || U16(head) != kBitmapType)
    return 0;
  const DWORD pixelOffset = U32(head + 10);
  const BYTE* info = head + kFileHeaderSize;
  const DWORD infoSize = U32(info);
  const std::int64_t width = static_cast<std::int32_t>(U32(info + 4));
  const std::int64_t height = static_cast<std::int32_t>(U32(info + 8));
  const WORD bitCount = U16(info + 14);
  const DWORD compression = U32(info + 16);
  if (infoSize < kInfoHeaderSize)
    return 0;
  // Compressed and bit-field pixels are not the plain 24-bit rows this reader knows.
  if (bitCount != 24 || compression != 0) {
    AfxMessageBox(kDepthMessage, MB_ICONSTOP);
    return 0;
  }
  const std::int64_t rows = height < 0 ? -height : height;
  if (width <= 0 || rows <= 0 || width > kMaxSide || rows > kMaxSide || width * rows > kMaxPixels)
    return 0;
  const std::int64_t offset = pixelOffset != 0 ? pixelOffset : kFileHeaderSize + infoSize;
  if (offset < kFileHeaderSize + infoSize)
    return 0;
  const std::int64_t stride = (width * 24 + 31) / 32 * 4;
  const std::int64_t n = stride * rows;
  // The file must hold every row before anything is allocated for them.
  if (std::fseek(file.f, 0, SEEK_END) != 0)
    return 0;
  const long fileSize = std::ftell(file.f);
  if (fileSize < 0 || fileSize - offset < n || std::fseek(file.f, static_cast<long>(offset), SEEK_SET) != 0)
    return 0;

  Create(static_cast<int>(width), static_cast<int>(rows));
  BYTE* pixels = GetPixels();
  const std::size_t chunks = static_cast<std::size_t>(n) / kChunk;
  bool read = true;
  if (chunks > 0) {
    if (m_progress) {
      ::ShowWindow(m_progress, SW_SHOW);
      Progress(m_progress, PBM_SETRANGE, 0, MAKELPARAM(0, chunks));
      Progress(m_progress, PBM_SETSTEP, 1, 0);
    }
    for (std::size_t k = 0; read && k < chunks; ++k) {
      read = file.Read(pixels + k * kChunk, kChunk);
      Progress(m_progress, PBM_SETPOS, k + 1, 0);
    }
  }
  read = read && file.Read(pixels + chunks * kChunk, static_cast<std::size_t>(n) % kChunk);
  if (chunks > 0 && m_progress) {
    Progress(m_progress, PBM_SETPOS, 0, 0);
    ::ShowWindow(m_progress, SW_HIDE);
  }
  if (!read) {
    static_cast<CWiseDib&>(*this) = CWiseDib();
    return 0;
  }
  // Rows stored top-down are turned so that the picture shows the right way up.
  if (height < 0) {
    std::vector<BYTE> swap(static_cast<std::size_t>(stride));
    for (std::int64_t r = 0; r < rows / 2; ++r) {
      BYTE* a = pixels + r * stride;
      BYTE* b = pixels + (rows - 1 - r) * stride;
      std::memcpy(swap.data(), a, swap.size());
      std::memcpy(a, b, swap.size());
      std::memcpy(b, swap.data(), swap.size());
    }
  }
  return 1;
}

int CDibFromFile::ChooseTileSize(int width, int height, int maxTextureSize)
{
  const int shorter = std::min(width, height);
  int tile = kSmallestTile;
  if (shorter > kSmallestTile) {
    while (tile < maxTextureSize) {
      tile *= 2;
      if (tile >= shorter)
        break;
    }
  }
  return tile;
}

void CDibFromFile::PadToTiles(int maxTextureSize)
{
  const int w = GetWidth(), h = GetHeight();
  m_tileSize = ChooseTileSize(w, h, maxTextureSize);
  m_across = std::max(1, (w + m_tileSize - 1) / m_tileSize);
  m_down = std::max(1, (h + m_tileSize - 1) / m_tileSize);
  const int canvasWidth = m_across * m_tileSize, canvasHeight = m_down * m_tileSize;
  const CWiseDib picture = static_cast<const CWiseDib&>(*this);
  Create(canvasWidth, canvasHeight);
  Fill(RGB(255, 255, 255));
  // Centred: `top` counts rows from the canvas's top edge, rows are stored from the bottom.
  const int left = canvasWidth / 2 - w / 2, top = canvasHeight / 2 - h / 2;
  const int bottom = canvasHeight - top - h;
  for (int r = 0; r < h; ++r)
    std::memcpy(PixelAt(left, bottom + r), picture.PixelAt(0, r), static_cast<std::size_t>(w) * 3);
}

void CDibFromFile::MakeTiles()
{
  m_tiles.clear();
  if (m_across <= 0 || m_down <= 0)
    return;
  const double c = m_widthMetres / m_across;
  double yTop = m_heightMetres / 2;
  for (int row = m_down - 1; row >= 0; --row, yTop -= c) {
    for (int column = 0; column < m_across; ++column) {
      auto tile = std::make_unique<CTexturedBlok>(m_tileSize);
      tile->CutFrom(*this, column, row);
      tile->BuildTexture();
      tile->m_x0 = -m_widthMetres / 2 + column * c;
      tile->m_x1 = tile->m_x0 + c;
      tile->m_yTop = yTop;
      tile->m_yBottom = yTop - c;
      m_tiles.push_back(std::move(tile));
    }
  }
}

void CDibFromFile::Draw() const
{
  for (const auto& tile : m_tiles)
    tile->Draw();
}

void CDibFromFile::Serialize(CArchive& ar)
{
  CWiseDib::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_path << m_tileSize << m_across << m_down << m_id << m_widthMetres << m_heightMetres << m_bound
       << static_cast<int>(m_tiles.size());
    for (const auto& tile : m_tiles)
      tile->Serialize(ar);
    return;
  }
  m_tiles.clear();
  int count = 0;
  ar >> m_path >> m_tileSize >> m_across >> m_down >> m_id >> m_widthMetres >> m_heightMetres >> m_bound >> count;
  // Each tile record holds at least its header and quad.
  constexpr ULONGLONG kSmallestTileRecord = 4 + 40 + 12 + 4 + 32;
  if (count < 0)
    ThrowBad(ar);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * kSmallestTileRecord);
  for (int k = 0; k < count; ++k) {
    auto tile = std::make_unique<CTexturedBlok>(m_tileSize);
    tile->Serialize(ar);
    tile->BuildTexture();
    m_tiles.push_back(std::move(tile));
  }
}
