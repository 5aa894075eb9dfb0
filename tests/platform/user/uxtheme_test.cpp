// Visual styles: off as shipped, the XP styles under the test hook, handles, parts and colours.
#include "platform/user/uxtheme.h"

#include "platform/base/codepage.h"
#include "platform/gdi/png.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using uxtheme::Theme;

// A 32-bit canvas filled with one colour.
class Canvas {
public:
  Canvas(int width, int height, COLORREF background = RGB(255, 0, 255)) : dc_(CreateCompatibleDC(nullptr))
  {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~Canvas()
  {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // How many pixels of the rectangle differ from `color`.
  int Differing(RECT r, COLORREF color) const
  {
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        n += At(x, y) != color ? 1 : 0;
      }
    }
    return n;
  }

private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

constexpr COLORREF kBackground = RGB(255, 0, 255);

class VisualStyles : public ::testing::Test {
protected:
  void TearDown() override { uxtheme::SetTestTheme(Theme::None); }
};

TEST_F(VisualStyles, HookOffAndOnAnswerConsistently)
{
  struct Case {
    Theme theme;
    const char* file;   // lower case, as the colour manager compares
    const char* color;
  };
  const Case cases[] = {
      {Theme::None, nullptr, nullptr},
      {Theme::LunaBlue, "luna.msstyles", "normalcolor"},
      {Theme::LunaOlive, "luna.msstyles", "homestead"},
      {Theme::LunaSilver, "luna.msstyles", "metallic"},
      {Theme::Royale, "royale.msstyles", "normalcolor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.theme));
    uxtheme::SetTestTheme(c.theme);
    const bool on = c.theme != Theme::None;
    EXPECT_EQ(IsAppThemed(), on ? TRUE : FALSE);
    EXPECT_EQ(IsThemeActive(), on ? TRUE : FALSE);

    char16_t file[260] = u"untouched";
    char16_t color[260] = u"untouched";
    const HRESULT named = GetCurrentThemeName(file, 260, color, 260, nullptr, 0);
    HTHEME toolbar = OpenThemeData(nullptr, u"TOOLBAR");
    Canvas canvas(40, 30);
    const RECT button{5, 5, 35, 25};
    const HRESULT drawn = DrawThemeBackground(toolbar, canvas.dc(), TP_BUTTON, TS_HOT, &button, nullptr);
    COLORREF text = 0x12345678;
    const HRESULT colour = GetThemeColor(toolbar, 0, 0, TMT_TEXTCOLOR, &text);
    if (on) {
      ASSERT_EQ(named, S_OK);
      std::string lowerFile = codepage::Utf16ToUtf8(file);
      std::string lowerColor = codepage::Utf16ToUtf8(color);
      for (std::string* s : {&lowerFile, &lowerColor}) {
        for (char& ch : *s) {
          ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
      }
      EXPECT_NE(lowerFile.find(c.file), std::string::npos) << lowerFile;
      EXPECT_EQ(lowerColor, c.color);
      ASSERT_NE(toolbar, nullptr);
      EXPECT_EQ(drawn, S_OK);
      EXPECT_GT(canvas.Differing(button, kBackground), 100);
      EXPECT_EQ(colour, S_OK);
      EXPECT_EQ(text, RGB(0, 0, 0));
      EXPECT_EQ(CloseThemeData(toolbar), S_OK);
    } else {
      EXPECT_TRUE(FAILED(named));
      EXPECT_EQ(std::u16string(file), u"untouched");
      EXPECT_EQ(toolbar, nullptr);
      EXPECT_EQ(drawn, E_HANDLE);
      EXPECT_EQ(canvas.Differing({0, 0, 40, 30}, kBackground), 0);
      EXPECT_EQ(colour, E_HANDLE);
      EXPECT_EQ(text, 0x12345678u);
    }
  }
}

TEST_F(VisualStyles, HandlesAndClassListsAndBadArguments)
{
  uxtheme::SetTestTheme(Theme::LunaBlue);
  // A list opens its first known class; scoped names count by their class.
  HTHEME tree = OpenThemeData(nullptr, u"Explorer::TreeView;TreeView");
  ASSERT_NE(tree, nullptr);
  HTHEME status = OpenThemeData(nullptr, u"NoSuchClass; status");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, u"NoSuchClass"), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);

  Canvas canvas(30, 30);
  const RECT all{0, 0, 30, 30};
  // A part the class does not have draws nothing.
  EXPECT_EQ(DrawThemeBackground(status, canvas.dc(), 4, 0, &all, nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawThemeBackground(status, canvas.dc(), 0, 0, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(canvas.Differing(all, kBackground), 0);
  // The clip rectangle bounds the drawing.
  const RECT clip{0, 0, 15, 30};
  ASSERT_EQ(DrawThemeBackground(status, canvas.dc(), 0, 0, &all, &clip), S_OK);
  EXPECT_EQ(canvas.Differing(clip, kBackground), 15 * 30);
  EXPECT_EQ(canvas.Differing({15, 0, 30, 30}, kBackground), 0);

  // A handle keeps its style after the style changes, and answers E_HANDLE once closed.
  uxtheme::SetTestTheme(Theme::None);
  COLORREF border = 0;
  EXPECT_EQ(GetThemeColor(tree, 0, 0, TMT_BORDERCOLOR, &border), S_OK);
  EXPECT_EQ(GetThemeColor(tree, 0, 0, 9999, &border), E_PROP_ID_UNSUPPORTED);
  EXPECT_EQ(CloseThemeData(tree), S_OK);
  EXPECT_EQ(CloseThemeData(tree), E_HANDLE);
  EXPECT_EQ(GetThemeColor(tree, 0, 0, TMT_BORDERCOLOR, &border), E_HANDLE);
  EXPECT_EQ(DrawThemeBackground(tree, canvas.dc(), TVP_GLYPH, GLPS_OPENED, &all, nullptr), E_HANDLE);
  EXPECT_EQ(CloseThemeData(status), S_OK);

  uxtheme::SetTestTheme(Theme::LunaOlive);
  char16_t shortBuffer[5];
  EXPECT_EQ(GetCurrentThemeName(shortBuffer, 5, nullptr, 0, nullptr, 0), E_UXTHEME_BUFFER);
}

TEST_F(VisualStyles, ColoursTheToolkitReadsFollowTheScheme)
{
  struct Read {
    const char16_t* cls;
    int part;
    int state;
    int property;
  };
  const Read reads[] = {
      {u"COMBOBOX", CP_DROPDOWNBUTTON, CBXS_NORMAL, TMT_BORDERCOLOR},
      {u"REBAR", RP_BAND, 0, TMT_EDGESHADOWCOLOR},
      {u"REBAR", 0, 0, TMT_FILLCOLORHINT},
      {u"TREEVIEW", 0, 0, TMT_BORDERCOLOR},
      {u"BUTTON", BP_GROUPBOX, GBS_NORMAL, TMT_TEXTCOLOR},
      {u"BUTTON", BP_GROUPBOX, GBS_NORMAL, TMT_BORDERCOLORHINT},
      {u"STATUS", SP_PANE, 0, TMT_TEXTCOLOR},
  };
  std::vector<std::vector<COLORREF>> byTheme;
  for (Theme theme : {Theme::LunaBlue, Theme::LunaOlive, Theme::LunaSilver}) {
    uxtheme::SetTestTheme(theme);
    std::vector<COLORREF> colours;
    for (const Read& r : reads) {
      HTHEME handle = OpenThemeData(nullptr, r.cls);
      COLORREF c = 0xFFFFFFFF;
      EXPECT_EQ(GetThemeColor(handle, r.part, r.state, r.property, &c), S_OK);
      EXPECT_EQ(c >> 24, 0u);
      colours.push_back(c);
      CloseThemeData(handle);
    }
    byTheme.push_back(colours);
  }
  // Field borders, which the colour manager and the edit frames take, differ from scheme to scheme.
  EXPECT_NE(byTheme[0][0], byTheme[1][0]);
  EXPECT_NE(byTheme[0][0], byTheme[2][0]);
  EXPECT_NE(byTheme[0][3], byTheme[2][3]);
  // A disabled combo box has a border of its own.
  uxtheme::SetTestTheme(Theme::LunaBlue);
  HTHEME combo = OpenThemeData(nullptr, u"COMBOBOX");
  COLORREF enabled = 0;
  COLORREF disabled = 0;
  GetThemeColor(combo, CP_DROPDOWNBUTTON, CBXS_NORMAL, TMT_BORDERCOLOR, &enabled);
  GetThemeColor(combo, CP_DROPDOWNBUTTON, CBXS_DISABLED, TMT_BORDERCOLOR, &disabled);
  EXPECT_NE(enabled, disabled);
  CloseThemeData(combo);
}

TEST_F(VisualStyles, ATopLevelWindowHearsTheStyleChange)
{
  static int changes = 0;
  WNDCLASS wc;
  wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (msg == WM_THEMECHANGED) {
      ++changes;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
  };
  wc.lpszClassName = "ThemeListener";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "ThemeListener", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  changes = 0;
  uxtheme::SetTestTheme(Theme::Royale);
  uxtheme::SetTestTheme(Theme::Royale);  // no change, nothing said
  uxtheme::SetTestTheme(Theme::None);
  EXPECT_EQ(changes, 2);
  DestroyWindow(w);
}

TEST_F(VisualStyles, BoundAtRunTimeAsTheToolkitBindsThem)
{
  uxtheme::SetTestTheme(Theme::LunaSilver);
  HMODULE module = LoadLibrary("UxTheme.dll");
  ASSERT_NE(module, nullptr);
  using IsThemeActiveProc = BOOL (*)();
  using OpenProc = HTHEME (*)(HWND, LPCWSTR);
  auto isActive = reinterpret_cast<IsThemeActiveProc>(GetProcAddress(module, "IsThemeActive"));
  auto open = reinterpret_cast<OpenProc>(GetProcAddress(module, "OpenThemeData"));
  ASSERT_NE(isActive, nullptr);
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(isActive());
  HTHEME tab = open(nullptr, u"TAB");
  EXPECT_NE(tab, nullptr);
  CloseThemeData(tab);
  FreeLibrary(module);
}

// Every part and state the toolkit draws, per style, labelled, for a person to look at.
TEST_F(VisualStyles, GalleryOfTheThemedParts)
{
  struct Row {
    const char* label;
    const char16_t* cls;
    int part;
    std::vector<int> states;
    SIZE size;
  };
  const std::vector<Row> rows = {
      {"TOOLBAR button 1-6", u"TOOLBAR", TP_BUTTON, {1, 2, 3, 4, 5, 6}, {28, 22}},
      {"TOOLBAR split 3+4 1-5", u"TOOLBAR", TP_SPLITBUTTON, {1, 2, 3, 4, 5}, {36, 22}},
      {"REBAR background", u"REBAR", 0, {0}, {120, 24}},
      {"REBAR grippers 1/2", u"REBAR", RP_GRIPPER, {1}, {8, 24}},
      {"COMBOBOX drop-down 1-4", u"COMBOBOX", CP_DROPDOWNBUTTON, {1, 2, 3, 4}, {17, 20}},
      {"STATUS background", u"STATUS", 0, {0}, {120, 22}},
      {"STATUS gripper", u"STATUS", SP_GRIPPER, {0}, {18, 18}},
      {"TAB item 1,5,3,4", u"TAB", TABP_TABITEM, {1, 5, 3, 4}, {48, 21}},
      {"TAB pane", u"TAB", TABP_PANE, {0}, {120, 30}},
      {"WINDOW small caption", u"WINDOW", WP_SMALLCAPTION, {1, 2}, {100, 18}},
      {"WINDOW frame 10-12 + 2", u"WINDOW", WP_SMALLFRAMELEFT, {1, 2}, {60, 30}},
      {"EXPLORERBAR close 1-3", u"EXPLORERBAR", EBP_HEADERCLOSE, {1, 2, 3}, {16, 16}},
      {"EXPLORERBAR pin 1-6", u"EXPLORERBAR", EBP_HEADERPIN, {1, 2, 3, 4, 5, 6}, {16, 16}},
      {"BUTTON push 1-5", u"BUTTON", BP_PUSHBUTTON, {1, 2, 3, 4, 5}, {44, 22}},
      {"BUTTON check/radio", u"BUTTON", BP_CHECKBOX, {1, 2, 5, 8}, {16, 16}},
      {"BUTTON group box", u"BUTTON", BP_GROUPBOX, {1}, {100, 30}},
      {"TREEVIEW glyph 1/2", u"TREEVIEW", TVP_GLYPH, {GLPS_CLOSED, GLPS_OPENED}, {16, 16}},
      {"HEADER item 1-3", u"HEADER", HP_HEADERITEM, {1, 2, 3}, {50, 20}},
      {"SCROLLBAR arrows/thumb", u"SCROLLBAR", SBP_ARROWBTN, {1, 2, 5, 8}, {17, 17}},
      {"SPIN up/down", u"SPIN", SPNP_UP, {1, 2, 3}, {17, 11}},
      {"PROGRESS bar + chunk", u"PROGRESS", PP_CHUNK, {1}, {80, 14}},
  };
  const Theme themes[] = {Theme::LunaBlue, Theme::LunaOlive, Theme::LunaSilver, Theme::Royale};
  const char* themeNames[] = {"Luna blue", "Luna olive", "Luna silver", "Royale"};
  constexpr int kLabelWidth = 205;
  constexpr int kColumnWidth = 330;
  constexpr int kRowHeight = 38;
  const int width = kLabelWidth + kColumnWidth * 4;
  const int height = 30 + kRowHeight * static_cast<int>(rows.size());
  Canvas canvas(width, height, RGB(255, 255, 255));
  HDC dc = canvas.dc();
  SetBkMode(dc, TRANSPARENT);
  for (int t = 0; t < 4; ++t) {
    RECT title{kLabelWidth + t * kColumnWidth, 6, kLabelWidth + (t + 1) * kColumnWidth, 26};
    DrawText(dc, themeNames[t], -1, &title, DT_LEFT | DT_SINGLELINE);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const int top = 30 + kRowHeight * static_cast<int>(i);
    RECT label{6, top, kLabelWidth, top + kRowHeight};
    DrawText(dc, row.label, -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    for (int t = 0; t < 4; ++t) {
      uxtheme::SetTestTheme(themes[t]);
      HTHEME theme = OpenThemeData(nullptr, row.cls);
      ASSERT_NE(theme, nullptr);
      // A face colour behind each cell, as a bar would have.
      RECT cell{kLabelWidth + t * kColumnWidth, top, kLabelWidth + (t + 1) * kColumnWidth - 8, top + kRowHeight - 4};
      HBRUSH face = CreateSolidBrush(RGB(236, 233, 216));
      FillRect(dc, &cell, face);
      DeleteObject(face);
      int x = cell.left + 6;
      for (int state : row.states) {
        RECT r{x, top + 4, x + row.size.cx, top + 4 + row.size.cy};
        if (row.part == TP_SPLITBUTTON && row.cls == std::u16string_view(u"TOOLBAR")) {
          // As the Native XP theme draws a split button: the button, and its drop-down part 12 pixels wide.
          const RECT button{r.left, r.top, r.right - 12, r.bottom};
          const RECT dropDown{r.right - 12, r.top, r.right, r.bottom};
          ASSERT_EQ(DrawThemeBackground(theme, dc, TP_SPLITBUTTON, state, &button, nullptr), S_OK);
          ASSERT_EQ(DrawThemeBackground(theme, dc, TP_SPLITBUTTONDROPDOWN, state, &dropDown, nullptr), S_OK);
        } else if (row.part == WP_SMALLFRAMELEFT) {
          // A floating pane's frame: caption strip, then left, right and bottom edges 3 pixels wide.
          const RECT caption{r.left, r.top, r.right, r.top + 10};
          const RECT left{r.left, r.top + 10, r.left + 3, r.bottom};
          const RECT right{r.right - 3, r.top + 10, r.right, r.bottom};
          const RECT bottom{r.left, r.bottom - 3, r.right, r.bottom};
          ASSERT_EQ(DrawThemeBackground(theme, dc, WP_SMALLCAPTION, state, &caption, nullptr), S_OK);
          ASSERT_EQ(DrawThemeBackground(theme, dc, WP_SMALLFRAMELEFT, state, &left, nullptr), S_OK);
          ASSERT_EQ(DrawThemeBackground(theme, dc, WP_SMALLFRAMERIGHT, state, &right, nullptr), S_OK);
          ASSERT_EQ(DrawThemeBackground(theme, dc, WP_SMALLFRAMEBOTTOM, state, &bottom, nullptr), S_OK);
        } else {
          ASSERT_EQ(DrawThemeBackground(theme, dc, row.part, state, &r, nullptr), S_OK) << row.label;
        }
        x += row.size.cx + 6;
      }
      if (row.cls == std::u16string_view(u"REBAR") && row.part == RP_GRIPPER) {
        RECT vertical{x, top + 4, x + 24, top + 12};
        DrawThemeBackground(theme, dc, RP_GRIPPERVERT, 1, &vertical, nullptr);
      }
      if (row.cls == std::u16string_view(u"TAB") && row.part == TABP_TABITEM) {
        RECT text{cell.left + 6, top + 4, cell.left + 54, top + 25};
        DrawThemeText(theme, dc, TABP_TABITEM, TIS_NORMAL, u"Tab", -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0,
                      &text);
      }
      CloseThemeData(theme);
    }
  }
  const std::string path = std::string(TESMIRA_ARTIFACTS_DIR) + "/uxtheme-gallery.png";
  EXPECT_TRUE(gdi::SavePng(canvas.bitmap(), path));
}

}  // namespace
