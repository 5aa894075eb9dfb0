// Fonts, text metrics, text output and DrawText layout.
#include "picture.h"

#include "platform/gdi/png.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using gdi::testing::Canvas;

HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL, int escapement = 0)
{
  return CreateFontA(height, 0, escapement, escapement, weight, 0, 0, 0, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

// Selects a font into a canvas for the life of the guard.
struct WithFont {
  WithFont(HDC dc, HFONT f) : dc(dc), font(f), old(SelectObject(dc, f)) {}
  ~WithFont()
  {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  HDC dc;
  HFONT font;
  HGDIOBJ old;
};

TEST(TextMetrics, FollowTheLogFontHeightRules)
{
  Canvas canvas(4, 4);
  for (const char* face : {"Tahoma", "Arial", "Times New Roman", "Courier New", "MS Sans Serif"}) {
    {
      // Negative height: the character (em) height; the cell adds the internal leading.
      WithFont f(canvas.dc(), MakeFont(face, -11));
      TEXTMETRIC tm;
      ASSERT_TRUE(GetTextMetrics(canvas.dc(), &tm));
      EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << face;
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11) << face;
      EXPECT_GE(tm.tmHeight, 12) << face;
      EXPECT_LE(tm.tmHeight, 14) << face;
      EXPECT_GT(tm.tmAveCharWidth, 3) << face;
      EXPECT_LT(tm.tmAveCharWidth, 9) << face;
      EXPECT_EQ(tm.tmCharSet, RUSSIAN_CHARSET);
    }
    {
      // Positive height: the whole cell.
      WithFont f(canvas.dc(), MakeFont(face, 20, FW_BOLD));
      TEXTMETRIC tm;
      GetTextMetrics(canvas.dc(), &tm);
      EXPECT_EQ(tm.tmHeight, 20) << face;
      EXPECT_EQ(tm.tmWeight, FW_BOLD) << face;
      EXPECT_GT(tm.tmInternalLeading, 0) << face;
    }
  }
}

TEST(TextMetrics, ExtentsAddUpAndFixedPitchIsFixed)
{
  Canvas canvas(4, 4);
  WithFont f(canvas.dc(), MakeFont("Arial", -16));
  SIZE ab;
  SIZE a;
  SIZE b;
  GetTextExtentPoint32(canvas.dc(), "ab", 2, &ab);
  GetTextExtentPoint32(canvas.dc(), "a", 1, &a);
  GetTextExtentPoint32(canvas.dc(), "b", 1, &b);
  EXPECT_EQ(ab.cx, a.cx + b.cx);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  EXPECT_EQ(ab.cy, tm.tmHeight);
  SIZE wide;
  SIZE narrow;
  GetTextExtentPoint32(canvas.dc(), "WWW", 3, &wide);
  GetTextExtentPoint32(canvas.dc(), "iii", 3, &narrow);
  EXPECT_GT(wide.cx, 2 * narrow.cx);
  // Cyrillic letters are measured, not dropped: "Ж" is a wide letter.
  SIZE zhe;
  GetTextExtentPoint32(canvas.dc(), "Ж", 1, &zhe);
  EXPECT_GT(zhe.cx, a.cx);
  SetTextCharacterExtra(canvas.dc(), 2);
  GetTextExtentPoint32(canvas.dc(), "ab", 2, &ab);
  EXPECT_EQ(ab.cx, a.cx + b.cx + 4);

  WithFont mono(canvas.dc(), MakeFont("Courier New", -16));
  SetTextCharacterExtra(canvas.dc(), 0);
  GetTextExtentPoint32(canvas.dc(), "WWW", 3, &wide);
  GetTextExtentPoint32(canvas.dc(), "iii", 3, &narrow);
  EXPECT_EQ(wide.cx, narrow.cx);
  GetTextMetrics(canvas.dc(), &tm);
  EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST(TextOut, DrawsInTheTextColourWithinTheCellAndHonoursAlignment)
{
  Canvas canvas(60, 20);
  WithFont f(canvas.dc(), MakeFont("Arial", -14));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), RGB(0, 0, 0));
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  SIZE size;
  GetTextExtentPoint32(canvas.dc(), "HH", 2, &size);
  TextOut(canvas.dc(), 5, 2, "HH", 2);
  RECT inked = canvas.InkBounds();
  EXPECT_GE(inked.left, 5);
  EXPECT_LE(inked.right, 5 + size.cx);
  EXPECT_GE(inked.top, 2);
  EXPECT_LE(inked.bottom, 2 + tm.tmAscent);  // capitals sit on the baseline
  EXPECT_EQ(canvas.surface().Pixel(inked.left, inked.top + 1) & 0xFFFFFF, 0u);  // the H's stem is solid

  canvas.surface().Fill(0xFFFFFF);
  SetTextAlign(canvas.dc(), TA_RIGHT | TA_BASELINE);
  TextOut(canvas.dc(), 50, 15, "HH", 2);
  inked = canvas.InkBounds();
  EXPECT_LE(inked.right, 50);
  EXPECT_GE(inked.right, 48);
  EXPECT_EQ(inked.bottom, 15);

  // Opaque mode fills the cell with the background colour.
  canvas.surface().Fill(0xFFFFFF);
  SetTextAlign(canvas.dc(), TA_LEFT | TA_TOP);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), RGB(0, 0, 255));
  TextOut(canvas.dc(), 0, 0, "HH", 2);
  EXPECT_EQ(canvas.surface().Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(canvas.surface().Pixel(size.cx - 1, tm.tmHeight - 1), 0x0000FFu);
  EXPECT_EQ(canvas.surface().Pixel(size.cx, 0), 0xFFFFFFu);
}

TEST(TextOut, ClippedExtTextOutStaysInItsRectangle)
{
  Canvas canvas(40, 20);
  WithFont f(canvas.dc(), MakeFont("Arial", -16));
  const RECT r{0, 0, 10, 20};
  SetBkMode(canvas.dc(), TRANSPARENT);
  ExtTextOut(canvas.dc(), 0, 0, ETO_CLIPPED, &r, "WWWW", 4, nullptr);
  EXPECT_LE(canvas.InkBounds().right, 10);
}

TEST(TextOut, EscapementTurnsTheTextUpwards)
{
  Canvas canvas(40, 60);
  WithFont f(canvas.dc(), MakeFont("Arial", -14, FW_NORMAL, 900));
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextAlign(canvas.dc(), TA_BASELINE);
  TextOut(canvas.dc(), 20, 55, "HHHH", 4);
  const RECT inked = canvas.InkBounds();
  EXPECT_GT(inked.bottom - inked.top, 2 * (inked.right - inked.left));
  EXPECT_LE(inked.right, 21);  // the baseline runs up along x = 20, letters to its left
}

struct DrawTextCase {
  const char* name;
  const char* text;
  RECT rect;
  UINT format;
};

TEST(DrawText, MeasuresRectanglesForFlagCombinations)
{
  Canvas canvas(4, 4);
  WithFont f(canvas.dc(), MakeFont("Tahoma", -11));
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  const int h = tm.tmHeight;
  auto width = [&](const char* s) {
    SIZE size;
    GetTextExtentPoint32(canvas.dc(), s, static_cast<int>(std::strlen(s)), &size);
    return static_cast<int>(size.cx);
  };
  struct Expect {
    DrawTextCase c;
    RECT rect;
    int result;
  };
  const int wOpen = width("Open file");
  const Expect cases[] = {
      {{"single line", "Open file", {10, 5, 200, 50}, DT_SINGLELINE | DT_CALCRECT}, {10, 5, 10 + wOpen, 5 + h}, h},
      {{"prefix removed", "&Open file", {0, 0, 200, 50}, DT_SINGLELINE | DT_CALCRECT}, {0, 0, wOpen, h}, h},
      {{"prefix kept", "&Open file", {0, 0, 200, 50}, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT},
       {0, 0, width("&Open file"), h},
       h},
      {{"double ampersand", "A && B", {0, 0, 200, 50}, DT_SINGLELINE | DT_CALCRECT}, {0, 0, width("A & B"), h}, h},
      {{"line breaks", "Open\r\nfile", {0, 0, 200, 50}, DT_CALCRECT}, {0, 0, width("Open"), 2 * h}, 2 * h},
      {{"word break", "Open file", {0, 0, width("Open") + 2, 50}, DT_WORDBREAK | DT_CALCRECT},
       {0, 0, width("Open"), 2 * h},
       2 * h},
      {{"no word break", "Open file", {0, 0, width("Open") + 2, 50}, DT_CALCRECT}, {0, 0, wOpen, h}, h},
      {{"end ellipsis", "Open file", {0, 0, width("Op..."), 50}, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT},
       {0, 0, width("Op..."), h},
       h},
  };
  for (const Expect& e : cases) {
    RECT r = e.c.rect;
    EXPECT_EQ(DrawText(canvas.dc(), e.c.text, -1, &r, e.c.format), e.result) << e.c.name;
    EXPECT_EQ(r, e.rect) << e.c.name;
  }
}

TEST(DrawText, AlignsAndCentresInTheRectangle)
{
  struct Case {
    const char* name;
    UINT format;
    int left;  // expected left edge of the text's cell
    int top;
  };
  Canvas canvas(100, 40);
  WithFont f(canvas.dc(), MakeFont("Arial", -12));
  SetBkColor(canvas.dc(), RGB(0, 0, 255));  // opaque cells show where the text was put
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  SIZE size;
  GetTextExtentPoint32(canvas.dc(), "Text", 4, &size);
  const RECT r{10, 4, 90, 36};
  const Case cases[] = {
      {"left top", DT_SINGLELINE, 10, 4},
      {"centre", DT_SINGLELINE | DT_CENTER, 10 + (80 - size.cx) / 2, 4},
      {"right", DT_SINGLELINE | DT_RIGHT, 90 - size.cx, 4},
      {"vertical centre", DT_SINGLELINE | DT_VCENTER, 10, 4 + (32 - tm.tmHeight) / 2},
      {"bottom", DT_SINGLELINE | DT_BOTTOM, 10, 36 - tm.tmHeight},
  };
  for (const Case& c : cases) {
    canvas.surface().Fill(0xFFFFFF);
    RECT rect = r;
    const int height = DrawText(canvas.dc(), "Text", -1, &rect, c.format);
    EXPECT_EQ(canvas.InkBounds(0x0000FF), (RECT{c.left, c.top, c.left + size.cx, c.top + tm.tmHeight})) << c.name;
    EXPECT_EQ(height, c.top - 4 + tm.tmHeight) << c.name;
  }
}

TEST(DrawText, UnderlinesThePrefixedLetterOnly)
{
  Canvas canvas(60, 20);
  WithFont f(canvas.dc(), MakeFont("Arial", -12));
  SetBkMode(canvas.dc(), TRANSPARENT);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  RECT r{0, 0, 60, 20};
  DrawText(canvas.dc(), "a&bc", -1, &r, DT_SINGLELINE);
  SIZE a;
  SIZE ab;
  GetTextExtentPoint32(canvas.dc(), "a", 1, &a);
  GetTextExtentPoint32(canvas.dc(), "ab", 2, &ab);
  const int y = tm.tmAscent + 1;
  for (int x = 0; x < 60; ++x) {
    const bool under = x >= a.cx && x < ab.cx;
    EXPECT_EQ(canvas.surface().Pixel(x, y) == 0u, under) << x;
  }
  canvas.surface().Fill(0xFFFFFF);
  r = RECT{0, 0, 60, 20};
  DrawText(canvas.dc(), "a&bc", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_NE(canvas.surface().Pixel(a.cx, y), 0u);
}

TEST(DrawText, PathEllipsisKeepsTheFileName)
{
  Canvas canvas(4, 4);
  WithFont f(canvas.dc(), MakeFont("Tahoma", -11));
  SIZE name;
  GetTextExtentPoint32(canvas.dc(), "...\\road.qrd", 12, &name);
  RECT r{0, 0, name.cx + 20, 20};
  DrawText(canvas.dc(), "C:\\Projects\\Lighting\\road.qrd", -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(r.right, name.cx + 20);
  EXPECT_GE(r.right, name.cx);
}

TEST(Text, RussianSampleRendersLegibly)
{
  Canvas canvas(420, 150);
  SetBkMode(canvas.dc(), TRANSPARENT);
  int y = 6;
  const char* faces[] = {"Tahoma", "Times New Roman", "Courier New"};
  for (const char* face : faces) {
    WithFont f(canvas.dc(), MakeFont(face, -16));
    TextOut(canvas.dc(), 8, y, "Расчёт освещённости дороги: 12,5 лк", 35);
    y += 22;
  }
  {
    WithFont f(canvas.dc(), MakeFont("Arial", -13, FW_BOLD));
    RECT r{8, y, 412, y + 40};
    DrawText(canvas.dc(), "&Файл  Правка  Вид — подчёркнута буква Ф", -1, &r, DT_SINGLELINE);
    y += 24;
  }
  {
    WithFont f(canvas.dc(), MakeFont("Marlett", -13));
    RECT r{8, y, 200, y + 20};
    DrawText(canvas.dc(), "0 1 2 r 3 4 5 6 a", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
  }
  const std::string path = std::string(TESMIRA_ARTIFACTS_DIR) + "/gdi_russian_text.png";
  ASSERT_TRUE(gdi::SavePng(canvas.surface(), path));
  // Every line left ink.
  int inkedRows = 0;
  for (int row = 0; row < 150; ++row) {
    for (int x = 0; x < 420; ++x) {
      if ((canvas.surface().Pixel(x, row) & 0xFFFFFF) != 0xFFFFFF) {
        ++inkedRows;
        break;
      }
    }
  }
  EXPECT_GT(inkedRows, 60);
}

}  // namespace

namespace {

TEST(DrawText, TabsWordWrapAndClipping)
{
  Canvas canvas(200, 60);
  WithFont f(canvas.dc(), MakeFont("Arial", -12));
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  // Tabs stop every eight average character widths.
  RECT r{0, 0, 200, 20};
  DrawText(canvas.dc(), "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
  SIZE b;
  GetTextExtentPoint32(canvas.dc(), "b", 1, &b);
  EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + b.cx);

  // A word wider than the rectangle keeps its own line and widens the measured rectangle.
  SIZE word;
  GetTextExtentPoint32(canvas.dc(), "Светильник", 10, &word);
  r = RECT{0, 0, word.cx / 2, 60};
  EXPECT_EQ(DrawText(canvas.dc(), "Светильник на опоре", -1, &r, DT_WORDBREAK | DT_CALCRECT), 3 * tm.tmHeight);
  EXPECT_EQ(r.right, word.cx);

  // Drawn text stays inside its rectangle unless told not to.
  SetBkMode(canvas.dc(), TRANSPARENT);
  r = RECT{10, 10, 30, 30};
  DrawText(canvas.dc(), "WWWWWW", -1, &r, DT_SINGLELINE);
  EXPECT_LE(canvas.InkBounds().right, 30);
  canvas.surface().Fill(0xFFFFFF);
  DrawText(canvas.dc(), "WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(canvas.InkBounds().right, 30);
}

TEST(TextOut, UpdateCpAdvancesTheCurrentPositionAndDxSpacesCharacters)
{
  Canvas canvas(100, 20);
  WithFont f(canvas.dc(), MakeFont("Arial", -12));
  SetTextAlign(canvas.dc(), TA_UPDATECP);
  MoveToEx(canvas.dc(), 5, 0, nullptr);
  TextOut(canvas.dc(), 0, 0, "ab", 2);
  SIZE ab;
  GetTextExtentPoint32(canvas.dc(), "ab", 2, &ab);
  POINT pos;
  GetCurrentPositionEx(canvas.dc(), &pos);
  EXPECT_EQ(pos.x, 5 + ab.cx);

  Canvas spaced(100, 20);
  WithFont g(spaced.dc(), MakeFont("Arial", -12));
  SetBkMode(spaced.dc(), TRANSPARENT);
  const INT dx[] = {30, 30};
  ExtTextOut(spaced.dc(), 0, 0, 0, nullptr, "ll", 2, dx);
  const RECT inked = spaced.InkBounds();
  EXPECT_GE(inked.right - inked.left, 30);
}

TEST(Fonts, UnderlinedFontDrawsALineUnderTheText)
{
  Canvas canvas(60, 20);
  HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "Arial");
  WithFont f(canvas.dc(), font);
  SetBkMode(canvas.dc(), TRANSPARENT);
  TEXTMETRIC tm;
  GetTextMetrics(canvas.dc(), &tm);
  EXPECT_TRUE(tm.tmUnderlined);
  TextOut(canvas.dc(), 0, 0, "ab", 2);
  SIZE ab;
  GetTextExtentPoint32(canvas.dc(), "ab", 2, &ab);
  int underlineRow = -1;
  for (int y = tm.tmAscent; y < tm.tmHeight; ++y) {
    bool full = true;
    for (int x = 0; x < ab.cx; ++x) {
      full = full && canvas.surface().Pixel(x, y) == 0u;
    }
    if (full) {
      underlineRow = y;
    }
  }
  EXPECT_GT(underlineRow, tm.tmAscent - 1);
  char face[LF_FACESIZE];
  EXPECT_EQ(GetTextFace(canvas.dc(), LF_FACESIZE, face), 5);
  EXPECT_STREQ(face, "Arial");
}

}  // namespace

namespace {

TEST(TextOut, OpaqueExtTextOutWithoutTextFillsTheRectangle)
{
  // The framework's solid fills are this call.
  Canvas canvas(4, 3);
  SetBkColor(canvas.dc(), RGB(255, 0, 0));
  const RECT r{1, 1, 3, 3};
  EXPECT_TRUE(ExtTextOut(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(canvas.Picture(), (std::vector<std::string>{"....", ".rr.", ".rr."}));
}

TEST(Fonts, FamilyChoosesTheFaceWhenNoNameIsGiven)
{
  Canvas canvas(4, 4);
  auto fixedWidth = [&](BYTE pitchAndFamily) {
    HFONT font = CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, pitchAndFamily, "");
    WithFont f(canvas.dc(), font);
    SIZE w;
    SIZE i;
    GetTextExtentPoint32(canvas.dc(), "W", 1, &w);
    GetTextExtentPoint32(canvas.dc(), "i", 1, &i);
    return w.cx == i.cx;
  };
  EXPECT_TRUE(fixedWidth(FIXED_PITCH | FF_MODERN));
  EXPECT_FALSE(fixedWidth(VARIABLE_PITCH | FF_SWISS));
}

}  // namespace

namespace {

int CollectFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM data)
{
  auto* faces = reinterpret_cast<std::vector<std::string>*>(data);
  faces->push_back(font->lfFaceName);
  EXPECT_EQ(type, TRUETYPE_FONTTYPE);
  EXPECT_GT(metrics->tmHeight, 0);
  return faces->size() < 100 ? 1 : 0;
}

TEST(Fonts, EnumerationOffersTheProgramsFacesAndStopsWhenAsked)
{
  Canvas canvas(1, 1);
  std::vector<std::string> faces;
  LOGFONTA all;
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(canvas.dc(), &all, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  for (const char* face : {"Tahoma", "Arial", "Times New Roman", "Courier New", "Marlett", "Liberation Sans"}) {
    EXPECT_NE(std::find(faces.begin(), faces.end(), face), faces.end()) << face;
  }
  std::vector<std::string> one;
  std::strcpy(all.lfFaceName, "tahoma");
  EnumFontFamiliesExA(canvas.dc(), &all, CollectFace, reinterpret_cast<LPARAM>(&one), 0);
  EXPECT_EQ(one, std::vector<std::string>{"Tahoma"});
  std::strcpy(all.lfFaceName, "No Such Face");
  EXPECT_EQ(EnumFontFamiliesExA(canvas.dc(), &all, CollectFace, 0, 0), 1);
}

}  // namespace

namespace {

TEST(TextMetrics, PartialExtentsAndCharacterWidthsAgreeWithTheWholeExtent)
{
  Canvas canvas(1, 1);
  WithFont f(canvas.dc(), MakeFont("Tahoma", -11));
  const char* text = "Опора №12";
  const int n = static_cast<int>(std::strlen(text));
  SIZE whole;
  GetTextExtentPoint32(canvas.dc(), text, n, &whole);
  std::vector<INT> partial(static_cast<std::size_t>(n));
  INT fit = 0;
  SIZE size;
  ASSERT_TRUE(GetTextExtentExPointA(canvas.dc(), text, n, whole.cx / 2, &fit, partial.data(), &size));
  EXPECT_EQ(size.cx, whole.cx);
  EXPECT_EQ(partial.back(), whole.cx);
  EXPECT_LE(partial[static_cast<std::size_t>(fit) - 1], whole.cx / 2);
  EXPECT_GT(partial[static_cast<std::size_t>(fit)], whole.cx / 2);
  INT widthSum = 0;
  for (int i = 0; i < n; ++i) {
    INT w = 0;
    ABC abc;
    const UINT c = static_cast<unsigned char>(text[i]);
    GetCharWidth32A(canvas.dc(), c, c, &w);
    GetCharABCWidthsA(canvas.dc(), c, c, &abc);
    EXPECT_EQ(abc.abcA + static_cast<int>(abc.abcB) + abc.abcC, w) << i;
    widthSum += w;
  }
  EXPECT_EQ(widthSum, whole.cx);
}

}  // namespace
