// A handle kept after its object was deleted is refused by every function, and never reaches the object that
// took the deleted one's place.
#include "platform/gdi/windraw.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

struct ObjectKind {
  std::string name;
  int type;
  std::function<HGDIOBJ()> create;
};

int TypeOf(HDC dc) { return GetObjectType(reinterpret_cast<HGDIOBJ>(dc)); }

std::vector<ObjectKind> Kinds()
{
  return {
      {"pen", OBJ_PEN, [] { return CreatePen(PS_SOLID, 1, RGB(255, 0, 0)); }},
      {"brush", OBJ_BRUSH, [] { return CreateSolidBrush(RGB(0, 255, 0)); }},
      {"font", OBJ_FONT, [] { return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"); }},
      {"bitmap", OBJ_BITMAP, [] { return CreateBitmap(4, 4, 1, 32, nullptr); }},
      {"region", OBJ_REGION, [] { return CreateRectRgn(0, 0, 5, 5); }},
      {"palette", OBJ_PAL, [] {
         LOGPALETTE palette;
         palette.palVersion = 0x300;
         palette.palNumEntries = 1;
         palette.palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
         return CreatePalette(&palette);
       }},
  };
}

TEST(StaleHandles, DeletedObjectHandleIsRefusedAndNeverReachesItsSuccessor)
{
  HDC dc = CreateCompatibleDC(nullptr);
  for (const ObjectKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    // Many rounds of delete-then-create, so freed places are certainly taken again.
    std::vector<HGDIOBJ> stale;
    std::set<HGDIOBJ> seen;
    for (int round = 0; round < 32; ++round) {
      HGDIOBJ object = kind.create();
      ASSERT_NE(object, nullptr);
      EXPECT_TRUE(seen.insert(object).second) << "a handle was given out twice";
      ASSERT_TRUE(DeleteObject(object));
      stale.push_back(object);
    }
    HGDIOBJ successor = kind.create();
    ASSERT_NE(successor, nullptr);
    for (HGDIOBJ old : stale) {
      ASSERT_NE(old, successor);
      EXPECT_EQ(GetObjectType(old), 0);
      char buffer[64];
      EXPECT_EQ(GetObjectA(old, sizeof(buffer), buffer), 0);
      EXPECT_EQ(SelectObject(dc, old), nullptr);
      EXPECT_FALSE(DeleteObject(old));
    }
    // The stale DeleteObject calls above left the live one alone.
    EXPECT_EQ(GetObjectType(successor), kind.type);
    EXPECT_TRUE(DeleteObject(successor));
  }
  DeleteDC(dc);
}

TEST(StaleHandles, DeletedDCHandleIsRefusedAndNeverReachesItsSuccessor)
{
  std::vector<HDC> stale;
  for (int round = 0; round < 32; ++round) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(DeleteDC(dc));
    stale.push_back(dc);
  }
  HDC successor = CreateCompatibleDC(nullptr);
  SetTextColor(successor, RGB(1, 2, 3));
  for (HDC old : stale) {
    ASSERT_NE(old, successor);
    EXPECT_EQ(TypeOf(old), 0);
    EXPECT_EQ(SetTextColor(old, RGB(9, 9, 9)), CLR_INVALID);
    EXPECT_EQ(SaveDC(old), 0);
    EXPECT_EQ(SetPixel(old, 0, 0, RGB(0, 0, 0)), static_cast<COLORREF>(-1));
    EXPECT_EQ(CreateCompatibleDC(old), nullptr);
    EXPECT_FALSE(DeleteDC(old));
  }
  EXPECT_EQ(GetTextColor(successor), RGB(1, 2, 3));
  EXPECT_EQ(TypeOf(successor), OBJ_MEMDC);
  EXPECT_TRUE(DeleteDC(successor));
}

TEST(StaleHandles, DCAndObjectHandlesAreNeverTakenForEachOther)
{
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(TypeOf(dc), OBJ_MEMDC);
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
  EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(dc)), nullptr);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(pen)));
  EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
  EXPECT_EQ(TypeOf(dc), OBJ_MEMDC);
  DeleteObject(pen);
  DeleteDC(dc);
}

TEST(StaleHandles, ObjectDeletedWhileSelectedKeepsDrawingButItsHandleIsRefused)
{
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(3, 1, 1, 32, nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, red);
  ASSERT_TRUE(DeleteObject(red));
  HGDIOBJ green = CreateSolidBrush(RGB(0, 255, 0));

  // The DC still paints with the brush it holds, not with the one created after.
  EXPECT_TRUE(PatBlt(dc, 0, 0, 3, 1, PATCOPY));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 0, 0));
  // Putting the deleted brush back by its old handle fails; it does not select the green one.
  HGDIOBJ current = GetCurrentObject(dc, OBJ_BRUSH);
  EXPECT_EQ(current, red);
  SelectObject(dc, oldBrush);
  EXPECT_EQ(SelectObject(dc, current), nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), oldBrush);

  SelectObject(dc, oldBitmap);
  DeleteObject(green);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
