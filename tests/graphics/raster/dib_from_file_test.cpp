// Raster underlays: BMP files written byte by byte as the format gives them, read, tiled and refused; the
// store's ids; the raster part of the project file from a record written by hand and a store read back whole.
#include "graphics/raster/dib_from_file.h"
#include "graphics/raster/raster_store.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    out.push_back((v >> (8 * i)) & 0xFF);
}
void PutDouble(std::vector<std::uint8_t>& out, double v)
{
  std::uint8_t bytes[8];
  std::memcpy(bytes, &v, 8);
  out.insert(out.end(), bytes, bytes + 8);
}

// The colour a picture's pixel (column, row from the top) gets in the files below.
std::uint8_t Blue(int column, int row) { return static_cast<std::uint8_t>(column * 7 + row * 3 + 1); }

struct Bmp {
  std::int32_t width = 4;
  std::int32_t height = 3;  // negative: rows stored top-down
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t infoSize = 40;
  std::uint32_t gap = 0;  // bytes between the headers and the pixels
  std::uint32_t imageSize = 0;
  const char* type = "BM";
  std::size_t cut = 0;  // bytes cut off the end
  bool pixels = true;

  std::vector<std::uint8_t> Bytes() const
  {
    std::vector<std::uint8_t> out;
    out.push_back(type[0]);
    out.push_back(type[1]);
    const std::uint32_t offset = 14 + infoSize + gap;
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, infoSize);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, bitCount);
    Put32(out, compression);
    Put32(out, imageSize);
    for (int i = 0; i < 4; ++i)
      Put32(out, 0);
    out.resize(offset, 0xEE);
    if (pixels && width > 0 && width < 1000 && height != 0 && height > -1000 && height < 1000) {
      const int rows = height < 0 ? -height : height;
      const int stride = (width * 3 + 3) / 4 * 4;
      for (int fileRow = 0; fileRow < rows; ++fileRow) {
        const int row = height < 0 ? fileRow : rows - 1 - fileRow;  // from the top
        for (int c = 0; c < width; ++c) {
          out.push_back(Blue(c, row));
          out.push_back(0x20);
          out.push_back(0x30);
        }
        out.resize(out.size() + stride - width * 3, 0);
      }
    }
    out.resize(out.size() - std::min(cut, out.size()));
    return out;
  }
};

std::string Write(const std::vector<std::uint8_t>& bytes, const std::string& name)
{
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return path;
}

TEST(RasterBmp, ReadRefusedAndTiledAsTheFileSays)
{
  Bmp plain;
  Bmp topDown;
  topDown.height = -3;
  Bmp v5;
  v5.infoSize = 124;
  v5.gap = 10;
  Bmp sized = plain;
  sized.imageSize = 999;  // a wrong image size: the rows are read as the width gives them
  Bmp eightBits;
  eightBits.bitCount = 8;
  Bmp thirtyTwo;
  thirtyTwo.bitCount = 32;
  Bmp rle;
  rle.compression = 1;
  Bmp bitFields;
  bitFields.compression = 3;
  Bmp notBm;
  notBm.type = "MB";
  Bmp truncated;
  truncated.cut = 5;
  Bmp headerOnly;
  headerOnly.pixels = false;
  headerOnly.cut = 20;
  Bmp huge;
  huge.width = 65536;
  huge.height = 65536;
  Bmp negativeWidth;
  negativeWidth.width = -4;
  Bmp zeroHeight;
  zeroHeight.height = 0;
  Bmp lowestHeight;
  lowestHeight.height = INT_MIN;
  Bmp coreHeader;
  coreHeader.infoSize = 12;

  const struct {
    const char* what;
    Bmp bmp;
    int loaded;
    bool message;
  } cases[] = {
      {"24-bit, width 4 rows padded to 12 bytes", plain, 1, false},
      {"top-down rows shown the right way up", topDown, 1, false},
      {"a V5 header and the pixels at the file's offset", v5, 1, false},
      {"a wrong image-size field", sized, 1, false},
      {"8 bits a pixel", eightBits, 0, true},
      {"32 bits a pixel", thirtyTwo, 0, true},
      {"RLE-compressed", rle, 0, true},
      {"bit fields", bitFields, 0, true},
      {"not BM", notBm, 0, false},
      {"pixels cut short", truncated, 0, false},
      {"the header cut short", headerOnly, 0, false},
      {"65536 x 65536 claimed by a small file", huge, 0, false},
      {"negative width", negativeWidth, 0, false},
      {"zero height", zeroHeight, 0, false},
      {"the lowest height", lowestHeight, 0, false},
      {"a header shorter than 40 bytes", coreHeader, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    user::ScriptedResponder answers;
    answers.AnswerNext(IDOK);
    CDibFromFile raster;
    EXPECT_EQ(raster.LoadBmp(Write(c.bmp.Bytes(), "raster.bmp").c_str(), nullptr), c.loaded);
    ASSERT_EQ(answers.Asked().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(answers.Asked()[0].text, CDibFromFile::kDepthMessage);
      EXPECT_EQ(answers.Asked()[0].style & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    }
    if (!c.loaded) {
      EXPECT_LE(raster.GetBufferSize(), 1u) << "no picture kept";
      continue;
    }
    ASSERT_EQ(raster.GetWidth(), 4);
    ASSERT_EQ(raster.GetHeight(), 3);
    EXPECT_EQ(raster.GetRowStride(), 12);
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 4; ++column)
        ASSERT_EQ(raster.PixelAt(column, 2 - row)[0], Blue(column, row)) << column << " " << row;
  }
  EXPECT_FALSE(CDibFromFile().LoadBmp((::testing::TempDir() + "/none.bmp").c_str(), nullptr));
}

TEST(RasterBmp, TileSizesAndCentringOnTheWhiteCanvas)
{
  const struct {
    int width, height, limit;
    int tile, across, down;
  } cases[] = {
      {100, 50, 2048, 128, 1, 1},
      {3000, 1000, 2048, 1024, 3, 1},
      {3000, 1000, 512, 512, 6, 2},  // the limit stops the tile before it covers the shorter side
      {129, 4000, 8192, 256, 1, 16},
      {128, 128, 2048, 128, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    EXPECT_EQ(CDibFromFile::ChooseTileSize(c.width, c.height, c.limit), c.tile);
    CDibFromFile raster;
    raster.Create(c.width, c.height);
    raster.PadToTiles(c.limit);
    EXPECT_EQ(raster.m_tileSize, c.tile);
    EXPECT_EQ(raster.m_across, c.across);
    EXPECT_EQ(raster.m_down, c.down);
    EXPECT_EQ(raster.GetWidth(), c.across * c.tile);
    EXPECT_EQ(raster.GetHeight(), c.down * c.tile);
  }

  // 100 x 50 stands at (14, 39) from the top left of its 128 x 128 canvas.
  CDibFromFile raster;
  raster.Create(100, 50);
  raster.Fill(RGB(10, 20, 30));
  raster.PadToTiles(2048);
  auto at = [&](int column, int rowFromTop) { return raster.PixelAt(column, 127 - rowFromTop)[0]; };
  EXPECT_EQ(at(14, 39), 30);
  EXPECT_EQ(at(113, 88), 30);
  EXPECT_EQ(at(13, 39), 255);
  EXPECT_EQ(at(14, 38), 255);
  EXPECT_EQ(at(114, 88), 255);
  EXPECT_EQ(at(14, 89), 255);

  // Tiles row by row from the top, centred on the origin, square in metres.
  raster.SetGeometry(20, 10);
  raster.MakeTiles();
  ASSERT_EQ(raster.GetTiles().size(), 1u);
  const CTexturedBlok& tile = *raster.GetTiles()[0];
  EXPECT_DOUBLE_EQ(tile.m_x0, -10);
  EXPECT_DOUBLE_EQ(tile.m_x1, 10);
  EXPECT_DOUBLE_EQ(tile.m_yTop, 5);
  EXPECT_DOUBLE_EQ(tile.m_yBottom, -15);
  EXPECT_EQ(tile.GetWidth(), 128);
  EXPECT_EQ(tile.PixelAt(14, 127 - 39)[0], 30);
}

TEST(RasterStore, IdsContinueFromTheLargest)
{
  CRasterStore& store = *CRasterStore::GetInstance();
  store.Clear();
  auto make = [](const char* path) {
    auto raster = std::make_unique<CDibFromFile>();
    raster->m_path = path;
    return raster;
  };
  EXPECT_EQ(store.Add(make("a.bmp")), 1);
  EXPECT_EQ(store.Add(make("b.bmp")), 2);
  EXPECT_EQ(store.Add(make("c.bmp")), 3);
  store.Remove(3);
  EXPECT_EQ(store.Add(make("d.bmp")), 3);  // the largest id is reused
  store.Remove(1);
  EXPECT_EQ(store.Add(make("e.bmp")), 4);
  EXPECT_EQ(store.GetPath(2), CString("b.bmp"));
  EXPECT_EQ(store.GetPath(1), CString());
  EXPECT_EQ(store.FindByPath("d.bmp"), store.Find(3));
  EXPECT_EQ(store.FindByPath("D.bmp"), nullptr);
  EXPECT_TRUE(store.Contains(store.Find(4)));
  store.Remove(99);
  EXPECT_EQ(store.GetCount(), 3u);
  store.Clear();
}

// A store of one raster: a 1 x 1 picture, path "p.bmp", tile 128, 1 x 1 tiles, id 7, 2.5 x 1.5 m, bound, no
// tiles; written by hand as the record is laid out.
std::vector<std::uint8_t> HandRecord(int tileCount)
{
  std::vector<std::uint8_t> out;
  Put32(out, 1);  // raster count
  out.insert(out.end(), {0, 0, 0, 0});  // colour entry
  Put32(out, 40);
  Put32(out, 1);
  Put32(out, 1);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, 5);  // image size: a 4-byte row and the spare byte
  for (int i = 0; i < 4; ++i)
    Put32(out, 0);
  Put32(out, 4);  // row stride
  Put32(out, 3);  // pixel stride
  Put32(out, 1);  // flags
  out.insert(out.end(), {0x11, 0x22, 0x33});
  out.push_back(5);
  for (char ch : std::string("p.bmp"))
    out.push_back(static_cast<std::uint8_t>(ch));
  Put32(out, 128);
  Put32(out, 1);
  Put32(out, 1);
  Put32(out, 7);
  PutDouble(out, 2.5);
  PutDouble(out, 1.5);
  Put32(out, 1);
  Put32(out, static_cast<std::uint32_t>(tileCount));
  return out;
}

TEST(RasterStore, WholeRasterRecordAsLaidOut)
{
  CRasterStore& store = *CRasterStore::GetInstance();
  std::vector<std::uint8_t> bytes = HandRecord(0);
  {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    store.Serialize(ar);
  }
  const CDibFromFile* raster = store.Find(7);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(raster->m_path, CString("p.bmp"));
  EXPECT_EQ(raster->m_tileSize, 128);
  EXPECT_DOUBLE_EQ(raster->m_widthMetres, 2.5);
  EXPECT_DOUBLE_EQ(raster->m_heightMetres, 1.5);
  EXPECT_EQ(raster->PixelAt(0, 0)[2], 0x33);

  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    store.Serialize(ar);
    ar.Close();
  }
  const BYTE* written = out.GetData();
  EXPECT_EQ(std::vector<std::uint8_t>(written, written + out.GetLength()), bytes);

  // A tile count the rest of the file cannot hold ends the read before any tile is made.
  std::vector<std::uint8_t> lying = HandRecord(1 << 30);
  CMemFile file(lying.data(), static_cast<UINT>(lying.size()));
  CArchive ar(&file, CArchive::load);
  bool refused = false;
  try {
    store.Serialize(ar);
  } catch (CArchiveException* e) {
    refused = true;
    e->Delete();
  }
  EXPECT_TRUE(refused);
  store.Clear();
}

TEST(RasterStore, WholeRastersRoundTripIdsTilesAndPixels)
{
  CRasterStore& store = *CRasterStore::GetInstance();
  store.Clear();
  for (int k = 0; k < 2; ++k) {
    auto raster = std::make_unique<CDibFromFile>();
    raster->Create(150 + k * 200, 60);
    for (int row = 0; row < raster->GetHeight(); ++row)
      for (int column = 0; column < raster->GetWidth(); ++column)
        raster->PixelAt(column, row)[0] = Blue(column, row);
    raster->m_path = k ? "second.bmp" : "first.bmp";
    raster->PadToTiles(2048);
    raster->SetGeometry(30 + k, 12);
    raster->MakeTiles();
    store.Add(std::move(raster));
  }
  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    store.Serialize(ar);
    ar.Close();
  }
  std::vector<std::uint8_t> bytes(out.GetData(), out.GetData() + out.GetLength());
  store.Clear();
  CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&in, CArchive::load);
  store.Serialize(ar);
  ASSERT_EQ(store.GetCount(), 2u);
  const CDibFromFile& second = *store.Find(2);
  EXPECT_EQ(second.m_path, CString("second.bmp"));
  EXPECT_EQ(second.m_tileSize, 128);
  EXPECT_EQ(second.m_across, 3);
  ASSERT_EQ(second.GetTiles().size(), 3u);
  EXPECT_DOUBLE_EQ(second.GetTiles()[2]->m_x1, 31.0 / 2);
  // The picture sits 17 columns in on the 384-wide canvas and 34 rows up on the 128-high one.
  EXPECT_EQ(second.PixelAt(17 + 5, 34 + 6)[0], Blue(5, 6));
  EXPECT_EQ(second.GetTiles()[0]->PixelAt(17 + 5, 34 + 6)[0], Blue(5, 6));
  store.Clear();
}

}  // namespace
