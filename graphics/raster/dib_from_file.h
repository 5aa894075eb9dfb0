// Raster underlays: a 24-bit BMP picture read from a file, centred on a white canvas of whole power-of-two
// tiles and laid over the area as textured squares centred on its origin.
#pragma once

#include "geometry/wise_dib.h"
#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

#include <memory>
#include <vector>

class CArchive;

// One square tile of a raster with its texture and the quad it covers at z = 0, in metres.
class CTexturedBlok : public CWiseDib {
public:
  explicit CTexturedBlok(int tileSize) : m_tileSize(tileSize) {}
  ~CTexturedBlok() override;
  CTexturedBlok(const CTexturedBlok&) = delete;
  CTexturedBlok& operator=(const CTexturedBlok&) = delete;

  // The tile at (column, row) of the raster, counted from its bottom-left corner.
  void CutFrom(const CWiseDib& raster, int column, int row);
  // Needs a current GL context; without one the tile stays without a texture.
  void BuildTexture();
  void Draw() const;
  // The picture, the tile size, then x0, yTop, x1, yBottom.
  void Serialize(CArchive& ar) override;

  int m_texture = -1;
  int m_tileSize;
  double m_x0 = 0, m_x1 = 0, m_yTop = 0, m_yBottom = 0;
};

class CDibFromFile : public CWiseDib {
public:
  // The largest side and pixel count a file may claim: beyond them a header is refused before anything is
  // allocated (a 32768-pixel side already makes a 3 GB picture).
  static constexpr int kMaxSide = 32768;
  static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
  // The message for pictures that are not plain 24-bit ones.
  static const char* const kDepthMessage;

  CDibFromFile() = default;
  ~CDibFromFile() override;
  CDibFromFile(const CDibFromFile&) = delete;
  CDibFromFile& operator=(const CDibFromFile&) = delete;

  // Same picture, path, tiling figures, id, size and bound flag; no tiles.
  std::unique_ptr<CDibFromFile> Clone() const;
  // 1 when the file held a readable 24-bit picture; a refused depth or compression tells the user, any other
  // unreadable file fails silently. The progress control, when given, moves once per megabyte read.
  int LoadBmp(const char* path, HWND progress);
  // Chooses the tile under the GL texture limit and centres the picture on a white canvas of whole tiles.
  void PadToTiles(int maxTextureSize);
  // The smallest power of two from 128 covering the shorter side, unless the limit stops it first.
  static int ChooseTileSize(int width, int height, int maxTextureSize);
  // Cuts the canvas into tiles over width x height metres, centred on the origin.
  void MakeTiles();
  void Draw() const;
  void SetGeometry(double width, double height)
  {
    m_widthMetres = width;
    m_heightMetres = height;
  }
  // The picture, path, tile size, tiles across and down, id, width and height in metres, bound flag, then
  // the tile count and the tiles.
  void Serialize(CArchive& ar) override;

  const std::vector<std::unique_ptr<CTexturedBlok>>& GetTiles() const { return m_tiles; }

  CString m_path;
  HWND m_progress = nullptr;
  int m_tileSize = 0;
  int m_across = 0;
  int m_down = 0;
  int m_id = 0;
  double m_widthMetres = 0;
  double m_heightMetres = 0;
  int m_bound = 1;

private:
  std::vector<std::unique_ptr<CTexturedBlok>> m_tiles;
};
