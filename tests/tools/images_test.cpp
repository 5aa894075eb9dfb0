// Bitmaps, icons, cursors and toolbars compiled into the bytes programs lock and read.
#include "tests/tools/compile_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace rescomp_test;

// Scripts stand beside the fixture images, so their relative paths find them.
const std::string kDir = TESMIRA_SOURCE_DIR "/tests/tools/";

Compiled CompileHere(const std::string& script) { return Compile(script, kDir + "t.rsrc"); }

// BITMAPINFOHEADER with the fields a resource DIB leaves at zero.
Expect& InfoHeader(Expect& e, int width, int height, int bits, std::uint32_t imageBytes)
{
  return e.D(40).D(static_cast<std::uint32_t>(width)).D(static_cast<std::uint32_t>(height)).W(1).W(
                static_cast<std::uint16_t>(bits)).D(0).D(imageBytes).D(0).D(0).D(0).D(0);
}

TEST(RescompImages, AnOpaqueBitmapIsA24BitBottomUpDibWithPaddedRows)
{
  // opaque_3x2.png: red, green, blue over (1, 2, 3), white, black.
  Compiled c = CompileHere("BITMAP 7 IDB_SMALL \"opaque_3x2.png\"\n");
  ASSERT_TRUE(c.ok) << c.FirstError();
  Expect e;
  InfoHeader(e, 3, 2, 24, 24);
  e.B({0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0, 0, 0});  // the bottom row first, blue green red
  e.B({0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0});
  const rescomp::BinaryResource* r = Resource(c.module, rescomp::kTypeBitmap, 7);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->bytes, e.out);
}

TEST(RescompImages, TransparencyMakesA32BitDibAndIconsAndCursorsCarryTheirMasks)
{
  // alpha_2x1.png: orange (255, 128, 0) and a transparent pixel.
  Compiled c = CompileHere("BITMAP 7 \"alpha_2x1.png\"\nICON 7 \"alpha_2x1.png\"\nCURSOR 8 \"alpha_2x1.png\" 1 0\n");
  ASSERT_TRUE(c.ok) << c.FirstError();
  Expect bitmap;
  InfoHeader(bitmap, 2, 1, 32, 8).B({0x00, 0x80, 0xFF, 0xFF, 0, 0, 0, 0});
  EXPECT_EQ(Resource(c.module, rescomp::kTypeBitmap, 7)->bytes, bitmap.out);

  Expect image;  // twice the height: the colour rows, then the mask rows (1 = transparent)
  InfoHeader(image, 2, 2, 32, 12).B({0x00, 0x80, 0xFF, 0xFF, 0, 0, 0, 0}).B({0x40, 0, 0, 0});
  EXPECT_EQ(Resource(c.module, rescomp::kTypeIcon, 7)->bytes, image.out);
  Expect iconDirectory;
  iconDirectory.W(0).W(1).W(1).B({2, 1, 0, 0}).W(1).W(32).D(52).W(7);
  EXPECT_EQ(Resource(c.module, rescomp::kTypeGroupIcon, 7)->bytes, iconDirectory.out);

  Expect cursor;
  cursor.W(1).W(0);
  cursor.out.insert(cursor.out.end(), image.out.begin(), image.out.end());
  EXPECT_EQ(Resource(c.module, rescomp::kTypeCursor, 8)->bytes, cursor.out);
  Expect cursorDirectory;
  cursorDirectory.W(0).W(2).W(1).W(2).W(2).W(1).W(32).D(56).W(8);
  EXPECT_EQ(Resource(c.module, rescomp::kTypeGroupCursor, 8)->bytes, cursorDirectory.out);
}

TEST(RescompImages, AToolbarListsItsCommandsWithZeroForSeparators)
{
  Compiled c = CompileHere(
      "TOOLBAR 5 IDR_BAR 1 2\n  BUTTON 10 ID_TEN\n  SEPARATOR\n  BUTTON 0x100\nEND\nBITMAP 5 \"opaque_3x2.png\"\n");
  ASSERT_TRUE(c.ok) << c.FirstError();
  Expect e;
  e.W(1).W(1).W(2).W(3).W(10).W(0).W(0x100);  // version, button size, count, ids
  const rescomp::BinaryResource* r = Resource(c.module, rescomp::kTypeToolbar, 5);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->bytes, e.out);
  ASSERT_EQ(c.module.names.size(), 2u);
  EXPECT_EQ(c.module.names[0].name, "IDR_BAR");
  EXPECT_EQ(c.module.names[1].name, "ID_TEN");
}

TEST(RescompImages, BadImagesAndToolbarsAreReportedWithFileAndLine)
{
  struct Case {
    std::string script;
    std::string message;
  };
  const std::string at = kDir + "t.rsrc:";
  const Case cases[] = {
      {"BITMAP 5 \"missing.png\"\n", at + "1: error: cannot open image '" + kDir + "missing.png'"},
      {"\nICON 5 \"not_a_png.png\"\n", at + "2: error: image '" + kDir + "not_a_png.png' is not a readable PNG"},
      {"BITMAP 5\n", at + "1: error: BITMAP 5 needs its image file in quotes"},
      {"CURSOR 5 \"alpha_2x1.png\"\n", at + "1: error: hot spot x expected"},
      {"CURSOR 5 \"alpha_2x1.png\" 2 0\n", at + "1: error: the hot spot lies outside the 2 x 1 cursor"},
      {"BITMAP 5 \"alpha_2x1.png\"\nBITMAP 5 \"opaque_3x2.png\"\n",
       at + "2: error: BITMAP id 5 already defined at " + at + "1"},
      {"TOOLBAR 5 1 2\n  BUTTON 10\nEND\n", at + "1: error: TOOLBAR 5 has no BITMAP 5 for its images"},
      {"TOOLBAR 5 1 2\n  BUTTON 10\n  BUTTON 11\n  BUTTON 12\n  BUTTON 13\nEND\nBITMAP 5 \"opaque_3x2.png\"\n",
       at + "1: error: TOOLBAR 5 needs a bitmap 2 pixels high and at least 4 wide for its 4 buttons; BITMAP 5 is "
            "3 x 2"},
      {"TOOLBAR 5 1 1\n  BUTTON 10\nEND\nBITMAP 5 \"opaque_3x2.png\"\n",
       at + "1: error: TOOLBAR 5 needs a bitmap 1 pixels high"},
      {"TOOLBAR 5 1 2\n  BUTTON 10\n  BUTTON 10\nEND\n",
       at + "3: error: command 10 already on this toolbar at " + at + "2"},
      {"TOOLBAR 5 1 2\n  ITEM 10 \"x\"\nEND\n", at + "2: error: unknown toolbar statement 'ITEM'"},
      {"TOOLBAR 5 1\n  BUTTON 10\nEND\n", at + "1: error: button height expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    Compiled result = CompileHere(c.script);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.FirstError().substr(0, c.message.size()), c.message);
  }
}

}  // namespace
