// The picture record, written by hand from its field table: colour entry, header, strides, flags, then three
// bytes a pixel, without the fill bytes of the rows and without an alpha byte.
#include "fixtures.h"

#include "geometry/wise_dib.h"

#include <gtest/gtest.h>

namespace {

struct Header {
  int width;
  int height;
  int bitCount;
  int imageSize;
  int rowStride;
  int pixelStride;
  int flags;
};

Bytes Record(const Header& h, const std::vector<std::uint8_t>& colourEntry, int resolution)
{
  Bytes b;
  b.raw(colourEntry.data(), 4);
  b.i32(40).i32(h.width).i32(h.height).u16(1).u16(static_cast<std::uint16_t>(h.bitCount)).i32(0).i32(h.imageSize);
  b.i32(resolution).i32(resolution).i32(0).i32(0);
  b.i32(h.rowStride).i32(h.pixelStride).i32(h.flags);
  return b;
}

bool Throws(CWiseDib& picture, const std::vector<std::uint8_t>& bytes)
{
  LoadingArchive load(bytes);
  try {
    picture.Serialize(*load);
  } catch (CArchiveException* e) {
    e->Delete();
    return true;
  }
  return false;
}

// 3 x 2 pixels at 24 bits: rows of 9 bytes padded to 12, and the spare byte: 25 bytes of buffer.
Bytes PaddedPicture()
{
  Bytes b = Record({3, 2, 24, 25, 12, 3, 1}, {0x11, 0x22, 0x33, 0x44}, 2835);
  const std::uint8_t pixels[] = {10, 11, 12, 13, 14, 15, 16, 17, 18,   // row 0
                                 20, 21, 22, 23, 24, 25, 26, 27, 28};  // row 1
  return b.raw(pixels, sizeof pixels);
}

TEST(WiseDib, APaddedPictureIsReadAndWrittenExactly)
{
  CWiseDib picture;
  LoadingArchive load(PaddedPicture().data());
  picture.Serialize(*load);
  EXPECT_TRUE(load.AtEnd());
  EXPECT_EQ(picture.GetWidth(), 3);
  EXPECT_EQ(picture.GetHeight(), 2);
  EXPECT_EQ(picture.GetRowStride(), 12);
  EXPECT_EQ(picture.GetPixelStride(), 3);
  EXPECT_EQ(picture.GetBufferSize(), 25u);
  EXPECT_EQ(picture.GetHeader().biXPelsPerMeter, 2835);
  EXPECT_EQ(picture.GetColourEntry()[2], 0x33);
  const BYTE* last = picture.PixelAt(2, 1);
  EXPECT_EQ(std::vector<BYTE>(last, last + 3), (std::vector<BYTE>{26, 27, 28}));
  const BYTE* fill = picture.PixelAt(3, 0);
  EXPECT_EQ(std::vector<BYTE>(fill, fill + 3), (std::vector<BYTE>{0, 0, 0})) << "fill bytes are not in the file";
  EXPECT_EQ(*picture.PixelAt(0, 1), 20) << "the second row starts one stride on";

  StoringArchive store;
  picture.Serialize(*store);
  EXPECT_EQ(store.bytes(), PaddedPicture().data());
}

TEST(WiseDib, AWallPictureStoresThreeBytesOfItsFourAndReadsBackWithoutAlpha)
{
  // 2 x 2 pixels at 32 bits: rows of 8 bytes, no fill; 17 bytes of buffer.
  Bytes expected = Record({2, 2, 32, 17, 8, 4, 2}, {0, 0, 0, 0}, 0);
  const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  expected.raw(pixels, sizeof pixels);

  CWiseDib wall;
  wall.UseAlpha();
  wall.Create(2, 2);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 2; ++column) {
      BYTE* p = wall.PixelAt(column, row);
      const int first = 1 + (row * 2 + column) * 3;
      p[0] = static_cast<BYTE>(first);
      p[1] = static_cast<BYTE>(first + 1);
      p[2] = static_cast<BYTE>(first + 2);
      p[3] = 200;
    }
  }
  StoringArchive store;
  wall.Serialize(*store);
  EXPECT_EQ(store.bytes(), expected.data());

  CWiseDib read;
  LoadingArchive load(expected.data());
  read.Serialize(*load);
  EXPECT_TRUE(read.HasAlpha());
  EXPECT_EQ(read.GetBufferSize(), 17u);
  const BYTE* p = read.PixelAt(1, 1);
  EXPECT_EQ(std::vector<BYTE>(p, p + 4), (std::vector<BYTE>{10, 11, 12, 0}));
}

TEST(WiseDib, ADamagedHeaderIsRefusedBeforeAnythingIsAllocatedAndThePictureStays)
{
  struct Damage {
    const char* name;
    Header header;
    std::size_t pixelBytes;
  };
  const Damage damages[] = {
      {"negative width", {-3, 2, 24, 25, 12, 3, 1}, 0},
      {"negative height", {3, -2, 24, 25, 12, 3, 1}, 0},
      {"rows without width", {0, 0x5D000001, 24, 0, 0, 3, 1}, 0},
      {"width without rows", {3, 0, 24, 0, 12, 3, 1}, 0},
      {"pixel stride 2", {3, 2, 24, 25, 12, 2, 1}, 18},
      {"pixel stride 5", {3, 2, 24, 25, 12, 5, 1}, 18},
      {"row stride below the pixels", {3, 2, 24, 25, 8, 3, 1}, 18},
      {"row stride far beyond the pixels", {3, 2, 24, 0x7FFFFFF0, 0x3FFFFFF0, 3, 1}, 18},
      {"image size short of the last pixel", {3, 2, 24, 20, 12, 3, 1}, 18},
      {"image size far beyond the rows", {3, 2, 24, 0x7FFFFFFF, 12, 3, 1}, 18},
      {"negative image size", {3, 2, 24, -1, 12, 3, 1}, 18},
      {"last pixel cut", {3, 2, 24, 25, 12, 3, 1}, 17},
      {"more pixels than the file holds", {1000, 1000, 24, 3000001, 3000, 3, 1}, 18},
  };
  CWiseDib kept;
  kept.Create(4, 4);
  kept.Fill(RGB(1, 2, 3));
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    Bytes b = Record(d.header, {0, 0, 0, 0}, 0);
    b.raw(std::vector<std::uint8_t>(d.pixelBytes, 7).data(), d.pixelBytes);
    EXPECT_TRUE(Throws(kept, b.data()));
    EXPECT_EQ(kept.GetWidth(), 4);
    EXPECT_EQ(kept.PixelAt(3, 3)[2], 1);
  }

  // An empty picture is a record without pixels.
  CWiseDib empty;
  StoringArchive store;
  empty.Serialize(*store);
  const std::vector<std::uint8_t> bytes = store.bytes();
  EXPECT_EQ(bytes, Record({0, 0, 24, 0, 0, 3, 1}, {0, 0, 0, 0}, 0).data());
  EXPECT_FALSE(Throws(kept, bytes));
  EXPECT_TRUE(kept.IsEmpty());
}

}  // namespace
