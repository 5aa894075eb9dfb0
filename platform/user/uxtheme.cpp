// Visual styles drawn by our own code in the colours of the Windows XP styles.
#include "platform/user/uxtheme.h"

#include "platform/base/codepage.h"
#include "platform/gdi/windraw.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

using uxtheme::Theme;

// ---- The styles' colours

// The colours one style gives its classes. Each class draws from these few, so the styles stay consistent.
struct Scheme {
  const char16_t* file;
  const char16_t* colorName;
  COLORREF face;          // bar and dialog background
  COLORREF faceLight;     // the light end of bar gradients
  COLORREF text;
  COLORREF grayText;
  COLORREF buttonBorder;  // push buttons
  COLORREF hotTop, hotBottom, hotBorder;              // toolbar buttons under the mouse
  COLORREF pressedTop, pressedBottom, pressedBorder;  // toolbar buttons held or checked
  COLORREF controlTop, controlBottom, controlBorder;  // combo and spin buttons, scroll bar thumbs
  COLORREF glyph;         // arrows on those
  COLORREF fieldBorder;   // edit fields, combo boxes, tree views
  COLORREF accent;        // hot tab strip, default button ring
  COLORREF selectedAccent;
  COLORREF tabBorder;
  COLORREF captionTop, captionBottom, inactiveTop, inactiveBottom;
  COLORREF captionText;
  COLORREF edgeShadow;    // under docked bars
  COLORREF groupText, groupBorder;
  COLORREF chunk;         // progress
};

constexpr Scheme kLunaBlue{
    u"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", u"NormalColor",
    RGB(236, 233, 216), RGB(252, 252, 249), RGB(0, 0, 0), RGB(161, 161, 146), RGB(0, 60, 116),
    RGB(255, 255, 255), RGB(236, 233, 216), RGB(206, 206, 195),
    RGB(227, 226, 218), RGB(218, 216, 206), RGB(147, 147, 128),
    RGB(201, 218, 252), RGB(166, 192, 245), RGB(179, 199, 242), RGB(77, 97, 133),
    RGB(127, 157, 185), RGB(255, 200, 60), RGB(230, 139, 44), RGB(145, 167, 180),
    RGB(61, 149, 255), RGB(0, 84, 227), RGB(157, 185, 235), RGB(122, 150, 223), RGB(255, 255, 255),
    RGB(203, 199, 184), RGB(0, 70, 213), RGB(208, 208, 191), RGB(49, 211, 74)};

constexpr Scheme kLunaOlive{
    u"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", u"HomeStead",
    RGB(236, 233, 216), RGB(252, 252, 249), RGB(0, 0, 0), RGB(161, 161, 146), RGB(55, 98, 6),
    RGB(255, 255, 255), RGB(236, 233, 216), RGB(206, 206, 195),
    RGB(227, 226, 218), RGB(218, 216, 206), RGB(147, 147, 128),
    RGB(222, 231, 192), RGB(186, 204, 150), RGB(164, 185, 127), RGB(84, 102, 44),
    RGB(164, 185, 127), RGB(255, 200, 60), RGB(230, 139, 44), RGB(164, 185, 127),
    RGB(181, 199, 142), RGB(130, 150, 86), RGB(217, 222, 197), RGB(190, 198, 160), RGB(255, 255, 255),
    RGB(203, 199, 184), RGB(49, 106, 30), RGB(208, 208, 191), RGB(142, 179, 67)};

constexpr Scheme kLunaSilver{
    u"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", u"Metallic",
    RGB(224, 223, 227), RGB(250, 250, 252), RGB(0, 0, 0), RGB(172, 168, 153), RGB(21, 66, 139),
    RGB(255, 255, 255), RGB(224, 223, 227), RGB(189, 189, 199),
    RGB(217, 217, 224), RGB(204, 204, 214), RGB(146, 146, 160),
    RGB(245, 245, 248), RGB(206, 206, 218), RGB(165, 172, 178), RGB(74, 74, 96),
    RGB(165, 172, 178), RGB(255, 200, 60), RGB(230, 139, 44), RGB(145, 155, 156),
    RGB(240, 240, 245), RGB(165, 164, 190), RGB(246, 246, 249), RGB(212, 212, 224), RGB(14, 24, 30),
    RGB(190, 190, 200), RGB(50, 50, 90), RGB(208, 208, 215), RGB(120, 150, 210)};

constexpr Scheme kRoyale{
    u"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", u"NormalColor",
    RGB(235, 233, 237), RGB(252, 252, 253), RGB(0, 0, 0), RGB(167, 166, 170), RGB(0, 51, 153),
    RGB(255, 255, 255), RGB(235, 233, 237), RGB(200, 198, 210),
    RGB(226, 225, 231), RGB(212, 210, 220), RGB(140, 138, 160),
    RGB(215, 227, 253), RGB(173, 195, 243), RGB(137, 160, 212), RGB(50, 70, 130),
    RGB(122, 152, 175), RGB(255, 200, 60), RGB(226, 136, 40), RGB(137, 140, 149),
    RGB(40, 110, 230), RGB(0, 51, 153), RGB(150, 170, 220), RGB(110, 130, 190), RGB(255, 255, 255),
    RGB(196, 194, 204), RGB(0, 70, 213), RGB(208, 208, 215), RGB(60, 180, 90)};

const Scheme* SchemeOf(Theme theme)
{
  switch (theme) {
    case Theme::LunaBlue: return &kLunaBlue;
    case Theme::LunaOlive: return &kLunaOlive;
    case Theme::LunaSilver: return &kLunaSilver;
    case Theme::Royale: return &kRoyale;
    default: return nullptr;
  }
}

std::atomic<Theme> g_theme{Theme::None};

// ---- Classes and handles

enum class Class { Button, ComboBox, TreeView, Toolbar, Rebar, Status, Tab, Window, ExplorerBar, Header,
                   ScrollBar, Spin, Edit, Menu, Progress };

struct ClassInfo {
  const char* name;
  Class id;
  int lastPart;  // parts 0 (where the class has a background) to lastPart
};

constexpr ClassInfo kClasses[] = {
    {"BUTTON", Class::Button, 5},   {"COMBOBOX", Class::ComboBox, 1}, {"TREEVIEW", Class::TreeView, 3},
    {"TOOLBAR", Class::Toolbar, 6}, {"REBAR", Class::Rebar, 4},       {"STATUS", Class::Status, 3},
    {"TAB", Class::Tab, 10},        {"WINDOW", Class::Window, 12},    {"EXPLORERBAR", Class::ExplorerBar, 3},
    {"HEADER", Class::Header, 3},   {"SCROLLBAR", Class::ScrollBar, 10}, {"SPIN", Class::Spin, 4},
    {"EDIT", Class::Edit, 1},       {"MENU", Class::Menu, 6},         {"PROGRESS", Class::Progress, 4},
};

struct ThemeData {
  const ClassInfo* cls;
  const Scheme* scheme;
};

struct Handles {
  std::mutex mutex;
  std::map<ULONG_PTR, ThemeData> open;
  ULONG_PTR next = 0x7E000001;
};

Handles& Table()
{
  static Handles handles;
  return handles;
}

std::optional<ThemeData> Lookup(HTHEME theme)
{
  std::lock_guard guard(Table().mutex);
  auto found = Table().open.find(reinterpret_cast<ULONG_PTR>(theme));
  if (found == Table().open.end()) {
    return std::nullopt;
  }
  return found->second;
}

char UpperAscii(char16_t c) { return static_cast<char>(c >= u'a' && c <= u'z' ? c - u'a' + 'A' : c); }

const ClassInfo* FindClass(std::u16string_view name)
{
  if (std::size_t scope = name.rfind(u"::"); scope != std::u16string_view::npos) {
    name.remove_prefix(scope + 2);
  }
  while (!name.empty() && name.front() == u' ') {
    name.remove_prefix(1);
  }
  while (!name.empty() && name.back() == u' ') {
    name.remove_suffix(1);
  }
  for (const ClassInfo& cls : kClasses) {
    const std::string_view known = cls.name;
    if (known.size() == name.size() &&
        std::equal(known.begin(), known.end(), name.begin(), [](char k, char16_t c) { return k == UpperAscii(c); })) {
      return &cls;
    }
  }
  return nullptr;
}

// ---- Painting helpers

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB)
{
  auto channel = [&](int shift) {
    const int x = static_cast<int>((a >> shift) & 0xFF);
    const int y = static_cast<int>((b >> shift) & 0xFF);
    return static_cast<COLORREF>((x * (100 - percentOfB) + y * percentOfB) / 100) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

void Fill(HDC dc, RECT r, COLORREF color)
{
  if (r.IsEmpty()) {
    return;
  }
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Gradient(HDC dc, RECT r, COLORREF from, COLORREF to, bool vertical = true)
{
  if (r.IsEmpty()) {
    return;
  }
  auto vertex = [](LONG x, LONG y, COLORREF c) {
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
    return v;
  };
  TRIVERTEX vertices[2] = {vertex(r.left, r.top, from), vertex(r.right, r.bottom, to)};
  GRADIENT_RECT mesh{0, 1};
  GradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// A one-pixel frame; a rounded one leaves its corner pixels to what is behind.
void Frame(HDC dc, RECT r, COLORREF color, bool rounded)
{
  if (r.IsEmpty()) {
    return;
  }
  const LONG inset = rounded ? 1 : 0;
  Fill(dc, {r.left + inset, r.top, r.right - inset, r.top + 1}, color);
  Fill(dc, {r.left + inset, r.bottom - 1, r.right - inset, r.bottom}, color);
  Fill(dc, {r.left, r.top + inset, r.left + 1, r.bottom - inset}, color);
  Fill(dc, {r.right - 1, r.top + inset, r.right, r.bottom - inset}, color);
}

// A face: gradient inside a frame.
void Face(HDC dc, RECT r, COLORREF top, COLORREF bottom, COLORREF border, bool rounded = true)
{
  Gradient(dc, r.Inflate(-1, -1), top, bottom);
  Frame(dc, r, border, rounded);
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A small solid triangle pointing down (or up), centred.
void Arrow(HDC dc, const RECT& r, COLORREF color, bool up = false)
{
  const POINT c = Centre(r);
  for (LONG i = 0; i < 4; ++i) {
    const LONG y = up ? c.y + 1 - i : c.y - 2 + i;
    Fill(dc, {c.x - 3 + i, y, c.x + 4 - i, y + 1}, color);
  }
}

void Plus(HDC dc, const RECT& box, COLORREF color, bool withVertical)
{
  const POINT c = Centre(box);
  Fill(dc, {c.x - 2, c.y, c.x + 3, c.y + 1}, color);
  if (withVertical) {
    Fill(dc, {c.x, c.y - 2, c.x + 1, c.y + 3}, color);
  }
}

// Two 2x2 squares, light over dark, every 4 pixels along the rectangle: a gripper.
void GripDots(HDC dc, const RECT& r, COLORREF dark, bool vertical)
{
  const LONG length = vertical ? r.Height() : r.Width();
  for (LONG at = 2; at + 3 <= length; at += 4) {
    const LONG x = vertical ? Centre(r).x - 1 : r.left + at;
    const LONG y = vertical ? r.top + at : Centre(r).y - 1;
    Fill(dc, {x + 1, y + 1, x + 3, y + 3}, RGB(255, 255, 255));
    Fill(dc, {x, y, x + 2, y + 2}, dark);
  }
}

void Cross(HDC dc, const RECT& r, COLORREF color)
{
  const POINT c = Centre(r);
  for (LONG i = -3; i <= 3; ++i) {
    Fill(dc, {c.x + i, c.y + i, c.x + i + 2, c.y + i + 1}, color);
    Fill(dc, {c.x + i, c.y - i, c.x + i + 2, c.y - i + 1}, color);
  }
}

void Pin(HDC dc, const RECT& r, COLORREF color, bool upright)
{
  const POINT c = Centre(r);
  if (upright) {
    Frame(dc, {c.x - 2, c.y - 5, c.x + 3, c.y + 1}, color, false);
    Fill(dc, {c.x - 4, c.y + 1, c.x + 5, c.y + 2}, color);
    Fill(dc, {c.x, c.y + 2, c.x + 1, c.y + 6}, color);
  } else {
    Frame(dc, {c.x - 1, c.y - 2, c.x + 5, c.y + 3}, color, false);
    Fill(dc, {c.x - 2, c.y - 4, c.x - 1, c.y + 5}, color);
    Fill(dc, {c.x - 6, c.y, c.x - 2, c.y + 1}, color);
  }
}

void Check(HDC dc, const RECT& box, COLORREF color)
{
  const POINT c = Centre(box);
  for (LONG i = 0; i < 7; ++i) {
    const LONG y = i < 3 ? c.y + i - 1 : c.y + 3 - i + 1;
    Fill(dc, {c.x - 3 + i, y, c.x - 2 + i, y + 3}, color);
  }
}

// ---- The parts

struct Paint {
  HDC dc;
  const Scheme& s;
  RECT r;
  int state;
};

// Toolbar-like buttons: nothing when idle, a soft face under the mouse, a sunken one when held or checked.
void ToolbarButton(const Paint& p, bool drawIdle)
{
  switch (p.state) {
    case TS_HOT: Face(p.dc, p.r, p.s.hotTop, p.s.hotBottom, p.s.hotBorder); break;
    case TS_PRESSED: Face(p.dc, p.r, p.s.pressedBottom, p.s.pressedTop, p.s.pressedBorder); break;
    case TS_CHECKED: Face(p.dc, p.r, p.s.faceLight, p.s.faceLight, p.s.pressedBorder); break;
    case TS_HOTCHECKED: Face(p.dc, p.r, p.s.hotTop, p.s.pressedTop, p.s.pressedBorder); break;
    default:
      if (drawIdle) {
        Frame(p.dc, p.r, Mix(p.s.face, p.s.hotBorder, 50), true);
      }
      break;
  }
}

void PushButton(const Paint& p, int kind)
{
  const bool disabled = p.state == PBS_DISABLED;
  if (kind == BP_GROUPBOX) {
    Frame(p.dc, p.r, p.s.groupBorder, true);
    return;
  }
  if (kind == BP_CHECKBOX || kind == BP_RADIOBUTTON) {
    // States 1-4 unchecked, 5-8 checked, as the class numbers them.
    const int look = (p.state - 1) % 4 + 1;
    const bool checked = p.state > 4;
    const RECT box{p.r.left, Centre(p.r).y - 6, p.r.left + 13, Centre(p.r).y + 7};
    Face(p.dc, box, look == 3 ? p.s.pressedBottom : RGB(255, 255, 255), look == 2 ? p.s.hotBottom : p.s.faceLight,
         look == 4 ? p.s.grayText : p.s.fieldBorder, kind == BP_RADIOBUTTON);
    if (checked) {
      if (kind == BP_CHECKBOX) {
        Check(p.dc, box, look == 4 ? p.s.grayText : p.s.chunk);
      } else {
        Fill(p.dc, box.Inflate(-4, -4), look == 4 ? p.s.grayText : p.s.chunk);
      }
    }
    return;
  }
  COLORREF top = RGB(255, 255, 255);
  COLORREF bottom = Mix(p.s.face, RGB(255, 255, 255), 40);
  if (p.state == PBS_PRESSED) {
    std::swap(top, bottom);
    bottom = p.s.pressedTop;
  }
  Face(p.dc, p.r, top, bottom, disabled ? p.s.grayText : p.s.buttonBorder);
  if (p.state == PBS_HOT || p.state == PBS_DEFAULTED) {
    Frame(p.dc, p.r.Inflate(-1, -1), p.state == PBS_HOT ? p.s.accent : p.s.controlBorder, false);
  }
}

// A small raised button with an arrow: combo drop-down, spin and scroll-bar arrows.
void ArrowButton(const Paint& p, bool up, int disabledState, int pressedState, int hotState)
{
  COLORREF top = p.s.controlTop;
  COLORREF bottom = p.s.controlBottom;
  COLORREF glyph = p.s.glyph;
  if (p.state == disabledState) {
    top = bottom = p.s.face;
    glyph = p.s.grayText;
  } else if (p.state == pressedState) {
    std::swap(top, bottom);
  } else if (p.state == hotState) {
    top = Mix(top, RGB(255, 255, 255), 50);
  }
  Face(p.dc, p.r, top, bottom, p.state == disabledState ? p.s.grayText : p.s.controlBorder);
  Arrow(p.dc, p.r, glyph, up);
}

void Caption(const Paint& p, bool small)
{
  const bool active = p.state != CS_INACTIVE;
  Gradient(p.dc, p.r, active ? p.s.captionTop : p.s.inactiveTop, active ? p.s.captionBottom : p.s.inactiveBottom);
  if (!small) {
    Frame(p.dc, p.r, Mix(active ? p.s.captionBottom : p.s.inactiveBottom, RGB(0, 0, 0), 20), true);
  }
}

void Tab(const Paint& p)
{
  const bool selected = p.state == TIS_SELECTED;
  const bool hot = p.state == TIS_HOT || p.state == TIS_FOCUSED;
  const RECT face{p.r.left, p.r.top, p.r.right, p.r.bottom - (selected ? 0 : 1)};
  Gradient(p.dc, face, RGB(255, 255, 255), selected ? RGB(252, 252, 254) : Mix(p.s.face, RGB(255, 255, 255), 40));
  // Left, top and right edges; the selected tab is open towards its pane.
  Fill(p.dc, {face.left + 1, face.top, face.right - 1, face.top + 1}, p.s.tabBorder);
  Fill(p.dc, {face.left, face.top + 1, face.left + 1, face.bottom}, p.s.tabBorder);
  Fill(p.dc, {face.right - 1, face.top + 1, face.right, face.bottom}, p.s.tabBorder);
  if (selected || hot) {
    const COLORREF strip = selected ? p.s.selectedAccent : p.s.accent;
    Fill(p.dc, {face.left + 1, face.top, face.right - 1, face.top + 1}, strip);
    Fill(p.dc, {face.left, face.top + 1, face.right, face.top + 3}, Mix(strip, RGB(255, 255, 255), 30));
  }
  if (p.state == TIS_DISABLED) {
    Fill(p.dc, face.Inflate(-1, -3), p.s.face);
  }
}

HRESULT DrawPart(const ThemeData& data, HDC dc, int part, int state, const RECT& r)
{
  const Scheme& s = *data.scheme;
  const Paint p{dc, s, r, state};
  switch (data.cls->id) {
    case Class::Button:
      PushButton(p, part);
      return S_OK;
    case Class::ComboBox:
      ArrowButton(p, false, CBXS_DISABLED, CBXS_PRESSED, CBXS_HOT);
      return S_OK;
    case Class::TreeView:
      if (part == TVP_GLYPH) {
        const POINT c = Centre(r);
        const RECT box{c.x - 4, c.y - 4, c.x + 5, c.y + 5};
        Face(dc, box, RGB(255, 255, 255), Mix(s.face, RGB(198, 198, 198), 50), s.fieldBorder, false);
        Plus(dc, box, RGB(0, 0, 0), state != GLPS_OPENED);
      } else {
        Fill(dc, r, RGB(255, 255, 255));
        Frame(dc, r, s.fieldBorder, false);
      }
      return S_OK;
    case Class::Toolbar:
      if (part == TP_SEPARATOR || part == TP_SEPARATORVERT) {
        const POINT c = Centre(r);
        if (part == TP_SEPARATOR) {
          Fill(dc, {c.x, r.top + 2, c.x + 1, r.bottom - 2}, s.edgeShadow);
          Fill(dc, {c.x + 1, r.top + 2, c.x + 2, r.bottom - 2}, RGB(255, 255, 255));
        } else {
          Fill(dc, {r.left + 2, c.y, r.right - 2, c.y + 1}, s.edgeShadow);
          Fill(dc, {r.left + 2, c.y + 1, r.right - 2, c.y + 2}, RGB(255, 255, 255));
        }
        return S_OK;
      }
      ToolbarButton(p, false);
      if (part == TP_DROPDOWNBUTTON || part == TP_SPLITBUTTONDROPDOWN) {
        Arrow(dc, part == TP_DROPDOWNBUTTON ? RECT{r.right - 10, r.top, r.right, r.bottom} : r,
              state == TS_DISABLED ? s.grayText : s.text);
      }
      return S_OK;
    case Class::Rebar:
      if (part == 0) {
        Gradient(dc, r, s.faceLight, s.face);
      } else if (part == RP_GRIPPER || part == RP_GRIPPERVERT) {
        GripDots(dc, r, Mix(s.edgeShadow, RGB(0, 0, 0), 25), part == RP_GRIPPER);
      } else if (part == RP_BAND) {
        Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, s.edgeShadow);
      } else {
        ToolbarButton(p, false);
        Arrow(dc, r, s.text);
      }
      return S_OK;
    case Class::Status:
      if (part == 0) {
        Fill(dc, r, s.face);
        Fill(dc, {r.left, r.top, r.right, r.top + 1}, s.edgeShadow);
      } else if (part == SP_PANE || part == SP_GRIPPERPANE) {
        Fill(dc, {r.right - 2, r.top + 2, r.right - 1, r.bottom - 2}, s.edgeShadow);
        Fill(dc, {r.right - 1, r.top + 2, r.right, r.bottom - 2}, RGB(255, 255, 255));
      } else {
        // Three rows of dots climbing to the bottom-right corner.
        for (LONG row = 0; row < 3; ++row) {
          for (LONG col = 0; col <= row; ++col) {
            const LONG x = r.right - 4 - col * 4;
            const LONG y = r.bottom - 4 - (row - col) * 4;
            Fill(dc, {x + 1, y + 1, x + 3, y + 3}, RGB(255, 255, 255));
            Fill(dc, {x, y, x + 2, y + 2}, Mix(s.edgeShadow, RGB(0, 0, 0), 30));
          }
        }
      }
      return S_OK;
    case Class::Tab:
      if (part == TABP_PANE || part == TABP_BODY || part == 0) {
        Fill(dc, r, RGB(252, 252, 254));
        if (part == TABP_PANE) {
          Frame(dc, r, s.tabBorder, false);
          Fill(dc, {r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, Mix(s.face, s.tabBorder, 30));
        }
        return S_OK;
      }
      Tab(p);
      return S_OK;
    case Class::Window:
      if (part == WP_CAPTION || part == WP_SMALLCAPTION) {
        Caption(p, part == WP_SMALLCAPTION);
      } else {
        const bool active = state != CS_INACTIVE;
        Fill(dc, r, active ? s.captionBottom : s.inactiveBottom);
      }
      return S_OK;
    case Class::ExplorerBar:
      if (part == EBP_HEADERBACKGROUND) {
        Gradient(dc, r, RGB(255, 255, 255), s.controlBottom, false);
        return S_OK;
      }
      {
        const int look = part == EBP_HEADERPIN && state > 3 ? state - 3 : state;
        if (look == EBHC_HOT || look == EBHC_PRESSED) {
          Face(dc, r, look == EBHC_HOT ? RGB(255, 255, 255) : s.controlBottom,
               look == EBHC_HOT ? s.controlTop : s.controlTop, s.controlBorder);
        }
        if (part == EBP_HEADERCLOSE) {
          Cross(dc, r, s.glyph);
        } else {
          Pin(dc, r, s.glyph, state > 3);
        }
      }
      return S_OK;
    case Class::Header:
      Gradient(dc, r, RGB(255, 255, 255), state == 3 ? s.pressedTop : s.face);
      Fill(dc, {r.left, r.bottom - 3, r.right, r.bottom}, state == 2 ? s.accent : Mix(s.face, s.edgeShadow, 50));
      Fill(dc, {r.right - 1, r.top + 3, r.right, r.bottom - 4}, s.edgeShadow);
      return S_OK;
    case Class::ScrollBar:
      if (part == SBP_ARROWBTN) {
        // States 1-4 up, 5-8 down, 9-12 left, 13-16 right; each normal, hot, pressed, disabled.
        const int look = (state - 1) % 4 + 1;
        const Paint q{dc, s, r, look};
        ArrowButton(q, state <= 4, 4, 3, 2);
      } else if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT) {
        Face(dc, r, s.controlTop, s.controlBottom, s.controlBorder);
        GripDots(dc, r.Inflate(-3, -3), s.glyph, part == SBP_THUMBBTNHORZ);
      } else {
        Fill(dc, r, Mix(s.face, RGB(255, 255, 255), 50));
      }
      return S_OK;
    case Class::Spin:
      ArrowButton(p, part == SPNP_UP || part == 3, 4, 3, 2);
      return S_OK;
    case Class::Edit:
      Fill(dc, r, state == 4 ? s.face : RGB(255, 255, 255));
      Frame(dc, r, s.fieldBorder, false);
      return S_OK;
    case Class::Menu:
      Fill(dc, r, state == 2 ? Mix(s.controlBorder, RGB(255, 255, 255), 50) : RGB(255, 255, 255));
      return S_OK;
    case Class::Progress:
      if (part == PP_CHUNK || part == 4) {
        Gradient(dc, r, Mix(s.chunk, RGB(255, 255, 255), 50), s.chunk);
      } else {
        Face(dc, r, RGB(255, 255, 255), s.face, s.fieldBorder);
      }
      return S_OK;
  }
  return E_INVALIDARG;
}

// The colours parts answer. Every part has the class's colours, as the system falls back to the class.
std::optional<COLORREF> PartColor(const ThemeData& data, int part, int state, int property)
{
  const Scheme& s = *data.scheme;
  const Class id = data.cls->id;
  const bool disabled = (id == Class::Button && state == PBS_DISABLED) || (id == Class::ComboBox && state == 4) ||
                        (id == Class::Toolbar && state == TS_DISABLED) || (id == Class::Tab && state == 4);
  switch (property) {
    case TMT_TEXTCOLOR:
      if (disabled) {
        return s.grayText;
      }
      if (id == Class::Button && part == BP_GROUPBOX) {
        return s.groupText;
      }
      if (id == Class::Window) {
        return s.captionText;
      }
      return s.text;
    case TMT_BORDERCOLOR:
      switch (id) {
        case Class::ComboBox:
        case Class::Edit:
        case Class::TreeView: return disabled ? s.grayText : s.fieldBorder;
        case Class::Tab: return s.tabBorder;
        case Class::Button: return part == BP_GROUPBOX ? s.groupBorder : s.buttonBorder;
        case Class::Toolbar: return s.hotBorder;
        default: return s.controlBorder;
      }
    case TMT_BORDERCOLORHINT: return id == Class::Button ? s.groupBorder : s.edgeShadow;
    case TMT_FILLCOLOR:
    case TMT_FILLCOLORHINT: return id == Class::Edit || id == Class::TreeView ? RGB(255, 255, 255) : s.face;
    case TMT_EDGESHADOWCOLOR: return s.edgeShadow;
    case TMT_EDGEHIGHLIGHTCOLOR:
    case TMT_EDGELIGHTCOLOR: return RGB(255, 255, 255);
    case TMT_EDGEDKSHADOWCOLOR: return Mix(s.edgeShadow, RGB(0, 0, 0), 40);
    case TMT_EDGEFILLCOLOR: return s.face;
    case TMT_GRADIENTCOLOR1: return id == Class::Window ? s.captionTop : s.faceLight;
    case TMT_GRADIENTCOLOR2: return id == Class::Window ? s.captionBottom : s.face;
    case TMT_ACCENTCOLORHINT: return s.accent;
    default: return std::nullopt;
  }
}

bool ValidPart(const ThemeData& data, int part) { return part >= 0 && part <= data.cls->lastPart; }

HRESULT CopyName(const char16_t* name, LPWSTR buffer, int chars)
{
  if (buffer == nullptr) {
    return S_OK;
  }
  const std::u16string_view text(name);
  if (chars <= 0 || static_cast<std::size_t>(chars) < text.size() + 1) {
    return E_UXTHEME_BUFFER;
  }
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return S_OK;
}

std::vector<HWND> TopLevelWindows()
{
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace

HTHEME OpenThemeData(HWND, LPCWSTR classList)
{
  const Scheme* scheme = SchemeOf(g_theme);
  if (scheme == nullptr || classList == nullptr) {
    SetLastError(static_cast<DWORD>(E_PROP_ID_UNSUPPORTED));
    return nullptr;
  }
  std::u16string_view list(classList);
  while (true) {
    const std::size_t end = list.find(u';');
    if (const ClassInfo* cls = FindClass(list.substr(0, end))) {
      std::lock_guard guard(Table().mutex);
      const ULONG_PTR handle = Table().next++;
      Table().open.emplace(handle, ThemeData{cls, scheme});
      return reinterpret_cast<HTHEME>(handle);
    }
    if (end == std::u16string_view::npos) {
      break;
    }
    list.remove_prefix(end + 1);
  }
  SetLastError(static_cast<DWORD>(E_PROP_ID_UNSUPPORTED));
  return nullptr;
}

HRESULT CloseThemeData(HTHEME theme)
{
  std::lock_guard guard(Table().mutex);
  return Table().open.erase(reinterpret_cast<ULONG_PTR>(theme)) != 0 ? S_OK : E_HANDLE;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return E_HANDLE;
  }
  if (dc == nullptr || rect == nullptr || !ValidPart(*data, part)) {
    return E_INVALIDARG;
  }
  const int saved = SaveDC(dc);
  if (clip != nullptr) {
    IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
  }
  const HRESULT hr = DrawPart(*data, dc, part, state, *rect);
  RestoreDC(dc, saved);
  return hr;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return E_HANDLE;
  }
  if (dc == nullptr || rect == nullptr || text == nullptr || !ValidPart(*data, part)) {
    return E_INVALIDARG;
  }
  const COLORREF color = (textFlags2 & DTT_GRAYED) != 0 ? data->scheme->grayText
                                                         : *PartColor(*data, part, state, TMT_TEXTCOLOR);
  const COLORREF oldColor = SetTextColor(dc, color);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT r = *rect;
  DrawTextW(dc, text, length, &r, textFlags);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  return S_OK;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return E_HANDLE;
  }
  if (color == nullptr) {
    return E_POINTER;
  }
  if (!ValidPart(*data, part)) {
    return E_INVALIDARG;
  }
  const std::optional<COLORREF> found = PartColor(*data, part, state, property);
  if (!found) {
    return E_PROP_ID_UNSUPPORTED;
  }
  *color = *found;
  return S_OK;
}

HRESULT GetThemeInt(HTHEME theme, int part, int, int property, int* value)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return E_HANDLE;
  }
  if (value == nullptr) {
    return E_POINTER;
  }
  if (!ValidPart(*data, part) || property != TMT_BORDERSIZE) {
    return E_PROP_ID_UNSUPPORTED;
  }
  *value = 1;
  return S_OK;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int part, int, const RECT* rect, THEMESIZE, SIZE* size)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return E_HANDLE;
  }
  if (size == nullptr) {
    return E_POINTER;
  }
  if (!ValidPart(*data, part)) {
    return E_INVALIDARG;
  }
  // The parts drawn at a size of their own; the others fill the rectangle they are given.
  const Class id = data->cls->id;
  if (id == Class::TreeView && part == TVP_GLYPH) {
    *size = SIZE{9, 9};
  } else if (id == Class::ExplorerBar && part != EBP_HEADERBACKGROUND) {
    *size = SIZE{16, 16};
  } else if (id == Class::Status && part == SP_GRIPPER) {
    *size = SIZE{13, 13};
  } else if (id == Class::Rebar && (part == RP_GRIPPER || part == RP_GRIPPERVERT)) {
    *size = part == RP_GRIPPER ? SIZE{6, 0} : SIZE{0, 6};
  } else if (id == Class::Button && (part == BP_CHECKBOX || part == BP_RADIOBUTTON)) {
    *size = SIZE{13, 13};
  } else if (id == Class::ComboBox) {
    *size = SIZE{17, 17};
  } else {
    *size = rect != nullptr ? SIZE{rect->Width(), rect->Height()} : SIZE{0, 0};
  }
  return S_OK;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int)
{
  const std::optional<ThemeData> data = Lookup(theme);
  if (!data) {
    return FALSE;
  }
  // Rounded frames leave their corners, and idle toolbar buttons and glyphs leave everything around them.
  switch (data->cls->id) {
    case Class::Button:
    case Class::Toolbar:
    case Class::ExplorerBar:
    case Class::Tab: return part != TABP_PANE && part != TABP_BODY ? TRUE : FALSE;
    case Class::TreeView: return part == TVP_GLYPH ? TRUE : FALSE;
    case Class::Rebar: return part == RP_GRIPPER || part == RP_GRIPPERVERT ? TRUE : FALSE;
    default: return FALSE;
  }
}

BOOL IsAppThemed() { return g_theme != Theme::None ? TRUE : FALSE; }
BOOL IsThemeActive() { return g_theme != Theme::None ? TRUE : FALSE; }

HRESULT GetCurrentThemeName(LPWSTR fileName, int fileChars, LPWSTR colorName, int colorChars, LPWSTR sizeName,
                            int sizeChars)
{
  const Scheme* scheme = SchemeOf(g_theme);
  if (scheme == nullptr) {
    return E_PROP_ID_UNSUPPORTED;
  }
  for (HRESULT hr : {CopyName(scheme->file, fileName, fileChars), CopyName(scheme->colorName, colorName, colorChars),
                     CopyName(u"NormalSize", sizeName, sizeChars)}) {
    if (FAILED(hr)) {
      return hr;
    }
  }
  return S_OK;
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, const RECT* rect)
{
  HWND parent = GetParent(hwnd);
  if (parent == nullptr || dc == nullptr) {
    return E_INVALIDARG;
  }
  constexpr LPARAM kPrintClient = 0x4;  // PRF_CLIENT
  POINT origin{0, 0};
  MapWindowPoints(hwnd, parent, &origin, 1);
  const int saved = SaveDC(dc);
  if (rect != nullptr) {
    IntersectClipRect(dc, rect->left, rect->top, rect->right, rect->bottom);
  }
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  SendMessage(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessage(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), kPrintClient);
  RestoreDC(dc, saved);
  return S_OK;
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD) { return IsWindow(hwnd) ? S_OK : E_HANDLE; }

HRESULT SetWindowTheme(HWND hwnd, LPCWSTR, LPCWSTR) { return IsWindow(hwnd) ? S_OK : E_HANDLE; }

namespace uxtheme {

void SetTestTheme(Theme theme)
{
  if (g_theme.exchange(theme) == theme) {
    return;
  }
  for (HWND hwnd : TopLevelWindows()) {
    if (IsWindow(hwnd)) {
      SendMessage(hwnd, WM_THEMECHANGED, 0, 0);
    }
  }
}

Theme CurrentTheme() { return g_theme; }

platform::ModuleSymbols ModuleSymbols()
{
  auto exported = [](auto* function) { return reinterpret_cast<void*>(function); };
  return {
      {"OpenThemeData", exported(&OpenThemeData)},
      {"CloseThemeData", exported(&CloseThemeData)},
      {"DrawThemeBackground", exported(&DrawThemeBackground)},
      {"DrawThemeText", exported(&DrawThemeText)},
      {"GetThemeColor", exported(&GetThemeColor)},
      {"GetThemeInt", exported(&GetThemeInt)},
      {"GetThemePartSize", exported(&GetThemePartSize)},
      {"IsThemeBackgroundPartiallyTransparent", exported(&IsThemeBackgroundPartiallyTransparent)},
      {"IsAppThemed", exported(&IsAppThemed)},
      {"IsThemeActive", exported(&IsThemeActive)},
      {"GetCurrentThemeName", exported(&GetCurrentThemeName)},
      {"DrawThemeParentBackground", exported(&DrawThemeParentBackground)},
      {"EnableThemeDialogTexture", exported(&EnableThemeDialogTexture)},
      {"SetWindowTheme", exported(&SetWindowTheme)},
  };
}

}  // namespace uxtheme
